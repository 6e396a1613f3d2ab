// A full cross-check of the board's redundant state, for tests, fuzzing and
// debug builds.
#include <bit>
#include <cstdio>

#include "board/board.h"

bool Board_class::isConsistent(char* why, std::size_t whySize, Colour keySide) const
{
    auto fail = [&](const char* text, int value) {
        if (why != nullptr && whySize > 0)
            std::snprintf(why, whySize, "%s (%d)", text, value);
        return false;
    };
    std::uint32_t pieces[2] = {};
    std::uint32_t types[2][6] = {};
    std::int32_t material = 0;
    std::uint32_t onSquares = 0;
    for (std::uint32_t slot = 0; slot < 32; ++slot) {
        const Piece_class* piece = pieceSlots_[slot];
        if (piece == nullptr)
            continue;
        if (piece != &pieces_[slot] || piece->slot != slot)
            return fail("slot does not hold its own piece", static_cast<int>(slot));
        if (piece->colour != (slot < 16 ? WHITE : BLACK))
            return fail("piece in the other colour's slots", static_cast<int>(slot));
        if (piece->type > PAWN || piece->code != makePieceCode(piece->colour, piece->type))
            return fail("bad piece type or code", static_cast<int>(slot));
        if (((liveSlots_ >> slot) & 1) != (piece->captured ? 0u : 1u))
            return fail("live-slot mask", static_cast<int>(slot));
        if (piece->captured)
            continue;
        if (piece->square < 0 || piece->square >= 64 || squares_[piece->square] != piece)
            return fail("piece not on its square", static_cast<int>(slot));
        ++pieces[piece->colour - 1];
        ++types[piece->colour - 1][piece->type];
        material += piece->value;
    }
    for (Square square = 0; square < 64; ++square) {
        const Piece_class* piece = squares_[square];
        if (piece == nullptr)
            continue;
        ++onSquares;
        if (piece->captured || piece->square != square)
            return fail("square holds a piece that is elsewhere", square);
    }
    if (onSquares != pieces[0] + pieces[1])
        return fail("squares and slots disagree", static_cast<int>(onSquares));
    for (int c = 0; c < 2; ++c) {
        if (blocks_[c].pieceCount != pieces[c])
            return fail("piece count", c);
        for (int t = 0; t < 6; ++t) {
            if (blocks_[c].typeCount[t] != types[c][t])
                return fail("type count", c * 6 + t);
        }
        // A king can only be taken in a position loaded with the side not to
        // move in check; then the king stays in its slot, marked captured.
        const Piece_class* king = blocks_[c].king;
        if (types[c][KING] > 1 || king == nullptr || king->type != KING ||
            (types[c][KING] == 1) == (king->captured != 0))
            return fail("king record", c);
    }
    for (int c = 0; c < 2; ++c) {
        Bitboard colourSet = 0;
        for (int t = 0; t < 6; ++t) {
            Bitboard typeSet = 0;
            for (Square s = 0; s < 64; ++s) {
                const Piece_class* piece = squares_[s];
                if (piece != nullptr && piece->colour == static_cast<Colour>(c + 1) &&
                    piece->type == static_cast<PieceType>(t))
                    typeSet |= squareBit(s);
            }
            if (pieceBB_[c][t] != typeSet)
                return fail("piece set", c * 6 + t);
            colourSet |= typeSet;
        }
        if (colourBB_[c] != colourSet)
            return fail("colour set", c);
    }
    if (pieceScoreTable_ != nullptr && !pieceScoreStale_) {
        std::int32_t score = 0;
        for (std::uint32_t live = liveSlots_; live != 0; live &= live - 1)
            score += scoreOf(pieces_[std::countr_zero(live)]);
        if (score != pieceScore_)
            return fail("piece score", pieceScore_);
    }
    for (std::uint32_t slot = 0; slot < 32; ++slot) {
        const Piece_class* piece = pieceSlots_[slot];
        if (piece != nullptr && !((slotsByType_[piece->type] >> slot) & 1))
            return fail("type slots", static_cast<int>(slot));
    }
    if (material != materialBalance)
        return fail("material balance", materialBalance);
    if (enPassantSquare < 0 || enPassantSquare > NO_SQUARE)
        return fail("en passant square", enPassantSquare);
    if (castlingRights > 15)
        return fail("castling rights", static_cast<int>(castlingRights));
    const bool otherSide = keySide != 0 && keySide != sideToMove;
    const std::uint64_t sideSwitch = otherSide ? keys_.sideKeys[0] ^ keys_.sideKeys[1] : 0;
    if (hashKey != (computedHashKey() ^ sideSwitch))
        return fail("incremental key differs from the computed key", 0);
    return true;
}
