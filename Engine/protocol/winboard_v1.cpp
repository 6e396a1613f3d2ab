#include "protocol/winboard_v1.h"

int WinBoardInterfaceV1_class::handleDialectCommand(const char*)
{
    return 1;
}
