#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_browser_model.h"
#include "audiowall/find_cart_model.h"
#include "config/system_locations.h"
#include "support/audiowall_fixture.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::TempDir;
using Column = FindCartModel::Column;
using Direction = FindCartModel::Direction;

// Pending events arrive while the search hands control on: a test puts there what an operator
// would do between two carts.
class EventfulUserInterface : public ScriptedUserInterface {
  public:
    std::function<void()> onEvents;
    void ProcessEvents() override {
        ScriptedUserInterface::ProcessEvents();
        if (onEvents) onEvents();
    }
};

class FindCart : public ::testing::Test {
  protected:
    void Build(int32_t maxCart, const std::vector<FixtureCart>& carts) {
        testing::WriteAudiowall(dir.path(), maxCart, carts);
        testing::PointAudiowallAt(state, dir.path(), maxCart);
    }
    // Opened from the browser at a cart, searching for text.
    void Search(const std::string& text, int32_t startCart = 1) {
        if (!find.Visible()) {
            find.CartStartNumber = startCart;
            find.JumpRequestForm = [this](int32_t cart) { jumps.push_back(cart); };
            find.Show();
        }
        find.SetSearchText(text);
        find.Find();
    }
    std::vector<std::string> Found() const {
        std::vector<std::string> carts;
        for (const auto& row : find.Rows()) carts.push_back(row.Cell(Column::Cart));
        return carts;
    }

    TempDir dir;
    AudiowallState state;
    EventfulUserInterface ui;
    SystemLocations locations;
    FindCartModel::RecentSearches recent;
    FindCartModel find{state, ui, locations, recent};
    std::vector<int32_t> jumps;
};

const std::vector<FixtureCart> kMorningCarts = {
    {3, "Morning jingle", 10}, {499, "Good morning", 12},  {500, "Morning news", 60},
    {777, "Evening", 30},      {2400, "MORNING show", 90},
};

TEST_F(FindCart, SearchesFromTheStartCartOrFromAnEndInBothDirections) {
    Build(2500, kMorningCarts);
    locations.SearchCartsFromStart = 0;
    Search("morning", 500);
    EXPECT_EQ(Found(), (std::vector<std::string>{"500", "2400"}));

    find.SetFromStart(true);
    find.Find();
    EXPECT_EQ(Found(), (std::vector<std::string>{"3", "499", "500", "2400"}));
    EXPECT_EQ(find.Rows()[0].Cell(Column::Sort), "000003");
    EXPECT_EQ(find.Rows()[0].key, "c3");
    EXPECT_EQ(find.Rows()[0].Cell(Column::Line1), "Morning jingle");
    EXPECT_EQ(find.Rows()[2].Cell(Column::Length), "1:00");

    find.SetDirection(Direction::Backwards);
    EXPECT_STREQ(find.FromStartCaption(), "Search from the &end of the Audiowall");
    find.Find();
    EXPECT_EQ(Found(), (std::vector<std::string>{"2400", "500", "499", "3"}));
    find.SetFromStart(false);
    find.Find();
    EXPECT_EQ(Found(), (std::vector<std::string>{"500", "499", "3"}));
    find.SetDirection(Direction::Forwards);
    EXPECT_STREQ(find.FromStartCaption(), "Search from the &start of the Audiowall");

    // The first match is selected and gets the focus once the search is over.
    EXPECT_EQ(find.SelectedRow(), 0);
    EXPECT_EQ(find.TakeFocusRequest(), FindCartModel::FocusTarget::Results);
}

TEST_F(FindCart, TimeRulesKeepCartsStrictlyInsideTheTolerance) {
    Build(100, {{1, "a", 169},
                {2, "b", 169.5f},
                {3, "c", 180},
                {4, "d", 190.9f},
                {5, "e", 191},
                {6, "f", 185, false}});
    Search("*");
    EXPECT_EQ(Found(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));

    find.SetTimeRules(true);
    EXPECT_EQ(find.LengthText(), "03:00");
    EXPECT_EQ(find.ToleranceIndex(), 2);  // "10 Seconds"
    find.Find();
    // 169 and 191 lie on the bounds; cart 6 has titles but no audio and still counts.
    EXPECT_EQ(Found(), (std::vector<std::string>{"2", "3", "4", "6"}));

    find.SetLengthText("01:00");
    find.SetToleranceIndex(5);  // "5 Minutes"
    find.Find();
    EXPECT_EQ(Found().size(), 6u);
}

TEST_F(FindCart, AnEmptyTextListsEveryRecordedCartAndIsNotRemembered) {
    Build(1000, {{10, "x", 5}, {20, "", 5}, {30, "y", 5, false}});
    Search("   ");
    EXPECT_EQ(Found(), (std::vector<std::string>{"10", "20", "30"}));
    EXPECT_TRUE(find.SearchEntries().empty());
}

TEST_F(FindCart, RemembersTheLastSixSearchesForTheRun) {
    Build(100, {});
    for (const char* text : {"one", "two", "three", "two", " two "}) Search(text);
    EXPECT_EQ(find.SearchEntries(), (std::vector<std::string>{"two", "three", "one"}));
    for (const char* text : {"four", "five", "six", "seven"}) Search(text);
    EXPECT_EQ(find.SearchEntries(),
              (std::vector<std::string>{"seven", "six", "five", "four", "two", "three"}));

    find.SetResultsFocused(true);  // closed with the focus in the results list
    find.Escape();
    EXPECT_EQ(recent[0], "seven");
    EXPECT_EQ(recent[5], "three");
    EXPECT_EQ(jumps, std::vector<int32_t>{0});

    // A closed dialog comes back with the list and the last text ready, and "&Find" the
    // default button even when the results list had the focus as it closed.
    find.SetSearchText("typed meanwhile");
    find.Show();
    EXPECT_EQ(find.SearchText(), "seven");
    EXPECT_EQ(find.SearchEntries().size(), 6u);
    EXPECT_TRUE(find.FindIsDefault());
}

TEST_F(FindCart, WithoutAMatchShowsARowThatCannotBeChosen) {
    Build(100, {{5, "Jingle", 5}});
    Search("absent");
    ASSERT_EQ(find.Rows().size(), 1u);
    EXPECT_EQ(find.Rows()[0].Cell(Column::Line1), "No carts found.");
    EXPECT_EQ(find.Rows()[0].Cell(Column::Cart), "");
    find.SelectRow(0);
    find.ChooseSelected();
    EXPECT_TRUE(find.Visible());
    EXPECT_TRUE(jumps.empty());
}

TEST_F(FindCart, ChoosingAMatchMovesTheBrowser) {
    Build(9999, {{1234, "Traffic bed", 30}});
    CartBrowserModel browser(state, ui);
    browser.LayOutSlots(10);
    browser.Tag = "1";
    browser.Show();
    browser.openFind = [&](int32_t start, bool) {
        find.CartStartNumber = start;
        find.JumpRequestForm = [&](int32_t cart) { browser.JumpToCart(cart); };
        find.Show();
    };
    browser.OpenFindFromBrowser();
    find.SetSearchText("traffic");
    find.Find();
    find.SelectRow(0);
    find.ChooseSelected();
    EXPECT_FALSE(find.Visible());
    EXPECT_FALSE(find.JumpRequestForm);
    EXPECT_EQ(browser.SelectedCart(), 1234);
    EXPECT_EQ(browser.NumberText(), "1234");
    EXPECT_EQ(recent[0], "traffic");
}

TEST_F(FindCart, StopEndsTheSearchBetweenTwoCartsAndKeepsWhatWasFound) {
    std::vector<FixtureCart> carts;
    for (int32_t n = 1; n <= 50; ++n) carts.push_back({n, "Bed " + std::to_string(n), 10});
    Build(50, carts);
    int turns = 0;
    bool enabledStateSeen = false;
    ui.onEvents = [&] {
        // What the operator sees while the search runs: only Stop can be pressed.
        enabledStateSeen = !find.FindEnabled() && find.StopEnabled() && !find.ControlsEnabled() &&
                           find.Busy() && find.ProgressVisible();
        // A second Find (Enter in the text, say) must not start a search inside this one.
        find.Find();
        if (++turns == 5) find.Stop();
    };
    Search("bed");
    EXPECT_TRUE(enabledStateSeen);
    EXPECT_EQ(turns, 5);
    EXPECT_EQ(Found(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_TRUE(find.FindEnabled());
    EXPECT_FALSE(find.StopEnabled());
    EXPECT_FALSE(find.Busy());
    EXPECT_FALSE(find.ProgressVisible());
    EXPECT_EQ(find.SelectedRow(), -1);  // a stopped search selects nothing

    // Escape is refused while a search runs.
    turns = 0;
    ui.onEvents = [&] {
        find.Escape();
        if (++turns == 2) find.Stop();
    };
    find.Find();
    EXPECT_TRUE(find.Visible());
}

TEST_F(FindCart, ClosingTheWindowDuringASearchEndsItAndTheNextOpeningStartsFresh) {
    Build(300, {});
    locations.SearchCartNotes = 1;
    int turns = 0;
    ui.onEvents = [&] {
        if (++turns == 3) find.CloseFromTitleBar();
    };
    find.Show();
    find.SetTimeRules(true);
    find.SetLimitLines(true);
    find.SetLineTicked(2, false);
    find.SelectTab(FindCartModel::Tab::Advanced);
    find.SetSearchText("gone");
    find.Find();
    EXPECT_EQ(turns, 3);
    EXPECT_FALSE(find.Visible());
    EXPECT_EQ(recent[0], "gone");

    ui.onEvents = nullptr;
    find.Show();
    EXPECT_FALSE(find.TimeRules());
    EXPECT_FALSE(find.LimitLines());
    EXPECT_TRUE(find.LineTicked(2));
    EXPECT_FALSE(find.LineBoxesEnabled());
    EXPECT_TRUE(find.SearchNotes());
    EXPECT_EQ(find.CurrentTab(), FindCartModel::Tab::Basic);
    EXPECT_TRUE(find.FindEnabled());
    EXPECT_FALSE(find.ResultsVisible());
    EXPECT_EQ(find.SearchText(), "gone");
}

TEST_F(FindCart, NotesAreSearchedInTheirFirstTenThousandCharacters) {
    Build(100, {{1, "Plain", 5}, {2, "Plain", 5}, {3, "Plain", 5}, {4, "Plain", 5, false}});
    testing::WriteCartNotes(dir.path(), 1, "Sponsor: Caf\xc3\xa9 Royal");
    testing::WriteCartNotes(dir.path(), 2, std::string(9990, ' ') + "sponsor far down");
    testing::WriteCartNotes(dir.path(), 3, "sponsored", ".TXT");
    Search("SPONSOR");
    EXPECT_EQ(Found(), std::vector<std::string>{""});  // "No carts found."

    find.SetSearchNotes(true);
    find.Find();
    // Cart 2's text starts at character 9990 and so is cut after "sponsor fa".
    EXPECT_EQ(Found(), (std::vector<std::string>{"1", "2", "3"}));
    find.SetSearchText("far down");
    find.Find();
    EXPECT_EQ(Found(), std::vector<std::string>{""});
    find.SetSearchText("CAFÉ");
    find.Find();
    EXPECT_EQ(Found(), std::vector<std::string>{"1"});
}

TEST_F(FindCart, OnlyTheTickedLinesAreSearched) {
    FixtureCart cart{7, "Artist", 5};
    cart.title2 = "Song";
    cart.title3 = "Album";
    Build(100, {cart});
    find.Show();
    find.SetLimitLines(true);
    EXPECT_TRUE(find.LineBoxesEnabled());
    find.SetLineTicked(2, false);
    Search("song");
    EXPECT_EQ(Found(), std::vector<std::string>{""});
    find.SetLineTicked(2, true);
    find.Find();
    EXPECT_EQ(Found(), std::vector<std::string>{"7"});
    // Clearing the box ticks every line again.
    find.SetLineTicked(1, false);
    find.SetLimitLines(false);
    EXPECT_TRUE(find.LineTicked(1));
}

TEST_F(FindCart, ShowsProgressEveryHundredCarts) {
    Build(350, {});
    std::vector<std::string> shown;
    find.OnChanged([&] {
        if (find.ProgressVisible() && (shown.empty() || shown.back() != find.ProgressText()))
            shown.push_back(find.ProgressText());
    });
    Search("x");
    EXPECT_EQ(shown, (std::vector<std::string>{"", "100", "200", "300"}));
}

TEST_F(FindCart, HeadingsSortTheMatches) {
    Build(2000, {{9, "Beta", 5}, {1000, "alpha", 70}, {80, "Gamma", 300}});
    Search("a");
    EXPECT_EQ(Found(), (std::vector<std::string>{"9", "80", "1000"}));
    find.SelectRow(1);  // cart 80
    find.SortBy(Column::Line1);
    EXPECT_EQ(Found(), (std::vector<std::string>{"1000", "9", "80"}));
    EXPECT_EQ(find.SelectedRow(), 2);  // the selection stays on its cart
    find.SortBy(Column::Line1);
    EXPECT_EQ(Found(), (std::vector<std::string>{"80", "9", "1000"}));
    find.SortBy(Column::Cart);  // by number, not by text
    EXPECT_EQ(Found(), (std::vector<std::string>{"9", "80", "1000"}));
    find.SortBy(Column::Cart);
    EXPECT_EQ(Found(), (std::vector<std::string>{"1000", "80", "9"}));
}

}  // namespace
}  // namespace vantor
