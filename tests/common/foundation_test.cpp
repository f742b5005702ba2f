#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/numbers.h"
#include "common/ole_date.h"
#include "common/problem_report.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"

namespace vantor {
namespace {

TEST(ProblemReport, QuietReportWithoutNumberIsTheBareSentence) {
    ScriptedUserInterface ui;
    EXPECT_EQ(ProblemReport(ui, "opening the database ", ErrorResult{}, true),
              "There was a problem opening the database");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ProblemReport, ShownWithWarningIconAndStandardMessage) {
    ScriptedUserInterface ui;
    ui.cursor = MouseCursor::Hourglass;
    std::string text =
        ProblemReport(ui, "opening the Kora settings table", ErrorResult::Make(3265));
    EXPECT_EQ(text,
              "There was a problem opening the Kora settings table and the error's description "
              "was reported as : \n\n\"Item not found in this collection.\" (3265)");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui.cursor, MouseCursor::Hourglass);  // restored afterwards
}

TEST(ProblemReport, UnknownNumberFallsBackToTheFailuresOwnDescription) {
    EXPECT_EQ(ProblemReportText("reading", 40001, "custom trouble"),
              "There was a problem reading and the error's description was reported as : "
              "\n\n\"custom trouble\" (40001)");
}

TEST(Codepage, Windows1252RoundTrip) {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    std::string utf8 = Cp1252ToUtf8(bytes);
    EXPECT_EQ(Utf8ToCp1252(utf8), bytes);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\u00E9");
    // Plain runs between converted bytes, a zero byte kept, the text ending on either kind.
    EXPECT_EQ(Cp1252ToUtf8(std::string("ab\x80"
                                       "cd\xE9\0e\x9F",
                                       9)),
              std::string("ab\u20AC"
                          "cd\u00E9\0e\u0178",
                          13));
    EXPECT_EQ(Utf8ToCp1252("\u20AC \u00FC \u4E2D"), "\x80 \xFC ?");
}

TEST(Numbers, LeadingNumberAndRounding) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"  12abc", 12}, {"-3.5x", -3.5}, {"abc", 0}, {"", 0}, {".5", 0.5}, {"+7", 7}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_FALSE(ToInt16(32767.6).has_value());
    EXPECT_EQ(*ToInt16(-32768.4), -32768);
    EXPECT_FALSE(IsNumericText("12abc"));
    EXPECT_TRUE(IsNumericText(" 1.5e3 "));
    EXPECT_EQ(NumberText(25), "25");
    EXPECT_EQ(NumberText(0.5), "0.5");
}

TEST(OleDate, SerialsAndWeekdays) {
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(1999, 12, 31), 36525);
    EXPECT_EQ(DateSerial(2000, 3, 0), DateSerial(2000, 2, 29));
    EXPECT_EQ(DateSerial(2000, 13, 1), DateSerial(2001, 1, 1));
    EXPECT_EQ(WeekdayOf(DateSerial(2000, 3, 6)), 2);  // a Monday
    DateParts p = SplitDate(DateSerial(2024, 2, 29) + TimeSerial(23, 59, 59));
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.second, 59);
}

TEST(Text, CaseInsensitiveHelpers) {
    EXPECT_TRUE(EqualsNoCase("Carts3.lst", "CARTS3.LST"));
    EXPECT_EQ(ToUpper("caf\u00E9"), "CAF\u00C9");
    EXPECT_EQ(MidOf("abcdef", 3, 2), "cd");
    EXPECT_EQ(MidOf("abc", 9), "");
    EXPECT_EQ(Trim("  a b  "), "a b");
}

}  // namespace
}  // namespace vantor
