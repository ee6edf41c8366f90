// How one curtain becomes OpenGL primitives: strips of triangles along v,
// one per row of cells, coloured per vertex and blended additively.
#include <GL/gl.h>

#include "renderer/curtain/light_curtain.h"

namespace {

inline float clamp01(float c) { return c < 0.0f ? 0.0f : (c > 1.0f ? 1.0f : c); }

// The curtain's colour faded by the point's brightness channel by channel:
// brightness 0 is black, 1 the full colour. Clamped here so the picture does
// not depend on the driver clamping vertex colours.
inline void pointColour(const LightCurtain& c, const CurtainPoint& p) {
  const float fade = p.brightness - 1.0f;
  glColor3f(clamp01(c.red + fade), clamp01(c.green + fade), clamp01(c.blue + fade));
}

}  // namespace

void LightCurtain::drawFront() const {
  const int n = density_;
  glPushMatrix();
  for (int i = 0; i < n; ++i) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= n; ++j) {
      const CurtainPoint& next = *points[i + 1][j];
      const CurtainPoint& here = *points[i][j];
      pointColour(*this, next);
      glVertex3fv(&next.x);
      pointColour(*this, here);
      glVertex3fv(&here.x);
    }
    glEnd();
  }
  glPopMatrix();
}

void LightCurtain::drawBack() const {
  const int n = density_;
  glPushMatrix();
  glTranslatef(0.2f * wave[0], 0.2f * wave[1], 1.6f);
  for (int i = 0; i < n; ++i) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= n; ++j) {
      const CurtainPoint& next = *points[i + 1][j];
      const CurtainPoint& here = *points[i][j];
      pointColour(*this, next);
      glVertex3f(next.u, next.v, next.brightness);
      pointColour(*this, here);
      glVertex3f(here.u, here.v, here.brightness);
    }
    glEnd();
  }
  glPopMatrix();
}
