#pragma once

// What the link asks of the parameter model: the frame for the next changed
// block (or the status poll when nothing changed) whenever the send queue runs
// empty, and dropping every change mark when a link opens or closes.  The
// model implements it; a view without a model polls the status.

#include "model/SendData.h"

#include <memory>

class ILinkModel {
public:
    virtual ~ILinkModel() = default;
    // Called on the communication thread with g_csSend held; never null.
    virtual std::unique_ptr<CSendData> SendNextDirtyBlock() = 0;
    virtual void SetAllDirty(int dirty) = 0;
};
