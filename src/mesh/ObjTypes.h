// The OBJ loader's value types: what one model yields per mesh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace objl {

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
// Exact, component by component: faces find their corners by position.
inline bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Vertex {
    Vector3 position;
    Vector3 normal;
    Vector2 textureCoordinate;
};

struct Material {
    std::string name;                 // newmtl
    Vector3 ambient;                  // Ka
    Vector3 diffuse;                  // Kd
    Vector3 specular;                 // Ks
    float specularExponent = 0;       // Ns
    float opticalDensity = 0;         // Ni
    float dissolve = 0;               // d
    std::int32_t illumination = 0;    // illum
    std::string ambientMap;           // map_Ka
    std::string diffuseMap;           // map_Kd
    std::string specularMap;          // map_Ks
    std::string specularExponentMap;  // map_Ns
    std::string alphaMap;             // map_d
    std::string bumpMap;              // map_Bump, map_bump, bump
};

struct Mesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;  // into vertices, three per triangle
    Material material;
};

}  // namespace objl
