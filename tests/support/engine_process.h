#pragma once
// Starts a real engine binary as a child process with pipes on its standard
// input and output, so tests can talk to it exactly as a chess interface does.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class EngineProcess {
public:
    // The child's standard error is discarded.
    explicit EngineProcess(const std::string& binary, const std::vector<std::string>& args = {});
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // Writes one line and its line end. Returns false if the child's input is closed.
    bool writeLine(const std::string& line);
    // The next output line, or nothing if none arrived within timeoutMs.
    std::optional<std::string> readLine(int timeoutMs);
    // Reads lines until one satisfies the predicate (returned) or time runs out.
    template <typename Predicate>
    std::optional<std::string> readUntil(Predicate matches, int timeoutMs);
    // Every line that arrives within timeoutMs (or until the output closes).
    std::vector<std::string> readLinesFor(int timeoutMs);
    // Every line read so far, oldest first.
    const std::vector<std::string>& transcript() const { return transcript_; }

    void closeInput();
    // The exit status once the child has ended, or nothing after timeoutMs.
    // A child killed by a signal reports 128 + the signal number.
    std::optional<int> waitExit(int timeoutMs);

private:
    bool fillBuffer(int timeoutMs);

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool outputClosed_ = false;
    std::optional<int> exitStatus_;
    std::string buffer_;
    std::vector<std::string> transcript_;
};

// Paths of the binaries of this build.
std::string kelpBinary();
std::string earlierKelpBinary();
std::string kelpToolBinary();

// Milliseconds on a monotonic clock.
long long nowMs();

template <typename Predicate>
std::optional<std::string> EngineProcess::readUntil(Predicate matches, int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        const long long left = deadline - nowMs();
        if (left <= 0)
            return std::nullopt;
        std::optional<std::string> line = readLine(static_cast<int>(left));
        if (!line)
            return std::nullopt;
        if (matches(*line))
            return line;
    }
}
