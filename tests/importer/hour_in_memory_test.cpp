// A fresh hour is timed in memory and written once; every other hour is written and then timed
// by the walk over the table. Both ways must leave the same database and the same reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "import_fixture.h"
#include "playoutdb/log_table.h"
#include "support/cursor_walk.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::HeaderDate;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::LogItem;
using testing::LogRow;
using testing::SchedulerLogWriter;

// Songs with an intro to lay the 8-second sweeper 700 over: 4005's intro outlasts the sweeper
// (they start together), 4006's ends 5 s in (it starts 3 s after the sweeper). 4007 is a song
// of an awkward length, so that any difference in rounding shows.
std::vector<FixtureCart> MoreCarts() {
    FixtureCart longIntro(4005, "Long Intro", 195.37f);
    longIntro.introEnd = 12;
    FixtureCart shortIntro(4006, "Short Intro", 201.11f);
    shortIntro.introEnd = 5;
    return {longIntro, shortIntro, FixtureCart(4007, "Odd Length", 187.123457f)};
}

// Three days: hours of every kind of entry the timing treats differently, an hour made by hand
// before the import, a stray row without an hour start, a missing day file, short hours.
void WriteDays(ImportStation& station) {
    LogItem continued;
    continued.cart = "4007";
    continued.title = "With notes";
    continued.continued = true;
    continued.description3 = "Album";
    continued.notes = "Notes of the song";
    continued.ending = "F";
    continued.endCode = '#';

    SchedulerLogWriter first;
    first.Header(HeaderDate(kMarch7), 6, "Morning")
        .Item("4000", "Song A")
        .Item("700", "Sweeper")
        .Item("4005", "")
        .Item("100", "Jingle", '+')
        .Note("$T30:00 Wait for half past")
        .Item(continued)
        .Note("$P 00:45:00")
        .Item("80005", "Group")
        .Item("1500", "Advert")
        .Note("$$ 00:50:00")
        .Item("4001", "No audio")
        .Item("9998", "Missing cart")
        .Note("Weather", "", "1:30")
        .Note("Trail", "2500")
        .Item("700", "Sweeper before a jingle")
        .Item("100", "Jingle");
    first.Header(HeaderDate(kMarch7), 7, "By hand").Item("4002", "Song B").Item("4007", "");
    first.Header(HeaderDate(kMarch7), 8, "Automatic")
        .Note("$QR")
        .Item("700", "Sweeper")
        .Item("4006", "")
        .Note("$D")
        .Item("4003", "Soft deleted")
        .Item("4002", "Song B", '-')
        .Note("$W55:00 $IS3 Wait for the news")
        .Item("4007", "");
    first.Header(HeaderDate(kMarch7), 10, "Ends on a sweeper")
        .Note("$A ON")
        .Item("4002", "Song B")
        .Item("700", "Sweeper");
    first.Header(HeaderDate(kMarch7), 23, "Late").Item("4007", "").Note("$T59:50");
    station.WriteLog(kMarch7, first);

    SchedulerLogWriter second;
    for (int hour = 0; hour <= 4; ++hour) {
        second.Header(HeaderDate(kMarch7 + 1), hour, "Night " + std::to_string(hour));
        for (int i = 0; i < 12; ++i) {
            second.Item(i % 4 == 1 ? "700" : i % 3 == 0 ? "4005" : i % 2 ? "4006" : "4007", "");
        }
        second.Note("$P 00:58:00");
    }
    station.WriteLog(kMarch7 + 1, second);
    // No file for the third day.
    SchedulerLogWriter fourth;
    fourth.Header(HeaderDate(kMarch7 + 3), 0, "Silent").Item("4001", "").Item("100", "");
    fourth.Header(HeaderDate(kMarch7 + 3), 1, "Empty");
    station.WriteLog(kMarch7 + 3, fourth);

    // Rows that were in the Log table before the import.
    const double byHand = HourStartQIndex(HourOf(kMarch7, 7));
    station.AddRow(byHand, 98, 0, "Made by hand");
    station.AddRow(byHand + 4 * QIndexStep, 11, 0, "Manual command");
    station.AddRow(HourStartQIndex(HourOf(kMarch7 + 1, 3)) + 4 * QIndexStep, 11, 0, "Stray");
}

struct Outcome {
    std::vector<LogRow> log;
    std::vector<std::vector<DbValue>> settings;
    std::vector<std::string> errorLines;
    std::vector<std::string> messages;
};

Outcome ImportAll(bool inMemory, StartTimeOptions timing) {
    ImportStation station(MoreCarts());
    station.context.freshHoursInMemory = inMemory;
    station.context.timing = timing;
    station.settings.UnderrunningDuration = 600;
    WriteDays(station);
    EXPECT_TRUE(station.Import(kMarch7, 0, kMarch7 + 3, 23));
    EXPECT_TRUE(station.Import(kMarch7, 6, kMarch7, 8));  // again: nothing new

    Outcome outcome;
    outcome.log = station.Rows();
    TableCursor settings;
    EXPECT_THAT(station.db.OpenTable("Settings", settings), Succeeded());
    for (bool more = testing::First(settings); more && !settings.Eof();
         more = testing::Next(settings)) {
        std::vector<DbValue> row;
        for (const FieldDef& field : settings.Fields()) row.push_back(settings.Field(field.name));
        outcome.settings.push_back(std::move(row));
    }
    // The stations live in directories of their own; the messages and report lines name them.
    const std::string root = station.dir.path();
    auto withoutRoot = [&root](std::string text) {
        for (size_t at; (at = text.find(root)) != std::string::npos;) {
            text.replace(at, root.size(), "<station>");
        }
        return text;
    };
    for (const std::string& line : station.ErrorLines()) outcome.errorLines.push_back(withoutRoot(line));
    for (const std::string& text : station.ui.MessageTexts()) outcome.messages.push_back(withoutRoot(text));
    return outcome;
}

// Every digit of a number, so that a message shows where two values part.
std::string Show(const DbValue& value) {
    if (value.kind() != DbValue::Kind::Double) return DebugText(value);
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value.AsDouble());
    return text;
}

TEST(FreshHoursInMemory, GiveTheSameDatabaseAndReportsAsTheWalkOverTheTable) {
    for (StartTimeOptions timing :
         {StartTimeOptions{0, 1}, StartTimeOptions{0, 0}, StartTimeOptions{2, 1}}) {
        SCOPED_TRACE("SweeperMode " + std::to_string(timing.SweeperMode) + ", WaitSplitReturn " +
                     std::to_string(timing.WaitSplitReturn));
        Outcome walked = ImportAll(false, timing);
        Outcome held = ImportAll(true, timing);

        ASSERT_GT(walked.log.size(), 80u);
        ASSERT_EQ(held.log.size(), walked.log.size());
        for (size_t i = 0; i < walked.log.size(); ++i) {
            const LogRow& a = walked.log[i];
            const LogRow& b = held.log[i];
            ASSERT_EQ(a.values.size(), 44u);
            for (const auto& [column, value] : a.values) {
                const DbValue& other = b[column];
                // Exact: same kind of value, same value.
                EXPECT_TRUE(value == other)
                    << "row " << i << " (" << a.qIndex << ") " << column << ": " << Show(value)
                    << " walked, " << Show(other) << " held";
            }
        }
        EXPECT_EQ(held.settings.size(), walked.settings.size());
        for (size_t i = 0; i < walked.settings.size() && i < held.settings.size(); ++i) {
            for (size_t c = 0; c < walked.settings[i].size(); ++c) {
                EXPECT_EQ(held.settings[i][c], walked.settings[i][c])
                    << "settings row " << i << " column " << c;
            }
        }
        EXPECT_EQ(held.errorLines, walked.errorLines);
        EXPECT_EQ(held.messages, walked.messages);
        // The days hold what the comparison is meant to cover.
        EXPECT_GE(walked.errorLines.size(), 5u);
        EXPECT_FALSE(walked.messages.empty());  // the missing day file
    }
}

}  // namespace
}  // namespace vantor
