// Strictly legal move generation. Checks and pins are found first by one scan
// of the eight rays from the own king; every piece then generates only moves
// that are legal under them. Only king moves, castling squares and en passant
// need an attack test.
//
// Order is behaviour: pieces in slot order, each piece's rays in table order,
// near to far along a ray, castling last; promotions bishop, rook, knight,
// queen. The search takes moves from the end of each array.

#include <initializer_list>

#include "board/board.h"
#include "board/magic_attacks.h"
#include "board/move.h"
#include "board/ray_table.h"

namespace {

constexpr std::uint32_t QUEEN_RAYS = QUEEN;
constexpr std::uint32_t KING_RAYS = KING;
constexpr std::uint32_t KNIGHT_RAYS = KNIGHT;



// Squares of castling, by colour (index colour - 1).
struct CastlingSquares {
    Square king, kingSideRook, queenSideRook;
    Square f, g, b, c, d;
};
constexpr CastlingSquares kCastling[2] = {
    {4, 7, 0, 5, 6, 1, 2, 3},
    {60, 63, 56, 61, 62, 57, 58, 59},
};

} // namespace

void Board_class::generateMoves(MoveList& list, bool listNonCaptures)
{
    generatingSide_ = list.side;
    generatingOpponent_ = list.opponent;
    nonCaptureCursor_ = list.nonCaptures;
    captureCursor_ = list.captures;
    listNonCaptures_ = listNonCaptures;
    list.nonCapturesListed = listNonCaptures;
    quietCount_ = 0;
    Bitboard scratchTargets = 0;
    quietTargets_ = &scratchTargets;
    if (!listNonCaptures) {
        // Each piece's quiet-target set is reset as the piece is generated;
        // only the sets of pieces on the board are ever consulted.
        list.castlingGenerated = 0;
    }
    mobilityIndex_ = list.mobilityIndex;
    ownKing_ = blockOf(generatingSide_).king;
    opponentTypeCount_ = blockOf(generatingOpponent_).typeCount;

    findChecksAndPins();
    occupiedNow_ = occupied();
    ownPieces_ = colourBB_[generatingSide_ - 1];
    enemyPieces_ = colourBB_[generatingOpponent_ - 1];
    enPassantBit_ = enPassantSquare != NO_SQUARE ? squareBit(enPassantSquare) : 0;
    inCheck_ = statusFlags & STATUS_IN_CHECK;
    if (!inCheck_) {
        // Every pawn's single and double steps at once (double steps from the
        // first two ranks, as the pawn rules here have it).
        const Bitboard pawns = pieceBB_[generatingSide_ - 1][PAWN];
        const Bitboard empty = ~occupiedNow_;
        if (generatingSide_ == WHITE) {
            pawnSingles_ = (pawns << 8) & empty;
            pawnDoubles_ = ((pawnSingles_ & 0x0000000000ffff00ULL) << 8) & empty;
        } else {
            pawnSingles_ = (pawns >> 8) & empty;
            pawnDoubles_ = ((pawnSingles_ & 0x00ffff0000000000ULL) >> 8) & empty;
        }
    }

    const std::uint32_t firstSlot = generatingSide_ == WHITE ? 0 : 16;
    if (statusFlags & STATUS_DOUBLE_CHECK) {
        ownKing_->ownHits = 0;
        ownKing_->enemyHits = 0;
        if (!listNonCaptures) {
            for (Bitboard& targets : list.quietTargets)
                targets = 0;   // only the king moves
            quietTargets_ = &list.quietTargets[ownKing_ - pieces_ - firstSlot];
        }
        generateKingMoves(ownKing_);
    } else {
        for (std::uint32_t live = (liveSlots_ >> firstSlot) & 0xffff; live != 0; live &= live - 1) {
            const std::uint32_t slot = firstSlot + static_cast<std::uint32_t>(std::countr_zero(live));
            Piece_class* piece = pieceSlots_[slot];
            piece->ownHits = 0;
            piece->enemyHits = 0;
            if (!listNonCaptures) {
                quietTargets_ = &list.quietTargets[slot - firstSlot];
                *quietTargets_ = 0;
            }
            if (piece->type == PAWN) {
                if (inCheck_ || piece->pinned)
                    generatePawnMoves(piece);
                else
                    generateFreePawnMoves(piece);
            }
            else if (piece->type == KING)
                generateKingMoves(piece);
            else
                generatePieceMoves(piece);
        }
        if (!(statusFlags & STATUS_IN_CHECK))
            generateCastling(list);
    }

    list.captureCount = static_cast<std::uint32_t>(captureCursor_ - list.captures);
    list.nonCaptureCount = listNonCaptures ? static_cast<std::uint32_t>(nonCaptureCursor_ - list.nonCaptures)
                                           : quietCount_;
    if (list.captureCount == 0 && list.nonCaptureCount == 0)
        statusFlags |= (statusFlags & STATUS_IN_CHECK) ? STATUS_CHECKMATED : STATUS_STALEMATED;

    // Pins hold for this generation only.
    for (std::uint32_t pinned = pinnedSlots_; pinned != 0; pinned &= pinned - 1)
        pieces_[std::countr_zero(pinned)].pinned = 0;
}

// The ray-table direction index (E, NE, N, NW, W, SW, S, SE) of a queen step.
namespace {
constexpr std::int32_t kDirectionDelta[8] = {1, 9, 8, 7, -1, -9, -8, -7};

int directionOf(std::int32_t delta)
{
    switch (delta) {
    case 1: return 0;
    case 9: return 1;
    case 8: return 2;
    case 7: return 3;
    case -1: return 4;
    case -9: return 5;
    case -8: return 6;
    default: return 7;   // -7
    }
}
} // namespace

void Board_class::findChecksAndPins()
{
    statusFlags = 0;
    checkCount_ = 0;
    excludedKingDelta_ = 0;
    pinnedSlots_ = 0;
    const Square kingSquare = ownKing_->square;

    if (const Piece_class* checker = attackerOf(kingSquare, AttackMode::NonSliding)) {
        checkSquares_[0] = checker->square;
        checkCount_ = 1;
        statusFlags |= STATUS_IN_CHECK;
    }
    checkMask_ = checkCount_ != 0 ? squareBit(checkSquares_[0]) : 0;
    const std::uint32_t* enemy = opponentTypeCount_;
    if (enemy[QUEEN] + enemy[ROOK] + enemy[BISHOP] == 0)
        return;

    // Sliders that see the king give check; those that see it through exactly
    // one own piece pin that piece to the line.
    const std::uint32_t them = generatingOpponent_ - 1;
    const Bitboard straight = pieceBB_[them][QUEEN] | pieceBB_[them][ROOK];
    const Bitboard diagonal = pieceBB_[them][QUEEN] | pieceBB_[them][BISHOP];
    const Bitboard occupiedNow = occupied();
    const Bitboard own = colourBB_[generatingSide_ - 1];
    const Bitboard rookLines = rookAttacksMagic(kingSquare, occupiedNow);
    const Bitboard bishopLines = bishopAttacksMagic(kingSquare, occupiedNow);
    const Bitboard checkers = (rookLines & straight) | (bishopLines & diagonal);
    const Bitboard pinners =
        ((rookAttacksMagic(kingSquare, occupiedNow ^ (rookLines & own)) & straight) |
         (bishopAttacksMagic(kingSquare, occupiedNow ^ (bishopLines & own)) & diagonal)) & ~checkers;
    const AttackTables& tables = attackTables();
    for (Bitboard p = pinners; p != 0; p &= p - 1) {
        const Square pinner = lowestSquare(p);
        Piece_class& pinned = *squares_[lowestSquare(squaresBetween(kingSquare, pinner) & own)];
        const std::int32_t delta = kDirectionDelta[tables.direction[kingSquare][pinner]];
        pinned.pinned = 1;
        pinned.pinDelta = delta;
        pinned.pinDeltaNeg = -delta;
        pinnedSlots_ |= slotBit(&pinned);
    }
    if (checkers == 0)
        return;
    if ((statusFlags & STATUS_IN_CHECK) || (checkers & (checkers - 1))) {
        // Double check: only king moves follow.
        statusFlags |= (statusFlags & STATUS_IN_CHECK) ? STATUS_DOUBLE_CHECK
                                                       : STATUS_IN_CHECK | STATUS_SLIDING_CHECK | STATUS_DOUBLE_CHECK;
        return;
    }
    // One sliding checker: it may be taken or blocked on the squares between.
    const Square checker = lowestSquare(checkers);
    checkMask_ = squaresBetween(kingSquare, checker) | squareBit(checker);
    checkCount_ = static_cast<std::uint32_t>(std::popcount(checkMask_));
    checkSquares_[0] = lowestSquare(checkMask_);
    excludedKingDelta_ = -kDirectionDelta[tables.direction[kingSquare][checker]];
    statusFlags |= STATUS_IN_CHECK | STATUS_SLIDING_CHECK;
}

bool Board_class::isAttacked(Square square, Bitboard occupied, Bitboard enemyPawns) const
{
    const std::uint32_t them = generatingOpponent_ - 1;
    const AttackTables& tables = attackTables();
    if ((tables.pawn[generatingSide_ - 1][square] & enemyPawns) ||
        (tables.knight[square] & pieceBB_[them][KNIGHT]) || (tables.king[square] & pieceBB_[them][KING]))
        return true;
    const Bitboard queens = pieceBB_[them][QUEEN];
    const Bitboard straight = queens | pieceBB_[them][ROOK];
    const Bitboard diagonal = queens | pieceBB_[them][BISHOP];
    return (straight && (rookAttacksMagic(square, occupied) & straight)) ||
           (diagonal && (bishopAttacksMagic(square, occupied) & diagonal));
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

Piece_class* Board_class::attackerOf(Square square, AttackMode mode) const
{
    const std::uint32_t them = generatingOpponent_ - 1;
    const AttackTables& tables = attackTables();
    if (mode == AttackMode::Full) {
        const Bitboard occupiedNow = occupied();
        const Bitboard queens = pieceBB_[them][QUEEN];
        const Bitboard attackers =
            (tables.pawn[generatingSide_ - 1][square] & pieceBB_[them][PAWN]) |
            (tables.knight[square] & pieceBB_[them][KNIGHT]) | (tables.king[square] & pieceBB_[them][KING]) |
            (rookAttacksMagic(square, occupiedNow) & (queens | pieceBB_[them][ROOK])) |
            (bishopAttacksMagic(square, occupiedNow) & (queens | pieceBB_[them][BISHOP]));
        return attackers ? squares_[lowestSquare(attackers)] : nullptr;
    }

    // Pawns and knights in ray-table order, then a king on the first square
    // of the first direction: the order decides which checker is reported.
    const RaySet& kingRays = raySet(KING_RAYS, square);
    if (tables.pawn[generatingSide_ - 1][square] & pieceBB_[them][PAWN]) {
        const std::int32_t right = generatingSide_ == WHITE ? 9 : -9;
        const std::int32_t left = generatingSide_ == WHITE ? 7 : -7;
        for (std::uint32_t r = 0; r < kingRays.count; ++r) {
            const std::int32_t delta = kingRays.rays[r].delta;
            if (delta != right && delta != left)
                continue;
            Piece_class* piece = squares_[square + delta];
            if (piece != nullptr && piece->colour == generatingOpponent_ && piece->type == PAWN)
                return piece;
        }
    }
    if (tables.knight[square] & pieceBB_[them][KNIGHT]) {
        const RaySet& jumps = raySet(KNIGHT_RAYS, square);
        for (std::uint32_t r = 0; r < jumps.count; ++r) {
            Piece_class* piece = squares_[square + jumps.rays[r].delta];
            if (piece != nullptr && piece->colour == generatingOpponent_ && piece->type == KNIGHT)
                return piece;
        }
    }
    const RaySet& lines = raySet(QUEEN_RAYS, square);
    if (lines.count > 0) {
        Piece_class* piece = squares_[square + lines.rays[0].delta];
        if (piece != nullptr && piece->colour == generatingOpponent_ && piece->type == KING)
            return piece;
    }
    return nullptr;
}

namespace {

// Ray-table directions of the sliding pieces, in their ray-set order.
constexpr int kQueenDirections[8] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr int kRookDirections[4] = {0, 2, 4, 6};
constexpr int kBishopDirections[4] = {1, 3, 5, 7};

} // namespace

void Board_class::generatePieceMoves(Piece_class* piece)
{
    if (piece->type == KNIGHT) {
        generateKnightMoves(piece);
        return;
    }
    const bool inCheck = statusFlags & STATUS_IN_CHECK;
    const Square from = piece->square;
    const Bitboard occupiedNow = occupied();
    const Bitboard own = colourBB_[generatingSide_ - 1];
    const AttackTables& tables = attackTables();
    const int* directions = piece->type == QUEEN ? kQueenDirections
                            : piece->type == ROOK ? kRookDirections
                                                  : kBishopDirections;
    const int directionCount = piece->type == QUEEN ? 8 : 4;
    if (!listNonCaptures_) {
        countSliderMoves(piece, directions, directionCount);
        return;
    }
    std::uint32_t tally = 0;
    for (int i = 0; i < directionCount; ++i) {
        const int d = directions[i];
        const Bitboard ray = tables.ray[d][from];
        if (ray == 0)
            continue;
        const std::int32_t delta = kDirectionDelta[d];
        if (piece->pinned && delta != piece->pinDelta && delta != piece->pinDeltaNeg)
            continue;
        // Empty squares up to the first piece, near to far, then the piece itself.
        const Bitboard blockers = ray & occupiedNow;
        Square blocker = NO_SQUARE;
        Bitboard empty = ray;
        if (blockers != 0) {
            blocker = risingDirection(d) ? lowestSquare(blockers) : highestSquare(blockers);
            empty = ray ^ tables.ray[d][blocker] ^ squareBit(blocker);
        }
        Bitboard targets = inCheck ? empty & checkMask_ : empty;
        if (!listNonCaptures_) {
            const auto count = static_cast<std::uint32_t>(std::popcount(targets));
            tally += count;
            quietCount_ += count;
            *quietTargets_ |= targets;
            targets = 0;
        }
        while (targets != 0) {
            const Square to = risingDirection(d) ? lowestSquare(targets) : highestSquare(targets);
            targets ^= squareBit(to);
            addMove(encodeMove(from, to, 0, 0));
            ++tally;
        }
        if (blocker == NO_SQUARE)
            continue;
        if (own & squareBit(blocker)) {
            ++piece->ownHits;
        } else if (!inCheck || (checkMask_ & squareBit(blocker))) {
            ++piece->enemyHits;
            addCapture(encodeMove(from, blocker, 0, MOVE_CAPTURE));
            ++tally;
        }
    }
    piece->mobility[mobilityIndex_] = tally;
}

// The same moves, tallies and hits as the listing walk above, with the
// non-captures counted from the attack set instead of listed; captures are
// still added in ray order (one per direction at most).
void Board_class::countSliderMoves(Piece_class* piece, const int* directions, int directionCount)
{
    const bool inCheck = statusFlags & STATUS_IN_CHECK;
    const Square from = piece->square;
    const Bitboard occupiedNow = occupied();
    const Bitboard own = colourBB_[generatingSide_ - 1];
    const AttackTables& tables = attackTables();
    Bitboard attacks = 0;
    if (piece->type != BISHOP)
        attacks |= rookAttacksMagic(from, occupiedNow);
    if (piece->type != ROOK)
        attacks |= bishopAttacksMagic(from, occupiedNow);
    if (piece->pinned) {
        const int d = directionOf(piece->pinDelta);
        attacks &= tables.ray[d][from] | tables.ray[(d + 4) & 7][from];
    }
    piece->ownHits += static_cast<std::uint32_t>(std::popcount(attacks & own));
    Bitboard quiet = attacks & ~occupiedNow;
    Bitboard captures = attacks & colourBB_[generatingOpponent_ - 1];
    if (inCheck) {
        quiet &= checkMask_;
        captures &= checkMask_;
    }
    const auto quietMoves = static_cast<std::uint32_t>(std::popcount(quiet));
    quietCount_ += quietMoves;
    *quietTargets_ |= quiet;
    std::uint32_t tally = quietMoves;
    if (captures != 0) {
        for (int i = 0; i < directionCount; ++i) {
            const Bitboard hit = captures & tables.ray[directions[i]][from];
            if (hit == 0)
                continue;
            ++piece->enemyHits;
            addCapture(encodeMove(from, lowestSquare(hit), 0, MOVE_CAPTURE));
            ++tally;
        }
    }
    piece->mobility[mobilityIndex_] = tally;
}

void Board_class::generateKnightMoves(Piece_class* knight)
{
    std::uint32_t tally = 0;
    if (!knight->pinned) {
        const bool inCheck = statusFlags & STATUS_IN_CHECK;
        const Square from = knight->square;
        const RaySet& jumps = raySet(KNIGHT_RAYS, from);
        for (std::uint32_t r = 0; r < jumps.count; ++r) {
            const Square to = from + jumps.rays[r].delta;
            const Piece_class* target = squares_[to];
            if (target != nullptr && target->colour == generatingSide_) {
                ++knight->ownHits;
                continue;
            }
            if (inCheck && !isCheckSquare(to))
                continue;
            if (target != nullptr) {
                ++knight->enemyHits;
                addCapture(encodeMove(from, to, 0, MOVE_CAPTURE));
            } else {
                addMove(encodeMove(from, to, 0, 0));
            }
            ++tally;
        }
    }
    knight->mobility[mobilityIndex_] = tally;
}

void Board_class::generateKingMoves(Piece_class* king)
{
    std::uint32_t tally = 0;
    const Square from = king->square;
    const RaySet& rays = raySet(KING_RAYS, from);
    const Bitboard withoutKing = occupied() ^ squareBit(from);
    const Bitboard enemyPawns = pieceBB_[generatingOpponent_ - 1][PAWN];
    for (std::uint32_t r = 0; r < rays.count; ++r) {
        const std::int32_t delta = rays.rays[r].delta;
        if (delta == excludedKingDelta_)
            continue;
        const Square to = from + delta;
        const Piece_class* target = squares_[to];
        // Own pieces next to the king are neither moves nor counted: nothing
        // reads the king's own-hit count, so the attack test is skipped.
        if (target != nullptr && target->colour == generatingSide_)
            continue;
        // The king is taken off its square for the test.
        if (isAttacked(to, withoutKing, enemyPawns))
            continue;
        if (target == nullptr)
            addMove(encodeMove(from, to, 0, 0));
        else
            addCapture(encodeMove(from, to, 0, MOVE_CAPTURE));
        ++tally;
    }
    king->mobility[mobilityIndex_] = tally;
}

bool Board_class::castlingPiecesInPlace(Square kingHome, Square rookHome) const
{
    const Piece_class* king = squares_[kingHome];
    const Piece_class* rook = squares_[rookHome];
    return king == ownKing_ && rook != nullptr && rook->colour == generatingSide_ &&
           rook->type == ROOK;
}

void Board_class::generateCastling(MoveList& list)
{
    const CastlingSquares& sq = kCastling[generatingSide_ - 1];
    const std::uint32_t kingSide = generatingSide_ == WHITE ? CASTLE_WK : CASTLE_BK;
    const std::uint32_t queenSide = generatingSide_ == WHITE ? CASTLE_WQ : CASTLE_BQ;
    const Bitboard occupiedNow = occupied();
    const Bitboard enemyPawns = pieceBB_[generatingOpponent_ - 1][PAWN];
    auto safe = [&](Square s) { return !isAttacked(s, occupiedNow, enemyPawns); };

    // Rights are kept as read; the king and rook must really stand at home.
    if ((castlingRights & kingSide) && castlingPiecesInPlace(sq.king, sq.kingSideRook) &&
        squares_[sq.f] == nullptr && squares_[sq.g] == nullptr && safe(sq.f) && safe(sq.g)) {
        if (listNonCaptures_)
            addMove(encodeMove(sq.king, sq.g, 0, MOVE_CASTLE | MOVE_TWO_SQUARE));
        else {
            ++quietCount_;
            list.castlingGenerated |= 1;
        }
    }
    if ((castlingRights & queenSide) && castlingPiecesInPlace(sq.king, sq.queenSideRook) &&
        squares_[sq.b] == nullptr && squares_[sq.c] == nullptr && squares_[sq.d] == nullptr &&
        safe(sq.d) && safe(sq.c)) {
        if (listNonCaptures_)
            addMove(encodeMove(sq.king, sq.c, 0, MOVE_CASTLE));
        else {
            ++quietCount_;
            list.castlingGenerated |= 2;
        }
    }
}

void Board_class::addPromotions(Square from, Square to, std::uint32_t flags)
{
    if (!(flags & MOVE_CAPTURE) && !listNonCaptures_) {
        quietCount_ += 4;
        *quietTargets_ |= squareBit(to);
        return;
    }
    Move* cursor = (flags & MOVE_CAPTURE) ? captureCursor_ : nonCaptureCursor_;
    for (PieceType type : {BISHOP, ROOK, KNIGHT, QUEEN})
        *cursor++ = encodeMove(from, to, type, flags);
    ((flags & MOVE_CAPTURE) ? captureCursor_ : nonCaptureCursor_) = cursor;
}

bool Board_class::addEnPassant(Piece_class* pawn, Square target)
{
    const Square from = pawn->square;
    const Square victimSquare = generatingSide_ == WHITE ? target - 8 : target + 8;
    Piece_class* victim = squares_[victimSquare];
    if (victim == nullptr || victim->colour != generatingOpponent_ || victim->type != PAWN)
        return false;   // an en passant square without a pawn to take

    // The own king must not stand attacked once the capture is played.
    const Bitboard after = occupied() ^ squareBit(from) ^ squareBit(target) ^ squareBit(victimSquare);
    const Bitboard enemyPawns = pieceBB_[generatingOpponent_ - 1][PAWN] & ~squareBit(victimSquare);
    if (isAttacked(ownKing_->square, after, enemyPawns))
        return false;
    addCapture(encodeMove(from, target, static_cast<std::uint32_t>(victimSquare),
                          MOVE_PAWN | MOVE_CAPTURE | MOVE_EN_PASSANT));
    return true;
}

void Board_class::generatePawnMoves(Piece_class* pawn)
{
    const bool white = generatingSide_ == WHITE;
    const bool inCheck = inCheck_;
    const Square from = pawn->square;
    const std::int32_t forward = white ? 8 : -8;
    auto lastRank = [white](Square s) { return white ? s >= 56 : s <= 7; };
    auto allowedDirection = [pawn](std::int32_t delta) {
        return !pawn->pinned || delta == pawn->pinDelta || delta == pawn->pinDeltaNeg;
    };
    std::uint32_t tally = 0;

    // Capture steps, in ray-set order: towards the h-file first.
    if (attackTables().pawn[generatingSide_ - 1][from] & (enemyPieces_ | enPassantBit_))
        tally = pawnCaptures(pawn);

    // The forward step, and the double step from the second rank.
    const Square to = from + forward;
    if (to >= 0 && to < 64 && allowedDirection(forward)) {
        if (occupiedNow_ & squareBit(to)) {
            if (enemyPieces_ & squareBit(to))
                ++pawn->enemyHits;
            else
                ++pawn->ownHits;
        } else if (!inCheck || isCheckSquare(to)) {
            if (lastRank(to)) {
                addPromotions(from, to, MOVE_PAWN | MOVE_PROMOTION);
                ++tally;
            } else {
                addMove(encodeMove(from, to, 0, MOVE_PAWN));
                ++tally;
                addDoubleStep(from, to, forward, tally);
            }
        } else {
            addDoubleStep(from, to, forward, tally);   // in check, the double step may still block
        }
    }
    pawn->mobility[mobilityIndex_] = tally;
}

// A pawn's captures (en passant included), in ray-set order; returns how many
// it adds to the pawn's tally (four promotions count once).
std::uint32_t Board_class::pawnCaptures(Piece_class* pawn)
{
    const bool white = generatingSide_ == WHITE;
    const bool inCheck = inCheck_;
    const Square from = pawn->square;
    auto lastRank = [white](Square s) { return white ? s >= 56 : s <= 7; };
    std::uint32_t tally = 0;
    const std::int32_t steps[2] = {white ? 9 : -7, white ? 7 : -9};
    for (const std::int32_t delta : steps) {
        const Square to = from + delta;
        // The step must stay on the board (no wrap to the other edge).
        if (delta == steps[0] ? fileOf(from) == 7 : fileOf(from) == 0)
            continue;
        if (pawn->pinned && delta != pawn->pinDelta && delta != pawn->pinDeltaNeg)
            continue;
        if (enemyPieces_ & squareBit(to)) {
            if (inCheck && !isCheckSquare(to))
                continue;
            if (lastRank(to))
                addPromotions(from, to, MOVE_PAWN | MOVE_CAPTURE | MOVE_PROMOTION);
            else
                addCapture(encodeMove(from, to, 0, MOVE_PAWN | MOVE_CAPTURE));
            ++tally;
        } else if (to == enPassantSquare && !(occupiedNow_ & squareBit(to)) &&
                   (!inCheck || (checkCount_ == 1 && squares_[checkSquares_[0]] != nullptr &&
                                 squares_[checkSquares_[0]]->type == PAWN))) {
            if (addEnPassant(pawn, to))
                ++tally;
        }
    }
    return tally;
}

// A pawn that is neither pinned nor facing a check: the same moves, in the
// same order, as generatePawnMoves, read off the sets worked out for all pawns.
void Board_class::generateFreePawnMoves(Piece_class* pawn)
{
    const bool white = generatingSide_ == WHITE;
    const Square from = pawn->square;
    std::uint32_t tally = 0;
    if (attackTables().pawn[generatingSide_ - 1][from] & (enemyPieces_ | enPassantBit_))
        tally = pawnCaptures(pawn);
    const std::int32_t forward = white ? 8 : -8;
    const Square to = from + forward;
    if (to < 0 || to >= 64) {
        // A pawn on its last rank (only possible from a FEN) has no step.
    } else if (pawnSingles_ & squareBit(to)) {
        if (white ? to >= 56 : to <= 7) {
            addPromotions(from, to, MOVE_PAWN | MOVE_PROMOTION);
            ++tally;
        } else {
            addMove(encodeMove(from, to, 0, MOVE_PAWN));
            ++tally;
            const Square further = to + forward;
            if ((white ? from < 16 : from >= 48) && (pawnDoubles_ & squareBit(further))) {
                addMove(encodeMove(from, further, static_cast<std::uint32_t>(to), MOVE_PAWN | MOVE_TWO_SQUARE));
                ++tally;
            }
        }
    } else if (enemyPieces_ & squareBit(to)) {
        ++pawn->enemyHits;
    } else if (ownPieces_ & squareBit(to)) {
        ++pawn->ownHits;
    }
    pawn->mobility[mobilityIndex_] = tally;
}

void Board_class::addDoubleStep(Square from, Square passed, std::int32_t forward, std::uint32_t& tally)
{
    const bool onSecondRank = generatingSide_ == WHITE ? from < 16 : from >= 48;
    const Square further = passed + forward;
    if (onSecondRank && !(occupiedNow_ & squareBit(further)) && (!inCheck_ || isCheckSquare(further))) {
        addMove(encodeMove(from, further, static_cast<std::uint32_t>(passed), MOVE_PAWN | MOVE_TWO_SQUARE));
        ++tally;
    }
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
        const CastlingSquares& sq = kCastling[list.side - 1];
        generated = (move == encodeMove(sq.king, sq.g, 0, MOVE_CASTLE | MOVE_TWO_SQUARE) &&
                     (list.castlingGenerated & 1)) ||
                    (move == encodeMove(sq.king, sq.c, 0, MOVE_CASTLE) && (list.castlingGenerated & 2));
    } else {
        const std::uint32_t slot = static_cast<std::uint32_t>(piece - pieces_) - (list.side == WHITE ? 0 : 16);
        if ((list.quietTargets[slot] >> to) & 1) {
            if (piece->type != PAWN) {
                generated = move == encodeMove(from, to, 0, 0);
            } else if (list.side == WHITE ? to >= 56 : to <= 7) {
                const std::uint32_t type = moveExtra(move);
                generated = flags == (MOVE_PAWN | MOVE_PROMOTION) &&
                            (type == BISHOP || type == ROOK || type == KNIGHT || type == QUEEN);
            } else if (to - from == 16 || from - to == 16) {
                generated = move == encodeMove(from, to, static_cast<std::uint32_t>((from + to) / 2),
                                               MOVE_PAWN | MOVE_TWO_SQUARE);
            } else {
                generated = move == encodeMove(from, to, 0, MOVE_PAWN);
            }
        }
    }
    return generated;
}
