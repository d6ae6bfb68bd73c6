#include "render/Matrix.h"

#include <cmath>

Mat4 Mat4::Identity() { return Scale(1.0f, 1.0f, 1.0f); }

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 p;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k][r] * b[c][k];
            p[c][r] = sum;
        }
    }
    return p;
}

Vec4 operator*(const Mat4& m, Vec4 v) {
    Vec4 out;
    for (int r = 0; r < 4; ++r) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += m[k][r] * v[k];
        out[r] = sum;
    }
    return out;
}

float Radians(float degrees) { return degrees * 0.017453292f; }

Mat4 Translate(float x, float y, float z) {
    return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}}};
}

Mat4 Translate(Vec3 offset) { return Translate(offset.x, offset.y, offset.z); }

Mat4 Scale(float x, float y, float z) {
    return {{{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}}};
}

Mat4 RotateAxis(float degrees, float x, float y, float z) {
    const float a = Radians(degrees);
    const float c = std::cos(a);
    const float s = std::sin(a);
    const float t = 1.0f - c;
    return {{{x * x * t + c, x * y * t + z * s, x * z * t - y * s, 0},
             {x * y * t - z * s, y * y * t + c, y * z * t + x * s, 0},
             {x * z * t + y * s, y * z * t - x * s, z * z * t + c, 0},
             {0, 0, 0, 1}}};
}

Mat4 Rotate(float degrees, Vec3 axis) { return RotateAxis(degrees, axis.x, axis.y, axis.z); }

Mat4 RotateXYZ(float ax, float ay, float az) {
    return RotateAxis(az, 0, 0, 1) * RotateAxis(ay, 0, 1, 0) * RotateAxis(ax, 1, 0, 0);
}

Mat4 Ortho(float left, float right, float bottom, float top, float nearZ, float farZ) {
    return {{{2 / (right - left), 0, 0, 0},
             {0, 2 / (top - bottom), 0, 0},
             {0, 0, 2 / (nearZ - farZ), 0},
             {(left + right) / (left - right), (bottom + top) / (bottom - top),
              (nearZ + farZ) / (farZ - nearZ), 1}}};
}

Mat4 LookAt(Vec3 eye, Vec3 center, Vec3 up) {
    const Vec3 f = Normalize(center - eye);
    const Vec3 u = Normalize(up);
    const Vec3 s = Cross(f, u);
    const Vec3 v = Cross(s, f);
    const Mat4 r{{{s.x, v.x, -f.x, 0}, {s.y, v.y, -f.y, 0}, {s.z, v.z, -f.z, 0}, {0, 0, 0, 1}}};
    return r * Translate(-eye);
}
