#include <gtest/gtest.h>

#include "common/splash_text.h"
#include "common/viewer_file.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::TempDir;

TEST(ViewerFile, MissingOrEmptyFilesShowNothing) {
    TempDir dir;
    EXPECT_EQ(ReadViewerText(""), "");
    EXPECT_EQ(ReadViewerText(dir / "missing.log"), "");
    EXPECT_EQ(ReadViewerText(dir.WriteFile("empty.log", "")), "");
    EXPECT_EQ(ReadViewerText(dir.path()), "");  // a directory is no file to show
}

TEST(ViewerFile, PlainTextIsReadFromTheCodePageWithoutCarriageReturns) {
    TempDir dir;
    const std::string path = dir.WriteFile("ERROR.LOG", "Caf\xE9 \x80 5\r\nsecond\r\n");
    EXPECT_EQ(ReadViewerText(dir / "error.log"), "Caf\xC3\xA9 \xE2\x82\xAC 5\nsecond\n");

    const std::string saved = dir / "saved.txt";
    ASSERT_EQ(SaveViewerText(saved, "Caf\xC3\xA9\nline two"), 0);
    EXPECT_EQ(testing::ReadWholeFile(saved), "Caf\xE9\r\nline two");
    EXPECT_NE(SaveViewerText(dir / "no/such/dir/x.txt", "x"), 0);
}

TEST(ViewerFile, RichTextShowsItsText) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\*\\generator Writer 1.0;}\\f0\\fs20 First line\\par\r\n"
        "Tab\\tab here \\{braces\\} and a back\\\\slash\\par\n"
        "Caf\\'e9 and \\u8364?uro\\line end}";
    EXPECT_EQ(RtfToPlainText(rtf),
              "First line\nTab\there {braces} and a back\\slash\nCaf\xC3\xA9 and "
              "\xE2\x82\xAC"
              "uro\nend");
    TempDir dir;
    EXPECT_EQ(ReadViewerText(dir.WriteFile("notes.rtf", rtf)).substr(0, 10), "First line");
}

TEST(ViewerFile, FolderListsBaseNamesOfOneExtension) {
    TempDir dir;
    dir.WriteFile("logs/B.TXT", "b");
    dir.WriteFile("logs/a.txt", "a");
    dir.WriteFile("logs/c.log", "c");
    EXPECT_EQ(ViewerFolderNames(dir / "logs", "txt"), (std::vector<std::string>{"a", "B"}));
}

TEST(SplashText, NamesThePlatformAndVersion) {
    struct Case {
        int platform, major, minor;
        const char* name;
        const char* pack;
        const char* line;
    } cases[] = {
        {OsVersion::kPlatformWindows9x, 4, 0, "", "", "Windows 95"},
        {OsVersion::kPlatformWindows9x, 4, 10, "", "", "Windows 98"},
        {OsVersion::kPlatformNt, 3, 51, "", "", "Windows NT v3.51"},
        {OsVersion::kPlatformNt, 5, 0, "", "Service Pack 4", "Windows 2000 (Service Pack 4)"},
        {OsVersion::kPlatformNt, 5, 1, "Windows", "", "Windows XP/2003"},
        {OsVersion::kPlatformNt, 6, 1, "", "", "Windows NT v6.1"},
        {OsVersion::kPlatformNt, 6, 1, "Linux", "18-amd64", "Linux v6.1 (18-amd64)"},
    };
    for (const Case& c : cases) {
        OsVersion version;
        version.platformId = c.platform;
        version.major = c.major;
        version.minor = c.minor;
        version.systemName = c.name;
        version.servicePack = c.pack;
        EXPECT_EQ(PlatformLine(version), c.line);
    }
    EXPECT_EQ(VersionLine(), "Version " + std::to_string(VANTOR_VERSION_MAJOR) + "." +
                                 std::to_string(VANTOR_VERSION_MINOR) + "." +
                                 std::to_string(VANTOR_VERSION_PATCH));
}

}  // namespace
}  // namespace vantor
