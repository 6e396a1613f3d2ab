#pragma once
// What the game controller says: its move, the end of a game, a refused move
// or position, a resignation (and, through the search, its thinking). The
// front ends implement it; the game knows no protocol.

#include <cstdint>

#include "search/search_listener.h"

// How a game ended.
enum class ResultCode : std::uint32_t {
    WhiteMates = 0,
    BlackMates = 1,
    Stalemate = 2,
    Repetition = 3,
    FiftyMoves = 4,
    InsufficientMaterial = 5,
};

// What the game refused.
enum class ErrorKind : std::uint32_t {
    IllegalMove = 0,
    IllegalPosition = 1,
};

class GameListener : public SearchListener {
public:
    virtual void sendMove(const char* moveText) = 0;
    virtual void sendResult(ResultCode resultCode) = 0;
    virtual void sendError(ErrorKind errorKind, const char* text) = 0;
    virtual void resign() = 0;
    // The full mode's UCI answer: the best move (NO_MOVE when there is none)
    // and the reply expected to it (NO_MOVE when there is none).
    virtual void sendBestMove(Move, Move) {}
};
