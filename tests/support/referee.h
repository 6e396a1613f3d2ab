#pragma once
// The arbiter of a game between engines: it keeps the position, accepts only
// legal moves in exact coordinate text, and checks the results engines claim.

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

    // Plays a move of the side to move; a text other than the move's own (castling
    // as the king's move, promotion letter in lower case) is refused, with the reason in `why`.
    bool play(const std::string& text, std::string& why);
    Status status();
    // Whether a result line ("1-0 {...}", "0-1 {...}", "1/2-1/2 {...}") sent by `claimant`
    // holds now: a loss always; a win on mate; a draw on stalemate, a threefold
    // repetition, the fifty-move rule or insufficient material.
    bool claimHolds(const std::string& result, Colour claimant, std::string& why);

private:
    std::unique_ptr<Board_class> board_;
    std::vector<std::string> positions_;   // every position reached, without the move counters
};

// The result token a result line starts with, or empty when it is not one.
std::string resultToken(const std::string& line);
// A FEN without its two move counters: what makes two positions the same.
std::string withoutCounters(const std::string& fen);
