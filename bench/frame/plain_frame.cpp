// The demo's frame written with direct OpenGL calls and no framework
// operation: the yardstick the frame benchmark holds the demo against. The
// window and its context come from the same Win32 layer, in the same
// captioned 800 by 600 shape; the loop has the demo's shape (clear, one
// message, the frame, the swap). The only thing taken from the framework is
// the teapot's constant data.
//
//   quorvel-plain-frame [--frames N]
//
// Prints one line per run: "first_frame_ms T" and "frame_ms t1 t2 ...",
// the intervals between consecutive presented frames.
#include "frame_clock.h"

#include <quorvel.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 800, kHeight = 600;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

HDC OpenWindow() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PlainFrame";
    if (!RegisterClassExA(&wc)) return nullptr;
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION |
                        WS_SYSMENU | WS_MINIMIZEBOX;
    HWND window =
        CreateWindowExA(0, "PlainFrame", "plain frame", style, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                        kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cAlphaBits = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format || !SetPixelFormat(dc, format, &pfd)) return nullptr;
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) return nullptr;
    return dc;
}

// Uncompressed 24- and 32-bit BMP files, bottom row first, as the demo's
// loader takes them. A file it cannot read leaves the texture image-less,
// as the demo does.
void LoadTexture(const char* file, GLuint& name) {
    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    std::vector<unsigned char> bytes;
    if (std::FILE* in = std::fopen(file, "rb")) {
        unsigned char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(in);
    }
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return;
    auto u32 = [&](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    const uint32_t offset = u32(10);
    const int32_t width = int32_t(u32(18)), height = int32_t(u32(22));
    const int bits = bytes[28] | bytes[29] << 8;
    if ((bits != 24 && bits != 32) || u32(30) != 0 || width <= 0 || height <= 0 || width > 8192 ||
        height > 8192)
        return;
    const size_t row = (size_t(width) * (bits / 8) + 3) / 4 * 4;
    if (offset > bytes.size() || bytes.size() - offset < row * size_t(height)) return;
    unsigned char* pixels = bytes.data() + offset;
    if (bits == 24) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                std::swap(pixels[y * row + x * 3], pixels[y * row + x * 3 + 2]);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                     pixels);
    }
}

struct Box {
    float x, y, z, x1, y1, z1, x2, y2, z2;
};

constexpr Box kRock[] = {
    {0, 0, 0, -3, 0, -3, 3, 0.5f, 3},
    {0, 0.5f, 0, -2.5f, 0, -2.5f, 2.5f, 0.5f, 2.5f},
    {0, 1, 0, -2, 0, -2, 2, 0.5f, 2},
    {0, 1.5f, 0, -1.5f, 0, -1.5f, 1.5f, 0.5f, 1.5f},
    {0, 2, 0, -1, 0, -1, 1, 0.5f, 1},
    {0, 2.5f, 0, -0.5f, 0, -0.5f, 0.5f, 0.5f, 0.5f},
    {-6, 0, -2, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f},
    {-6, 0, 0, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f},
    {-6, 0, 2, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f},
    {0, 0, -5, -6.5f, 0, -0.25f, 3, 1.6f, 0.25f},
};
constexpr Box kStone[] = {
    {6, 0, 0, -0.7f, 0, -0.7f, 0.7f, 4.5f, 0.7f},
    {6, 4.5f, 0, -1, 0, -1, 1, 0.5f, 1},
    {5.1f, 5, -0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {5.1f, 5, -0.3f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {5.1f, 5, 0.3f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {5.1f, 5, 0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.9f, 5, -0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.9f, 5, -0.3f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.9f, 5, 0.3f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.9f, 5, 0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {5.7f, 5, -0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.3f, 5, -0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {5.7f, 5, 0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
    {6.3f, 5, 0.9f, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f},
};

// A box with its known outward normals and texture spans: the calls the
// framework's box makes, without its normal arithmetic.
void DrawBox(const Box& b) {
    const float tx = (b.x2 - b.x1) * 0.5f, ty = (b.y2 - b.y1) * 0.5f, tz = (b.z2 - b.z1) * 0.5f;
    glPushMatrix();
    glTranslatef(b.x, b.y, b.z);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0), glVertex3f(b.x1, b.y1, b.z2);
    glTexCoord2f(tx, 0), glVertex3f(b.x2, b.y1, b.z2);
    glTexCoord2f(tx, ty), glVertex3f(b.x2, b.y2, b.z2);
    glTexCoord2f(0, ty), glVertex3f(b.x1, b.y2, b.z2);
    glNormal3f(0, 0, -1);
    glTexCoord2f(tx, 0), glVertex3f(b.x1, b.y1, b.z1);
    glTexCoord2f(tx, ty), glVertex3f(b.x1, b.y2, b.z1);
    glTexCoord2f(0, ty), glVertex3f(b.x2, b.y2, b.z1);
    glTexCoord2f(0, 0), glVertex3f(b.x2, b.y1, b.z1);
    glNormal3f(0, 1, 0);
    glTexCoord2f(0, tz), glVertex3f(b.x1, b.y2, b.z1);
    glTexCoord2f(0, 0), glVertex3f(b.x1, b.y2, b.z2);
    glTexCoord2f(tx, 0), glVertex3f(b.x2, b.y2, b.z2);
    glTexCoord2f(tx, tz), glVertex3f(b.x2, b.y2, b.z1);
    glNormal3f(0, -1, 0);
    glTexCoord2f(tx, tz), glVertex3f(b.x1, b.y1, b.z1);
    glTexCoord2f(0, tz), glVertex3f(b.x2, b.y1, b.z1);
    glTexCoord2f(0, 0), glVertex3f(b.x2, b.y1, b.z2);
    glTexCoord2f(tx, 0), glVertex3f(b.x1, b.y1, b.z2);
    glNormal3f(1, 0, 0);
    glTexCoord2f(tz, 0), glVertex3f(b.x2, b.y1, b.z1);
    glTexCoord2f(tz, ty), glVertex3f(b.x2, b.y2, b.z1);
    glTexCoord2f(0, ty), glVertex3f(b.x2, b.y2, b.z2);
    glTexCoord2f(0, 0), glVertex3f(b.x2, b.y1, b.z2);
    glNormal3f(-1, 0, 0);
    glTexCoord2f(0, 0), glVertex3f(b.x1, b.y1, b.z1);
    glTexCoord2f(tz, 0), glVertex3f(b.x1, b.y1, b.z2);
    glTexCoord2f(tz, ty), glVertex3f(b.x1, b.y2, b.z2);
    glTexCoord2f(0, ty), glVertex3f(b.x1, b.y2, b.z1);
    glEnd();
    glPopMatrix();
}

// The teapot's tables, copied once out of the framework's constant data.
int32_t gPatches[10][16];
float gPoints[127][3];

void CopyTeapotTables() {
    for (int i = 0; i < 10; ++i)
        for (int e = 0; e < 16; ++e)
            gPatches[i][e] = quorvel::PATCHDATA[i][e];
    for (int i = 0; i < 127; ++i)
        for (int l = 0; l < 3; ++l)
            gPoints[i][l] = quorvel::CPDATA[i][l];
}

void DrawTeapot() {
    static const float kTex[2][2][2] = {{{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}};
    const int grid = 32;
    glPushMatrix();
    glTranslatef(0, 0, 0);
    glScalef(1, 1, 1);
    glPushAttrib(GL_EVAL_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT);
    glCullFace(GL_FRONT);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_MAP2_VERTEX_3);
    glEnable(GL_MAP2_TEXTURE_COORD_2);
    float p[4][4][3], q[4][4][3], r[4][4][3], s[4][4][3];
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                for (int l = 0; l < 3; ++l) {
                    const float a = gPoints[gPatches[i][j * 4 + k]][l];
                    const float b = gPoints[gPatches[i][j * 4 + 3 - k]][l];
                    p[j][k][l] = a;
                    q[j][k][l] = l == 1 ? -b : b;
                    r[j][k][l] = l == 0 ? -b : b;
                    s[j][k][l] = l == 2 ? a : -a;
                }
        glMapGrid2f(grid, 0, 1, grid, 0, 1);
        glMap2f(GL_MAP2_TEXTURE_COORD_2, 0, 1, 2, 2, 0, 1, 4, 2, &kTex[0][0][0]);
        glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, &p[0][0][0]);
        glEvalMesh2(GL_FILL, 0, grid, 0, grid);
        glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, &q[0][0][0]);
        glEvalMesh2(GL_FILL, 0, grid, 0, grid);
        if (i < 6) {
            glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, &r[0][0][0]);
            glEvalMesh2(GL_FILL, 0, grid, 0, grid);
            glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, &s[0][0][0]);
            glEvalMesh2(GL_FILL, 0, grid, 0, grid);
        }
    }
    glPopAttrib();
    glPopMatrix();
}

void Projection() {
    // The two-dimensional mode the demo sets first, then the isometric one.
    glClearColor(0, 0, 0, 0);
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.0, 2.0, -2.0 * kHeight / kWidth, 2.0 * kHeight / kWidth, -2.0, 2.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);

    glClearColor(0, 0, 0, 0);
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(12.5, double(kWidth) / kHeight, 0.1, 120.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearDepth(120.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1, 1, 1, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    glTranslatef(0, 0, -90);
    glScalef(1, 1, 1);
    glRotatef(25, 1, 0, 0);
    glRotatef(45, 0, 1, 0);
}

void Frame(const GLuint (&textures)[4]) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    Projection();
    glRotatef(-45, 0, 1, 0);
    glTranslatef(0, 0, 0);
    glRotatef(45, 0, 1, 0);

    glTexCoord2f(0, 0); // the marker's texel, the same every frame
    const float light[4] = {-5, 10, 0, 0.1f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glPointSize(0);
    glBegin(GL_POINTS);
    glNormal3f(0, 0, 1);
    glVertex3f(-5, 10, 0);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, textures[0]);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(3, 3), glVertex3f(10, 0, -10);
    glTexCoord2f(0, 3), glVertex3f(-10, 0, -10);
    glTexCoord2f(0, 0), glVertex3f(-10, 0, 10);
    glTexCoord2f(3, 0), glVertex3f(10, 0, 10);
    glEnd();
    glEnable(GL_CULL_FACE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);

    glBindTexture(GL_TEXTURE_2D, textures[1]);
    for (const Box& b : kRock)
        DrawBox(b);
    glBindTexture(GL_TEXTURE_2D, textures[2]);
    for (const Box& b : kStone)
        DrawBox(b);

    glBindTexture(GL_TEXTURE_2D, textures[3]);
    glPushMatrix();
    glTranslatef(0, 0, 7.5f);
    glRotatef(90, -1, 0, 0);
    DrawTeapot();
    glPopMatrix();
}

} // namespace

int main(int argc, char** argv) {
    frame_clock::Start();
    int frames = 60;
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) frames = std::atoi(argv[2]);
    if (frames < 1) {
        std::fprintf(stderr, "usage: quorvel-plain-frame [--frames N]\n");
        return 2;
    }
    HDC dc = OpenWindow();
    if (!dc) {
        std::fprintf(stderr, "quorvel-plain-frame: no window or rendering context\n");
        return 1;
    }

    // The demo's start-up state: projection, culling, light 0, textures.
    Projection();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    const float ambient[4] = {0.5f, 0.5f, 0.5f, 1}, white[4] = {1, 1, 1, 1};
    const float start_light[4] = {0, 0, 0, 0.1f};
    glEnable(GL_LIGHTING);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, start_light);
    CopyTeapotTables();
    GLuint textures[4] = {};
    const char* files[4] = {"Floor04.bmp", "rock.bmp", "stoneblocks.bmp", "marmorizato.bmp"};
    for (int i = 0; i < 4; ++i)
        LoadTexture(files[i], textures[i]);

    frame_clock::Recorder recorder(frames);
    for (int frame = 0; frame < frames; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT);
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Frame(textures);
        SwapBuffers(dc);
        recorder.Presented();
    }
    recorder.Print(stdout);
    return 0;
}
