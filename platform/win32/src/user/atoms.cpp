// The atom table: names become 16-bit numbers, compared without regard to
// case. Class names and property names share it, as in Win32, so a class or
// a property may be named by its string or by its atom.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "user/user_state.h"

namespace qv::user {

namespace {
constexpr ATOM kFirstStringAtom = 0xC000;

struct Entry {
    std::string name;
    int refs = 0; // 0: free
};

std::vector<Entry>& Table() {
    static std::vector<Entry> table;
    return table;
}

// "#123" names the integer atom 123.
bool IntegerName(const char* name, ATOM& out) {
    if (name[0] != '#' || name[1] == '\0') return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(name + 1, &end, 10);
    if (*end != '\0' || v == 0 || v >= kFirstStringAtom) return false;
    out = ATOM(v);
    return true;
}

Entry* EntryOf(ATOM atom) {
    if (atom < kFirstStringAtom) return nullptr;
    size_t i = atom - kFirstStringAtom;
    auto& t = Table();
    return i < t.size() && t[i].refs > 0 ? &t[i] : nullptr;
}

ATOM FindString(const char* name) {
    auto& t = Table();
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i].refs > 0 && strcasecmp(t[i].name.c_str(), name) == 0)
            return ATOM(kFirstStringAtom + i);
    return 0;
}
} // namespace

ATOM AddAtom(const char* name) {
    if (IS_INTRESOURCE(name)) {
        ATOM a = ATOM(reinterpret_cast<uintptr_t>(name));
        return a < kFirstStringAtom ? a : 0;
    }
    ATOM integer;
    if (IntegerName(name, integer)) return integer;
    if (name[0] == '\0' || std::strlen(name) > 255) return 0;
    if (ATOM a = FindString(name)) {
        ++EntryOf(a)->refs;
        return a;
    }
    auto& t = Table();
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i].refs == 0) {
            t[i] = {name, 1};
            return ATOM(kFirstStringAtom + i);
        }
    if (t.size() >= size_t(0x10000 - kFirstStringAtom)) return 0;
    t.push_back({name, 1});
    return ATOM(kFirstStringAtom + t.size() - 1);
}

ATOM FindAtom(const char* name) {
    if (name == nullptr) return 0;
    if (IS_INTRESOURCE(name)) {
        ATOM a = ATOM(reinterpret_cast<uintptr_t>(name));
        if (a == 0) return 0;
        return a < kFirstStringAtom || EntryOf(a) ? a : 0;
    }
    ATOM integer;
    if (IntegerName(name, integer)) return integer;
    return FindString(name);
}

bool AtomName(ATOM atom, std::string& out) {
    if (atom == 0) return false;
    if (atom < kFirstStringAtom) {
        char name[8];
        std::snprintf(name, sizeof name, "#%u", unsigned(atom));
        out = name;
        return true;
    }
    Entry* e = EntryOf(atom);
    if (!e) return false;
    out = e->name;
    return true;
}

void DeleteAtom(ATOM atom) {
    if (Entry* e = EntryOf(atom))
        if (--e->refs == 0) e->name.clear();
}

} // namespace qv::user

using namespace qv::user;

extern "C" ATOM WINAPI GlobalAddAtomA(LPCSTR name) {
    ATOM a = name ? AddAtom(name) : 0;
    if (!a) SetLastError(ERROR_INVALID_PARAMETER);
    return a;
}

extern "C" ATOM WINAPI GlobalFindAtomA(LPCSTR name) {
    ATOM a = FindAtom(name);
    if (!a) SetLastError(ERROR_FILE_NOT_FOUND);
    return a;
}

extern "C" ATOM WINAPI GlobalDeleteAtom(ATOM atom) {
    // Win32 answers 0 on success and the atom itself on failure.
    std::string name;
    if (atom < 0xC000) return 0;
    if (!AtomName(atom, name)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return atom;
    }
    DeleteAtom(atom);
    return 0;
}

extern "C" UINT WINAPI GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size) {
    std::string name;
    if (buffer == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!AtomName(atom, name)) {
        SetLastError(ERROR_INVALID_HANDLE);
        buffer[0] = '\0';
        return 0;
    }
    size_t n = name.size() < size_t(size) ? name.size() : size_t(size) - 1;
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return UINT(n);
}
