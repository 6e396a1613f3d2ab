#include "support/memory_streams.h"

MemoryStreams::MemoryStreams(const std::string& inputText)
    : inputText_(inputText),
      inFile_(inputText_.empty() ? std::fopen("/dev/null", "r")
                                 : fmemopen(inputText_.data(), inputText_.size(), "r")),
      outFile_(std::tmpfile()),
      input_(inFile_),
      output_(outFile_)
{
}

MemoryStreams::~MemoryStreams()
{
    std::fclose(inFile_);
    std::fclose(outFile_);
}

std::vector<std::string> MemoryStreams::outputLines()
{
    std::fflush(outFile_);
    std::rewind(outFile_);
    std::vector<std::string> lines;
    std::string line;
    int c;
    while ((c = std::fgetc(outFile_)) != EOF) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::fseek(outFile_, 0, SEEK_END);
    return lines;
}
