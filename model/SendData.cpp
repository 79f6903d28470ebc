#include "model/SendData.h"

#include "model/Globals.h"

#include <algorithm>
#include <cstring>

void CSendData::SetData(std::vector<BYTE> data) {
    m_data = std::move(data);
    m_nLength = int(m_data.size());
}

void CSendData::SetLength(int length) {
    m_nLength = std::clamp(length, 0, int(m_data.size()));
}

int CSendData::NextHidChunk() {
    if (m_nChunkPos >= m_nLength)
        return 0;
    std::memset(g_UsbOutReport, 0, sizeof g_UsbOutReport);
    const int count = std::min(int(frame::kHidChunkSize), m_nLength - m_nChunkPos);
    std::memcpy(g_UsbOutReport + 1, m_data.data() + m_nChunkPos, std::size_t(count));
    m_nChunkPos += count;
    return 1;
}
