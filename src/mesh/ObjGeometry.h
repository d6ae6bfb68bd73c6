// Faces of an OBJ model: corners to vertices, polygons to triangles.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "mesh/ObjTypes.h"

namespace objl {

// Whether p lies in the triangle (a, b, c), edges included, by barycentric
// coordinates. A degenerate triangle contains nothing.
bool PointInTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c);

// The vertices of an "f" line, one per corner, from the positions, texture
// coordinates and normals read so far. Corners without a normal get the face
// normal (corner 0 - corner 1) x (corner 2 - corner 1) on every vertex.
//
// False, with `face` empty, when the face is rejected: a corner with more
// than three '/'-separated parts, or a part that names no element (not a
// number, 0, or beyond its list). An empty corner (from two blanks in a row)
// is not a corner and is skipped. A face with fewer than three corners keeps
// the normals its corners have (zero unless one of them gave one): it has no
// face normal, and it makes no triangle anyway.
bool BuildFaceVertices(std::string_view line, const std::vector<Vector3>& positions,
                       const std::vector<Vector2>& textureCoordinates,
                       const std::vector<Vector3>& normals, std::vector<Vertex>& face);

// Triangle indices local to the face, three per triangle, by ear clipping;
// a convex quadrilateral 0, 1, 2, 3 gives 0, 1, 3 and 1, 2, 3. The result is
// always whole triangles:
// - A face of four or more corners is reduced to its distinct positions
//   (the first corner at each); the indices name those corners.
// - A face of four or more corners with a position that is not finite gives
//   nothing (positions could not be told apart).
// - When a walk over the remaining corners clips no ear, the triangles found
//   so far are kept and clipping ends.
void TriangulateFace(const std::vector<Vertex>& face, std::vector<std::uint32_t>& indices);

}  // namespace objl
