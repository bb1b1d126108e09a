// Handle tables: every Win32 handle of the layer is a small number made of a
// kind, a slot and the slot's generation, never a pointer into our memory.
// A stale handle (its slot reused or freed), a NULL handle or a handle of
// another kind looks up to nullptr, so every call can fail the way Win32
// fails without touching freed memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace qv {

// The kind lives in the handle's top bits, so a handle given to the wrong
// kind of call is recognised without any table lookup.
enum class HandleKind : uint32_t {
    None = 0,
    Window = 1,
    DC = 2,
    Bitmap = 3,
    Palette = 4,
    Region = 5,
    Brush = 6,
    Cursor = 7, // cursors and icons share one kind, as HICON and HCURSOR do
    GLContext = 8,
    Global = 9,
    Font = 10,
    Pen = 11,
    Menu = 12,
};

// Layout of a handle value (it fits in 32 bits, like real handles do):
//   bits 28..31 kind, bits 16..27 generation, bits 0..15 slot + 1.
namespace handle_bits {
constexpr uint32_t kSlotBits = 16;
constexpr uint32_t kGenBits = 12;
constexpr uint32_t kMaxSlots = (1u << kSlotBits) - 1;
constexpr uint32_t kGenMask = (1u << kGenBits) - 1;

constexpr uintptr_t Make(HandleKind kind, uint32_t slot, uint32_t gen) {
    return (uintptr_t(kind) << 28) | (uintptr_t(gen & kGenMask) << kSlotBits) | uintptr_t(slot + 1);
}
constexpr HandleKind KindOf(uintptr_t h) {
    return h > 0xFFFFFFFFu ? HandleKind::None : HandleKind(uint32_t(h >> 28));
}
} // namespace handle_bits

template <typename T> inline uintptr_t HandleValue(T* h) { return reinterpret_cast<uintptr_t>(h); }
template <typename H> inline H HandleFrom(uintptr_t v) { return reinterpret_cast<H>(v); }

// Every table announces itself here so the test seam can count live objects
// of each kind without knowing which subsystem owns them.
class TableBase {
  public:
    virtual ~TableBase() = default;
    virtual size_t Live() const = 0;
    virtual HandleKind Kind() const = 0;
};
void RegisterTable(const TableBase* table);
size_t LiveObjectsOfKind(HandleKind kind);

template <typename T> class HandleTable final : public TableBase {
  public:
    explicit HandleTable(HandleKind kind) : kind_(kind) { RegisterTable(this); }

    // Stores the object and returns its handle value; 0 when the table is full.
    uintptr_t Add(std::unique_ptr<T> object) {
        uint32_t slot;
        if (!free_.empty()) {
            slot = free_.front();
            free_.pop_front();
        } else {
            if (slots_.size() >= handle_bits::kMaxSlots) return 0;
            slot = uint32_t(slots_.size());
            slots_.push_back({});
        }
        Slot& s = slots_[slot];
        s.object = std::move(object);
        ++live_;
        return handle_bits::Make(kind_, slot, s.generation);
    }

    T* Get(uintptr_t handle) const {
        const Slot* s = Find(handle);
        return s ? s->object.get() : nullptr;
    }

    // Takes the object out of the table; the handle goes stale at once.
    std::unique_ptr<T> Remove(uintptr_t handle) {
        Slot* s = const_cast<Slot*>(Find(handle));
        if (!s) return nullptr;
        std::unique_ptr<T> out = std::move(s->object);
        s->generation = (s->generation + 1) & handle_bits::kGenMask;
        uint32_t slot = uint32_t(s - slots_.data());
        // Reuse the oldest free slot first, so a stale handle stays stale
        // for as long as possible.
        free_.push_back(slot);
        --live_;
        return out;
    }

    size_t Live() const override { return live_; }
    HandleKind Kind() const override { return kind_; }

    // Calls fn(handle, object&) for every live object, in slot order.
    template <typename F> void ForEach(F&& fn) const {
        for (uint32_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].object) fn(handle_bits::Make(kind_, i, slots_[i].generation), *slots_[i].object);
    }

  private:
    struct Slot {
        std::unique_ptr<T> object;
        uint32_t generation = 1;
    };

    const Slot* Find(uintptr_t handle) const {
        if (handle == 0 || handle_bits::KindOf(handle) != kind_) return nullptr;
        uint32_t low = uint32_t(handle & ((1u << handle_bits::kSlotBits) - 1));
        if (low == 0 || low > slots_.size()) return nullptr;
        const Slot& s = slots_[low - 1];
        uint32_t gen = uint32_t(handle >> handle_bits::kSlotBits) & handle_bits::kGenMask;
        if (!s.object || s.generation != gen) return nullptr;
        return &s;
    }

    HandleKind kind_;
    std::vector<Slot> slots_;
    std::deque<uint32_t> free_;
    size_t live_ = 0;
};

} // namespace qv
