#pragma once
// WinBoard protocol version 1: bare coordinate moves and the "edit" sub-mode.

#include "protocol/winboard_interface.h"

class WinBoardInterfaceV1_class : public WinBoardInterface_class {
public:
    using WinBoardInterface_class::WinBoardInterface_class;

    void handleDialectCommand(const char* line) override;

    // The board editor: "#" clears, "c" switches colour, "Pe4"-style lines
    // place pieces, "." hands the board to the game.
    void editPosition();
};
