#include <windows.h>

#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {
// The program's instance is a fixed value, like the usual image base: it
// must be non-NULL and never look like any handle of the layer's tables.
HINSTANCE const kProgramInstance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));

std::string ProgramPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool NamesProgram(const char* name) {
    std::string want = BaseName(name);
    std::string self = BaseName(ProgramPath());
    if (strcasecmp(want.c_str(), self.c_str()) == 0) return true;
    std::string with_exe = self + ".exe";
    return strcasecmp(want.c_str(), with_exe.c_str()) == 0;
}
} // namespace

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr || NamesProgram(name)) return kProgramInstance;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size) {
    if (module != nullptr && module != kProgramInstance) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (out == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string path = ProgramPath();
    // Win32 truncates, terminates and reports the shortfall.
    if (path.size() >= size) {
        std::memcpy(out, path.data(), size - 1);
        out[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(out, path.c_str(), path.size() + 1);
    return DWORD(path.size());
}
