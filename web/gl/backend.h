// What the GL 1.x layer asks of the graphics device: triangles with their
// fixed-function state, textures, clears. The WebGL 2 implementation is
// webgl_backend.cpp; this header uses no GL headers, so that neither the
// program's GL names nor WebGL's leak into the other side.
#pragma once

#include <cstdint>

namespace webgl {

// One vertex as the shader takes it: object-space position and normal, the
// colour (the current colour, or the colour-material source) and s, t.
struct Vertex {
  float position[3];
  float normal[3];
  float color[4];
  float texCoord[2];
};

constexpr int MAX_LIGHTS = 8;

// An enabled light, in eye coordinates, as the shader uses it.
struct ShaderLight {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float position[4];       // eye coordinates; w = 0: a direction
  float spotDirection[4];  // eye coordinates, normalised; w: cos(cut-off), or -2 for no spot
  float attenuation[4];    // constant, linear, quadratic, spot exponent
};

// Everything the shader and the fixed pipeline need for one draw.
struct DrawState {
  float modelview[16];
  float projection[16];
  float normalMatrix[9];
  int lighting;  // 0 or 1, like the other flags
  int normalize;
  int localViewer;
  int colorMaterial;  // ambient and diffuse follow the vertex colour
  float materialAmbient[4];
  float materialDiffuse[4];
  float materialSpecular[4];
  float materialEmission[4];
  float shininess;
  float sceneAmbient[4];
  int lightCount;
  ShaderLight lights[MAX_LIGHTS];
  // Texture: 0 none, 1 modulate, 2 replace; the backend's texture handle.
  int textureMode;
  unsigned texture;
  int depthTest;
  int cullFace;
  unsigned cullFaceMode;  // the GL enum: GL_FRONT, GL_BACK or GL_FRONT_AND_BACK
};

// Texture sampling, in GL enums.
struct TextureParameters {
  unsigned minFilter, magFilter, wrapS, wrapT;
};

// The device. Returns false from init when there is no WebGL 2.
bool backendInit(const char* canvasSelector);
void backendViewport(int x, int y, int width, int height);
void backendClear(bool color, bool depth, const float clearColor[4]);
// Triangles drawn at once from memory.
void backendDrawTriangles(const Vertex* vertices, int count, const DrawState& state);
// Triangles kept on the device (display lists): a handle, then draws of it.
unsigned backendCreateMesh(const Vertex* vertices, int count);
void backendDrawMesh(unsigned mesh, int count, const DrawState& state);
unsigned backendCreateTexture();
// Level 0 from tightly packed RGB or RGBA rows (channels 3 or 4), mipmaps on request.
void backendTextureImage(unsigned texture, int width, int height, int channels, const std::uint8_t* pixels,
                         bool mipmaps);
void backendTextureParameters(unsigned texture, const TextureParameters& parameters);
// Waits for the device to finish (a one-pixel read).
void backendFinish();

}  // namespace webgl
