// Global memory. Moveable blocks live in a handle table and really move on
// every reallocation, so a program that keeps a pointer across GlobalReAlloc
// (instead of locking again) is caught at once, not on some later day.
// Fixed blocks are their own handles, as in Win32.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "common/fault.h"
#include "common/handle_table.h"

namespace {

using qv::HandleKind;

// No single block is larger than this: a bigger request fails cleanly.
constexpr SIZE_T kMaxBlock = SIZE_T(1) << 30;

struct Block {
    uint8_t* memory = nullptr; // NULL: discarded (size 0)
    SIZE_T size = 0;
    UINT flags = 0;
    unsigned locks = 0;
    ~Block() { std::free(memory); }
};

qv::HandleTable<Block>& Moveable() {
    static qv::HandleTable<Block> table(HandleKind::Global);
    return table;
}

// Fixed blocks, by address; counted with the moveable ones.
class FixedBlocks final : public qv::TableBase {
  public:
    FixedBlocks() { qv::RegisterTable(this); }
    size_t Live() const override { return blocks.size(); }
    HandleKind Kind() const override { return HandleKind::Global; }
    std::unordered_map<const void*, std::unique_ptr<Block>> blocks;
};

FixedBlocks& Fixed() {
    static FixedBlocks fixed;
    return fixed;
}

Block* FindFixed(HGLOBAL h) {
    auto it = Fixed().blocks.find(h);
    return it == Fixed().blocks.end() ? nullptr : it->second.get();
}

uint8_t* Allocate(SIZE_T bytes, bool zero) {
    // At least one byte, so even an empty fixed block has an address.
    return static_cast<uint8_t*>(zero ? std::calloc(std::max<SIZE_T>(bytes, 1), 1)
                                      : std::malloc(std::max<SIZE_T>(bytes, 1)));
}

// Moves the block's contents into new memory of `bytes` bytes.
bool Move(Block& b, SIZE_T bytes, bool zero) {
    uint8_t* fresh = Allocate(bytes, zero);
    if (!fresh) return false;
    if (b.memory) std::memcpy(fresh, b.memory, std::min(b.size, bytes));
    std::free(b.memory);
    b.memory = fresh;
    b.size = bytes;
    return true;
}

} // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (dwBytes > kMaxBlock || qv::ShouldFail("GlobalAlloc")) return nullptr;
    auto b = std::make_unique<Block>();
    b->flags = uFlags & (GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DISCARDABLE);
    b->size = dwBytes;
    if (uFlags & GMEM_MOVEABLE) {
        // A moveable block of 0 bytes starts discarded, with no memory.
        if (dwBytes) {
            b->memory = Allocate(dwBytes, uFlags & GMEM_ZEROINIT);
            if (!b->memory) return nullptr;
        }
        return reinterpret_cast<HGLOBAL>(Moveable().Add(std::move(b)));
    }
    b->memory = Allocate(dwBytes, uFlags & GMEM_ZEROINIT);
    if (!b->memory) return nullptr;
    HGLOBAL h = b->memory;
    Fixed().blocks.emplace(h, std::move(b));
    return h;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    if (Block* m = Moveable().Get(qv::HandleValue(hMem))) {
        if (!m->memory) return nullptr;
        if (m->locks < GMEM_LOCKCOUNT) ++m->locks;
        return m->memory;
    }
    if (Block* f = FindFixed(hMem)) return f->memory;
    return nullptr;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    Block* m = Moveable().Get(qv::HandleValue(hMem));
    if (!m) {
        SetLastError(FindFixed(hMem) ? ERROR_NOT_LOCKED : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (m->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--m->locks) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    Block* m = Moveable().Get(qv::HandleValue(hMem));
    Block* f = m ? nullptr : FindFixed(hMem);
    if (!m && !f) return nullptr;
    if (uFlags & GMEM_MODIFY) {
        Block& b = m ? *m : *f;
        b.flags = (b.flags & ~UINT(GMEM_DISCARDABLE)) | (uFlags & GMEM_DISCARDABLE);
        return hMem;
    }
    if (dwBytes > kMaxBlock || qv::ShouldFail("GlobalReAlloc")) return nullptr;
    const bool zero = uFlags & GMEM_ZEROINIT;
    if (m) {
        if (dwBytes == 0) {
            // Reallocating a moveable block to nothing discards it.
            if (m->locks) return nullptr;
            std::free(m->memory);
            m->memory = nullptr;
            m->size = 0;
            return hMem;
        }
        // A locked block may move only when the caller allows it.
        if (m->locks && !(uFlags & GMEM_MOVEABLE) && dwBytes > m->size) return nullptr;
        if (!Move(*m, dwBytes, zero)) return nullptr;
        return hMem;
    }
    if (dwBytes <= f->size) {
        f->size = dwBytes; // shrinks in place
        return hMem;
    }
    // A fixed block grows only by moving, which GMEM_MOVEABLE allows; its
    // new address is its new handle.
    if (!(uFlags & GMEM_MOVEABLE)) return nullptr;
    auto node = Fixed().blocks.extract(hMem);
    if (!Move(*node.mapped(), dwBytes, zero)) {
        Fixed().blocks.insert(std::move(node));
        return nullptr;
    }
    HGLOBAL moved = node.mapped()->memory;
    node.key() = moved;
    Fixed().blocks.insert(std::move(node));
    return moved;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    if (Block* m = Moveable().Get(qv::HandleValue(hMem))) return m->size;
    if (Block* f = FindFixed(hMem)) return f->size;
    return 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (Moveable().Remove(qv::HandleValue(hMem))) return nullptr;
    if (Fixed().blocks.erase(hMem)) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pMem) {
    if (!pMem) return nullptr;
    if (FindFixed(const_cast<void*>(pMem))) return const_cast<void*>(pMem);
    HGLOBAL found = nullptr;
    Moveable().ForEach([&](uintptr_t h, const Block& b) {
        if (b.memory == pMem) found = reinterpret_cast<HGLOBAL>(h);
    });
    return found;
}

UINT WINAPI GlobalFlags(HGLOBAL hMem) {
    if (Block* m = Moveable().Get(qv::HandleValue(hMem)))
        return (m->flags & GMEM_DISCARDABLE) | (m->memory ? 0 : GMEM_DISCARDED) | m->locks;
    if (Block* f = FindFixed(hMem)) return f->flags & GMEM_DISCARDABLE;
    return GMEM_INVALID_HANDLE;
}

} // extern "C"
