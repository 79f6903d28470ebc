#pragma once

// What the output page asks of the main form beyond the view's sending
// operations: the output strips' captions and select latches, the default
// input mix of a speaker type and the strips' delay unit.  The application's
// form implements it; the page sees only this.  Called on the GUI thread.

#include "platform/sys/WinTypes.h"

class IOutputForm {
public:
    virtual ~IOutputForm() = default;
    // Strip k's speaker-type caption from the output's current type.
    virtual void UpdateTypeCaption(int strip) = 0;
    // Latches or releases strip k's select button.
    virtual void SetSelectLatched(int strip, int latched) = 0;
    // The default input-mix levels of a speaker type, into the output's
    // record of the live image and the model.
    virtual void ApplySpeakerTypeMix(int output, int type) = 0;
    // Every strip shows its delay in `unit` (1 ms, 2 cm, 3 inch).
    virtual void UpdatePanels(WPARAM wParam, int unit) = 0;
};
