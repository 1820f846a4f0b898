// Loading, models: glmReadOBJ with the in-memory scanner and with the stdio
// reference next to tinyobjloader on the bunny and a generated 100+ MB OBJ, a
// model that switches material and names its library on every other face next
// to the same geometry without, then the kart's start-up load taken apart.
#include <tiny_obj_loader.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "benchmark/velmora_bench/bench_figures.h"
#include "benchmark/velmora_bench/load_big_obj.h"
#include "benchmark/velmora_bench/load_kart.h"
#include "benchmark/velmora_bench/load_timing.h"
#include "glm/glm.h"
#include "tests/reference/model_compare.h"
#include "tests/reference/stdio_scanner.h"

namespace {

struct ReadFigures {
  std::vector<double> seconds;
  unsigned long long vertices = 0;
  unsigned long long triangles = 0;
  bool failed = false;
};

std::unique_ptr<ObjModel> readGlm(const std::string& path, ScannerKind kind, double* seconds) {
  const ScannerKind previous = glmSetScannerKind(kind);
  std::unique_ptr<ObjModel> model;
  ReadStatus status;
  *seconds = secondsOf([&] { status = glmReadOBJChecked(path.c_str(), &model); });
  glmSetScannerKind(previous);
  if (!status.ok()) std::printf("  glmReadOBJ failed: %s", status.message.c_str());
  return model;
}

void runGlm(const std::string& path, ScannerKind kind, ReadFigures& figures) {
  double seconds = 0;
  std::unique_ptr<ObjModel> model = readGlm(path, kind, &seconds);
  if (!model) {
    figures.failed = true;
    return;
  }
  figures.seconds.push_back(seconds);
  figures.vertices = model->nvertices;
  figures.triangles = model->ntris;
}

// tinyobjloader as an application would call it for the same model: triangulated
// faces, no vertex colours (glmReadOBJ reads none either).
void runTinyobj(const std::string& path, ReadFigures& figures) {
  tinyobj::ObjReaderConfig config;
  config.triangulate = true;
  config.vertex_color = false;
  tinyobj::ObjReader reader;
  bool ok = false;
  const double seconds = secondsOf([&] { ok = reader.ParseFromFile(path, config); });
  if (!ok) {
    std::printf("  tinyobjloader failed: %s\n", reader.Error().c_str());
    figures.failed = true;
    return;
  }
  figures.seconds.push_back(seconds);
  figures.vertices = reader.GetAttrib().vertices.size() / 3;
  figures.triangles = 0;
  for (const tinyobj::shape_t& shape : reader.GetShapes()) figures.triangles += shape.mesh.num_face_vertices.size();
}

std::uint64_t fileBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

std::string rateText(ReadFigures& figures, double bytes) {
  if (figures.failed || figures.seconds.empty()) return "failed";
  const double seconds = medianOf(figures.seconds);
  char text[64];
  std::snprintf(text, sizeof text, "%7.1f MB/s (%8.2f ms)", megabytesPerSecond(bytes, seconds), seconds * 1000);
  return text;
}

// Reads `path` every way, `runs` times each, interleaved so that a change in the
// machine's load touches all of them alike. Returns {fast, stdio, tinyobj} MB/s.
struct FileRates {
  double fast = -1, stdio = -1, tinyobj = -1;
};

FileRates compareOnFile(const char* label, const std::string& path, int runs, int stdioRuns) {
  FileRates rates;
  const std::uint64_t bytes = fileBytes(path);
  if (bytes == 0) {
    std::printf("%-22s not found: %s\n", label, path.c_str());
    return rates;
  }
  // Warm-up, which also brings the file into the page cache, and the check that
  // both scanners give the same model.
  double ignored = 0;
  std::unique_ptr<ObjModel> fast = readGlm(path, ScannerKind::BUFFER, &ignored);
  std::unique_ptr<ObjModel> reference = readGlm(path, ScannerKind::STDIO, &ignored);
  std::string sameness = "no model";
  if (fast && reference) {
    const std::string difference = glmModelDifference(*fast, *reference);
    sameness = difference.empty() ? "identical" : "DIFFERENT: " + difference;
  }
  fast.reset();
  reference.reset();
  ReadFigures warm;
  runTinyobj(path, warm);

  ReadFigures glmFast, glmStdio, tiny;
  for (int i = 0; i < runs; ++i) {
    runGlm(path, ScannerKind::BUFFER, glmFast);
    runTinyobj(path, tiny);
    if (i < stdioRuns) runGlm(path, ScannerKind::STDIO, glmStdio);
  }
  const double size = static_cast<double>(bytes);
  std::printf("%-22s %8.2f MB  fast %s | stdio %s | tinyobjloader %s\n", label, size / 1e6,
              rateText(glmFast, size).c_str(), rateText(glmStdio, size).c_str(), rateText(tiny, size).c_str());
  std::printf("%-22s glmReadOBJ %llu vertices, %llu triangles; tinyobjloader %llu vertices, %llu triangles; "
              "fast and stdio models: %s\n",
              "", glmFast.vertices, glmFast.triangles, tiny.vertices, tiny.triangles, sameness.c_str());
  if (!glmFast.failed) rates.fast = megabytesPerSecond(size, medianOf(glmFast.seconds));
  if (!glmStdio.failed) rates.stdio = megabytesPerSecond(size, medianOf(glmStdio.seconds));
  if (!tiny.failed) rates.tinyobj = megabytesPerSecond(size, medianOf(tiny.seconds));
  return rates;
}

double loadAverage() {
  double load = -1;
  if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(file, "%lf", &load) != 1) load = -1;
    std::fclose(file);
  }
  return load;
}

// Material lookups and library reads must cost what the lines cost: the
// switching model should load about as fast as the same geometry without.
void compareMaterialSwitching(const BenchOptions& options) {
  const MaterialObjFiles files = makeMaterialObjs(options.scratchDir);
  if (files.switching.empty()) {
    std::printf("material switching: cannot write into %s\n", options.scratchDir.c_str());
    return;
  }
  double ignored = 0;
  std::unique_ptr<ObjModel> check = readGlm(files.switching, ScannerKind::BUFFER, &ignored);
  const bool read = check != nullptr && readGlm(files.plain, ScannerKind::BUFFER, &ignored) != nullptr;
  check.reset();
  if (!read) return;
  std::vector<double> switching, plain;
  for (int i = 0, runs = options.quick ? 3 : 9; i < runs; ++i) {
    double seconds = 0;
    readGlm(files.switching, ScannerKind::BUFFER, &seconds);
    switching.push_back(seconds);
    readGlm(files.plain, ScannerKind::BUFFER, &seconds);
    plain.push_back(seconds);
  }
  const double switchingMs = medianOf(switching) * 1000, plainMs = medianOf(plain) * 1000;
  std::printf("material switching: %u usemtl lines over %u materials and %u mtllib lines naming one library: "
              "%.1f ms\n",
              files.usemtlLines, files.materials, files.mtllibLines, switchingMs);
  std::printf("material switching: the same %u triangles with one usemtl and one mtllib: %.1f ms (switching takes "
              "%.2fx)\n",
              files.triangles, plainMs, switchingMs / plainMs);
}

}  // namespace

void runObjSection(const BenchOptions& options, BenchFigures& figures) {
  std::printf("\n== Loading: OBJ models ==\n");
  std::printf("load average at start: %.2f\n", loadAverage());
  const int bunnyRuns = options.quick ? 5 : 21;
  const int bigRuns = options.quick ? 3 : 5;

  std::printf("glmReadOBJ (checked API, as the scene reads a model) with the in-memory scanner (fast) and the\n"
              "stdio reference scanner (stdio), tinyobjloader %s with triangulation; medians, MB = 10^6 bytes.\n",
              "(Debian's build)");

  const std::string bunny = options.testdataDir + "/obj/real/bunny.obj";
  compareOnFile("bunny.obj", bunny, bunnyRuns, bunnyRuns);

  BigObjFile big;
  const double makeSeconds = secondsOf([&] { big = makeBigObj(options.scratchDir, options.bigObjMegabytes); });
  if (big.path.empty()) {
    std::printf("generated OBJ: cannot write into %s\n", options.scratchDir.c_str());
  } else {
    std::printf("generated OBJ: %s, %.2f MB, %u vertices, %u triangles (%s in %.1f s)\n", big.path.c_str(),
                big.bytes / 1e6, big.vertices, big.triangles, big.reused ? "found intact" : "written", makeSeconds);
    const FileRates rates = compareOnFile("generated terrain", big.path, bigRuns, options.quick ? 1 : 3);
    figures.objMbPerS = rates.fast;
    figures.tinyobjMbPerS = rates.tinyobj;
    if (rates.fast > 0 && rates.tinyobj > 0) {
      std::printf("big OBJ: glmReadOBJ %.1f MB/s against tinyobjloader %.1f MB/s (%.2fx); stdio reference %.1f MB/s\n",
                  rates.fast, rates.tinyobj, rates.fast / rates.tinyobj, rates.stdio);
    }
  }

  compareMaterialSwitching(options);
  runKartLoading(options.quick ? 5 : 21);
}
