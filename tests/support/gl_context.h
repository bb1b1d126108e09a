// A current OpenGL context for tests: a hidden native window of the given
// size with a compatibility-profile context made current on it. Headless
// under the offscreen driver; the pixel format is RGBA 8-8-8-8, depth 24,
// stencil 8, double-buffered (the one the framework's request gets).
#pragma once

#include <cstdint>
#include <vector>

namespace qvtest {

class GLContext {
  public:
    explicit GLContext(int width = 64, int height = 64);
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // False when no context could be made; tests should ASSERT_TRUE(ok()).
    bool ok() const { return current_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Makes this context current again (after a test switched away).
    bool MakeCurrent();
    // The colour buffer being drawn into, bottom row first as GL returns
    // it, 4 bytes a pixel in R, G, B, A order.
    std::vector<uint8_t> ReadPixels() const;
    // One pixel (x, y from the bottom-left corner) as 0xRRGGBBAA.
    uint32_t Pixel(int x, int y) const;

  private:
    int width_, height_;
    uint32_t window_ = 0;
    uint32_t context_ = 0;
    bool current_ = false;
};

} // namespace qvtest
