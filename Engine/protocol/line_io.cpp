#include "protocol/line_io.h"

#include <cstring>

bool LineInput::readLine(char* buffer)
{
    // One spare byte so that a carriage return after a full-length line can
    // still be recognised and dropped.
    char text[LINE_BUFFER_SIZE + 1];
    std::size_t length = 0;   // characters seen on this line
    int c;
    while ((c = std::getc(stream_)) != EOF && c != '\n') {
        if (length < sizeof text)
            text[length] = static_cast<char>(c);
        ++length;
    }
    const bool atEnd = (c == EOF && length == 0);
    // Every carriage return at the end goes (an interface may send CR CR LF).
    if (length <= sizeof text) {
        while (length > 0 && text[length - 1] == '\r')
            --length;
    }
    if (length > MAX_LINE_LENGTH)
        length = 0;   // over-long line: consumed and ignored
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return !atEnd;
}

bool LineInput::readLine(std::string& line)
{
    line.clear();
    bool tooLong = false;
    int c;
    while ((c = std::getc(stream_)) != EOF && c != '\n') {
        if (line.size() < MAX_LONG_LINE_LENGTH)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    const bool atEnd = (c == EOF && line.empty() && !tooLong);
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (tooLong)
        line.clear();
    return !atEnd;
}

void LineOutput::writeLine(const char* text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (failed_)
        return;
    const bool written = std::fputs(text, stream_) != EOF && std::fputc('\n', stream_) != EOF;
    if (std::fflush(stream_) != 0 || !written)
        failed_ = true;
}

LineInput& standardInput()
{
    static LineInput input(stdin);
    return input;
}

LineOutput& standardOutput()
{
    static LineOutput output(stdout);
    return output;
}
