#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Resources.h"
#include "render/TextResource.h"
#include "resources/ResourceIds.h"
#include "support/ResourceLanguage.h"
#include "support/SourcePath.h"

namespace {

std::string Bytes(const ResourceBytes& r) {
    return r.data != nullptr ? std::string(reinterpret_cast<const char*>(r.data), r.size) : "";
}

struct TextRow {
    int id;
    const char* file;
};

TEST(ResourceTable, TextResourcesHoldTheirFilesByteForByte) {
    const TextRow rows[] = {
        {kBackgroundFragmentShaderId, "resources/shaders/background.frag"},
        {kBackgroundVertexShaderId, "resources/shaders/rectangle.vert"},
        {kPanelVertexShaderId, "resources/shaders/rectangle.vert"},
        {kPanelFragmentShaderId, "resources/shaders/panel.frag"},
        {kDigitVertexShaderId, "resources/shaders/digit.vert"},
        {kDigitFragmentShaderId, "resources/shaders/digit.frag"},
        {kRectangleObjId, "resources/mesh/rectangle.obj"},
        {kRectangleMtlId, "resources/mesh/rectangle.mtl"},
    };
    for (const TextRow& row : rows) {
        const ResourceBytes found = FindResourceBytes(row.id, kTextFileResource);
        ASSERT_NE(found.data, nullptr) << row.id;
        const std::string file = ReadSourceFile(row.file);
        ASSERT_FALSE(file.empty()) << row.file;
        EXPECT_EQ(Bytes(found), file) << row.id;
        EXPECT_EQ(ResourceLanguage(row.id, kTextFileResource), 1049) << row.id;
        // Under another type the id is not found.
        EXPECT_EQ(FindResourceBytes(row.id, kWaveResource).data, nullptr) << row.id;
    }
}

TEST(ResourceTable, ShaderTextsKeepTheirLineRules) {
    for (int id : {136, 137, 184, 185, 186, 188}) {
        const std::string text = Bytes(FindResourceBytes(id, kTextFileResource));
        ASSERT_GT(text.size(), 20u) << id;
        EXPECT_EQ(text.rfind("#version 130\r\n", 0), 0u) << id;
        EXPECT_EQ(text.substr(text.size() - 5), "//~\r\n") << id;
        EXPECT_EQ(text.find('~'), text.size() - 3) << id;  // the only '~' is the end mark
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                EXPECT_EQ(text[i - 1], '\r') << id << " at " << i;
            }
        }
    }
    EXPECT_EQ(Bytes(FindResourceBytes(137, kTextFileResource)),
              Bytes(FindResourceBytes(184, kTextFileResource)));
}

TEST(ResourceTable, MeshTextsHaveNoEndMark) {
    for (int id : {kRectangleObjId, kRectangleMtlId}) {
        EXPECT_EQ(Bytes(FindResourceBytes(id, kTextFileResource)).find('~'), std::string::npos);
    }
}

TEST(ResourceTable, ManifestAsksForTheInvokersLevel) {
    const std::string manifest = Bytes(FindResourceBytes(kManifestId, kManifestResource));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_EQ(ResourceLanguage(kManifestId, kManifestResource), 1033);
}

TEST(ResourceTable, MissingResourcesGiveNothing) {
    EXPECT_EQ(FindResourceBytes(9999, kTextFileResource).data, nullptr);
    EXPECT_EQ(FindResourceBytes(9999, kTextFileResource).size, 0u);
    EXPECT_EQ(FindResourceBytes(kRectangleObjId, kBitmapResource).data, nullptr);
}

// ---- shader text cut -----------------------------------------------------------

constexpr std::size_t kCapacity = 16;

struct Cut {
    std::string text;
    std::size_t length;
    std::string buffer;  // kCapacity + 4 bytes after the cut
};

Cut CutOf(const std::string& source, std::size_t capacity = kCapacity) {
    Cut cut;
    cut.buffer.assign(capacity + kTextTerminatorBytes + 4, 'X');  // guard bytes at the end
    cut.length = CutShaderText(reinterpret_cast<const unsigned char*>(source.data()), source.size(),
                               &cut.buffer[0], capacity);
    cut.text = cut.buffer.substr(0, cut.length);
    return cut;
}

TEST(CutShaderText, CutsAtTheFirstTildeAndWritesFourZeros) {
    const Cut cut = CutOf("abc//~\r\nrest");
    EXPECT_EQ(cut.text, "abc//");
    EXPECT_EQ(cut.buffer.substr(5, 4), std::string(4, '\0'));
    EXPECT_EQ(cut.buffer[9], 'X');
    // A '~' inside a comment cuts there too: the rest is lost.
    EXPECT_EQ(CutOf("a // b~c\r\nd//~").text, "a // b");
    EXPECT_EQ(CutOf("~abc").text, "");
}

TEST(CutShaderText, StaysInsideTheResourceAndTheBuffer) {
    // No end mark: the text ends with the resource.
    const Cut whole = CutOf("no mark");
    EXPECT_EQ(whole.text, "no mark");
    EXPECT_EQ(whole.buffer.substr(7, 4), std::string(4, '\0'));
    // Longer than the capacity: cut there, zeros in the four spare bytes, and
    // nothing written beyond them.
    const Cut longer = CutOf(std::string(40, 'a') + "~");
    EXPECT_EQ(longer.length, kCapacity);
    EXPECT_EQ(longer.buffer.substr(kCapacity, 4), std::string(4, '\0'));
    EXPECT_EQ(longer.buffer.substr(kCapacity + 4), "XXXX");
    // Exactly the capacity before the mark.
    EXPECT_EQ(CutOf(std::string(kCapacity, 'b') + "~").text, std::string(kCapacity, 'b'));
    // Nothing at all.
    EXPECT_EQ(CutShaderText(nullptr, 0, &std::string(8, 'X')[0], 4), 0u);
}

TEST(LoadTextResource, GivesTheCompilerTextOfEachShader) {
    static char buffer[16388];
    const std::size_t length = LoadTextResource(kBackgroundVertexShaderId, buffer, 16384);
    const std::string text(buffer, length);
    EXPECT_EQ(text.rfind("#version 130", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 2), "//");
    EXPECT_EQ(std::string(buffer + length, 4), std::string(4, '\0'));

    static char panel[16388];
    const std::size_t panelLength = LoadTextResource(kPanelVertexShaderId, panel, 16384);
    EXPECT_EQ(std::string(panel, panelLength), text);

    // A missing resource gives an empty, terminated text.
    buffer[0] = 'X';
    EXPECT_EQ(LoadTextResource(9999, buffer, 16384), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
