#include "platform/win/OleDataSource.h"

#include "platform/win/Clipboard.h"

#include <cstring>

COleDataSource::~COleDataSource() {
    for (auto& [format, block] : m_blocks)
        GlobalFree(block);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL block) {
    auto& slot = m_blocks[format];
    if (slot && slot != block)
        GlobalFree(slot);
    slot = block;
}

void COleDataSource::SetClipboard() {
    auto it = m_blocks.find(CF_TEXT);
    if (it != m_blocks.end()) {
        const auto* bytes = static_cast<const char*>(GlobalLock(it->second));
        const SIZE_T size = GlobalSize(it->second);
        platform::win::CurrentClipboard().SetText(CString(bytes, strnlen(bytes, size)));
        GlobalUnlock(it->second);
    }
    delete this;
}
