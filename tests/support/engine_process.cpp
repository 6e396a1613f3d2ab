#include "support/engine_process.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "release/version.h"

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

std::string binaryDir()
{
    const char* dir = std::getenv("KELP_BIN_DIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : KELP_BUILD_DIR) + "/";
}

std::string binaryPath(const char* name)
{
    const std::string path = binaryDir() + name;
    return access(path.c_str(), F_OK) != 0 && access((path + ".exe").c_str(), F_OK) == 0 ? path + ".exe" : path;
}

// The words of KELP_RUNNER (for the binaries under test only, not for other
// programs such as the shell), then the binary and its arguments.
std::vector<std::string> commandLine(const std::string& binary, const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    const char* runnerText = std::getenv("KELP_RUNNER");
    std::istringstream runner(runnerText != nullptr && binary.rfind(binaryDir(), 0) == 0 ? runnerText : "");
    for (std::string word; runner >> word;)
        words.push_back(word);
    words.push_back(binary);
    words.insert(words.end(), args.begin(), args.end());
    return words;
}

}  // namespace

std::string kelpBinary() { return binaryPath("kelp"); }
std::string earlierKelpBinary() { return binaryPath("kelp-" KELP_EARLIER_VERSION); }
std::string kelpFullBinary() { return binaryPath("kelp-full"); }
std::string kelpToolBinary() { return binaryPath("kelp-tool"); }

EngineProcess::EngineProcess(const std::string& binary, const std::vector<std::string>& args)
{
    std::signal(SIGPIPE, SIG_IGN);   // a closed child input must not kill the test
    // Close-on-exec, so that no other child keeps this one's input open.
    const std::vector<std::string> command = commandLine(binary, args);   // built before the fork
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        std::signal(SIGPIPE, SIG_DFL);   // the engine starts as an interface starts it
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(open("/dev/null", O_WRONLY), STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
}

EngineProcess::~EngineProcess()
{
    closeInput();
    if (pid_ > 0 && !waitExit(5000)) {
        kill(pid_, SIGKILL);
        waitExit(5000);
    }
    if (fromChild_ >= 0)
        close(fromChild_);
}

bool EngineProcess::writeLine(const std::string& line)
{
    const std::string text = line + "\n";   // shorter than a pipe buffer: written whole or not at all
    return toChild_ >= 0 && write(toChild_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void EngineProcess::closeOutput()
{
    if (fromChild_ >= 0)
        close(fromChild_);
    fromChild_ = -1;
}

void EngineProcess::closeInput()
{
    if (toChild_ >= 0)
        close(toChild_);
    toChild_ = -1;
}

// Appends what the child wrote within timeoutMs; false on silence or a closed output.
bool EngineProcess::fillBuffer(int timeoutMs)
{
    pollfd p{fromChild_, POLLIN, 0};
    char chunk[4096];
    ssize_t n = 0;
    if (poll(&p, 1, std::max(timeoutMs, 0)) > 0 && (n = read(fromChild_, chunk, sizeof chunk)) > 0)
        buffer_.append(chunk, static_cast<std::size_t>(n));
    return n > 0;
}

std::optional<std::string> EngineProcess::readLine(int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    std::size_t end;
    while ((end = buffer_.find('\n')) == std::string::npos) {
        if (!fillBuffer(static_cast<int>(deadline - nowMs())))
            return std::nullopt;
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    return line;
}

std::vector<std::string> EngineProcess::readLinesFor(int timeoutMs)
{
    std::vector<std::string> lines;
    const long long deadline = nowMs() + timeoutMs;
    while (std::optional<std::string> line = readLine(static_cast<int>(deadline - nowMs())))
        lines.push_back(*line);
    return lines;
}

std::optional<int> EngineProcess::waitExit(int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    while (!exitStatus_ && pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_)
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        else if (nowMs() >= deadline)
            break;
        else if (!fillBuffer(0))   // drained, so a chatty child never blocks on a full pipe
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exitStatus_;
}

ToolRun runTool(const std::vector<std::string>& args, int timeoutMs)
{
    EngineProcess tool(kelpToolBinary(), args);
    tool.closeInput();
    ToolRun run;
    while (std::optional<std::string> line = tool.readLine(timeoutMs))
        run.lines.push_back(*line);
    run.status = tool.waitExit(timeoutMs);
    return run;
}
