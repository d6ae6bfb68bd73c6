// 4 x 4 single-precision matrices stored column by column, in the float order
// glUniformMatrix4fv takes without transpose, and the builders the scene uses.
// A x B applies B first. Angles are degrees.
#pragma once

#include <type_traits>

#include "render/Vector.h"

struct Mat4 {
    // Column c, row r is float 4c + r of the 16 contiguous floats; column 3
    // holds the translation. All zero by default.
    Vec4 columns[4];

    Vec4& operator[](int c) { return columns[c]; }
    const Vec4& operator[](int c) const { return columns[c]; }

    // The 16 floats, for glUniformMatrix4fv(location, 1, GL_FALSE, Data()).
    const float* Data() const { return &columns[0].x; }

    static Mat4 Identity();
};

static_assert(sizeof(Mat4) == 16 * sizeof(float), "Mat4 must be 16 contiguous floats");
static_assert(std::is_standard_layout_v<Mat4> && std::is_trivially_copyable_v<Mat4>,
              "Mat4 is uploaded as raw floats");

Mat4 operator*(const Mat4& a, const Mat4& b);
Vec4 operator*(const Mat4& m, Vec4 v);

// degrees x 0.017453292 (single precision).
float Radians(float degrees);

Mat4 Translate(float x, float y, float z);
Mat4 Translate(Vec3 offset);
Mat4 Scale(float x, float y, float z);
// Rotation about (x, y, z). The axis is used as given, not normalised; an
// angle of 0 gives the identity for any axis.
Mat4 RotateAxis(float degrees, float x, float y, float z);
Mat4 Rotate(float degrees, Vec3 axis);
// About x first, then y, then z.
Mat4 RotateXYZ(float ax, float ay, float az);
// Note the z translation term (n + f) / (f - n): with n = -f, as the scene
// uses it, it is 0.
Mat4 Ortho(float left, float right, float bottom, float top, float nearZ, float farZ);
// Right-handed look-at. The side vector is not normalised again, so it is a
// unit vector only when up is perpendicular to the viewing direction.
Mat4 LookAt(Vec3 eye, Vec3 center, Vec3 up);
