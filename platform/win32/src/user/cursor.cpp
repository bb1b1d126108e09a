// Cursors and icons. The predefined ones are shared system objects: their
// handles are fixed values outside the table, never counted as live and
// never destroyed. Cursors read from files are the program's own.
#include <cstdio>
#include <vector>

#include "user/cursor_file.h"
#include "user/user_state.h"

namespace qv::user {

namespace {

struct CursorObject {
    host::CursorId host_id = 0;
};

HandleTable<CursorObject>& Cursors() {
    static HandleTable<CursorObject> table(HandleKind::Cursor);
    return table;
}

struct SystemEntry {
    WORD id;
    bool icon;
    host::SystemCursor shape;
};

// Index + 1 is the generation field of the shared handle.
constexpr SystemEntry kSystem[] = {
    {32512, false, host::SystemCursor::Arrow},       {32513, false, host::SystemCursor::IBeam},
    {32514, false, host::SystemCursor::Wait},        {32515, false, host::SystemCursor::Cross},
    {32516, false, host::SystemCursor::UpArrow},     {32640, false, host::SystemCursor::SizeAll},
    {32641, false, host::SystemCursor::Arrow},       {32642, false, host::SystemCursor::SizeNWSE},
    {32643, false, host::SystemCursor::SizeNESW},    {32644, false, host::SystemCursor::SizeWE},
    {32645, false, host::SystemCursor::SizeNS},      {32646, false, host::SystemCursor::SizeAll},
    {32648, false, host::SystemCursor::No},          {32649, false, host::SystemCursor::Hand},
    {32650, false, host::SystemCursor::AppStarting}, {32651, false, host::SystemCursor::Help},
    {32512, true, host::SystemCursor::Arrow},        {32513, true, host::SystemCursor::Arrow},
    {32514, true, host::SystemCursor::Arrow},        {32515, true, host::SystemCursor::Arrow},
    {32516, true, host::SystemCursor::Arrow},        {32517, true, host::SystemCursor::Arrow},
    {32518, true, host::SystemCursor::Arrow},
};
constexpr size_t kSystemCount = sizeof kSystem / sizeof kSystem[0];

// Shared handles have slot bits 0, which the table never gives out.
uintptr_t SystemHandle(size_t index) {
    return (uintptr_t(HandleKind::Cursor) << 28) | (uintptr_t(index + 1) << 16);
}

int SystemIndex(HCURSOR h) {
    uintptr_t v = HandleValue(h);
    if (handle_bits::KindOf(v) != HandleKind::Cursor || (v & 0xFFFF) != 0) return -1;
    size_t gen = (v >> 16) & handle_bits::kGenMask;
    return gen >= 1 && gen <= kSystemCount ? int(gen - 1) : -1;
}

host::CursorId SystemHostCursor(size_t index) {
    static host::CursorId ids[kSystemCount] = {};
    if (!ids[index]) ids[index] = host::CreateSystemCursor(kSystem[index].shape);
    return ids[index];
}

HCURSOR LoadShared(HINSTANCE instance, LPCSTR name, bool icon) {
    // The program has no resources of its own: only the system's exist.
    if (instance == nullptr && IS_INTRESOURCE(name)) {
        WORD id = WORD(reinterpret_cast<uintptr_t>(name));
        for (size_t i = 0; i < kSystemCount; ++i)
            if (kSystem[i].id == id && kSystem[i].icon == icon)
                return HandleFrom<HCURSOR>(SystemHandle(i));
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

struct CursorState {
    HCURSOR current = nullptr;
    int show_count = 0;
};
CursorState& C() {
    static CursorState c;
    return c;
}

bool Valid(HCURSOR h) {
    return SystemIndex(h) >= 0 || Cursors().Get(HandleValue(h)) != nullptr;
}

void Apply() {
    host::SetCursor(C().show_count >= 0 && C().current ? HostCursorOf(C().current) : 0);
}

bool ReadFile(const char* path, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    // Cursor files are small; a huge one is not a cursor.
    constexpr size_t kMax = 4u << 20;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        out.insert(out.end(), buf, buf + n);
        if (out.size() > kMax) break;
    }
    std::fclose(f);
    return out.size() <= kMax;
}

bool Destroy(HCURSOR h, DWORD error) {
    if (SystemIndex(h) >= 0) return true; // shared: stays
    auto obj = Cursors().Remove(HandleValue(h));
    if (!obj) {
        SetLastError(error);
        return false;
    }
    if (C().current == h) {
        C().current = nullptr;
        host::SetCursor(SystemHostCursor(0));
    }
    if (obj->host_id) host::DestroyCursor(obj->host_id);
    return true;
}

} // namespace

host::CursorId HostCursorOf(HCURSOR h) {
    int sys = SystemIndex(h);
    if (sys >= 0) return kSystem[sys].icon ? SystemHostCursor(0) : SystemHostCursor(size_t(sys));
    CursorObject* c = Cursors().Get(HandleValue(h));
    if (!c) return 0;
    // A cursor the host could not make shows as the arrow.
    return c->host_id ? c->host_id : SystemHostCursor(0);
}

} // namespace qv::user

using namespace qv::user;

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return LoadShared(instance, name, false);
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return LoadShared(instance, name, true);
}

extern "C" HCURSOR WINAPI LoadCursorFromFileA(LPCSTR path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<uint8_t> data;
    if (!ReadFile(path, data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    CursorImage img;
    if (!ParseCursorFile(data.data(), data.size(), img)) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    auto obj = std::make_unique<CursorObject>();
    obj->host_id = qv::host::CreateImageCursor(img.image, img.hot_x, img.hot_y);
    qv::host::CursorId id = obj->host_id;
    uintptr_t h = Cursors().Add(std::move(obj));
    if (!h) {
        if (id) qv::host::DestroyCursor(id);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return qv::HandleFrom<HCURSOR>(h);
}

extern "C" HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    HCURSOR prev = C().current;
    if (cursor && !Valid(cursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return nullptr;
    }
    C().current = cursor;
    if (cursor != prev) Apply();
    return prev;
}

extern "C" HCURSOR WINAPI GetCursor(void) {
    return C().current;
}

extern "C" int WINAPI ShowCursor(BOOL show) {
    C().show_count += show ? 1 : -1;
    Apply();
    return C().show_count;
}

extern "C" BOOL WINAPI DestroyCursor(HCURSOR cursor) {
    return Destroy(cursor, ERROR_INVALID_CURSOR_HANDLE);
}

extern "C" BOOL WINAPI DestroyIcon(HICON icon) {
    return Destroy(icon, ERROR_INVALID_ICON_HANDLE);
}
