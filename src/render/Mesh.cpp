#include "render/Mesh.h"

#include <algorithm>
#include <cstring>

#include "mesh/ImportedMesh.h"
#include "platform/Resources.h"

GLFWMesh::GLFWMesh(int objId, int mtlId, float scale)
    : importedMesh_(new GLFWImportedMesh(static_cast<std::uint16_t>(objId),
                                         static_cast<std::uint16_t>(mtlId), scale)),
      builtFromText_(true) {
    Interleave();
}

void GLFWMesh::Interleave() {
    const GLFWImportedMesh& m = *importedMesh_;
    vertexCount_ = m.VertexCount();
    indexCount_ = m.IndexCount();
    float* vertices = new float[static_cast<std::size_t>(vertexCount_) * kFloatsPerVertex];
    struct Part {
        const float* source;
        int count;
    };
    const Part parts[8] = {
        {m.Positions().data(), 3},      {m.TextureCoordinates().data(), 2},
        {m.Normals().data(), 3},        {m.Tangents().data(), 3},
        {m.Bitangents().data(), 3},     {m.AmbientColours().data(), 3},
        {m.DiffuseColours().data(), 3}, {m.Specular().data(), 4},
    };
    for (std::int32_t i = 0; i < vertexCount_; ++i) {
        float* record = vertices + static_cast<std::size_t>(i) * kFloatsPerVertex;
        for (int p = 0; p < 8; ++p) {
            std::memcpy(record + offsets_[p],
                        parts[p].source + static_cast<std::size_t>(i) * parts[p].count,
                        sizeof(float) * parts[p].count);
        }
    }
    std::uint32_t* indices = new std::uint32_t[static_cast<std::size_t>(indexCount_)];
    std::copy(m.Indices().begin(), m.Indices().end(), indices);
    vertices_ = vertices;
    indices_ = indices;
}

GLFWMesh::GLFWMesh(int vertexResourceId, std::int32_t vertexCount, int indexResourceId,
                   std::int32_t indexCount) {
    const ResourceBytes vertexBytes = FindResourceBytes(vertexResourceId, kTextFileResource);
    const ResourceBytes indexBytes = FindResourceBytes(indexResourceId, kTextFileResource);
    const std::size_t vertexRecord = sizeof(float) * kFloatsPerVertex;
    // Resource bytes are aligned for any type (windres and our embedding both
    // align them), so they serve as the arrays as they are.
    vertices_ = reinterpret_cast<const float*>(vertexBytes.data);
    indices_ = reinterpret_cast<const std::uint32_t*>(indexBytes.data);
    vertexCount_ = static_cast<std::int32_t>(
        std::min<std::size_t>(vertexCount > 0 ? vertexCount : 0, vertexBytes.size / vertexRecord));
    indexCount_ = static_cast<std::int32_t>(std::min<std::size_t>(
        indexCount > 0 ? indexCount : 0, indexBytes.size / sizeof(std::uint32_t)));
}

GLFWMesh::~GLFWMesh() {
    if (builtFromText_) {
        delete[] vertices_;
        delete[] indices_;
        delete importedMesh_;
    }
}
