#include "render/Drawable.h"

#include <cstdio>

#include "platform/GL.h"
#include "render/Camera.h"
#include "render/Program.h"
#include "render/SceneState.h"

// ---- GLFWDrawableObject ----------------------------------------------------------

GLFWDrawableObject::GLFWDrawableObject(GLFWSceneState* sceneState, GLFWCamera* camera,
                                       GLFWProgramRegistry* registry, const char* programKey,
                                       int objId, int mtlId, float scale)
    : sceneState_(sceneState),
      registry_(registry),
      mesh_(new GLFWMesh(objId, mtlId, scale)),
      vertexBuffer_(new GLFWVertexBuffer(registry)),
      camera_(camera),
      programKey_(programKey) {
    SetBufferData();
}

GLFWDrawableObject::GLFWDrawableObject(GLFWSceneState* sceneState, GLFWCamera* camera,
                                       GLFWProgramRegistry* registry, const char* programKey,
                                       int vertexResourceId, std::int32_t vertexCount,
                                       int indexResourceId, std::int32_t indexCount)
    : sceneState_(sceneState),
      registry_(registry),
      mesh_(new GLFWMesh(vertexResourceId, vertexCount, indexResourceId, indexCount)),
      vertexBuffer_(new GLFWVertexBuffer(registry)),
      camera_(camera),
      programKey_(programKey) {
    SetBufferData();
}

void GLFWDrawableObject::SetBufferData() {
    const std::int32_t floats = GLFWMesh::kFloatsPerVertex;
    vertexBuffer_->SetVertexData(mesh_->VertexCount() * floats * 4, mesh_->Vertices(), floats);
    vertexBuffer_->SetIndexData(mesh_->IndexCount() * 4, mesh_->Indices(), mesh_->IndexCount());
}

GLFWDrawableObject::~GLFWDrawableObject() {
    delete mesh_;
    delete vertexBuffer_;
}

void GLFWDrawableObject::Build() {
    SetupAttributes();
    vertexBuffer_->Upload();
}

void GLFWDrawableObject::Draw() {
    GLFWProgram* program = registry_->Get(programKey_);
    if (program == nullptr) return;  // a key never added: nothing to draw with
    registry_->Use(programKey_);
    BeforeDraw();

    const Mat4 worldProjection = camera_->GetProjection() * camera_->GetView();
    const Mat4 modelProjection = worldProjection * model_;
    glUniformMatrix4fv(program->GetUniformLocation("model_world"), 1, GL_FALSE, model_.Data());
    glUniformMatrix4fv(program->GetUniformLocation("world_projection"), 1, GL_FALSE,
                       worldProjection.Data());
    glUniformMatrix4fv(program->GetUniformLocation("model_projection"), 1, GL_FALSE,
                       modelProjection.Data());

    SetUniforms();
    vertexBuffer_->Prepare();
    glDrawElements(GL_TRIANGLES, vertexBuffer_->GetIndexCount(), GL_UNSIGNED_INT, nullptr);
}

void GLFWDrawableObject::DumpMesh() const {
    // The records and indices as they lie in memory (little-endian on every
    // machine we build for); a file that cannot be opened is skipped.
    if (std::FILE* data = std::fopen("GLFWDrawableObject_data.bin", "wb")) {
        std::fwrite(mesh_->Vertices(), sizeof(float) * GLFWMesh::kFloatsPerVertex,
                    static_cast<std::size_t>(mesh_->VertexCount()), data);
        std::fclose(data);
    }
    if (std::FILE* index = std::fopen("GLFWDrawableObject_index.bin", "wb")) {
        std::fwrite(mesh_->Indices(), sizeof(std::uint32_t),
                    static_cast<std::size_t>(mesh_->IndexCount()), index);
        std::fclose(index);
    }
}

// ---- GLFWDrawableSky ---------------------------------------------------------------

GLFWDrawableSky::GLFWDrawableSky(GLFWSceneState* sceneState, GLFWCamera* camera,
                                 GLFWProgramRegistry* registry, const char* programKey, int objId,
                                 int mtlId, float scale)
    : GLFWDrawableObject(sceneState, camera, registry, programKey, objId, mtlId, scale) {}

void GLFWDrawableSky::SetTile(std::int32_t index, float top, float left, float mode, float angle) {
    index_ = index;
    tileTop_ = top;
    tileLeft_ = left;
    tileMode_ = mode;
    tileAngle_ = angle;
}

void GLFWDrawableSky::SetupAttributes() {
    vertexBuffer_->AddAttribute(programKey_, "position", 3, 0);
    vertexBuffer_->AddAttribute(programKey_, "position_tex", 2, 3);
    vertexBuffer_->AddAttribute(programKey_, "position_normal", 3, 5);
}

void GLFWDrawableSky::SetUniforms() {
    // All eight go to every program; names a program does not use are at -1,
    // where GL ignores them.
    GLFWProgram* program = registry_->Get(programKey_);
    glUniform1f(program->GetUniformLocation("tile_top"), tileTop_);
    glUniform1f(program->GetUniformLocation("tile_left"), tileLeft_);
    glUniform1f(program->GetUniformLocation("tile_mode"), tileMode_);
    glUniform1f(program->GetUniformLocation("tile_angle"), tileAngle_);
    glUniform1i(program->GetUniformLocation("index"), index_);
    glUniform1f(program->GetUniformLocation("iTime"), sceneState_->GetFrameTime());
    glUniform1f(program->GetUniformLocation("viewportWidth"), sceneState_->GetViewportWidth());
    glUniform1f(program->GetUniformLocation("viewportHeight"), sceneState_->GetViewportHeight());
}

void GLFWDrawableSky::BeforeDraw() {}
