#include "support/tool_run.h"

#include "support/engine_process.h"

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
