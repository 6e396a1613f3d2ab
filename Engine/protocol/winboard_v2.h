#pragma once
// WinBoard protocol version 2: announces its features at once; moves arrive
// after "usermove", so bare lines are never played.

#include "protocol/winboard_interface.h"

class WinBoardInterfaceV2_class : public WinBoardInterface_class {
public:
    WinBoardInterfaceV2_class(LineInput& input, LineOutput& output, const ProtocolRules& rules, bool fullMode = false);

    void handleDialectCommand(const char* line) override;

    void sendFeatures();
};
