#pragma once

// Link groups: the group numbers of the outputs (g_OutLinkTable, byte 287 of
// each output record) and the bookkeeping behind the strips' group buttons.
// A click on a group button creates, joins, leaves or rejoins a group; the
// rebuild replaces everything with the numbers of a freshly loaded image.
// GUI thread only.

#include "platform/sys/WinTypes.h"

class CKTV_Data;
class CKTV_OutData;
class ILinkGroupSurface;

class CLinkGroups {
public:
    // The click kinds the group button reports.
    static constexpr WPARAM kSingleClick = 0x201;
    static constexpr WPARAM kDoubleClick = 0x203;
    static constexpr WPARAM kRightClick = 0x204;

    // The group-button operation of `output`, whose model object is `data`.
    // An unknown kind or an output outside 0..11 changes nothing.
    static void OnGroupClick(ILinkGroupSurface& surface, int output, CKTV_OutData* data, WPARAM kind);
    // Reloads the numbers from the live image and rebuilds the tables, the
    // buttons and the forming flag from them.
    static void Rebuild(CKTV_Data& model, ILinkGroupSurface& surface);
    // The select buttons of the outputs numbered `number` follow the one of
    // them that is latched.
    static void HighlightGroup(ILinkGroupSurface& surface, int number);

    // The group number of an output, 0 outside 1..12.
    static int NumberOf(int output);

private:
    static void Leave(ILinkGroupSurface& surface, int output, bool remember, bool changeSelect);
    static void Release(int group);
    static void Join(ILinkGroupSurface& surface, int output, int anchor, int group);
    // -1 when no group is free.
    static int Create(ILinkGroupSurface& surface, int output, bool select);
    static void ForgetRemembered(int output);
    static int RejoinAnchor(int output);
    static void EndStep(ILinkGroupSurface& surface, int output, CKTV_OutData* data, BOOL latched);
};
