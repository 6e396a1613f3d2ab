// Protocol lines: arbitrary input to the WinBoard (both dialects, edit
// sub-mode included) and UCI front ends, driving a real game controller, in
// the documented and the full mode. First byte: the front end and release. Every search runs on this thread to
// one ply (and its captures), with a small table, so a whole game runs without
// a thread wait. The oracle, checked before each line is read (that
// is, after every command) and at the end: the game board is consistent and
// agrees on the side to move; and every move the engine announces is one of
// the legal moves of the position it was announced in, that position lets
// nobody take a king, and the move takes none.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/types.h>

#include "board/move.h"
#include "game/game.h"
#include "protocol/uci_full_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"
#include "release/release_profile.h"

namespace {

constexpr std::uint32_t kTableBytes = 1u << 16;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void checkGame(const Game_class& game)
{
    const Board_class& board = game.board();
    check(board.isConsistent() && board.sideToMove == game.sideToMove());
    check(board.block(WHITE).typeCount[KING] == 1 && board.block(BLACK).typeCount[KING] == 1);
}

// The engine's move, checked against the game board before the game plays it.
void checkAnnouncedMove(const Game_class& game, const char* text)
{
    static Board_class& position = *new Board_class;
    static MoveList& moves = *new MoveList;
    position.copyFrom(game.board());
    position.sideToMove = game.sideToMove();
    check(position.isLegalPosition());
    moves.setSide(position.sideToMove);
    position.generateMoves(moves);
    const Move move = findMove(moves, parseMoveText(position.sideToMove, text));
    check(move != NO_MOVE);
    const Piece_class* taken = position.pieceAt(moveTo(move));
    check(taken == nullptr || taken->type != KING);
}

template <class FrontEnd>
class CheckedFrontEnd final : public FrontEnd {
public:
    using FrontEnd::FrontEnd;
    void sendMove(const char* text) override
    {
        checkAnnouncedMove(*this->game_, text);
        FrontEnd::sendMove(text);
    }
    void sendBestMove(Move best, Move reply) override
    {
        if (best != NO_MOVE) {
            char text[MOVE_TEXT_SIZE];
            moveToText(best, text);
            checkAnnouncedMove(*this->game_, text);
        }
        FrontEnd::sendBestMove(best, reply);
    }
};

// The input stream: one line per read, so each read asks for the next command.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
    const Game_class* game = nullptr;   // checked before every line; null for UCI
};

ssize_t readInput(void* cookie, char* buffer, std::size_t size)
{
    Input& in = *static_cast<Input*>(cookie);
    if (in.game != nullptr)
        checkGame(*in.game);
    std::size_t n = 0;
    while (n < size && in.position < in.size) {
        buffer[n] = static_cast<char>(in.data[in.position++]);
        if (buffer[n++] == '\n')
            break;
    }
    return static_cast<ssize_t>(n);
}

// The game of each release lives across inputs (a fresh table and search
// per input would cost more than the input itself); its announcements go to
// the front end of the input being run.
class Relay final : public GuiInterface_class {
public:
    using GuiInterface_class::GuiInterface_class;
    GuiInterface_class* target = nullptr;

    void sendMove(const char* text) override { target->sendMove(text); }
    void sendResult(ResultCode resultCode) override { target->sendResult(resultCode); }
    void sendError(ErrorKind errorKind, const char* text) override { target->sendError(errorKind, text); }
    void resign() override { target->resign(); }
    void sendBestMove(Move best, Move reply) override { target->sendBestMove(best, reply); }
    void sendThinking() override
    {
        target->thinkingLine = thinkingLine;
        target->thinkingMultiPv = thinkingMultiPv;
        target->thinkingDepth = thinkingDepth;
        target->thinkingNodes = thinkingNodes;
        target->thinkingScore = thinkingScore;
        target->setThinkingPV(pv, pvLength);
        target->sendThinking();
    }
};

struct Engine {
    // The release's rules with a table small enough to clear in no time.
    explicit Engine(const ReleaseProfile& rules, bool fullMode = false)
        : release(rules), game(&relay, kTableBytes, release.game, fullMode ? PlayPolicy::full() : PlayPolicy{})
    {
        check(game.init());
        game.setLargestTable(kTableBytes);
        startOptions = game.options();
    }
    // Back to what a new process has: the flags of a new game, one line, and no
    // killers or expected line from earlier inputs (new games keep them).
    void reset(std::uint32_t depth)
    {
        game.thinkAfterUserMove = true;
        game.playMoveWhenDone = false;
        game.setInlineSearchDepth(depth);
        game.setOptions(startOptions);
        for (std::uint32_t i = 0; i < MAX_PLY; ++i) {
            SearchPly& ply = game.search()->ply(i);
            ply.killer1 = ply.killer2 = NO_MOVE;
            ply.pv[0] = NO_MOVE;
            ply.pvLength = 0;
        }
    }

    const ReleaseProfile& release;
    Relay relay{nullInput(), nullOutput(), release.protocol};
    Game_class game;
    PlayOptions startOptions;

    static LineInput& nullInput()
    {
        static LineInput& input = *new LineInput(std::fopen("/dev/null", "r"));
        return input;
    }
    static LineOutput& nullOutput()
    {
        static LineOutput& output = *new LineOutput(std::fopen("/dev/null", "w"));
        return output;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static Engine& current = *new Engine(currentRelease());
    static Engine& earlier = *new Engine(earlierRelease());
    static Engine& full = *new Engine(currentRelease(), true);

    // 0-2: WinBoard 1 and 2, UCI; 3-4: the same WinBoard in the earlier
    // release; 5-6: WinBoard 2 and UCI in the full mode.
    const std::uint8_t choice = data[0] % 7;
    Engine& engine = choice >= 5 ? full : choice >= 3 ? earlier : current;
    engine.reset(1);

    Input in{data + 1, size - 1};
    std::FILE* stream = fopencookie(&in, "r", cookie_io_functions_t{readInput, nullptr, nullptr, nullptr});
    LineInput input(stream);
    LineOutput& output = Engine::nullOutput();
    std::unique_ptr<GuiInterface_class> frontEnd;
    if (choice == 0 || choice == 3)
        frontEnd = std::make_unique<CheckedFrontEnd<WinBoardInterfaceV1_class>>(input, output, engine.release.protocol);
    else if (choice == 1 || choice == 4)
        frontEnd = std::make_unique<CheckedFrontEnd<WinBoardInterfaceV2_class>>(input, output, engine.release.protocol);
    else if (choice == 5)
        frontEnd =
            std::make_unique<CheckedFrontEnd<WinBoardInterfaceV2_class>>(input, output, engine.release.protocol, true);
    else if (choice == 6)
        frontEnd = std::make_unique<CheckedFrontEnd<UciFullInterface_class>>(input, output, engine.release.protocol);
    else
        frontEnd = std::make_unique<UciInterface_class>(input, output, engine.release.protocol);
    engine.relay.target = frontEnd.get();

    // The documented UCI never sets up a position; the others always have one.
    const bool uci = choice == 2;
    if (!uci)
        in.game = &engine.game;
    frontEnd->run(&engine.game);
    engine.game.stopAll();
    if (!uci)
        checkGame(engine.game);
    std::fclose(stream);
    return 0;
}
