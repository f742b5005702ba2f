#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "audiowall/audiowall_store.h"
#include "common/problem_report.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"
#include "support/audiowall_fixture.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::TempDir;

std::string Bytes(const CartRecordBytes& b) {
    return std::string(b.data(), b.size());
}

std::string EmptyRecordBytes() {
    return Bytes(EncodeCartListRecord(
        CartListRecordFrom(MakeEmptyCart(kDefaultEmptyCartBackColor, kDefaultEmptyCartForeColor))));
}

class AudiowallLookup : public ::testing::Test {
  protected:
    void Build(int32_t maxCart, const std::vector<FixtureCart>& carts) {
        testing::WriteAudiowall(dir.path(), maxCart, carts);
        testing::PointAudiowallAt(state, dir.path(), maxCart);
    }
    std::string List(int part) { return dir / testing::CartListName(part); }

    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
};

TEST_F(AudiowallLookup, FindsEveryCartAtItsPartAndRecord) {
    Build(2500,
          {{1, "First", 10}, {1000, "Thousand", 11}, {1001, "Part two", 12}, {2500, "Last", 13}});
    ASSERT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Opened);
    EXPECT_TRUE(ui.messages.empty());
    struct Case {
        int32_t cart;
        int32_t result;
        std::string title;
        float length;
    } cases[] = {
        {1, 0, "First", 10},
        {1000, 0, "Thousand", 11},
        {1001, 0, "Part two", 12},
        {2500, 0, "Last", 13},
        {2, 0, "", 0},
        {0, -1, "", 0},
        {2501, -1, "", 0},
        {10001, -1, "", 0},
        {-4, -1, "", 0},
    };
    for (const Case& c : cases) {
        CartLookupResult r = CartLookup(state, c.cart);
        EXPECT_EQ(r.result, c.result) << c.cart;
        EXPECT_EQ(Trim(r.cart.TitleLine1), c.title) << c.cart;
        if (!c.title.empty()) {
            EXPECT_EQ(r.cart.Length(), c.length) << c.cart;
            EXPECT_TRUE(r.cart.HasAudio()) << c.cart;
        } else {
            EXPECT_EQ(r.cart, state.EmptyCart) << c.cart;
        }
    }
}

TEST_F(AudiowallLookup, NumbersOutOfRangeTouchNoFile) {
    // Nothing is configured at all: a lookup out of range must not even try to connect.
    state.MaxCart = 9999;
    for (int32_t cart : {0, 10000, -1}) EXPECT_EQ(CartLookup(state, cart).result, -1);
    for (const AudiowallPart& part : state.Parts) {
        EXPECT_EQ(part.State, PartState::NotConnected);
        EXPECT_EQ(part.FileNumber, 0);
    }
}

TEST_F(AudiowallLookup, PartElevenHoldsCartsAboveTenThousand) {
    Build(10500, {{10000, "Ten thousand", 5}, {10001, "Eleven", 6}, {10500, "Top", 7}});
    EXPECT_EQ(fs::file_size(List(11)), 500u * 300);
    EXPECT_EQ(Trim(CartLookup(state, 10000).cart.TitleLine1), "Ten thousand");
    EXPECT_EQ(Trim(CartLookup(state, 10001).cart.TitleLine1), "Eleven");
    EXPECT_EQ(Trim(CartLookup(state, 10500).cart.TitleLine1), "Top");
    EXPECT_EQ(CartLookup(state, 10501).result, -1);
}

TEST_F(AudiowallLookup, MarkerRepairAndTheEmptyCartRule) {
    Build(1000, {});
    CartRecord noMarkers = testing::FixtureCartRecord({1, "X", 30});
    noMarkers.StartMarker() = 3;
    noMarkers.EndMarker() = 0;
    noMarkers.MarkedLength() = 27;
    testing::WriteCart(List(1), 1, noMarkers);

    CartRecord marked = testing::FixtureCartRecord({2, "Y", 30});
    marked.StartMarker() = 2;
    marked.EndMarker() = 20;
    marked.MarkedLength() = 18;
    testing::WriteCart(List(1), 2, marked);

    CartRecord emptyWithTitle = testing::FixtureCartRecord({3, "Ghost", 0});
    emptyWithTitle.AudioLength() = -1;
    testing::WriteCart(List(1), 3, emptyWithTitle);

    CartRecord silent = testing::FixtureCartRecord({4, "Silent", 8, false});
    testing::WriteCart(List(1), 4, silent);

    CartLookupResult r1 = CartLookup(state, 1);
    EXPECT_EQ(r1.result, 0);
    EXPECT_EQ(r1.cart.StartMarker(), 0);
    EXPECT_EQ(r1.cart.EndMarker(), 30);
    EXPECT_EQ(r1.cart.MarkedLength(), 30);

    CartLookupResult r2 = CartLookup(state, 2);
    EXPECT_EQ(r2.cart, marked);  // good markers are left alone

    CartLookupResult r3 = CartLookup(state, 3);
    EXPECT_EQ(r3.result, 0);
    EXPECT_EQ(r3.cart, state.EmptyCart);

    CartLookupResult r4 = CartLookup(state, 4);
    EXPECT_EQ(r4.result, 0);
    EXPECT_EQ(Trim(r4.cart.TitleLine1), "Silent");
    EXPECT_FALSE(r4.cart.HasAudio());
    EXPECT_EQ(r4.cart.Length(), 8);
}

TEST_F(AudiowallLookup, EveryLookupReadsTheFileAfresh) {
    Build(1000, {{7, "Before", 10}});
    EXPECT_EQ(Trim(CartLookup(state, 7).cart.TitleLine1), "Before");
    // Another program replaces the cart while the list is open here.
    testing::WriteCart(List(1), 7, testing::FixtureCartRecord({0, "After", 20}));
    CartLookupResult r = CartLookup(state, 7);
    EXPECT_EQ(Trim(r.cart.TitleLine1), "After");
    EXPECT_EQ(r.cart.Length(), 20);
}

// A run keeps a list in memory once it has been left alone for a few seconds; another
// workstation writing carts after that must still be seen by the very next lookup.
TEST_F(AudiowallLookup, ListRewrittenAfterItWasKeptIsReadAfresh) {
    Build(4000, {{7, "Before", 10}, {1007, "Before", 10}, {2007, "Before", 10}, {3007, "Before", 10}});
    ASSERT_EQ(OpenAudiowall(state, ui, 0, true), AudiowallOpening::Opened);
    // Older than any file-system clock's tick, so that the lists are kept in memory.
    ::sleep(4);
    // Each case rewrites cart 7's record of its own part (cart 7, 1007, ...) as another
    // workstation would, then changes the list further.
    const std::function<void(const std::string&)> nothingMore = [](const std::string&) {};
    struct Case {
        const char* what;
        int part;
        std::function<void(const std::string& list)> more;
        bool keepModifiedTime;
        int32_t result;  // of the lookup after the rewrite
    } cases[] = {
        {"a cart rewritten in place, the list's size unchanged", 1, nothingMore, false, 0},
        {"the list grown by a record as well", 2,
         [](const std::string& list) {
             testing::WriteCart(list, 1001, testing::FixtureCartRecord({0, "Extra", 1}));
         },
         false, 0},
        {"the modification time put back as it was (a copy keeping times)", 3, nothingMore, true, 0},
        {"the list cut short below the cart", 4,
         [](const std::string& list) { ASSERT_EQ(::truncate(list.c_str(), 6 * 300 + 120), 0); },
         false, err::kInputPastEndOfFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string list = List(c.part);
        const int32_t cart = (c.part - 1) * 1000 + 7;
        ASSERT_EQ(Trim(CartLookup(state, cart).cart.TitleLine1), "Before");
        struct stat before {};
        ASSERT_EQ(::stat(list.c_str(), &before), 0);
        testing::WriteCart(list, 7, testing::FixtureCartRecord({0, "After", 20}));
        c.more(list);
        if (c.keepModifiedTime) {
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, list.c_str(), times, 0), 0);
        }
        CartLookupResult r = CartLookup(state, cart);
        EXPECT_EQ(r.result, c.result);
        if (c.result == 0) {
            EXPECT_EQ(Trim(r.cart.TitleLine1), "After");
            EXPECT_EQ(r.cart.Length(), 20);
        } else {
            EXPECT_EQ(r.cart, state.EmptyCart);
        }
    }
}

TEST_F(AudiowallLookup, ShortOrUnreadableListAnswersEmptyCartWithTheFailure) {
    Build(1000, {{5, "Early", 3}});
    ASSERT_EQ(OpenAudiowall(state, ui, 1, true), AudiowallOpening::Opened);
    // Cut back by someone else below the cart, and in the middle of a record.
    ASSERT_EQ(::truncate(List(1).c_str(), 100 * 300 + 120), 0);
    CartLookupResult r = CartLookup(state, 101);
    EXPECT_EQ(r.result, err::kInputPastEndOfFile);
    EXPECT_EQ(r.cart, state.EmptyCart);
    EXPECT_EQ(state.Parts[1].State, PartState::Unavailable);
    // The next lookup reconnects, which brings the list back to length.
    EXPECT_EQ(CartLookup(state, 5).result, 0);
    EXPECT_EQ(Trim(CartLookup(state, 5).cart.TitleLine1), "Early");
    EXPECT_EQ(fs::file_size(List(1)), 1000u * 300);
    EXPECT_EQ(CartLookup(state, 101).result, 0);

    // A list that cannot be opened at all (a directory stands in its place).
    CloseAudiowall(state);
    fs::remove(List(1));
    fs::create_directory(List(1));
    CartLookupResult bad = CartLookup(state, 5);
    EXPECT_NE(bad.result, 0);
    EXPECT_EQ(bad.cart, state.EmptyCart);
}

TEST_F(AudiowallLookup, IndividualCartListFileWinsWhenEnabled) {
    Build(1000, {{5, "From the list", 3}});
    // The playout programs spell the name in capitals; the disk may hold any case.
    testing::WriteCart(dir / "vnt00005.lst", 1, testing::FixtureCartRecord({0, "Own file", 9}));
    EXPECT_EQ(Trim(CartLookup(state, 5).cart.TitleLine1), "From the list");
    state.UseIndividualCartListFiles = 1;
    EXPECT_EQ(Trim(CartLookup(state, 5).cart.TitleLine1), "Own file");
    EXPECT_EQ(Trim(CartLookup(state, 6).cart.TitleLine1), "");  // no own file: from the list

    // A cart file shorter than a record is a failed read, not a half record.
    dir.WriteFile("VNT00006.LST", std::string(100, 'x'));
    CartLookupResult r = CartLookup(state, 6);
    EXPECT_EQ(r.result, err::kInputPastEndOfFile);
    EXPECT_EQ(r.cart, state.EmptyCart);
    EXPECT_EQ(state.Parts[1].State, PartState::Connected);  // the list itself is fine
}

TEST_F(AudiowallLookup, CartFilesAndNotes) {
    Build(2500, {});
    EXPECT_EQ(CartFileBase(state, 42), dir / "VNT00042");
    EXPECT_EQ(CartFileBase(state, 2500), dir / "VNT02500");
    EXPECT_EQ(CartFileBase(state, 0), "");
    EXPECT_EQ(CartFileBase(state, 2501), "");

    bool exists = true;
    EXPECT_EQ(CartNotesFile(state, 42, exists), dir / "VNT00042.RTF");
    EXPECT_FALSE(exists);
    std::string txt = dir.WriteFile("vnt00042.txt", "notes");
    EXPECT_EQ(CartNotesFile(state, 42, exists), txt);
    EXPECT_TRUE(exists);
    std::string rtf = dir.WriteFile("VNT00042.RTF", "{\\rtf1 notes}");
    EXPECT_EQ(CartNotesFile(state, 42, exists), rtf);
    EXPECT_TRUE(exists);

    exists = true;
    EXPECT_EQ(CartNotesFile(state, 0, exists), "");
    EXPECT_TRUE(exists);  // left as it was
    exists = false;
    EXPECT_EQ(CartNotesFile(state, 9000, exists), "");
    EXPECT_FALSE(exists);
}

// Padding of a short list: what stays, what is overwritten, where the empty records start.
TEST(AudiowallPadding, ShortListsAreExtendedFromTheirFirstMissingRecord) {
    struct Case {
        size_t length;
        size_t keptBytes;    // original bytes left as they were
        size_t firstPadded;  // first record number written
    } cases[] = {{600, 600, 3}, {450, 300, 2}, {750, 750, 4}, {0, 0, 1}};
    const std::string empty = EmptyRecordBytes();
    for (const Case& c : cases) {
        TempDir dir;
        std::string original(c.length, 'A');
        std::string list = dir.WriteFile("Carts1.lst", original);
        AudiowallState state;
        ScriptedUserInterface ui;
        testing::PointAudiowallAt(state, dir.path(), 1000);
        ASSERT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Opened) << c.length;
        EXPECT_TRUE(ui.messages.empty());

        std::string after = testing::ReadWholeFile(list);
        ASSERT_EQ(after.size(), 1000u * 300) << c.length;
        EXPECT_EQ(after.substr(0, c.keptBytes), original.substr(0, c.keptBytes)) << c.length;
        size_t padFrom = (c.firstPadded - 1) * 300;
        // Between the kept bytes and the first padded record: a hole the system fills with
        // zeros (only when the list ended past half a record).
        EXPECT_EQ(after.substr(c.keptBytes, padFrom - c.keptBytes),
                  std::string(padFrom - c.keptBytes, '\0'))
            << c.length;
        for (size_t r = c.firstPadded; r <= 1000; ++r)
            ASSERT_EQ(after.substr((r - 1) * 300, 300), empty) << c.length << " record " << r;
        CloseAudiowall(state);
    }
}

TEST(AudiowallPadding, LastPartGetsItsRemainderAndLongListsStayLong) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 1500);
    std::string longList(1200 * 300, 'L');
    dir.WriteFile("CARTS1.LST", longList);  // found whatever its case
    ASSERT_EQ(OpenAudiowall(state, ui, 0, true), AudiowallOpening::Opened);
    EXPECT_EQ(testing::ReadWholeFile(dir / "CARTS1.LST"), longList);
    EXPECT_FALSE(fs::exists(dir / "Carts1.lst"));
    EXPECT_EQ(fs::file_size(dir / "Carts2.lst"), 500u * 300);
}

TEST(AudiowallPadding, PartElevenIsPaddedWholeBeyondAThousandRecords) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 12500);
    std::string original(600, 'B');
    std::string list = dir.WriteFile("Carts11.lst", original);
    ASSERT_EQ(OpenAudiowall(state, ui, 11, true), AudiowallOpening::Opened);
    std::string after = testing::ReadWholeFile(list);
    ASSERT_EQ(after.size(), 2500u * 300);
    EXPECT_EQ(after.substr(0, 600), original);
    const std::string empty = EmptyRecordBytes();
    for (size_t r = 3; r <= 2500; ++r)
        ASSERT_EQ(after.substr((r - 1) * 300, 300), empty) << "record " << r;
}

// A NoCarts whose lists could never fit their disk is refused before anything is written:
// padding would otherwise fill the disk with empty records.
TEST(AudiowallPadding, ListsThatWouldNotFitTheFreeSpaceAreRefusedUntouched) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 2000000000);
    const std::string original(600, 'B');
    dir.WriteFile("Carts1.lst", original);
    EXPECT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& text = ui.messages[0].request.text;
    EXPECT_NE(text.find("NoCarts"), std::string::npos) << text;
    EXPECT_NE(text.find("Audwall.ini"), std::string::npos) << text;
    EXPECT_EQ(testing::ReadWholeFile(dir / "Carts1.lst"), original);
    for (int part = 2; part <= kAudiowallPartCount; ++part)
        EXPECT_FALSE(fs::exists(dir / testing::CartListName(part))) << part;

    // A lookup connects its part quietly: refused the same way, without a word.
    ui.Clear();
    EXPECT_NE(CartLookup(state, 20000).result, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(dir / testing::CartListName(11)));
}

// NoCarts 0 or below: a cart number below 1 belongs to part 11, so every part is in use.
TEST(AudiowallConnect, NoCartsOfZeroOrBelowUsesEveryPart) {
    for (int32_t noCarts : {0, -7}) {
        TempDir dir;
        AudiowallState state;
        ScriptedUserInterface ui;
        testing::PointAudiowallAt(state, dir.path(), noCarts);
        EXPECT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Opened) << noCarts;
        for (int part = 1; part <= kAudiowallPartCount; ++part)
            EXPECT_EQ(state.Parts[part].State, PartState::Connected) << part;
        EXPECT_EQ(fs::file_size(dir / "Carts10.lst"), 1000u * 300);
        EXPECT_EQ(CartLookup(state, 1).result, -1);  // no cart is valid
        CloseAudiowall(state);
    }
}

TEST(AudiowallConnect, SharedDirectoryMarksEveryPartTogether) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 9999);
    ASSERT_EQ(OpenAudiowall(state, ui, 1, true), AudiowallOpening::Opened);
    for (int p = 1; p <= 10; ++p) EXPECT_EQ(state.Parts[p].State, PartState::Connected) << p;
    EXPECT_FALSE(state.Parts[2].IsOpen);  // connected by its directory, list not yet opened
    // Its first lookup opens it instead of failing the cart.
    EXPECT_EQ(CartLookup(state, 1500).result, 0);
    EXPECT_TRUE(state.Parts[2].IsOpen);
    EXPECT_EQ(fs::file_size(dir / "Carts2.lst"), 1000u * 300);
}

TEST(AudiowallConnect, MissingSharedDirectoryGivesOneReportAndRecoversLater) {
    TempDir dir;
    std::string missing = dir / "carts";
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, missing, 9999);
    EXPECT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.text,
              "There was a problem connecting part(s) of the Audio Wall because the directory: "
              "\n\n\"" +
                  missing + "\"\n\n could not be found");
    for (int p = 1; p <= 10; ++p) EXPECT_EQ(state.Parts[p].State, PartState::Unavailable) << p;

    EXPECT_EQ(CartLookup(state, 12).result, -1);
    EXPECT_EQ(ui.messages.size(), 1u);  // lookups stay quiet

    testing::WriteAudiowall(missing, 9999, {{12, "Back", 4}});
    CartLookupResult r = CartLookup(state, 12);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(Trim(r.cart.TitleLine1), "Back");
    EXPECT_EQ(state.Parts[1].State, PartState::Connected);
}

TEST(AudiowallConnect, OneMissingDirectoryLeavesTheOthersConnected) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::WriteAudiowall(dir.path(), 3000, {});
    testing::PointAudiowallAt(state, dir.path(), 3000);
    state.Parts[2].Directory = dir / "gone";
    EXPECT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Opened);  // some part connected: success
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(state.Parts[1].State, PartState::Connected);
    EXPECT_EQ(state.Parts[2].State, PartState::Unavailable);
    EXPECT_EQ(state.Parts[3].State, PartState::Connected);
    EXPECT_EQ(OpenAudiowall(state, ui, 2, true), AudiowallOpening::Failed);  // the part alone fails
}

TEST(AudiowallConnect, UnsetLocationsAreCountedAndNothingIsOpened) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 3000);
    state.Parts[2].Directory = "  ";
    state.Parts[3].Directory = "";
    EXPECT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Failed);
    EXPECT_TRUE(ui.Showed(
        "2 locations of the AudioWall have not been set : Please check your configuration."));
    EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_FALSE(fs::exists(dir / "Carts1.lst"));
    ui.Clear();
    EXPECT_EQ(OpenAudiowall(state, ui, 0, true), AudiowallOpening::Failed);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(AudiowallConnect, MissingListQuestionAnswers) {
    struct Case {
        MessageResult answer;
        bool failed;
        bool part1Created;
        int questions;
    } cases[] = {{MessageResult::Yes, false, true, 2},
                 {MessageResult::No, false, false, 2},
                 {MessageResult::Cancel, true, false, 1}};
    for (const Case& c : cases) {
        TempDir dir;
        AudiowallState state;
        ScriptedUserInterface ui;
        testing::PointAudiowallAt(state, dir.path(), 2000);
        ui.messageAnswers = {c.answer, MessageResult::Yes};
        EXPECT_EQ(OpenAudiowall(state, ui, 0, false) == AudiowallOpening::Failed, c.failed);
        ASSERT_EQ(static_cast<int>(ui.messages.size()), c.questions);
        EXPECT_EQ(ui.messages[0].request.text,
                  "Part 1 of the AudioWall has not been found.\nDo you wish to create it in :\n" +
                      (dir / "Carts1.lst"));
        EXPECT_EQ(ui.messages[0].request.buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(fs::exists(dir / "Carts1.lst"), c.part1Created);
        // Cancel stops before part 2; otherwise part 2 was created after its own Yes.
        EXPECT_EQ(fs::exists(dir / "Carts2.lst"), !c.failed);
    }
}

TEST(AudiowallConnect, CloseKeepsTheHandleNumberForTheNextConnection) {
    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    testing::WriteAudiowall(dir.path(), 2000, {{3, "Three", 1}});
    testing::PointAudiowallAt(state, dir.path(), 2000);
    ASSERT_EQ(OpenAudiowall(state, ui, 0, false), AudiowallOpening::Opened);
    int32_t handle = state.Parts[1].FileNumber;
    EXPECT_GT(handle, 0);
    EXPECT_NE(state.Parts[2].FileNumber, handle);
    CloseAudiowall(state);
    for (const AudiowallPart& part : state.Parts) {
        EXPECT_EQ(part.State, PartState::NotConnected);
        EXPECT_FALSE(part.IsOpen);
        EXPECT_TRUE(part.ListName.empty());
    }
    EXPECT_EQ(state.Parts[1].FileNumber, handle);
    EXPECT_EQ(Trim(CartLookup(state, 3).cart.TitleLine1), "Three");  // reconnects on demand
    EXPECT_EQ(state.Parts[1].FileNumber, handle);
}

}  // namespace
}  // namespace vantor
