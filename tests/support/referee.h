#pragma once
// The arbiter of a game between two engines: it keeps the position, accepts
// only legal moves in the engines' coordinate notation, and knows whether the
// game is over by the rules or whether a result an engine claims is true.

#include <memory>
#include <string>
#include <vector>

#include "board/board.h"

class Referee {
public:
    enum class Status { Ongoing, Checkmate, Stalemate };

    explicit Referee(const char* startFen = START_FEN);

    Colour sideToMove() const { return board_->sideToMove; }
    std::string fen() const;
    std::size_t plies() const { return positions_.size() - 1; }

    // Plays a move of the side to move given as coordinate text. A text that is
    // not the exact text of a legal move (castling as the king's move, promotion
    // letter in lower case) is refused with the reason in `why`.
    bool play(const std::string& text, std::string& why);
    // Whether the side to move is mated, stalemated or can play on.
    Status status();
    // How often the current position (placement, side, castling, en passant) has stood on the board.
    int repetitions() const;

    // Whether a result line ("1-0 {...}", "0-1 {...}", "1/2-1/2 {...}") sent by
    // the engine playing `claimant` holds in the current position. A loss the
    // claimant admits always holds; a win needs the opponent mated; a draw needs
    // stalemate, a threefold repetition, the fifty-move rule or bare kings (with
    // at most one minor piece). `why` tells what was wrong.
    bool claimHolds(const std::string& result, Colour claimant, std::string& why);

private:
    std::unique_ptr<Board_class> board_;
    std::unique_ptr<MoveList> moves_;   // moves of the side to move, refreshed before use
    std::vector<std::string> positions_;   // FEN without the move counters, one per position reached

    void generate();
};

// The result token a result line starts with ("1-0", "0-1", "1/2-1/2"), or
// empty when the line is not a result line.
std::string resultToken(const std::string& line);
// The text between the braces of a result line (empty when there are none).
std::string resultComment(const std::string& line);
