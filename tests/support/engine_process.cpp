#include "support/engine_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

std::string inBuildDirectory(const char* name)
{
    std::string path = KELP_BUILD_DIR;
    path += '/';
    path += name;
    return path;
}

} // namespace

std::string kelpBinary() { return inBuildDirectory("kelp"); }
std::string earlierKelpBinary() { return inBuildDirectory("kelp-0.4.13.1"); }
std::string kelpToolBinary() { return inBuildDirectory("kelp-tool"); }

EngineProcess::EngineProcess(const std::string& binary, const std::vector<std::string>& args)
{
    std::signal(SIGPIPE, SIG_IGN);   // a closed child input must not kill the test
    int in[2];
    int out[2];
    if (pipe(in) != 0)
        return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        const int err = open("/dev/null", O_WRONLY);
        if (err >= 0)
            dup2(err, STDERR_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(binary.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
    fcntl(toChild_, F_SETFD, FD_CLOEXEC);
    fcntl(fromChild_, F_SETFD, FD_CLOEXEC);
}

EngineProcess::~EngineProcess()
{
    closeInput();
    if (pid_ > 0 && !exitStatus_ && !waitExit(5000)) {
        kill(pid_, SIGKILL);
        waitExit(5000);
    }
    if (fromChild_ >= 0)
        close(fromChild_);
}

bool EngineProcess::writeLine(const std::string& line)
{
    if (toChild_ < 0)
        return false;
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(toChild_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool EngineProcess::fillBuffer(int timeoutMs)
{
    if (outputClosed_ || fromChild_ < 0)
        return false;
    pollfd p{fromChild_, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (ready <= 0)
        return false;
    char chunk[4096];
    const ssize_t n = read(fromChild_, chunk, sizeof chunk);
    if (n <= 0) {
        outputClosed_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

std::optional<std::string> EngineProcess::readLine(int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            transcript_.push_back(line);
            return line;
        }
        const long long left = deadline - nowMs();
        if (left <= 0 || outputClosed_)
            return std::nullopt;
        fillBuffer(static_cast<int>(left));
    }
}

std::vector<std::string> EngineProcess::readLinesFor(int timeoutMs)
{
    std::vector<std::string> lines;
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        const long long left = deadline - nowMs();
        std::optional<std::string> line = readLine(left > 0 ? static_cast<int>(left) : 0);
        if (!line)
            return lines;
        lines.push_back(*line);
    }
}

void EngineProcess::closeInput()
{
    if (toChild_ >= 0) {
        close(toChild_);
        toChild_ = -1;
    }
}

std::optional<int> EngineProcess::waitExit(int timeoutMs)
{
    if (exitStatus_ || pid_ <= 0)
        return exitStatus_;
    const long long deadline = nowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitStatus_;
        }
        if (nowMs() >= deadline)
            return std::nullopt;
        // Keep draining output so a chatty child never blocks on a full pipe.
        fillBuffer(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
