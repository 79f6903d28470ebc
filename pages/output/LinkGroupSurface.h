#pragma once

// What the link-group bookkeeping changes besides its tables: the strips'
// group and select buttons, the output page and the send queue.  The view
// that owns the twelve strips implements it; the strips find it as their
// parent window.

#include "platform/sys/WinTypes.h"

class ILinkGroupSurface {
public:
    virtual ~ILinkGroupSurface() = default;

    // Group button of `output`: its latched picture shows group `number`
    // (1..12) in the current language, 0 the grey one.
    virtual void SetGroupImage(int output, int number) = 0;
    virtual BOOL IsGroupLatched(int output) = 0;
    virtual void SetGroupLatched(int output, BOOL latched) = 0;
    virtual BOOL IsSelectLatched(int output) = 0;
    virtual void SetSelectLatched(int output, BOOL latched) = 0;

    // The lowest group index not in use, -1 when all twelve are.
    virtual int FindFreeSlot() = 0;
    // Latches the select buttons of every output with that number when one
    // of them is latched, else unlatches them all.
    virtual void HighlightLinkGroup(int output, int number) = 0;
    // 1 switches the outputs linked with `anchor` off, 0 restores them.
    virtual void MuteLinkedOutputs(int anchor, int flag) = 0;
    // The output page's response graph without a highlighted band.
    virtual void RedrawGraph() = 0;
    // Makes `output` current, shows it on the output page, repaints the view.
    virtual void ShowChannel(int output) = 0;
    // The output page's hidden link mark.
    virtual void UnlatchPageLinkMark() = 0;
};
