#include <gtest/gtest.h>

#include "importer/hour_import.h"

namespace vantor {
namespace {

SchedulerItem ItemFor(const std::string& cart, const std::string& endCode = "",
                      const std::string& endingCode = "") {
    SchedulerItem item;
    item.cartNumber = cart;
    item.title = "Title";
    item.description2 = "Second";
    item.description3 = "Third";
    item.notes = "Notes";
    item.endCode = endCode;
    item.endingCode = endingCode;
    return item;
}

TEST(FillItemEntry, KindByCartRangeWithTheDefaultRanges) {
    const CartRanges ranges;  // the defaults
    struct Case {
        std::string cart;
        std::string endCode;
        int32_t type;
        int32_t endType;
        std::string hdReference;
        float information1;
        std::string progress;
    } cases[] = {
        {"250", "", 3, 50, "250", 0, "Adding Jingle"},
        {"1", "-", 3, 0, "1", 0, "Adding Jingle"},
        {"500", "", 3, 50, "500", 0, "Adding Jingle"},
        {"700", "", 3, 100, "700", 0, "Adding Sweeper"},
        {"700", "-", 3, 100, "700", 0, "Adding Sweeper"},  // column 80 cannot undo a sweeper
        {"700", "+", 3, 100, "700", 0, "Adding Sweeper"},
        {"1500", "", 4, 50, "1500", 0, "Adding Advert"},
        {"80005", "", 13, 50, "", 5, "Adding Split Cart Group"},
        {"80001", "", 13, 50, "", 1, "Adding Split Cart Group"},
        {"4000", "", 7, 50, "4000", 0, "Adding Song"},
        {"2500", "", 2, 50, "2500", 0, "Adding Cart"},
        {"0", "", 2, 50, "0", 0, "Adding Cart"},
        {"", "", 2, 50, "", 0, "Adding Cart"},
        {"99999", "", 2, 50, "99999", 0, "Adding Cart"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cart + " " + c.endCode);
        ImportEntry entry;
        EXPECT_EQ(FillItemEntry(ItemFor(c.cart, c.endCode), ranges, false, entry), c.progress);
        EXPECT_EQ(entry.EntryType, c.type);
        EXPECT_EQ(entry.EntryStatus, 2);
        EXPECT_EQ(entry.ScheduledEndType, c.endType);
        EXPECT_EQ(entry.HDReference, c.hdReference);
        EXPECT_EQ(entry.Information1, c.information1);
        EXPECT_EQ(entry.Description1, "Title");
        EXPECT_EQ(entry.Description2, "Second");
        EXPECT_EQ(entry.Description3, "Third");
        EXPECT_EQ(entry.Notes, "Notes");
    }
}

TEST(FillItemEntry, OverlappingRangesAreTestedInTheirOrder) {
    CartRanges ranges;
    ranges.SongsStart = 1;  // songs overlap everything, and lose to every other range
    ranges.SongsEnd = 99999;
    ImportEntry jingle, advert, song;
    EXPECT_EQ(FillItemEntry(ItemFor("10"), ranges, false, jingle), "Adding Jingle");
    EXPECT_EQ(FillItemEntry(ItemFor("1001"), ranges, false, advert), "Adding Advert");
    EXPECT_EQ(FillItemEntry(ItemFor("2500"), ranges, false, song), "Adding Song");
}

TEST(FillItemEntry, EndAndEndingCodes) {
    struct Case {
        std::string endCode;
        std::string endingCode;
        int32_t endType;
        int32_t flags;
        int32_t endingType;
    } cases[] = {
        {"@", "E", 50, 0, 1}, {"X", "F", 50, 0, 2}, {"N", "", 50, 0, 0},
        {"#", "", 50, 1, 0},  {"-", "", 0, 0, 0},   {"Y", "", 0, 0, 0},
        {"+", "", 0, 1, 0},   {"", "G", 50, 0, 0},  {"Z", "", 50, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.endCode + "/" + c.endingCode);
        ImportEntry entry;
        FillItemEntry(ItemFor("4000", c.endCode, c.endingCode), CartRanges{}, false, entry);
        EXPECT_EQ(entry.ScheduledEndType, c.endType);
        EXPECT_EQ(entry.EntryFlags, c.flags);
        EXPECT_EQ(entry.EndingType, c.endingType);
    }
}

TEST(FillItemEntry, SoftDeletedSongsOnly) {
    ImportEntry song, jingle;
    FillItemEntry(ItemFor("4000"), CartRanges{}, true, song);
    FillItemEntry(ItemFor("100"), CartRanges{}, true, jingle);
    EXPECT_EQ(song.EntryStatus, 6);
    EXPECT_EQ(jingle.EntryStatus, 2);
}

// The import clears one entry before every line and keeps the texts' storage: nothing of the
// line before may be left in any field.
TEST(ClearEntry, LeavesNothingOfTheEntryBefore) {
    ImportEntry entry;
    FillItemEntry(ItemFor("4000", "+", "E"), CartRanges{}, true, entry);
    entry.ReferenceStartTime = 60;
    entry.Description4 = entry.ItemReference = entry.SchedulerReference = "long enough to be kept";
    entry.Information1 = entry.Information2 = entry.Information3 = entry.Information4 = 2;
    entry.ScheduledLength = 30;
    entry.HardwareEndTestNumber1 = entry.HardwareEndTestNumber2 = 1;
    entry.HardwareEndTestState1 = entry.HardwareEndTestState2 = 1;
    ClearEntry(entry);
    const ImportEntry cleared;
    for (const std::string* text :
         {&entry.Description1, &entry.Description2, &entry.Description3, &entry.Description4,
          &entry.ItemReference, &entry.SchedulerReference, &entry.HDReference, &entry.Notes})
        EXPECT_EQ(*text, "");
    EXPECT_EQ(entry.EntryType, cleared.EntryType);
    EXPECT_EQ(entry.EntryFlags, cleared.EntryFlags);
    EXPECT_EQ(entry.EntryStatus, cleared.EntryStatus);
    EXPECT_EQ(entry.ReferenceStartTime, cleared.ReferenceStartTime);
    for (float information : {entry.Information1, entry.Information2, entry.Information3,
                              entry.Information4})
        EXPECT_EQ(information, 0);
    EXPECT_EQ(entry.ScheduledLength, cleared.ScheduledLength);
    for (int16_t hardware : {entry.HardwareEndTestNumber1, entry.HardwareEndTestNumber2,
                             entry.HardwareEndTestState1, entry.HardwareEndTestState2})
        EXPECT_EQ(hardware, 0);
    EXPECT_EQ(entry.EndingType, cleared.EndingType);
    EXPECT_EQ(entry.ScheduledEndType, cleared.ScheduledEndType);
}

}  // namespace
}  // namespace vantor
