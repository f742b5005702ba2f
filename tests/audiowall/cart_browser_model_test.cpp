#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_browser_model.h"
#include "support/audiowall_fixture.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::TempDir;

class CartBrowser : public ::testing::Test {
  protected:
    void Build(int32_t maxCart, const std::vector<FixtureCart>& carts) {
        testing::WriteAudiowall(dir.path(), maxCart, carts);
        testing::PointAudiowallAt(state, dir.path(), maxCart);
    }
    // Opens the browser as the settings dialog does: the starting cart in Tag, then shown.
    void Open(const std::string& tag, int slots = 10) {
        browser.LayOutSlots(slots);
        browser.Tag = tag;
        browser.Show();
    }
    std::vector<int32_t> ShownCarts() const {
        std::vector<int32_t> carts;
        for (const auto& slot : browser.Slots())
            if (slot.visible) carts.push_back(slot.cartNumber);
        return carts;
    }

    TempDir dir;
    AudiowallState state;
    ScriptedUserInterface ui;
    CartBrowserModel browser{state, ui};
};

TEST_F(CartBrowser, OpensAtTheTaggedCartAndCancelReturnsZero) {
    Build(9999, {{250, "Two fifty", 30}});
    Open("250");
    EXPECT_TRUE(browser.Visible());
    EXPECT_EQ(browser.TopOffset(), 249);
    EXPECT_EQ(browser.SelectedSlot(), 1);
    EXPECT_EQ(browser.NumberText(), "250");
    EXPECT_TRUE(browser.SlotAt(1).selected);
    EXPECT_EQ(browser.SlotAt(1).title, "Two fifty");
    EXPECT_EQ(browser.Tag, "");  // taken when the browser was prepared
    EXPECT_TRUE(browser.TakeNumberFieldFocusRequest());

    browser.Cancel();
    EXPECT_FALSE(browser.Visible());
    EXPECT_EQ(browser.Tag, "0");

    // The next opening jumps to its own cart; one without a cart keeps the last position.
    Open("17");
    EXPECT_EQ(browser.SelectedCart(), 17);
    browser.CloseFromTitleBar();
    EXPECT_EQ(browser.Tag, "");
    Open("");
    EXPECT_EQ(browser.SelectedCart(), 17);
}

TEST_F(CartBrowser, ATagBeyondTheStoreJumpsToTheLastCart) {
    Build(2500, {});
    Open("7000");
    EXPECT_EQ(browser.SelectedCart(), 2500);
    EXPECT_EQ(ShownCarts(), std::vector<int32_t>{2500});  // the other slots are hidden
    EXPECT_EQ(browser.SlotCount(), 10);
}

TEST_F(CartBrowser, ScrollsByCartAndByPage) {
    Build(9999, {});
    Open("1");
    for (int i = 0; i < 9; ++i) browser.CartDown();
    EXPECT_EQ(browser.SelectedSlot(), 10);
    EXPECT_EQ(browser.TopOffset(), 0);
    browser.CartDown();  // past the last slot: the column moves
    EXPECT_EQ(browser.TopOffset(), 1);
    EXPECT_EQ(browser.SelectedCart(), 11);
    EXPECT_EQ(ShownCarts().front(), 2);
    EXPECT_EQ(ShownCarts().back(), 11);

    browser.JumpToCart(1);
    browser.CartUp();  // nothing above cart 1
    EXPECT_EQ(browser.SelectedCart(), 1);
    EXPECT_EQ(browser.TopOffset(), 0);

    browser.JumpToCart(9995);
    browser.PageDown();
    EXPECT_EQ(browser.TopOffset(), 9989);
    EXPECT_EQ(browser.SelectedCart(), 9999);
    EXPECT_EQ(ShownCarts().back(), 9999);
    browser.CartDown();  // nothing below the last cart
    EXPECT_EQ(browser.SelectedCart(), 9999);

    browser.JumpToCart(6);  // top 5, slot 1
    browser.PageUp();
    EXPECT_EQ(browser.TopOffset(), 0);
    EXPECT_EQ(browser.SelectedCart(), 1);
    browser.JumpToCart(40);
    browser.PressSlot(3);
    browser.PageUp();  // the selection moves with the page
    EXPECT_EQ(browser.TopOffset(), 29);
    EXPECT_EQ(browser.SelectedCart(), 32);
}

TEST_F(CartBrowser, JumpSelectsThenChooses) {
    Build(9999, {{42, "Answer", 42}});
    int32_t told = -1;
    browser.UpdateRequestForm = [&](int32_t cart) { told = cart; };
    Open("1");

    struct Case {
        const char* typed;
        bool enabled;
    } cases[] = {{"42", true}, {"0", false}, {"", false}, {"9999", true}, {"10000", false}};
    for (const Case& c : cases) {
        browser.SetNumberText(c.typed);
        EXPECT_EQ(browser.JumpEnabled(), c.enabled) << c.typed;
    }
    // J on a number outside the store does nothing rather than empty the column.
    EXPECT_TRUE(browser.KeyDown(CartBrowserModel::Key::J));
    EXPECT_EQ(browser.SelectedCart(), 1);

    browser.SetNumberText("42");
    browser.Jump();
    EXPECT_EQ(browser.SelectedCart(), 42);
    EXPECT_TRUE(browser.Visible());
    browser.Jump();
    EXPECT_FALSE(browser.Visible());
    EXPECT_EQ(browser.Tag, "42");
    EXPECT_EQ(told, 42);
    EXPECT_FALSE(browser.UpdateRequestForm);  // told once, then forgotten
}

TEST_F(CartBrowser, SlotsShowEachCartAsStored) {
    FixtureCart coloured{3, "Morning Show Intro", 20};
    coloured.title2 = "Station ID";
    coloured.title3 = "Short";
    coloured.backColor = 0x00C08040;                        // red 0x40, green 0x80, blue 0xC0
    coloured.foreColor = static_cast<int32_t>(0x80000008);  // window text
    Build(25, {coloured, {4, "Titles only", 0, false}});
    Open("1");

    const auto& slot = browser.SlotAt(3);
    EXPECT_TRUE(slot.visible);
    EXPECT_EQ(slot.numberText, "3");
    EXPECT_EQ(slot.tag, "3");
    EXPECT_EQ(slot.title, "Morning Show Intro Station ID Short");
    EXPECT_EQ(slot.lines[1], "Station ID");
    EXPECT_EQ(slot.backColour, DisplayColour::Rgb(0x40, 0x80, 0xC0));
    EXPECT_EQ(slot.foreColour, DisplayColour::Of(SystemColour::WindowText));

    // Without marked audio the cart shows but carries no tag.
    EXPECT_TRUE(browser.SlotAt(4).visible);
    EXPECT_EQ(browser.SlotAt(4).title, "Titles only");
    EXPECT_EQ(browser.SlotAt(4).tag, "");
    // A cart never recorded shows empty, in the empty cart's colours.
    EXPECT_EQ(browser.SlotAt(5).title, "");
    EXPECT_EQ(browser.SlotAt(5).backColour, DisplayColour::Of(SystemColour::ButtonFace));

    // Slots past the end of the store are hidden.
    browser.JumpToCart(20);
    EXPECT_EQ(ShownCarts(), (std::vector<int32_t>{20, 21, 22, 23, 24, 25}));
    EXPECT_FALSE(browser.SlotAt(7).visible);
}

TEST_F(CartBrowser, EveryFillReadsTheCartsAfresh) {
    Build(9999, {{30, "Old title", 10}});
    Open("25");
    EXPECT_EQ(browser.SlotAt(6).title, "Old title");
    testing::WriteCart(dir / testing::CartListName(1), 30,
                       testing::FixtureCartRecord({30, "New title", 10}));
    browser.CartUp();  // moves the column, so the slots are filled again
    EXPECT_EQ(browser.SlotAt(7).title, "New title");
}

TEST_F(CartBrowser, ChoosingAndPressingSlots) {
    Build(9999, {});
    Open("100");
    browser.PressSlot(4);
    EXPECT_EQ(browser.SelectedCart(), 103);
    EXPECT_TRUE(browser.SlotAt(4).selected);
    EXPECT_FALSE(browser.SlotAt(1).selected);
    EXPECT_EQ(browser.NumberText(), "103");
    browser.ChooseSlot(6);
    EXPECT_EQ(browser.Tag, "105");
    EXPECT_FALSE(browser.Visible());
    EXPECT_FALSE(browser.Prepared());
    // A late activation of the hiding window leaves the choice for the opener to read.
    browser.Activate();
    EXPECT_EQ(browser.Tag, "105");
    EXPECT_EQ(browser.SelectedCart(), 103);
}

TEST_F(CartBrowser, AShorterWindowKeepsTheSelectedCartInView) {
    Build(9999, {});
    Open("1", 10);
    browser.PressSlot(9);
    browser.LayOutSlots(4);
    EXPECT_EQ(browser.SlotCount(), 4);
    EXPECT_EQ(browser.SelectedCart(), 9);
    EXPECT_EQ(browser.SelectedSlot(), 4);

    EXPECT_EQ(CartBrowserModel::SlotsForHeight(212, 21), 10);  // 210 of room: ten whole slots
    EXPECT_EQ(CartBrowserModel::SlotsForHeight(213, 21), 11);  // a part of an eleventh shows
    EXPECT_EQ(CartBrowserModel::SlotsForHeight(0, 21), 1);
}

TEST_F(CartBrowser, KeysOpenFindAndNotes) {
    Build(9999, {{12, "With notes", 10}, {13, "No notes", 10}});
    testing::WriteCartNotes(dir.path(), 12, "Read slowly");
    std::vector<std::pair<int32_t, bool>> finds;
    browser.openFind = [&](int32_t start, bool modal) { finds.emplace_back(start, modal); };
    Open("12");

    EXPECT_FALSE(browser.KeyDown(CartBrowserModel::Key::T));
    ASSERT_EQ(ui.shownFiles.size(), 1u);
    EXPECT_EQ(ui.shownFiles[0].contents, "Read slowly");
    browser.CartDown();
    browser.KeyDown(CartBrowserModel::Key::T);  // cart 13 has no notes
    EXPECT_EQ(ui.shownFiles.size(), 1u);

    browser.KeyDown(CartBrowserModel::Key::F);
    browser.KeyDown(CartBrowserModel::Key::N);
    browser.ShowChildFormsModally = true;
    browser.KeyDown(CartBrowserModel::Key::B);
    EXPECT_EQ(finds, (std::vector<std::pair<int32_t, bool>>{{13, false}, {13, true}, {13, true}}));

    EXPECT_TRUE(browser.KeyDown(CartBrowserModel::Key::Escape));
    EXPECT_EQ(browser.Tag, "0");
    EXPECT_FALSE(browser.Visible());
}

TEST_F(CartBrowser, NumberFieldTakesDigitsOnly) {
    Build(9999, {});
    EXPECT_EQ(browser.NumberFieldMaxLength(), 4);
    struct Case {
        int key;
        bool passes;
    } cases[] = {{'0', true},  {'9', true},  {8, true},    {27, true},
                 {'a', false}, {'-', false}, {' ', false}, {'.', false}};
    for (const Case& c : cases)
        EXPECT_EQ(CartBrowserModel::FilterNumberKey(c.key) != 0, c.passes) << c.key;
}

}  // namespace
}  // namespace vantor
