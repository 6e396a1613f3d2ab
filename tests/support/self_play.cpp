#include "support/self_play.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/engine_process.h"
#include "support/referee.h"

namespace {

constexpr int TIME_GRACE_MS = 2000;   // an engine this far over its clock loses on time

bool startsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

struct Player {
    Player(const EngineCommand& command, Colour c) : process(command.binary, command.args), colour(c) {}

    EngineProcess process;
    Colour colour;
    bool usermove = false;   // asked for "usermove" before moves (version 2)
    long long clockMs = 0;
    int movesMade = 0;
};

class Relay {
public:
    explicit Relay(const GameSetup& setup) : setup_(setup), players_{{setup.white, WHITE}, {setup.black, BLACK}} {}

    GameRecord run()
    {
        if (handshake())
            relayTurn(player(WHITE), "go");
        while (!over_) {
            Player& mover = player(referee_.sideToMove());
            Player& idle = player(otherColour(referee_.sideToMove()));
            const long long before = nowMs();
            std::optional<std::string> line = idle.process.readLine(1);
            Player& from = line ? idle : mover;
            if (line || (line = mover.process.readLine(20))) {
                handle(from, *line);
                continue;
            }
            // An engine that has ended gets its last words read, then loses unless they ended the game.
            for (Player& p : players_) {
                while (!over_ && p.process.waitExit(0) && (line = p.process.readLine(50)))
                    handle(p, *line);
                if (p.process.waitExit(0))
                    lostContact(p);
            }
            const long long waited = nowMs() - moveStart_;
            if (waited > mover.clockMs + TIME_GRACE_MS || waited > setup_.moveTimeoutMs)
                loses(mover, waited > setup_.moveTimeoutMs ? "did not move in time" : "lost on time", EndReason::Timeout);
            else if (nowMs() - before < 5)   // output closed: do not spin
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        record_.finalFen = referee_.fen();
        for (Player& p : players_) {
            if (!p.process.waitExit(0) && send(p, "result " + record_.result + " {" + record_.comment + "}"))
                send(p, "quit");
        }
        record_.whiteExit = player(WHITE).process.waitExit(5000);
        record_.blackExit = player(BLACK).process.waitExit(5000);
        return std::move(record_);
    }

private:
    Player& player(Colour colour) { return players_[colour == WHITE ? 0 : 1]; }

    // The first end decides the game.
    void end(const std::string& result, const std::string& comment, EndReason reason)
    {
        if (over_)
            return;
        over_ = true;
        record_.result = result;
        record_.comment = comment;
        record_.reason = reason;
    }
    void loses(const Player& p, const std::string& why, EndReason reason)
    {
        end(p.colour == WHITE ? "0-1" : "1-0", (p.colour == WHITE ? "White " : "Black ") + why, reason);
    }

    bool send(Player& p, const std::string& line)
    {
        if (p.process.writeLine(line))
            return true;
        lostContact(p);
        return false;
    }
    // The engine stopped reading or writing: a crash if it has ended, silence otherwise.
    void lostContact(Player& p)
    {
        if (std::optional<int> status = p.process.waitExit(500))
            loses(p, "exited with status " + std::to_string(*status), EndReason::Crash);
        else
            loses(p, "stopped talking", EndReason::Timeout);
    }

    bool handshake()
    {
        const bool v2 = setup_.protocolVersion >= 2;
        const long long deadline = nowMs() + 10000;   // for the version 2 features up to "done=1"
        char level[64];
        std::snprintf(level, sizeof level, "level %d %d:%02d %g", setup_.movesPerSession, setup_.baseMs / 60000,
                      setup_.baseMs / 1000 % 60, setup_.incrementMs / 1000.0);
        for (Player& p : players_) {
            if (!send(p, "xboard") || (v2 && !send(p, "protover 2")))
                return false;
            for (bool done = !v2; !done;) {
                const std::optional<std::string> line = p.process.readLine(static_cast<int>(deadline - nowMs()));
                if (!line) {
                    lostContact(p);
                    return false;
                }
                const std::string words = " " + *line + " ";
                if (startsWith(*line, "feature ")) {
                    p.usermove |= words.find(" usermove=1 ") != std::string::npos;
                    done = words.find(" done=1 ") != std::string::npos;
                }
            }
            for (const char* line : {"new", "easy", static_cast<const char*>(level), "post"})
                send(p, line);
            p.clockMs = setup_.baseMs;
        }
        return !over_;
    }

    // Tells the engine on move both clocks, then the command that sets it thinking.
    void relayTurn(Player& toMove, const std::string& command)
    {
        const Player& other = player(otherColour(toMove.colour));
        if (!send(toMove, "time " + std::to_string(std::max(toMove.clockMs, 0LL) / 10)) ||
            !send(toMove, "otim " + std::to_string(std::max(other.clockMs, 0LL) / 10)))
            return;
        moveStart_ = nowMs();
        send(toMove, command);
    }

    void handle(Player& p, const std::string& line)
    {
        std::string why;
        const std::size_t open = line.find('{');
        const std::size_t close = line.rfind('}');
        if (startsWith(line, "move ") && p.colour != referee_.sideToMove())
            loses(p, "moved out of turn: " + line, EndReason::Illegal);
        else if (startsWith(line, "move "))
            onMove(p, line.substr(5, line.find(' ', 5) - 5));
        else if (!resultToken(line).empty() && !referee_.claimHolds(line, p.colour, why))
            loses(p, "made a false claim: " + why, EndReason::Illegal);
        else if (!resultToken(line).empty())
            end(resultToken(line), close != std::string::npos && open < close ? line.substr(open + 1, close - open - 1) : "",
                EndReason::Result);
        else if (line == "resign" || startsWith(line, "resign "))
            loses(p, "resigns", EndReason::Resign);
        else if (startsWith(line, "Illegal move"))
            loses(p, "rejected a legal move: " + line, EndReason::Illegal);
    }

    void onMove(Player& p, const std::string& text)
    {
        std::string why;
        p.clockMs -= nowMs() - moveStart_;
        if (p.clockMs < -TIME_GRACE_MS)
            return loses(p, "lost on time", EndReason::Timeout);
        if (!referee_.play(text, why))
            return loses(p, "played an illegal move: " + why, EndReason::Illegal);
        record_.moves.push_back(text);
        p.clockMs += setup_.incrementMs;
        if (setup_.movesPerSession > 0 && ++p.movesMade % setup_.movesPerSession == 0)
            p.clockMs += setup_.baseMs;

        Player& next = player(referee_.sideToMove());
        const Referee::Status status = referee_.status();
        if (status == Referee::Status::Checkmate)
            loses(next, "is mated", EndReason::Mate);
        else if (status == Referee::Status::Stalemate)
            end("1/2-1/2", "Stalemate", EndReason::Stalemate);
        else if (static_cast<int>(referee_.plies()) >= setup_.maxPlies)
            end("*", "Move limit reached", EndReason::MoveLimit);
        const std::string relayed = next.usermove ? "usermove " + text : text;
        if (over_)
            send(next, relayed);   // the loser sees the final move, as under a chess interface
        else
            relayTurn(next, relayed);
    }

    const GameSetup& setup_;
    Player players_[2];
    Referee referee_;
    GameRecord record_;
    long long moveStart_ = 0;
    bool over_ = false;
};

} // namespace

const char* endReasonName(EndReason reason)
{
    static const char* const names[] = {"Result", "Resign", "Mate", "Stalemate", "MoveLimit", "Illegal", "Timeout", "Crash"};
    return names[static_cast<int>(reason)];
}

std::string GameRecord::summary() const
{
    std::string text = result + " {" + comment + "} by " + endReasonName(reason) + " after " +
                       std::to_string(moves.size()) + " plies, final position " + finalFen + "\nmoves:";
    for (const std::string& move : moves)
        text += " " + move;
    return text;
}

GameRecord playGame(const GameSetup& setup)
{
    return Relay(setup).run();
}
