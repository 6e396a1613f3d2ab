#pragma once
// Plays one whole game between two WinBoard/xboard engines, relaying each
// engine's moves to the other the way a chess interface does, while a
// referee checks every move and decides when and how the game ended.

#include <optional>
#include <string>
#include <vector>

struct EngineSpec {
    std::string binary;
    std::vector<std::string> args;
};

// Moves per session (0: the whole game), base time and increment per move.
struct TimeControl {
    int movesPerSession = 40;
    int baseMs = 60000;
    int incrementMs = 0;

    // The "level" command as xboard writes it, e.g. "level 40 1 0" or "level 0 0:05 0.1".
    std::string levelCommand() const;
};

struct GameSetup {
    EngineSpec white;
    EngineSpec black;
    int protocolVersion = 2;     // 1 or 2, for both engines
    TimeControl timeControl;
    int maxPlies = 300;          // the game stops unfinished after this many half-moves
    int moveTimeoutMs = 30000;   // an engine silent this long on its move loses
};

enum class EndReason { Result, Resign, Mate, Stalemate, MoveLimit, Illegal, Timeout, Crash };
enum class Side { None, White, Black };

struct GameRecord {
    std::vector<std::string> moves;   // coordinate texts in the order played
    std::string result = "*";         // "1-0", "0-1", "1/2-1/2", or "*" when unfinished
    std::string comment;              // why the game ended, as in a result line's braces
    EndReason reason = EndReason::MoveLimit;
    Side atFault = Side::None;        // the engine that broke the rules or the protocol
    std::string finalFen;
    long long durationMs = 0;
    // Exit status of each engine after "quit" (nothing when it did not end within 5 s).
    std::optional<int> whiteExit;
    std::optional<int> blackExit;
    // Every line exchanged except thinking lines: "W> " to White, "W< " from White, the same with B.
    std::vector<std::string> log;

    // For failure messages: result, reason, moves and the end of the log.
    std::string summary() const;
};

const char* endReasonName(EndReason reason);

GameRecord playGame(const GameSetup& setup);
