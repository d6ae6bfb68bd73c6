// One OBJ/MTL model merged into flat per-vertex arrays, ready for GLFWMesh to
// interleave: every face corner of the model stays a vertex of its own, in
// the loader's order; positions scaled, normals made unit length, material
// colours copied onto each vertex, a tangent and a bitangent per triangle.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace objl {
class ResourceLoader;
}

// OBJ and MTL texts handed over directly instead of by resource id.
struct MeshText {
    std::string_view obj;
    std::string_view mtl;
};

class GLFWImportedMesh {
public:
    // Runs ImportMesh(objId, mtlId, scale).
    GLFWImportedMesh(std::uint16_t objId, std::uint16_t mtlId, float scale);
    // The same from texts; a failed load ends the process just the same.
    GLFWImportedMesh(MeshText text, float scale);

    // Fills every array from the model. Returns only on success: when the
    // model yields nothing it shows "Failed to load mesh", shuts GLFW down
    // and ends the process with exit code 0.
    void ImportMesh(std::uint16_t objId, std::uint16_t mtlId, float scale);

    std::int32_t VertexCount() const { return vertexCount_; }
    std::int32_t IndexCount() const { return indexCount_; }
    float GetScale() const { return scale_; }

    // Per vertex: 3 floats; texture coordinates 2; specular 4 (colour and
    // exponent). Indices: one per entry, into the merged vertices.
    const std::vector<float>& Positions() const { return positions_; }
    const std::vector<float>& TextureCoordinates() const { return textureCoordinates_; }
    const std::vector<float>& Normals() const { return normals_; }
    const std::vector<float>& Tangents() const { return tangents_; }
    const std::vector<float>& Bitangents() const { return bitangents_; }
    const std::vector<float>& AmbientColours() const { return ambientColours_; }
    const std::vector<float>& DiffuseColours() const { return diffuseColours_; }
    const std::vector<float>& Specular() const { return specular_; }
    const std::vector<std::uint32_t>& Indices() const { return indices_; }

private:
    [[noreturn]] static void FailMeshLoad();
    void Merge(const objl::ResourceLoader& loader, float scale);
    void ComputeTangents();

    std::vector<float> positions_;
    std::vector<float> textureCoordinates_;
    std::vector<float> normals_;
    std::vector<float> tangents_;
    std::vector<float> bitangents_;
    std::vector<float> ambientColours_;
    std::vector<float> diffuseColours_;
    std::vector<float> specular_;
    std::vector<std::uint32_t> indices_;
    std::int32_t vertexCount_ = 0;
    std::int32_t indexCount_ = 0;
    float scale_ = 1.0f;
};
