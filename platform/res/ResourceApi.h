#pragma once

// Resource and memory calls as the program's own code makes them: find a
// typed resource of the executable, load and lock its bytes; movable memory
// blocks; a stream over a block for the image decoder.

#include "platform/sys/WinTypes.h"

#include <cstddef>

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HRSRC__;
using HRSRC = HRSRC__*;
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
using HRESULT = long;
using SIZE_T = std::size_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005L);
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;

// The program's own module; passing nullptr means the same.
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();

// Resources of a named type ("PNG", "JSON", ...) by numeric id.  The bytes
// live for the whole run; nullptr when there is no such resource.
HRSRC FindResource(HMODULE module, UINT id, const char* type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL loaded);

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);
SIZE_T GlobalSize(HGLOBAL block);

// A read-only stream over a memory block.
class IStream {
public:
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;
    // The bytes the stream reads.
    virtual const void* Bytes() const = 0;
    virtual SIZE_T ByteCount() const = 0;

protected:
    virtual ~IStream() = default;
};

// `deleteOnRelease` FALSE leaves the block to the caller when the stream is released.
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream);
