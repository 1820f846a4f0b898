// The cactus signboard: a bronze post and a silver board showing cactus pictures.
#include "scene/signboard.h"

#include <GL/gl.h>

#include "image/scene_textures.h"
#include "scene/materials.h"

namespace {

int signFrame = 0;

struct SignQuad {
  float normal[3];
  float corners[4][3];
};

void drawQuad(const SignQuad& quad) {
  glBegin(GL_QUADS);
  glNormal3fv(quad.normal);
  for (const auto& corner : quad.corners) glVertex3fv(corner);
  glEnd();
}

// Post: x 0..X1, y 0..Y1, z Z0..1, no bottom face.
constexpr float X1 = 0.1f, Y1 = 2, Z0 = 0.9f;
constexpr SignQuad POST[] = {
    {{0, 0, 1}, {{X1, Y1, 1}, {0, Y1, 1}, {0, 0, 1}, {X1, 0, 1}}},
    {{0, 0, -1}, {{X1, Y1, Z0}, {0, Y1, Z0}, {0, 0, Z0}, {X1, 0, Z0}}},
    {{0, 1, 0}, {{X1, Y1, Z0}, {0, Y1, Z0}, {0, Y1, 1}, {X1, Y1, 1}}},
    {{1, 0, 0}, {{X1, Y1, Z0}, {X1, Y1, 1}, {X1, 0, 1}, {X1, 0, Z0}}},
    {{-1, 0, 0}, {{0, Y1, Z0}, {0, 0, Z0}, {0, 0, 1}, {0, Y1, 1}}},
};

// Board: x XA..XB, y YA..YB, z 0..2; its two large faces carry the picture.
constexpr float XA = -0.05f, XB = 0.15f, YA = 2, YB = 3.4f;
constexpr SignQuad BOARD_EDGES[] = {
    {{0, 0, 1}, {{XB, YB, 2}, {XA, YB, 2}, {XA, YA, 2}, {XB, YA, 2}}},
    {{0, 0, -1}, {{XB, YB, 0}, {XA, YB, 0}, {XA, YA, 0}, {XB, YA, 0}}},
    {{0, 1, 0}, {{XB, YB, 0}, {XA, YB, 0}, {XA, YB, 2}, {XB, YB, 2}}},
    {{0, -1, 0}, {{XB, YA, 0}, {XA, YA, 0}, {XA, YA, 2}, {XB, YA, 2}}},
};

// A pass that leaves the signboard out: the counter wraps before use, then
// advances, as in a drawn pass.
void advancePicture(const SceneObject&) { signFrame = (signFrame >= SIGN_PICTURE_COUNT ? 0 : signFrame) + 1; }

void drawSignboardObject(const SceneObject&) { drawSignboard(); }

}  // namespace

int signboardFrame() { return signFrame; }

void setSignboardFrame(int frame) { signFrame = frame; }

void drawSignboard() {
  applyMaterial(BRONZE_MATERIAL);
  for (const SignQuad& quad : POST) drawQuad(quad);
  applyMaterial(SILVER_MATERIAL);
  for (const SignQuad& quad : BOARD_EDGES) drawQuad(quad);

  glEnable(GL_TEXTURE_2D);
  // The counter wraps before use, so after the eighth call it reads 8 until the next.
  if (signFrame >= SIGN_PICTURE_COUNT) signFrame = 0;
  glBindTexture(GL_TEXTURE_2D, sceneTextures[TEX_CACTUS_FIRST + signFrame]);

  // Both faces show the same picture, each unmirrored from its own side.
  glBegin(GL_QUADS);
  glNormal3f(1, 0, 0);
  glTexCoord2f(1, 1);
  glVertex3f(XB, YB, 0);
  glTexCoord2f(0, 1);
  glVertex3f(XB, YB, 2);
  glTexCoord2f(0, 0);
  glVertex3f(XB, YA, 2);
  glTexCoord2f(1, 0);
  glVertex3f(XB, YA, 0);
  glEnd();

  ++signFrame;

  glBegin(GL_QUADS);
  glNormal3f(-1, 0, 0);
  glTexCoord2f(0, 1);
  glVertex3f(XA, YB, 0);
  glTexCoord2f(0, 0);
  glVertex3f(XA, YA, 0);
  glTexCoord2f(1, 0);
  glVertex3f(XA, YA, 2);
  glTexCoord2f(1, 1);
  glVertex3f(XA, YB, 2);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

// Post and board: x -0.05 .. 0.15, y 0 .. 3.4, z 0 .. 2, with room to spare; a
// test draws the signboard and holds every vertex to it.
const SceneObject SIGNBOARD_OBJECT = {drawSignboardObject, {{-0.1f, -0.1f, -0.1f}, {0.2f, 3.5f, 2.1f}},
                                      LeaveOut::WHEN_SELECTING, nullptr, advancePicture, 0,
                                      ObjectKind::SIGNBOARD};
