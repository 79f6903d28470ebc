#include "platform/win/CursorPos.h"

#include <QCursor>

namespace platform::win {

namespace {

class DisplayCursor final : public CursorService {
public:
    void SetPos(int x, int y) override { QCursor::setPos(x, y); }
};

CursorService* s_cursorService = nullptr;

} // namespace

CursorService* InstallCursorService(CursorService* service) {
    CursorService* previous = s_cursorService;
    s_cursorService = service;
    return previous;
}

} // namespace platform::win

BOOL SetCursorPos(int x, int y) {
    static platform::win::DisplayCursor display;
    platform::win::CursorService* service = platform::win::s_cursorService;
    (service ? *service : display).SetPos(x, y);
    return TRUE;
}
