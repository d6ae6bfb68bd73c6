#include "render/Camera.h"

#include <cmath>

GLFWCamera::GLFWCamera(float x, float y, float z)
    : position_{x, y, z}, projection_(Mat4::Identity()) {
    for (Mat4& view : views_) view = Mat4::Identity();
    target_ = position_ + front_;
}

void GLFWCamera::StoreLookAt(int slot) {
    if (!IsSlot(slot)) return;
    views_[slot] = LookAt(position_, target_, up_);
    currentView_ = slot;
}

void GLFWCamera::SelectView(int slot) {
    if (IsSlot(slot)) currentView_ = slot;
}

void GLFWCamera::SetPosition(float x, float y, float z) {
    position_ = {x, y, z};
    target_ = position_ + front_;
}

void GLFWCamera::Pitch(float degrees) {
    const float a = Radians(degrees);
    front_ = front_ * std::cos(a) + up_ * std::sin(a);
    up_ = Cross(right_, front_);
    target_ = position_ + front_;
}

void GLFWCamera::SetProjection(const Mat4& projection) { projection_ = projection; }
