#include "board/board.h"

#include <bit>

#include "board/magic_attacks.h"
#include "platform/debug_output.h"

namespace {

// Castling rights a piece takes away when it leaves its square or is captured there.
std::uint32_t rightsTiedTo(const Piece_class& piece)
{
    if (piece.type == KING)
        return piece.colour == WHITE ? CASTLE_WK | CASTLE_WQ : CASTLE_BK | CASTLE_BQ;
    if (piece.type == ROOK) {
        if (piece.colour == WHITE && piece.square == 0)
            return CASTLE_WQ;
        if (piece.colour == WHITE && piece.square == 7)
            return CASTLE_WK;
        if (piece.colour == BLACK && piece.square == 56)
            return CASTLE_BQ;
        if (piece.colour == BLACK && piece.square == 63)
            return CASTLE_BK;
    }
    return 0;
}

} // namespace

Board_class::Board_class() : keys_(zobristKeys())
{
    clear();
    setCpuPath(cpuPath_);
}

void Board_class::dump() const
{
    char fen[FEN_BUFFER_SIZE];
    writeFen(fen, sizeof fen);
    debugPrintf("Board: %s\n", fen);
}

void Board_class::clear()
{
    for (Piece_class*& slot : pieceSlots_)
        slot = nullptr;
    liveSlots_ = 0;
    for (std::uint32_t& slots : slotsByType_)
        slots = 0;
    ++typeChanges_;
    pieceScoreStale_ = true;
    for (Piece_class*& square : squares_)
        square = nullptr;
    blocks_[0] = ColourBlock{};
    blocks_[1] = ColourBlock{};
    for (int c = 0; c < 2; ++c) {
        colourBB_[c] = 0;
        for (Bitboard& b : pieceBB_[c])
            b = 0;
    }
    fullmoveNumber = 0;
    halfmoveClock = 0;
    materialBalance = 0;
    castlingRights = 0;
    hasCastled[0] = hasCastled[1] = 0;
    lastMove = NO_MOVE;
    enPassantSquare = NO_SQUARE;
}

eCeStatus Board_class::addPiece(const Piece_class& piece)
{
    if (piece.colour != WHITE && piece.colour != BLACK)
        return CE_INVALID_PIECE;
    if (piece.type > PAWN)
        return CE_INVALID_PIECE;
    if (piece.square < 0 || piece.square >= 64 || squares_[piece.square] != nullptr)
        return CE_INVALID_POSITION;
    ColourBlock& own = blockOf(piece.colour);
    if (own.pieceCount >= 16)
        return CE_INVALID_POSITION;

    const std::uint32_t slot = (piece.colour == WHITE ? 0 : 16) + own.pieceCount;
    Piece_class* stored = &pieces_[slot];
    *stored = piece;
    stored->slot = static_cast<std::uint8_t>(slot);
    stored->setCastleMask(rightsTiedTo(piece));
    pieceSlots_[slot] = stored;
    if (!stored->captured)
        liveSlots_ |= 1u << slot;
    slotsByType_[stored->type] |= 1u << slot;
    ++typeChanges_;
    pieceScoreStale_ = true;
    ++own.pieceCount;
    if (piece.type == KING)
        own.king = stored;
    ++own.typeCount[piece.type];
    own.material += piece.value;
    squares_[piece.square] = stored;
    flipBits(*stored, squareBit(piece.square));
    return CE_SUCCESS;
}

void Board_class::loadStartPosition()
{
    clear();
    loadFen(START_FEN);
}

void Board_class::copyFrom(const Board_class& other)
{
    clear();
    castlingRights = other.castlingRights;
    enPassantSquare = other.enPassantSquare;
    fullmoveNumber = other.fullmoveNumber;
    halfmoveClock = other.halfmoveClock;
    lastMove = other.lastMove;
    sideToMove = other.sideToMove;
    for (const Piece_class* piece : other.pieceSlots_) {
        if (piece != nullptr && !piece->captured)
            addPiece(*piece);
    }
    materialBalance = blocks_[0].material + blocks_[1].material;
    computeHashKey();
    assert(isConsistent() || !other.isConsistent());
}

void Board_class::deriveCastlingRights()
{
    auto holds = [this](Square square, Colour colour, PieceType type) {
        const Piece_class* piece = squares_[square];
        return piece != nullptr && piece->colour == colour && piece->type == type;
    };
    if (holds(4, WHITE, KING)) {
        if (holds(7, WHITE, ROOK))
            castlingRights |= CASTLE_WK;
        if (holds(0, WHITE, ROOK))
            castlingRights |= CASTLE_WQ;
    }
    if (holds(60, BLACK, KING)) {
        if (holds(63, BLACK, ROOK))
            castlingRights |= CASTLE_BK;
        if (holds(56, BLACK, ROOK))
            castlingRights |= CASTLE_BQ;
    }
}

std::uint64_t Board_class::computedHashKey() const
{
    std::uint64_t key = keys_.side(sideToMove) ^ keys_.castleKeys[castlingRights & 15] ^
                        keys_.enPassantKeys[enPassantSquare];
    for (const Piece_class* piece : pieceSlots_) {
        if (piece != nullptr && !piece->captured)
            key ^= keys_.squareKeys[piece->square][piece->code];
    }
    return key;
}

void Board_class::computeHashKey()
{
    hashKey = computedHashKey();
}

void Board_class::addFullmoves(std::int32_t delta)
{
    // Wrapping arithmetic: a FEN may carry any 32-bit move number.
    fullmoveNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(fullmoveNumber) +
                                               static_cast<std::uint32_t>(delta));
}

void Board_class::recomputePieceScore() const
{
    pieceScore_ = 0;
    if (pieceScoreTable_ != nullptr) {
        for (std::uint32_t live = liveSlots_; live != 0; live &= live - 1)
            pieceScore_ += scoreOf(pieces_[std::countr_zero(live)]);
    }
    pieceScoreStale_ = false;
}
