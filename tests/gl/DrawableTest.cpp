#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/GL.h"
#include "render/Camera.h"
#include "render/Drawable.h"
#include "render/Program.h"
#include "render/SceneState.h"
#include "resources/ResourceIds.h"
#include "support/ScratchDir.h"

namespace {

// A registry with the three scene programs, a scene state and the scene's camera.
class DrawableTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.Add("BackgroundProgram", kBackgroundVertexShaderId, kBackgroundFragmentShaderId);
        registry.Add("PanelProgram", kPanelVertexShaderId, kPanelFragmentShaderId);
        registry.Add("DigitProgram", kDigitVertexShaderId, kDigitFragmentShaderId);
        camera.StoreLookAt(0);
        camera.SetProjection(Ortho(-800.0f, 800.0f, -500.0f, 500.0f, -1000.0f, 1000.0f));
        camera.SelectView(0);
        scene.SetViewportSize(1600.0f, 1000.0f);
        scene.SetFrameTime(12.5f);
    }

    GLint Attribute(const char* program, const char* name) {
        return registry.Get(program)->GetAttribLocation(name);
    }

    GLFWProgramRegistry registry;
    GLFWSceneState scene;
    GLFWCamera camera{0.0f, 0.0f, 100.0f};
};

GLint VertexAttrib(GLint location, GLenum what) {
    GLint value = -1;
    glGetVertexAttribiv(static_cast<GLuint>(location), what, &value);
    return value;
}

std::intptr_t VertexAttribOffset(GLint location) {
    void* pointer = nullptr;
    glGetVertexAttribPointerv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_POINTER,
                              &pointer);
    return reinterpret_cast<std::intptr_t>(pointer);
}

void ExpectFloatInput(GLint location, GLint size, std::intptr_t offset, const char* what) {
    ASSERT_GE(location, 0) << what;
    EXPECT_EQ(VertexAttrib(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE) << what;
    EXPECT_EQ(VertexAttrib(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE), 96) << what;
    EXPECT_EQ(VertexAttrib(location, GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT) << what;
    EXPECT_EQ(VertexAttrib(location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE) << what;
    EXPECT_EQ(VertexAttrib(location, GL_VERTEX_ATTRIB_ARRAY_SIZE), size) << what;
    EXPECT_EQ(VertexAttribOffset(location), offset) << what;
}

TEST_F(DrawableTest, InputsPointIntoTheInterleavedRecords) {
    // position_normal is declared but read by no shader: -1, skipped.
    GLFWDrawableSky background(&scene, &camera, &registry, "BackgroundProgram", kRectangleObjId,
                               kRectangleMtlId, 500.0f);
    background.Build();
    background.SetModelMatrix(Translate(0.0f, 0.0f, -300.0f));
    background.Draw();
    EXPECT_EQ(Attribute("BackgroundProgram", "position_normal"), -1);
    ExpectFloatInput(Attribute("BackgroundProgram", "position"), 3, 0, "background position");
    // The background places its picture by screen position, so a compiler
    // may drop its texture coordinate; when kept, it is fed like the digit's.
    const GLint backgroundTexture = Attribute("BackgroundProgram", "position_tex");
    if (backgroundTexture >= 0) {
        ExpectFloatInput(backgroundTexture, 2, 12, "background position_tex");
    }

    GLFWDrawableSky digit(&scene, &camera, &registry, "DigitProgram", kRectangleObjId,
                          kRectangleMtlId, 1.0f);
    digit.Build();
    digit.SetModelMatrix(Mat4::Identity());
    digit.Draw();
    EXPECT_EQ(Attribute("DigitProgram", "position_normal"), -1);
    ExpectFloatInput(Attribute("DigitProgram", "position"), 3, 0, "digit position");
    ExpectFloatInput(Attribute("DigitProgram", "position_tex"), 2, 12, "digit position_tex");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawableTest, RectangleMeshIsInterleavedFromTheImport) {
    GLFWDrawableSky digit(&scene, &camera, &registry, "DigitProgram", kRectangleObjId,
                          kRectangleMtlId, 1.0f);
    const GLFWMesh& mesh = digit.GetMesh();
    ASSERT_EQ(mesh.VertexCount(), 6);
    ASSERT_EQ(mesh.IndexCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(mesh.Indices()[i], static_cast<std::uint32_t>(i));
    const float* first = mesh.Vertices();
    const float expected[24] = {-2.5f,   2.3698f, 0.0f,    0.0f,    1.0f,  0.0f,  0.0f,    1.0f,
                                1.0f,    0.0f,    0.0f,    0.0f,    1.0f,  0.0f,  0.7765f, 0.8824f,
                                0.3412f, 0.7765f, 0.8824f, 0.3412f, 0.35f, 0.35f, 0.35f,   32.0f};
    for (int k = 0; k < 24; ++k) EXPECT_FLOAT_EQ(first[k], expected[k]) << "float " << k;
    // Vertex 3, the lower right corner: position and texture coordinate.
    EXPECT_FLOAT_EQ(mesh.Vertices()[3 * 24 + 0], 2.5f);
    EXPECT_FLOAT_EQ(mesh.Vertices()[3 * 24 + 1], -2.6302f);
    EXPECT_FLOAT_EQ(mesh.Vertices()[3 * 24 + 3], 1.0f);
    EXPECT_FLOAT_EQ(mesh.Vertices()[3 * 24 + 4], 0.0f);
}

TEST_F(DrawableTest, DrawSendsMatricesTileFieldsAndSceneValues) {
    GLFWDrawableSky digit(&scene, &camera, &registry, "DigitProgram", kRectangleObjId,
                          kRectangleMtlId, 1.0f);
    digit.Build();
    const Mat4 model = Translate(100.0f, 7.2f, -40.0f) * Scale(2.0f, 3.0f, 1.0f);
    digit.SetModelMatrix(model);
    digit.SetTile(3, 0.5f, 0.25f, 2.0f, 45.0f);
    digit.Draw();

    GLFWProgram* program = registry.Get("DigitProgram");
    const GLuint id = program->GetProgram();
    auto uniform = [&](const char* name) {
        GLfloat value = -1.0f;
        glGetUniformfv(id, program->GetUniformLocation(name), &value);
        return value;
    };
    EXPECT_EQ(uniform("tile_top"), 0.5f);
    EXPECT_EQ(uniform("tile_left"), 0.25f);
    EXPECT_EQ(uniform("tile_mode"), 2.0f);
    EXPECT_EQ(uniform("tile_angle"), 45.0f);
    GLint index = -1;
    glGetUniformiv(id, program->GetUniformLocation("index"), &index);
    EXPECT_EQ(index, 3);

    const Mat4 worldProjection = camera.GetProjection() * camera.GetView();
    GLfloat matrix[16];
    glGetUniformfv(id, program->GetUniformLocation("model_world"), matrix);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(matrix[k], model.Data()[k]) << k;
    glGetUniformfv(id, program->GetUniformLocation("world_projection"), matrix);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(matrix[k], worldProjection.Data()[k]) << k;
    // The digit program has no use for model_projection; the background's does.
    EXPECT_EQ(program->GetUniformLocation("model_projection"), -1);

    GLFWDrawableSky background(&scene, &camera, &registry, "BackgroundProgram", kRectangleObjId,
                               kRectangleMtlId, 500.0f);
    background.Build();
    background.SetModelMatrix(model);
    background.Draw();
    GLFWProgram* backgroundProgram = registry.Get("BackgroundProgram");
    const Mat4 modelProjection = worldProjection * model;
    glGetUniformfv(backgroundProgram->GetProgram(),
                   backgroundProgram->GetUniformLocation("model_projection"), matrix);
    for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(matrix[k], modelProjection.Data()[k]) << k;
    GLfloat width = 0.0f;
    glGetUniformfv(backgroundProgram->GetProgram(),
                   backgroundProgram->GetUniformLocation("viewportWidth"), &width);
    EXPECT_EQ(width, 1600.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawableTest, DrawnRectangleCoversTheWindowCentre) {
    // The background program maps the (here empty, black) texture by screen
    // position; the panel program paints grey: a draw that reaches the
    // framebuffer shows it.
    GLFWDrawableSky panel(&scene, &camera, &registry, "PanelProgram", kRectangleObjId,
                          kRectangleMtlId, 1.0f);
    panel.Build();
    panel.SetModelMatrix(Scale(100.0f, 100.0f, 1.0f));
    glViewport(0, 0, 256, 256);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    panel.Draw();
    unsigned char centre[4] = {};
    glReadPixels(128, 128, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    EXPECT_NEAR(centre[0], 77, 1);
    EXPECT_NEAR(centre[2], 77, 1);
    unsigned char corner[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
    EXPECT_EQ(corner[2], 255);  // outside the rectangle the clear colour stays
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(DrawableTest, DumpWritesRecordsAndIndicesAsInMemory) {
    GLFWDrawableSky digit(&scene, &camera, &registry, "DigitProgram", kRectangleObjId,
                          kRectangleMtlId, 1.0f);
    ScratchDir dir;
    digit.DumpMesh();
    std::ifstream data("GLFWDrawableObject_data.bin", std::ios::binary);
    std::ifstream index("GLFWDrawableObject_index.bin", std::ios::binary);
    const std::string dataBytes((std::istreambuf_iterator<char>(data)), {});
    const std::string indexBytes((std::istreambuf_iterator<char>(index)), {});
    ASSERT_EQ(dataBytes.size(), 96u * 6);
    ASSERT_EQ(indexBytes.size(), 4u * 6);
    EXPECT_EQ(std::memcmp(dataBytes.data(), digit.GetMesh().Vertices(), dataBytes.size()), 0);
    EXPECT_EQ(std::memcmp(indexBytes.data(), digit.GetMesh().Indices(), indexBytes.size()), 0);
}

TEST_F(DrawableTest, RawDataResourcesAreUsedInPlaceWithinTheirSize) {
    GLFWMesh mesh(9101, 4, 9102, 6);
    ASSERT_EQ(mesh.VertexCount(), 4);
    ASSERT_EQ(mesh.IndexCount(), 6);
    EXPECT_EQ(mesh.Vertices()[3 * 24 + 5], 305.0f);
    EXPECT_EQ(mesh.Indices()[5], 3u);
    // Counts beyond the resources are held to what they contain.
    GLFWMesh tooMany(9101, 1000, 9102, 1000);
    EXPECT_EQ(tooMany.VertexCount(), 4);
    EXPECT_EQ(tooMany.IndexCount(), 6);
    GLFWMesh missing(9998, 10, 9999, 10);
    EXPECT_EQ(missing.VertexCount(), 0);
    EXPECT_EQ(missing.IndexCount(), 0);

    GLFWDrawableObject* drawable = nullptr;
    struct Raw : GLFWDrawableObject {
        using GLFWDrawableObject::GLFWDrawableObject;
        void SetupAttributes() override {
            vertexBuffer_->AddAttribute(programKey_, "position", 3, 0);
        }
        void SetUniforms() override {}
        void BeforeDraw() override {}
    };
    Raw raw(&scene, &camera, &registry, "PanelProgram", 9101, 4, 9102, 6);
    drawable = &raw;
    drawable->Build();
    drawable->SetModelMatrix(Mat4::Identity());
    drawable->Draw();
    EXPECT_EQ(raw.GetVertexBuffer().GetIndexCount(), 6);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawableTest, UnknownProgramKeyDrawsNothing) {
    GLFWDrawableSky lost(&scene, &camera, &registry, "NoSuchProgram", kRectangleObjId,
                         kRectangleMtlId, 1.0f);
    lost.Build();
    lost.SetModelMatrix(Mat4::Identity());
    lost.Draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
