#include "app/startup.h"

#include <memory>

#include "app/config.h"
#include "protocol/gui_detection.h"

int runEngine(int argc, const char* const* argv, const ReleaseProfile& release,
              LineInput& input, LineOutput& output)
{
    Config_class config;
    if (argc > 1)
        config.parseCommandLine(argc - 1, argv + 1);

    GuiInterface_class* detected = nullptr;
    if (detectGui(input, output, release, &detected) != 0) {
        output.writeLine("unsupported GUI");
        return 0;
    }
    std::unique_ptr<GuiInterface_class> frontEnd(detected);

    frontEnd->run(nullptr);

    frontEnd.reset();
    return 0;
}
