// The OBJ pass: meshes, naming, faces, material pass, progress text and
// inputs that must neither crash nor read outside a list.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "mesh/ObjLoader.h"
#include "resources/ResourceIds.h"

namespace {

using Indices = std::vector<std::uint32_t>;

const char kTriangle[] = "v 0 0 0\nv 2 0 0\nv 0 3 0\n";

// Every index list is whole triangles inside its vertex list.
void ExpectConsistent(const objl::ResourceLoader& loader) {
    std::size_t meshVertices = 0;
    for (const objl::Mesh& mesh : loader.LoadedMeshes()) {
        EXPECT_EQ(0u, mesh.indices.size() % 3) << mesh.name;
        for (std::uint32_t i : mesh.indices) EXPECT_LT(i, mesh.vertices.size()) << mesh.name;
        meshVertices += mesh.vertices.size();
    }
    EXPECT_LE(meshVertices, loader.LoadedVertices().size());
    EXPECT_EQ(0u, loader.LoadedIndices().size() % 3);
    for (std::uint32_t i : loader.LoadedIndices()) EXPECT_LT(i, loader.LoadedVertices().size());
}

class ObjLoader : public ::testing::Test {
protected:
    bool Load(const std::string& obj, const std::string& mtl = "") {
        return loader.LoadObjText(obj, mtl);
    }
    std::vector<std::string> MeshNames() const {
        std::vector<std::string> names;
        for (const objl::Mesh& mesh : loader.LoadedMeshes()) names.push_back(mesh.name);
        return names;
    }

    std::ostringstream progress;
    objl::ResourceLoader loader{progress};
};

TEST_F(ObjLoader, EmbeddedRectangle) {
    ASSERT_TRUE(loader.LoadObjResource(kRectangleObjId, kRectangleMtlId));
    ASSERT_EQ(1u, loader.LoadedMeshes().size());
    const objl::Mesh& mesh = loader.LoadedMeshes()[0];
    EXPECT_EQ("Plane001", mesh.name);
    ASSERT_EQ(6u, mesh.vertices.size());
    EXPECT_EQ((Indices{0, 1, 2, 3, 4, 5}), mesh.indices);
    EXPECT_EQ(6u, loader.LoadedVertices().size());
    EXPECT_EQ((Indices{0, 1, 2, 3, 4, 5}), loader.LoadedIndices());

    // Faces 1 2 3 and 4 3 2 over the file positions and texture coordinates.
    const float x[] = {-2.5f, -2.5f, 2.5f, 2.5f, 2.5f, -2.5f};
    const float y[] = {2.3698f, -2.6302f, 2.3698f, -2.6302f, 2.3698f, -2.6302f};
    const float u[] = {0, 0, 1, 1, 1, 0};
    const float v[] = {1, 0, 1, 0, 1, 0};
    for (std::size_t k = 0; k < 6; ++k) {
        const objl::Vertex& vertex = mesh.vertices[k];
        EXPECT_EQ(x[k], vertex.position.x) << k;
        EXPECT_EQ(y[k], vertex.position.y) << k;
        EXPECT_EQ(0.0f, vertex.position.z) << k;
        EXPECT_EQ(0.0f, vertex.normal.x) << k;
        EXPECT_EQ(0.0f, vertex.normal.y) << k;
        EXPECT_EQ(1.0f, vertex.normal.z) << k;
        EXPECT_EQ(u[k], vertex.textureCoordinate.x) << k;
        EXPECT_EQ(v[k], vertex.textureCoordinate.y) << k;
    }

    const objl::Material& material = mesh.material;
    EXPECT_EQ("wire_198225087", material.name);
    EXPECT_EQ(0.7765f, material.ambient.x);
    EXPECT_EQ(0.8824f, material.ambient.y);
    EXPECT_EQ(0.3412f, material.ambient.z);
    EXPECT_EQ(0.7765f, material.diffuse.x);
    EXPECT_EQ(0.3412f, material.diffuse.z);
    EXPECT_EQ(0.35f, material.specular.x);
    EXPECT_EQ(0.35f, material.specular.z);
    EXPECT_EQ(32.0f, material.specularExponent);
    EXPECT_EQ(1.0f, material.dissolve);
    EXPECT_EQ(2, material.illumination);
    EXPECT_EQ(0.0f, material.opticalDensity);
    EXPECT_EQ(1u, loader.LoadedMaterials().size());
}

TEST_F(ObjLoader, ProgressTextOnStandardOutput) {
    objl::ResourceLoader console;
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(console.LoadObjResource(kRectangleObjId, kRectangleMtlId));
    const std::string text = ::testing::internal::GetCapturedStdout();
    const std::string counts = "\r- Plane001\t| vertices > 4\t| texcoords > 4\t| normals > 1";
    // A line end for "g", a line after "g" and one after "usemtl", a final line end.
    EXPECT_EQ("\n" + counts + "\t| triangles > 0" + counts +
                  "\t| triangles > 0\t| material: wire_198225087\n",
              text);
}

TEST_F(ObjLoader, ProgressEveryThousandLines) {
    std::string obj = "o A\n";
    for (int i = 0; i < 1001; ++i) obj += "v 0 0 0\n";
    EXPECT_FALSE(Load(obj));
    const std::string tail = "\t| texcoords > 0\t| normals > 0\t| triangles > 0";
    EXPECT_EQ("\n\r- A\t| vertices > 0" + tail + "\r- A\t| vertices > 1000" + tail + "\n",
              progress.str());
}

TEST_F(ObjLoader, FacesWithoutNormalsGetTheFaceNormal) {
    ASSERT_TRUE(Load(std::string(kTriangle) + "f 1 2 3\n"));
    const objl::Mesh& mesh = loader.LoadedMeshes().at(0);
    for (const objl::Vertex& v : mesh.vertices) {
        EXPECT_EQ(-6.0f, v.normal.z);  // (p1 - p2) x (p3 - p2)
        EXPECT_EQ(0.0f, v.textureCoordinate.x);
        EXPECT_EQ(0.0f, v.textureCoordinate.y);
    }
}

TEST_F(ObjLoader, PositionNormalCornersAndNegativeIndices) {
    ASSERT_TRUE(Load(std::string(kTriangle) + "v 9 9 9\nvn 0 1 0\nf 1//1 2//1 3//1\nf -4 -3 -2\n"));
    const std::vector<objl::Vertex>& vertices = loader.LoadedMeshes().at(0).vertices;
    ASSERT_EQ(6u, vertices.size());
    EXPECT_EQ(1.0f, vertices[0].normal.y);
    EXPECT_EQ(0.0f, vertices[0].textureCoordinate.y);
    EXPECT_EQ(2.0f, vertices[4].position.x);  // -3 of four positions: the second
    EXPECT_EQ(-6.0f, vertices[4].normal.z);
}

TEST_F(ObjLoader, QuadrilateralAndIndexOffsets) {
    ASSERT_TRUE(Load(std::string(kTriangle) + "v 2 3 0\nf 1 2 3\nf 1 2 4 3\n"));
    EXPECT_EQ((Indices{0, 1, 2, 3, 4, 6, 4, 5, 6}), loader.LoadedMeshes().at(0).indices);
    EXPECT_EQ(7u, loader.LoadedVertices().size());
}

TEST_F(ObjLoader, MaterialChangeSplitsTheMesh) {
    const std::string mtl = "newmtl A\nKd 1 0 0\nnewmtl B\nKd 0 0 1\n";
    ASSERT_TRUE(Load(std::string("o Obj\n") + kTriangle +
                         "usemtl A\nf 1 2 3\nusemtl B\nf 1 3 2\nmtllib any.mtl\n",
                     mtl));
    EXPECT_EQ((std::vector<std::string>{"Obj_2", "Obj"}), MeshNames());
    EXPECT_EQ("A", loader.LoadedMeshes()[0].material.name);
    EXPECT_EQ(1.0f, loader.LoadedMeshes()[0].material.diffuse.x);
    EXPECT_EQ("B", loader.LoadedMeshes()[1].material.name);
    EXPECT_EQ(1.0f, loader.LoadedMeshes()[1].material.diffuse.z);
    // The second mesh's flat indices continue after the first's vertices.
    EXPECT_EQ((Indices{0, 1, 2, 3, 4, 5}), loader.LoadedIndices());
    EXPECT_EQ((Indices{0, 1, 2}), loader.LoadedMeshes()[1].indices);
}

TEST_F(ObjLoader, MaterialPass) {
    const std::string mtl = "newmtl A\nNs 5\n";
    // An unknown name leaves the default material; more names than meshes
    // are skipped.
    ASSERT_TRUE(Load(std::string(kTriangle) + "mtllib x\nusemtl missing\nf 1 2 3\nusemtl A\n" +
                         "usemtl A\nusemtl A\n",
                     mtl));
    ASSERT_EQ(1u, loader.LoadedMeshes().size());
    EXPECT_EQ("", loader.LoadedMeshes()[0].material.name);
    EXPECT_EQ(0.0f, loader.LoadedMeshes()[0].material.specularExponent);
    // Without a "mtllib" line no material is read.
    objl::ResourceLoader fresh{progress};
    ASSERT_TRUE(fresh.LoadObjText(std::string(kTriangle) + "usemtl A\nf 1 2 3\n", mtl));
    EXPECT_TRUE(fresh.LoadedMaterials().empty());
    EXPECT_EQ("", fresh.LoadedMeshes()[0].material.name);
}

TEST_F(ObjLoader, ObjectAndGroupNames) {
    const struct {
        const char* obj;
        std::vector<std::string> names;
    } cases[] = {
        {"g\nf 1 2 3\n", {""}},
        {"gear\nf 1 2 3\n", {"unnamed"}},
        {"  g  Front Panel \nf 1 2 3\n", {"Front Panel"}},
        {"o A\nf 1 2 3\no B\nf 1 2 3\n", {"A", "B"}},
        // Faces pending: the next name is the line tail, whatever the token.
        {"o A\nf 1 2 3\ngear box\nf 1 2 3\n", {"A", "box"}},
        // No faces pending: the name is replaced.
        {"o A\ng B\ngear\nf 1 2 3\n", {"unnamed"}},
        {"f 1 2 3\n", {""}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(std::string(kTriangle) + c.obj)) << c.obj;
        EXPECT_EQ(c.names, MeshNames()) << c.obj;
    }
}

TEST_F(ObjLoader, ALoadReplacesTheLastOne) {
    ASSERT_TRUE(Load(std::string(kTriangle) + "f 1 2 3\nf 3 2 1\n"));
    ASSERT_TRUE(Load(std::string(kTriangle) + "f 1 2 3\n"));
    EXPECT_EQ(3u, loader.LoadedVertices().size());
    EXPECT_FALSE(Load(""));
    EXPECT_TRUE(loader.LoadedMeshes().empty());
    EXPECT_TRUE(loader.LoadedVertices().empty());
}

TEST_F(ObjLoader, NothingProducedIsAFailure) {
    EXPECT_FALSE(Load(""));
    EXPECT_FALSE(Load("# only a comment\n\n"));
    EXPECT_FALSE(Load(std::string(kTriangle) + "vn 0 0 1\nvt 0 0\n"));
    EXPECT_FALSE(loader.LoadObjResource(9999, kRectangleMtlId));  // no such resource
    // Two corners make vertices but no triangle: that still counts.
    EXPECT_TRUE(Load(std::string(kTriangle) + "f 1 2\n"));
    EXPECT_TRUE(loader.LoadedMeshes().empty());
    EXPECT_EQ(2u, loader.LoadedVertices().size());
}

// Malformed text: each line that cannot be used is skipped (see the loader),
// and whatever comes out is whole triangles inside the vertex lists.
TEST_F(ObjLoader, UnsafeInputs) {
    const struct {
        const char* what;
        std::string obj;
        std::size_t vertices;
        std::size_t indices;
    } cases[] = {
        {"index beyond the list", "f 1 2 4\nf 1 2 -4\nf 1 2 3\n", 3, 3},
        {"index 0", "f 0 1 2\nf 1 2 3\n", 3, 3},
        {"index text that is no number", "f a b c\nf 1 x 3\nf 1 2 3\n", 3, 3},
        {"index beyond 64 bits", "f 1 2 99999999999999999999\nf 1 2 3\n", 3, 3},
        {"short v line", "v 1 0\nv a b c\nf 1 2 4\nf 1 2 3\n", 3, 3},
        {"short vt line", "vt 1\nvt 0 0\nf 1/1 2/1 3/1\nf 1/2 2/2 3/2\n", 3, 3},
        {"short vn line", "vn 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\nf 1//2 2//2 3//2\n", 3, 3},
        {"corner of four parts", "f 1/1/1/1 2 3\nf 1 2 3\n", 3, 3},
        {"blanks between corners", "f 1  2   3\n", 3, 3},
        {"a tab as a corner", "f 1 \t 2 3\nf 1 2 3\n", 3, 3},
        {"repeated positions", "v 0 3 0\nf 1 2 2 4\nf 1 1 1 1\n", 8, 3},
        {"more usemtl lines than meshes", "usemtl a\nusemtl b\nusemtl c\nf 1 2 3\n", 3, 3},
        {"two corners", "f 1 2\nf 1 2 3\n", 5, 3},
        {"carriage returns", "f 1 2 3\r\nf 1 2\r3\r\n", 5, 3},
        {"nul bytes", std::string("f 1 2 3\0\0\nf 1\0 2 3\n", 19), 6, 6},
        {"infinite coordinates", "v 1e999 0 0\nv nan 0 0\nf 1 2 3 -1\n", 4, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(std::string(kTriangle) + c.obj);
        EXPECT_EQ(c.vertices, loader.LoadedVertices().size());
        EXPECT_EQ(c.indices, loader.LoadedIndices().size());
        ExpectConsistent(loader);
    }
}

}  // namespace
