// The fixed-function lighting equation for the ground's vertices, on the CPU.
#include "scene/culling/ground_lighting.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The share of a positional light that reaches eye-space point `p`, and the
// unit direction towards it; 0 outside a spot's cone or with no distance.
double positionalShare(const GroundLight& light, const Vec3& p, Vec3& toLight) {
  const Vec3 offset = light.point - p;
  const double distance = std::sqrt(dot(offset, offset));
  if (distance == 0) return 0;
  double spot = 1;
  if (light.spot) {
    const double cosine = -dot(offset, light.spotDirection);
    if (cosine < light.cosCutoff * distance) return 0;
    if (light.spotExponent != 0) spot = std::pow(std::max(cosine / distance, 0.0), light.spotExponent);
  }
  const double inverse = 1 / distance;
  toLight = {offset[0] * inverse, offset[1] * inverse, offset[2] * inverse};
  const double falloff =
      light.attenuation[0] + light.attenuation[1] * distance + light.attenuation[2] * distance * distance;
  if (falloff <= 0) return 0;
  return spot / falloff;
}

}  // namespace

Rgb GroundLighting::shade(double x, double z) const {
  const Vec3 p = eyePoint(x, z);
  Rgb color = base;
  Vec3 toEye{0, 0, 1};  // an eye at infinity along +z
  bool toEyeKnown = !localViewer;
  for (int i = 0; i < lightCount; ++i) {
    const GroundLight& light = lights[i];
    Vec3 toLight = light.direction;
    double share = 1;
    if (light.position[3] != 0) {
      share = positionalShare(light, p, toLight);
      if (share == 0) continue;
    }
    const double diffuse = std::max(0.0, dot(normal, toLight));
    double specular = 0;
    if (diffuse > 0 && light.hasSpecular) {
      if (!toEyeKnown) {
        toEye = normalized({-p[0], -p[1], -p[2]});
        toEyeKnown = true;
      }
      const double nh = dot(normal, normalized(toLight + toEye));
      // Below this the highlight is under a millionth: not worth a power.
      if (nh > specularFloor) specular = std::pow(nh, shininess);
    }
    for (int c = 0; c < 3; ++c) {
      color[c] += share * (light.ambient[c] + diffuse * light.diffuse[c] + specular * light.specular[c]);
    }
  }
  for (double& c : color) c = std::clamp(c, 0.0, 1.0);
  return color;
}

namespace {

// Whether the lighting and shading state is one the model covers.
bool stateIsModelled() {
  GLint twoSided = 0, colorControl = GL_SINGLE_COLOR, shadeModel = GL_SMOOTH;
  glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
  glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &colorControl);
  glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
  const bool rescaledOnly = glIsEnabled(GL_RESCALE_NORMAL) && !glIsEnabled(GL_NORMALIZE);
  return twoSided == 0 && colorControl == GL_SINGLE_COLOR && shadeModel == GL_SMOOTH &&
         !glIsEnabled(GL_COLOR_MATERIAL) && !rescaledOnly;
}

// The ground's normal (0, 1, 0) in eye space: the inverse transpose of the
// modelview's upper 3 x 3 applied to it, which is the cofactors' second column
// over the determinant. OpenGL rescales the result only under GL_NORMALIZE.
Vec3 eyeNormal(const double* modelview) {
  const Mat3 m = upper3x3(modelview);
  const Mat3 c = cofactors(m);
  const double det = determinant(m, c);
  if (det == 0) return {0, 1, 0};
  const Vec3 normal{c.at[0][1] / det, c.at[1][1] / det, c.at[2][1] / det};
  return glIsEnabled(GL_NORMALIZE) ? normalized(normal) : normal;
}

void readLight(GLenum id, const GLfloat* materialAmbient, const GLfloat* materialDiffuse,
               const GLfloat* materialSpecular, GroundLight& light) {
  GLfloat v[4];
  glGetLightfv(id, GL_POSITION, v);
  light.position = {v[0], v[1], v[2], v[3]};
  light.direction = normalized({v[0], v[1], v[2]});
  if (v[3] != 0) light.point = {v[0] / v[3], v[1] / v[3], v[2] / v[3]};
  glGetLightfv(id, GL_SPOT_DIRECTION, v);
  light.spotDirection = normalized({v[0], v[1], v[2]});
  GLfloat cutoff, exponent;
  glGetLightfv(id, GL_SPOT_CUTOFF, &cutoff);
  glGetLightfv(id, GL_SPOT_EXPONENT, &exponent);
  light.cutoffDegrees = cutoff;
  light.spot = cutoff != 180;
  light.cosCutoff = std::cos(cutoff * M_PI / 180);
  light.spotExponent = exponent;
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

}  // namespace

GroundLighting readGroundLighting() {
  GroundLighting model;
  model.modelled = stateIsModelled();
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
  GLint localViewer = 0;
  glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
  model.localViewer = localViewer != 0;

  glGetDoublev(GL_MODELVIEW_MATRIX, model.modelview);
  model.normal = eyeNormal(model.modelview);

  GLint maxLights = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
  for (int i = 0; i < maxLights && model.lightCount < GroundLighting::MAX_LIGHTS; ++i) {
    const GLenum id = GL_LIGHT0 + i;
    if (!glIsEnabled(id)) continue;
    readLight(id, materialAmbient, materialDiffuse, materialSpecular, model.lights[model.lightCount++]);
  }
  return model;
}
