#include "protocol/winboard_v1.h"

#include <cstring>
#include <memory>

#include "board/move.h"
#include "board/piece.h"
#include "game/game.h"

namespace {

// The piece type an edit-mode line starts with, or UNKNOWN. Edit lines name
// pieces by their white letter; the colour comes from the edit mode.
PieceType editPieceType(char letter)
{
    Colour colour = WHITE;
    PieceType type = UNKNOWN;
    return pieceFromLetter(letter, colour, type) == CE_SUCCESS && colour == WHITE ? type : UNKNOWN;
}

} // namespace

void WinBoardInterfaceV1_class::handleDialectCommand(const char* line)
{
    Game_class& game = *game_;
    if (looksLikeMove(line)) {
        if (!forceMode_) {
            game.userMove(line);
            return;
        }
        // In force mode the piece on the from-square says whose move it is.
        // A search still running from before "force" is ended first, so that
        // its last move is not being played while the board is read.
        game.stopAll();
        const Colour before = game.sideToMove();
        const Square from = moveFrom(parseMoveText(before, line));
        const Piece_class* piece = from < 64 ? game.board().pieceAt(from) : nullptr;
        if (piece != nullptr)
            game.setSideToMove(piece->colour);
        // A rejected move changes nothing, not even the side to move.
        if (game.userMove(line) == MOVE_REJECTED && game.sideToMove() != before)
            game.setSideToMove(before);
        return;
    }
    if (std::strcmp(line, "edit") == 0)
        editPosition();
}

void WinBoardInterfaceV1_class::editPosition()
{
    auto edited = std::make_unique<Board_class>();
    Colour placing = WHITE;
    game_->stopAll();   // no search may be changing the side to move while it is read
    const Colour sideToMove = game_->sideToMove();
    char line[LINE_BUFFER_SIZE];
    for (;;) {
        if (!readLine(line)) {
            quit();   // end of input ends the run here too
            return;
        }
        if (std::strcmp(line, "#") == 0) {
            edited->clear();
        } else if (std::strcmp(line, "c") == 0) {
            placing = otherColour(placing);
        } else if (std::strcmp(line, ".") == 0) {
            edited->setSideToMove(sideToMove);
            edited->deriveCastlingRights();
            game_->adoptBoard(*edited);
            return;
        } else if (const PieceType type = editPieceType(line[0]); type != UNKNOWN) {
            // A square outside a1..h8 is ignored, and so is a piece the board
            // cannot take (an occupied square, a seventeenth piece).
            if (line[1] < 'a' || line[1] > 'h' || line[2] < '1' || line[2] > '8')
                continue;
            Piece_class piece;
            piece.colour = placing;
            piece.setType(type);
            piece.square = makeSquare(line[1] - 'a', line[2] - '1');
            edited->addPiece(piece);
        }
    }
}
