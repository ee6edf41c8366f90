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
void glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void glEnd() { record("glEnd"); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex", {x, y, z}); }
void glVertex3fv(const GLfloat* v) { record("glVertex", {v[0], v[1], v[2]}); }
void glPushMatrix() { record("glPushMatrix"); }
void glPopMatrix() { record("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void glLoadIdentity() { record("glLoadIdentity"); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  record("glViewport", {double(x), double(y), double(w), double(h)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  record("glClearColor", {r, g, b, a});
}
void glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { record("glDisable", {double(cap)}); }
void glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", {double(s), double(d)}); }
void glFlush() { record("glFlush"); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  record("gluPerspective", {fovy, aspect, zNear, zFar});
}
}
