// The little vector and matrix arithmetic the culling needs, written once:
// three-vectors of doubles, the upper 3 x 3 of OpenGL's column-major 4 x 4
// matrices, its cofactors and inverse, and the 4 x 4 product.
#pragma once

#include <array>
#include <cmath>

using Vec3 = std::array<double, 3>;

inline double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

inline Vec3 operator*(double s, const Vec3& v) { return {s * v[0], s * v[1], s * v[2]}; }

// `v` scaled to unit length; the zero vector stays as it is.
inline Vec3 normalized(const Vec3& v) {
  const double length = std::sqrt(dot(v, v));
  if (length == 0) return v;
  return {v[0] / length, v[1] / length, v[2] / length};
}

// A 3 x 3 matrix, indexed [row][column].
struct Mat3 {
  double at[3][3];

  Vec3 operator*(const Vec3& v) const {
    return {at[0][0] * v[0] + at[0][1] * v[1] + at[0][2] * v[2], at[1][0] * v[0] + at[1][1] * v[1] + at[1][2] * v[2],
            at[2][0] * v[0] + at[2][1] * v[1] + at[2][2] * v[2]};
  }
};

// The upper 3 x 3 of a column-major 4 x 4 matrix (OpenGL's layout).
inline Mat3 upper3x3(const double* m) { return {{{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}}}; }

// The cofactor matrix: entry [r][c] is (-1)^(r + c) times the minor without row r and column c.
inline Mat3 cofactors(const Mat3& m) {
  const auto& a = m.at;
  return {{{a[1][1] * a[2][2] - a[1][2] * a[2][1], a[1][2] * a[2][0] - a[1][0] * a[2][2],
            a[1][0] * a[2][1] - a[1][1] * a[2][0]},
           {a[0][2] * a[2][1] - a[0][1] * a[2][2], a[0][0] * a[2][2] - a[0][2] * a[2][0],
            a[0][1] * a[2][0] - a[0][0] * a[2][1]},
           {a[0][1] * a[1][2] - a[0][2] * a[1][1], a[0][2] * a[1][0] - a[0][0] * a[1][2],
            a[0][0] * a[1][1] - a[0][1] * a[1][0]}}};
}

// The determinant, expanded along the first row of `m` with its cofactors `c`.
inline double determinant(const Mat3& m, const Mat3& c) {
  return m.at[0][0] * c.at[0][0] + m.at[0][1] * c.at[0][1] + m.at[0][2] * c.at[0][2];
}

// The inverse of `m` (the transposed cofactors over the determinant), or
// false when the determinant is 0 or not finite.
inline bool inverse(const Mat3& m, Mat3& out) {
  const Mat3 c = cofactors(m);
  const double det = determinant(m, c);
  if (det == 0 || !std::isfinite(det)) return false;
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) out.at[r][k] = c.at[k][r] / det;
  }
  return true;
}

// out = a * b for column-major 4 x 4 matrices; out must not alias either.
inline void multiply4x4(const double* a, const double* b, double* out) {
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
      out[c * 4 + r] = sum;
    }
  }
}
