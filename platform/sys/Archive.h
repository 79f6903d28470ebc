#pragma once

// The framework's binary archive: little-endian fixed-width values and
// length-prefixed strings, stored into or loaded from a byte buffer.  Files
// are read into or written from the buffer by the caller.  Strings are
// archived as their bytes; a caller that keeps GBK converts at the edge.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

class CArchiveException : public std::runtime_error {
public:
    enum Cause { endOfFile = 3, badIndex = 5 };
    explicit CArchiveException(Cause cause);
    Cause m_cause;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // Storing appends to `buffer`; loading reads it from the start.
    CArchive(std::vector<BYTE>& buffer, Mode mode) : m_buffer(buffer), m_mode(mode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    void Write(const void* data, std::size_t size);
    // Reads up to `size` bytes and returns how many there were.
    std::size_t Read(void* data, std::size_t size);

    CArchive& operator<<(BYTE value) { return Put(value); }
    CArchive& operator<<(WORD value) { return Put(value); }
    CArchive& operator<<(int value) { return Put(static_cast<std::int32_t>(value)); }
    CArchive& operator<<(DWORD value) { return Put(value); }
    CArchive& operator<<(double value) { return Put(value); }
    CArchive& operator<<(const CString& text);

    CArchive& operator>>(BYTE& value) { return Get(value); }
    CArchive& operator>>(WORD& value) { return Get(value); }
    CArchive& operator>>(int& value);
    CArchive& operator>>(DWORD& value) { return Get(value); }
    CArchive& operator>>(double& value) { return Get(value); }
    // Throws CArchiveException::endOfFile when the buffer ends early.
    CArchive& operator>>(CString& text);

private:
    template <typename T> CArchive& Put(T value);
    template <typename T> CArchive& Get(T& value);
    void ReadExact(void* data, std::size_t size);

    std::vector<BYTE>& m_buffer;
    Mode m_mode = store;
    std::size_t m_readPos = 0;
};

template <typename T> CArchive& CArchive::Put(T value) {
    Write(&value, sizeof value);
    return *this;
}

template <typename T> CArchive& CArchive::Get(T& value) {
    ReadExact(&value, sizeof value);
    return *this;
}
