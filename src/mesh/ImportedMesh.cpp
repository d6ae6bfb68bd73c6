#include "mesh/ImportedMesh.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <initializer_list>

#include "mesh/ObjLoader.h"
#include "platform/MessageBox.h"
#include "render/Vector.h"

namespace {

void Append(std::vector<float>& array, const objl::Vector3& v) {
    array.insert(array.end(), {v.x, v.y, v.z});
}

Vec3 Vec3At(const std::vector<float>& array, std::uint32_t vertex) {
    const float* p = &array[3 * static_cast<std::size_t>(vertex)];
    return {p[0], p[1], p[2]};
}

void Store(std::vector<float>& array, std::uint32_t vertex, Vec3 v) {
    float* p = &array[3 * static_cast<std::size_t>(vertex)];
    p[0] = v.x;
    p[1] = v.y;
    p[2] = v.z;
}

}  // namespace

GLFWImportedMesh::GLFWImportedMesh(std::uint16_t objId, std::uint16_t mtlId, float scale)
    : scale_(scale) {
    ImportMesh(objId, mtlId, scale);
}

GLFWImportedMesh::GLFWImportedMesh(MeshText text, float scale) : scale_(scale) {
    objl::ResourceLoader loader;
    if (!loader.LoadObjText(text.obj, text.mtl)) FailMeshLoad();
    Merge(loader, scale);
    ComputeTangents();
}

void GLFWImportedMesh::ImportMesh(std::uint16_t objId, std::uint16_t mtlId, float scale) {
    objl::ResourceLoader loader;
    if (!loader.LoadObjResource(objId, mtlId)) FailMeshLoad();
    Merge(loader, scale);
    ComputeTangents();
}

void GLFWImportedMesh::FailMeshLoad() {
    ShowMessageBox("Failed to load mesh", "Debug", MessageIcon::Information);
    glfwTerminate();
    std::exit(0);
}

// All meshes into one vertex set and one index list; the per-mesh lists are
// used, each mesh's indices shifted by the vertices before it.
void GLFWImportedMesh::Merge(const objl::ResourceLoader& loader, float scale) {
    std::size_t vertices = 0;
    std::size_t indices = 0;
    for (const objl::Mesh& mesh : loader.LoadedMeshes()) {
        vertices += mesh.vertices.size();
        indices += mesh.indices.size();
    }
    vertexCount_ = static_cast<std::int32_t>(vertices);
    indexCount_ = static_cast<std::int32_t>(indices);

    for (std::vector<float>* array : {&positions_, &normals_, &ambientColours_, &diffuseColours_}) {
        array->clear();
        array->reserve(3 * vertices);
    }
    textureCoordinates_.clear();
    textureCoordinates_.reserve(2 * vertices);
    specular_.clear();
    specular_.reserve(4 * vertices);
    indices_.clear();
    indices_.reserve(indices);

    std::uint32_t vertexBase = 0;
    for (const objl::Mesh& mesh : loader.LoadedMeshes()) {
        const objl::Material& material = mesh.material;
        for (const objl::Vertex& v : mesh.vertices) {
            positions_.insert(positions_.end(),
                              {v.position.x * scale, v.position.y * scale, v.position.z * scale});
            textureCoordinates_.insert(textureCoordinates_.end(),
                                       {v.textureCoordinate.x, v.textureCoordinate.y});
            const Vec3 normal = Normalize(Vec3{v.normal.x, v.normal.y, v.normal.z});
            normals_.insert(normals_.end(), {normal.x, normal.y, normal.z});
            Append(ambientColours_, material.ambient);
            Append(diffuseColours_, material.diffuse);
            Append(specular_, material.specular);
            specular_.push_back(material.specularExponent);
        }
        for (std::uint32_t index : mesh.indices) indices_.push_back(vertexBase + index);
        vertexBase += static_cast<std::uint32_t>(mesh.vertices.size());
    }
}

// Per triangle, from the scaled positions and the texture coordinates; a
// vertex shared by several triangles keeps the last one's values. Vertices
// that no triangle names keep zero tangents and bitangents.
void GLFWImportedMesh::ComputeTangents() {
    tangents_.assign(3 * static_cast<std::size_t>(vertexCount_), 0.0f);
    bitangents_.assign(3 * static_cast<std::size_t>(vertexCount_), 0.0f);
    for (std::size_t t = 0; t + 2 < indices_.size(); t += 3) {
        const std::uint32_t i0 = indices_[t];
        const std::uint32_t i1 = indices_[t + 1];
        const std::uint32_t i2 = indices_[t + 2];
        const Vec3 p0 = Vec3At(positions_, i0);
        const Vec3 e1 = Vec3At(positions_, i1) - p0;
        const Vec3 e2 = Vec3At(positions_, i2) - p0;
        const float* uv0 = &textureCoordinates_[2 * static_cast<std::size_t>(i0)];
        const float* uv1 = &textureCoordinates_[2 * static_cast<std::size_t>(i1)];
        const float* uv2 = &textureCoordinates_[2 * static_cast<std::size_t>(i2)];
        const float d1x = uv1[0] - uv0[0];
        const float d1y = uv1[1] - uv0[1];
        const float d2x = uv2[0] - uv0[0];
        const float d2y = uv2[1] - uv0[1];
        // Degenerate texture coordinates divide by zero: non-finite values,
        // unreported, as for a zero-length normal.
        const float f = 1.0f / (d1x * d2y - d2x * d1y);
        const Vec3 tangent = Normalize((e1 * d2y - e2 * d1y) * f);
        const Vec3 bitangent = Normalize((e1 * -d2x + e2 * d1x) * f);
        for (std::uint32_t i : {i0, i1, i2}) {
            Store(tangents_, i, tangent);
            Store(bitangents_, i, bitangent);
        }
    }
}
