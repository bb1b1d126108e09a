// The host's OpenGL: compatibility-profile contexts headless, the fixed
// function features the framework draws with, pixel formats that are what
// they claim, and windows closed while their context is current.
#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gl_context.h"
#include "host/host.h"

namespace {

using qv::host::PixelFormats;

qv::host::WindowId HiddenWindow(int w, int h) {
    qv::host::WindowDesc d;
    d.width = w;
    d.height = h;
    d.visible = false;
    return qv::host::CreateNativeWindow(d);
}

TEST(HostGL, CompatibilityContextThroughSystemLibGL) {
    qvtest::GLContext gl(32, 16);
    ASSERT_TRUE(gl.ok());
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    ASSERT_NE(version, nullptr);
    ASSERT_NE(renderer, nullptr);
    EXPECT_GT(std::strlen(renderer), 0u);
    // A core profile would have neither the name nor immediate mode.
    int major = std::atoi(version);
    if (major >= 3) {
        EXPECT_NE(std::string(version).find("Compatibility"), std::string::npos) << version;
    }

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS); // the left half of the viewport
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(gl.Pixel(4, 8), 0xFF0000FFu);
    EXPECT_EQ(gl.Pixel(28, 8), 0x0000FFFFu);
}

TEST(HostGL, EvaluatorsFeedbackAndMipmaps) {
    qvtest::GLContext gl(16, 16);
    ASSERT_TRUE(gl.ok());

    // A flat bicubic patch over the whole viewport, drawn by the evaluator.
    GLfloat patch[4][4][3];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            patch[i][j][0] = -1.0f + 2.0f * float(j) / 3.0f;
            patch[i][j][1] = -1.0f + 2.0f * float(i) / 3.0f;
            patch[i][j][2] = 0.0f;
        }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 1, 0);
    glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, &patch[0][0][0]);
    glEnable(GL_MAP2_VERTEX_3);
    glMapGrid2f(4, 0, 1, 4, 0, 1);
    glEvalMesh2(GL_FILL, 0, 4, 0, 4);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(gl.Pixel(8, 8), 0x00FF00FFu);

    // Feedback mode hands back the transformed vertices instead of pixels.
    GLfloat buffer[64] = {};
    glFeedbackBuffer(64, GL_2D, buffer);
    glRenderMode(GL_FEEDBACK);
    glBegin(GL_POINTS);
    glVertex2f(0, 0);
    glEnd();
    GLint n = glRenderMode(GL_RENDER);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(buffer[0], GLfloat(GL_POINT_TOKEN));
    EXPECT_FLOAT_EQ(buffer[1], 8.0f);
    EXPECT_FLOAT_EQ(buffer[2], 8.0f);

    // GLU's mipmap builder, found the way an application binds it.
    void* glu = dlopen("libGLU.so.1", RTLD_NOW);
    ASSERT_NE(glu, nullptr);
    using Build = GLint (*)(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*);
    auto build = reinterpret_cast<Build>(dlsym(glu, "gluBuild2DMipmaps"));
    ASSERT_NE(build, nullptr);
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    uint8_t texels[8 * 4 * 3];
    std::memset(texels, 0x80, sizeof texels);
    EXPECT_EQ(build(GL_TEXTURE_2D, 3, 8, 4, GL_RGB, GL_UNSIGNED_BYTE, texels), 0);
    GLint w3 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &w3);
    EXPECT_EQ(w3, 1);
    glDeleteTextures(1, &tex);
    dlclose(glu);
}

TEST(HostGL, EveryPixelFormatGivesWhatItDescribes) {
    ASSERT_GE(PixelFormats().size(), 2u);
    bool has_double = false, has_single = false;
    for (size_t i = 0; i < PixelFormats().size(); ++i) {
        const auto& f = PixelFormats()[i];
        SCOPED_TRACE("format " + std::to_string(i + 1));
        has_double |=
            f.double_buffer && f.alpha_bits == 8 && f.depth_bits == 24 && f.stencil_bits == 8;
        has_single |=
            !f.double_buffer && f.alpha_bits == 8 && f.depth_bits == 24 && f.stencil_bits == 8;
        auto w = HiddenWindow(8, 8);
        ASSERT_NE(w, 0u);
        auto c = qv::host::CreateGLContext(w, int(i + 1));
        ASSERT_NE(c, 0u);
        ASSERT_TRUE(qv::host::MakeCurrent(w, c));
        GLint r = 0, g = 0, b = 0, a = 0, d = 0, s = 0;
        glGetIntegerv(GL_RED_BITS, &r);
        glGetIntegerv(GL_GREEN_BITS, &g);
        glGetIntegerv(GL_BLUE_BITS, &b);
        glGetIntegerv(GL_ALPHA_BITS, &a);
        glGetIntegerv(GL_DEPTH_BITS, &d);
        glGetIntegerv(GL_STENCIL_BITS, &s);
        EXPECT_EQ(r, f.red_bits);
        EXPECT_EQ(g, f.green_bits);
        EXPECT_EQ(b, f.blue_bits);
        EXPECT_EQ(a, f.alpha_bits);
        EXPECT_EQ(d, f.depth_bits);
        EXPECT_EQ(s, f.stencil_bits);
        EXPECT_EQ(f.color_bits, f.red_bits + f.green_bits + f.blue_bits + f.alpha_bits);
        if (!qv::host::IsHeadless()) {
            // Headless surfaces are all single off-screen buffers.
            GLboolean dbl = GL_FALSE;
            glGetBooleanv(GL_DOUBLEBUFFER, &dbl);
            EXPECT_EQ(dbl == GL_TRUE, f.double_buffer);
        }
        EXPECT_TRUE(qv::host::DeleteGLContext(c));
        qv::host::DestroyNativeWindow(w);
    }
    EXPECT_TRUE(has_double);
    EXPECT_TRUE(has_single);
    EXPECT_EQ(qv::host::LiveGLContexts(), 0u);
    EXPECT_EQ(qv::host::LiveNativeWindows(), 0u);
}

TEST(HostGL, CreatingAContextLeavesTheCurrentOneCurrent) {
    qvtest::GLContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    auto w = HiddenWindow(8, 8);
    auto c = qv::host::CreateGLContext(w, 1);
    ASSERT_NE(c, 0u);
    EXPECT_EQ(gl.Pixel(1, 1), 0xFF0000FFu);

    // Unknown ids and formats fail without touching what is current.
    EXPECT_EQ(qv::host::CreateGLContext(w, 0), 0u);
    EXPECT_EQ(qv::host::CreateGLContext(w, int(PixelFormats().size()) + 1), 0u);
    EXPECT_EQ(qv::host::CreateGLContext(9999, 1), 0u);
    EXPECT_FALSE(qv::host::DeleteGLContext(9999));
    EXPECT_EQ(gl.Pixel(1, 1), 0xFF0000FFu);

    EXPECT_TRUE(qv::host::DeleteGLContext(c));
    qv::host::DestroyNativeWindow(w);
}

TEST(HostGL, AContextCannotBeCurrentOnAWindowOfAnotherFormat) {
    auto w1 = HiddenWindow(8, 8);
    auto w2 = HiddenWindow(8, 8);
    auto c1 = qv::host::CreateGLContext(w1, 1);
    auto c2 = qv::host::CreateGLContext(w2, 2);
    ASSERT_NE(c1, 0u);
    ASSERT_NE(c2, 0u);
    ASSERT_TRUE(qv::host::MakeCurrent(w1, c1));
    EXPECT_FALSE(qv::host::MakeCurrent(w2, c1));
    // The failure leaves nothing current, as Win32 does; (0, 0) is fine then.
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    EXPECT_TRUE(qv::host::MakeCurrent(0, 0));
    EXPECT_TRUE(qv::host::MakeCurrent(w2, c2));
    qv::host::DeleteGLContext(c1);
    qv::host::DeleteGLContext(c2);
    qv::host::DestroyNativeWindow(w1);
    qv::host::DestroyNativeWindow(w2);
}

TEST(HostGL, PresentedFrameIsKeptTopRowFirst) {
    auto w = HiddenWindow(4, 4);
    auto c = qv::host::CreateGLContext(w, 1);
    ASSERT_TRUE(qv::host::MakeCurrent(w, c));
    qv::host::Image img;
    EXPECT_FALSE(qv::host::LastPresented(w, img));

    qv::host::SetPresentCapture(true);
    glViewport(0, 0, 4, 4);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 2, 4, 2); // the top half, in GL's bottom-up rows
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 8); // the read-back must not depend on it
    ASSERT_TRUE(qv::host::SwapWindow(w));
    qv::host::SetPresentCapture(false);

    ASSERT_TRUE(qv::host::LastPresented(w, img));
    ASSERT_EQ(img.width, 4);
    ASSERT_EQ(img.height, 4);
    ASSERT_EQ(img.rgba.size(), 64u);
    const uint8_t yellow[4] = {255, 255, 0, 255}, blue[4] = {0, 0, 255, 255};
    EXPECT_EQ(std::memcmp(&img.rgba[0], yellow, 4), 0);
    EXPECT_EQ(std::memcmp(&img.rgba[3 * 16 + 12], blue, 4), 0);
    GLint pack = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    EXPECT_EQ(pack, 8);

    qv::host::DeleteGLContext(c);
    qv::host::DestroyNativeWindow(w);
}

TEST(HostGL, ClosingAWindowWhileItsContextIsCurrent) {
    auto w = HiddenWindow(8, 8);
    auto c = qv::host::CreateGLContext(w, 1);
    ASSERT_TRUE(qv::host::MakeCurrent(w, c));
    size_t windows = qv::host::LiveNativeWindows();

    qv::host::DestroyNativeWindow(w);
    EXPECT_EQ(qv::host::LiveNativeWindows(), windows - 1);
    // The program may go on drawing until it lets the context go.
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t p[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    EXPECT_EQ(p[1], 255);
    EXPECT_FALSE(qv::host::SwapWindow(w));
    EXPECT_TRUE(qv::host::MakeCurrent(w, c)); // the same pair again: harmless
    EXPECT_TRUE(qv::host::MakeCurrent(0, 0));
    // Closed for good: it can no longer be made current.
    EXPECT_FALSE(qv::host::MakeCurrent(w, c));
    EXPECT_TRUE(qv::host::DeleteGLContext(c));
    EXPECT_EQ(qv::host::LiveGLContexts(), 0u);
}

TEST(HostGL, AResizedWindowPresentsAtItsNewSize) {
    // On a display the server resizes the surface, in its own time.
    if (!qv::host::IsHeadless()) GTEST_SKIP() << "headless surfaces only";
    auto w = HiddenWindow(8, 8);
    auto c = qv::host::CreateGLContext(w, 1);
    ASSERT_TRUE(qv::host::MakeCurrent(w, c));
    qv::host::SetNativeBounds(w, 0, 0, 40, 30);
    glViewport(0, 0, 40, 30);
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t p[4] = {};
    glReadPixels(35, 25, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p); // outside the old 8 by 8
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[2], 255);

    qv::host::SetPresentCapture(true);
    ASSERT_TRUE(qv::host::SwapWindow(w));
    qv::host::SetPresentCapture(false);
    qv::host::Image img;
    ASSERT_TRUE(qv::host::LastPresented(w, img));
    EXPECT_EQ(img.width, 40);
    EXPECT_EQ(img.height, 30);
    EXPECT_EQ(img.rgba[4 * 39 + 2], 255);
    qv::host::DeleteGLContext(c);
    qv::host::DestroyNativeWindow(w);
}

} // namespace
