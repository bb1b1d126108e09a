// What the render tests share: a current GL context of a chosen size, the
// matrices of the projection and view computed here from their textbook
// formulas (never by asking the code under test or GL to build them), and
// reading GL's feedback buffer.
#pragma once

#include <quorvel.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <memory>

#include "gl_context.h"

namespace render_test {

// A fixture with a current context of a chosen size, and the framework's
// WIDTH and HEIGHT set to match, as window creation would set them.
class RenderTest : public ::testing::Test {
  protected:
    bool MakeContext(int width, int height) {
        gl_ = std::make_unique<qvtest::GLContext>(width, height);
        quorvel::WIDTH = width;
        quorvel::HEIGHT = height;
        return gl_->ok();
    }
    void TearDown() override { gl_.reset(); }

    std::unique_ptr<qvtest::GLContext> gl_;
};

// Column-major like OpenGL: element (row r, column c) is m[c * 4 + r].
using Mat4 = std::array<double, 16>;
using Vec4 = std::array<double, 4>;

inline Mat4 Identity() {
    Mat4 m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

inline Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

inline Vec4 operator*(const Mat4& a, const Vec4& v) {
    Vec4 out{};
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k)
            out[r] += a[k * 4 + r] * v[k];
    return out;
}

inline Mat4 Translate(double x, double y, double z) {
    Mat4 m = Identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

inline Mat4 Scale(double s) {
    Mat4 m = Identity();
    m[0] = m[5] = m[10] = s;
    return m;
}

// A right-handed rotation by `degrees` about the axis (x, y, z).
inline Mat4 Rotate(double degrees, double x, double y, double z) {
    const double len = std::sqrt(x * x + y * y + z * z);
    x /= len, y /= len, z /= len;
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a), t = 1 - c;
    Mat4 m = Identity();
    m[0] = t * x * x + c, m[4] = t * x * y - s * z, m[8] = t * x * z + s * y;
    m[1] = t * x * y + s * z, m[5] = t * y * y + c, m[9] = t * y * z - s * x;
    m[2] = t * x * z - s * y, m[6] = t * y * z + s * x, m[10] = t * z * z + c;
    return m;
}

// The perspective projection with a vertical field of view in degrees.
inline Mat4 Perspective(double fovy, double aspect, double near, double far) {
    const double f = 1 / std::tan(fovy * M_PI / 360);
    Mat4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (far + near) / (near - far);
    m[11] = -1;
    m[14] = 2 * far * near / (near - far);
    return m;
}

inline Mat4 Ortho(double l, double r, double b, double t, double n, double f) {
    Mat4 m = Identity();
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    return m;
}

// The isometric view: translate(0, 0, -90) scale(zoom) rotate(25, x)
// rotate(45, y).
inline Mat4 IsometricView(double zoom) {
    return Translate(0, 0, -90) * Scale(zoom) * Rotate(25, 1, 0, 0) * Rotate(45, 0, 1, 0);
}

inline Mat4 GetMatrix(GLenum which) {
    float m[16];
    glGetFloatv(which, m);
    Mat4 out;
    for (int i = 0; i < 16; ++i)
        out[i] = m[i];
    return out;
}

// Loads `m` into the current matrix stack.
inline void LoadMatrix(const Mat4& m) {
    glLoadMatrixd(m.data());
}

inline void ExpectMatrixNear(const Mat4& actual, const Mat4& expected, double tolerance,
                             const char* what) {
    for (int i = 0; i < 16; ++i) {
        const double scale = std::max(1.0, std::fabs(expected[i]));
        EXPECT_NEAR(actual[i], expected[i], tolerance * scale)
            << what << ": element " << i << " (row " << i % 4 << ", column " << i / 4 << ")";
    }
}

// Where a point lands in window coordinates (x, y in pixels from the
// bottom left, z the depth 0..1) under projection * model-view and a
// viewport of width by height at the origin.
inline std::array<double, 3> WindowPosition(const Mat4& mvp, double x, double y, double z,
                                            int width, int height) {
    const Vec4 clip = mvp * Vec4{x, y, z, 1};
    return {(clip[0] / clip[3] + 1) / 2 * width, (clip[1] / clip[3] + 1) / 2 * height,
            (clip[2] / clip[3] + 1) / 2};
}

// One primitive out of the feedback buffer: its token and its vertices, each
// as many floats as the feedback type gives (3 for GL_3D, 7 for
// GL_3D_COLOR, 11 for GL_3D_COLOR_TEXTURE). A glPassThrough marker comes as
// GL_PASS_THROUGH_TOKEN with its value as a one-float vertex.
struct Primitive {
    GLenum token = 0;
    std::vector<std::vector<float>> vertices;
};

// Runs `draw` in feedback mode and returns what reached the rasteriser.
// Fails the test when the buffer was too small or a token is unknown.
inline std::vector<Primitive> Feedback(GLenum type, size_t capacity,
                                       const std::function<void()>& draw) {
    const size_t per_vertex = type == GL_3D ? 3 : type == GL_3D_COLOR ? 7 : 11;
    std::vector<float> buffer(capacity);
    glFeedbackBuffer(static_cast<GLsizei>(capacity), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<Primitive> out;
    if (used < 0) {
        ADD_FAILURE() << "feedback buffer of " << capacity << " floats overflowed";
        return out;
    }
    for (GLint i = 0; i < used;) {
        Primitive p;
        p.token = static_cast<GLenum>(buffer[i++]);
        size_t count = 0;
        switch (p.token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            count = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            count = 2;
            break;
        case GL_POLYGON_TOKEN:
            count = static_cast<size_t>(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN: // a marker: its value as the one vertex
            p.vertices.push_back({buffer[i++]});
            out.push_back(std::move(p));
            continue;
        default:
            ADD_FAILURE() << "unknown feedback token " << buffer[i - 1];
            return out;
        }
        for (size_t v = 0; v < count; ++v, i += static_cast<GLint>(per_vertex))
            p.vertices.emplace_back(buffer.begin() + i, buffer.begin() + i + per_vertex);
        out.push_back(std::move(p));
    }
    return out;
}

} // namespace render_test
