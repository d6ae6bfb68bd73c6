// Drawable objects: a mesh on the GPU drawn with one program of the registry,
// seen through a camera.
#pragma once

#include <cstdint>

#include "render/Math.h"
#include "render/Mesh.h"
#include "render/VertexBuffer.h"

class GLFWCamera;
class GLFWProgramRegistry;
class GLFWSceneState;

class GLFWDrawableObject {
public:
    // From OBJ and MTL text resources, positions multiplied by scale.
    GLFWDrawableObject(GLFWSceneState* sceneState, GLFWCamera* camera,
                       GLFWProgramRegistry* registry, const char* programKey, int objId, int mtlId,
                       float scale);
    // From raw vertex and index data resources (the dump format).
    GLFWDrawableObject(GLFWSceneState* sceneState, GLFWCamera* camera,
                       GLFWProgramRegistry* registry, const char* programKey, int vertexResourceId,
                       std::int32_t vertexCount, int indexResourceId, std::int32_t indexCount);
    // Not virtual: drawables are never deleted through the base.
    ~GLFWDrawableObject();
    GLFWDrawableObject(const GLFWDrawableObject&) = delete;
    GLFWDrawableObject& operator=(const GLFWDrawableObject&) = delete;

    // Declares the vertex inputs and uploads the buffers; once, after construction.
    void Build();
    // Selects the program, uploads the three matrices and the subclass's
    // uniforms, and draws the triangles. The model matrix must be set first.
    void Draw();
    void SetModelMatrix(const Mat4& model) { model_ = model; }
    // Writes the mesh to GLFWDrawableObject_data.bin and
    // GLFWDrawableObject_index.bin in the current folder.
    void DumpMesh() const;

    const GLFWMesh& GetMesh() const { return *mesh_; }
    GLFWVertexBuffer& GetVertexBuffer() { return *vertexBuffer_; }

protected:
    virtual void SetupAttributes() = 0;
    virtual void SetUniforms() = 0;
    virtual void BeforeDraw() = 0;

    GLFWSceneState* sceneState_;
    GLFWProgramRegistry* registry_;
    GLFWMesh* mesh_;
    GLFWVertexBuffer* vertexBuffer_;
    GLFWCamera* camera_;
    const char* programKey_;
    Mat4 model_;

private:
    void SetBufferData();
};

// The clock's drawable: the common vertex inputs, the scene-state uniforms
// and the five tile fields.
class GLFWDrawableSky : public GLFWDrawableObject {
public:
    GLFWDrawableSky(GLFWSceneState* sceneState, GLFWCamera* camera, GLFWProgramRegistry* registry,
                    const char* programKey, int objId, int mtlId, float scale);

    void SetTile(std::int32_t index, float top, float left, float mode, float angle);

protected:
    void SetupAttributes() override;
    void SetUniforms() override;
    void BeforeDraw() override;

private:
    float tileTop_ = 0.0f;
    float tileLeft_ = 0.0f;
    float tileMode_ = 1.0f;
    float tileAngle_ = 0.0f;
    std::int32_t index_ = 0;
};
