// Solid shapes for the model builders: boxes, prisms, swept tubes, surfaces of
// revolution and lofts, each with outward normals and texture coordinates.
#pragma once

#include <vector>

#include "datagen/mesh.h"
#include "datagen/vec.h"

namespace datagen {

// An origin with three orthonormal axes.
struct Frame {
  Vec3 origin;
  Vec3 u{1, 0, 0};
  Vec3 v{0, 1, 0};
  Vec3 w{0, 0, 1};
  Vec3 at(double a, double b, double c) const { return origin + u * a + v * b + w * c; }
  Vec3 dir(double a, double b, double c) const { return u * a + v * b + w * c; }
};

// Frame whose w axis is `axis` (normalised), with u as close to `uHint` as possible.
Frame frameAlong(Vec3 origin, Vec3 axis, Vec3 uHint);

// Box centred on the frame's origin with the given half sizes along u, v, w; six faces
// with their own corners (hard edges).
void addBox(MeshBuilder& b, const Frame& frame, Vec3 half);

// Convex outline in the frame's (u, v) plane, extruded along w from 0 to depth. The
// two outline faces are single polygons.
void addPrism(MeshBuilder& b, const Frame& frame, const std::vector<Vec2>& outline, double depth);

// Replaces each interior corner of a polyline (every corner of a closed loop) by a
// circular arc of the given radius, cut into steps of at most `maxStep` radians.
std::vector<Vec3> roundCorners(const std::vector<Vec3>& corners, double radius, double maxStep, bool closed);

// Closed outline through the corners of a convex polygon, each corner rounded by an
// arc of the given radius cut into `steps` pieces: every outline of the same corner
// count has the same number of points, as lofts need.
std::vector<Vec3> roundedPolygon(const std::vector<Vec3>& corners, double radius, int steps);

// How a tube's path ends. An end buried inside another part gets no cap: nobody sees
// it, and the renderer would draw it all the same.
enum class TubeEnds { CAPPED, CAP_START, CAP_END, BURIED, LOOP };

// Round tube of `sides` facets along a path; a LOOP joins the last point to the first.
void addTube(MeshBuilder& b, const std::vector<Vec3>& path, double radius, int sides, TubeEnds ends,
             double uRepeat = 1);

// One point of a profile for addLathe: distance from the axis and height along it.
// A sharp point splits the surface there into two rings with their own normals.
struct ProfilePoint {
  double radius = 0;
  double height = 0;
  bool sharp = false;
};

// Surface of revolution about `axis` through `origin`. The outside lies to the right of
// the profile when it is drawn with radius to the right and height upwards, so a profile
// that climbs the outer wall and then runs inwards across the top is closed outwards.
// Points on the axis (radius 0) become the apex of a fan of triangles.
// A closed profile (a torus's circle, say) also joins its last point to its first.
void addLathe(MeshBuilder& b, Vec3 origin, Vec3 axis, const std::vector<ProfilePoint>& profile, int segments,
              double uRepeat = 1, bool closedProfile = false);

// Flat disc (one polygon) facing along `normal`.
void addDisc(MeshBuilder& b, Vec3 centre, Vec3 normal, double radius, int segments);

// Smooth surface through closed rings of equal size, normals pointing away from each
// ring's centre; optional flat caps at the first and last ring.
void addLoft(MeshBuilder& b, const std::vector<std::vector<Vec3>>& rings, bool capStart, bool capEnd);

// Smooth open surface through a grid of rows of equal length. `outside` is a direction
// that the surface's normals should roughly share (it picks the winding).
void addSheet(MeshBuilder& b, const std::vector<std::vector<Vec3>>& rows, Vec3 outside);

}  // namespace datagen
