// Playing and taking back moves. Everything is incremental: no piece is
// created or freed (a capture only marks the piece, a promotion retypes the
// pawn), and the key changes by XOR of the few entries that change.
//
// Pieces change only through putPiece, removePiece, movePiece and
// retypePiece, which keep squares, bitboards, live slots, counts, material,
// move counts, key and piece score together; makeMove and unmakeMove say
// only which pieces go where.

#include "board/board.h"
#include "board/castling.h"
#include "board/move.h"

namespace {

constexpr CastlingMove kCastlingMoves[2][2] = {
    {castlingMove(WHITE, false), castlingMove(WHITE, true)},
    {castlingMove(BLACK, false), castlingMove(BLACK, true)},
};

// The generator marks king-side castling with the two-square flag.
const CastlingMove& castlingOf(Colour side, Move move)
{
    return kCastlingMoves[side - 1][(moveFlags(move) & MOVE_TWO_SQUARE) ? 1 : 0];
}

constexpr std::uint32_t castlingRightsOf(Colour colour)
{
    return colour == WHITE ? CASTLE_WK | CASTLE_WQ : CASTLE_BK | CASTLE_BQ;
}

std::int32_t increment(std::int32_t value, std::int32_t delta)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(delta));
}

} // namespace

// --- primitives -------------------------------------------------------------
// Unmaking restores the key and the piece score from the move record, so the
// primitives update those two only when making.

template <Board_class::Way way>
void Board_class::putPiece(Piece_class& piece, Square square)
{
    piece.square = square;
    squares_[square] = &piece;
    flipBits(piece, squareBit(square));
    piece.captured = 0;
    liveSlots_ |= slotBit(&piece);
    ColourBlock& block = blockOf(piece.colour);
    ++block.typeCount[piece.type];
    ++block.pieceCount;
    materialBalance += piece.value;
    if constexpr (way == Way::Make) {
        toggle(keys_.squareKeys[square][piece.code]);
        if (pieceScoreTable_ != nullptr)
            pieceScore_ += scoreOf(piece);
    }
}

// The piece leaves the board; it keeps its slot and, as its square, where it stood.
template <Board_class::Way way>
void Board_class::removePiece(Piece_class& piece)
{
    const Square square = piece.square;
    if constexpr (way == Way::Make) {
        toggle(keys_.squareKeys[square][piece.code]);
        if (pieceScoreTable_ != nullptr)
            pieceScore_ -= scoreOf(piece);
    }
    squares_[square] = nullptr;
    flipBits(piece, squareBit(square));
    piece.captured = 1;
    liveSlots_ &= ~slotBit(&piece);
    ColourBlock& block = blockOf(piece.colour);
    --block.typeCount[piece.type];
    --block.pieceCount;
    materialBalance -= piece.value;
}

// Making counts one more move of the piece, unmaking one less.
template <Board_class::Way way>
void Board_class::movePiece(Piece_class& piece, Square to)
{
    const Square from = piece.square;
    if constexpr (way == Way::Make) {
        toggle(keys_.squareKeys[from][piece.code] ^ keys_.squareKeys[to][piece.code]);
        if (pieceScoreTable_ != nullptr)
            pieceScore_ -= scoreOf(piece);
    }
    squares_[from] = nullptr;
    squares_[to] = &piece;
    flipBits(piece, squareBit(from) | squareBit(to));
    piece.square = to;
    if constexpr (way == Way::Make) {
        ++piece.moveCount;
        if (pieceScoreTable_ != nullptr)
            pieceScore_ += scoreOf(piece);
    } else {
        --piece.moveCount;
    }
}

// A promotion, or its undoing: the piece object stays, its type changes.
template <Board_class::Way way>
void Board_class::retypePiece(Piece_class& piece, PieceType type)
{
    const Square square = piece.square;
    removePiece<way>(piece);
    slotsByType_[piece.type] &= ~slotBit(&piece);
    piece.setType(type);
    slotsByType_[type] |= slotBit(&piece);
    ++typeChanges_;
    putPiece<way>(piece, square);
}

void Board_class::setEnPassantSquare(Square square)
{
    if (square == enPassantSquare)
        return;
    toggle(keys_.enPassantKeys[enPassantSquare] ^ keys_.enPassantKeys[square]);
    enPassantSquare = square;
}

void Board_class::setCastlingRights(std::uint32_t rights)
{
    if (rights == castlingRights)
        return;
    toggle(keys_.castleKeys[castlingRights] ^ keys_.castleKeys[rights]);
    castlingRights = rights;
}

// --- the moves ----------------------------------------------------------------

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
    record.castlingRights = castlingRights;
    record.enPassant = enPassantSquare;

    // The clock counts half-moves since the last capture or pawn move.
    if (flags & (MOVE_PAWN | MOVE_CAPTURE)) {
        record.halfmoveClock = halfmoveClock;
        halfmoveClock = 0;
    } else {
        halfmoveClock = increment(halfmoveClock, 1);
    }
    // Only a double step leaves an en passant square behind.
    const bool doubleStep = (flags & (MOVE_TWO_SQUARE | MOVE_CASTLE)) == MOVE_TWO_SQUARE;
    setEnPassantSquare(doubleStep ? static_cast<Square>(moveExtra(move)) : NO_SQUARE);
    toggle(keys_.sideKeys[0] ^ keys_.sideKeys[1]);

    if (flags & MOVE_CASTLE) {
        const CastlingMove& c = castlingOf(own, move);
        movePiece<Way::Make>(*squares_[c.kingFrom], c.kingTo);
        movePiece<Way::Make>(*squares_[c.rookFrom], c.rookTo);
        setCastlingRights(castlingRights & ~castlingRightsOf(own));
        hasCastled[own - 1] = 1;
        assert(isConsistent(nullptr, 0, otherColour(own)));
        return;
    }

    const Square from = moveFrom(move);
    Piece_class& mover = *squares_[from];
    // En passant takes the pawn beside the destination, named by the extra byte.
    Piece_class* captured = squares_[(flags & MOVE_EN_PASSANT) ? static_cast<Square>(moveExtra(move)) : moveTo(move)];
    record.mover = &mover;
    record.captured = captured;
    record.from = from;

    // A piece that moves or is captured takes the castling rights tied to it.
    std::uint32_t rights = castlingRights & mover.castleKeepMask;
    if (captured != nullptr) {
        rights &= captured->castleKeepMask;
        removePiece<Way::Make>(*captured);
    }
    if (flags & MOVE_PROMOTION)
        retypePiece<Way::Make>(mover, moveExtra(move));
    movePiece<Way::Make>(mover, moveTo(move));
    setCastlingRights(rights);
    assert(isConsistent(nullptr, 0, otherColour(own)));
}

void Board_class::unmakeMove(const MoveRecord& record)
{
    const Move move = record.move;
    const std::uint32_t flags = moveFlags(move);

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
    castlingRights = record.castlingRights;

    if (flags & MOVE_CASTLE) {
        const CastlingMove& c = castlingOf(record.side, move);
        movePiece<Way::Unmake>(*squares_[c.kingTo], c.kingFrom);
        movePiece<Way::Unmake>(*squares_[c.rookTo], c.rookFrom);
        hasCastled[record.side - 1] = 0;
    } else {
        movePiece<Way::Unmake>(*record.mover, record.from);
        if (flags & MOVE_PROMOTION)
            retypePiece<Way::Unmake>(*record.mover, PAWN);
        if (record.captured != nullptr)
            putPiece<Way::Unmake>(*record.captured, record.captured->square);
    }
    assert(isConsistent(nullptr, 0, record.side));
}

void Board_class::makeNullMove(MoveRecord& record)
{
    record.key = hashKey;
    record.side = sideToMove;
    record.enPassant = enPassantSquare;
    setEnPassantSquare(NO_SQUARE);
    toggle(keys_.sideKeys[0] ^ keys_.sideKeys[1]);
    assert(isConsistent(nullptr, 0, otherColour(record.side)));
}

void Board_class::unmakeNullMove(const MoveRecord& record)
{
    hashKey = record.key;
    enPassantSquare = record.enPassant;
}
