#include "platform/sys/Archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "archives are little-endian like the processor's images");

CArchiveException::CArchiveException(Cause cause) : std::runtime_error("archive error"), m_cause(cause) {}

void CArchive::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
}

std::size_t CArchive::Read(void* data, std::size_t size) {
    std::size_t n = std::min(size, m_buffer.size() - m_readPos);
    std::memcpy(data, m_buffer.data() + m_readPos, n);
    m_readPos += n;
    return n;
}

void CArchive::ReadExact(void* data, std::size_t size) {
    if (Read(data, size) != size)
        throw CArchiveException(CArchiveException::endOfFile);
}

CArchive& CArchive::operator>>(int& value) {
    std::int32_t v = 0;
    Get(v);
    value = v;
    return *this;
}

// Lengths below 255 take one byte; longer ones escape to a 16-bit and then a
// 32-bit length.
CArchive& CArchive::operator<<(const CString& text) {
    std::size_t n = text.size();
    if (n < 0xFF) {
        Put(static_cast<BYTE>(n));
    } else if (n < 0xFFFE) {
        Put(static_cast<BYTE>(0xFF));
        Put(static_cast<WORD>(n));
    } else {
        Put(static_cast<BYTE>(0xFF));
        Put(static_cast<WORD>(0xFFFF));
        Put(static_cast<DWORD>(n));
    }
    Write(text.data(), n);
    return *this;
}

CArchive& CArchive::operator>>(CString& text) {
    BYTE b = 0;
    Get(b);
    std::size_t n = b;
    if (b == 0xFF) {
        WORD w = 0;
        Get(w);
        n = w;
        if (w == 0xFFFF) {
            DWORD d = 0;
            Get(d);
            n = d;
        }
    }
    if (n > m_buffer.size() - m_readPos)
        throw CArchiveException(CArchiveException::endOfFile);
    text.assign(reinterpret_cast<const char*>(m_buffer.data() + m_readPos), n);
    m_readPos += n;
    return *this;
}
