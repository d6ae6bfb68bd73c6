// Faces: corners to vertices, polygons to triangles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "mesh/ObjGeometry.h"

namespace {

using objl::Vector2;
using objl::Vector3;
using objl::Vertex;
using Indices = std::vector<std::uint32_t>;

std::vector<Vertex> Polygon(const std::vector<Vector3>& corners) {
    std::vector<Vertex> face;
    for (const Vector3& p : corners) face.push_back({p, {}, {}});
    return face;
}

Indices Triangulate(const std::vector<Vector3>& corners) {
    Indices indices{99};
    objl::TriangulateFace(Polygon(corners), indices);
    return indices;
}

void ExpectSame(const Vector3& expected, const Vector3& actual) {
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
    EXPECT_EQ(expected.z, actual.z);
}

// Whole triangles of three different corners of the face.
void ExpectWholeTriangles(const Indices& indices, std::size_t cornerCount) {
    ASSERT_EQ(0u, indices.size() % 3);
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        for (std::size_t k = 0; k < 3; ++k) EXPECT_LT(indices[t + k], cornerCount);
        EXPECT_NE(indices[t], indices[t + 1]);
        EXPECT_NE(indices[t + 1], indices[t + 2]);
        EXPECT_NE(indices[t], indices[t + 2]);
    }
}

float TriangleArea(const Vector3& a, const Vector3& b, const Vector3& c) {
    const Vector3 n = objl::Cross(b - a, c - a);
    return 0.5f * std::sqrt(objl::Dot(n, n));
}

TEST(PointInTriangle, EdgesCountAsInside) {
    const Vector3 a{0, 0, 0}, b{4, 0, 0}, c{0, 4, 0};
    EXPECT_TRUE(objl::PointInTriangle({1, 1, 0}, a, b, c));
    EXPECT_TRUE(objl::PointInTriangle({2, 0, 0}, a, b, c));
    EXPECT_TRUE(objl::PointInTriangle({2, 2, 0}, a, b, c));
    EXPECT_TRUE(objl::PointInTriangle(c, a, b, c));
    EXPECT_FALSE(objl::PointInTriangle({3, 3, 0}, a, b, c));
    EXPECT_FALSE(objl::PointInTriangle({-0.1f, 1, 0}, a, b, c));
    // A degenerate triangle contains nothing, not even its own corners.
    EXPECT_FALSE(objl::PointInTriangle({1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {2, 2, 0}));
    EXPECT_FALSE(objl::PointInTriangle({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}));
}

class FaceVertices : public ::testing::Test {
protected:
    bool Build(const char* line) {
        face = {Vertex{}};
        return objl::BuildFaceVertices(line, positions, textureCoordinates, normals, face);
    }

    const std::vector<Vector3> positions{{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {5, 5, 5}};
    const std::vector<Vector2> textureCoordinates{{0, 1}, {1, 0}, {0.5f, 0.5f}};
    const std::vector<Vector3> normals{{0, 0, 1}, {1, 0, 0}};
    std::vector<Vertex> face;
};

TEST_F(FaceVertices, CornerKinds) {
    ASSERT_TRUE(Build("f 1//2 2//2 3//1"));
    ExpectSame(normals[1], face[0].normal);
    ExpectSame(normals[0], face[2].normal);
    EXPECT_EQ(0.0f, face[2].textureCoordinate.x);

    ASSERT_TRUE(Build("f 1/2/1 2/3/1 3/1/1"));
    EXPECT_EQ(1.0f, face[0].textureCoordinate.x);
    EXPECT_EQ(0.5f, face[1].textureCoordinate.y);
    ExpectSame(normals[0], face[1].normal);

    ASSERT_TRUE(Build("f 1/1 2/2 3/3"));
    EXPECT_EQ(1.0f, face[0].textureCoordinate.y);
    EXPECT_EQ(-6.0f, face[0].normal.z);  // no normal given: the face normal

    // One corner without a normal gives the whole face the face normal.
    ASSERT_TRUE(Build("f 1//2 2 3//2"));
    for (const Vertex& v : face) ExpectSame({0, 0, -6}, v.normal);
}

TEST_F(FaceVertices, EmptyCornersAreSkipped) {
    ASSERT_TRUE(Build("f 1  2   3"));
    ASSERT_EQ(3u, face.size());
    ExpectSame(positions[2], face[2].position);
}

TEST_F(FaceVertices, FewerThanThreeCornersHaveNoFaceNormal) {
    ASSERT_TRUE(Build("f 1 2"));
    ASSERT_EQ(2u, face.size());
    ExpectSame({0, 0, 0}, face[1].normal);
    ASSERT_TRUE(Build("f 1//2 2"));
    ExpectSame(normals[1], face[1].normal);  // carried over from the corner before
    ASSERT_TRUE(Build("f"));
    EXPECT_TRUE(face.empty());
}

TEST_F(FaceVertices, BadCornersRejectTheFace) {
    for (const char* line :
         {"f 1 2 9", "f 1 2 -5", "f 0 1 2", "f a 1 2", "f 1/1/1/1 2 3", "f 1/9 2 3", "f 1//9 2 3",
          "f 1/x/1 2 3", "f //1 2 3", "f 1// 2 3", "f / 2 3", "f 1 2 3 99999999999999999999"}) {
        EXPECT_FALSE(Build(line)) << line;
        EXPECT_TRUE(face.empty()) << line;
    }
}

TEST(TriangulateFace, SmallFaces) {
    EXPECT_EQ(Indices{}, Triangulate({}));
    EXPECT_EQ(Indices{}, Triangulate({{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ((Indices{0, 1, 2}), Triangulate({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    // Three corners are taken as they are, even when they coincide.
    EXPECT_EQ((Indices{0, 1, 2}), Triangulate({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(TriangulateFace, ConvexPolygons) {
    EXPECT_EQ((Indices{0, 1, 3, 1, 2, 3}),
              Triangulate({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}));

    const std::vector<Vector3> pentagon{{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 3, 0}, {-1, 1, 0}};
    const Indices indices = Triangulate(pentagon);
    ASSERT_EQ(9u, indices.size());
    ExpectWholeTriangles(indices, pentagon.size());
    float area = 0.0f;
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        area +=
            TriangleArea(pentagon[indices[t]], pentagon[indices[t + 1]], pentagon[indices[t + 2]]);
        EXPECT_LT(indices[t], indices[t + 1]);  // ascending face order
        EXPECT_LT(indices[t + 1], indices[t + 2]);
    }
    // Shoelace area of the pentagon: the triangles cover it exactly once.
    EXPECT_FLOAT_EQ(7.0f, area);
}

TEST(TriangulateFace, RepeatedPositionsLeaveWholeTriangles) {
    // Reduced to the distinct corners 0, 1, 3.
    EXPECT_EQ((Indices{0, 1, 3}), Triangulate({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    // Reduced to the quadrilateral 0, 1, 3, 4.
    EXPECT_EQ((Indices{0, 1, 4, 1, 3, 4}),
              Triangulate({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}));
    EXPECT_EQ((Indices{0, 1, 4, 1, 2, 4}),
              Triangulate({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {0, 1, 0}}));
    EXPECT_EQ(Indices{}, Triangulate({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}}));
    EXPECT_EQ(Indices{}, Triangulate({{1, 1, 1}, {2, 2, 2}, {1, 1, 1}, {2, 2, 2}, {1, 1, 1}}));
}

TEST(TriangulateFace, NonFinitePositionsGiveNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Indices{}, Triangulate({{0, 0, 0}, {1, 0, 0}, {nan, 1, 0}, {0, 1, 0}}));
    EXPECT_EQ(Indices{}, Triangulate({{0, 0, 0}, {1, 0, inf}, {1, 1, 0}, {0, 1, 0}, {0, 2, 0}}));
}

TEST(TriangulateFace, AWalkWithoutAnEarEndsTheClipping) {
    // After two ears every remaining corner has another face corner inside
    // its triangle: clipping stops and keeps those two triangles.
    const std::vector<Vector3> face{{1, 1, 0}, {4, 1, 0}, {0, 1, 0}, {4, 3, 0},
                                    {0, 0, 0}, {2, 2, 0}, {4, 2, 0}};
    const Indices indices = Triangulate(face);
    EXPECT_EQ(6u, indices.size());
    ExpectWholeTriangles(indices, face.size());
}

TEST(TriangulateFace, NoEarAtAllGivesNothing) {
    // Every corner's triangle holds another corner of the face.
    EXPECT_EQ(Indices{},
              Triangulate({{4, 4, 0}, {0, 6, 0}, {3, 1, 0}, {6, 6, 0}, {2, 4, 0}, {3, 0, 0}}));
}

}  // namespace
