#include "support/memory_streams.h"

// An empty text cannot be a memory stream: it reads from /dev/null instead.
MemoryStreams::MemoryStreams(const std::string& inputText)
    : inputText_(inputText),
      inFile_(inputText_.empty() ? std::fopen("/dev/null", "r") : fmemopen(inputText_.data(), inputText_.size(), "r")),
      outFile_(std::tmpfile()), input_(inFile_), output_(outFile_)
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
    for (char line[4096]; std::fgets(line, sizeof line, outFile_);) {
        lines.emplace_back(line);
        if (lines.back().back() == '\n')
            lines.back().pop_back();
    }
    std::fseek(outFile_, 0, SEEK_END);   // writing may go on
    return lines;
}
