// Vectors, matrices and their builders.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/Math.h"

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectVec4Near(Vec4 expected, Vec4 actual) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(expected[i], actual[i], kTolerance) << "component " << i;
}

void ExpectMat4Near(const Mat4& expected, const Mat4& actual) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(expected[c][r], actual[c][r], kTolerance) << "column " << c << " row " << r;
        }
    }
}

Vec4 Point(float x, float y, float z) { return {x, y, z, 1.0f}; }

Mat4 Sample(float base) {
    Mat4 m;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) m[c][r] = base + static_cast<float>(c * 4 + r) * 0.5f - 3.0f;
    }
    return m;
}

TEST(VectorMath, ComponentWiseOperators) {
    const Vec3 v = (Vec3{1, 2, 3} + Vec3{4, -5, 6}) * 2.0f - Vec3{1, 1, 1} / 0.5f;
    EXPECT_EQ(8, v.x);
    EXPECT_EQ(-8, v.y);
    EXPECT_EQ(16, v.z);
    ExpectVec4Near({2, 5, 8, 11}, Vec4{1, 2, 3, 4} * 3.0f - Vec4{1, 1, 1, 1});
    ExpectVec4Near({2, 3, 4, 5}, Vec4{4, 6, 8, 10} / 2.0f + Vec4{});
}

TEST(VectorMath, LengthNormalizeCross) {
    EXPECT_FLOAT_EQ(5.0f, Length({3, 4, 0}));
    const Vec3 n = Normalize({0, 3, 4});
    EXPECT_FLOAT_EQ(0.6f, n.y);
    EXPECT_FLOAT_EQ(0.8f, n.z);
    EXPECT_FLOAT_EQ(1.0f, Length(Normalize({-2, 7, 1})));
    const Vec3 z = Cross({1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(0, z.x);
    EXPECT_EQ(0, z.y);
    EXPECT_EQ(1, z.z);
    // (a.y b.z - b.y a.z, a.z b.x - b.z a.x, a.x b.y - b.x a.y)
    const Vec3 c = Cross({1, 2, 3}, {4, 5, 6});
    EXPECT_EQ(-3, c.x);
    EXPECT_EQ(6, c.y);
    EXPECT_EQ(-3, c.z);
    EXPECT_EQ(32, Dot({1, 2, 3}, {4, 5, 6}));
    // A zero vector is not tested for: the result is not finite.
    EXPECT_FALSE(std::isfinite(Normalize({0, 0, 0}).x));
}

TEST(MatrixMath, ColumnMajorLayout) {
    const Mat4 t = Translate(7, 8, 9);
    float raw[16];
    std::memcpy(raw, t.Data(), sizeof raw);
    EXPECT_EQ(7, raw[12]);
    EXPECT_EQ(8, raw[13]);
    EXPECT_EQ(9, raw[14]);
    EXPECT_EQ(1, raw[15]);
    const Mat4 m = Sample(1.0f);
    std::memcpy(raw, m.Data(), sizeof raw);
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) EXPECT_EQ(m[c][r], raw[4 * c + r]);
    }
}

TEST(MatrixMath, ProductsApplyTheRightFactorFirst) {
    ExpectVec4Near({1, 2, 3, 1}, Translate(1, 2, 3) * Point(0, 0, 0));
    ExpectVec4Near({1, 2, 3, 1}, Translate(Vec3{1, 2, 3}) * Point(0, 0, 0));
    ExpectVec4Near({2, 3, 4, 1}, (Scale(2, 3, 4) * Translate(1, 1, 1)) * Point(0, 0, 0));
    ExpectVec4Near({1, 1, 1, 1}, (Translate(1, 1, 1) * Scale(2, 3, 4)) * Point(0, 0, 0));
    // (A x B) v = A (B v) for any A, B.
    const Mat4 a = Sample(0.25f);
    const Mat4 b = Sample(-1.5f);
    const Vec4 v{0.5f, -1.0f, 2.0f, 1.0f};
    const Vec4 direct = (a * b) * v;
    const Vec4 stepwise = a * (b * v);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(stepwise[i], direct[i], 1e-3f);
    ExpectMat4Near(a, a * Mat4::Identity());
    ExpectMat4Near(a, Mat4::Identity() * a);
}

TEST(MatrixMath, RotateAxis) {
    ExpectVec4Near({0, 1, 0, 1}, RotateAxis(90, 0, 0, 1) * Point(1, 0, 0));
    ExpectVec4Near({0, 0, 1, 1}, RotateAxis(90, 1, 0, 0) * Point(0, 1, 0));
    ExpectVec4Near({1, 0, 0, 1}, Rotate(90, Vec3{0, 1, 0}) * Point(0, 0, 1));
    // Angle 0 is the identity for any axis, (0, 0, 0) included, exactly.
    for (Vec3 axis : {Vec3{0, 0, 0}, Vec3{3, -4, 5}}) {
        const Mat4 m = RotateAxis(0, axis.x, axis.y, axis.z);
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) EXPECT_EQ(c == r ? 1.0f : 0.0f, m[c][r]);
        }
    }
    // The axis is not normalised: a longer axis scales the sine terms.
    ExpectVec4Near({0, 2, 0, 1}, RotateAxis(90, 0, 0, 2) * Point(1, 0, 0));
}

TEST(MatrixMath, RotateXYZTurnsAboutXThenYThenZ) {
    ExpectVec4Near({0, 0, 1, 1}, RotateXYZ(90, 0, 90) * Point(0, 1, 0));
    // x first takes (0, 1, 0) to (0, 0, 1); y then takes it to (1, 0, 0).
    ExpectVec4Near({1, 0, 0, 1}, RotateXYZ(90, 90, 0) * Point(0, 1, 0));
    ExpectMat4Near(RotateAxis(30, 0, 0, 1) * RotateAxis(20, 0, 1, 0) * RotateAxis(10, 1, 0, 0),
                   RotateXYZ(10, 20, 30));
}

TEST(MatrixMath, Ortho) {
    const Mat4 scene = Ortho(-500 * 1.6f, 500 * 1.6f, -500, 500, -1000, 1000);
    ExpectMat4Near({{{0.00125f, 0, 0, 0}, {0, 0.002f, 0, 0}, {0, 0, -0.001f, 0}, {0, 0, 0, 1}}},
                   scene);
    // Translation column ((l+r)/(l-r), (b+t)/(b-t), (n+f)/(f-n), 1).
    const Mat4 shifted = Ortho(0, 2, 0, 4, 1, 3);
    ExpectVec4Near({1, 0, 0, 0}, shifted[0]);
    ExpectVec4Near({0, 0.5f, 0, 0}, shifted[1]);
    ExpectVec4Near({0, 0, -1, 0}, shifted[2]);
    ExpectVec4Near({-1, -1, 2, 1}, shifted[3]);
}

TEST(MatrixMath, LookAt) {
    ExpectMat4Near(Translate(0, 0, -100), LookAt({0, 0, 100}, {0, 0, 99}, {0, 1, 0}));
    // Looking down -x from the origin: world -x becomes view -z.
    ExpectVec4Near({0, 0, -1, 1}, LookAt({0, 0, 0}, {-5, 0, 0}, {0, 1, 0}) * Point(-1, 0, 0));
    // The side vector is not normalised again: up tilted by 45 degrees
    // towards the viewing direction leaves it cos 45 long.
    const Mat4 tilted = LookAt({0, 0, 0}, {0, 0, -1}, {0, 1, 1});
    EXPECT_NEAR(std::sqrt(0.5f), tilted[0][0], kTolerance);
}

TEST(MatrixMath, Radians) {
    EXPECT_EQ(180.0f * 0.017453292f, Radians(180.0f));
    EXPECT_EQ(0.0f, Radians(0.0f));
    EXPECT_NEAR(-1.5707963f, Radians(-90.0f), kTolerance);
}

}  // namespace
