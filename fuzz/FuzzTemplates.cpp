// The dialog and menu template readers fed any text: an accepted dialog
// template holds only numbers the window layer can take.

#include "FuzzCheck.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/Menu.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CString source(reinterpret_cast<const char*>(data), size);
    CString error;
    if (const auto t = platform::win::ParseDialogTemplate(source, &error)) {
        const auto sane = [](int x, int y, int cx, int cy) {
            return std::abs(x) <= 4096 && std::abs(y) <= 4096 && cx >= 0 && cy >= 0 && cx <= 4096 && cy <= 4096;
        };
        FUZZ_REQUIRE(sane(t->x, t->y, t->cx, t->cy));
        FUZZ_REQUIRE(t->pointSize >= 1 && t->pointSize <= 144);
        for (const auto& item : t->items)
            FUZZ_REQUIRE(sane(item.x, item.y, item.cx, item.cy));
    } else {
        FUZZ_REQUIRE(!error.empty());
    }
    error.clear();
    if (!platform::win::ParseMenuTemplate(source, &error))
        FUZZ_REQUIRE(!error.empty());
    return 0;
}
