#include "support/self_play.h"

#include <cctype>
#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include "support/engine_process.h"
#include "support/referee.h"

std::string TimeControl::levelCommand() const
{
    // The base is whole minutes where it can be, minutes:seconds otherwise.
    const int seconds = baseMs / 1000;
    std::string base = std::to_string(seconds / 60);
    if (seconds % 60 != 0) {
        const int s = seconds % 60;
        base += (s < 10 ? ":0" : ":") + std::to_string(s);
    }
    // The increment in seconds, with a fraction only where it has one ("0.1").
    std::string increment = std::to_string(incrementMs / 1000);
    if (incrementMs % 1000 != 0) {
        std::string fraction = std::to_string(1000 + incrementMs % 1000).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        increment += "." + fraction;
    }
    return "level " + std::to_string(movesPerSession) + " " + base + " " + increment;
}

const char* endReasonName(EndReason reason)
{
    switch (reason) {
    case EndReason::Result: return "Result";
    case EndReason::Resign: return "Resign";
    case EndReason::Mate: return "Mate";
    case EndReason::Stalemate: return "Stalemate";
    case EndReason::MoveLimit: return "MoveLimit";
    case EndReason::Illegal: return "Illegal";
    case EndReason::Timeout: return "Timeout";
    case EndReason::Crash: return "Crash";
    }
    return "?";
}

std::string GameRecord::summary(std::size_t logLines) const
{
    std::ostringstream out;
    out << result << " {" << comment << "} reason " << endReasonName(reason) << ", at fault "
        << (atFault == Side::White ? "White" : atFault == Side::Black ? "Black" : "nobody") << ", "
        << moves.size() << " plies in " << durationMs << " ms\nmoves:";
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (i % 2 == 0)
            out << ' ' << i / 2 + 1 << '.';
        out << ' ' << moves[i];
    }
    out << "\nfinal position: " << finalFen << "\nlast lines:\n";
    const std::size_t first = log.size() > logLines ? log.size() - logLines : 0;
    for (std::size_t i = first; i < log.size(); ++i)
        out << "  " << log[i] << '\n';
    return out.str();
}

namespace {

const char* colourName(Colour colour) { return colour == WHITE ? "White" : "Black"; }
Side sideOf(Colour colour) { return colour == WHITE ? Side::White : Side::Black; }

bool startsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Thinking lines start with the search depth; engines' own comments with '#'.
bool isChatter(const std::string& line)
{
    std::size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos)
        return true;
    if (line[i] == '#')
        return true;
    return std::isdigit(static_cast<unsigned char>(line[i])) && resultToken(line).empty();
}

// The value of one "name=value" token of feature lines ("" when absent).
std::string featureValue(const std::vector<std::string>& lines, const std::string& name)
{
    std::string value;
    for (const std::string& line : lines) {
        std::size_t at = 0;
        while ((at = line.find(name + "=", at)) != std::string::npos) {
            const bool wordStart = at == 0 || line[at - 1] == ' ';
            at += name.size() + 1;
            if (!wordStart)
                continue;
            std::size_t end = line.find(' ', at);
            if (at < line.size() && line[at] == '"') {
                end = line.find('"', at + 1);
                end = end == std::string::npos ? end : end + 1;
            }
            value = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
        }
    }
    return value;
}

struct Player {
    Player(const EngineSpec& spec, Colour c) : process(spec.binary, spec.args, spec.stderrPath), colour(c) {}

    EngineProcess process;
    Colour colour;
    bool usermove = false;   // version 2 engines that asked for "usermove" before moves
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
    char tag(const Player& p) const { return p.colour == WHITE ? 'W' : 'B'; }

    void end(const std::string& result, const std::string& comment, EndReason reason, Side fault = Side::None);
    void loses(Colour loser, const std::string& comment, EndReason reason, bool atFault);
    bool send(Player& p, const std::string& line);
    std::optional<std::string> receive(Player& p, int timeoutMs);
    void lostContact(Player& p);
    bool handshake();
    void prepare(Player& p);
    bool relayTurn(Player& toMove, const std::string& command);
    void handle(Player& p, const std::string& line);
    void onMove(Player& p, const std::string& text);
    void checkAlive();
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

void Game::loses(Colour loser, const std::string& comment, EndReason reason, bool atFault)
{
    end(loser == WHITE ? "0-1" : "1-0", comment, reason, atFault ? sideOf(loser) : Side::None);
}

bool Game::send(Player& p, const std::string& line)
{
    record_.log.push_back(std::string(1, tag(p)) + "> " + line);
    if (p.process.writeLine(line))
        return true;
    lostContact(p);
    return false;
}

std::optional<std::string> Game::receive(Player& p, int timeoutMs)
{
    std::optional<std::string> line = p.process.readLine(timeoutMs);
    if (line && !isChatter(*line))
        record_.log.push_back(std::string(1, tag(p)) + "< " + *line);
    return line;
}

// The engine stopped reading or writing: a crash if it has ended, silence otherwise.
void Game::lostContact(Player& p)
{
    if (std::optional<int> status = p.process.waitExit(500))
        loses(p.colour, std::string(colourName(p.colour)) + "'s engine exited with status " +
                            std::to_string(*status), EndReason::Crash, true);
    else
        loses(p.colour, std::string(colourName(p.colour)) + "'s engine stopped talking", EndReason::Timeout, true);
}

bool Game::handshake()
{
    for (Player* p : {white_.get(), black_.get()}) {
        if (!send(*p, "xboard"))
            return false;
        if (setup_.protocolVersion >= 2 && !send(*p, "protover 2"))
            return false;
    }
    if (setup_.protocolVersion < 2)
        return true;
    // Version 2: collect feature lines until the one that says done=1.
    const long long deadline = nowMs() + setup_.handshakeTimeoutMs;
    for (Player* p : {white_.get(), black_.get()}) {
        std::vector<std::string> features;
        for (;;) {
            const long long left = deadline - nowMs();
            std::optional<std::string> line = left > 0 ? receive(*p, static_cast<int>(left)) : std::nullopt;
            if (!line) {
                lostContact(*p);
                return false;
            }
            if (!startsWith(*line, "feature "))
                continue;
            features.push_back(*line);
            if (featureValue({*line}, "done") == "1")
                break;
        }
        p->usermove = featureValue(features, "usermove") == "1";
        p->timeCommands = featureValue(features, "time") != "0";
    }
    return true;
}

void Game::prepare(Player& p)
{
    send(p, "new");
    send(p, "easy");
    send(p, setup_.timeControl.levelCommand());
    if (setup_.post)
        send(p, "post");
    p.clockMs = setup_.timeControl.baseMs;
}

// Tells the engine on move both clocks, then the command that sets it thinking.
bool Game::relayTurn(Player& toMove, const std::string& command)
{
    const Player& other = toMove.colour == WHITE ? *black_ : *white_;
    if (toMove.timeCommands) {
        const long long own = toMove.clockMs > 0 ? toMove.clockMs / 10 : 0;
        const long long opp = other.clockMs > 0 ? other.clockMs / 10 : 0;
        if (!send(toMove, "time " + std::to_string(own)) || !send(toMove, "otim " + std::to_string(opp)))
            return false;
    }
    moveStart_ = nowMs();
    return send(toMove, command);
}

void Game::handle(Player& p, const std::string& line)
{
    const std::string name = colourName(p.colour);
    if (startsWith(line, "move ")) {
        const std::size_t space = line.find(' ', 5);
        const std::string text = line.substr(5, space == std::string::npos ? std::string::npos : space - 5);
        if (p.colour != referee_.sideToMove())
            loses(p.colour, name + " moved " + text + " out of turn", EndReason::Illegal, true);
        else
            onMove(p, text);
    } else if (!resultToken(line).empty()) {
        std::string why;
        if (referee_.claimHolds(line, p.colour, why))
            end(resultToken(line), resultComment(line), EndReason::Result);
        else
            loses(p.colour, "False claim: " + why, EndReason::Illegal, true);
    } else if (line == "resign" || startsWith(line, "resign ")) {
        loses(p.colour, name + " resigns", EndReason::Resign, false);
    } else if (startsWith(line, "Illegal move")) {
        const std::string last = record_.moves.empty() ? std::string("(none)") : record_.moves.back();
        loses(p.colour, name + " rejected the legal move " + last + ": " + line, EndReason::Illegal, true);
    }
}

void Game::onMove(Player& p, const std::string& text)
{
    const std::string name = colourName(p.colour);
    p.clockMs -= nowMs() - moveStart_;
    if (p.clockMs < -setup_.timeGraceMs) {
        loses(p.colour, name + "'s flag fell", EndReason::Timeout, true);
        return;
    }
    std::string why;
    if (!referee_.play(text, why)) {
        loses(p.colour, "Illegal move by " + name + ": " + why, EndReason::Illegal, true);
        return;
    }
    record_.moves.push_back(text);
    p.movesMade += 1;
    p.clockMs += setup_.timeControl.incrementMs;
    if (setup_.timeControl.movesPerSession > 0 && p.movesMade % setup_.timeControl.movesPerSession == 0)
        p.clockMs += setup_.timeControl.baseMs;

    Player& next = player(referee_.sideToMove());
    const std::string relayed = setup_.protocolVersion >= 2 && next.usermove ? "usermove " + text : text;
    const Referee::Status status = referee_.status();
    if (status == Referee::Status::Checkmate) {
        loses(next.colour, name + " mates", EndReason::Mate, false);
        send(next, relayed);   // the loser sees the final move, as under a chess interface
    } else if (status == Referee::Status::Stalemate) {
        end("1/2-1/2", "Stalemate", EndReason::Stalemate);
        send(next, relayed);
    } else if (static_cast<int>(referee_.plies()) >= setup_.maxPlies) {
        end("*", "Move limit reached", EndReason::MoveLimit);
    } else {
        relayTurn(next, relayed);
    }
}

// An engine that has ended gets its last words read, then loses unless they ended the game.
void Game::checkAlive()
{
    for (Player* p : {white_.get(), black_.get()}) {
        if (over_ || !p->process.waitExit(0))
            continue;
        while (!over_) {
            std::optional<std::string> line = receive(*p, 50);
            if (!line)
                break;
            handle(*p, *line);
        }
        lostContact(*p);
    }
}

void Game::finish()
{
    record_.finalFen = referee_.fen();
    for (Player* p : {white_.get(), black_.get()}) {
        if (p->process.waitExit(0))
            continue;
        send(*p, "result " + record_.result + " {" + record_.comment + "}");
        send(*p, "quit");
    }
    record_.whiteExit = white_->process.waitExit(5000);
    record_.blackExit = black_->process.waitExit(5000);
}

GameRecord Game::run()
{
    const long long started = nowMs();
    white_ = std::make_unique<Player>(setup_.white, WHITE);
    black_ = std::make_unique<Player>(setup_.black, BLACK);
    if (handshake()) {
        prepare(*white_);
        prepare(*black_);
        relayTurn(*white_, "go");
    }
    while (!over_) {
        Player& mover = player(referee_.sideToMove());
        Player& idle = player(otherColour(referee_.sideToMove()));
        if (std::optional<std::string> line = receive(idle, 1)) {
            handle(idle, *line);
            continue;
        }
        const long long before = nowMs();
        if (std::optional<std::string> line = receive(mover, 20)) {
            handle(mover, *line);
            continue;
        }
        checkAlive();
        if (over_)
            break;
        const long long waited = nowMs() - moveStart_;
        if (waited > mover.clockMs + setup_.timeGraceMs)
            loses(mover.colour, std::string(colourName(mover.colour)) + "'s flag fell", EndReason::Timeout, true);
        else if (waited > setup_.moveTimeoutMs)
            loses(mover.colour, std::string(colourName(mover.colour)) + " did not move within " +
                                    std::to_string(setup_.moveTimeoutMs) + " ms", EndReason::Timeout, true);
        else if (nowMs() - before < 5)   // output closed: do not spin
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    finish();
    record_.durationMs = nowMs() - started;
    return std::move(record_);
}

} // namespace

GameRecord playGame(const GameSetup& setup)
{
    Game game(setup);
    return game.run();
}
