#pragma once
// The engine's side of the conversation with a chess interface. The game
// controller and the search talk back through the announcement operations
// their own layers declare (GameListener, SearchListener) without knowing
// which protocol is spoken; only the front ends derived from this class write
// protocol text.

#include <cstdint>
#include <string>

#include "game/game_listener.h"
#include "protocol/line_io.h"
#include "release/release_profile.h"

class Game_class;

class GuiInterface_class : public GameListener {
public:
    GuiInterface_class(LineInput& input, LineOutput& output, const ProtocolRules& rules);
    virtual ~GuiInterface_class() = default;
    GuiInterface_class(const GuiInterface_class&) = delete;
    GuiInterface_class& operator=(const GuiInterface_class&) = delete;

    // Stores the game and runs the input loop on the calling thread until the
    // interface quits (or its input ends). The game may be null.
    virtual void run(Game_class* game);
    // Reads and handles lines; the base loop knows only "quit".
    virtual void inputLoop();

    // Announcements. The base versions say nothing.
    void sendMove(const char* moveText) override;
    void sendResult(ResultCode resultCode) override;
    void sendError(ErrorKind errorKind, const char* text) override;
    void resign() override;
    void sendThinking() override;   // reads the thinking record

    // Keeps the last line read by detection, whole, for the input loop.
    void setPendingLine(const char* line);
    const char* pendingLine() const { return pendingLine_; }

protected:
    // Stops the game's search cycle and ends the input loop.
    void quit();
    // Reads the next line; false when the input has ended, or when the output
    // has failed (nobody reads the answers any more): every loop then ends as
    // on "quit".
    bool readLine(char* buffer) { return !output_.failed() && input_.readLine(buffer) && !output_.failed(); }
    // The full mode's reading: lines of any reasonable length, whole.
    bool readLine(std::string& line) { return !output_.failed() && input_.readLine(line) && !output_.failed(); }
    void writeLine(const char* text) { output_.writeLine(text); }
    // Sets running_, then reads lines and hands each to `handle` until running_
    // is cleared; the end of input ends the run as "quit" does. Lines are read
    // whole in the full mode (`longLines`), else up to MAX_LINE_LENGTH.
    template <typename Handle>
    void readLines(bool longLines, Handle handle)
    {
        running_ = true;
        std::string longLine;
        char line[LINE_BUFFER_SIZE];
        while (running_) {
            if (!(longLines ? readLine(longLine) : readLine(line)))
                quit();
            else
                handle(longLines ? longLine.c_str() : line);
        }
    }

    bool running_ = false;
    Game_class* game_ = nullptr;
    const ProtocolRules& rules_;

private:
    LineInput& input_;
    LineOutput& output_;
    char pendingLine_[LINE_BUFFER_SIZE] = {};
};
