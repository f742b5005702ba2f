#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/profile.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempDir;

TEST(Profile, WriteChangesOnlyItsOwnLine) {
    TempDir dir;
    const std::string original =
        "; station settings\r\n"
        "[Paths]\r\n"
        "Logs = c:\\logs\r\n"
        "  ; keep this comment\r\n"
        "Carts=old\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=1";  // last line without a line end
    std::string file = dir.WriteFile("station.ini", original);

    ASSERT_TRUE(WriteProfileString(file, "paths", "LOGS", "d:\\new"));
    ASSERT_TRUE(WriteProfileString(file, "Paths", "Added", "yes"));
    ASSERT_TRUE(WriteProfileString(file, "Other", "y", "2"));
    ASSERT_TRUE(WriteProfileString(file, "Fresh", "k", "v"));

    EXPECT_EQ(ReadWholeFile(file),
              "; station settings\r\n"
              "[Paths]\r\n"
              "Logs = d:\\new\r\n"
              "  ; keep this comment\r\n"
              "Carts=old\r\n"
              "Added=yes\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "[Fresh]\r\n"
              "k=v\r\n");
}

TEST(Profile, LineFeedFileKeepsItsStyleAndMissingFileIsCreated) {
    TempDir dir;
    std::string file = dir.WriteFile("lf.ini", "[A]\nk=1\n");
    ASSERT_TRUE(WriteProfileString(file, "A", "j", "2"));
    EXPECT_EQ(ReadWholeFile(file), "[A]\nk=1\nj=2\n");

    std::string fresh = dir / "new.ini";
    ASSERT_TRUE(WriteProfileString(fresh, "S", "k", "v"));
    EXPECT_EQ(ReadWholeFile(fresh), "[S]\r\nk=v\r\n");

    EXPECT_FALSE(WriteProfileString(dir / "no/such/dir/x.ini", "S", "k", "v"));
    EXPECT_FALSE(WriteProfileString(fresh, "S", "k", "two\nlines"));
    EXPECT_EQ(ReadWholeFile(fresh), "[S]\r\nk=v\r\n");
}

TEST(Profile, WriteThroughALinkKeepsTheLink) {
    TempDir dir;
    std::string real = dir.WriteFile("shared/real.ini", "[A]\nk=1\n");
    std::filesystem::create_symlink(real, dir / "link.ini");
    ASSERT_TRUE(WriteProfileString(dir / "link.ini", "A", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadWholeFile(real), "[A]\nk=2\n");
}

TEST(Profile, ReadsFirstMatchTrimmedAndUnquoted) {
    TempDir dir;
    std::string file = dir.WriteFile("r.ini",
                                     "[Main]\n"
                                     "Name =  \"  quoted value \"  \n"
                                     "name=second\n"
                                     "Half=\"open\n"
                                     "Count= 42 carts\n"
                                     "Neg=-7\n"
                                     "Word=abc\n"
                                     ";Hidden=1\n"
                                     "[ main ]\n"
                                     "Other=from the second section\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"MAIN", "NAME", "  quoted value "}, {"Main", "Half", "\"open"},
        {"Main", "Other", "default"},  // only the first [Main] is read
        {"Main", "Hidden", "default"},       {"Missing", "Name", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileString(file, c.section, c.key, "default"), c.expected) << c.key;

    EXPECT_EQ(GetProfileInt(file, "main", "count", 5), 42);
    EXPECT_EQ(GetProfileInt(file, "main", "neg", 5), -7);
    EXPECT_EQ(GetProfileInt(file, "main", "word", 5), 5);
    EXPECT_EQ(GetProfileInt(file, "main", "none", 5), 5);
    EXPECT_EQ(GetProfileString(dir / "absent.ini", "Main", "Name", "d"), "d");
    EXPECT_EQ(GetProfileKeys(file, "main"),
              (std::vector<std::string>{"Name", "Half", "Count", "Neg", "Word"}));
}

// Numbers that fit 32 bits read as the runtime reads them (an unsigned value is the same
// bits); anything longer reads as the key's default instead of overflowing.
TEST(Profile, IntegersThatDoNotFit32BitsReadAsTheDefault) {
    TempDir dir;
    std::string file = dir.WriteFile("n.ini", "[N]\n");
    struct Case {
        const char* value;
        long expected;
    } cases[] = {
        {"2147483647", 2147483647L},
        {"-2147483648", -2147483648L},
        {"4294967295", 4294967295L},  // a colour with its top bit set
        {"12abc", 12},
        {"4294967296", 77},
        {"-2147483649", 77},
        {"11111111111111111111", 77},
        {"-99999999999999999999999999", 77},
        {"000000000000000000000000000042", 42},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteProfileString(file, "N", "k", c.value));
        EXPECT_EQ(GetProfileInt(file, "N", "k", 77), c.expected) << c.value;
    }
}

TEST(Profile, Windows1252TextSurvivesRoundTrip) {
    TempDir dir;
    std::string file = dir / "cp.ini";
    const std::string value = "5 \u20AC caf\u00E9 \u00DCber na\u00EFve";
    ASSERT_TRUE(WriteProfileString(file, "Caf\u00E9", "Prix", value));
    EXPECT_EQ(ReadWholeFile(file),
              "[Caf\xE9]\r\nPrix=5 \x80 caf\xE9 \xDC"
              "ber na\xEFve\r\n");
    // Section names compare without case across accented letters too.
    EXPECT_EQ(GetProfileString(file, "CAF\u00C9", "prix", ""), value);
}

TEST(Profile, BareNamesLiveInTheWindowsDirectoryWhateverTheirCase) {
    TempDir dir;
    ScopedEnv windir("VANTOR_WINDIR", dir.path());
    dir.WriteFile("vantor.ini", "[Kora]\nDatabase=KORA26.MDB\n");
    EXPECT_EQ(GetProfileString("VANTOR.INI", "Kora", "Database", ""), "KORA26.MDB");
    ASSERT_TRUE(WriteProfileString("VANTOR.INI", "Kora", "Database", "KORA27.MDB"));
    EXPECT_EQ(dir.ReadFile("vantor.ini"), "[Kora]\nDatabase=KORA27.MDB\n");

    ASSERT_TRUE(DeleteProfileKey("Vantor.ini", "KORA", "database"));
    EXPECT_EQ(dir.ReadFile("vantor.ini"), "[Kora]\n");
    EXPECT_TRUE(DeleteProfileKey("Vantor.ini", "Kora", "database"));  // nothing left to remove
}

// Anything that is no settings file reads as a missing one (every key gives its default)
// instead of growing memory without end, blocking on a FIFO or taking minutes; and no write
// replaces it with a few lines of settings.
TEST(Profile, WhatIsNoSettingsFileReadsAsMissingAndIsNotOverwritten) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/zero", dir / "zero.ini");
    ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "dir.ini");
    {
        // Sparse: a 200 MB file that costs no disk.
        std::ofstream big(dir / "big.ini", std::ios::binary);
        big << "[A]\nk=big\n";
        big.seekp(200L * 1024 * 1024);
        big << "x";
    }
    dir.WriteFile("longline.ini", "[A]\nk=long\n; " + std::string(100 * 1024, 'x') + "\n");
    dir.WriteFile("fine.ini", "[A]\nk=" + std::string(60 * 1024, 'y') + "\n");

    const struct {
        const char* name;
        const char* why;
    } cases[] = {
        {"zero.ini", "it is not a regular file"},
        {"fifo.ini", "it is not a regular file"},
        {"dir.ini", "it is a directory"},
        {"big.ini", "it is larger than 4 MB"},
        {"longline.ini", "a line is longer than 64 KB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir / c.name;
        // The reads say nothing (a run reads a file once per key); the warning, given once by
        // whoever reads the file for a run, says why.
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(GetProfileString(file, "A", "k", "default"), "default");
        EXPECT_EQ(GetProfileInt(file, "A", "n", 7), 7);
        EXPECT_TRUE(GetProfileKeys(file, "A").empty());
        EXPECT_FALSE(WriteProfileString(file, "A", "k", "new"));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        ::testing::internal::CaptureStderr();
        WarnOfUnreadableSettingsFile(file);
        const std::string warning = "warning: The settings file " + file + " was not read (" +
                                    c.why + "); its defaults are used.\n";
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), warning);
    }
    for (const std::string& file : {dir / "fine.ini", dir / "missing.ini"}) {
        ::testing::internal::CaptureStderr();
        WarnOfUnreadableSettingsFile(file);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << file;
    }
    EXPECT_EQ(std::filesystem::file_size(dir / "big.ini"), 200UL * 1024 * 1024 + 1);
    EXPECT_EQ(dir.ReadFile("longline.ini").size(), 11 + 100 * 1024 + 3);
    // A long value inside the bounds still reads.
    EXPECT_EQ(GetProfileString(dir / "fine.ini", "A", "k", "").size(), 60U * 1024);
}

// However permissive the umask, a new settings file is not writable by every account.
TEST(Profile, NewFileIsNeverWorldWritable) {
    TempDir dir;
    mode_t old = umask(0);
    bool written = WriteProfileString(dir / "new.ini", "S", "k", "v");
    umask(old);
    ASSERT_TRUE(written);
    struct stat st {};
    ASSERT_EQ(stat((dir / "new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IWOTH, 0U);
}

}  // namespace
}  // namespace vantor
