// The sky box: four unlit textured walls on the ground's edges and a textured top.
#include "scene/sky_box.h"

#include <GL/gl.h>

#include "image/scene_textures.h"
#include "scene/materials.h"

// Seen from inside, every wall reads unmirrored: s grows to the viewer's right.
// The "pos_x" picture hangs at x = -45 and "neg_x" at x = +45; the walls join
// into one panorama pos_z, pos_x, neg_z, neg_x. The top's coordinates run over
// [-1, 0] and rely on the default repeat wrap.
const SkyBoxFace SKY_BOX_FACES[SKY_BOX_FACE_COUNT] = {
    {TEX_SKY_POS_Z, {{45, 0, 45, 0, 0}, {-45, 0, 45, 1, 0}, {-45, 20, 45, 1, 1}, {45, 20, 45, 0, 1}}},
    {TEX_SKY_NEG_Z, {{-45, 0, -45, 0, 0}, {45, 0, -45, 1, 0}, {45, 20, -45, 1, 1}, {-45, 20, -45, 0, 1}}},
    {TEX_SKY_POS_X, {{-45, 0, 45, 0, 0}, {-45, 0, -45, 1, 0}, {-45, 20, -45, 1, 1}, {-45, 20, 45, 0, 1}}},
    {TEX_SKY_NEG_X, {{45, 0, -45, 0, 0}, {45, 0, 45, 1, 0}, {45, 20, 45, 1, 1}, {45, 20, -45, 0, 1}}},
    {TEX_SKY_POS_Y, {{45, 20, 45, 0, -1}, {-45, 20, 45, 0, 0}, {-45, 20, -45, -1, 0}, {45, 20, -45, -1, -1}}},
};

void drawSkyBox() {
  applyMaterial(CHROME_MATERIAL);
  // Unlit: the texels show at full brightness under the current colour, white here.
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  for (const SkyBoxFace& face : SKY_BOX_FACES) {
    glBindTexture(GL_TEXTURE_2D, sceneTextures[face.textureSlot]);
    glBegin(GL_QUADS);
    for (const SkyBoxVertex& v : face.corners) {
      glTexCoord2f(v.s, v.t);
      glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
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

namespace {

void drawSkyBoxObject(const SceneObject&) { drawSkyBox(); }
void drawSkyBoxObjectFromArrays(const SceneObject&) { drawSkyBoxFromArrays(); }

}  // namespace

// The faces' own extent; a test draws the sky box and holds every vertex to it.
const SceneObject SKY_BOX_OBJECT = {
    drawSkyBoxObject, {{-45, 0, -45}, {45, 20, 45}}, LeaveOut::NEVER, drawSkyBoxObjectFromArrays, nullptr, 0,
    ObjectKind::SKY_BOX};
