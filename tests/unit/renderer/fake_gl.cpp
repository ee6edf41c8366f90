#include "fake_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

std::vector<GlCall>& glCalls() {
  static std::vector<GlCall> calls;
  return calls;
}

namespace {
void record(const char* name, std::vector<double> args = {}) {
  glCalls().push_back(GlCall{name, std::move(args)});
}
}  // namespace

extern "C" {
void APIENTRY glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void APIENTRY glEnd() { record("glEnd"); }
void APIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex", {x, y, z}); }
void APIENTRY glVertex3fv(const GLfloat* v) { record("glVertex", {v[0], v[1], v[2]}); }
void APIENTRY glPushMatrix() { record("glPushMatrix"); }
void APIENTRY glPopMatrix() { record("glPopMatrix"); }
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void APIENTRY glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void APIENTRY glLoadIdentity() { record("glLoadIdentity"); }
void APIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  record("glViewport", {double(x), double(y), double(w), double(h)});
}
void APIENTRY glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
  record("glScissor", {double(x), double(y), double(w), double(h)});
}
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  record("glClearColor", {r, g, b, a});
}
void APIENTRY glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void APIENTRY glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void APIENTRY glDisable(GLenum cap) { record("glDisable", {double(cap)}); }
void APIENTRY glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", {double(s), double(d)}); }
void APIENTRY glFlush() { record("glFlush"); }
void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  record("gluPerspective", {fovy, aspect, zNear, zFar});
}
}
