// The clock scene: set-up and the per-frame passes.
#include "clock/ClockScene.h"

#include <GLFW/glfw3.h>

#include "clock/ClockPicture.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "clock/FramePlan.h"
#include "platform/GL.h"
#include "platform/NativeWindow.h"
#include "render/Camera.h"
#include "render/Drawable.h"
#include "render/Math.h"
#include "render/Program.h"
#include "render/SceneState.h"
#include "render/Texture.h"
#include "resources/ResourceIds.h"
#include "sound/DirectSound.h"

GLFWProgramRegistry* g_programRegistry = nullptr;
GLFWSceneState* g_sceneState = nullptr;
GLFWCamera* g_camera = nullptr;
GLFWTexture* g_backgroundTexture = nullptr;
GLFWTexture* g_atlasTexture = nullptr;
GLFWDrawableSky* g_backgroundDrawable = nullptr;
GLFWDrawableSky* g_panelDrawable = nullptr;
GLFWDrawableSky* g_digitDrawable = nullptr;
CDirectSound* g_clickSound = nullptr;

namespace {

constexpr int kPictureSize = 2048;

void DrawBackgroundPass() {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, g_backgroundTexture->GetTexture());
    g_backgroundDrawable->SetModelMatrix(Translate(0.0f, 0.0f, -300.0f));
    g_backgroundDrawable->Draw();
}

GLFWDrawableSky* BuildDrawable(const char* programKey, float scale) {
    auto* drawable = new GLFWDrawableSky(g_sceneState, g_camera, g_programRegistry, programKey,
                                         kRectangleObjId, kRectangleMtlId, scale);
    drawable->Build();
    return drawable;
}

}  // namespace

void RenderClockFrame(const ClockView& view, CFrameOutput& output) {
    glViewport(0, 0, view.width, view.height);
    g_camera->SetProjection(view.projection);
    g_sceneState->SetViewportSize(static_cast<float>(view.width), static_cast<float>(view.height));
    g_camera->SelectView(0);

    const ClockPicture picture = CurrentClockPicture(view.width, view.height);
    FramePlan plan = PlanClockFrame(picture, view, output.State());
    const bool begun = output.Begin(plan, DrawBackgroundPass);
    if (!begun) plan = PlanClockFrame(picture, view, FrameOutputState{});
    if (plan.putBack == PutBack::Drawn) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawBackgroundPass();
    }
    if ((plan.tiles | plan.backs | plan.flaps | plan.falling) != 0) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, g_atlasTexture->GetTexture());
    }
    DrawTiles(plan.tiles);
    DrawTileBacks(plan.backs);
    if (plan.keep != Keep::Nothing) output.Keep(plan);
    DrawFlaps(plan.flaps);
    DrawTiles(plan.falling);
    if (begun) output.End(plan);
}

void SetupClockScene() {
    g_programRegistry = new GLFWProgramRegistry();
    g_sceneState = new GLFWSceneState();
    g_camera = new GLFWCamera(0.0f, 0.0f, 100.0f);
    g_camera->StoreLookAt(0);
    g_backgroundTexture = new GLFWTexture(kBackgroundBitmapId, kPictureSize);
    g_atlasTexture = new GLFWTexture(kAtlasBitmapId, kPictureSize);
    g_programRegistry->Add("BackgroundProgram", kBackgroundVertexShaderId,
                           kBackgroundFragmentShaderId);
    g_programRegistry->Add("PanelProgram", kPanelVertexShaderId, kPanelFragmentShaderId);
    g_programRegistry->Add("DigitProgram", kDigitVertexShaderId, kDigitFragmentShaderId);
    g_backgroundDrawable = BuildDrawable("BackgroundProgram", 500.0f);
    g_panelDrawable = BuildDrawable("PanelProgram", 1.0f);
    g_digitDrawable = BuildDrawable("DigitProgram", 1.0f);

    // The click is held ready on the display window's sound device; nothing
    // plays it, and a failed load leaves the clock without it.
    g_clickSound = new CDirectSound();
    void* window = NativeWindowHandle(glfwGetCurrentContext());
    g_clickSound->LoadFromResource(kClickSoundId, &window);
}

void FollowTimeOfDay(double localSecondsOfDay, double timer) {
    g_secondsOfDay = localSecondsOfDay;
    g_clockTimerBase = timer;
    ResetFlipState();
}

void RetakeTimeOfDay(double timer) {
    const double local = LocalSecondsOfDay();
    // A failed reading leaves the count as it is, but no flap half-fallen.
    if (local >= 0.0) {
        FollowTimeOfDay(local, timer);
    } else {
        ResetFlipState();
    }
    g_nextTimeOfDayCheck = timer + kTimeOfDayCheckInterval;
}

void KeepTimeOfDay(double timer) {
    if (g_clockFirstFrame != 0) {
        CaptureTimeOfDay();
        g_clockTimerBase = timer;
        g_clockFirstFrame = 0;
    } else if (timer < g_nextTimeOfDayCheck) {
        return;
    } else {
        const double local = LocalSecondsOfDay();
        // A failed reading is no reason to move the clock.
        if (local >= 0.0 && ClockHasParted(ClockTimeAt(timer), local)) {
            FollowTimeOfDay(local, timer);
        }
    }
    g_nextTimeOfDayCheck = timer + kTimeOfDayCheckInterval;
}

void UpdateClockAt(double clockTime) {
    SplitClockTime(g_currentDigits, clockTime);
    SplitClockTime(g_upcomingDigits, clockTime + 0.5);
    UpdateFlipState(clockTime);
}

double UpdateClock(double timer) {
    const double clockTime = ClockTimeAt(timer);
    UpdateClockAt(clockTime);
    return clockTime;
}

double UpdateClockFrame(double timer) {
    KeepTimeOfDay(timer);
    const double clockTime = UpdateClock(timer);
    // Whether a flap falls does not depend on the size.
    const double change = NextPictureChange(CurrentClockPicture(0, 0), clockTime);
    // Clock units stay here: the loop rests in timer units.
    return change <= clockTime ? timer : TimerAt(change);
}
