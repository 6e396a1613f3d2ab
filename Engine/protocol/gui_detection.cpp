#include "protocol/gui_detection.h"

#include <cstring>
#include <new>

#include "platform/sleep.h"
#include "protocol/uci_full_interface.h"
#include "protocol/winboard_v1.h"
#include "protocol/winboard_v2.h"

namespace {

GuiInterface_class* createUci(LineInput& input, LineOutput& output, const ProtocolRules& rules, bool fullMode)
{
    if (fullMode)
        return new (std::nothrow) UciFullInterface_class(input, output, rules);
    return new (std::nothrow) UciInterface_class(input, output, rules);
}

} // namespace

int detectGui(LineInput& input, LineOutput& output, const ProtocolRules& rules,
              GuiInterface_class** frontEnd, bool fullMode)
{
    *frontEnd = nullptr;
    char line[LINE_BUFFER_SIZE];
    input.readLine(line);   // at end of input the line is empty: unsupported

    GuiInterface_class* created = nullptr;
    if (std::strcmp(line, "uci") == 0) {
        created = createUci(input, output, rules, fullMode);
    } else if (std::strcmp(line, "xboard") == 0) {
        sleepMs(DETECTION_PAUSE_MS);
        input.readLine(line);   // empty if nothing could be read
        if (std::strcmp(line, "protover 2") == 0)
            created = new (std::nothrow) WinBoardInterfaceV2_class(input, output, rules, fullMode);
        else if (fullMode && std::strcmp(line, "uci") == 0)
            created = createUci(input, output, rules, fullMode);
        else
            created = new (std::nothrow) WinBoardInterfaceV1_class(input, output, rules, fullMode);
    } else {
        return 1;
    }
    if (created == nullptr)
        return 1;
    created->setPendingLine(line);
    *frontEnd = created;
    return 0;
}
