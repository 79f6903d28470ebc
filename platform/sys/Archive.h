#pragma once

// The binary archive of the serializable classes and of the output-map file:
// little-endian fixed-width values and length-prefixed strings, byte for byte
// as the platform's archives wrote them.  Strings are held as GBK in the
// archive and as UTF-8 in the program.
//
// A loading archive that runs out of bytes throws CArchiveException
// (endOfFile); it never reads past the end of its stream.

#include "platform/sys/WinTypes.h"

#include <iosfwd>
#include <stdexcept>

class CArchiveException : public std::runtime_error {
public:
    enum Cause {
        endOfFile,   // a load asked for more bytes than the archive holds
        badString,   // a string form this program does not read or write
        writeFailed, // the stream refused the bytes
    };

    explicit CArchiveException(Cause cause);

    Cause m_cause;
};

class CArchive {
public:
    // A storing archive writing to `out`.
    explicit CArchive(std::ostream& out);
    // A loading archive reading from `in`.
    explicit CArchive(std::istream& in);

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_pOut != nullptr; }
    bool IsLoading() const { return m_pIn != nullptr; }

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(int value); // 32-bit
    CArchive& operator<<(double value);
    // One length byte below 255, else FF and a 16-bit length, else FF FF FF
    // and a 32-bit length; then the GBK bytes.
    CArchive& operator<<(const CString& text);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(int& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(CString& text);

    // Hands buffered bytes of a storing archive to its stream.
    void Flush();

private:
    void Write(const void* bytes, std::size_t count);
    void Read(void* bytes, std::size_t count);
    template <typename T> CArchive& StoreLittleEndian(T value);
    template <typename T> CArchive& LoadLittleEndian(T& value);

    std::ostream* m_pOut = nullptr;
    std::istream* m_pIn = nullptr;
};
