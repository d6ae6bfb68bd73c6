// The resources of Tolvane.scr itself, read the way the shell reads them:
// the file loaded as a data file, its icon groups and images looked up, its
// version read as the file's properties read it.
//
// The file is the build's Tolvane.scr, or the one that TOLVANE_SCR_FILE names
// (a Windows path): the installer test reads the installed copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resources/ResourceIds.h"

namespace {

// Bytes and size of a resource of the loaded file, or {null, 0}.
std::pair<const unsigned char*, DWORD> Find(HMODULE file, int id, LPCSTR type) {
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(file, found);
    return {static_cast<const unsigned char*>(LockResource(loaded)), SizeofResource(file, found)};
}

std::string ScreensaverPath() {
    const char* chosen = std::getenv("TOLVANE_SCR_FILE");
    return chosen != nullptr && *chosen != '\0' ? chosen : "Z:" TOLVANE_SCR_PATH;
}

// A string of the version resource's English (United States), Unicode block.
std::string VersionString(const std::vector<char>& info, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) return "";
    return std::string(static_cast<const char*>(value));
}

class ScreensaverFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = ScreensaverPath();
        file = LoadLibraryExA(path.c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(file, nullptr) << "cannot open " << path;
    }
    void TearDown() override {
        if (file != nullptr) FreeLibrary(file);
    }
    std::string path;
    HMODULE file = nullptr;
};

TEST_F(ScreensaverFile, CarriesBothIconGroupsWithSixImagesEach) {
    std::set<int> named;
    for (int group : {kFileIconGroupId, kSecondIconGroupId}) {
        const auto [bytes, size] = Find(file, group, RT_GROUP_ICON);
        ASSERT_NE(bytes, nullptr) << group;
        ASSERT_GE(size, 6u + 6u * 14u) << group;
        WORD count = 0;
        std::memcpy(&count, bytes + 4, 2);
        ASSERT_EQ(count, 6) << group;
        std::set<std::pair<int, int>> sizesAndDepths;
        for (int i = 0; i < 6; ++i) {
            const unsigned char* entry = bytes + 6 + 14 * i;
            WORD bits = 0;
            WORD id = 0;
            std::memcpy(&bits, entry + 6, 2);
            std::memcpy(&id, entry + 12, 2);
            sizesAndDepths.insert({entry[0], bits});
            named.insert(id);
            EXPECT_NE(Find(file, id, RT_ICON).first, nullptr) << "icon " << id;
        }
        const std::set<std::pair<int, int>> expected = {{32, 4}, {32, 8}, {32, 32},
                                                        {16, 4}, {16, 8}, {16, 32}};
        EXPECT_EQ(sizesAndDepths, expected) << group;
    }
    // The two groups name the twelve images 1 to 12 between them.
    EXPECT_EQ(named.size(), 12u);
    EXPECT_EQ(*named.begin(), 1);
    EXPECT_EQ(*named.rbegin(), 12);
}

TEST_F(ScreensaverFile, CarriesEveryOtherResourceOfTheTable) {
    struct Row {
        int id;
        LPCSTR type;
    };
    const Row rows[] = {
        {136, "TEXTFILE"},
        {137, "TEXTFILE"},
        {184, "TEXTFILE"},
        {185, "TEXTFILE"},
        {186, "TEXTFILE"},
        {188, "TEXTFILE"},
        {kRectangleObjId, "TEXTFILE"},
        {kRectangleMtlId, "TEXTFILE"},
        {kBackgroundBitmapId, RT_BITMAP},
        {kAtlasBitmapId, RT_BITMAP},
        {kPreviewBitmapId, RT_BITMAP},
        {kClickSoundId, "WAVE"},
        {kLargePictureId, "PNG"},
        {kManifestId, RT_MANIFEST},
    };
    for (const Row& row : rows) {
        EXPECT_NE(Find(file, row.id, row.type).first, nullptr) << row.id;
    }
    // Only the manifest is in English; everything else carries language 1049.
    EXPECT_NE(FindResourceExA(file, RT_MANIFEST, MAKEINTRESOURCEA(kManifestId), 1033), nullptr);
    EXPECT_NE(FindResourceExA(file, RT_GROUP_ICON, MAKEINTRESOURCEA(kFileIconGroupId), 1049),
              nullptr);
    EXPECT_NE(FindResourceExA(file, "WAVE", MAKEINTRESOURCEA(kClickSoundId), 1049), nullptr);
    EXPECT_EQ(Find(file, 9001, RT_BITMAP).first, nullptr) << "test bitmaps stay out of the product";
}

TEST_F(ScreensaverFile, CarriesTheProjectsVersionAndTheNameTheSettingsShow) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << path;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD major = TOLVANE_VERSION_MAJOR;
    const DWORD minor = TOLVANE_VERSION_MINOR;
    EXPECT_EQ(fixed->dwFileVersionMS, (major << 16) | minor);
    EXPECT_EQ(fixed->dwProductVersionMS, (major << 16) | minor);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionString(info, "ProductName"), "Tolvane Screensaver");
    EXPECT_EQ(VersionString(info, "FileVersion"), TOLVANE_VERSION);
    EXPECT_EQ(VersionString(info, "ProductVersion"), TOLVANE_VERSION);
    EXPECT_NE(VersionString(info, "FileDescription").find("Tolvane"), std::string::npos);
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "Tolvane.scr");

    char name[64] = {};
    ASSERT_GT(LoadStringA(file, kScreensaverNameStringId, name, sizeof name), 0);
    EXPECT_STREQ(name, "Tolvane");
}

}  // namespace
