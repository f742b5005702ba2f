#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_file.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::TempDir;

TEST(TextFile, ReadsLinesWithoutTheirEnds) {
    TempDir dir;
    dir.WriteFile("LOG.TXT", "first\r\nsecond\n\r\nlast caf\xE9");
    TextFileReader file(dir / "log.txt");
    ASSERT_TRUE(file.IsOpen());
    std::vector<std::string> lines;
    while (!file.AtEnd()) lines.push_back(ReadTextLine(file));
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "last caf\xE9"}));
    EXPECT_EQ(ReadTextLine(file), "");

    TextFileReader missing(dir / "none.txt");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.AtEnd());
    EXPECT_EQ(ReadTextLine(missing), "");
    TextFileReader directory(dir.path());
    EXPECT_FALSE(directory.IsOpen());
}

}  // namespace
}  // namespace vantor
