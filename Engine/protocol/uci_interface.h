#pragma once
// The UCI front end: identity, two announced options, the readiness probe and
// "quit". It never starts a search.

#include "protocol/gui_interface.h"

class UciInterface_class : public GuiInterface_class {
public:
    using GuiInterface_class::GuiInterface_class;

    void inputLoop() override;

    void sendMove(const char* moveText) override;
    void sendResult(ResultCode resultCode) override;
    void sendError(ErrorKind errorKind, const char* text) override;
    void resign() override;
    void sendThinking() override;

protected:
    // The identity (the documented name unless another is given) and the two
    // documented options (without "uciok").
    void sendIdentity(const char* name = "Kelp Test");
};
