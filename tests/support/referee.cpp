#include "support/referee.h"

#include <algorithm>

#include "board/move.h"

namespace {

// FEN up to and including the en passant field: what makes two positions the same.
std::string positionPart(const std::string& fen)
{
    std::size_t end = 0;
    for (int field = 0; field < 4 && end != std::string::npos; ++field)
        end = fen.find(' ', end + (field > 0 ? 1 : 0));
    return end == std::string::npos ? fen : fen.substr(0, end);
}

const char* colourName(Colour colour) { return colour == WHITE ? "White" : "Black"; }

} // namespace

std::string resultToken(const std::string& line)
{
    for (const char* token : {"1-0", "0-1", "1/2-1/2"}) {
        const std::string t = token;
        if (line.compare(0, t.size(), t) == 0 && (line.size() == t.size() || line[t.size()] == ' '))
            return t;
    }
    return {};
}

std::string resultComment(const std::string& line)
{
    const std::size_t open = line.find('{');
    const std::size_t close = line.rfind('}');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return line.substr(open + 1, close - open - 1);
}

Referee::Referee(const char* startFen)
    : board_(std::make_unique<Board_class>()), moves_(std::make_unique<MoveList>())
{
    board_->loadFen(startFen);
    positions_.push_back(positionPart(fen()));
}

std::string Referee::fen() const
{
    char text[FEN_BUFFER_SIZE];
    board_->writeFen(text, sizeof text);
    return text;
}

void Referee::generate()
{
    *moves_ = MoveList();
    moves_->setSide(board_->sideToMove);
    board_->generateMoves(*moves_);
}

bool Referee::play(const std::string& text, std::string& why)
{
    if (text.empty() || text.size() >= MOVE_TEXT_SIZE) {
        why = "\"" + text + "\" is not a coordinate move";
        return false;
    }
    generate();
    const Move move = findMove(*moves_, parseMoveText(board_->sideToMove, text.c_str()));
    if (move == NO_MOVE) {
        why = "\"" + text + "\" is not a legal move of " + colourName(board_->sideToMove) + " in " + fen();
        return false;
    }
    char canonical[MOVE_TEXT_SIZE];
    moveToText(move, canonical);
    if (text != canonical) {
        why = "\"" + text + "\" is not the coordinate text of " + canonical + " in " + fen();
        return false;
    }
    MoveRecord record;
    record.move = move;
    board_->makeMove(record);
    if (board_->sideToMove == BLACK)
        board_->fullmoveNumber += 1;
    board_->sideToMove = otherColour(board_->sideToMove);
    positions_.push_back(positionPart(fen()));
    return true;
}

Referee::Status Referee::status()
{
    generate();
    if (moves_->moveCount() > 0)
        return Status::Ongoing;
    return (board_->statusFlags & STATUS_IN_CHECK) ? Status::Checkmate : Status::Stalemate;
}

int Referee::repetitions() const
{
    return static_cast<int>(std::count(positions_.begin(), positions_.end(), positions_.back()));
}

bool Referee::claimHolds(const std::string& result, Colour claimant, std::string& why)
{
    const std::string token = resultToken(result);
    const Status now = status();
    if (token == "1-0" || token == "0-1") {
        const Colour winner = token == "1-0" ? WHITE : BLACK;
        if (winner != claimant)
            return true;   // the claimant gives the game up
        if (now == Status::Checkmate && board_->sideToMove != winner)
            return true;
        why = std::string(colourName(claimant)) + " claims a win but " + colourName(otherColour(winner)) +
              " is not mated in " + fen();
        return false;
    }
    if (token == "1/2-1/2") {
        if (now == Status::Stalemate || repetitions() >= 3 || board_->isFiftyMoveDraw() ||
            board_->isInsufficientMaterial())
            return true;
        why = std::string(colourName(claimant)) + " claims a draw that no rule gives in " + fen() +
              " (position seen " + std::to_string(repetitions()) + " times)";
        return false;
    }
    why = "\"" + result + "\" is not a result line";
    return false;
}
