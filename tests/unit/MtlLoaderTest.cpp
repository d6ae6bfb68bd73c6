// The MTL pass: materials, their fields and the lines it ignores.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "mesh/ObjLoader.h"
#include "resources/ResourceIds.h"

namespace {

class MtlLoader : public ::testing::Test {
protected:
    const objl::Material& Load(const std::string& mtl) {
        EXPECT_TRUE(loader.LoadMtlText(mtl));
        return loader.LoadedMaterials().back();
    }

    std::ostringstream progress;
    objl::ResourceLoader loader{progress};
};

TEST_F(MtlLoader, EmbeddedMaterial) {
    ASSERT_TRUE(loader.LoadMtlResource(kRectangleMtlId));
    ASSERT_EQ(1u, loader.LoadedMaterials().size());
    const objl::Material& m = loader.LoadedMaterials()[0];
    EXPECT_EQ("wire_198225087", m.name);
    EXPECT_EQ(0.8824f, m.diffuse.y);
    EXPECT_EQ(0.35f, m.specular.y);
    EXPECT_EQ(32.0f, m.specularExponent);
    EXPECT_EQ(2, m.illumination);
    EXPECT_TRUE(progress.str().empty());  // the MTL pass writes nothing
}

TEST_F(MtlLoader, AllFields) {
    const objl::Material& m = Load(
        "newmtl full\nKa 0.1 0.2 0.3\nKd 0.4 0.5 0.6\nKs 0.7 0.8 0.9\nNs 10\nNi 1.5\n"
        "d 0.25\nillum 3\nmap_Ka a.png\nmap_Kd d.png\nmap_Ks s.png\nmap_Ns n.png\n"
        "map_d alpha.png\nmap_Bump b1.png\nTr 0.5\nTf 1 1 1\n# comment\n\n");
    EXPECT_EQ("full", m.name);
    EXPECT_EQ(0.1f, m.ambient.x);
    EXPECT_EQ(0.5f, m.diffuse.y);
    EXPECT_EQ(0.9f, m.specular.z);
    EXPECT_EQ(10.0f, m.specularExponent);
    EXPECT_EQ(1.5f, m.opticalDensity);
    EXPECT_EQ(0.25f, m.dissolve);
    EXPECT_EQ(3, m.illumination);
    EXPECT_EQ("a.png", m.ambientMap);
    EXPECT_EQ("d.png", m.diffuseMap);
    EXPECT_EQ("s.png", m.specularMap);
    EXPECT_EQ("n.png", m.specularExponentMap);
    EXPECT_EQ("alpha.png", m.alphaMap);
    EXPECT_EQ("b1.png", m.bumpMap);
    EXPECT_EQ("b2.png", Load("map_bump b2.png\n").bumpMap);
    EXPECT_EQ("b3.png", Load("bump b3.png\n").bumpMap);
}

TEST_F(MtlLoader, Names) {
    EXPECT_EQ("none", Load("newmtl\n").name);
    EXPECT_EQ("none", Load("\tnewmtl\n").name);  // 7 characters with the tab
    EXPECT_EQ("", Load("newmtl  \n").name);      // 8 characters, no name after
    // Only line ends are trimmed: a blank before the CR stays in the name.
    EXPECT_EQ("with blank ", Load("newmtl with blank \r\n").name);
    // The CR is part of the first token, so this is no "newmtl" line.
    const std::size_t before = loader.LoadedMaterials().size();
    const objl::Material& crOnly = Load("newmtl\r\nNs 5\n");
    EXPECT_EQ("", crOnly.name);
    EXPECT_EQ(5.0f, crOnly.specularExponent);
    EXPECT_EQ(before + 1, loader.LoadedMaterials().size());
    // Map names keep a trailing carriage return; numbers stop before it.
    const objl::Material& m = Load("map_Kd tile.png\r\nNs 8\r\nillum 1\r\n");
    EXPECT_EQ("tile.png\r", m.diffuseMap);
    EXPECT_EQ(8.0f, m.specularExponent);
    EXPECT_EQ(1, m.illumination);
}

TEST_F(MtlLoader, MaterialsInFileOrderAndAcrossLoads) {
    ASSERT_TRUE(loader.LoadMtlText("newmtl A\nNs 1\nnewmtl B\nNs 2\n"));
    ASSERT_TRUE(loader.LoadMtlText("Ns 3\n"));  // no "newmtl": still one material
    ASSERT_TRUE(loader.LoadMtlText(""));
    ASSERT_EQ(4u, loader.LoadedMaterials().size());
    EXPECT_EQ("A", loader.LoadedMaterials()[0].name);
    EXPECT_EQ(2.0f, loader.LoadedMaterials()[1].specularExponent);
    EXPECT_EQ("", loader.LoadedMaterials()[2].name);
    EXPECT_EQ(3.0f, loader.LoadedMaterials()[2].specularExponent);
    EXPECT_EQ(0.0f, loader.LoadedMaterials()[3].specularExponent);
    // A missing resource reads as an empty text.
    EXPECT_TRUE(loader.LoadMtlResource(9999));
    EXPECT_EQ(5u, loader.LoadedMaterials().size());
    // An OBJ load does not clear them.
    loader.LoadObjText("v 0 0 0\n", "");
    EXPECT_EQ(5u, loader.LoadedMaterials().size());
}

TEST_F(MtlLoader, UnusableValuesLeaveTheField) {
    const objl::Material& m = Load(
        "newmtl m\nKd 0.5 0.5 0.5\nKd 1 1\nKd 1 1 1 1\nKd 1 x 1\nKd 1 1 1e999\nNs 4\nNs abc\n"
        "Ni 2\nNi nan\nillum 2\nillum 3000000000\nillum two\nd\n");
    EXPECT_EQ(0.5f, m.diffuse.x);
    EXPECT_EQ(0.5f, m.diffuse.z);
    EXPECT_EQ(4.0f, m.specularExponent);
    EXPECT_EQ(2.0f, m.opticalDensity);
    EXPECT_EQ(2, m.illumination);
    EXPECT_EQ(0.0f, m.dissolve);
}

}  // namespace
