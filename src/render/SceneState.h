// The per-scene values every shader receives: the viewport size in pixels
// and the frame time in seconds since GLFW started (sent as iTime).
#pragma once

class GLFWSceneState {
public:
    void SetViewportSize(float width, float height) {
        viewportWidth_ = width;
        viewportHeight_ = height;
    }
    void SetFrameTime(float seconds) { frameTime_ = seconds; }
    float GetFrameTime() const { return frameTime_; }
    float GetViewportWidth() const { return viewportWidth_; }
    float GetViewportHeight() const { return viewportHeight_; }

private:
    float viewportWidth_ = 0.0f;  // first set by the first frame, before any draw
    float viewportHeight_ = 0.0f;
    float frameTime_ = 0.0f;
};
