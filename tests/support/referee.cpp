#include "support/referee.h"

#include <algorithm>

#include "support/board_helpers.h"

namespace {

const char* colourName(Colour colour) { return colour == WHITE ? "White" : "Black"; }

} // namespace

std::string resultToken(const std::string& line)
{
    for (const std::string token : {"1-0", "0-1", "1/2-1/2"}) {
        if (line.compare(0, token.size(), token) == 0 && (line.size() == token.size() || line[token.size()] == ' '))
            return token;
    }
    return {};
}

std::string withoutCounters(const std::string& fen)
{
    return fen.substr(0, fen.rfind(' ', fen.rfind(' ') - 1));
}

Referee::Referee(const char* startFen) : board_(boardFrom(startFen))
{
    positions_.push_back(withoutCounters(fen()));
}

std::string Referee::fen() const { return fenOf(*board_); }

Referee::Status Referee::status()
{
    if (generate(*board_)->moveCount() > 0)
        return Status::Ongoing;
    return (board_->statusFlags & STATUS_IN_CHECK) ? Status::Checkmate : Status::Stalemate;
}

bool Referee::play(const std::string& text, std::string& why)
{
    MoveRecord record;
    record.move = text.size() < MOVE_TEXT_SIZE ? resolve(*board_, text) : NO_MOVE;
    if (record.move == NO_MOVE || text != textOf(record.move)) {
        why = "\"" + text + "\" is not a legal move of " + colourName(board_->sideToMove) + " in " + fen();
        return false;
    }
    board_->makeMove(record);
    if (board_->sideToMove == BLACK)
        board_->fullmoveNumber += 1;
    board_->sideToMove = otherColour(board_->sideToMove);
    positions_.push_back(withoutCounters(fen()));
    return true;
}

bool Referee::claimHolds(const std::string& result, Colour claimant, std::string& why)
{
    const std::string token = resultToken(result);
    const Status now = status();
    const bool holds =
        token == "1/2-1/2"
            ? now == Status::Stalemate || std::count(positions_.begin(), positions_.end(), positions_.back()) >= 3 ||
                  board_->isFiftyMoveDraw() || board_->isInsufficientMaterial()
            : token == (claimant == WHITE ? "0-1" : "1-0") ||   // the claimant gives the game up
                  (token == (claimant == WHITE ? "1-0" : "0-1") && now == Status::Checkmate &&
                   board_->sideToMove != claimant);
    if (!holds)
        why = std::string(colourName(claimant)) + " claims \"" + result + "\" that no rule gives in " + fen();
    return holds;
}
