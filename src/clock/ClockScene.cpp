// The clock scene: set-up and the per-frame passes.
#include "clock/ClockScene.h"

#include <cmath>

#include <GLFW/glfw3.h>

#include "clock/ClockPicture.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "clock/RestingPicture.h"
#include "platform/DisplayGlobals.h"
#include "platform/GL.h"
#include "platform/NativeWindow.h"
#include "platform/RectanglePresent.h"
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
CDirectSound* g_clickSound = nullptr;

namespace {

constexpr int kPictureSize = 2048;
constexpr float kDepthRange = 1000.0f;

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

void BindAtlas() {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, g_atlasTexture->GetTexture());
}

// Clears the depth buffer in rect (the bound framebuffer's coordinates),
// where tiles are to be drawn: only the tiles test depth once the
// background is copied rather than drawn, and a software renderer's clear
// of a whole multisampled depth buffer costs more than the rest of a frame
// of the fall.
void ClearDepthIn(const PixelRect& rect) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(rect.x, rect.y, rect.width, rect.height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

// A frame drawn offscreen: around the positions whose look changed, what
// lies behind their flaps put back where it was kept (a frame of a fall
// after its first) and their flaps drawn, or else the background put back
// and the positions drawn whole, what lies behind falling flaps kept on the
// way. False where no target can be had.
bool DrawChangedOffscreen(const ClockPicture& picture, CRestingPicture& cache) {
    const std::int32_t width = picture.width;
    const std::int32_t height = picture.height;
    const std::uint32_t positions = cache.PositionsToDraw(picture);
    const std::uint32_t falling = FallingPositions(picture);
    const ClockPicture behind = BehindFlaps(picture);
    const bool behindKept = positions != 0 && cache.HoldsBehindFlaps(behind, positions);
    const PixelRect tiles = TilePixels(positions, width, height);
    // Only a target that holds no picture of the size is drawn whole.
    const PixelRect area =
        cache.HoldsPicture(width, height) ? tiles : PixelRect{0, 0, width, height};
    if (!cache.BeginOffscreen(picture, area, behindKept, DrawBackgroundPass)) return false;
    if (positions != 0) {
        ClearDepthIn(cache.InTarget(tiles));
        BindAtlas();
        if (!behindKept) {
            DrawTilesOf(positions & ~falling);
            DrawTileBacksOf(positions & falling);
            // Every falling position's backs are drawn: keep them.
            if (falling != 0 && (falling & ~positions) == 0) {
                cache.KeepBehindFlaps(behind, falling, TilePixels(falling, width, height));
            }
        }
        DrawFlapsOf(positions & falling);
    }
    cache.EndOffscreen();
    return true;
}

}  // namespace

void RenderClockFrame(std::int32_t width, std::int32_t height, CRestingPicture* cache) {
    glViewport(0, 0, width, height);

    const float halfWidth = kWorldHalfHeight * AspectRatioOf(width, height);
    g_camera->SetProjection(Ortho(-halfWidth, halfWidth, -kWorldHalfHeight, kWorldHalfHeight,
                                  -kDepthRange, kDepthRange));
    g_sceneState->SetViewportSize(static_cast<float>(width), static_cast<float>(height));
    g_camera->SelectView(0);

    const ClockPicture picture = CurrentClockPicture(width, height);
    if (cache != nullptr && cache->PresentsRectangles() && DrawChangedOffscreen(picture, *cache)) {
        return;
    }

    // While a flap falls the rest of the picture stays the same: kept from
    // the fall's first frame, copied into the next ones. A copy fills every
    // pixel, so the frame's clear is needed only where tiles test depth;
    // the clear colour and depth stay at GL's defaults: black, 1.0.
    const std::uint32_t falling = FallingPositions(picture);
    const ClockPicture still = StillPart(picture);
    const bool inWindow = cache != nullptr && !cache->PresentsRectangles();
    if (inWindow && falling != 0 && cache->CopyStill(still)) {
        ClearDepthIn(TilePixels(falling, width, height));
    } else {
        if (inWindow && cache->CopyBackground(width, height, DrawBackgroundPass)) {
            ClearDepthIn(TilePixels(kShownPositions, width, height));
        } else {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            DrawBackgroundPass();
        }
        BindAtlas();
        DrawTilesOf(kShownPositions & ~falling);
        if (inWindow && falling != 0) cache->KeepStill(still);
    }
    if (falling != 0) {
        BindAtlas();
        DrawTilesOf(falling);
    }
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

double UpdateClockFrame(double timer) {
    KeepTimeOfDay(timer);
    const double clockTime = UpdateClock(timer);
    const double change = NextPictureChange(clockTime);
    // Clock units stay here: the loop rests in timer units.
    return change <= clockTime ? timer : TimerAt(change);
}

void PresentClockFrame(GLFWwindow* window, const CRestingPicture* cache) {
    if (cache != nullptr && cache->PresentsRectangles()) {
        PresentRectangle(window, cache->PresentedRect());
    } else {
        glfwSwapBuffers(window);
    }
}
