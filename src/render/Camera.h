// The camera every drawable reads its view and projection from: five stored
// view matrices, the one currently selected, and the eye frame that
// StoreLookAt turns into a view.
#pragma once

#include <cstdint>

#include "render/Math.h"

class GLFWCamera {
public:
    static constexpr int kViewCount = 5;

    // Eye at (x, y, z) looking down -z with y up. No matrix is computed yet:
    // views and projection start as the identity.
    GLFWCamera(float x, float y, float z);

    // views[slot] = LookAt(position, target, up); selects the slot. A slot
    // outside 0..4 changes nothing.
    void StoreLookAt(int slot);
    // A slot outside 0..4 changes nothing.
    void SelectView(int slot);
    void SetPosition(float x, float y, float z);
    // Turns front (and up with it) about the right axis. The stored views are
    // not touched; StoreLookAt makes a view from the new frame.
    void Pitch(float degrees);
    void SetProjection(const Mat4& projection);

    const Mat4& GetView() const { return views_[currentView_]; }
    const Mat4& GetProjection() const { return projection_; }
    int GetCurrentView() const { return currentView_; }
    Vec3 GetPosition() const { return position_; }
    Vec3 GetTarget() const { return target_; }
    Vec3 GetFront() const { return front_; }
    Vec3 GetRight() const { return right_; }
    Vec3 GetUp() const { return up_; }

private:
    static bool IsSlot(int slot) { return slot >= 0 && slot < kViewCount; }

    Mat4 views_[kViewCount];
    std::int32_t currentView_ = 0;
    Vec3 position_;
    Vec3 target_;
    Vec3 front_{0.0f, 0.0f, -1.0f};
    Vec3 right_{1.0f, 0.0f, 0.0f};
    Vec3 up_{0.0f, 1.0f, 0.0f};
    Mat4 projection_;
};
