#pragma once
#include <cstdint>

// Result codes the game controller announces.
enum ResultCode : std::uint32_t {
    RESULT_WHITE_MATES = 0,
    RESULT_BLACK_MATES = 1,
    RESULT_STALEMATE = 2,
    RESULT_REPETITION = 3,
    RESULT_FIFTY_MOVES = 4,
    RESULT_INSUFFICIENT_MATERIAL = 5,
};

// Kinds of error the game controller reports.
enum ErrorKind : std::uint32_t {
    ERROR_ILLEGAL_MOVE = 0,
    ERROR_ILLEGAL_POSITION = 1,
};

// The protocol line for a result code (the same in every protocol), or null
// for a code outside 0..5.
const char* resultLine(std::uint32_t resultCode);
