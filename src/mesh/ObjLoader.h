// Wavefront OBJ/MTL loader: one model and its material library, both read as
// text, into meshes (name, vertices, triangle indices, material) plus flat
// lists of every vertex and index of the model.
#pragma once

#include <cstdint>
#include <iostream>
#include <string_view>
#include <vector>

#include "mesh/ObjTypes.h"

namespace objl {

class ResourceLoader {
public:
    // Progress lines go to `progress` (standard output by default).
    explicit ResourceLoader(std::ostream& progress = std::cout) : progress_(&progress) {}

    // The OBJ text of "TEXTFILE" resource objId; "mtllib" lines load the MTL
    // text of resource mtlId (the library name on the line is not used). A
    // missing resource reads as an empty text. True when at least one mesh,
    // vertex or index came out.
    bool LoadObjResource(std::uint16_t objId, std::uint16_t mtlId);
    // Appends the materials of "TEXTFILE" resource mtlId; true once the text
    // was read (a missing resource still yields one default material).
    bool LoadMtlResource(std::uint16_t mtlId);

    // The same loads on texts given directly: any bytes, of exactly the size
    // given, no terminator expected.
    bool LoadObjText(std::string_view objText, std::string_view mtlText);
    bool LoadMtlText(std::string_view mtlText);

    // Meshes, vertices and indices of the last OBJ load; materials of every
    // MTL load of this loader.
    const std::vector<Mesh>& LoadedMeshes() const { return loadedMeshes_; }
    const std::vector<Vertex>& LoadedVertices() const { return loadedVertices_; }
    const std::vector<std::uint32_t>& LoadedIndices() const { return loadedIndices_; }
    const std::vector<Material>& LoadedMaterials() const { return loadedMaterials_; }

private:
    class ObjParse;

    std::ostream* progress_;
    std::vector<Mesh> loadedMeshes_;
    std::vector<Vertex> loadedVertices_;
    std::vector<std::uint32_t> loadedIndices_;
    std::vector<Material> loadedMaterials_;
};

}  // namespace objl
