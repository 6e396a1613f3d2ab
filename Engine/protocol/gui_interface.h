#pragma once
// The engine's side of the conversation with a chess interface. The game
// controller and the search talk back through the announcement operations
// below without knowing which protocol is spoken; only the front ends derived
// from this class write protocol text.

#include <cstdint>

#include "board/types.h"
#include "protocol/line_io.h"

class Game_class;
struct ReleaseProfile;

constexpr std::uint32_t THINKING_PV_CAPACITY = 64;

class GuiInterface_class {
public:
    GuiInterface_class(LineInput& input, LineOutput& output, const ReleaseProfile& release);
    virtual ~GuiInterface_class() = default;
    GuiInterface_class(const GuiInterface_class&) = delete;
    GuiInterface_class& operator=(const GuiInterface_class&) = delete;

    // Stores the game and runs the input loop on the calling thread until the
    // interface quits (or its input ends). The game may be null.
    virtual int run(Game_class* game);
    // Reads and handles lines; the base loop knows only "quit".
    virtual int inputLoop();

    // Announcements. The base versions say nothing.
    virtual void sendMove(const char* moveText);
    virtual void sendResult(std::uint32_t resultCode);
    virtual void sendError(std::uint32_t errorKind, const char* text);
    virtual void offerDraw();
    virtual void resign();
    virtual void sendThinking();   // reads the thinking record below
    virtual void sendLine(const char* text);

    // Copies at most THINKING_PV_CAPACITY moves of a line into the record,
    // up to its first null move.
    void setThinkingPV(const Move* moves, std::uint32_t length);

    // Keeps the last line read by detection, whole, for the input loop.
    void setPendingLine(const char* line);
    const char* pendingLine() const { return pendingLine_; }

    // The thinking record, filled by the search just before sendThinking.
    std::int32_t thinkingDepth = 0;
    std::int32_t thinkingNodes = 0;
    std::int32_t thinkingTime = 0;
    std::int32_t thinkingScore = 0;
    std::uint32_t pvLength = 0;
    Move pv[THINKING_PV_CAPACITY] = {};

protected:
    // Stops the game's search cycle and ends the input loop.
    void quit();
    // Reads the next line; false when the input has ended, or when the output
    // has failed (nobody reads the answers any more): every loop then ends as
    // on "quit".
    bool readLine(char* buffer) { return !output_.failed() && input_.readLine(buffer) && !output_.failed(); }
    void writeLine(const char* text) { output_.writeLine(text); }

    bool running_ = false;
    Game_class* game_ = nullptr;
    const ReleaseProfile& release_;

private:
    LineInput& input_;
    LineOutput& output_;
    char pendingLine_[LINE_BUFFER_SIZE] = {};
};
