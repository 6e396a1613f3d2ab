#pragma once
// Runs build/kelp-tool with arguments and collects its output and exit status.

#include <optional>
#include <string>
#include <vector>

struct ToolRun {
    std::vector<std::string> lines;
    std::optional<int> status;
};

ToolRun runTool(const std::vector<std::string>& args, int timeoutMs = 300000);
