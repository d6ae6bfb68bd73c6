// The OBJ pass: one line at a time into positions, texture coordinates,
// normals and faces, cut into meshes at objects, groups and material changes;
// then the material pass.
#include "mesh/ObjLoader.h"

#include <new>
#include <string>
#include <utility>

#include "mesh/ObjGeometry.h"
#include "mesh/ObjText.h"

namespace objl {

namespace {

// Drops every carriage return together with the character after it.
std::string WithoutCarriageReturns(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r') {
            ++i;
        } else {
            out += line[i];
        }
    }
    return out;
}

}  // namespace

class ResourceLoader::ObjParse {
public:
    ObjParse(ResourceLoader& loader, std::string_view mtlText)
        : loader_(loader), out_(*loader.progress_), mtlText_(mtlText) {}

    void Line(std::string_view rawLine) {
        const std::string line = WithoutCarriageReturns(rawLine);
        counter_ = (counter_ + 1) % 1000;
        if (counter_ == 1 && !meshName_.empty()) WriteProgress();

        const std::string token = FirstToken(line);
        if (token == "o" || token == "g" || (!line.empty() && line[0] == 'g')) {
            ObjectOrGroup(line, token == "o" || token == "g");
        } else if (token == "v") {
            ReadVector3(line, positions_);
        } else if (token == "vt") {
            ReadTextureCoordinate(line);
        } else if (token == "vn") {
            ReadVector3(line, normals_);
        } else if (token == "f") {
            Face(line);
        } else if (token == "usemtl") {
            UseMaterial(line);
        } else if (token == "mtllib") {
            loader_.LoadMtlText(mtlText_);
        }
    }

    // Ends the load: the last mesh and the material pass. The results go to
    // the loader only here, so a load cut short by lack of memory leaves the
    // previous ones in place.
    void Finish() {
        out_ << '\n';
        if (!currentVertices_.empty() && !currentIndices_.empty()) AppendMesh(meshName_);
        // Names beyond the last mesh have no mesh to go to and are skipped.
        for (std::size_t i = 0; i < materialNames_.size() && i < meshes_.size(); ++i) {
            for (const Material& material : loader_.loadedMaterials_) {
                if (material.name == materialNames_[i]) {
                    meshes_[i].material = material;
                    break;
                }
            }
        }
        loader_.loadedMeshes_.swap(meshes_);
        loader_.loadedVertices_.swap(vertices_);
        loader_.loadedIndices_.swap(indices_);
    }

private:
    void WriteProgress() {
        out_ << "\r- " << meshName_ << "\t| vertices > " << positions_.size() << "\t| texcoords > "
             << textureCoordinates_.size() << "\t| normals > " << normals_.size()
             << "\t| triangles > " << currentVertices_.size() / 3;
        if (!materialNames_.empty()) out_ << "\t| material: " << materialNames_.back();
    }

    void ObjectOrGroup(const std::string& line, bool named) {
        if (!objectSeen_) {
            objectSeen_ = true;
            meshName_ = named ? LineTail(line) : "unnamed";
        } else if (!currentVertices_.empty() && !currentIndices_.empty()) {
            AppendMesh(meshName_);
            meshName_ = LineTail(line);
        } else {
            meshName_ = named ? LineTail(line) : "unnamed";
        }
        out_ << '\n';
        counter_ = 0;
    }

    // A line with fewer than three numbers is skipped (see ParseFloat).
    void ReadVector3(const std::string& line, std::vector<Vector3>& list) {
        SplitString(LineTail(line), " ", fields_);
        Vector3 v;
        if (fields_.size() >= 3 && ParseFloat(fields_[0], v.x) && ParseFloat(fields_[1], v.y) &&
            ParseFloat(fields_[2], v.z)) {
            list.push_back(v);
        }
    }

    void ReadTextureCoordinate(const std::string& line) {
        SplitString(LineTail(line), " ", fields_);
        Vector2 t;
        if (fields_.size() >= 2 && ParseFloat(fields_[0], t.x) && ParseFloat(fields_[1], t.y)) {
            textureCoordinates_.push_back(t);
        }
    }

    void Face(const std::string& line) {
        if (!BuildFaceVertices(line, positions_, textureCoordinates_, normals_, face_)) return;
        currentVertices_.insert(currentVertices_.end(), face_.begin(), face_.end());
        vertices_.insert(vertices_.end(), face_.begin(), face_.end());
        TriangulateFace(face_, local_);
        const auto faceSize = static_cast<std::uint32_t>(face_.size());
        const auto currentBase = static_cast<std::uint32_t>(currentVertices_.size()) - faceSize;
        const auto loadedBase = static_cast<std::uint32_t>(vertices_.size()) - faceSize;
        for (std::uint32_t k : local_) {
            currentIndices_.push_back(currentBase + k);
            indices_.push_back(loadedBase + k);
        }
    }

    void UseMaterial(const std::string& line) {
        materialNames_.push_back(LineTail(line));
        if (!currentVertices_.empty() && !currentIndices_.empty()) AppendMesh(meshName_ + "_2");
        counter_ = 0;
    }

    void AppendMesh(const std::string& name) {
        Mesh mesh;
        mesh.name = name;
        mesh.vertices.swap(currentVertices_);
        mesh.indices.swap(currentIndices_);
        meshes_.push_back(std::move(mesh));
    }

    ResourceLoader& loader_;
    std::ostream& out_;
    std::string_view mtlText_;

    std::vector<Vector3> positions_;
    std::vector<Vector2> textureCoordinates_;
    std::vector<Vector3> normals_;
    std::vector<Vertex> currentVertices_;
    std::vector<std::uint32_t> currentIndices_;
    std::vector<std::string> materialNames_;
    std::string meshName_;
    bool objectSeen_ = false;
    int counter_ = 1000;

    std::vector<Mesh> meshes_;
    std::vector<Vertex> vertices_;
    std::vector<std::uint32_t> indices_;

    // Scratch, kept to reuse its storage from line to line.
    std::vector<std::string> fields_;
    std::vector<Vertex> face_;
    std::vector<std::uint32_t> local_;
};

bool ResourceLoader::LoadObjText(std::string_view objText, std::string_view mtlText) {
    try {
        ObjParse parse(*this, mtlText);
        ForEachLine(objText, [&parse](std::string_view line) { parse.Line(line); });
        parse.Finish();
    } catch (const std::bad_alloc&) {
        // No exception leaves the loader: out of memory fails the load.
        return false;
    }
    return !(loadedMeshes_.empty() && loadedVertices_.empty() && loadedIndices_.empty());
}

}  // namespace objl
