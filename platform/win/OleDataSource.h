#pragma once

// Data offered to the clipboard: blocks of memory by format.  Only text
// (CF_TEXT, zero-terminated UTF-8) reaches the clipboard.

#include "platform/res/ResourceApi.h"

#include <map>

using CLIPFORMAT = unsigned short;
inline constexpr CLIPFORMAT CF_TEXT = 1;

class COleDataSource final {
public:
    COleDataSource() = default;
    ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // The source owns `block` from now on.
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL block);
    // Puts the text on the clipboard.  The clipboard owns the source from
    // then on: it must have been made with new and is not used again.
    void SetClipboard();

private:
    std::map<CLIPFORMAT, HGLOBAL> m_blocks;
};
