#pragma once

// The desktop's work area (the screen without the panels), for placing
// popups.  Tests fix it so a placement does not depend on the screen the
// test happens to run on.

#include "platform/win/WinDefs.h"

#include <optional>

inline constexpr UINT SPI_GETWORKAREA = 0x0030;

// Answers SPI_GETWORKAREA (`param` a RECT*, screen coordinates); FALSE for
// any other request.
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);

namespace platform::win {
// Replaces the screen's work area; std::nullopt gives the screen's back.
void SetWorkAreaForTesting(std::optional<RECT> area);
} // namespace platform::win
