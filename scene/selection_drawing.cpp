// What the culled path draws differently in selection mode. Mesa 22's
// selection path keeps a few kilobytes for every immediate-mode batch it is
// given after a rendered frame, so a click that draws the sky box, the
// signboard or a bench in immediate mode costs memory that never comes back;
// vertex arrays and display lists do not.
#include "scene/selection_drawing.h"

#include <GL/gl.h>

#include "image/scene_textures.h"
#include "scene/materials.h"
#include "scene/signboard.h"
#include "scene/sky_box.h"
#include "scene/view_cull.h"

void drawRecorded(void (*draw)()) {
  static GLuint list = 0;
  if (list == 0) list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  draw();
  glEndList();
  glCallList(list);
}

void drawSkyBoxFromArrays() {
  // GL_T2F_V3F: s, t, x, y, z.
  static float vertices[SKY_BOX_FACE_COUNT * 4 * 5];
  static const bool filled = [] {
    float* out = vertices;
    for (const SkyBoxFace& face : SKY_BOX_FACES) {
      for (const SkyBoxVertex& v : face.corners) {
        *out++ = v.s;
        *out++ = v.t;
        *out++ = v.x;
        *out++ = v.y;
        *out++ = v.z;
      }
    }
    return true;
  }();
  (void)filled;
  applyMaterial(CHROME_MATERIAL);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glInterleavedArrays(GL_T2F_V3F, 0, vertices);
  for (int f = 0; f < SKY_BOX_FACE_COUNT; ++f) {
    glBindTexture(GL_TEXTURE_2D, sceneTextures[SKY_BOX_FACES[f].textureSlot]);
    glDrawArrays(GL_QUADS, 4 * f, 4);
  }
  glPopClientAttrib();
  // The immediate-mode faces leave the last corner's texture coordinate current.
  const SkyBoxVertex& last = SKY_BOX_FACES[SKY_BOX_FACE_COUNT - 1].corners[3];
  glTexCoord2f(last.s, last.t);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

void drawSignboardIfShowing() {
  // Post and board: x -0.05 .. 0.15, y 0 .. 3.4, z 0 .. 2.
  constexpr float MIN[3] = {-0.1f, -0.1f, -0.1f};
  constexpr float MAX[3] = {0.2f, 3.5f, 2.1f};
  if (boxCanShow(MIN, MAX)) {
    drawRecorded(drawSignboard);
    return;
  }
  // The counter wraps before use, then advances, as in a drawn pass.
  const int frame = signboardFrame();
  setSignboardFrame((frame >= SIGN_PICTURE_COUNT ? 0 : frame) + 1);
}
