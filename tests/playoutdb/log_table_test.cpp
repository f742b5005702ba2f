#include <gtest/gtest.h>

#include "support/cursor_walk.h"
#include "support/succeeded.h"
#include "common/locale.h"
#include "common/ole_date.h"
#include "playout_fixture.h"
#include "playoutdb/log_table.h"

namespace vantor {
namespace {

using testing::MakePlayoutDatabase;
using testing::TempDir;

constexpr int32_t kJan1st2000 = 36526;

TEST(QIndex, HourStartsAndEndsAreExact) {
    EXPECT_EQ(QIndexStep, 5.787037025584141e-05);
    EXPECT_EQ(HourStartQIndex({kJan1st2000, 0.0f}), 1.0);
    EXPECT_EQ(HourStartQIndex({36525, 0.0f}), 0.0);
    EXPECT_EQ(HourStartQIndex({kJan1st2000, 13 * 3600 + 45 * 60 + 10}), 1.0 + 13.0 / 24.0);
    EXPECT_EQ(HourEndQIndex({kJan1st2000, 13 * 3600}), 1.0 + (13.0 * 3600.0 + 3599.99) / 86400.0);
    EXPECT_EQ(HourEndQIndex({kJan1st2000, 13 * 3600 + 1800}),
              1.0 + (13.0 * 3600.0 + 3599.99) / 86400.0);
    EXPECT_EQ(DayOfQIndex(2900.75), 2900 + 36525);
}

TEST(QIndex, KeysOfAnHourBelongToItsStart) {
    const double start = HourStartQIndex({kJan1st2000, 13 * 3600});
    const double afterThreeSteps = start + QIndexStep + QIndexStep + QIndexStep;
    const double justBeforeTwo = 1.0 + (14.0 * 3600.0 - 0.0000001) / 86400.0;
    const double lastStep = start + 719 * QIndexStep;
    struct Case {
        const char* what;
        double q;
        int32_t day;
        float seconds;
    };
    const Case cases[] = {
        {"hour start", start, kJan1st2000, 13 * 3600},
        {"three steps after", afterThreeSteps, kJan1st2000, 13 * 3600},
        {"hour end", HourEndQIndex({kJan1st2000, 13 * 3600}), kJan1st2000, 13 * 3600},
        {"719 steps after", lastStep, kJan1st2000, 13 * 3600},
        {"a hair before 14:00 carries", justBeforeTwo, kJan1st2000, 14 * 3600},
        {"a hair before midnight is the next day", 2.0 - 1e-12, kJan1st2000 + 1, 0},
        {"31 December 1999", 0.5, 36525, 12 * 3600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DayTime stamp = DayTimeOfQIndex(c.q);
        EXPECT_EQ(stamp.day, c.day);
        EXPECT_EQ(stamp.seconds, c.seconds);
    }
    EXPECT_EQ(HourStartOfQIndex(afterThreeSteps), start);
    EXPECT_EQ(HourStartOfQIndex(justBeforeTwo), 1.0 + 14.0 / 24.0);
}

TEST(EntryTypes, AudioTypesAndDisplayNames) {
    struct Case {
        EntryType type;
        bool narrow;
        bool audio;
    };
    const Case cases[] = {
        {EntryType::Cart, true, true},        {EntryType::Link, true, true},
        {EntryType::Song, true, true},        {EntryType::Advert, true, false},
        {EntryType::Advert, false, true},     {EntryType::Brixel, true, false},
        {EntryType::Brixel, false, true},     {EntryType::Command, false, false},
        {EntryType::HourStart, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAudioEntryType(static_cast<int32_t>(c.type), c.narrow), c.audio)
            << static_cast<int>(c.type) << (c.narrow ? " narrow" : "");
    }
    EXPECT_EQ(EntryTypeShortName(0), "Srce");
    EXPECT_EQ(EntryTypeLongName(1), "Ab. Time");
    EXPECT_EQ(EntryTypeShortName(10), "----");
    EXPECT_EQ(EntryTypeLongName(14), "Spl. Advert");
    EXPECT_EQ(EntryTypeShortName(98), "");
    EXPECT_EQ(EntryTypeLongName(-1), "");
}

class LogTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = MakePlayoutDatabase(dir_);
        ASSERT_THAT(db_.Open(path_), Succeeded());
        ASSERT_THAT(OpenLogTable(db_, log_), Succeeded());
    }

    void Add(double q, int32_t type = static_cast<int32_t>(EntryType::Song)) {
        ASSERT_TRUE(NewLogEntry(log_, q));
        ASSERT_THAT(log_.Set(LogEntry::EntryType, type), Succeeded());
        ASSERT_THAT(log_.Update(), Succeeded());
    }

    TempDir dir_;
    std::string path_;
    Database db_;
    TableCursor log_;
};

TEST_F(LogTableTest, NewRowStartsWithItsDefaultsAndNullWhereLeftUnset) {
    ASSERT_TRUE(NewLogEntry(log_, 1.5));
    ASSERT_THAT(log_.Update(), Succeeded());
    ASSERT_THAT(log_.Seek("=", 1.5), Succeeded());
    ASSERT_FALSE(log_.NoMatch());
    for (const LogEntryColumn& column : LogEntry::Columns()) {
        SCOPED_TRACE(std::string(column.name));
        DbValue stored = log_.Field(column.name);
        if (column.name == LogEntry::QIndex) {
            EXPECT_EQ(stored, DbValue(1.5));
        } else if (column.newRowValue.IsNull()) {
            EXPECT_TRUE(stored.IsNull());
        } else {
            EXPECT_EQ(stored.AsText(), column.newRowValue.AsText());
            EXPECT_EQ(stored.IsText(), column.newRowValue.IsText());
        }
    }
    EXPECT_EQ(log_.Field(LogEntry::ScheduledEndType), DbValue(50));
    EXPECT_EQ(log_.Field(LogEntry::ActualEndType), DbValue(50));
    EXPECT_TRUE(log_.Field(LogEntry::ScheduledLength).IsNull());
    EXPECT_TRUE(log_.Field(LogEntry::OriginalEntryFlags).IsNull());
    EXPECT_TRUE(log_.Field(LogEntry::InformationString3).IsNull());
    EXPECT_TRUE(log_.Field(LogEntry::InformationString4).IsNull());
    EXPECT_EQ(log_.Field(LogEntry::InformationString2), DbValue(""));
}

TEST_F(LogTableTest, SecondRowAtAKeyFailsAndLeavesNothingBehind) {
    Add(1.5);
    ASSERT_TRUE(NewLogEntry(log_, 1.5));
    ASSERT_THAT(log_.Set(LogEntry::Description1, "Second"), Succeeded());
    EXPECT_EQ(log_.Update().number, 3022);
    log_.CancelUpdate();
    long long count = 0;
    ASSERT_THAT(log_.RecordCount(count), Succeeded());
    EXPECT_EQ(count, 1);
    ASSERT_THAT(log_.Seek("=", 1.5), Succeeded());
    EXPECT_EQ(log_.Field(LogEntry::Description1), DbValue(""));
}

TEST_F(LogTableTest, TextOneCharacterOverItsWidthFailsAndAtItsWidthIsStored) {
    ASSERT_TRUE(NewLogEntry(log_, 2.0));
    EXPECT_EQ(log_.Set(LogEntry::RDS_Text, std::string(129, 'r')).number, 3163);
    EXPECT_EQ(log_.Set(LogEntry::Description1, std::string(256, 'd')).number, 3163);
    ASSERT_THAT(log_.Set(LogEntry::RDS_Text, std::string(128, 'r')), Succeeded());
    ASSERT_THAT(log_.Set(LogEntry::Description1, std::string(255, 'd')), Succeeded());
    ASSERT_THAT(log_.Update(), Succeeded());
    ASSERT_THAT(log_.Seek("=", 2.0), Succeeded());
    EXPECT_EQ(log_.Field(LogEntry::RDS_Text).AsText(), std::string(128, 'r'));
    EXPECT_EQ(log_.Field(LogEntry::Description1).AsText(), std::string(255, 'd'));
}

TEST_F(LogTableTest, AnHourIsFoundByItsStartAndItsLastEntryBeforeItsEnd) {
    const DayTime thirteen{kJan1st2000, 13 * 3600};
    const DayTime fourteen{kJan1st2000, 14 * 3600};
    const double start = HourStartQIndex(thirteen);
    Add(start, static_cast<int32_t>(EntryType::HourStart));
    double q = start;
    for (int i = 0; i < 3; ++i) Add(q += 2 * QIndexStep);
    Add(HourStartQIndex(fourteen), static_cast<int32_t>(EntryType::HourStart));

    ASSERT_THAT(log_.Seek("=", start), Succeeded());
    EXPECT_FALSE(log_.NoMatch());
    ASSERT_THAT(log_.Seek("<", HourEndQIndex(thirteen)), Succeeded());
    EXPECT_EQ(log_.Field(LogEntry::QIndex).AsDouble(), q);
    std::vector<double> walked;
    ASSERT_THAT(log_.Seek(">", start), Succeeded());
    for (bool ok = true;
         ok && !log_.Eof() && log_.Field(LogEntry::QIndex).AsDouble() <= HourEndQIndex(thirteen);
         ok = testing::Next(log_)) {
        walked.push_back(log_.Field(LogEntry::QIndex).AsDouble());
    }
    EXPECT_EQ(walked.size(), 3u);
    ASSERT_THAT(log_.Seek("=", HourStartQIndex({kJan1st2000, 15 * 3600})), Succeeded());
    EXPECT_TRUE(log_.NoMatch());
}

TEST_F(LogTableTest, LastScheduledHourEndsAtTheLastRowsHour) {
    SetDateLocale(DateLocaleFromName("C"));
    EXPECT_EQ(LastScheduledHour(path_).text, "");  // no rows
    EXPECT_EQ(LastScheduledHour(path_).end.day, 0);
    const int32_t day = DateSerial(2000, 3, 7);
    Add(HourStartQIndex({day, 22 * 3600}));
    Add(HourStartQIndex({day, 23 * 3600}) + 40 * QIndexStep);
    log_.Close();
    db_.Close();
    LastScheduled last = LastScheduledHour(path_);
    EXPECT_EQ(last.text, LongDateText(day) + " 23:59");
    EXPECT_EQ(last.text, "07 March 2000 23:59");
    EXPECT_EQ(last.end.day, day);
    EXPECT_EQ(last.end.seconds, 86399.99f);
    EXPECT_EQ(LastScheduledHour(dir_ / "kora26.mdb").text, last.text);  // letter case of a name
    EXPECT_EQ(LastScheduledHour(dir_ / "MISSING.MDB").text, "");
    EXPECT_EQ(LastScheduledHour(dir_.WriteFile("JUNK.MDB", "no database here at all")).text, "");
}

}  // namespace
}  // namespace vantor
