#pragma once
// Plays one whole game between two xboard engines, relaying each engine's moves
// to the other as a chess interface does, while a referee checks every move,
// every claim and the clocks.

#include <optional>
#include <string>
#include <vector>

struct EngineCommand {
    std::string binary;
    std::vector<std::string> args = {};
};

struct GameSetup {
    EngineCommand white;
    EngineCommand black;
    int protocolVersion = 2;     // 1 or 2, for both engines
    int movesPerSession = 40;    // the time control: 0 for the whole game ...
    int baseMs = 60000;          // ... the time per session ...
    int incrementMs = 0;         // ... and per move
    int maxPlies = 300;          // the game stops unfinished after this many half-moves
    int moveTimeoutMs = 30000;   // an engine silent this long on its move loses
};

// From Illegal on, the engine that lost broke the rules or the protocol.
enum class EndReason { Result, Resign, Mate, Stalemate, MoveLimit, Illegal, Timeout, Crash };

struct GameRecord {
    std::vector<std::string> moves;   // coordinate texts in the order played
    std::string result = "*";         // "1-0", "0-1", "1/2-1/2", or "*" when unfinished
    std::string comment;              // why the game ended, as in a result line's braces
    EndReason reason = EndReason::MoveLimit;
    std::string finalFen;
    std::optional<int> whiteExit;     // exit status after "quit" (nothing when not within 5 s)
    std::optional<int> blackExit;

    // For failure messages: result, reason, moves and the final position.
    std::string summary() const;
};

const char* endReasonName(EndReason reason);

GameRecord playGame(const GameSetup& setup);
