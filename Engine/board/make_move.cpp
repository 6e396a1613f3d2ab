// Playing and taking back moves. Everything is incremental: no piece is
// created or freed (a capture only marks the piece, a promotion retypes the
// pawn), and the key changes by XOR of the few entries that change.

#include "board/board.h"
#include "board/move.h"

namespace {

// Rook squares of castling: {from, to} by colour and wing.
struct CastlingRookMove {
    Square kingFrom, kingTo, rookFrom, rookTo;
};
constexpr CastlingRookMove kKingSide[2] = {{4, 6, 7, 5}, {60, 62, 63, 61}};
constexpr CastlingRookMove kQueenSide[2] = {{4, 2, 0, 3}, {60, 58, 56, 59}};

const CastlingRookMove& castlingOf(Colour side, Move move)
{
    return (moveFlags(move) & MOVE_TWO_SQUARE) ? kKingSide[side - 1] : kQueenSide[side - 1];
}

std::int32_t increment(std::int32_t value, std::int32_t delta)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(delta));
}

} // namespace

void Board_class::movePiece(Piece_class* piece, Square to)
{
    flipBits(*piece, piece->square);
    flipBits(*piece, to);
    squares_[piece->square] = nullptr;
    piece->square = to;
    squares_[to] = piece;
}

void Board_class::makeMove(MoveRecord& record)
{
    const Move move = record.move;
    const std::uint32_t flags = moveFlags(move);
    const Colour own = sideToMove;

    record.previousLastMove = lastMove;
    lastMove = move;
    record.side = own;
    record.key = hashKey;
    const bool scoring = pieceScoreTable_ != nullptr;
    if (scoring) {
        if (pieceScoreStale_)
            recomputePieceScore();
        record.pieceScore = pieceScore_;
    }
    record.pieceScoreEpoch = scoring ? pieceScoreEpoch_ : pieceScoreEpoch_ - 1;

    if (flags & (MOVE_PAWN | MOVE_CAPTURE)) {
        record.halfmoveClock = halfmoveClock;
        halfmoveClock = 0;
    } else {
        halfmoveClock = increment(halfmoveClock, 1);
    }

    record.enPassant = enPassantSquare;
    if (enPassantSquare != NO_SQUARE) {
        toggle(keys_.enPassantKeys[enPassantSquare]);
        enPassantSquare = NO_SQUARE;
        toggle(keys_.enPassantKeys[NO_SQUARE]);
    }
    toggle(keys_.sideKeys[0] ^ keys_.sideKeys[1]);

    if (flags & MOVE_CASTLE) {
        makeCastling(record);
        assert(isConsistent(nullptr, 0, otherColour(record.side)));
        return;
    }

    const Square from = moveFrom(move);
    const Square to = moveTo(move);
    ColourBlock& opponent = blockOf(otherColour(own));

    if (flags & MOVE_EN_PASSANT) {
        record.castlingRights = castlingRights;
        Piece_class* victim = squares_[moveExtra(move)];
        Piece_class* mover = squares_[from];
        if (scoring)
            pieceScore_ -= scoreOf(*victim) + scoreOf(*mover);
        ++mover->moveCount;
        record.captured = victim;
        record.mover = mover;
        record.from = from;
        victim->captured = 1;
        liveSlots_ &= ~slotBit(victim);
        toggle(keys_.squareKeys[victim->square][victim->code]);
        --opponent.typeCount[PAWN];
        --opponent.pieceCount;
        materialBalance -= victim->value;
        squares_[victim->square] = nullptr;
        flipBits(*victim, victim->square);
        movePiece(mover, to);
        if (scoring)
            pieceScore_ += scoreOf(*mover);
        toggle(keys_.squareKeys[from][mover->code] ^ keys_.squareKeys[to][mover->code]);
        assert(isConsistent(nullptr, 0, otherColour(record.side)));
        return;
    }

    if ((flags & MOVE_TWO_SQUARE)) {
        toggle(keys_.enPassantKeys[NO_SQUARE]);
        enPassantSquare = static_cast<Square>(moveExtra(move));
        toggle(keys_.enPassantKeys[enPassantSquare]);
    } else if (flags & MOVE_PROMOTION) {
        Piece_class* pawn = squares_[from];
        ColourBlock& ownBlock = blockOf(own);
        toggle(keys_.squareKeys[from][pawn->code]);
        materialBalance -= pawn->value;
        if (scoring)
            pieceScore_ -= scoreOf(*pawn);
        flipBits(*pawn, from);
        slotsByType_[PAWN] &= ~slotBit(pawn);
        pawn->setType(moveExtra(move));
        slotsByType_[pawn->type] |= slotBit(pawn);
        flipBits(*pawn, from);
        toggle(keys_.squareKeys[from][pawn->code]);
        ++ownBlock.typeCount[pawn->type];
        --ownBlock.typeCount[PAWN];
        materialBalance += pawn->value;
    }

    Piece_class* mover = squares_[from];
    Piece_class* captured = squares_[to];
    record.mover = mover;
    record.captured = captured;
    record.from = from;
    if (scoring && !(flags & MOVE_PROMOTION))
        pieceScore_ -= scoreOf(*mover);
    toggle(keys_.squareKeys[from][mover->code]);
    record.castlingRights = castlingRights;
    toggle(keys_.castleKeys[castlingRights]);
    castlingRights &= mover->castleKeepMask;
    if (captured != nullptr) {
        if (scoring)
            pieceScore_ -= scoreOf(*captured);
        captured->captured = 1;
        liveSlots_ &= ~slotBit(captured);
        flipBits(*captured, to);
        toggle(keys_.squareKeys[to][captured->code]);
        castlingRights &= captured->castleKeepMask;
        --opponent.typeCount[captured->type];
        --opponent.pieceCount;
        materialBalance -= captured->value;
    }
    movePiece(mover, to);
    ++mover->moveCount;
    if (scoring)
        pieceScore_ += scoreOf(*mover);
    toggle(keys_.squareKeys[to][mover->code]);
    toggle(keys_.castleKeys[castlingRights]);
    assert(isConsistent(nullptr, 0, otherColour(record.side)));
}

void Board_class::makeCastling(MoveRecord& record)
{
    const Colour own = record.side;
    const CastlingRookMove& c = castlingOf(own, record.move);
    record.castlingRights = castlingRights;
    toggle(keys_.castleKeys[castlingRights]);
    castlingRights &= own == WHITE ? ~(CASTLE_WK | CASTLE_WQ) : ~(CASTLE_BK | CASTLE_BQ);
    hasCastled[own - 1] = 1;

    Piece_class* king = squares_[c.kingFrom];
    Piece_class* rook = squares_[c.rookFrom];
    const bool scoring = pieceScoreTable_ != nullptr;
    if (scoring)
        pieceScore_ -= scoreOf(*king) + scoreOf(*rook);
    movePiece(king, c.kingTo);
    movePiece(rook, c.rookTo);
    ++king->moveCount;
    ++rook->moveCount;
    if (scoring)
        pieceScore_ += scoreOf(*king) + scoreOf(*rook);
    toggle(keys_.squareKeys[c.kingFrom][king->code] ^ keys_.squareKeys[c.kingTo][king->code]);
    toggle(keys_.squareKeys[c.rookFrom][rook->code] ^ keys_.squareKeys[c.rookTo][rook->code]);
    toggle(keys_.castleKeys[castlingRights]);
}

void Board_class::unmakeMove(const MoveRecord& record)
{
    const Move move = record.move;
    const std::uint32_t flags = moveFlags(move);
    const Colour own = record.side;

    hashKey = record.key;
    lastMove = record.previousLastMove;
    if (record.pieceScoreEpoch == pieceScoreEpoch_)
        pieceScore_ = record.pieceScore;
    else
        pieceScoreStale_ = true;   // summed with another table, or with none
    if (flags & (MOVE_PAWN | MOVE_CAPTURE))
        halfmoveClock = record.halfmoveClock;
    else
        halfmoveClock = increment(halfmoveClock, -1);
    enPassantSquare = record.enPassant;

    if (flags & MOVE_CASTLE) {
        unmakeCastling(record);
        assert(isConsistent(nullptr, 0, record.side));
        return;
    }

    const Square to = moveTo(move);
    Piece_class* mover = record.mover;
    if (flags & MOVE_PROMOTION) {
        ColourBlock& ownBlock = blockOf(own);
        materialBalance -= mover->value;
        --ownBlock.typeCount[mover->type];
        ++ownBlock.typeCount[PAWN];
        flipBits(*mover, to);
        slotsByType_[mover->type] &= ~slotBit(mover);
        mover->setType(PAWN);
        slotsByType_[PAWN] |= slotBit(mover);
        flipBits(*mover, to);
        materialBalance += mover->value;
    } else if (flags & MOVE_EN_PASSANT) {
        squares_[to] = nullptr;
    }

    flipBits(*mover, to);
    flipBits(*mover, record.from);
    mover->square = record.from;
    squares_[record.from] = mover;
    --mover->moveCount;

    if (Piece_class* captured = record.captured) {
        ColourBlock& opponent = blockOf(otherColour(own));
        squares_[captured->square] = captured;
        flipBits(*captured, captured->square);
        captured->captured = 0;
        liveSlots_ |= slotBit(captured);
        materialBalance += captured->value;
        ++opponent.typeCount[captured->type];
        ++opponent.pieceCount;
    } else {
        squares_[to] = nullptr;
    }
    castlingRights = record.castlingRights;
    assert(isConsistent(nullptr, 0, record.side));
}

void Board_class::unmakeCastling(const MoveRecord& record)
{
    const Colour own = record.side;
    const CastlingRookMove& c = castlingOf(own, record.move);
    castlingRights = record.castlingRights;
    hasCastled[own - 1] = 0;
    Piece_class* king = squares_[c.kingTo];
    Piece_class* rook = squares_[c.rookTo];
    movePiece(king, c.kingFrom);
    movePiece(rook, c.rookFrom);
    --king->moveCount;
    --rook->moveCount;
}

void Board_class::makeNullMove(MoveRecord& record)
{
    record.key = hashKey;
    record.side = sideToMove;
    record.enPassant = enPassantSquare;
    if (enPassantSquare != NO_SQUARE) {
        toggle(keys_.enPassantKeys[enPassantSquare]);
        enPassantSquare = NO_SQUARE;
        toggle(keys_.enPassantKeys[NO_SQUARE]);
    }
    toggle(keys_.sideKeys[0] ^ keys_.sideKeys[1]);
    assert(isConsistent(nullptr, 0, otherColour(record.side)));
}

void Board_class::unmakeNullMove(const MoveRecord& record)
{
    hashKey = record.key;
    enPassantSquare = record.enPassant;
}
