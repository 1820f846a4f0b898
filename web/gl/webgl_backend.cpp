// The device of the GL layer in WebGL 2: one shader pair that does the
// fixed-function per-vertex lighting and the texture environment, a stream
// buffer for immediate mode and vertex arrays, a buffer per display-list
// primitive. WebGL is reached through its emscripten_gl names, which leave the
// GL 1.x names to the layer.
#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "web/gl/backend.h"

namespace webgl {

namespace {

// The GL 1.x lighting equation for one vertex, every term the GL defines:
// emission, the scene ambient, and per light the ambient, diffuse and
// specular parts (local or infinite viewer) under attenuation and the spot's
// cut-off and exponent.
const char* const VERTEX_SHADER = R"(#version 300 es
precision highp float;
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aTexCoord;
uniform mat4 uModelview;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform int uLighting;
uniform int uNormalize;
uniform int uLocalViewer;
uniform int uColorMaterial;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmission;
uniform float uShininess;
uniform vec4 uSceneAmbient;
uniform int uLightCount;
uniform vec4 uLightAmbient[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightPosition[8];
uniform vec4 uLightSpot[8];
uniform vec4 uLightAttenuation[8];
out vec4 vColor;
out vec2 vTexCoord;
void main() {
  vec4 eye = uModelview * vec4(aPosition, 1.0);
  gl_Position = uProjection * eye;
  vTexCoord = aTexCoord;
  if (uLighting == 0) {
    vColor = aColor;
    return;
  }
  vec3 n = uNormalMatrix * aNormal;
  if (uNormalize != 0) {
    float len = length(n);
    if (len > 0.0) n /= len;
  }
  vec4 ambient = uColorMaterial != 0 ? aColor : uMaterialAmbient;
  vec4 diffuse = uColorMaterial != 0 ? aColor : uMaterialDiffuse;
  vec3 color = uMaterialEmission.rgb + uSceneAmbient.rgb * ambient.rgb;
  vec3 p = eye.xyz / eye.w;
  vec3 toEye = uLocalViewer != 0 ? normalize(-p) : vec3(0.0, 0.0, 1.0);
  for (int i = 0; i < uLightCount; ++i) {
    vec4 lp = uLightPosition[i];
    vec3 toLight;
    float factor = 1.0;
    if (lp.w == 0.0) {
      toLight = normalize(lp.xyz);
    } else {
      vec3 offset = lp.xyz / lp.w - p;
      float d = length(offset);
      toLight = offset / d;
      vec4 att = uLightAttenuation[i];
      factor = 1.0 / (att.x + att.y * d + att.z * d * d);
      vec4 spot = uLightSpot[i];
      if (spot.w > -1.5) {
        float s = dot(-toLight, spot.xyz);
        if (s < spot.w) continue;
        factor *= att.w == 0.0 ? 1.0 : pow(max(s, 0.0), att.w);
      }
    }
    float nl = dot(n, toLight);
    vec3 term = uLightAmbient[i].rgb * ambient.rgb;
    if (nl > 0.0) {
      term += nl * uLightDiffuse[i].rgb * diffuse.rgb;
      float nh = dot(n, normalize(toLight + toEye));
      if (nh > 0.0) term += pow(nh, uShininess) * uLightSpecular[i].rgb * uMaterialSpecular.rgb;
    }
    color += factor * term;
  }
  vColor = vec4(clamp(color, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}
)";

const char* const FRAGMENT_SHADER = R"(#version 300 es
precision highp float;
uniform sampler2D uTexture;
uniform int uTextureMode;
in vec4 vColor;
in vec2 vTexCoord;
out vec4 fragColor;
void main() {
  vec4 color = vColor;
  if (uTextureMode == 1) {
    color *= texture(uTexture, vTexCoord);
  } else if (uTextureMode == 2) {
    vec4 texel = texture(uTexture, vTexCoord);
    color = vec4(texel.rgb, color.a * texel.a);
  }
  fragColor = color;
}
)";

struct Uniforms {
  GLint modelview, projection, normalMatrix, lighting, normalize, localViewer, colorMaterial;
  GLint materialAmbient, materialDiffuse, materialSpecular, materialEmission, shininess, sceneAmbient;
  GLint lightCount, lightAmbient, lightDiffuse, lightSpecular, lightPosition, lightSpot, lightAttenuation;
  GLint texture, textureMode;
};

struct Device {
  GLuint program = 0;
  Uniforms u{};
  GLuint streamBuffer = 0, streamArray = 0;
  std::vector<GLuint> meshArrays;  // per mesh handle - 1
  // What the device has now, to send only what changed.
  DrawState last{};
  bool lastValid = false;
  bool lightingValid = false;  // the lighting part of `last` was sent
  unsigned boundTexture = 0;
};

Device device;

GLuint compile(GLenum type, const char* source) {
  const GLuint shader = emscripten_glCreateShader(type);
  emscripten_glShaderSource(shader, 1, &source, nullptr);
  emscripten_glCompileShader(shader);
  GLint ok = 0;
  emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048];
    emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "velmora web GL: the lighting shader did not compile: %s\n", log);
  }
  return shader;
}

void describeLayout() {
  const GLsizei stride = sizeof(Vertex);
  emscripten_glEnableVertexAttribArray(0);
  emscripten_glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                                   reinterpret_cast<void*>(offsetof(Vertex, position)));
  emscripten_glEnableVertexAttribArray(1);
  emscripten_glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, normal)));
  emscripten_glEnableVertexAttribArray(2);
  emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, color)));
  emscripten_glEnableVertexAttribArray(3);
  emscripten_glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride,
                                   reinterpret_cast<void*>(offsetof(Vertex, texCoord)));
}

template <class T>
bool same(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Sends the state of one draw, group by group, where it differs from the last.
void applyState(const DrawState& s) {
  const DrawState& l = device.last;
  const bool all = !device.lastValid;
  const Uniforms& u = device.u;
  if (all || !same(s.modelview, l.modelview)) {
    emscripten_glUniformMatrix4fv(u.modelview, 1, GL_FALSE, s.modelview);
    emscripten_glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, s.normalMatrix);
  }
  if (all || !same(s.projection, l.projection)) emscripten_glUniformMatrix4fv(u.projection, 1, GL_FALSE, s.projection);
  if (all || s.lighting != l.lighting) emscripten_glUniform1i(u.lighting, s.lighting);
  if (s.lighting) {
    const bool all = !device.lightingValid;
    if (all || s.normalize != l.normalize) emscripten_glUniform1i(u.normalize, s.normalize);
    if (all || s.localViewer != l.localViewer) emscripten_glUniform1i(u.localViewer, s.localViewer);
    if (all || s.colorMaterial != l.colorMaterial) emscripten_glUniform1i(u.colorMaterial, s.colorMaterial);
    if (all || !same(s.materialAmbient, l.materialAmbient) || !same(s.materialDiffuse, l.materialDiffuse) ||
        !same(s.materialSpecular, l.materialSpecular) || !same(s.materialEmission, l.materialEmission) ||
        s.shininess != l.shininess) {
      emscripten_glUniform4fv(u.materialAmbient, 1, s.materialAmbient);
      emscripten_glUniform4fv(u.materialDiffuse, 1, s.materialDiffuse);
      emscripten_glUniform4fv(u.materialSpecular, 1, s.materialSpecular);
      emscripten_glUniform4fv(u.materialEmission, 1, s.materialEmission);
      emscripten_glUniform1f(u.shininess, s.shininess);
    }
    if (all || !same(s.sceneAmbient, l.sceneAmbient)) emscripten_glUniform4fv(u.sceneAmbient, 1, s.sceneAmbient);
    if (all || s.lightCount != l.lightCount || !same(s.lights, l.lights)) {
      emscripten_glUniform1i(u.lightCount, s.lightCount);
      float values[6][4 * MAX_LIGHTS];
      for (int i = 0; i < s.lightCount; ++i) {
        const ShaderLight& light = s.lights[i];
        std::memcpy(&values[0][4 * i], light.ambient, 16);
        std::memcpy(&values[1][4 * i], light.diffuse, 16);
        std::memcpy(&values[2][4 * i], light.specular, 16);
        std::memcpy(&values[3][4 * i], light.position, 16);
        std::memcpy(&values[4][4 * i], light.spotDirection, 16);
        std::memcpy(&values[5][4 * i], light.attenuation, 16);
      }
      if (s.lightCount > 0) {
        emscripten_glUniform4fv(u.lightAmbient, s.lightCount, values[0]);
        emscripten_glUniform4fv(u.lightDiffuse, s.lightCount, values[1]);
        emscripten_glUniform4fv(u.lightSpecular, s.lightCount, values[2]);
        emscripten_glUniform4fv(u.lightPosition, s.lightCount, values[3]);
        emscripten_glUniform4fv(u.lightSpot, s.lightCount, values[4]);
        emscripten_glUniform4fv(u.lightAttenuation, s.lightCount, values[5]);
      }
    }
  }
  if (all || s.textureMode != l.textureMode) emscripten_glUniform1i(u.textureMode, s.textureMode);
  if (s.textureMode != 0 && s.texture != device.boundTexture) {
    emscripten_glBindTexture(GL_TEXTURE_2D, s.texture);
    device.boundTexture = s.texture;
  }
  if (all || s.depthTest != l.depthTest) {
    if (s.depthTest) {
      emscripten_glEnable(GL_DEPTH_TEST);
    } else {
      emscripten_glDisable(GL_DEPTH_TEST);
    }
  }
  if (all || s.cullFace != l.cullFace || s.cullFaceMode != l.cullFaceMode) {
    if (s.cullFace) {
      emscripten_glEnable(GL_CULL_FACE);
      emscripten_glCullFace(s.cullFaceMode);
    } else {
      emscripten_glDisable(GL_CULL_FACE);
    }
  }
  // Unlit draws send no lighting uniforms: the record keeps the last ones sent.
  const DrawState sent = device.last;
  const bool lightingSent = device.lightingValid;
  device.last = s;
  if (!s.lighting) {
    DrawState& d = device.last;
    d.normalize = sent.normalize;
    d.localViewer = sent.localViewer;
    d.colorMaterial = sent.colorMaterial;
    std::memcpy(d.materialAmbient, sent.materialAmbient, sizeof d.materialAmbient);
    std::memcpy(d.materialDiffuse, sent.materialDiffuse, sizeof d.materialDiffuse);
    std::memcpy(d.materialSpecular, sent.materialSpecular, sizeof d.materialSpecular);
    std::memcpy(d.materialEmission, sent.materialEmission, sizeof d.materialEmission);
    d.shininess = sent.shininess;
    std::memcpy(d.sceneAmbient, sent.sceneAmbient, sizeof d.sceneAmbient);
    d.lightCount = sent.lightCount;
    std::memcpy(d.lights, sent.lights, sizeof d.lights);
  }
  device.lightingValid = lightingSent || s.lighting;
  device.lastValid = true;
}

}  // namespace

bool backendInit(const char* canvasSelector) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(canvasSelector, &attributes);
  if (context <= 0) return false;
  emscripten_webgl_make_context_current(context);

  const GLuint program = emscripten_glCreateProgram();
  emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, VERTEX_SHADER));
  emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
  emscripten_glLinkProgram(program);
  GLint linked = 0;
  emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    char log[2048];
    emscripten_glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "velmora web GL: the lighting shader did not link: %s\n", log);
    return false;
  }
  emscripten_glUseProgram(program);
  device.program = program;
  Uniforms& u = device.u;
  const auto at = [program](const char* name) { return emscripten_glGetUniformLocation(program, name); };
  u.modelview = at("uModelview");
  u.projection = at("uProjection");
  u.normalMatrix = at("uNormalMatrix");
  u.lighting = at("uLighting");
  u.normalize = at("uNormalize");
  u.localViewer = at("uLocalViewer");
  u.colorMaterial = at("uColorMaterial");
  u.materialAmbient = at("uMaterialAmbient");
  u.materialDiffuse = at("uMaterialDiffuse");
  u.materialSpecular = at("uMaterialSpecular");
  u.materialEmission = at("uMaterialEmission");
  u.shininess = at("uShininess");
  u.sceneAmbient = at("uSceneAmbient");
  u.lightCount = at("uLightCount");
  u.lightAmbient = at("uLightAmbient");
  u.lightDiffuse = at("uLightDiffuse");
  u.lightSpecular = at("uLightSpecular");
  u.lightPosition = at("uLightPosition");
  u.lightSpot = at("uLightSpot");
  u.lightAttenuation = at("uLightAttenuation");
  u.texture = at("uTexture");
  u.textureMode = at("uTextureMode");
  emscripten_glUniform1i(u.texture, 0);

  emscripten_glGenVertexArrays(1, &device.streamArray);
  emscripten_glGenBuffers(1, &device.streamBuffer);
  emscripten_glBindVertexArray(device.streamArray);
  emscripten_glBindBuffer(GL_ARRAY_BUFFER, device.streamBuffer);
  describeLayout();
  emscripten_glDepthFunc(GL_LESS);
  emscripten_glFrontFace(GL_CCW);
  return true;
}

void backendViewport(int x, int y, int width, int height) { emscripten_glViewport(x, y, width, height); }

void backendClear(bool color, bool depth, const float clearColor[4]) {
  emscripten_glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
  emscripten_glClearDepthf(1);
  emscripten_glClear((color ? GL_COLOR_BUFFER_BIT : 0) | (depth ? GL_DEPTH_BUFFER_BIT : 0));
}

void backendDrawTriangles(const Vertex* vertices, int count, const DrawState& state) {
  applyState(state);
  emscripten_glBindVertexArray(device.streamArray);
  emscripten_glBindBuffer(GL_ARRAY_BUFFER, device.streamBuffer);
  // A new store for every draw: the last draw may still read the old one.
  const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(Vertex);
  emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), vertices, GL_STREAM_DRAW);
  emscripten_glDrawArrays(GL_TRIANGLES, 0, count);
}

unsigned backendCreateMesh(const Vertex* vertices, int count) {
  GLuint array = 0, buffer = 0;
  emscripten_glGenVertexArrays(1, &array);
  emscripten_glGenBuffers(1, &buffer);
  emscripten_glBindVertexArray(array);
  emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
  emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Vertex)), vertices, GL_STATIC_DRAW);
  describeLayout();
  device.meshArrays.push_back(array);
  return static_cast<unsigned>(device.meshArrays.size());
}

void backendDrawMesh(unsigned mesh, int count, const DrawState& state) {
  applyState(state);
  emscripten_glBindVertexArray(device.meshArrays[mesh - 1]);
  emscripten_glDrawArrays(GL_TRIANGLES, 0, count);
}

unsigned backendCreateTexture() {
  GLuint texture = 0;
  emscripten_glGenTextures(1, &texture);
  return texture;
}

void backendTextureImage(unsigned texture, int width, int height, int channels, const std::uint8_t* pixels,
                         bool mipmaps) {
  emscripten_glBindTexture(GL_TEXTURE_2D, texture);
  emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  emscripten_glTexImage2D(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA8 : GL_RGB8, width, height, 0,
                          channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels);
  if (mipmaps) emscripten_glGenerateMipmap(GL_TEXTURE_2D);
  device.boundTexture = texture;
}

void backendTextureParameters(unsigned texture, const TextureParameters& p) {
  emscripten_glBindTexture(GL_TEXTURE_2D, texture);
  // GL_CLAMP samples the border colour at the edge; WebGL has only the edge's own texels.
  const auto wrap = [](unsigned mode) -> GLint {
    if (mode == 0x2900) return GL_CLAMP_TO_EDGE;
    return static_cast<GLint>(mode);
  };
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(p.minFilter));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(p.magFilter));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap(p.wrapS));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap(p.wrapT));
  device.boundTexture = texture;
}

void backendFinish() {
  unsigned char pixel[4];
  emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

}  // namespace webgl
