// GLFWCamera: view slots, eye frame and projection.
#include <gtest/gtest.h>

#include "render/Camera.h"

namespace {

void ExpectVec3Near(Vec3 expected, Vec3 actual, float tolerance = 1e-4f) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

void ExpectMat4Eq(const Mat4& expected, const Mat4& actual) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) EXPECT_FLOAT_EQ(expected[c][r], actual[c][r]);
    }
}

TEST(Camera, StartsLookingDownMinusZ) {
    const GLFWCamera camera(0, 0, 100);
    ExpectVec3Near({0, 0, 100}, camera.GetPosition());
    ExpectVec3Near({0, 0, 99}, camera.GetTarget());
    ExpectVec3Near({0, 0, -1}, camera.GetFront());
    ExpectVec3Near({1, 0, 0}, camera.GetRight());
    ExpectVec3Near({0, 1, 0}, camera.GetUp());
    EXPECT_EQ(0, camera.GetCurrentView());
}

TEST(Camera, ViewSlots) {
    GLFWCamera camera(0, 0, 100);
    camera.StoreLookAt(0);
    ExpectMat4Eq(Translate(0, 0, -100), camera.GetView());

    camera.SetPosition(10, 20, 30);
    ExpectVec3Near({10, 20, 29}, camera.GetTarget());
    camera.StoreLookAt(3);
    EXPECT_EQ(3, camera.GetCurrentView());
    ExpectMat4Eq(Translate(-10, -20, -30), camera.GetView());

    camera.SelectView(0);
    ExpectMat4Eq(Translate(0, 0, -100), camera.GetView());

    // Slots outside 0..4 change nothing.
    camera.SelectView(5);
    camera.SelectView(-1);
    camera.StoreLookAt(7);
    EXPECT_EQ(0, camera.GetCurrentView());
    ExpectMat4Eq(Translate(0, 0, -100), camera.GetView());
}

TEST(Camera, PitchTurnsFrontAndUpAboutRight) {
    GLFWCamera camera(0, 0, 100);
    camera.StoreLookAt(0);
    camera.Pitch(-40);
    ExpectVec3Near({0, -0.6428f, -0.7660f}, camera.GetFront());
    ExpectVec3Near({0, 0.7660f, -0.6428f}, camera.GetUp());
    ExpectVec3Near({1, 0, 0}, camera.GetRight());
    ExpectVec3Near(camera.GetPosition() + camera.GetFront(), camera.GetTarget());
    // The stored view waits for the next StoreLookAt.
    ExpectMat4Eq(Translate(0, 0, -100), camera.GetView());
    camera.StoreLookAt(0);
    const Vec4 ahead = camera.GetView() * Vec4{0, -0.6428f, 100 - 0.7660f, 1};
    EXPECT_NEAR(0, ahead.y, 1e-4f);
    EXPECT_NEAR(-1, ahead.z, 1e-4f);
}

TEST(Camera, Projection) {
    GLFWCamera camera(0, 0, 100);
    const Mat4 ortho = Ortho(-800, 800, -500, 500, -1000, 1000);
    camera.SetProjection(ortho);
    ExpectMat4Eq(ortho, camera.GetProjection());
}

}  // namespace
