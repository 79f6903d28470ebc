#include "platform/res/ResourceApi.h"

#include "platform/res/Resources.h"

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// A found resource keeps its bytes for the rest of the run, as a module's do.
struct FoundResource {
    QByteArray bytes;
};

struct MemoryBlock {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

class BlockStream final : public IStream {
public:
    BlockStream(MemoryBlock* block, bool owns) : m_block(block), m_owns(owns) {}
    unsigned long AddRef() override { return ++m_refs; }
    unsigned long Release() override {
        const unsigned long left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    const void* Bytes() const override { return m_block->bytes.data(); }
    SIZE_T ByteCount() const override { return m_block->bytes.size(); }

private:
    ~BlockStream() override {
        if (m_owns)
            delete m_block;
    }
    MemoryBlock* m_block;
    bool m_owns;
    std::atomic<unsigned long> m_refs{1};
};

} // namespace

HINSTANCE AfxGetResourceHandle() {
    return reinterpret_cast<HINSTANCE>(0x400000);
}

HINSTANCE AfxGetInstanceHandle() {
    return AfxGetResourceHandle();
}

HRSRC FindResource(HMODULE, UINT id, const char* type) {
    if (!type)
        return nullptr;
    auto bytes = platform::res::Provider().Data(id, type);
    if (!bytes)
        return nullptr;
    static std::mutex mutex;
    static auto* found = new std::map<std::pair<const void*, std::pair<UINT, CString>>, FoundResource*>;
    std::lock_guard lock(mutex);
    auto& slot = (*found)[{&platform::res::Provider(), {id, type}}];
    if (!slot)
        slot = new FoundResource{*bytes};
    return reinterpret_cast<HRSRC>(slot);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    return resource ? DWORD(reinterpret_cast<FoundResource*>(resource)->bytes.size()) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return reinterpret_cast<HGLOBAL>(resource);
}

void* LockResource(HGLOBAL loaded) {
    if (!loaded)
        return nullptr;
    auto* r = reinterpret_cast<FoundResource*>(loaded);
    return r->bytes.isEmpty() ? nullptr : r->bytes.data();
}

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
    auto* block = new MemoryBlock;
    block->bytes.assign(bytes, 0);
    return reinterpret_cast<HGLOBAL>(block);
}

void* GlobalLock(HGLOBAL block) {
    if (!block)
        return nullptr;
    auto* b = reinterpret_cast<MemoryBlock*>(block);
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    if (!block)
        return FALSE;
    auto* b = reinterpret_cast<MemoryBlock*>(block);
    if (b->locks > 0)
        --b->locks;
    return b->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    delete reinterpret_cast<MemoryBlock*>(block);
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL block) {
    return block ? reinterpret_cast<MemoryBlock*>(block)->bytes.size() : 0;
}

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** stream) {
    if (!block || !stream)
        return E_FAIL;
    *stream = new BlockStream(reinterpret_cast<MemoryBlock*>(block), deleteOnRelease != 0);
    return S_OK;
}
