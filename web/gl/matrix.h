// Column-major 4 x 4 float matrices as the GL keeps them, with the products and
// the standard transforms of glTranslate, glRotate, glScale and glFrustum.
#pragma once

#include <array>
#include <cmath>

namespace webgl {

using Matrix = std::array<float, 16>;

inline Matrix identityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

// a * b, in float like the GL's own matrix stack.
inline Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[c * 4 + k];
      r[c * 4 + row] = sum;
    }
  }
  return r;
}

inline Matrix translation(double x, double y, double z) {
  Matrix m = identityMatrix();
  m[12] = static_cast<float>(x);
  m[13] = static_cast<float>(y);
  m[14] = static_cast<float>(z);
  return m;
}

inline Matrix scaling(double x, double y, double z) {
  Matrix m = identityMatrix();
  m[0] = static_cast<float>(x);
  m[5] = static_cast<float>(y);
  m[10] = static_cast<float>(z);
  return m;
}

// The rotation of glRotate: `degrees` about the axis (x, y, z), which is normalised.
inline Matrix rotation(double degrees, double x, double y, double z) {
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0) return identityMatrix();
  x /= length;
  y /= length;
  z /= length;
  const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a), t = 1 - c;
  const double m[16] = {t * x * x + c,
                        t * x * y + s * z,
                        t * x * z - s * y,
                        0,
                        t * x * y - s * z,
                        t * y * y + c,
                        t * y * z + s * x,
                        0,
                        t * x * z + s * y,
                        t * y * z - s * x,
                        t * z * z + c,
                        0,
                        0,
                        0,
                        0,
                        1};
  Matrix r{};
  for (int i = 0; i < 16; ++i) r[i] = static_cast<float>(m[i]);
  return r;
}

inline Matrix frustum(double l, double r, double b, double t, double n, double f) {
  Matrix m{};
  m[0] = static_cast<float>(2 * n / (r - l));
  m[5] = static_cast<float>(2 * n / (t - b));
  m[8] = static_cast<float>((r + l) / (r - l));
  m[9] = static_cast<float>((t + b) / (t - b));
  m[10] = static_cast<float>(-(f + n) / (f - n));
  m[11] = -1;
  m[14] = static_cast<float>(-2 * f * n / (f - n));
  return m;
}

inline Matrix ortho(double l, double r, double b, double t, double n, double f) {
  Matrix m = identityMatrix();
  m[0] = static_cast<float>(2 / (r - l));
  m[5] = static_cast<float>(2 / (t - b));
  m[10] = static_cast<float>(-2 / (f - n));
  m[12] = static_cast<float>(-(r + l) / (r - l));
  m[13] = static_cast<float>(-(t + b) / (t - b));
  m[14] = static_cast<float>(-(f + n) / (f - n));
  return m;
}

// m * (x, y, z, w).
inline std::array<float, 4> transform(const Matrix& m, float x, float y, float z, float w) {
  return {m[0] * x + m[4] * y + m[8] * z + m[12] * w, m[1] * x + m[5] * y + m[9] * z + m[13] * w,
          m[2] * x + m[6] * y + m[10] * z + m[14] * w, m[3] * x + m[7] * y + m[11] * z + m[15] * w};
}

// The inverse transpose of the upper 3 x 3 of m, column-major: what normals go
// through. A singular matrix gives zeros.
inline std::array<float, 9> normalMatrix(const Matrix& m) {
  const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
  const double A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
  const double det = a * A + b * B + c * C;
  std::array<float, 9> r{};
  if (det == 0) return r;
  // Inverse transpose = cofactor matrix / det; stored column-major.
  const double cof[9] = {
      A, B, C, -(b * i - c * h), a * i - c * g, -(a * h - b * g), b * f - c * e, -(a * f - c * d), a * e - b * d};
  // cof is row-major (row r, column c at 3r + c); column-major wants element (r, c) at 3c + r.
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) r[col * 3 + row] = static_cast<float>(cof[row * 3 + col] / det);
  }
  return r;
}

}  // namespace webgl
