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
#include "board/move.h"
#include "board/ray_table.h"

namespace {

constexpr std::uint32_t QUEEN_RAYS = QUEEN;
constexpr std::uint32_t KING_RAYS = KING;
constexpr std::uint32_t KNIGHT_RAYS = KNIGHT;

bool isStraight(std::int32_t delta)
{
    return delta == 1 || delta == -1 || delta == 8 || delta == -8;
}

// Does a piece of this type move along a ray of this step?
bool slidesAlong(PieceType type, std::int32_t delta)
{
    return type == QUEEN || (type == ROOK && isStraight(delta)) ||
           (type == BISHOP && !isStraight(delta));
}

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

void Board_class::generateMoves(MoveList& list)
{
    generatingSide_ = list.side;
    generatingOpponent_ = list.opponent;
    nonCaptureCursor_ = list.nonCaptures;
    captureCursor_ = list.captures;
    mobilityIndex_ = list.mobilityIndex;
    ownKing_ = blockOf(generatingSide_).king;
    opponentTypeCount_ = blockOf(generatingOpponent_).typeCount;

    findChecksAndPins();

    const std::uint32_t firstSlot = generatingSide_ == WHITE ? 0 : 16;
    if (statusFlags & STATUS_DOUBLE_CHECK) {
        ownKing_->ownHits = 0;
        ownKing_->enemyHits = 0;
        generateKingMoves(ownKing_);
    } else {
        for (std::uint32_t slot = firstSlot; slot < firstSlot + 16; ++slot) {
            Piece_class* piece = pieceSlots_[slot];
            if (piece == nullptr || piece->captured)
                continue;
            piece->ownHits = 0;
            piece->enemyHits = 0;
            if (piece->type == PAWN)
                generatePawnMoves(piece);
            else if (piece->type == KING)
                generateKingMoves(piece);
            else
                generatePieceMoves(piece);
        }
        if (!(statusFlags & STATUS_IN_CHECK))
            generateCastling();
    }

    list.captureCount = static_cast<std::uint32_t>(captureCursor_ - list.captures);
    list.nonCaptureCount = static_cast<std::uint32_t>(nonCaptureCursor_ - list.nonCaptures);
    if (list.captureCount == 0 && list.nonCaptureCount == 0)
        statusFlags |= (statusFlags & STATUS_IN_CHECK) ? STATUS_CHECKMATED : STATUS_STALEMATED;
    list.pickPhase = 0;
    list.capturesLeft = list.captureCount;
    list.nonCapturesLeft = list.nonCaptureCount;

    // Pins hold for this generation only.
    for (std::uint32_t slot = firstSlot; slot < firstSlot + 16; ++slot) {
        if (Piece_class* piece = pieceSlots_[slot])
            piece->pinned = 0;
    }
}

void Board_class::findChecksAndPins()
{
    statusFlags = 0;
    checkCount_ = 0;
    excludedKingDelta_ = 0;
    const Square kingSquare = ownKing_->square;

    if (const Piece_class* checker = attackerOf(kingSquare, AttackMode::NonSliding)) {
        checkSquares_[0] = checker->square;
        checkCount_ = 1;
        statusFlags |= STATUS_IN_CHECK;
    }
    const std::uint32_t* enemy = opponentTypeCount_;
    if (enemy[QUEEN] + enemy[ROOK] + enemy[BISHOP] == 0)
        return;

    const RaySet& rays = raySet(QUEEN_RAYS, kingSquare);
    for (std::uint32_t r = 0; r < rays.count; ++r) {
        const Ray& ray = rays.rays[r];
        statusFlags &= ~STATUS_OWN_PIECE_ON_RAY;
        Piece_class* candidate = nullptr;
        std::uint32_t recorded = 0;   // empty squares written on this ray
        Square square = kingSquare;
        for (std::uint32_t step = 0; step < ray.steps; ++step) {
            square += ray.delta;
            Piece_class* piece = squares_[square];
            if (piece == nullptr) {
                if (!(statusFlags & (STATUS_IN_CHECK | STATUS_SLIDING_CHECK)))
                    checkSquares_[checkCount_ + recorded++] = square;
                continue;
            }
            if (piece->colour == generatingSide_) {
                if (statusFlags & STATUS_OWN_PIECE_ON_RAY)
                    break;   // two own pieces: no pin
                statusFlags |= STATUS_OWN_PIECE_ON_RAY;
                candidate = piece;
                continue;
            }
            if (!slidesAlong(piece->type, ray.delta))
                break;
            if (statusFlags & STATUS_OWN_PIECE_ON_RAY) {
                candidate->pinned = 1;
                candidate->pinDelta = ray.delta;
                candidate->pinDeltaNeg = -ray.delta;
                break;
            }
            excludedKingDelta_ = -ray.delta;
            checkSquares_[checkCount_ + recorded] = square;
            if (statusFlags & STATUS_IN_CHECK) {
                statusFlags |= STATUS_DOUBLE_CHECK;
                return;
            }
            checkCount_ = recorded + 1;
            statusFlags |= STATUS_IN_CHECK | STATUS_SLIDING_CHECK;
            break;
        }
    }
}

Piece_class* Board_class::attackerOf(Square square, AttackMode mode) const
{
    const std::uint32_t* enemy = opponentTypeCount_;
    const RaySet& kingRays = raySet(KING_RAYS, square);

    if (enemy[PAWN] != 0) {
        // The two squares an enemy pawn would capture from: ahead of the square
        // as seen from the generating side.
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
    if (enemy[KNIGHT] != 0) {
        const RaySet& jumps = raySet(KNIGHT_RAYS, square);
        for (std::uint32_t r = 0; r < jumps.count; ++r) {
            Piece_class* piece = squares_[square + jumps.rays[r].delta];
            if (piece != nullptr && piece->colour == generatingOpponent_ && piece->type == KNIGHT)
                return piece;
        }
    }

    const bool sliders = enemy[QUEEN] + enemy[ROOK] + enemy[BISHOP] != 0;
    const RaySet& lines = raySet(QUEEN_RAYS, square);
    for (std::uint32_t r = 0; r < lines.count; ++r) {
        const Ray& ray = lines.rays[r];
        Square target = square + ray.delta;
        Piece_class* piece = squares_[target];
        if (piece != nullptr && piece->colour == generatingOpponent_ && piece->type == KING)
            return piece;
        if (mode == AttackMode::NonSliding)
            return nullptr;   // only the first direction is looked at
        if (!sliders)
            continue;
        for (std::uint32_t step = 1; piece == nullptr && step < ray.steps; ++step) {
            target += ray.delta;
            piece = squares_[target];
        }
        if (piece != nullptr && piece->colour == generatingOpponent_ && slidesAlong(piece->type, ray.delta))
            return piece;
    }
    return nullptr;
}

bool Board_class::isCheckSquare(Square square) const
{
    for (std::uint32_t i = 0; i < checkCount_; ++i) {
        if (checkSquares_[i] == square)
            return true;
    }
    return false;
}

void Board_class::generatePieceMoves(Piece_class* piece)
{
    std::uint32_t tally = 0;
    if (!(piece->pinned && piece->type == KNIGHT)) {
        const bool inCheck = statusFlags & STATUS_IN_CHECK;
        const Square from = piece->square;
        const RaySet& rays = raySet(piece->type, from);
        for (std::uint32_t r = 0; r < rays.count; ++r) {
            const Ray& ray = rays.rays[r];
            if (piece->pinned && ray.delta != piece->pinDelta && ray.delta != piece->pinDeltaNeg)
                continue;
            Square to = from;
            for (std::uint32_t step = 0; step < ray.steps; ++step) {
                to += ray.delta;
                const Piece_class* target = squares_[to];
                if (target != nullptr && target->colour == generatingSide_) {
                    ++piece->ownHits;
                    break;
                }
                if (inCheck && !isCheckSquare(to)) {
                    if (target != nullptr)
                        break;
                    continue;
                }
                if (target != nullptr) {
                    ++piece->enemyHits;
                    addCapture(encodeMove(from, to, 0, MOVE_CAPTURE));
                    ++tally;
                    break;
                }
                addMove(encodeMove(from, to, 0, 0));
                ++tally;
            }
        }
    }
    piece->mobility[mobilityIndex_] = tally;
}

void Board_class::generateKingMoves(Piece_class* king)
{
    std::uint32_t tally = 0;
    const Square from = king->square;
    const RaySet& rays = raySet(KING_RAYS, from);
    for (std::uint32_t r = 0; r < rays.count; ++r) {
        const std::int32_t delta = rays.rays[r].delta;
        if (delta == excludedKingDelta_)
            continue;
        const Square to = from + delta;
        squares_[from] = nullptr;
        const bool attacked = attackerOf(to, AttackMode::Full) != nullptr;
        squares_[from] = king;
        if (attacked)
            continue;
        const Piece_class* target = squares_[to];
        if (target == nullptr) {
            addMove(encodeMove(from, to, 0, 0));
            ++tally;
        } else if (target->colour != generatingSide_) {
            addCapture(encodeMove(from, to, 0, MOVE_CAPTURE));
            ++tally;
        } else {
            ++king->ownHits;
        }
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

void Board_class::generateCastling()
{
    const CastlingSquares& sq = kCastling[generatingSide_ - 1];
    const std::uint32_t kingSide = generatingSide_ == WHITE ? CASTLE_WK : CASTLE_BK;
    const std::uint32_t queenSide = generatingSide_ == WHITE ? CASTLE_WQ : CASTLE_BQ;
    auto safe = [this](Square s) { return attackerOf(s, AttackMode::Full) == nullptr; };

    // Rights are kept as read; the king and rook must really stand at home.
    if ((castlingRights & kingSide) && castlingPiecesInPlace(sq.king, sq.kingSideRook) &&
        squares_[sq.f] == nullptr && squares_[sq.g] == nullptr && safe(sq.f) && safe(sq.g))
        addMove(encodeMove(sq.king, sq.g, 0, MOVE_CASTLE | MOVE_TWO_SQUARE));
    if ((castlingRights & queenSide) && castlingPiecesInPlace(sq.king, sq.queenSideRook) &&
        squares_[sq.b] == nullptr && squares_[sq.c] == nullptr && squares_[sq.d] == nullptr &&
        safe(sq.d) && safe(sq.c))
        addMove(encodeMove(sq.king, sq.c, 0, MOVE_CASTLE));
}

void Board_class::addPromotions(Square from, Square to, std::uint32_t flags)
{
    Move* cursor = (flags & MOVE_CAPTURE) ? captureCursor_ : nonCaptureCursor_;
    for (PieceType type : {BISHOP, ROOK, KNIGHT, QUEEN})
        *cursor++ = encodeMove(from, to, type, flags);
    ((flags & MOVE_CAPTURE) ? captureCursor_ : nonCaptureCursor_) = cursor;
}

void Board_class::addEnPassant(Piece_class* pawn, Square target)
{
    const Square from = pawn->square;
    const Square victimSquare = generatingSide_ == WHITE ? target - 8 : target + 8;
    Piece_class* victim = squares_[victimSquare];
    if (victim == nullptr || victim->colour != generatingOpponent_ || victim->type != PAWN)
        return;   // an en passant square without a pawn to take

    // Play the capture on the squares, look at the own king, put everything back.
    squares_[from] = nullptr;
    squares_[target] = pawn;
    squares_[victimSquare] = nullptr;
    const bool exposesKing = attackerOf(ownKing_->square, AttackMode::Full) != nullptr;
    squares_[from] = pawn;
    squares_[target] = nullptr;
    squares_[victimSquare] = victim;
    if (!exposesKing)
        addCapture(encodeMove(from, target, static_cast<std::uint32_t>(victimSquare),
                              MOVE_PAWN | MOVE_CAPTURE | MOVE_EN_PASSANT));
}

void Board_class::generatePawnMoves(Piece_class* pawn)
{
    const bool white = generatingSide_ == WHITE;
    const bool inCheck = statusFlags & STATUS_IN_CHECK;
    const Square from = pawn->square;
    const RaySet& rays = raySet(white ? WHITE_PAWN_RAYS : BLACK_PAWN_RAYS, from);
    Move* const capturesBefore = captureCursor_;
    Move* const movesBefore = nonCaptureCursor_;
    std::uint32_t promotionSets = 0;

    auto lastRank = [white](Square s) { return white ? s >= 56 : s <= 7; };

    for (std::uint32_t r = 0; r < rays.count; ++r) {
        const std::int32_t delta = rays.rays[r].delta;
        if (pawn->pinned && delta != pawn->pinDelta && delta != pawn->pinDeltaNeg)
            continue;
        const Square to = from + delta;
        Piece_class* target = squares_[to];

        if (r + 1 < rays.count) {   // a capture step
            if (target == nullptr) {
                if (to == enPassantSquare &&
                    (!inCheck || (checkCount_ == 1 && squares_[checkSquares_[0]] != nullptr &&
                                  squares_[checkSquares_[0]]->type == PAWN)))
                    addEnPassant(pawn, to);
            } else if (target->colour != generatingSide_) {
                if (inCheck && !isCheckSquare(to))
                    continue;
                if (lastRank(to)) {
                    addPromotions(from, to, MOVE_PAWN | MOVE_CAPTURE | MOVE_PROMOTION);
                    ++promotionSets;
                } else {
                    addCapture(encodeMove(from, to, 0, MOVE_PAWN | MOVE_CAPTURE));
                }
            }
            continue;
        }

        // The forward step.
        if (target != nullptr) {
            if (target->colour == generatingSide_)
                ++pawn->ownHits;
            else
                ++pawn->enemyHits;
            continue;
        }
        if (!inCheck || isCheckSquare(to)) {
            if (lastRank(to)) {
                addPromotions(from, to, MOVE_PAWN | MOVE_PROMOTION);
                ++promotionSets;
                continue;
            }
            addMove(encodeMove(from, to, 0, MOVE_PAWN));
        }
        const bool onSecondRank = white ? from < 16 : from >= 48;
        const Square further = to + delta;
        if (onSecondRank && squares_[further] == nullptr && (!inCheck || isCheckSquare(further)))
            addMove(encodeMove(from, further, static_cast<std::uint32_t>(to), MOVE_PAWN | MOVE_TWO_SQUARE));
    }
    // Four promotions count as one move.
    const auto added = static_cast<std::uint32_t>((captureCursor_ - capturesBefore) +
                                                  (nonCaptureCursor_ - movesBefore));
    pawn->mobility[mobilityIndex_] = added - 3 * promotionSets;
}
