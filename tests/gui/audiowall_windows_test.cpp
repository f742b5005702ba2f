#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "audiowall_windows.h"
#include "cart_browser.h"
#include "config/system_locations.h"
#include "find_cart.h"
#include "gui_test_support.h"
#include "support/audiowall_fixture.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::TempDir;

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class AudiowallWindowsTest : public ::testing::Test {
  protected:
    void Build(int32_t maxCart, const std::vector<FixtureCart>& carts) {
        testing::WriteAudiowall(dir.path(), maxCart, carts);
        testing::PointAudiowallAt(state, dir.path(), maxCart);
    }
    QWidget* browser() { return &windows.browser(); }
    QWidget* find() { return &windows.find(); }
    QPushButton* Button(QWidget* window, const char* name) {
        return Find<QPushButton>(window, name);
    }
    // The cart numbers in the results list, top to bottom.
    std::vector<std::string> Matches() {
        auto* list = Find<QTreeWidget>(find(), "lviewItems");
        std::vector<std::string> carts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            carts.push_back(list->topLevelItem(i)->text(0).toStdString());
        return carts;
    }
    void OpenBrowserAt(const std::string& tag) {
        windows.browserModel().Tag = tag;
        windows.browserModel().Show();
        ASSERT_TRUE(browser()->isVisible());
    }

    TempDir dir;
    AudiowallState state;
    testing::QtEventsUserInterface ui;
    SystemLocations locations;
    gui::AudiowallWindows windows{state, ui, locations};
};

TEST_F(AudiowallWindowsTest, BrowserShowsTheCartsAndAClickChoosesOne) {
    Build(9999, {{250, "Two fifty", 30}, {252, "Station ID", 12}});
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(browser()->objectName(), "frmCartBrowser");
        EXPECT_EQ(browser()->windowTitle(), "Cart Browser");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(browser()).join(", ").toStdString(), "");
        EXPECT_EQ(Find<QLineEdit>(browser(), "txtCartNumber")->text(), "250");
        EXPECT_EQ(Button(browser(), "cmdCartNumber(1)")->text(), "250");
        EXPECT_EQ(Find<QLabel>(browser(), "pnlCart(1)")->text(), "Two fifty");
        EXPECT_EQ(Find<QLabel>(browser(), "pnlCart(3)")->text(), "Station ID");
        QTest::mouseClick(Button(browser(), "cmdCartNumber(3)"), Qt::LeftButton);
    });
    EXPECT_EQ(windows.BrowseCart("250"), "252");
    EXPECT_FALSE(browser()->isVisible());

    // Cancel, and the title bar, read as cancelled.
    QTimer::singleShot(0,
                       [&] { QTest::mouseClick(Button(browser(), "cmdCancel"), Qt::LeftButton); });
    EXPECT_EQ(windows.BrowseCart("17"), "0");
    QTimer::singleShot(0, [&] { browser()->close(); });
    EXPECT_EQ(windows.BrowseCart("17"), "");
}

TEST_F(AudiowallWindowsTest, BrowserJumpsToATypedNumberThenChoosesIt) {
    Build(9999, {{42, "Answer", 42}});
    QTimer::singleShot(0, [&] {
        auto* field = Find<QLineEdit>(browser(), "txtCartNumber");
        auto* jump = Button(browser(), "cmdJumpCart");
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "4x2");  // letters never reach the field
        EXPECT_EQ(field->text(), "42");
        EXPECT_TRUE(jump->isEnabled());
        QTest::mouseClick(jump, Qt::LeftButton);
        EXPECT_EQ(Button(browser(), "cmdCartNumber(1)")->text(), "42");
        EXPECT_TRUE(browser()->isVisible());
        field->selectAll();
        QTest::keyClicks(field, "0");
        EXPECT_FALSE(jump->isEnabled());
        field->selectAll();
        QTest::keyClicks(field, "42");
        QTest::mouseClick(jump, Qt::LeftButton);  // the selected cart: chosen
    });
    EXPECT_EQ(windows.BrowseCart("1"), "42");
}

TEST_F(AudiowallWindowsTest, BrowserKeysScrollAndEscapeCancels) {
    Build(9999, {});
    QTimer::singleShot(0, [&] {
        auto* field = Find<QLineEdit>(browser(), "txtCartNumber");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(field, Qt::Key_Down);
        EXPECT_EQ(field->text(), "102");
        QTest::keyClick(field, Qt::Key_PageDown);
        EXPECT_EQ(windows.browserModel().TopOffset(), 99 + windows.browserModel().SlotCount());
        QTest::keyClick(field, Qt::Key_Escape);
    });
    EXPECT_EQ(windows.BrowseCart("100"), "0");
}

TEST_F(AudiowallWindowsTest, FindsTitlesInBothDirectionsAndAChoiceMovesTheBrowser) {
    Build(2500, {{3, "Morning jingle", 10},
                 {499, "Good morning", 12},
                 {500, "Morning news", 60},
                 {777, "Evening", 30},
                 {2400, "MORNING show", 90}});
    OpenBrowserAt("500");
    QTest::mouseClick(Button(browser(), "cmdFindCart"), Qt::LeftButton);
    ASSERT_TRUE(find()->isVisible());
    EXPECT_EQ(find()->windowTitle(), "Find a cart on the Audiowall");
    EXPECT_EQ(gui::testing::ButtonsDeafToReturn(find()).join(", ").toStdString(), "");
    EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(find()).join("; ").toStdString(), "");
    EXPECT_FALSE(Find<QTreeWidget>(find(), "lviewItems")->isVisible());

    auto* tabs = Find<QTabWidget>(find(), "tabFind");
    ASSERT_TRUE(QTest::qWaitForWindowActive(find()));  // the dialog comes up with the focus
    QTest::keyClick(Button(find(), "cmdFind"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(Button(find(), "cmdFind"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);

    auto* text = Find<QComboBox>(find(), "cmbSearchText");
    auto* fromStart = Find<QCheckBox>(find(), "chkSearchFromStart");
    EXPECT_TRUE(fromStart->isChecked());  // SearchCartsFromStart defaults to 1
    fromStart->click();
    QTest::keyClicks(text->lineEdit(), "morning");
    QTest::mouseClick(Button(find(), "cmdFind"), Qt::LeftButton);
    EXPECT_EQ(Matches(), (std::vector<std::string>{"500", "2400"}));
    EXPECT_TRUE(Find<QTreeWidget>(find(), "lviewItems")->isVisible());

    auto* direction = Find<QComboBox>(find(), "cmbSearchDirection");
    direction->setFocus();
    QTest::keyClick(direction, Qt::Key_Down);  // "Backwards"
    EXPECT_EQ(direction->currentText(), "Backwards");
    EXPECT_EQ(fromStart->text(), "Search from the &end of the Audiowall");
    fromStart->click();
    QTest::mouseClick(Button(find(), "cmdFind"), Qt::LeftButton);
    EXPECT_EQ(Matches(), (std::vector<std::string>{"2400", "500", "499", "3"}));
    EXPECT_EQ(text->itemText(0), "morning");

    auto* list = Find<QTreeWidget>(find(), "lviewItems");
    QTreeWidgetItem* row = list->topLevelItem(2);  // cart 499
    QRect rect = list->visualItemRect(row);
    testing::DoubleClick(list->viewport(), rect.center());
    EXPECT_FALSE(find()->isVisible());
    EXPECT_EQ(Find<QLineEdit>(browser(), "txtCartNumber")->text(), "499");
    EXPECT_EQ(windows.browserModel().SelectedCart(), 499);
}

TEST_F(AudiowallWindowsTest, FindReopensAfterEscapeAsItFirstOpened) {
    Build(900, {{12, "Morning jingle", 10}, {480, "Morning news", 60}});
    OpenBrowserAt("1");
    QTest::mouseClick(Button(browser(), "cmdFindCart"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(find()));
    const int firstHeight = find()->height();
    auto* text = Find<QComboBox>(find(), "cmbSearchText");
    auto* list = Find<QTreeWidget>(find(), "lviewItems");
    QTest::keyClicks(text->lineEdit(), "morning");
    QTest::keyClick(text->lineEdit(), Qt::Key_Return);  // Find is the default button
    EXPECT_EQ(Matches(), (std::vector<std::string>{"12", "480"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));
    EXPECT_FALSE(Button(find(), "cmdFind")->isDefault());  // Return chooses a match now
    QTest::keyClick(list, Qt::Key_Escape);
    ASSERT_FALSE(find()->isVisible());
    // The desktop hands the keyboard to the browser, as a window manager does.
    browser()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser()));

    // Opened again: the results are put away, the dialog has its first size, and Return in
    // the search text searches once more.
    QTest::mouseClick(Button(browser(), "cmdFindCart"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(find()));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(find()->height(), firstHeight);
    EXPECT_TRUE(Button(find(), "cmdFind")->isDefault());
    ASSERT_TRUE(QTest::qWaitFor([&] { return text->lineEdit()->hasFocus(); }));
    QTest::keyClick(text->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(Matches(), (std::vector<std::string>{"12", "480"}));
}

TEST_F(AudiowallWindowsTest, StopEndsASearchPartWay) {
    std::vector<FixtureCart> carts;
    for (int32_t n = 1; n <= 400; ++n) carts.push_back({n, "Bed " + std::to_string(n), 10});
    Build(400, carts);
    OpenBrowserAt("1");
    QTest::mouseClick(Button(browser(), "cmdFindCart"), Qt::LeftButton);
    QTest::keyClicks(Find<QComboBox>(find(), "cmbSearchText")->lineEdit(), "bed");

    int turns = 0;
    bool onlyStopWorked = false;
    ui.onEvents = [&] {
        if (++turns != 150) return;
        // Part-way: Find is disabled, the busy indicator and the cart label show.
        onlyStopWorked = !Button(find(), "cmdFind")->isEnabled() &&
                         Button(find(), "cmdStop")->isEnabled() &&
                         Find<QWidget>(find(), "aniFind")->isVisible() &&
                         Find<QLabel>(find(), "lblCartNumber")->text() == "100" &&
                         !Find<QComboBox>(find(), "cmbSearchText")->isEnabled();
        QTest::mouseClick(Button(find(), "cmdStop"), Qt::LeftButton);
    };
    QTest::mouseClick(Button(find(), "cmdFind"), Qt::LeftButton);
    ui.onEvents = nullptr;
    EXPECT_TRUE(onlyStopWorked);
    EXPECT_EQ(turns, 150);
    EXPECT_EQ(Matches().size(), 150u);
    EXPECT_EQ(Matches().back(), "150");
    EXPECT_TRUE(Button(find(), "cmdFind")->isEnabled());
    EXPECT_FALSE(Button(find(), "cmdStop")->isEnabled());
    EXPECT_FALSE(Find<QWidget>(find(), "aniFind")->isVisible());

    // Escape closes the dialog once nothing runs; the browser stays where it was.
    QTest::keyClick(find(), Qt::Key_Escape);
    EXPECT_FALSE(find()->isVisible());
    EXPECT_EQ(windows.browserModel().SelectedCart(), 1);
}

}  // namespace
}  // namespace vantor
