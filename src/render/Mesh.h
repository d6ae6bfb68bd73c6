// A mesh in main memory: interleaved vertex records and 32-bit indices.
#pragma once

#include <cstdint>

class GLFWImportedMesh;

class GLFWMesh {
public:
    static constexpr std::int32_t kFloatsPerVertex = 24;

    // From OBJ and MTL text resources through the mesh import; positions
    // multiplied by scale.
    GLFWMesh(int objId, int mtlId, float scale);

    // From two "TEXTFILE" resources holding raw vertex records and indices
    // (the dump format), used in place without copying. The counts are held
    // to what the resources really contain.
    GLFWMesh(int vertexResourceId, std::int32_t vertexCount, int indexResourceId,
             std::int32_t indexCount);

    ~GLFWMesh();
    GLFWMesh(const GLFWMesh&) = delete;
    GLFWMesh& operator=(const GLFWMesh&) = delete;

    const float* Vertices() const { return vertices_; }
    const std::uint32_t* Indices() const { return indices_; }
    std::int32_t VertexCount() const { return vertexCount_; }
    std::int32_t IndexCount() const { return indexCount_; }
    std::int32_t FloatsPerVertex() const { return floatsPerVertex_; }
    // Float offsets of position, texture coordinate, normal, tangent,
    // bitangent, ambient, diffuse, specular with shininess.
    const std::int32_t* Offsets() const { return offsets_; }

private:
    void Interleave();

    const float* vertices_ = nullptr;
    std::int32_t floatsPerVertex_ = kFloatsPerVertex;
    std::int32_t offsets_[8] = {0, 3, 5, 8, 11, 14, 17, 20};
    const std::uint32_t* indices_ = nullptr;
    GLFWImportedMesh* importedMesh_ = nullptr;
    std::int32_t vertexCount_ = 0;
    std::int32_t indexCount_ = 0;
    bool builtFromText_ = false;
};
