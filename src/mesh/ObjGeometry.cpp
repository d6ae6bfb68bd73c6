#include "mesh/ObjGeometry.h"

#include <cmath>
#include <string>

#include "mesh/ObjText.h"

namespace objl {

namespace {

bool IsFinite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Between0And1(float f) { return f >= 0.0f && f <= 1.0f; }

// Face numbers of the first corner at each distinct position, in face order.
std::vector<std::uint32_t> DistinctCorners(const std::vector<Vertex>& face) {
    std::vector<std::uint32_t> corners;
    for (std::uint32_t j = 0; j < face.size(); ++j) {
        bool seen = false;
        for (std::uint32_t k : corners) seen = seen || face[k].position == face[j].position;
        if (!seen) corners.push_back(j);
    }
    return corners;
}

// Ear clipping over corners of pairwise distinct, finite positions (at least
// four), so that every triangle emitted below finds exactly three corners.
class EarClipper {
public:
    EarClipper(const std::vector<Vertex>& face, const std::vector<std::uint32_t>& corners,
               std::vector<std::uint32_t>& indices)
        : face_(face), corners_(corners), indices_(indices) {}

    void Run() {
        std::vector<std::uint32_t> working = corners_;
        bool clipped = true;
        // A walk that reaches the end has clipped no ear; walking again would
        // repeat it unchanged, so that ends the clipping.
        while (clipped) {
            clipped = false;
            for (std::size_t i = 0; i < working.size(); ++i) {
                const std::size_t n = working.size();
                const std::uint32_t prev = working[i == 0 ? n - 1 : i - 1];
                const std::uint32_t cur = working[i];
                const std::uint32_t next = working[i + 1 == n ? 0 : i + 1];
                if (n == 4) {
                    Emit(cur, prev, next);
                    for (std::uint32_t fourth : working) {
                        if (At(fourth) != At(cur) && At(fourth) != At(prev) &&
                            At(fourth) != At(next)) {
                            Emit(prev, next, fourth);
                            break;
                        }
                    }
                    return;
                }
                if (!IsEar(prev, cur, next)) continue;
                Emit(cur, prev, next);
                for (std::size_t e = 0; e < n; ++e) {
                    if (At(working[e]) == At(cur)) {
                        working.erase(working.begin() + static_cast<std::ptrdiff_t>(e));
                        break;
                    }
                }
                clipped = true;
                break;
            }
        }
    }

private:
    const Vector3& At(std::uint32_t corner) const { return face_[corner].position; }

    // No other corner of the face lies in the triangle.
    bool IsEar(std::uint32_t prev, std::uint32_t cur, std::uint32_t next) const {
        for (const Vertex& v : face_) {
            if (PointInTriangle(v.position, At(prev), At(cur), At(next)) &&
                v.position != At(prev) && v.position != At(cur) && v.position != At(next)) {
                return false;
            }
        }
        return true;
    }

    // Corners are found by position, in face order, so each triangle comes
    // out in ascending face order whatever order its corners are named in.
    void Emit(std::uint32_t first, std::uint32_t second, std::uint32_t third) {
        for (std::uint32_t j : corners_) {
            if (At(j) == At(first)) indices_.push_back(j);
            if (At(j) == At(second)) indices_.push_back(j);
            if (At(j) == At(third)) indices_.push_back(j);
        }
    }

    const std::vector<Vertex>& face_;
    const std::vector<std::uint32_t>& corners_;
    std::vector<std::uint32_t>& indices_;
};

}  // namespace

bool PointInTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
    const Vector3 u = b - a;
    const Vector3 v = c - a;
    const Vector3 w = p - a;
    const Vector3 n = Cross(u, v);
    const float nn = Dot(n, n);
    if (!(nn > 0.0f)) return false;  // degenerate: the coordinates would be 0 / 0
    const float gamma = Dot(Cross(u, w), n) / nn;
    const float beta = Dot(Cross(w, v), n) / nn;
    const float alpha = 1.0f - beta - gamma;
    return Between0And1(alpha) && Between0And1(beta) && Between0And1(gamma);
}

bool BuildFaceVertices(std::string_view line, const std::vector<Vector3>& positions,
                       const std::vector<Vector2>& textureCoordinates,
                       const std::vector<Vector3>& normals, std::vector<Vertex>& face) {
    face.clear();
    std::vector<std::string> corners;
    std::vector<std::string> parts;
    SplitString(LineTail(line), " ", corners);
    Vertex vertex;  // reused: a corner without a normal keeps the previous one's
    bool normalMissing = false;
    for (const std::string& corner : corners) {
        SplitString(corner, "/", parts);
        if (parts.empty()) continue;
        bool named = parts.size() <= 3 && ResolveIndex(positions, parts[0], vertex.position);
        const bool hasTexture = parts.size() == 2 || (parts.size() == 3 && !parts[1].empty());
        const bool hasNormal = parts.size() == 3;
        if (hasTexture) {
            named = named && ResolveIndex(textureCoordinates, parts[1], vertex.textureCoordinate);
        } else {
            vertex.textureCoordinate = {};
        }
        if (hasNormal) {
            named = named && ResolveIndex(normals, parts[2], vertex.normal);
        } else {
            normalMissing = true;
        }
        if (!named) {
            face.clear();
            return false;
        }
        face.push_back(vertex);
    }
    if (normalMissing && face.size() >= 3) {
        const Vector3 normal =
            Cross(face[0].position - face[1].position, face[2].position - face[1].position);
        for (Vertex& v : face) v.normal = normal;
    }
    return true;
}

void TriangulateFace(const std::vector<Vertex>& face, std::vector<std::uint32_t>& indices) {
    indices.clear();
    if (face.size() < 3) return;
    if (face.size() == 3) {
        indices = {0, 1, 2};
        return;
    }
    for (const Vertex& v : face) {
        if (!IsFinite(v.position)) return;
    }
    const std::vector<std::uint32_t> corners = DistinctCorners(face);
    if (corners.size() < 3) return;
    if (corners.size() == 3) {
        indices = corners;
        return;
    }
    EarClipper(face, corners, indices).Run();
}

}  // namespace objl
