#pragma once
// Protocol lines in and out. A line is at most MAX_LINE_LENGTH characters up
// to a line feed; the line feed, and the carriage returns just before it, are
// not part of the line. A longer line is consumed whole and handed on as an empty
// line, which every command loop ignores.

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

constexpr std::size_t MAX_LINE_LENGTH = 255;
constexpr std::size_t LINE_BUFFER_SIZE = MAX_LINE_LENGTH + 1;
// The full mode reads lines whole up to this length (a UCI "position" of a
// long game resends every move).
constexpr std::size_t MAX_LONG_LINE_LENGTH = 16u << 20;

class LineInput {
public:
    explicit LineInput(std::FILE* stream) : stream_(stream) {}

    // Reads one line into buffer (LINE_BUFFER_SIZE bytes, zero-terminated).
    // Returns false at end of input with no characters read; the buffer then
    // holds the empty text.
    bool readLine(char* buffer);
    // The same into a string, for lines of up to MAX_LONG_LINE_LENGTH
    // characters; a longer line is consumed and read as empty.
    bool readLine(std::string& line);

private:
    std::FILE* stream_;
};

class LineOutput {
public:
    explicit LineOutput(std::FILE* stream) : stream_(stream) {}

    // Writes text and a line end as one unit, then flushes. Safe to call from
    // several threads: lines never interleave. After a failed write (the
    // interface closed its end) nothing more is written.
    void writeLine(const char* text);
    // True once a write has failed.
    bool failed() const { return failed_.load(); }

private:
    std::FILE* stream_;
    std::mutex mutex_;
    std::atomic<bool> failed_{false};
};

// The process's standard streams.
LineInput& standardInput();
LineOutput& standardOutput();
