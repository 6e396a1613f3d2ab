// Move generation as the rest of the engine sees it: the dispatch to the
// generator of the board's instruction-set path (move_generator.h), and the
// questions asked about a position outside a generation.

#include "board/board.h"
#include "board/castling.h"
#include "board/magic_attacks.h"
#include "board/move.h"
#include "board/move_generation_paths.h"

namespace {

void generateOnPath(CpuPath path, Board_class& board, MoveList& list, MoveOutput output)
{
#if KELP_CPU_DISPATCH
    switch (path) {
    case CpuPath::Bmi2:
        generateMovesBmi2(board, list, output);
        return;
    case CpuPath::Popcnt:
        generateMovesPopcnt(board, list, output);
        return;
    case CpuPath::Portable:
        break;
    }
#else
    (void)path;
#endif
    generateMovesPortable(board, list, output);
}

} // namespace

void Board_class::generateMoves(MoveList& list, bool listNonCaptures)
{
    generateOnPath(cpuPath_, *this, list, listNonCaptures ? MoveOutput::List : MoveOutput::CountNonCaptures);
}

std::uint32_t Board_class::countMoves(MoveList& list)
{
    generateOnPath(cpuPath_, *this, list, MoveOutput::CountAll);
    return list.moveCount();
}

bool Board_class::setCpuPath(CpuPath path)
{
    if (!cpuPathAvailable(path))
        return false;
    cpuPath_ = path;
    // Built here rather than by the first generation, which allocates nothing.
    if (path == CpuPath::Bmi2)
        pextTables_ = &pextTables();
    return true;
}

bool Board_class::attacks(Colour by, Square square) const
{
    const std::uint32_t them = by - 1;
    const AttackTables& tables = attackTables();
    const Bitboard occupiedNow = occupied();
    const Bitboard queens = pieceBB_[them][QUEEN];
    // A pawn of the other colour on the square would attack the squares an attacking pawn stands on.
    return (tables.pawn[otherColour(by) - 1][square] & pieceBB_[them][PAWN]) ||
           (tables.knight[square] & pieceBB_[them][KNIGHT]) || (tables.king[square] & pieceBB_[them][KING]) ||
           (rookAttacksMagic(square, occupiedNow) & (queens | pieceBB_[them][ROOK])) ||
           (bishopAttacksMagic(square, occupiedNow) & (queens | pieceBB_[them][BISHOP]));
}

bool Board_class::isLegalPosition() const
{
    if (block(WHITE).typeCount[KING] != 1 || block(BLACK).typeCount[KING] != 1)
        return false;
    const Colour resting = otherColour(sideToMove);
    return !attacks(sideToMove, block(resting).king->square);
}

bool Board_class::generatedQuietMove(const MoveList& list, Move move) const
{
    const std::uint32_t flags = moveFlags(move);
    if (flags & MOVE_CAPTURE)
        return false;
    const Square from = moveFrom(move);
    const Square to = moveTo(move);
    if (from >= 64 || to >= 64)
        return false;
    const Piece_class* piece = squares_[from];
    if (piece == nullptr || piece->captured || piece->colour != list.side)
        return false;

    // The word the generation would have written for this piece and target.
    bool generated = false;
    if (flags & MOVE_CASTLE) {
        const CastlingSquares& sq = kCastlingSquares[list.side - 1];
        generated = (move == encodeMove(sq.king, sq.g, 0, MOVE_CASTLE | MOVE_TWO_SQUARE) &&
                     (list.castlingGenerated & 1)) ||
                    (move == encodeMove(sq.king, sq.c, 0, MOVE_CASTLE) && (list.castlingGenerated & 2));
    } else {
        const std::uint32_t slot = static_cast<std::uint32_t>(piece - pieces_) - (list.side == WHITE ? 0 : 16);
        const std::int32_t forward = list.side == WHITE ? 8 : -8;
        if (piece->type != PAWN) {
            generated = ((list.quietTargets[slot] >> to) & 1) && move == encodeMove(from, to, 0, 0);
        } else if (to == from + 2 * forward) {
            generated = ((list.pawnDoubleStepTargets >> to) & 1) &&
                        move == encodeMove(from, to, static_cast<std::uint32_t>(from + forward),
                                           MOVE_PAWN | MOVE_TWO_SQUARE);
        } else if (to != from + forward || !((list.pawnStepTargets >> to) & 1)) {
            generated = false;
        } else if (list.side == WHITE ? to >= 56 : to <= 7) {
            const std::uint32_t type = moveExtra(move);
            generated = flags == (MOVE_PAWN | MOVE_PROMOTION) &&
                        (type == BISHOP || type == ROOK || type == KNIGHT || type == QUEEN);
        } else {
            generated = move == encodeMove(from, to, 0, MOVE_PAWN);
        }
    }
    return generated;
}
