#include "board/zobrist.h"

namespace {

constexpr std::int32_t MULTIPLIER = 16807;
constexpr std::int32_t MODULUS = 2147483647;   // 2^31 - 1
constexpr std::int32_t SCHRAGE_Q = 127773;     // MODULUS / MULTIPLIER
constexpr std::int32_t SCHRAGE_R = 2836;       // MODULUS % MULTIPLIER
constexpr std::int32_t TABLE_DIVISOR = 1 << 26;
constexpr double SCALE = 1.0 / MODULUS;
constexpr float LARGEST = 0.99999988f;
constexpr std::int32_t KEY_SEED = -1712913483;   // bit pattern 0x99E703B5

// state * MULTIPLIER mod MODULUS without overflow (Schrage's method).
std::int32_t advance(std::int32_t state)
{
    const std::int32_t k = state / SCHRAGE_Q;
    state = MULTIPLIER * (state - k * SCHRAGE_Q) - SCHRAGE_R * k;
    return state < 0 ? state + MODULUS : state;
}

std::uint64_t drawKey(KeyGenerator& generator)
{
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    for (std::uint32_t i = 0; i < 32; ++i) {
        if (generator.next() > 0.5f)
            high |= 1u << i;
        if (generator.next() > 0.5f)
            low |= 1u << i;
    }
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

ZobristKeys drawAllKeys()
{
    ZobristKeys keys{};
    KeyGenerator generator(KEY_SEED);
    for (auto& square : keys.squareKeys)
        for (auto& key : square)
            key = drawKey(generator);
    for (auto& key : keys.castleKeys)
        key = drawKey(generator);
    for (auto& key : keys.enPassantKeys)
        key = drawKey(generator);
    for (auto& key : keys.sideKeys)
        key = drawKey(generator);
    return keys;
}

} // namespace

KeyGenerator::KeyGenerator(std::int32_t seed)
{
    state_ = seed <= 0 ? (seed == 0 ? 1 : -seed) : seed;
    // 8 warm-up steps, then 32 that fill the shuffle table from its end.
    for (int j = 32 + 7; j >= 0; --j) {
        state_ = advance(state_);
        if (j < 32)
            table_[j] = state_;
    }
    current_ = table_[0];
}

float KeyGenerator::next()
{
    state_ = advance(state_);
    const std::int32_t j = current_ / TABLE_DIVISOR;
    current_ = table_[j];
    table_[j] = state_;
    const float value = static_cast<float>(SCALE * current_);
    return value > LARGEST ? LARGEST : value;
}

const ZobristKeys& zobristKeys()
{
    static const ZobristKeys keys = drawAllKeys();
    return keys;
}
