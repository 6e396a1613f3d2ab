#include "support/self_play.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>

#include "support/engine_process.h"
#include "support/referee.h"

namespace {

constexpr int HANDSHAKE_TIMEOUT_MS = 10000;   // wait for "done=1" of the version 2 features
constexpr int TIME_GRACE_MS = 2000;           // an engine this far over its clock loses on time

const char* colourName(Colour colour) { return colour == WHITE ? "White" : "Black"; }

bool startsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Thinking lines start with the search depth; engines' own comments with '#'.
bool isChatter(const std::string& line)
{
    const std::size_t i = line.find_first_not_of(' ');
    return i == std::string::npos || line[i] == '#' ||
           (std::isdigit(static_cast<unsigned char>(line[i])) && resultToken(line).empty());
}

// Whether a feature line holds the word `token` ("done=1").
bool hasFeature(const std::string& line, const std::string& token)
{
    return (" " + line + " ").find(" " + token + " ") != std::string::npos;
}

struct Player {
    Player(const EngineSpec& spec, Colour c) : process(spec.binary, spec.args), colour(c) {}

    EngineProcess process;
    Colour colour;
    bool usermove = false;   // a version 2 engine that asked for "usermove" before moves
    bool timeCommands = true;
    long long clockMs = 0;
    int movesMade = 0;
};

class Game {
public:
    explicit Game(const GameSetup& setup) : setup_(setup) {}
    GameRecord run();

private:
    Player& player(Colour colour) { return colour == WHITE ? *white_ : *black_; }
    std::string tag(const Player& p) const { return p.colour == WHITE ? "W" : "B"; }

    void end(const std::string& result, const std::string& comment, EndReason reason, Side fault = Side::None);
    void loses(const Player& p, const std::string& comment, EndReason reason, bool atFault);
    bool send(Player& p, const std::string& line);
    std::optional<std::string> receive(Player& p, int timeoutMs);
    void lostContact(Player& p);
    bool handshake();
    bool relayTurn(Player& toMove, const std::string& command);
    void handle(Player& p, const std::string& line);
    void onMove(Player& p, const std::string& text);
    void finish();

    const GameSetup& setup_;
    std::unique_ptr<Player> white_;
    std::unique_ptr<Player> black_;
    Referee referee_;
    GameRecord record_;
    long long moveStart_ = 0;
    bool over_ = false;
};

void Game::end(const std::string& result, const std::string& comment, EndReason reason, Side fault)
{
    if (over_)
        return;
    over_ = true;
    record_.result = result;
    record_.comment = comment;
    record_.reason = reason;
    record_.atFault = fault;
}

void Game::loses(const Player& p, const std::string& comment, EndReason reason, bool atFault)
{
    const Side side = p.colour == WHITE ? Side::White : Side::Black;
    end(p.colour == WHITE ? "0-1" : "1-0", colourName(p.colour) + (" " + comment), reason,
        atFault ? side : Side::None);
}

bool Game::send(Player& p, const std::string& line)
{
    record_.log.push_back(tag(p) + "> " + line);
    if (p.process.writeLine(line))
        return true;
    lostContact(p);
    return false;
}

std::optional<std::string> Game::receive(Player& p, int timeoutMs)
{
    std::optional<std::string> line = p.process.readLine(timeoutMs);
    if (line && !isChatter(*line))
        record_.log.push_back(tag(p) + "< " + *line);
    return line;
}

// The engine stopped reading or writing: a crash if it has ended, silence otherwise.
void Game::lostContact(Player& p)
{
    if (std::optional<int> status = p.process.waitExit(500))
        loses(p, "exited with status " + std::to_string(*status), EndReason::Crash, true);
    else
        loses(p, "stopped talking", EndReason::Timeout, true);
}

bool Game::handshake()
{
    for (Player* p : {white_.get(), black_.get()}) {
        if (!send(*p, "xboard") || (setup_.protocolVersion >= 2 && !send(*p, "protover 2")))
            return false;
    }
    // Version 2: feature lines until the one that says done=1.
    const long long deadline = nowMs() + HANDSHAKE_TIMEOUT_MS;
    for (Player* p : {white_.get(), black_.get()}) {
        for (bool done = setup_.protocolVersion < 2; !done;) {
            const long long left = deadline - nowMs();
            std::optional<std::string> line = left > 0 ? receive(*p, static_cast<int>(left)) : std::nullopt;
            if (!line) {
                lostContact(*p);
                return false;
            }
            if (!startsWith(*line, "feature "))
                continue;
            p->usermove |= hasFeature(*line, "usermove=1");
            p->timeCommands &= !hasFeature(*line, "time=0");
            done = hasFeature(*line, "done=1");
        }
    }
    for (Player* p : {white_.get(), black_.get()}) {
        for (const std::string& line : {std::string("new"), std::string("easy"), setup_.timeControl.levelCommand(),
                                        std::string("post")})
            send(*p, line);
        p->clockMs = setup_.timeControl.baseMs;
    }
    return true;
}

// Tells the engine on move both clocks, then the command that sets it thinking.
bool Game::relayTurn(Player& toMove, const std::string& command)
{
    const Player& other = toMove.colour == WHITE ? *black_ : *white_;
    if (toMove.timeCommands &&
        (!send(toMove, "time " + std::to_string(std::max(toMove.clockMs, 0LL) / 10)) ||
         !send(toMove, "otim " + std::to_string(std::max(other.clockMs, 0LL) / 10))))
        return false;
    moveStart_ = nowMs();
    return send(toMove, command);
}

void Game::handle(Player& p, const std::string& line)
{
    if (startsWith(line, "move ")) {
        const std::string text = line.substr(5, line.find(' ', 5) - 5);
        if (p.colour != referee_.sideToMove())
            loses(p, "moved " + text + " out of turn", EndReason::Illegal, true);
        else
            onMove(p, text);
    } else if (!resultToken(line).empty()) {
        std::string why;
        if (referee_.claimHolds(line, p.colour, why))
            end(resultToken(line), resultComment(line), EndReason::Result);
        else
            loses(p, "made a false claim: " + why, EndReason::Illegal, true);
    } else if (line == "resign" || startsWith(line, "resign ")) {
        loses(p, "resigns", EndReason::Resign, false);
    } else if (startsWith(line, "Illegal move")) {
        loses(p, "rejected a legal move: " + line, EndReason::Illegal, true);
    }
}

void Game::onMove(Player& p, const std::string& text)
{
    p.clockMs -= nowMs() - moveStart_;
    std::string why;
    if (p.clockMs < -TIME_GRACE_MS)
        return loses(p, "lost on time", EndReason::Timeout, true);
    if (!referee_.play(text, why))
        return loses(p, "played an illegal move: " + why, EndReason::Illegal, true);
    record_.moves.push_back(text);
    p.clockMs += setup_.timeControl.incrementMs;
    if (setup_.timeControl.movesPerSession > 0 && ++p.movesMade % setup_.timeControl.movesPerSession == 0)
        p.clockMs += setup_.timeControl.baseMs;

    Player& next = player(referee_.sideToMove());
    const std::string relayed = next.usermove ? "usermove " + text : text;
    const Referee::Status status = referee_.status();
    if (status == Referee::Status::Ongoing && static_cast<int>(referee_.plies()) >= setup_.maxPlies)
        return end("*", "Move limit reached", EndReason::MoveLimit);
    if (status == Referee::Status::Checkmate)
        loses(next, "is mated", EndReason::Mate, false);
    else if (status == Referee::Status::Stalemate)
        end("1/2-1/2", "Stalemate", EndReason::Stalemate);
    if (over_)
        send(next, relayed);   // the loser sees the final move, as under a chess interface
    else
        relayTurn(next, relayed);
}

void Game::finish()
{
    record_.finalFen = referee_.fen();
    for (Player* p : {white_.get(), black_.get()}) {
        if (!p->process.waitExit(0)) {
            send(*p, "result " + record_.result + " {" + record_.comment + "}");
            send(*p, "quit");
        }
    }
    record_.whiteExit = white_->process.waitExit(5000);
    record_.blackExit = black_->process.waitExit(5000);
}

GameRecord Game::run()
{
    const long long started = nowMs();
    white_ = std::make_unique<Player>(setup_.white, WHITE);
    black_ = std::make_unique<Player>(setup_.black, BLACK);
    if (handshake())
        relayTurn(*white_, "go");
    while (!over_) {
        Player& mover = player(referee_.sideToMove());
        Player& idle = player(otherColour(referee_.sideToMove()));
        std::optional<std::string> line = receive(idle, 1);
        Player& from = line ? idle : mover;
        const long long before = nowMs();
        if (line || (line = receive(mover, 20))) {
            handle(from, *line);
            continue;
        }
        // An engine that has ended gets its last words read, then loses unless they ended the game.
        for (Player* p : {white_.get(), black_.get()}) {
            if (over_ || !p->process.waitExit(0))
                continue;
            while (!over_ && (line = receive(*p, 50)))
                handle(*p, *line);
            lostContact(*p);
        }
        const long long waited = nowMs() - moveStart_;
        if (waited > mover.clockMs + TIME_GRACE_MS)
            loses(mover, "lost on time", EndReason::Timeout, true);
        else if (waited > setup_.moveTimeoutMs)
            loses(mover, "did not move in time", EndReason::Timeout, true);
        else if (nowMs() - before < 5)   // output closed: do not spin
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    finish();
    record_.durationMs = nowMs() - started;
    return std::move(record_);
}

} // namespace

std::string TimeControl::levelCommand() const
{
    // The base in whole minutes where it can be, minutes:seconds otherwise.
    const int seconds = baseMs / 1000;
    char text[80];
    if (seconds % 60 == 0)
        std::snprintf(text, sizeof text, "level %d %d %g", movesPerSession, seconds / 60, incrementMs / 1000.0);
    else
        std::snprintf(text, sizeof text, "level %d %d:%02d %g", movesPerSession, seconds / 60, seconds % 60,
                      incrementMs / 1000.0);
    return text;
}

const char* endReasonName(EndReason reason)
{
    static const char* const names[] = {"Result", "Resign",  "Mate",    "Stalemate",
                                        "MoveLimit", "Illegal", "Timeout", "Crash"};
    return names[static_cast<int>(reason)];
}

std::string GameRecord::summary() const
{
    std::ostringstream out;
    out << result << " {" << comment << "} by " << endReasonName(reason) << " after " << moves.size()
        << " plies in " << durationMs << " ms, final position " << finalFen << "\nmoves:";
    for (const std::string& move : moves)
        out << ' ' << move;
    out << "\nlast lines:\n";
    for (std::size_t i = log.size() > 30 ? log.size() - 30 : 0; i < log.size(); ++i)
        out << "  " << log[i] << '\n';
    return out.str();
}

GameRecord playGame(const GameSetup& setup)
{
    return Game(setup).run();
}
