#include "platform/sys/Archive.h"

#include "platform/sys/Gbk.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <istream>
#include <ostream>

namespace {

const char* CauseText(CArchiveException::Cause cause) {
    switch (cause) {
    case CArchiveException::endOfFile:
        return "archive ends before the value";
    case CArchiveException::badString:
        return "archive string form not supported";
    case CArchiveException::writeFailed:
        return "archive could not be written";
    }
    return "archive error";
}

// Markers of the string length prefix.
constexpr BYTE kLongLength = 0xFF;
constexpr WORD kWideString = 0xFFFE;
constexpr WORD kDwordLength = 0xFFFF;

// Strings are read in pieces so that a corrupt length cannot make us reserve
// gigabytes before the stream has shown it holds them.
constexpr std::size_t kReadPiece = 4096;

} // namespace

CArchiveException::CArchiveException(Cause cause) : std::runtime_error(CauseText(cause)), m_cause(cause) {}

CArchive::CArchive(std::ostream& out) : m_pOut(&out) {}

CArchive::CArchive(std::istream& in) : m_pIn(&in) {}

void CArchive::Write(const void* bytes, std::size_t count) {
    if (!m_pOut || !m_pOut->write(static_cast<const char*>(bytes), std::streamsize(count)))
        throw CArchiveException(CArchiveException::writeFailed);
}

void CArchive::Read(void* bytes, std::size_t count) {
    if (!m_pIn)
        throw CArchiveException(CArchiveException::endOfFile);
    m_pIn->read(static_cast<char*>(bytes), std::streamsize(count));
    if (std::size_t(m_pIn->gcount()) != count)
        throw CArchiveException(CArchiveException::endOfFile);
}

template <typename T> CArchive& CArchive::StoreLittleEndian(T value) {
    BYTE bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    Write(bytes, sizeof(T));
    return *this;
}

template <typename T> CArchive& CArchive::LoadLittleEndian(T& value) {
    BYTE bytes[sizeof(T)];
    Read(bytes, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
    return *this;
}

CArchive& CArchive::operator<<(BYTE value) {
    return StoreLittleEndian(value);
}
CArchive& CArchive::operator<<(WORD value) {
    return StoreLittleEndian(value);
}
CArchive& CArchive::operator<<(int value) {
    return StoreLittleEndian(std::int32_t(value));
}
CArchive& CArchive::operator<<(double value) {
    return StoreLittleEndian(value);
}

CArchive& CArchive::operator>>(BYTE& value) {
    return LoadLittleEndian(value);
}
CArchive& CArchive::operator>>(WORD& value) {
    return LoadLittleEndian(value);
}
CArchive& CArchive::operator>>(int& value) {
    std::int32_t v = 0;
    LoadLittleEndian(v);
    value = v;
    return *this;
}
CArchive& CArchive::operator>>(double& value) {
    return LoadLittleEndian(value);
}

CArchive& CArchive::operator<<(const CString& text) {
    auto gbk = platform::Utf8ToGbk(text);
    if (!gbk)
        throw CArchiveException(CArchiveException::badString);
    const std::size_t length = gbk->size();
    if (length < kLongLength) {
        *this << BYTE(length);
    } else if (length < kWideString) {
        *this << kLongLength << WORD(length);
    } else {
        *this << kLongLength << kDwordLength << int(DWORD(length));
    }
    Write(gbk->data(), length);
    return *this;
}

CArchive& CArchive::operator>>(CString& text) {
    BYTE shortLength = 0;
    *this >> shortLength;
    std::size_t length = shortLength;
    if (shortLength == kLongLength) {
        WORD wordLength = 0;
        *this >> wordLength;
        // Wide strings were never written by this program's platform build.
        if (wordLength == kWideString)
            throw CArchiveException(CArchiveException::badString);
        length = wordLength;
        if (wordLength == kDwordLength) {
            int dwordLength = 0;
            *this >> dwordLength;
            length = DWORD(dwordLength);
        }
    }
    std::string gbk;
    while (gbk.size() < length) {
        const std::size_t piece = std::min(kReadPiece, length - gbk.size());
        const std::size_t at = gbk.size();
        gbk.resize(at + piece);
        Read(gbk.data() + at, piece);
    }
    // Bytes that are not GBK text would come back as a text that cannot be
    // stored again, so such an archive is refused rather than half-read.
    const std::string_view field(gbk.data(), std::find(gbk.begin(), gbk.end(), '\0') - gbk.begin());
    auto utf8 = platform::GbkToUtf8(field);
    if (!utf8)
        throw CArchiveException(CArchiveException::badString);
    text = std::move(*utf8);
    return *this;
}

void CArchive::Flush() {
    if (m_pOut && !m_pOut->flush())
        throw CArchiveException(CArchiveException::writeFailed);
}
