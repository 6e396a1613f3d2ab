#pragma once
// A real engine binary as a child process with pipes on its standard input and
// output, so tests talk to it exactly as a chess interface does.
//
// The same tests can run against a cross build: KELP_BIN_DIR names the folder
// of the binaries to start (NAME.exe is taken where NAME is missing), and
// KELP_RUNNER the command that starts them, split at spaces (for example
// "wine" or "qemu-aarch64 -L /usr/aarch64-linux-gnu").

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

    // Writes one line and its line end; false once the child's input is closed.
    bool writeLine(const std::string& line);
    // The next output line; nothing when none came within timeoutMs or the output closed.
    std::optional<std::string> readLine(int timeoutMs);
    // Puts a line back: the next readLine returns it.
    void unread(const std::string& line) { buffer_ = line + "\n" + buffer_; }
    // Every line that arrives within timeoutMs (or until the output closes).
    std::vector<std::string> readLinesFor(int timeoutMs);
    void closeInput();
    // Stops reading the child's output: its next write finds no reader.
    void closeOutput();
    // The exit status (128 + the signal number when killed), or nothing after timeoutMs.
    std::optional<int> waitExit(int timeoutMs);

private:
    bool fillBuffer(int timeoutMs);

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::optional<int> exitStatus_;
    std::string buffer_;
};

// Paths of the binaries of this build (or of KELP_BIN_DIR).
std::string kelpBinary();
std::string earlierKelpBinary();
std::string kelpFullBinary();
std::string kelpToolBinary();

// Milliseconds on a monotonic clock.
long long nowMs();

// Runs build/kelp-tool with arguments and collects its output and exit status.
struct ToolRun {
    std::vector<std::string> lines;
    std::optional<int> status;
};
ToolRun runTool(const std::vector<std::string>& args, int timeoutMs = 300000);
