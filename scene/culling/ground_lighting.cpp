// The fixed-function lighting equation for the ground's vertices, on the CPU.
#include "scene/culling/ground_lighting.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

std::array<double, 3> normalized(const std::array<double, 3>& v) {
  const double length = std::sqrt(dot(v, v));
  if (length == 0) return v;
  return {v[0] / length, v[1] / length, v[2] / length};
}

}  // namespace

Rgb GroundLighting::shade(double x, double z) const {
  const std::array<double, 3> p = eyePoint(x, z);
  Rgb color = base;
  std::array<double, 3> toEye{};
  bool toEyeKnown = false;
  for (int i = 0; i < lightCount; ++i) {
    const GroundLight& light = lights[i];
    std::array<double, 3> toLight;
    double factor = 1;
    if (light.position[3] == 0) {
      toLight = light.direction;
    } else {
      const std::array<double, 3> offset{light.point[0] - p[0], light.point[1] - p[1], light.point[2] - p[2]};
      const double distance = std::sqrt(dot(offset, offset));
      if (distance == 0) continue;
      // The spot exponent is 0 throughout the scene: full light inside the cone.
      if (light.spot && -dot(offset, light.spotDirection) < light.cosCutoff * distance) continue;
      const double inverse = 1 / distance;
      toLight = {offset[0] * inverse, offset[1] * inverse, offset[2] * inverse};
      const double falloff =
          light.attenuation[0] + light.attenuation[1] * distance + light.attenuation[2] * distance * distance;
      if (falloff <= 0) continue;
      factor = 1 / falloff;
    }
    const double diffuse = std::max(0.0, dot(normal, toLight));
    double specular = 0;
    if (diffuse > 0 && light.hasSpecular) {
      if (!toEyeKnown) {
        // Local viewer: the eye sits at the eye-space origin.
        toEye = normalized({-p[0], -p[1], -p[2]});
        toEyeKnown = true;
      }
      const std::array<double, 3> half =
          normalized({toLight[0] + toEye[0], toLight[1] + toEye[1], toLight[2] + toEye[2]});
      const double nh = dot(normal, half);
      // Below this the highlight is under a millionth: not worth a power.
      if (nh > specularFloor) specular = std::pow(nh, shininess);
    }
    for (int c = 0; c < 3; ++c) {
      color[c] += factor * (light.ambient[c] + diffuse * light.diffuse[c] + specular * light.specular[c]);
    }
  }
  for (double& c : color) c = std::clamp(c, 0.0, 1.0);
  return color;
}

GroundLighting readGroundLighting() {
  GroundLighting model;
  GLfloat materialAmbient[4], materialDiffuse[4], materialSpecular[4], materialEmission[4], shininess;
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, materialAmbient);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
  glGetMaterialfv(GL_FRONT, GL_EMISSION, materialEmission);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  GLfloat globalAmbient[4];
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
  for (int c = 0; c < 3; ++c) model.base[c] = materialEmission[c] + globalAmbient[c] * materialAmbient[c];
  model.shininess = shininess;
  model.specularFloor = shininess > 0 ? std::pow(1e-6, 1.0 / shininess) : 0;

  glGetDoublev(GL_MODELVIEW_MATRIX, model.modelview);
  // Normals go through the inverse transpose of the modelview's upper 3 x 3:
  // for (0, 1, 0) that is the cross product of its z and x columns over its
  // determinant. OpenGL rescales the result only under GL_NORMALIZE.
  const double* m = model.modelview;
  const std::array<double, 3> cofactor{m[9] * m[2] - m[10] * m[1], m[10] * m[0] - m[8] * m[2],
                                       m[8] * m[1] - m[9] * m[0]};
  const double determinant = m[4] * cofactor[0] + m[5] * cofactor[1] + m[6] * cofactor[2];
  if (determinant != 0) {
    model.normal = {cofactor[0] / determinant, cofactor[1] / determinant, cofactor[2] / determinant};
    if (glIsEnabled(GL_NORMALIZE)) model.normal = normalized(model.normal);
  }

  GLint maxLights = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
  for (int i = 0; i < maxLights && model.lightCount < GroundLighting::MAX_LIGHTS; ++i) {
    const GLenum id = GL_LIGHT0 + i;
    if (!glIsEnabled(id)) continue;
    GroundLight& light = model.lights[model.lightCount++];
    GLfloat v[4];
    glGetLightfv(id, GL_POSITION, v);
    light.position = {v[0], v[1], v[2], v[3]};
    light.direction = normalized({v[0], v[1], v[2]});
    if (v[3] != 0) light.point = {v[0] / v[3], v[1] / v[3], v[2] / v[3]};
    glGetLightfv(id, GL_SPOT_DIRECTION, v);
    light.spotDirection = normalized({v[0], v[1], v[2]});
    GLfloat cutoff;
    glGetLightfv(id, GL_SPOT_CUTOFF, &cutoff);
    light.cutoffDegrees = cutoff;
    light.spot = cutoff != 180;
    light.cosCutoff = std::cos(cutoff * M_PI / 180);
    GLfloat ambient[4], diffuse[4], specular[4];
    glGetLightfv(id, GL_AMBIENT, ambient);
    glGetLightfv(id, GL_DIFFUSE, diffuse);
    glGetLightfv(id, GL_SPECULAR, specular);
    for (int c = 0; c < 3; ++c) {
      light.ambient[c] = ambient[c] * materialAmbient[c];
      light.diffuse[c] = diffuse[c] * materialDiffuse[c];
      light.specular[c] = specular[c] * materialSpecular[c];
      if (light.specular[c] != 0) light.hasSpecular = true;
    }
    glGetLightfv(id, GL_CONSTANT_ATTENUATION, &v[0]);
    glGetLightfv(id, GL_LINEAR_ATTENUATION, &v[1]);
    glGetLightfv(id, GL_QUADRATIC_ATTENUATION, &v[2]);
    light.attenuation = {v[0], v[1], v[2]};
  }
  return model;
}
