// The small vector the curtain update uses for its surface normals.
#pragma once

#include <cmath>

class Vec3 {
 public:
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  Vec3() = default;
  Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
  Vec3(const Vec3& other) = default;
  Vec3& operator=(const Vec3& other) = default;
  virtual ~Vec3() = default;

  void set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
  }

  // Scales to unit length and returns the old length. A zero vector has no
  // direction: it becomes (x, 1, z), that is (0, 1, 0), and 0 is returned.
  float normalize() {
    float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) {
      y = 1.0f;
      return 0.0f;
    }
    float inverse = 1.0f / length;
    x *= inverse;
    y *= inverse;
    z *= inverse;
    return length;
  }

  // this = a × b (a and b are copies, so either may be this vector).
  void cross(Vec3 a, Vec3 b) {
    x = a.y * b.z - b.y * a.z;
    y = b.x * a.z - a.x * b.z;
    z = a.x * b.y - b.x * a.y;
  }
};
