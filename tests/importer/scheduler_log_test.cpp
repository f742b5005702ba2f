#include "importer/scheduler_log.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/ole_date.h"
#include "support/scripted_user_interface.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::LogItem;
using testing::SchedulerLogWriter;
using testing::TempDir;

constexpr int kThisYear = 2000;

TEST(LogFileName, DayPatternAndSearchPattern) {
    const int32_t march7 = DateSerial(2000, 3, 7);
    struct Case {
        std::string prefix;
        std::string format;
        int32_t day;
        std::string name;
    } cases[] = {
        {"VN", "yymmdd", march7, "VN000307.LOG"},
        {"VN", "  ddmmyy ", march7, "VN070300.LOG"},  // the pattern is trimmed
        {"XY", "yyyy-mm-dd", march7, "XY2000-03-07.LOG"},
        {"VN", "", march7, "VN.LOG"},  // one file for every day
        {"VN", "   ", march7, "VN.LOG"},
        {"VN", "yymmdd", -1, "VN*.LOG"},
    };
    for (const Case& c : cases) {
        SchedulerLogNaming naming{"/logs", c.prefix, c.format};
        EXPECT_EQ(LogFileName(c.day, naming), "/logs/" + c.name) << c.format;
    }
    // A location stored the Windows way still names a file here.
    EXPECT_EQ(LogFileName(march7, {"\\logs\\music", "VN", "yymmdd"}), "/logs/music/VN000307.LOG");
}

TEST(SchedulerLog, LineKindIsTheFirstCharacter) {
    struct Case {
        const char* line;
        LogLineKind kind;
    } cases[] = {
        {"+07/03/00 14", LogLineKind::HourHeader},
        {"+*", LogLineKind::HourHeader},
        {":$$ 10:15:00", LogLineKind::BreakNote},
        {"@  4000", LogLineKind::ItemWithContinuations},
        {"#  4000", LogLineKind::Item},
        {"", LogLineKind::Comment},
        {"=====", LogLineKind::Comment},
        {";x", LogLineKind::Comment},
        {"*x", LogLineKind::Comment},
        {"-x", LogLineKind::Comment},
        {"'x", LogLineKind::Comment},
        {" +07/03/00", LogLineKind::Other},
        {"X", LogLineKind::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(KindOfLine(c.line), c.kind) << c.line;
}

TEST(SchedulerLogReader, LineEndsFormFeedsAndAMissingLastNewline) {
    TempDir dir;
    using namespace std::string_literals;
    std::string path = dir.WriteFile("a.log", "one\r\n\x0Ctwo\r\nth\rree\n\nbin\x00\xFF!\nlast"s);
    SchedulerLogReader reader(path);
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Length(), 30);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "",
                                               std::string("bin\0\xFF!", 6), "last"}));
    EXPECT_EQ(reader.PercentRead(), 100);
    EXPECT_EQ(reader.ReadLine(), "");

    SchedulerLogReader missing(dir / "none.log");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.AtEnd());
}

TEST(SchedulerLog, ItemColumnsAreCutFromTheEightBitLine) {
    TempDir dir;
    LogItem item;
    item.continued = true;
    item.cart = "4000";
    item.title = "Café del Mar";  // é is one byte on disk, so later columns stay in place
    item.description2 = "Énergie";
    item.ending = "f";
    item.endCode = 'n';
    item.description3 = "Third";
    item.notes = "Some notes";
    std::string path = SchedulerLogWriter().Item(item).Line("#next").Save(dir / "a.log");

    SchedulerLogReader reader(path);
    std::string line = reader.ReadLine();
    SchedulerItem cut = CutItemLine(line);
    ReadItemContinuations(reader, cut);
    EXPECT_TRUE(cut.hasContinuations);
    EXPECT_EQ(cut.cartNumber, "4000");
    EXPECT_EQ(cut.title, "Café del Mar" + std::string(21, ' '));
    EXPECT_EQ(cut.description2, "Énergie" + std::string(13, ' '));
    EXPECT_EQ(cut.endingCode, "F");
    EXPECT_EQ(cut.endCode, "N");
    EXPECT_EQ(cut.description3, "Third");  // the line ends there
    EXPECT_EQ(cut.notes, "Some notes");
    EXPECT_EQ(reader.ReadLine(), "#next");
}

TEST(SchedulerLog, BlankFirstContinuationEndsTheItem) {
    TempDir dir;
    std::string path = SchedulerLogWriter()
                           .Line("@   4000 Title")
                           .Line("   ")
                           .Line("#   4001 Next")
                           .Save(dir / "a.log");
    SchedulerLogReader reader(path);
    SchedulerItem cut = CutItemLine(reader.ReadLine());
    ReadItemContinuations(reader, cut);
    EXPECT_EQ(cut.description3, "");
    EXPECT_EQ(cut.notes, "");
    EXPECT_EQ(KindOfLine(reader.ReadLine()), LogLineKind::Item);

    // A "#" item reads nothing more, and a short "@" line at the end of the file is harmless.
    SchedulerItem hash = CutItemLine("#12");
    ReadItemContinuations(reader, hash);
    EXPECT_EQ(hash.cartNumber, "12");
    EXPECT_EQ(hash.title, "");
    EXPECT_EQ(hash.endCode, "");
    SchedulerItem last = CutItemLine("@12");
    ReadItemContinuations(reader, last);
    EXPECT_EQ(last.description3, "");
}

// The import cuts every item line into one record and reads lines as views into the reader:
// nothing of an item may reach the next one, and the code columns read as before whatever
// bytes they hold.
TEST(SchedulerLog, ItemsCutIntoOneRecordOneAfterTheOther) {
    TempDir dir;
    auto line = [](const std::string& cart, const std::string& title, const std::string& ending,
                   const std::string& end) {
        std::string raw = "@" + cart;
        raw.resize(9, ' ');
        raw += title;
        raw.resize(73, ' ');
        raw += ending;
        raw.resize(79, ' ');
        return raw + end;
    };
    const std::string bytes = line("  4000", "Caf\xE9", " e", "\xE9") + "\r\n" +
                              std::string(43, ' ') + "Th\rird\r\n" + "         Some notes\n" +
                              line("4001", "Next", "f ", "+") + "\n" + std::string(43, ' ') +
                              "Fourth\n   \n" + "#12\n";
    const std::string path = dir.WriteFile("a.log", bytes);
    SchedulerLogReader reader(path);
    struct Expected {
        std::string cart, title, description2, ending, end, description3, notes;
    };
    const std::string blank20(20, ' ');
    const Expected expected[] = {
        {"4000", "Café" + std::string(29, ' '), blank20, "E", "É", "Third", "Some notes"},
        {"4001", "Next" + std::string(29, ' '), blank20, "F", "+", "Fourth", ""},
        {"12", "", "", "", "", "", ""},
    };
    SchedulerItem item;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.cart);
        CutItemLine(reader.NextLine(), item);
        ReadItemContinuations(reader, item);
        EXPECT_EQ(item.cartNumber, e.cart);
        EXPECT_EQ(item.title, e.title);
        EXPECT_EQ(item.endingCode, e.ending);
        EXPECT_EQ(item.endCode, e.end);
        EXPECT_EQ(item.description3, e.description3);
        EXPECT_EQ(item.notes, e.notes);
        EXPECT_EQ(item.description2, e.description2);
    }
    EXPECT_TRUE(reader.AtEnd());
}

struct HeaderResult {
    bool ok = false;
    DayTime stamp;
    std::string text;
    std::string lineAfter;  // the current line when the read ended
    std::vector<std::string> messages;
};

HeaderResult ReadFirstHeader(const std::string& bytes) {
    TempDir dir;
    std::string path = dir.WriteFile("h.log", bytes);
    SchedulerLogReader reader(path);
    ScriptedUserInterface ui;
    HeaderResult result;
    std::string line = reader.ReadLine();
    result.ok = ReadHourHeader(reader, line, result.stamp, result.text, ui, kThisYear);
    result.lineAfter = line;
    result.messages = ui.MessageTexts();
    return result;
}

const std::string kDateReport = "There was a problem reading the date from the Music Log";
const std::string kTimeReport = "There was a problem reading the time from the Music Log";

TEST(ReadHourHeader, CompactForm) {
    const int32_t march7 = DateSerial(2000, 3, 7);
    struct Case {
        std::string line;
        bool ok;
        int32_t day;
        float seconds;
        std::string text;
        std::string report;
    } cases[] = {
        {"+07/03/00 14 Drive Time", true, march7, 14 * 3600, "Drive Time", ""},
        {"\x0C+07/03/00 14 Drive Time", true, march7, 14 * 3600, "Drive Time", ""},
        {"+   7-Mar-2000   06", true, march7, 6 * 3600, "", ""},
        {"+07/03/00 9", true, march7, 9 * 3600, "", ""},
        {"+07/03/00 23:00 Late  Show ", true, march7, 23 * 3600, "Late  Show ", ""},
        {"+07/03/00 14 Caf\xE9", true, march7, 14 * 3600, "Café", ""},
        {"+31/02/00 14 x", false, 0, 0, "", kDateReport},  // not a date
        {"+hello 14", false, 0, 0, "", kDateReport},
        {"+07/03/00", false, 0, 0, "", kDateReport},  // no blank after the date
        {"+", false, 0, 0, "", kDateReport},
        {"+07/03/00 24 Too late", false, 0, 0, "", kTimeReport},
        {"+07/03/00 -1", false, 0, 0, "", kTimeReport},
        // The hour is a whole number of the day, never a guess: "ab" is not 00.
        {"+07/03/00 ab Drive", false, 0, 0, "", kTimeReport},
        {"+07/03/00 7a", false, 0, 0, "", kTimeReport},
        {"+07/03/00 1.5", false, 0, 0, "", kTimeReport},
        {"+07/03/00  ", false, 0, 0, "", kTimeReport},  // no hour after the blank
        {"+07/03/00 123 x", true, march7, 12 * 3600, "x", ""},  // its first two characters
    };
    for (const Case& c : cases) {
        HeaderResult r = ReadFirstHeader(c.line + "\r\n#  4000\r\n");
        EXPECT_EQ(r.ok, c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(r.stamp.day, c.day) << c.line;
            EXPECT_EQ(r.stamp.seconds, c.seconds) << c.line;
            EXPECT_EQ(r.text, c.text) << c.line;
            EXPECT_TRUE(r.messages.empty()) << c.line;
        } else {
            EXPECT_EQ(r.messages, std::vector<std::string>{c.report}) << c.line;
        }
    }
}

TEST(ReadHourHeader, BlockForm) {
    struct Case {
        std::string date;
        std::string hour;
        bool ok;
        int32_t day;
        float seconds;
        std::string report;
    } cases[] = {
        {"07/03/00", "14", true, DateSerial(2000, 3, 7), 14 * 3600, ""},
        {"07/03/19", "0", true, DateSerial(2019, 3, 7), 0, ""},
        {"07/03/2007", "23", true, DateSerial(2007, 3, 7), 23 * 3600, ""},
        {"07/03/45", "5", true, DateSerial(2045, 3, 7), 5 * 3600, ""},  // never the 1900s
        {"07/03/1975", "5", true, DateSerial(2075, 3, 7), 5 * 3600, ""},
        {"7/3/2019", "5", true, DateSerial(2019, 3, 7), 5 * 3600, ""},  // a whole year kept
        {"7/3/19", "5", true, DateSerial(2019, 3, 7), 5 * 3600, ""},
        {"7 March 2001", "5", true, DateSerial(2001, 3, 7), 5 * 3600, ""},
        {"32/03/00", "5", false, 0, 0, kDateReport},
        {"", "5", false, 0, 0, kDateReport},
        {"07/03/00", "24", false, 0, 0, kTimeReport},
        {"07/03/00", "-1", false, 0, 0, kTimeReport},
        {"07/03/00", "ab", false, 0, 0, kTimeReport},
        {"07/03/00", "", false, 0, 0, kTimeReport},
        {"07/03/00", "7.5", false, 0, 0, kTimeReport},
    };
    for (const Case& c : cases) {
        std::string bytes = SchedulerLogWriter()
                                .Line("+*")
                                .Line("=== page 1")
                                .Line("Date : " + c.date)
                                .Line("Hour : " + c.hour)
                                .Line("Clock:  Breakfast Clock  ")
                                .Line("#  4000")
                                .Bytes();
        HeaderResult r = ReadFirstHeader(bytes);
        EXPECT_EQ(r.ok, c.ok) << c.date << " " << c.hour;
        if (c.ok) {
            EXPECT_EQ(r.stamp.day, c.day) << c.date;
            EXPECT_EQ(r.stamp.seconds, c.seconds) << c.date;
            EXPECT_EQ(r.text, "Breakfast Clock");
            EXPECT_EQ(r.lineAfter, "Clock:  Breakfast Clock  ");
            EXPECT_TRUE(r.messages.empty());
        } else {
            EXPECT_EQ(r.messages, std::vector<std::string>{c.report}) << c.date << " " << c.hour;
        }
    }
}

TEST(ReadHourHeader, BlockHeaderCutOffByTheEndOfTheFileFailsSilently) {
    for (std::string bytes : {std::string("+*\r\n"), std::string("+*\r\nDate : 07/03/00\r\n"),
                              std::string("+*\r\nDate : 07/03/00\r\nHour : 14\r\n#x")}) {
        HeaderResult r = ReadFirstHeader(bytes);
        EXPECT_FALSE(r.ok) << bytes;
        EXPECT_TRUE(r.messages.empty()) << bytes;
    }
}

}  // namespace
}  // namespace vantor
