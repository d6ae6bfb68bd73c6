// The MTL pass: materials in file order, appended to the loader's list.
#include <new>
#include <string>

#include "mesh/ObjLoader.h"
#include "mesh/ObjText.h"

namespace objl {

namespace {

// A colour line with anything but exactly three numbers is ignored.
void ReadColour(const std::string& tail, Vector3& colour) {
    std::vector<std::string> fields;
    SplitString(tail, " ", fields);
    Vector3 c;
    if (fields.size() == 3 && ParseFloat(fields[0], c.x) && ParseFloat(fields[1], c.y) &&
        ParseFloat(fields[2], c.z)) {
        colour = c;
    }
}

// Lines keep their carriage returns: numbers stop before them, names and
// maps other than "newmtl" keep them.
void ReadLine(std::string_view line, Material& material, bool& open,
              std::vector<Material>& materials) {
    const std::string token = FirstToken(line);
    if (token.empty()) return;
    const std::string tail = LineTail(line);
    if (token == "newmtl") {
        if (open) {
            materials.push_back(material);
            material = Material{};
        }
        open = true;
        material.name = line.size() < 8 ? "none" : TrimLineEnd(tail);
    } else if (token == "Ka") {
        ReadColour(tail, material.ambient);
    } else if (token == "Kd") {
        ReadColour(tail, material.diffuse);
    } else if (token == "Ks") {
        ReadColour(tail, material.specular);
    } else if (token == "Ns") {
        ParseFloat(tail, material.specularExponent);  // no number: value unchanged
    } else if (token == "Ni") {
        ParseFloat(tail, material.opticalDensity);
    } else if (token == "d") {
        ParseFloat(tail, material.dissolve);
    } else if (token == "illum") {
        ParseInt32(tail, material.illumination);
    } else if (token == "map_Ka") {
        material.ambientMap = tail;
    } else if (token == "map_Kd") {
        material.diffuseMap = tail;
    } else if (token == "map_Ks") {
        material.specularMap = tail;
    } else if (token == "map_Ns") {
        material.specularExponentMap = tail;
    } else if (token == "map_d") {
        material.alphaMap = tail;
    } else if (token == "map_Bump" || token == "map_bump" || token == "bump") {
        material.bumpMap = tail;
    }
}

}  // namespace

bool ResourceLoader::LoadMtlText(std::string_view mtlText) {
    try {
        Material material;
        bool open = false;
        ForEachLine(mtlText, [&](std::string_view line) {
            ReadLine(line, material, open, loadedMaterials_);
        });
        // The material in progress counts even without a "newmtl" line.
        loadedMaterials_.push_back(material);
    } catch (const std::bad_alloc&) {
        // No exception leaves the loader: out of memory fails the load.
        return false;
    }
    return !loadedMaterials_.empty();
}

}  // namespace objl
