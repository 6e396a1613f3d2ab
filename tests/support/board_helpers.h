#pragma once
// Small helpers for tests that work on boards and move lists.

#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/move.h"

// A board loaded from FEN (the test fails if the FEN is rejected).
std::unique_ptr<Board_class> boardFrom(const std::string& fen);
std::string fenOf(const Board_class& board);
// Generates the moves of the side to move at mobility index 0.
std::unique_ptr<MoveList> generate(Board_class& board);
// Coordinate texts of a list's moves: captures in array order, then non-captures.
std::vector<std::string> moveTexts(const MoveList& list);
std::string textOf(Move move);
// Resolves a move text against the board's legal moves (0 when illegal).
Move resolve(Board_class& board, const std::string& text);
// Makes a move given as text, switches the side, and returns its record.
MoveRecord play(Board_class& board, const std::string& text);
