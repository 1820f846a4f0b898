// Functions the page and its tests call from JavaScript: the hit records of a
// pick at a pixel, and frame timing.
#include <emscripten.h>

#include <string>

#include "app/shell/picking.h"
#include "web/glut_web.h"

extern "C" {

// The hit records of a pick at (x, y), window pixels counted from the bottom
// left, as JSON: [{"names":[...],"zmin":..,"zmax":..}, ...]. The string lives
// until the next call.
EMSCRIPTEN_KEEPALIVE const char* webPickRecords(int x, int y) {
  static std::string json;
  const PickHits hits = selectAt(x, y);
  json = "{\"count\":" + std::to_string(hits.count) + ",\"records\":[";
  for (std::size_t i = 0; i < hits.records.size(); ++i) {
    const HitRecord& r = hits.records[i];
    json += i > 0 ? ",{" : "{";
    json += "\"zmin\":" + std::to_string(r.depthMin) + ",\"zmax\":" + std::to_string(r.depthMax) + ",\"names\":[";
    for (std::size_t n = 0; n < r.names.size(); ++n) json += (n > 0 ? "," : "") + std::to_string(r.names[n]);
    json += "]}";
  }
  json += "]}";
  return json.c_str();
}

// The median milliseconds of `count` frames drawn back to back, each finished on the device.
EMSCRIPTEN_KEEPALIVE double webTimeFrames(int count) { return timeFrames(count > 0 ? count : 1); }

}  // extern "C"
