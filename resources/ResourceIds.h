// Ids of the resources in resources/Tolvane.rc.
#pragma once

// "TEXTFILE": shader texts, cut at their first '~'.
inline constexpr int kBackgroundFragmentShaderId = 136;
inline constexpr int kBackgroundVertexShaderId = 137;
inline constexpr int kPanelVertexShaderId = 184;  // the same text as 137
inline constexpr int kPanelFragmentShaderId = 185;
inline constexpr int kDigitFragmentShaderId = 186;
inline constexpr int kDigitVertexShaderId = 188;

// "TEXTFILE": the rectangle mesh, read to its exact size.
inline constexpr int kRectangleObjId = 141;
inline constexpr int kRectangleMtlId = 140;

// BITMAP
inline constexpr int kBackgroundBitmapId = 179;
inline constexpr int kAtlasBitmapId = 180;
inline constexpr int kPreviewBitmapId = 182;

// "WAVE"
inline constexpr int kClickSoundId = 173;

// "PNG" (nothing reads it)
inline constexpr int kLargePictureId = 124;

// GROUP_ICON: 102 is the first group, the shell's icon for the file.
inline constexpr int kFileIconGroupId = 102;
inline constexpr int kSecondIconGroupId = 113;

// MANIFEST (language 1033)
inline constexpr int kManifestId = 1;

// Windows only (resources/VersionInfo.rc.in): the version resource, and the
// string whose entry 1 is the name the Screen Saver Settings list shows.
inline constexpr int kVersionInfoId = 1;
inline constexpr int kScreensaverNameStringId = 1;
