// A terrain of height-field tiles, written tile by tile. The heights come from
// integer hashing (no libm), so the bytes depend on nothing but this code.
#include "benchmark/velmora_bench/load_big_obj.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/output_file.h"

namespace {

constexpr int GENERATOR_VERSION = 1;
constexpr int TILE_CELLS = 64;  // quads along a tile side
constexpr int TILE_POINTS = TILE_CELLS + 1;
constexpr int TILES_PER_ROW = 64;
constexpr double TILE_SIZE = 16.0;

std::uint64_t mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdull;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ull;
  x ^= x >> 33;
  return x;
}

// Value noise in [0, 1) at a lattice point.
double lattice(std::int64_t x, std::int64_t z, std::uint64_t seed) {
  return static_cast<double>(mix(static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                                 static_cast<std::uint64_t>(z) * 0xC2B2AE3D27D4EB4Full ^ seed) >>
                             11) /
         9007199254740992.0;
}

double smooth(double t) { return t * t * (3 - 2 * t); }

double valueNoise(double x, double z, std::uint64_t seed) {
  const double fx = std::floor(x), fz = std::floor(z);
  const auto ix = static_cast<std::int64_t>(fx), iz = static_cast<std::int64_t>(fz);
  const double tx = smooth(x - fx), tz = smooth(z - fz);
  const double a = lattice(ix, iz, seed), b = lattice(ix + 1, iz, seed);
  const double c = lattice(ix, iz + 1, seed), d = lattice(ix + 1, iz + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * tz;
}

double height(double x, double z) {
  return 40.0 * valueNoise(x / 97.0, z / 97.0, 1) + 9.0 * valueNoise(x / 23.0, z / 23.0, 2) +
         1.5 * valueNoise(x / 4.0, z / 4.0, 3) - 25.0;
}

// How a tile is written: corner form, polygon kind, number style, index style.
struct TileStyle {
  const char* form;  // "v/t/n", "v//n", "v/t", "v"
  bool quads;
  int style;        // 0: "%.6f", 1: "%.4f" (normals) "%g" (others), 2: "%e"
  bool relative;    // negative indices
};

TileStyle styleOf(int tile) {
  static const char* const FORMS[] = {"v/t/n", "v/t/n", "v/t/n", "v//n", "v/t", "v", "v/t/n", "v//n"};
  TileStyle style;
  style.form = FORMS[tile % 8];
  style.quads = tile % 3 != 2;
  style.style = tile % 11 == 5 ? 2 : (tile % 4 == 1 ? 1 : 0);
  style.relative = tile % 13 == 7;
  return style;
}

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  out.append(buffer, static_cast<size_t>(n));
}

void appendNumber(std::string& out, double value, int style) {
  switch (style) {
    case 1:
      appendf(out, " %g", value);
      break;
    case 2:
      appendf(out, " %e", value);
      break;
    default:
      appendf(out, " %.6f", value);
  }
}

struct Counts {
  std::uint64_t vertices = 0, uvs = 0, normals = 0, triangles = 0;
};

void appendCorner(std::string& out, const TileStyle& style, const Counts& before, const Counts& after,
                  std::uint64_t local) {
  // Positive: absolute 1-based; relative: counted back from the last element written.
  auto index = [&](std::uint64_t base, std::uint64_t total) -> long long {
    return style.relative ? static_cast<long long>(base + local + 1) - static_cast<long long>(total) - 1
                          : static_cast<long long>(base + local + 1);
  };
  const long long v = index(before.vertices, after.vertices);
  const long long t = index(before.uvs, after.uvs);
  const long long n = index(before.normals, after.normals);
  if (std::strcmp(style.form, "v/t/n") == 0) {
    appendf(out, " %lld/%lld/%lld", v, t, n);
  } else if (std::strcmp(style.form, "v//n") == 0) {
    appendf(out, " %lld//%lld", v, n);
  } else if (std::strcmp(style.form, "v/t") == 0) {
    appendf(out, " %lld/%lld", v, t);
  } else {
    appendf(out, " %lld", v);
  }
}

// One tile: its vertices, texture coordinates, normals and faces.
void appendTile(std::string& out, int tile, Counts& counts) {
  const TileStyle style = styleOf(tile);
  const double x0 = (tile % TILES_PER_ROW) * TILE_SIZE, z0 = (tile / TILES_PER_ROW) * TILE_SIZE;
  const double step = TILE_SIZE / TILE_CELLS;
  appendf(out, "g tile_%d\n", tile);
  out += tile % 2 == 0 ? "s 1\n" : "s off\n";
  const bool hasUv = std::strstr(style.form, "/t") != nullptr;
  const bool hasNormal = style.form[std::strlen(style.form) - 1] == 'n';
  for (int j = 0; j < TILE_POINTS; ++j) {
    for (int i = 0; i < TILE_POINTS; ++i) {
      const double x = x0 + i * step, z = z0 + j * step;
      out += 'v';
      appendNumber(out, x, style.style);
      appendNumber(out, height(x, z), style.style);
      appendNumber(out, z, style.style);
      out += '\n';
    }
  }
  if (hasUv) {
    for (int j = 0; j < TILE_POINTS; ++j) {
      for (int i = 0; i < TILE_POINTS; ++i) {
        out += "vt";
        appendNumber(out, static_cast<double>(i) / TILE_CELLS, style.style);
        appendNumber(out, static_cast<double>(j) / TILE_CELLS, style.style);
        out += '\n';
      }
    }
  }
  if (hasNormal) {
    for (int j = 0; j < TILE_POINTS; ++j) {
      for (int i = 0; i < TILE_POINTS; ++i) {
        const double x = x0 + i * step, z = z0 + j * step;
        const double dx = height(x + step, z) - height(x - step, z);
        const double dz = height(x, z + step) - height(x, z - step);
        const double nx = -dx, ny = 2 * step, nz = -dz;
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        out += "vn";
        // Exporters write normals with fewer digits.
        const int normalStyle = style.style == 0 ? 1 : style.style;
        appendNumber(out, nx / length, normalStyle);
        appendNumber(out, ny / length, normalStyle);
        appendNumber(out, nz / length, normalStyle);
        out += '\n';
      }
    }
  }
  Counts before = counts;
  counts.vertices += TILE_POINTS * TILE_POINTS;
  if (hasUv) counts.uvs += TILE_POINTS * TILE_POINTS;
  if (hasNormal) counts.normals += TILE_POINTS * TILE_POINTS;
  for (int j = 0; j < TILE_CELLS; ++j) {
    for (int i = 0; i < TILE_CELLS; ++i) {
      const std::uint64_t a = static_cast<std::uint64_t>(j) * TILE_POINTS + i, b = a + 1;
      const std::uint64_t c = a + TILE_POINTS + 1, d = a + TILE_POINTS;
      if (style.quads) {
        out += 'f';
        for (std::uint64_t k : {a, b, c, d}) appendCorner(out, style, before, counts, k);
        out += '\n';
        counts.triangles += 2;
      } else {
        out += 'f';
        for (std::uint64_t k : {a, b, c}) appendCorner(out, style, before, counts, k);
        out += "\nf";
        for (std::uint64_t k : {a, c, d}) appendCorner(out, style, before, counts, k);
        out += '\n';
        counts.triangles += 2;
      }
    }
  }
}

// 64-bit FNV-1a over 8-byte words: quick enough to check 100 MB at every run.
std::uint64_t hashBytes(const char* data, size_t size, std::uint64_t hash) {
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    hash = (hash ^ word) * 0x100000001b3ull;
  }
  for (; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ull;
  return hash;
}

constexpr std::uint64_t HASH_START = 0xcbf29ce484222325ull;

// Hash of a file read in the same chunks it is written in; 0 when unreadable.
std::uint64_t hashFile(const std::string& path, std::uint64_t* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::vector<char> chunk(1 << 20);
  std::uint64_t hash = HASH_START;
  *bytes = 0;
  size_t got;
  // Whole 8-byte words per chunk keep the hash independent of where chunks end.
  while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
    hash = hashBytes(chunk.data(), got, hash);
    *bytes += got;
  }
  std::fclose(file);
  return hash;
}

struct Stamp {
  int version = 0;
  int megabytes = 0;
  std::uint64_t bytes = 0, hash = 0;
  unsigned vertices = 0, triangles = 0;
};

bool readStamp(const std::string& path, Stamp* stamp) {
  std::ifstream in(path);
  return static_cast<bool>(in >> stamp->version >> stamp->megabytes >> stamp->bytes >> stamp->hash >>
                           stamp->vertices >> stamp->triangles);
}

}  // namespace

BigObjFile makeBigObj(const std::string& folder, int megabytes) {
  BigObjFile result;
  if (megabytes < 1) megabytes = 1;
  if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return result;
  const std::string path = folder + "/terrain-" + std::to_string(megabytes) + "mb.obj";
  const std::string stampPath = path + ".stamp";

  Stamp stamp;
  if (readStamp(stampPath, &stamp) && stamp.version == GENERATOR_VERSION && stamp.megabytes == megabytes) {
    std::uint64_t bytes = 0;
    if (hashFile(path, &bytes) == stamp.hash && bytes == stamp.bytes) {
      result.path = path;
      result.bytes = bytes;
      result.vertices = stamp.vertices;
      result.triangles = stamp.triangles;
      result.reused = true;
      return result;
    }
  }

  OutputFile output(path);
  std::FILE* file = output.stream();
  if (file == nullptr) return result;
  const std::uint64_t target = static_cast<std::uint64_t>(megabytes) * 1000000;
  std::string text =
      "# Velmora benchmark terrain: height-field tiles, one group each.\n"
      "# Made by velmora-bench; deterministic.\n"
      "o terrain\n";
  Counts counts;
  std::uint64_t written = 0;
  std::uint64_t hash = HASH_START;
  // Chunks are written whole-word aligned so that hashFile's chunking agrees.
  std::string pending;
  bool ok = true;
  auto flush = [&](bool last) {
    size_t size = last ? pending.size() : pending.size() / 8 * 8;
    hash = hashBytes(pending.data(), size, hash);
    ok = ok && std::fwrite(pending.data(), 1, size, file) == size;
    written += size;
    pending.erase(0, size);
  };
  pending = text;
  for (int tile = 0; written + pending.size() < target; ++tile) {
    appendTile(pending, tile, counts);
    if (pending.size() > (1u << 20)) flush(false);
  }
  flush(true);
  ok = ok && output.commit().empty();
  if (!ok) return result;

  std::ostringstream out;
  out << GENERATOR_VERSION << ' ' << megabytes << ' ' << written << ' ' << hash << ' ' << counts.vertices << ' '
      << counts.triangles << '\n';
  const std::string stampText = out.str();
  writeOutputFile(stampPath, stampText.data(), stampText.size());  // without it the file is only made again
  result.path = path;
  result.bytes = written;
  result.vertices = static_cast<unsigned>(counts.vertices);
  result.triangles = static_cast<unsigned>(counts.triangles);
  return result;
}

namespace {

constexpr unsigned MATERIAL_COUNT = 20000;
constexpr unsigned USEMTL_LINES = 100000;
constexpr unsigned MTLLIB_LINES = 20000;
constexpr unsigned GRID_SIDE = 448;  // 447 x 447 cells = 199,809 quads, about the 200,000 promised

bool writeText(const std::string& path, const std::string& text) {
  return writeOutputFile(path, text.data(), text.size()).empty();
}

}  // namespace

MaterialObjFiles makeMaterialObjs(const std::string& folder) {
  MaterialObjFiles files;
  if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return files;
  std::string library;
  for (unsigned m = 0; m < MATERIAL_COUNT; ++m) {
    appendf(library, "newmtl mat_%u\nKd %.3f %.3f %.3f\nNs 96\n", m, (m % 97) / 96.0, (m % 89) / 88.0, (m % 83) / 82.0);
  }
  std::string grid;
  for (unsigned j = 0; j < GRID_SIDE; ++j) {
    for (unsigned i = 0; i < GRID_SIDE; ++i) appendf(grid, "v %u %u 0\n", i, j);
  }
  std::string switching = grid, plain = "mtllib mats.mtl\n" + grid + "usemtl mat_0\n";
  const unsigned cells = (GRID_SIDE - 1) * (GRID_SIDE - 1);
  unsigned usemtl = 0, mtllib = 0;
  for (unsigned cell = 0; cell < cells; ++cell) {
    const unsigned i = cell % (GRID_SIDE - 1), j = cell / (GRID_SIDE - 1);
    const unsigned a = j * GRID_SIDE + i + 1;
    // The switches and the library lines spread evenly over the faces, as an
    // exporter writes them per object.
    if (mtllib < MTLLIB_LINES && cell * std::uint64_t(MTLLIB_LINES) / cells >= mtllib) {
      switching += "mtllib mats.mtl\n";
      ++mtllib;
    }
    if (usemtl < USEMTL_LINES && cell * std::uint64_t(USEMTL_LINES) / cells >= usemtl) {
      appendf(switching, "usemtl mat_%u\n", usemtl * 7919u % MATERIAL_COUNT);
      ++usemtl;
    }
    std::string face;
    appendf(face, "f %u %u %u %u\n", a, a + 1, a + 1 + GRID_SIDE, a + GRID_SIDE);
    switching += face;
    plain += face;
  }
  const std::string switchingPath = folder + "/materials-switching.obj", plainPath = folder + "/materials-plain.obj";
  if (!writeText(folder + "/mats.mtl", library) || !writeText(switchingPath, switching) ||
      !writeText(plainPath, plain)) {
    return files;
  }
  files.switching = switchingPath;
  files.plain = plainPath;
  files.materials = MATERIAL_COUNT;
  files.usemtlLines = usemtl;
  files.mtllibLines = mtllib;
  files.triangles = 2 * cells;
  return files;
}
