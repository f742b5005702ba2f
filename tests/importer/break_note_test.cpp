#include "importer/break_note.h"

#include <gtest/gtest.h>

#include "support/scripted_user_interface.h"
#include "support/scheduler_log_writer.h"

namespace vantor {
namespace {

using testing::SchedulerLogWriter;

const DayTime kHour{36592, 10 * 3600};  // some day at 10:00

// The line exactly as the scheduler writes it, without its line end.
std::string NoteLine(const std::string& text, const std::string& cart = "",
                     const std::string& duration = "", char endCode = ' ') {
    std::string bytes =
        SchedulerLogWriter().CrLf(false).Note(text, cart, duration, endCode).Bytes();
    bytes.pop_back();
    return bytes;
}

struct Parsed {
    bool makesEntry = false;
    ImportEntry entry;
    HourState hour;
    std::vector<std::string> messages;
};

Parsed Parse(const std::string& line, HourState hour = {}) {
    Parsed p;
    ScriptedUserInterface ui;
    p.hour = hour;
    ClearEntry(p.entry);
    p.makesEntry = ParseBreakNote(kHour, line, p.entry, p.hour, ui);
    p.messages = ui.MessageTexts();
    return p;
}

TEST(ParseBreakNote, EntryMakingCodes) {
    const float start = kHour.seconds;
    struct Case {
        std::string text;
        int32_t type;
        int32_t status;
        float reference;
        double length;
        std::string description;
        std::string itemReference;
        float information1;
        float information2;
    } cases[] = {
        {"BREAK 10:15:00", 4, 1, start + 900, 120, "Advert Break", "", 0, 0},
        {"break 10:15:00", 4, 1, start + 900, 120, "Advert Break", "", 0, 0},
        {"$BREAK 11:01:02", 4, 1, start + 62, 120, "Advert Break", "", 0, 0},
        {"$$ 10:20:30 ignored words", 4, 1, start + 1230, 120, "Advert Break", "", 0, 0},
        {"SPLIT 10:20:30", 14, 2, start + 1230, 120, "", "", 0, 0},
        {"$SPLIT 10:00:05", 14, 2, start + 5, 120, "", "", 0, 0},
        {"$p 10:01:00", 14, 2, start + 60, 120, "", "", 0, 0},
        {"$T05:30.50 Top of the news", 1, 2, start + 330.5f, 0, "Top of the news", "", 0, 0},
        {"$T05:30 Top of the news", 1, 2, start + 330, 0, "Top of the news", "", 0, 0},
        {"$t  01:02 x", 1, 2, start + 62, 0, "01:02 x", "", 0, 0},
        {"$CSTOPALL", 11, 2, 0, 0, "", "STOPALL", 0, 0},
        {"$c  Fade now", 11, 2, 0, 0, "", "Fade", 0, 0},
        {"$HS12 Studio lights", 5, 2, 0, 0, "Studio lights", "", 12, 1},
        {"$HC3 Off", 5, 2, 0, 0, "Off", "", 3, 0},
        {"$HF4", 5, 2, 0, 0, "", "", 4, 2},
        {"$hp7 Pulse", 5, 2, 0, 0, "Pulse", "", 7, 3},
        {"$HX9 Odd", 5, 2, 0, 0, "Odd", "", 9, 0},
        {"Link to news", 8, 2, 0, 0, "Link to news", "", 0, 0},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(NoteLine(c.text));
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(p.makesEntry);
        EXPECT_EQ(p.entry.EntryType, c.type);
        EXPECT_EQ(p.entry.EntryStatus, c.status);
        EXPECT_FLOAT_EQ(p.entry.ReferenceStartTime, c.reference);
        EXPECT_EQ(p.entry.ScheduledLength, c.length);
        EXPECT_EQ(p.entry.Description1, c.description);
        EXPECT_EQ(p.entry.ItemReference, c.itemReference);
        EXPECT_EQ(p.entry.Information1, c.information1);
        EXPECT_EQ(p.entry.Information2, c.information2);
        EXPECT_EQ(p.entry.ScheduledEndType, 50);
        EXPECT_EQ(p.entry.EntryFlags, 0);
        EXPECT_EQ(p.entry.EndingType, 0);
        EXPECT_TRUE(p.messages.empty());
        EXPECT_EQ(p.hour.HourMode, 1);
        EXPECT_FALSE(p.hour.HourFlag);
    }
}

TEST(ParseBreakNote, WaitForInput) {
    struct Case {
        std::string text;
        float offset;
        int16_t number;
        int16_t state;
        std::string description;
    } cases[] = {
        {"$W00:45 $IS3 Wait for caller", 45, 3, 1, "Wait for caller"},
        {"$W00:45 $IC3 Wait for caller", 45, 3, 0, "Wait for caller"},
        {"$w01:00 $is12", 60, 12, 1, ""},  // nothing after the input word
        {"$W02:00", 120, 0, 0, ""},
        // The description stops at position 54 of the note text.
        {"$W00:01 $IS1 " + std::string(41, 'a') + "bbbb", 1, 1, 1, std::string(41, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Parsed p = Parse(NoteLine(c.text));
        EXPECT_TRUE(p.makesEntry);
        EXPECT_EQ(p.entry.EntryType, 1);
        EXPECT_FLOAT_EQ(p.entry.ReferenceStartTime, kHour.seconds + c.offset);
        EXPECT_EQ(p.entry.HardwareEndTestNumber1, c.number);
        EXPECT_EQ(p.entry.HardwareEndTestState1, c.state);
        EXPECT_EQ(p.entry.Description1, c.description);
    }
}

TEST(ParseBreakNote, PlainNoteWithCartOrDuration) {
    Parsed cart = Parse(NoteLine("Weather", "0456"));
    EXPECT_TRUE(cart.makesEntry);
    EXPECT_EQ(cart.entry.EntryType, 2);
    EXPECT_EQ(cart.entry.HDReference, "0456");
    EXPECT_EQ(cart.entry.Description1, "Weather");
    EXPECT_EQ(cart.entry.ScheduledLength, 0);
    // The four columns are kept as they stand; a cart written right-aligned keeps its blank.
    EXPECT_EQ(Parse(NoteLine("Weather", " 456")).entry.HDReference, " 456");

    Parsed text = Parse(NoteLine("Link to news", "", "1:30"));
    EXPECT_EQ(text.entry.EntryType, 8);
    EXPECT_EQ(text.entry.HDReference, "");
    EXPECT_EQ(text.entry.ScheduledLength, 90);
    EXPECT_EQ(text.entry.Description1, "Link to news");

    // Only the units of the minutes are read; the description stops at column 54.
    Parsed long_ = Parse(NoteLine(std::string(45, 'x'), "", "12:05"));
    EXPECT_EQ(long_.entry.ScheduledLength, 2 * 60 + 5);
    EXPECT_EQ(long_.entry.Description1, std::string(40, 'x'));

    // 8-bit text is converted after the columns are cut.
    Parsed accented = Parse(":" + std::string(13, ' ') + "Caf\xE9 News");
    EXPECT_EQ(accented.entry.Description1, "Café News");
}

TEST(ParseBreakNote, EndCodeOfColumn80) {
    struct Case {
        char code;
        int32_t endType;
    } cases[] = {{'-', 0},  {'Y', 0},  {'y', 0},  {'X', 50}, {'n', 50},
                 {'#', 50}, {'@', 50}, {'+', 50}, {' ', 50}};
    for (const Case& c : cases) {
        for (std::string text : {"$$ 10:00:00", "Some text", "$CGO"}) {
            Parsed p = Parse(NoteLine(text, "", "", c.code));
            EXPECT_EQ(p.entry.ScheduledEndType, c.endType) << c.code << " " << text;
            EXPECT_EQ(p.entry.EntryFlags, 0);
        }
    }
}

TEST(ParseBreakNote, ModeSwitchesMakeNoEntry) {
    struct Case {
        std::string text;
        HourState before;
        int32_t mode;
        bool flag;
        bool softDelete;
    } cases[] = {
        {"$AON", {}, 2, true, false},
        {"$aon", {}, 2, true, false},
        {"$AOFF", {false, true, 2}, 1, false, false},
        {"$QR", {}, 2, true, false},
        {"$QL", {false, true, 2}, 1, false, false},
        {"$QA", {}, 2, false, false},
        {"$QX", {false, true, 2}, 2, false, false},  // flag cleared, mode kept
        {"$D", {}, 1, false, true},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(NoteLine(c.text), c.before);
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(p.makesEntry);
        EXPECT_EQ(p.hour.HourMode, c.mode);
        EXPECT_EQ(p.hour.HourFlag, c.flag);
        EXPECT_EQ(p.hour.bSoftDeleteSongs, c.softDelete);
        EXPECT_TRUE(p.messages.empty());
    }
}

TEST(ParseBreakNote, UnsupportedWaitForHardwareIsShownAndSkipped) {
    ScriptedUserInterface ui;
    ImportEntry entry;
    HourState hour;
    EXPECT_FALSE(ParseBreakNote(kHour, NoteLine("$I5"), entry, hour, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[0].request.text,
              std::string("You are using the Wait For Hardware event ($Ixxx).\n\nThis is not "
                          "supported in Vantor v2.6 - Please email ") +
                  kSupportEmail + " for more information");
}

}  // namespace
}  // namespace vantor
