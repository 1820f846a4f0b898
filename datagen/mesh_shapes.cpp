// Solid shapes for the model builders.
#include "datagen/mesh_shapes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace datagen {

Frame frameAlong(Vec3 origin, Vec3 axis, Vec3 uHint) {
  Frame f;
  f.origin = origin;
  f.w = normalize(axis);
  Vec3 u = uHint - f.w * dot(uHint, f.w);
  f.u = length(u) > 1e-9 ? normalize(u) : anyPerpendicular(f.w);
  f.v = cross(f.w, f.u);
  return f;
}

namespace {

void addQuadFace(MeshBuilder& b, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 normal) {
  b.polygon({b.vertex(p0, normal, {0, 0}), b.vertex(p1, normal, {1, 0}), b.vertex(p2, normal, {1, 1}),
             b.vertex(p3, normal, {0, 1})});
}

}  // namespace

void addBox(MeshBuilder& b, const Frame& f, Vec3 h) {
  auto P = [&](double su, double sv, double sw) { return f.at(su * h.x, sv * h.y, sw * h.z); };
  addQuadFace(b, P(1, -1, -1), P(1, 1, -1), P(1, 1, 1), P(1, -1, 1), f.u);
  addQuadFace(b, P(-1, -1, -1), P(-1, -1, 1), P(-1, 1, 1), P(-1, 1, -1), -f.u);
  addQuadFace(b, P(-1, 1, -1), P(-1, 1, 1), P(1, 1, 1), P(1, 1, -1), f.v);
  addQuadFace(b, P(-1, -1, -1), P(1, -1, -1), P(1, -1, 1), P(-1, -1, 1), -f.v);
  addQuadFace(b, P(-1, -1, 1), P(1, -1, 1), P(1, 1, 1), P(-1, 1, 1), f.w);
  addQuadFace(b, P(-1, -1, -1), P(-1, 1, -1), P(1, 1, -1), P(1, -1, -1), -f.w);
}

void addPrism(MeshBuilder& b, const Frame& f, const std::vector<Vec2>& outline, double depth) {
  const size_t n = outline.size();
  double minU = outline[0].x, maxU = minU, minV = outline[0].y, maxV = minV;
  for (const Vec2& p : outline) {
    minU = std::min(minU, p.x), maxU = std::max(maxU, p.x);
    minV = std::min(minV, p.y), maxV = std::max(maxV, p.y);
  }
  auto uvOf = [&](Vec2 p) { return Vec2{(p.x - minU) / (maxU - minU), (p.y - minV) / (maxV - minV)}; };
  std::vector<int> front, back;
  for (const Vec2& p : outline) {
    front.push_back(b.vertex(f.at(p.x, p.y, depth), f.w, uvOf(p)));
    back.push_back(b.vertex(f.at(p.x, p.y, 0), -f.w, uvOf(p)));
  }
  b.polygon(front);
  b.polygon(back);
  Vec2 centre{};
  for (const Vec2& p : outline) centre = centre + p * (1.0 / n);
  for (size_t i = 0; i < n; ++i) {
    Vec2 p = outline[i], q = outline[(i + 1) % n];
    Vec2 edge = q - p;
    Vec3 normal = normalize(f.dir(edge.y, -edge.x, 0));
    if (dot(f.dir(p.x - centre.x, p.y - centre.y, 0), normal) < 0) normal = -normal;
    addQuadFace(b, f.at(p.x, p.y, 0), f.at(q.x, q.y, 0), f.at(q.x, q.y, depth), f.at(p.x, p.y, depth), normal);
  }
}

std::vector<Vec3> roundCorners(const std::vector<Vec3>& corners, double radius, double maxStep, bool closed) {
  const size_t n = corners.size();
  std::vector<Vec3> out;
  for (size_t i = 0; i < n; ++i) {
    bool interior = closed || (i > 0 && i + 1 < n);
    if (!interior) {
      out.push_back(corners[i]);
      continue;
    }
    Vec3 prev = corners[(i + n - 1) % n], here = corners[i], next = corners[(i + 1) % n];
    Vec3 din = normalize(here - prev), dout = normalize(next - here);
    double turn = std::acos(std::clamp(dot(din, dout), -1.0, 1.0));
    if (turn < 1e-6) {
      out.push_back(here);
      continue;
    }
    // Arc tangent to both legs, kept within half of each leg.
    double r = std::min({radius, 0.5 * length(here - prev) / std::tan(turn / 2),
                         0.5 * length(next - here) / std::tan(turn / 2)});
    double cut = r * std::tan(turn / 2);
    Vec3 start = here - din * cut;
    Vec3 toCentre = normalize(dout - din * dot(dout, din));
    Vec3 centre = start + toCentre * r;
    Vec3 axis = normalize(cross(din, dout));
    int steps = std::max(1, static_cast<int>(std::ceil(turn / maxStep)));
    for (int s = 0; s <= steps; ++s) {
      out.push_back(centre + rotateAbout(start - centre, axis, turn * s / steps));
    }
  }
  return out;
}

std::vector<Vec3> roundedPolygon(const std::vector<Vec3>& corners, double radius, int steps) {
  const size_t n = corners.size();
  std::vector<Vec3> out;
  for (size_t i = 0; i < n; ++i) {
    Vec3 prev = corners[(i + n - 1) % n], here = corners[i], next = corners[(i + 1) % n];
    Vec3 din = normalize(here - prev), dout = normalize(next - here);
    double turn = std::acos(std::clamp(dot(din, dout), -1.0, 1.0));
    double cut = radius * std::tan(turn / 2);
    Vec3 start = here - din * cut;
    Vec3 centre = start + normalize(dout - din * dot(dout, din)) * radius;
    Vec3 axis = normalize(cross(din, dout));
    for (int s = 0; s <= steps; ++s) out.push_back(centre + rotateAbout(start - centre, axis, turn * s / steps));
  }
  return out;
}

void addTube(MeshBuilder& b, const std::vector<Vec3>& path, double radius, int sides, TubeEnds ends,
             double uRepeat) {
  const bool closed = ends == TubeEnds::LOOP;
  const size_t n = path.size();
  if (n < 2) throw std::logic_error("tube path needs two points");
  std::vector<Vec3> tangents(n);
  for (size_t i = 0; i < n; ++i) {
    Vec3 in = i > 0 ? path[i] - path[i - 1] : (closed ? path[0] - path[n - 1] : Vec3{});
    Vec3 out = i + 1 < n ? path[i + 1] - path[i] : (closed ? path[0] - path[n - 1] : Vec3{});
    tangents[i] = normalize(normalize(in) + normalize(out));
  }
  // Parallel transport keeps the rings from twisting along the path.
  std::vector<Vec3> normals(n);
  Vec3 up{0, 1, 0};
  Vec3 first = up - tangents[0] * dot(up, tangents[0]);
  normals[0] = length(first) > 0.3 ? normalize(first) : anyPerpendicular(tangents[0]);
  auto transport = [](Vec3 nrm, Vec3 from, Vec3 to) {
    Vec3 axis = cross(from, to);
    double s = length(axis);
    if (s < 1e-12) return nrm;
    double angle = std::atan2(s, dot(from, to));
    return normalize(rotateAbout(nrm, axis * (1 / s), angle));
  };
  for (size_t i = 1; i < n; ++i) normals[i] = transport(normals[i - 1], tangents[i - 1], tangents[i]);
  if (closed) {
    // Spread the twist that a closed loop gathers evenly along it.
    Vec3 back = transport(normals[n - 1], tangents[n - 1], tangents[0]);
    double twist = std::atan2(dot(cross(back, normals[0]), tangents[0]), dot(back, normals[0]));
    for (size_t i = 0; i < n; ++i) normals[i] = rotateAbout(normals[i], tangents[i], twist * i / n);
  }

  std::vector<double> along(n, 0.0);
  for (size_t i = 1; i < n; ++i) along[i] = along[i - 1] + length(path[i] - path[i - 1]);
  double total = closed ? along[n - 1] + length(path[0] - path[n - 1]) : along[n - 1];

  std::vector<std::vector<int>> ringPoints(n, std::vector<int>(sides));
  std::vector<std::vector<Vec3>> ringNormals(n, std::vector<Vec3>(sides));
  for (size_t i = 0; i < n; ++i) {
    Vec3 bin = cross(tangents[i], normals[i]);
    for (int j = 0; j < sides; ++j) {
      double a = 2 * PI * j / sides;
      Vec3 dirOut = normals[i] * std::cos(a) + bin * std::sin(a);
      ringNormals[i][j] = dirOut;
      ringPoints[i][j] = b.point(path[i] + dirOut * radius);
    }
  }
  size_t bands = closed ? n : n - 1;
  for (size_t i = 0; i < bands; ++i) {
    size_t k = (i + 1) % n;
    double v0 = along[i] / total, v1 = (k == 0 ? total : along[k]) / total;
    for (int j = 0; j < sides; ++j) {
      int j1 = (j + 1) % sides;
      double u0 = uRepeat * j / sides, u1 = uRepeat * (j + 1) / sides;
      b.polygon({b.vertex(ringPoints[i][j], ringNormals[i][j], {u0, v0}),
                 b.vertex(ringPoints[i][j1], ringNormals[i][j1], {u1, v0}),
                 b.vertex(ringPoints[k][j1], ringNormals[k][j1], {u1, v1}),
                 b.vertex(ringPoints[k][j], ringNormals[k][j], {u0, v1})});
    }
  }
  const bool capStart = ends == TubeEnds::CAPPED || ends == TubeEnds::CAP_START;
  const bool capEnd = ends == TubeEnds::CAPPED || ends == TubeEnds::CAP_END;
  for (int end = 0; end < 2; ++end) {
    if (end == 0 ? capStart : capEnd) {
      size_t i = end == 0 ? 0 : n - 1;
      Vec3 nrm = end == 0 ? -tangents[0] : tangents[n - 1];
      std::vector<int> cap;
      for (int j = 0; j < sides; ++j) {
        double a = 2 * PI * j / sides;
        cap.push_back(b.vertex(b.mesh().positions[ringPoints[i][j]], nrm, {0.5 + 0.5 * std::cos(a), 0.5 + 0.5 * std::sin(a)}));
      }
      b.polygon(cap);
    }
  }
}

void addLathe(MeshBuilder& b, Vec3 origin, Vec3 axis, const std::vector<ProfilePoint>& profile, int segments,
              double uRepeat, bool closedProfile) {
  Frame f = frameAlong(origin, axis, anyPerpendicular(axis));
  const size_t n = profile.size();
  const size_t bands = closedProfile ? n : n - 1;
  auto nextOf = [&](size_t k) { return (k + 1) % n; };
  // Normal of each profile segment, in (radius, height): the right-hand side of travel.
  std::vector<Vec2> segNormal(bands);
  for (size_t k = 0; k < bands; ++k) {
    Vec2 d{profile[nextOf(k)].radius - profile[k].radius, profile[nextOf(k)].height - profile[k].height};
    double len = length(d);
    if (len < 1e-12) throw std::logic_error("lathe profile repeats a point");
    segNormal[k] = Vec2{d.y / len, -d.x / len};
  }
  std::vector<double> along(n + 1, 0.0);
  for (size_t k = 1; k <= n; ++k) {
    along[k] = along[k - 1] + length(Vec2{profile[k % n].radius - profile[k - 1].radius,
                                          profile[k % n].height - profile[k - 1].height});
  }
  const double total = closedProfile ? along[n] : along[n - 1];

  auto ringDir = [&](int s) {
    double a = 2 * PI * s / segments;
    return f.u * std::cos(a) + f.v * std::sin(a);
  };
  // Positions: one ring per profile point (a single point on the axis); a sharp point
  // gets a second ring, so the scene's smoothing (which joins polygons sharing a
  // position) keeps its edge hard. rings[k][0] serves the band below, rings[k][1] above.
  auto makeRing = [&](size_t k) {
    std::vector<int> ring;
    if (profile[k].radius <= 0) {
      ring.push_back(b.point(f.at(0, 0, profile[k].height)));
    } else {
      for (int s = 0; s < segments; ++s) {
        ring.push_back(b.point(f.origin + f.w * profile[k].height + ringDir(s) * profile[k].radius));
      }
    }
    return ring;
  };
  std::vector<std::vector<std::vector<int>>> rings(n);
  for (size_t k = 0; k < n; ++k) {
    std::vector<int> lower = makeRing(k);
    bool inner = closedProfile || (k > 0 && k + 1 < n);
    std::vector<int> upper = profile[k].sharp && inner ? makeRing(k) : lower;
    rings[k] = {lower, upper};
  }
  // The normal at point k, seen from segment `seg` (k or k - 1): smooth points average
  // their two segments, sharp points take the segment's own.
  auto pointNormal = [&](size_t k, size_t seg) {
    bool end = !closedProfile && (k == 0 || k + 1 == n);
    if (profile[k].sharp || end) return segNormal[seg];
    Vec2 m = segNormal[(k + bands - 1) % bands] + segNormal[k % bands];
    return m * (1.0 / length(m));
  };
  for (size_t k = 0; k < bands; ++k) {
    const size_t k1 = nextOf(k);
    Vec2 n0 = pointNormal(k, k), n1 = pointNormal(k1, k);
    double v0 = along[k] / total, v1 = along[k + 1] / total;
    for (int s = 0; s < segments; ++s) {
      int s1 = (s + 1) % segments;
      double u0 = uRepeat * s / segments, u1 = uRepeat * (s + 1) / segments;
      // Band k uses the upper ring of point k and the lower ring of point k + 1.
      auto corner = [&](size_t ring, int seg, Vec2 nrm, double u, double v) {
        const std::vector<int>& r = rings[ring][ring == k ? 1 : 0];
        int p = r.size() == 1 ? r[0] : r[seg];
        return b.vertex(p, ringDir(seg) * nrm.x + f.w * nrm.y, {u, v});
      };
      if (profile[k].radius <= 0) {
        b.polygon({corner(k, s, n0, 0.5 * (u0 + u1), v0), corner(k1, s, n1, u0, v1), corner(k1, s1, n1, u1, v1)});
      } else if (profile[k1].radius <= 0) {
        b.polygon({corner(k, s, n0, u0, v0), corner(k, s1, n0, u1, v0), corner(k1, s, n1, 0.5 * (u0 + u1), v1)});
      } else {
        b.polygon({corner(k, s, n0, u0, v0), corner(k, s1, n0, u1, v0), corner(k1, s1, n1, u1, v1),
                   corner(k1, s, n1, u0, v1)});
      }
    }
  }
}

void addDisc(MeshBuilder& b, Vec3 centre, Vec3 normal, double radius, int segments) {
  Frame f = frameAlong(centre, normal, anyPerpendicular(normal));
  std::vector<int> corners;
  for (int s = 0; s < segments; ++s) {
    double a = 2 * PI * s / segments;
    corners.push_back(b.vertex(f.at(radius * std::cos(a), radius * std::sin(a), 0), f.w,
                               {0.5 + 0.5 * std::cos(a), 0.5 + 0.5 * std::sin(a)}));
  }
  b.polygon(corners);
}

namespace {

// Normals of a grid surface from central differences; `wrapColumns` joins each row's
// last point to its first.
std::vector<std::vector<Vec3>> gridNormals(const std::vector<std::vector<Vec3>>& g, bool wrapColumns) {
  const size_t rows = g.size(), cols = g[0].size();
  std::vector<std::vector<Vec3>> out(rows, std::vector<Vec3>(cols));
  for (size_t i = 0; i < rows; ++i) {
    for (size_t j = 0; j < cols; ++j) {
      size_t jp = wrapColumns ? (j + 1) % cols : std::min(j + 1, cols - 1);
      size_t jm = wrapColumns ? (j + cols - 1) % cols : (j > 0 ? j - 1 : 0);
      size_t ip = std::min(i + 1, rows - 1), im = i > 0 ? i - 1 : 0;
      out[i][j] = normalize(cross(g[i][jp] - g[i][jm], g[ip][j] - g[im][j]));
    }
  }
  return out;
}

}  // namespace

void addLoft(MeshBuilder& b, const std::vector<std::vector<Vec3>>& rings, bool capStart, bool capEnd) {
  const size_t rows = rings.size(), cols = rings[0].size();
  std::vector<std::vector<Vec3>> normals = gridNormals(rings, true);
  // Point each ring's normals away from its centre.
  for (size_t i = 0; i < rows; ++i) {
    Vec3 c{};
    for (const Vec3& p : rings[i]) c += p * (1.0 / cols);
    double agree = 0;
    for (size_t j = 0; j < cols; ++j) agree += dot(normals[i][j], rings[i][j] - c);
    if (agree < 0) {
      for (Vec3& nrm : normals[i]) nrm = -nrm;
    }
  }
  std::vector<std::vector<int>> ids(rows, std::vector<int>(cols));
  for (size_t i = 0; i < rows; ++i) {
    for (size_t j = 0; j < cols; ++j) ids[i][j] = b.point(rings[i][j]);
  }
  for (size_t i = 0; i + 1 < rows; ++i) {
    for (size_t j = 0; j < cols; ++j) {
      size_t j1 = (j + 1) % cols;
      double u0 = double(j) / cols, u1 = double(j + 1) / cols;
      double v0 = double(i) / (rows - 1), v1 = double(i + 1) / (rows - 1);
      b.polygon({b.vertex(ids[i][j], normals[i][j], {u0, v0}), b.vertex(ids[i][j1], normals[i][j1], {u1, v0}),
                 b.vertex(ids[i + 1][j1], normals[i + 1][j1], {u1, v1}),
                 b.vertex(ids[i + 1][j], normals[i + 1][j], {u0, v1})});
    }
  }
  for (int end = 0; end < 2; ++end) {
    if ((end == 0 && !capStart) || (end == 1 && !capEnd)) continue;
    const std::vector<Vec3>& ring = end == 0 ? rings[0] : rings[rows - 1];
    Vec3 c0{}, c1{};
    for (const Vec3& p : rings[0]) c0 += p * (1.0 / cols);
    for (const Vec3& p : rings[rows - 1]) c1 += p * (1.0 / cols);
    Vec3 nrm = normalize(end == 0 ? c0 - c1 : c1 - c0);
    std::vector<int> cap;
    for (size_t j = 0; j < cols; ++j) cap.push_back(b.vertex(ring[j], nrm, {double(j) / cols, double(end)}));
    b.polygon(cap);
  }
}

void addSheet(MeshBuilder& b, const std::vector<std::vector<Vec3>>& rows, Vec3 outside) {
  const size_t nr = rows.size(), nc = rows[0].size();
  std::vector<std::vector<Vec3>> normals = gridNormals(rows, false);
  double agree = 0;
  for (const auto& row : normals) {
    for (const Vec3& nrm : row) agree += dot(nrm, outside);
  }
  std::vector<std::vector<int>> ids(nr, std::vector<int>(nc));
  for (size_t i = 0; i < nr; ++i) {
    for (size_t j = 0; j < nc; ++j) {
      if (agree < 0) normals[i][j] = -normals[i][j];
      ids[i][j] = b.point(rows[i][j]);
    }
  }
  for (size_t i = 0; i + 1 < nr; ++i) {
    for (size_t j = 0; j + 1 < nc; ++j) {
      double u0 = double(j) / (nc - 1), u1 = double(j + 1) / (nc - 1);
      double v0 = double(i) / (nr - 1), v1 = double(i + 1) / (nr - 1);
      b.polygon({b.vertex(ids[i][j], normals[i][j], {u0, v0}), b.vertex(ids[i][j + 1], normals[i][j + 1], {u1, v0}),
                 b.vertex(ids[i + 1][j + 1], normals[i + 1][j + 1], {u1, v1}),
                 b.vertex(ids[i + 1][j], normals[i + 1][j], {u0, v1})});
    }
  }
}

}  // namespace datagen
