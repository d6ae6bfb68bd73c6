// The import: merged arrays, scale, normals, colours, tangents; the failure
// path that ends the process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "mesh/ImportedMesh.h"
#include "resources/ResourceIds.h"

namespace {

using Floats = std::vector<float>;

Floats Repeat(const Floats& value, int times) {
    Floats out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), value.begin(), value.end());
    return out;
}

void ExpectFloatsEq(const Floats& expected, const Floats& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_FLOAT_EQ(expected[i], actual[i]) << "element " << i;
    }
}

void ExpectRectangle(const GLFWImportedMesh& mesh, float scale) {
    ASSERT_EQ(6, mesh.VertexCount());
    ASSERT_EQ(6, mesh.IndexCount());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}), mesh.Indices());
    const float left = -2.5f * scale, right = 2.5f * scale;
    const float top = 2.3698f * scale, bottom = -2.6302f * scale;
    ExpectFloatsEq({left, top, 0, left, bottom, 0, right, top, 0, right, bottom, 0, right, top, 0,
                    left, bottom, 0},
                   mesh.Positions());
    ExpectFloatsEq({0, 1, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0}, mesh.TextureCoordinates());
    ExpectFloatsEq(Repeat({0, 0, 1}, 6), mesh.Normals());
    ExpectFloatsEq(Repeat({1, 0, 0}, 6), mesh.Tangents());
    ExpectFloatsEq(Repeat({0, 1, 0}, 6), mesh.Bitangents());
    ExpectFloatsEq(Repeat({0.7765f, 0.8824f, 0.3412f}, 6), mesh.AmbientColours());
    ExpectFloatsEq(Repeat({0.7765f, 0.8824f, 0.3412f}, 6), mesh.DiffuseColours());
    ExpectFloatsEq(Repeat({0.35f, 0.35f, 0.35f, 32}, 6), mesh.Specular());
    EXPECT_EQ(scale, mesh.GetScale());
}

TEST(ImportedMesh, RectangleAtScaleOne) {
    ExpectRectangle(GLFWImportedMesh(kRectangleObjId, kRectangleMtlId, 1.0f), 1.0f);
}

TEST(ImportedMesh, RectangleAtScale500) {
    const GLFWImportedMesh mesh(kRectangleObjId, kRectangleMtlId, 500.0f);
    ExpectRectangle(mesh, 500.0f);
    EXPECT_FLOAT_EQ(-1250.0f, mesh.Positions()[0]);
    EXPECT_FLOAT_EQ(1184.9f, mesh.Positions()[1]);
    EXPECT_FLOAT_EQ(-1315.1f, mesh.Positions()[4]);
}

TEST(ImportedMesh, MeshesMergeWithShiftedIndices) {
    const std::string obj =
        "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 3\n"
        "o first\nusemtl red\nf 1 2 3\no second\nusemtl blue\nf 1 2 4\nf 4 3 1\n";
    const std::string mtl = "newmtl red\nKd 1 0 0\nKs 0 0 0\nNs 7\nnewmtl blue\nKa 0 0 1\n";
    const GLFWImportedMesh mesh(MeshText{obj, mtl}, 2.0f);
    ASSERT_EQ(9, mesh.VertexCount());
    ASSERT_EQ(9, mesh.IndexCount());
    EXPECT_EQ((std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}), mesh.Indices());
    EXPECT_EQ(6.0f, mesh.Positions()[3 * 5 + 2]);  // (0, 0, 3) x 2
    EXPECT_EQ(1.0f, mesh.DiffuseColours()[0]);
    EXPECT_EQ(7.0f, mesh.Specular()[3]);
    EXPECT_EQ(0.0f, mesh.DiffuseColours()[3 * 3]);
    EXPECT_EQ(1.0f, mesh.AmbientColours()[3 * 3 + 2]);
    EXPECT_EQ(0.0f, mesh.Specular()[4 * 3 + 3]);
    // Face normals come out unit length.
    // (p1 - p2) x (p3 - p2) = (0, 0, -1); (p1 - p2) x (p4 - p2) = (0, 3, 0).
    EXPECT_FLOAT_EQ(-1.0f, mesh.Normals()[2]);
    EXPECT_FLOAT_EQ(1.0f, mesh.Normals()[3 * 3 + 1]);
}

TEST(ImportedMesh, TangentsPerTriangle) {
    // The second face has two corners: its vertices belong to no triangle
    // and keep zero tangents.
    const std::string obj =
        "v 0 0 0\nv 4 0 0\nv 0 2 0\nvt 0 0\nvt 0 1\nvt 1 0\nf 1/1 2/2 3/3\nf 1/1 2/2\n";
    const GLFWImportedMesh mesh(MeshText{obj, ""}, 1.0f);
    ASSERT_EQ(5, mesh.VertexCount());
    ASSERT_EQ(3, mesh.IndexCount());
    // u runs along +y, v along +x here.
    ExpectFloatsEq({0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, mesh.Tangents());
    ExpectFloatsEq({1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, mesh.Bitangents());
}

#if defined(_WIN32)
TEST(ImportedMeshDeathTest, FailedLoadEndsTheProcess) {
    GTEST_SKIP() << "the message box would wait for a click";
}
#else
// Without a display the message goes to standard error only.
TEST(ImportedMeshDeathTest, FailedLoadEndsTheProcess) {
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            GLFWImportedMesh mesh(9999, kRectangleMtlId, 1.0f);
        },
        ::testing::ExitedWithCode(0), "Debug: Failed to load mesh");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            GLFWImportedMesh mesh(MeshText{"# nothing\n", ""}, 1.0f);
        },
        ::testing::ExitedWithCode(0), "Failed to load mesh");
}
#endif

}  // namespace
