// Single-precision 3- and 4-component vectors: plain value types, cheap
// enough to copy freely in per-frame code.
#pragma once

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    // 0 = x, 1 = y, 2 = z; any other index reads z, so nothing outside the
    // vector is ever touched.
    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
};

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    // 0 = x, 1 = y, 2 = z, 3 = w; any other index reads w.
    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 v) { return {-v.x, -v.y, -v.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 v, float f) { return {v.x * f, v.y * f, v.z * f}; }
inline Vec3 operator*(float f, Vec3 v) { return v * f; }
inline Vec3 operator/(Vec3 v, float f) { return {v.x / f, v.y / f, v.z / f}; }

inline Vec4 operator+(Vec4 a, Vec4 b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline Vec4 operator-(Vec4 a, Vec4 b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline Vec4 operator*(Vec4 v, float f) { return {v.x * f, v.y * f, v.z * f, v.w * f}; }
inline Vec4 operator*(float f, Vec4 v) { return v * f; }
inline Vec4 operator/(Vec4 v, float f) { return {v.x / f, v.y / f, v.z / f, v.w / f}; }

float Dot(Vec3 a, Vec3 b);
// Square root of the sum of squares.
float Length(Vec3 v);
// v / Length(v). A zero vector gives non-finite components: no test is made,
// callers never pass one.
Vec3 Normalize(Vec3 v);
Vec3 Cross(Vec3 a, Vec3 b);
