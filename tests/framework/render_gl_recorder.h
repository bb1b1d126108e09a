// Records the immediate-mode calls a box is made of. Include it from one
// test file only: it defines the GL entry points below in that test's
// executable, so the framework's calls reach these first; each is recorded
// while recording is on and then passed on to the real one.
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include <dlfcn.h>

#include <cstdlib>
#include <vector>

namespace gl_recorder {

enum class Kind { Begin, End, Normal, TexCoord, Vertex, PushMatrix, PopMatrix, Translate };

struct Call {
    Kind kind;
    float a = 0, b = 0, c = 0;
    GLenum mode = 0;
};

inline bool recording = false;
inline std::vector<Call> calls;

inline void Start() {
    calls.clear();
    recording = true;
}
inline std::vector<Call> Stop() {
    recording = false;
    return calls;
}

template <typename Fn> Fn Real(const char* name) {
    void* fn = dlsym(RTLD_NEXT, name);
    if (!fn) std::abort();
    return reinterpret_cast<Fn>(fn);
}

inline void Record(Call call) {
    if (recording) calls.push_back(call);
}

} // namespace gl_recorder

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    gl_recorder::Record({gl_recorder::Kind::Begin, 0, 0, 0, mode});
    static auto real = gl_recorder::Real<void (*)(GLenum)>("glBegin");
    real(mode);
}

void GLAPIENTRY glEnd() {
    gl_recorder::Record({gl_recorder::Kind::End});
    static auto real = gl_recorder::Real<void (*)()>("glEnd");
    real();
}

void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    gl_recorder::Record({gl_recorder::Kind::Normal, x, y, z});
    static auto real = gl_recorder::Real<void (*)(GLfloat, GLfloat, GLfloat)>("glNormal3f");
    real(x, y, z);
}

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    gl_recorder::Record({gl_recorder::Kind::TexCoord, s, t});
    static auto real = gl_recorder::Real<void (*)(GLfloat, GLfloat)>("glTexCoord2f");
    real(s, t);
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    gl_recorder::Record({gl_recorder::Kind::Vertex, x, y, z});
    static auto real = gl_recorder::Real<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    real(x, y, z);
}

void GLAPIENTRY glPushMatrix() {
    gl_recorder::Record({gl_recorder::Kind::PushMatrix});
    static auto real = gl_recorder::Real<void (*)()>("glPushMatrix");
    real();
}

void GLAPIENTRY glPopMatrix() {
    gl_recorder::Record({gl_recorder::Kind::PopMatrix});
    static auto real = gl_recorder::Real<void (*)()>("glPopMatrix");
    real();
}

void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    gl_recorder::Record({gl_recorder::Kind::Translate, x, y, z});
    static auto real = gl_recorder::Real<void (*)(GLfloat, GLfloat, GLfloat)>("glTranslatef");
    real(x, y, z);
}

} // extern "C"
