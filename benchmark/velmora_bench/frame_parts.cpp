// Parts of the frame drawn alone, and the driver's pipeline counts for them.
#define GL_GLEXT_PROTOTYPES
#include "benchmark/velmora_bench/frame_parts.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <vector>

#include "app/shell/shell.h"
#include "scene/culling/object_drawing.h"
#include "scene/frame.h"

namespace {

unsigned partOf(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::SKY_BOX:
      return PART_SKY_BOX;
    case ObjectKind::KART:
      return PART_KARTS;
    case ObjectKind::GRASS:
      return PART_GRASS;
    case ObjectKind::BENCH:
    case ObjectKind::SIGNBOARD:
      return PART_BENCHES;
    case ObjectKind::OTHER:
      break;
  }
  return PART_NONE;
}

// The culled drawing, passing on only the objects of some parts.
class PartDrawing : public ObjectDrawing {
 public:
  explicit PartDrawing(unsigned parts) : parts_(parts) {}
  void drawObject(const SceneObject& object) override {
    if (partOf(object.kind) & parts_) {
      culledDrawing().drawObject(object);
    } else if (object.whenLeftOut) {
      object.whenLeftOut(object);
    }
  }
  void drawGroundCells() override {
    if (parts_ & PART_GROUND) culledDrawing().drawGroundCells();
  }

 private:
  unsigned parts_;
};

bool hasPipelineStatistics() {
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return extensions != nullptr && std::strstr(extensions, "GL_ARB_pipeline_statistics_query") != nullptr;
}

}  // namespace

const char* framePartName(unsigned part) {
  switch (part) {
    case PART_NONE:
      return "clear, lights and camera, swap";
    case PART_SKY_BOX:
      return "sky box";
    case PART_GROUND:
      return "ground";
    case PART_KARTS:
      return "karts (3)";
    case PART_GRASS:
      return "grass (4 patches)";
    case PART_BENCHES:
      return "benches and signboard";
  }
  return "?";
}

void displayParts(unsigned parts) {
  PartDrawing drawing(parts);
  ObjectDrawing* const before = setObjectDrawing(&drawing);
  display();
  setObjectDrawing(before);
}

long pixelsDrawn(unsigned parts) {
  PartDrawing drawing(parts);
  ObjectDrawing* const before = setObjectDrawing(&drawing);
  drawFrame();
  setObjectDrawing(before);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<unsigned char> pixels(static_cast<size_t>(viewport[2]) * viewport[3] * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  long drawn = 0;
  for (size_t p = 0; p < pixels.size(); p += 4) drawn += (pixels[p] | pixels[p + 1] | pixels[p + 2]) != 0;
  return drawn;
}

PipelineCounts countPipeline(void (*draw)(unsigned), unsigned parts) {
  PipelineCounts counts;
  if (!hasPipelineStatistics()) {
    draw(parts);
    return counts;
  }
  GLuint queries[3];
  const GLenum targets[3] = {GL_VERTEX_SHADER_INVOCATIONS_ARB, GL_PRIMITIVES_SUBMITTED_ARB,
                             GL_CLIPPING_INPUT_PRIMITIVES_ARB};
  glGenQueries(3, queries);
  for (int q = 0; q < 3; ++q) glBeginQuery(targets[q], queries[q]);
  draw(parts);
  long long* results[3] = {&counts.verticesShaded, &counts.primitives, &counts.clipped};
  for (int q = 0; q < 3; ++q) {
    glEndQuery(targets[q]);
    GLuint64 value = 0;
    glGetQueryObjectui64v(queries[q], GL_QUERY_RESULT, &value);
    *results[q] = static_cast<long long>(value);
  }
  glDeleteQueries(3, queries);
  return counts;
}
