// The GL calls a texture load makes, in their order, recorded by
// interposing the GL entry points in this executable and forwarding each
// to the real one.
#include <gtest/gtest.h>

#include <quorvel.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gl_context.h"
#include "image_test_files.h"

using namespace quorvel;
using namespace image_test;

namespace {

FolderCleanup cleanup;

bool recording = false;
int nesting = 0;          // calls made by a recorded call are not recorded
bool forbidNames = false; // generating or binding a name ends the process
std::vector<std::string> calls;

// The real entry point behind an interposed one. The linker may leave out a
// library whose every symbol the executable itself defines (GLU here), so
// that one is opened by name.
template <typename F> F Real(const char* name, const char* library = nullptr) {
    static_assert(sizeof(F) == sizeof(void*));
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol && library) symbol = dlsym(dlopen(library, RTLD_NOW | RTLD_GLOBAL), name);
    if (!symbol) std::abort();
    F f;
    __builtin_memcpy(&f, &symbol, sizeof f);
    return f;
}

template <typename... Args> void Record(const char* name, Args... args) {
    if (!recording || nesting > 0) return;
    std::string line = name;
    line += "(";
    const char* separator = "";
    ((line += separator, line += std::to_string(args), separator = ", "), ...);
    line += ")";
    calls.push_back(line);
}

struct Nested {
    Nested() { ++nesting; }
    ~Nested() { --nesting; }
};

} // namespace

extern "C" {

void glEnable(GLenum cap) {
    Record("glEnable", cap);
    static auto real = Real<void (*)(GLenum)>("glEnable");
    real(cap);
}

void glGenTextures(GLsizei n, GLuint* names) {
    if (forbidNames) std::abort();
    Record("glGenTextures", n);
    static auto real = Real<void (*)(GLsizei, GLuint*)>("glGenTextures");
    real(n, names);
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    Record("glDeleteTextures", n, names[0]);
    static auto real = Real<void (*)(GLsizei, const GLuint*)>("glDeleteTextures");
    real(n, names);
}

void glBindTexture(GLenum target, GLuint name) {
    if (forbidNames) std::abort();
    Record("glBindTexture", target, name);
    static auto real = Real<void (*)(GLenum, GLuint)>("glBindTexture");
    real(target, name);
}

void glPixelStorei(GLenum name, GLint value) {
    Record("glPixelStorei", name, value);
    static auto real = Real<void (*)(GLenum, GLint)>("glPixelStorei");
    real(name, value);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    Record("glTexParameteri", target, name, value);
    static auto real = Real<void (*)(GLenum, GLenum, GLint)>("glTexParameteri");
    real(target, name, value);
}

void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    Record("glTexImage2D", target, level, internal, width, height, border, format, type);
    static auto real =
        Real<void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*)>(
            "glTexImage2D");
    real(target, level, internal, width, height, border, format, type, pixels);
}

GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    Record("gluBuild2DMipmaps", target, components, width, height, format, type);
    Nested inside;
    static auto real =
        Real<GLint (*)(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)>(
            "gluBuild2DMipmaps", "libGLU.so.1");
    return real(target, components, width, height, format, type, data);
}

} // extern "C"

namespace {

std::vector<std::string> Load(const std::string& path, int32_t slot) {
    calls.clear();
    recording = true;
    TEXTURELOADID(path.c_str(), slot);
    recording = false;
    return calls;
}

std::vector<std::string> Common(GLuint name, int32_t minFilter) {
    const std::string n = std::to_string(name);
    return {"glEnable(3553)",
            "glGenTextures(1)",
            "glBindTexture(3553, " + n + ")",
            "glPixelStorei(3317, 4)",
            "glPixelStorei(3314, 0)",
            "glPixelStorei(3315, 0)",
            "glPixelStorei(3316, 0)",
            "glTexParameteri(3553, 10241, " + std::to_string(minFilter) + ")",
            "glTexParameteri(3553, 10240, 9729)",
            "glTexParameteri(3553, 10242, 10497)",
            "glTexParameteri(3553, 10243, 10497)"};
}

std::vector<std::string> Plus(std::vector<std::string> list, std::vector<std::string> more) {
    list.insert(list.end(), more.begin(), more.end());
    return list;
}

class TextureCallsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()); }
    void TearDown() override { GL_MIN_FILTER = GL_LINEAR; }
    qvtest::GLContext gl{16, 16};
};

TEST_F(TextureCallsTest, EachKindOfFileMakesItsCallsInOrder) {
    const std::string rgb = Write("rgb.bmp", Plain(6, 2, 24, 0x102030));
    const std::string bgra = Write("bgra.bmp", Plain(4, 8, 32, 0x40102030));
    const std::string missing = Folder() + "/missing.bmp";
    struct Case {
        const char* what;
        std::string path;
        int32_t minFilter;
        std::vector<std::string> upload;
    } cases[] = {
        {"24-bit", rgb, 9729, {"glTexImage2D(3553, 0, 3, 6, 2, 0, 6407, 5121)"}},
        {"24-bit with mipmaps",
         rgb,
         9987,
         {"glTexImage2D(3553, 0, 3, 6, 2, 0, 6407, 5121)",
          "gluBuild2DMipmaps(3553, 3, 6, 2, 6407, 5121)"}},
        {"32-bit", bgra, 9729, {"glTexImage2D(3553, 0, 6408, 4, 8, 0, 32993, 5121)"}},
        {"32-bit with mipmaps",
         bgra,
         9985,
         {"glTexImage2D(3553, 0, 6408, 4, 8, 0, 32993, 5121)",
          "gluBuild2DMipmaps(3553, 4, 4, 8, 32993, 5121)"}},
        {"missing", missing, 9729, {}},
        {"missing with mipmaps", missing, 9987, {}},
    };
    int32_t slot = 40;
    for (const Case& c : cases) {
        GL_MIN_FILTER = c.minFilter;
        std::vector<std::string> made = Load(c.path, slot);
        EXPECT_EQ(made, Plus(Common(TEXTUREID2[slot], c.minFilter), c.upload)) << c.what;
        ++slot;
    }
}

TEST_F(TextureCallsTest, ReloadingDeletesTheOldNameAfterTheNewOneIsGenerated) {
    const std::string rgb = Write("again.bmp", Plain(2, 2, 24, 0x102030));
    Load(rgb, 2);
    const GLuint old = TEXTUREID2[2];
    std::vector<std::string> made = Load(rgb, 2);
    ASSERT_GE(made.size(), 4u);
    EXPECT_EQ(made[1], "glGenTextures(1)");
    EXPECT_EQ(made[2], "glDeleteTextures(1, " + std::to_string(old) + ")");
    EXPECT_EQ(made[3], "glBindTexture(3553, " + std::to_string(TEXTUREID2[2]) + ")");
}

TEST_F(TextureCallsTest, ASlotOutOfRangeStopsBeforeAnyNameIsGeneratedOrBound) {
    const std::string rgb = Write("range.bmp", Plain(2, 2, 24, 0x102030));
    for (int32_t slot : {501, -1, INT32_MIN}) {
        // Generating or binding first would abort, not exit with the status.
        EXPECT_EXIT((forbidNames = true, TEXTURELOADID(rgb.c_str(), slot)),
                    ::testing::ExitedWithCode(201), "Range check error")
            << slot;
        EXPECT_EXIT((forbidNames = true, TEXTURESELECTID(slot)), ::testing::ExitedWithCode(201),
                    "Range check error")
            << slot;
    }
}

} // namespace
