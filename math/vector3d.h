// CVector3D: the homogeneous point and vector type of the scene's geometry code.
// Every vector built here, by construction or by an operator, has w = 1; the
// operators read only x, y and z, and copies carry w over unchanged.
#pragma once

class CVector3D {
 public:
  double x;
  double y;
  double z;
  double w;

  CVector3D(double x, double y, double z) : x(x), y(y), z(z), w(1.0) {}
  CVector3D(const CVector3D&) = default;
  CVector3D& operator=(const CVector3D&) = default;

  CVector3D operator-() const { return CVector3D(-x, -y, -z); }
};

inline CVector3D operator+(const CVector3D& a, const CVector3D& b) {
  return CVector3D(a.x + b.x, a.y + b.y, a.z + b.z);
}

inline CVector3D operator-(const CVector3D& a, const CVector3D& b) {
  return CVector3D(a.x - b.x, a.y - b.y, a.z - b.z);
}

inline CVector3D operator*(const CVector3D& v, double s) { return CVector3D(s * v.x, s * v.y, s * v.z); }

inline CVector3D operator*(double s, const CVector3D& v) { return v * s; }
