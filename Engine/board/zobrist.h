#pragma once
// The position keys. Every board uses the same keys, drawn once from a fixed
// seed, so a position has the same key on every board and in every run.

#include <cstdint>

#include "board/types.h"

struct ZobristKeys {
    std::uint64_t squareKeys[64][12];   // by square and piece code
    std::uint64_t castleKeys[16];       // by castling-rights value
    std::uint64_t enPassantKeys[65];    // by square; 64 for none
    std::uint64_t sideKeys[2];          // white to move, black to move

    std::uint64_t side(Colour colour) const { return sideKeys[colour - 1]; }
};

const ZobristKeys& zobristKeys();

// The generator the keys are drawn from: Park-Miller minimal standard behind a
// 32-entry Bays-Durham shuffle, returning values in (0, 1) as single precision.
class KeyGenerator {
public:
    explicit KeyGenerator(std::int32_t seed);
    float next();

private:
    std::int32_t state_;
    std::int32_t current_;
    std::int32_t table_[32];
};
