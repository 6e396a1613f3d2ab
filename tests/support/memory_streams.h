#pragma once
// In-memory standard input and output for driving front ends inside a test.

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/line_io.h"

class MemoryStreams {
public:
    explicit MemoryStreams(const std::string& inputText);
    ~MemoryStreams();
    MemoryStreams(const MemoryStreams&) = delete;
    MemoryStreams& operator=(const MemoryStreams&) = delete;

    LineInput& input() { return input_; }
    LineOutput& output() { return output_; }
    // Every line written so far.
    std::vector<std::string> outputLines();

private:
    std::string inputText_;
    std::FILE* inFile_;
    std::FILE* outFile_;
    LineInput input_;
    LineOutput output_;
};
