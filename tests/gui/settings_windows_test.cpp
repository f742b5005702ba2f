#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <string>

#include "audiowall/audiowall_store.h"
#include "audiowall_windows.h"
#include "cart_browser.h"
#include "common/clock.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"
#include "config/config_set_model.h"
#include "config/file_locations_model.h"
#include "config/installation_fixture.h"
#include "config/startup.h"
#include "gui_test_support.h"
#include "import_settings_dialog.h"
#include "importer/import_settings.h"
#include "session/session.h"
#include "settings_windows.h"
#include "support/audiowall_fixture.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

template <typename T>
T* Find(QWidget* window, const QString& name) {
    T* widget = window->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// Replaces a field's text by typing, as after selecting it all.
void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// Nested windows reach the real windows through Dialogs, as in the program.
class DesktopUserInterface : public testing::QtEventsUserInterface {
  public:
    gui::SettingsWindows* windows = nullptr;
    bool RunConfigSet(ConfigSetModel& model) override { return windows->RunConfigSet(model); }
    bool RunFileLocations(FileLocationsModel& model) override {
        return windows->RunFileLocations(model);
    }
    std::string BrowseCarts(const std::string& tag) override { return windows->BrowseCarts(tag); }
};

class SettingsWindowsTest : public testing::InstallationTest {
  protected:
    void SetUp() override {
        InstallationTest::SetUp();
        ui.windows = &windows;
        session.locations.ConfigFile = Path("vantor.ini");
        session.locations.DataLocation = Path("data");
        session.locations.SystemIniFile = Path("data/VNTR_SYS.INI");
        fs::create_directories(Path("data"));
    }
    std::string Holbrane() { return Path("data/HOLBRANE.INI"); }
    QWidget* settingsDialog() { return windows.importSettingsDialog(); }
    QLineEdit* Field(const char* name) { return Find<QLineEdit>(settingsDialog(), name); }
    void PressOK() {
        QTest::mouseClick(Find<QPushButton>(settingsDialog(), "cmdOK"), Qt::LeftButton);
    }

    DesktopUserInterface ui;
    FixedClock clock{2026, 12, 10};
    Session session{ui, ui, clock};
    gui::SettingsWindows windows{session};
};

TEST_F(SettingsWindowsTest, ImportSettingsTypedAndConfirmedLandInTheirFiles) {
    windows.ShowImportSettings();
    ASSERT_TRUE(settingsDialog()->isVisible());
    EXPECT_FALSE(settingsDialog()->isModal());
    EXPECT_EQ(settingsDialog()->windowTitle(), "Log Import Settings:");
    EXPECT_EQ(gui::testing::NeedlessFrameButtons(settingsDialog()).join(", ").toStdString(), "");
    EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(settingsDialog()).join("; ").toStdString(), "");
    EXPECT_EQ(gui::testing::ButtonsDeafToReturn(settingsDialog()).join(", ").toStdString(), "");
    EXPECT_EQ(Field("txtUnderRunning")->text(), "60");  // 3600 seconds, shown in minutes
    EXPECT_EQ(Field("txtCartGroupsStart")->text(), "80001");

    // Entering the under-running field selects it for typing over; the purge days field keeps
    // its caret where the click put it.
    settingsDialog()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(settingsDialog()));
    Field("txtUnderRunning")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Field("txtUnderRunning")->selectedText() == "60"; }));
    Field("txtAutoPurgeDays")->setFocus(Qt::MouseFocusReason);
    QTest::qWait(20);
    EXPECT_FALSE(Field("txtAutoPurgeDays")->hasSelectedText());

    Type(Field("txtAutoPurgeDays"), "7");
    Type(Field("txtUnderRunning"), "57.5");
    Find<QCheckBox>(settingsDialog(), "chkUsersMustLogin")->click();
    Find<QTabWidget>(settingsDialog(), "tbsOptions")->setCurrentIndex(1);
    const std::pair<const char*, const char*> ranges[] = {
        {"txtJinglesStart", "10"}, {"txtJinglesEnd", "20"},      {"txtSweepersStart", "30"},
        {"txtSweepersEnd", "40"},  {"txtCartGroupsStart", "50"}, {"txtCartGroupsEnd", "60"},
        {"txtAdvertsStart", "70"}, {"txtAdvertsEnd", "80"},      {"txtSongsStart", "90"},
        {"txtSongsEnd", "100"}};
    for (const auto& [name, value] : ranges) Type(Field(name), value);
    PressOK();
    EXPECT_FALSE(settingsDialog()->isVisible());
    EXPECT_TRUE(ui.messages.empty());

    // Every key, in the order the installation's other programs write them.
    std::string text = testing::ReadWholeFile(Holbrane());
    const char* lines[] = {"AutoPurgeDays=7",     "UnderrunningDuration=3450",
                           "Jingles.Start=10",    "Jingles.End=20",
                           "Sweepers.Start=30",   "Sweepers.End=40",
                           "CartGroups.Start=50", "CartGroups.End=60",
                           "Adverts.Start=70",    "Adverts.End=80",
                           "Songs.Start=90",      "Songs.End=100"};
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = text.find(line, at);
        EXPECT_NE(found, std::string::npos) << line << " after " << at << " in\n" << text;
        if (found != std::string::npos) at = found;
    }
    EXPECT_EQ(
        GetProfileString(session.locations.SystemIniFile, "LogImport", "Music.UsersMustLogin", ""),
        "1");
    EXPECT_EQ(session.importSettings.UnderrunningDuration, 3450);
}

TEST_F(SettingsWindowsTest, ImportSettingsRefuseBadRangesWithTheirMessages) {
    windows.ShowImportSettings();
    // A letter never reaches a jingles field; the cart group fields take anything.
    Type(Field("txtJinglesStart"), "6a00");
    EXPECT_EQ(Field("txtJinglesStart")->text(), "600");
    Type(Field("txtSweepersStart"), "2000");  // wrong too, but jingles come first
    PressOK();
    EXPECT_TRUE(ui.Showed("You cannot have the End of the Jingles Range before the start"));
    EXPECT_EQ(ui.messages.back().request.icon, MessageIcon::Information);
    EXPECT_TRUE(settingsDialog()->isVisible());
    EXPECT_EQ(Field("txtJinglesStart")->text(), "600");  // the typed values stay

    Type(Field("txtJinglesStart"), "1");
    Type(Field("txtSweepersStart"), "501");
    Type(Field("txtCartGroupsStart"), "x");
    EXPECT_EQ(Field("txtCartGroupsStart")->text(), "x");
    PressOK();
    EXPECT_EQ(ui.MessageTexts().back(),
              "You must specify a valid cart number for all of the ranges");
    EXPECT_TRUE(settingsDialog()->isVisible());
    EXPECT_FALSE(fs::exists(Holbrane()));  // nothing stored before every check passed

    QTest::mouseClick(Find<QPushButton>(settingsDialog(), "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(settingsDialog()->isVisible());
    EXPECT_FALSE(fs::exists(Holbrane()));
}

TEST_F(SettingsWindowsTest, ReturnOnTheFocusedCancelStoresNothing) {
    windows.ShowImportSettings();
    Type(Field("txtAutoPurgeDays"), "7");
    auto* cancel = Find<QPushButton>(settingsDialog(), "cmdCancel");
    cancel->setFocus(Qt::TabFocusReason);
    QTest::keyClick(cancel, Qt::Key_Return);  // Cancel, not the default OK
    EXPECT_FALSE(settingsDialog()->isVisible());
    EXPECT_FALSE(fs::exists(Holbrane()));
}

TEST_F(SettingsWindowsTest, BrowsePicksACartInTheBrowser) {
    testing::WriteAudiowall(Path("audio"), 9999, {{252, "Station ID", 12}});
    testing::PointAudiowallAt(session.audiowall, Path("audio"), 9999);
    windows.ShowImportSettings();
    Type(Field("txtJinglesStart"), "250");

    QWidget* browser = &windows.audiowall().browser();
    std::string shownAt;
    testing::WhenVisible(browser, [&] {
        shownAt = Find<QLineEdit>(browser, "txtCartNumber")->text().toStdString();
        // Another Browse meanwhile does not wait on the same choice.
        QTest::mouseClick(Find<QPushButton>(settingsDialog(), "cmdSweepersStart"), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(browser, "cmdCartNumber(3)"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(settingsDialog(), "cmdJinglesStart"), Qt::LeftButton);
    EXPECT_EQ(shownAt, "250");
    EXPECT_EQ(Field("txtJinglesStart")->text(), "252");
    EXPECT_EQ(Field("txtSweepersStart")->text(), "501");
    EXPECT_FALSE(browser->isVisible());

    // Closing the browser without a choice leaves the field as it was.
    testing::WhenVisible(browser, [&] {
        QTest::keyClick(Find<QLineEdit>(browser, "txtCartNumber"), Qt::Key_Escape);
    });
    QTest::mouseClick(Find<QPushButton>(settingsDialog(), "cmdAdvertsEnd"), Qt::LeftButton);
    EXPECT_EQ(Field("txtAdvertsEnd")->text(), "1999");
}

TEST_F(SettingsWindowsTest, OneDirectoryForAllCartsIsStoredForEveryPart) {
    const std::string config = session.locations.ConfigFile;
    WriteProfileString(config, "General", "ConfigName", "Studio");
    WriteProfileString(config, "FileLocations", "Other", "kept");
    std::string audio = Path("Audio");
    ui.folderAnswers.push_back(audio);
    bool ticked = false;
    testing::WhenModal("frmFileLocations", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName(), "frmFileLocations");
        EXPECT_EQ(dialog->windowTitle(), "Vantor File Locations");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(dialog).join(", ").toStdString(), "");
        ticked = Find<QCheckBox>(dialog, "chkUseOneCartLocation")->isChecked();
        EXPECT_FALSE(Find<QLineEdit>(dialog, "txtCartLocations(2)")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(dialog, "cmdChangeCartLocation(1)"), Qt::LeftButton);
        EXPECT_EQ(Find<QLineEdit>(dialog, "txtCartLocations(11)")->text().toStdString(), audio);
        Type(Find<QLineEdit>(dialog, "txtDataLocation"),
             QString::fromStdString(Path("data")) + "\\");
        QTest::mouseClick(Find<QPushButton>(dialog, "cmdDone"), Qt::LeftButton);
    });
    FileLocationsModel model(session.locations, session.audiowall, ui);
    EXPECT_TRUE(ui.RunFileLocations(model));
    EXPECT_TRUE(ticked);  // eleven empty rows are one directory

    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(GetProfileString(config, "FileLocations", "Carts" + std::to_string(n), ""),
                  audio)
            << n;
    std::string data = Path("data");  // as typed, the separator removed
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Data", ""), data);
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Schedules", ""), data + "/SCHEDULE");
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Logs", ""), data + "/Logs");
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Other", ""), "kept");
    EXPECT_EQ(GetProfileString(config, "General", "ConfigName", ""), "Studio");
    EXPECT_TRUE(fs::is_directory(audio));
}

TEST_F(SettingsWindowsTest, EscapeLeavesTheFileLocationsAsTheyWere) {
    const std::string config = session.locations.ConfigFile;
    WriteProfileString(config, "FileLocations", "Carts1", "/old");
    std::string before = testing::ReadWholeFile(config);
    session.audiowall.Parts[1].Directory = "/old";
    testing::WhenModal("frmFileLocations", [&](QWidget* dialog) {
        EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(dialog).join("; ").toStdString(), "");
        Find<QCheckBox>(dialog, "chkUseOneCartLocation")->click();
        auto* row3 = Find<QLineEdit>(dialog, "txtCartLocations(3)");
        EXPECT_EQ(row3->text(), "/old");
        // Typed letters keep their case; row 1 serves every row.
        Type(Find<QLineEdit>(dialog, "txtCartLocations(1)"), "/srv/Vantor Audio");
        EXPECT_EQ(row3->text(), "/srv/Vantor Audio");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    FileLocationsModel model(session.locations, session.audiowall, ui);
    EXPECT_FALSE(ui.RunFileLocations(model));
    EXPECT_EQ(testing::ReadWholeFile(config), before);
    EXPECT_EQ(session.audiowall.Parts[1].Directory, "/old");
    EXPECT_EQ(session.audiowall.Parts[3].Directory, "");
}

TEST_F(SettingsWindowsTest, TheConfigurationSetChosenAtStartUpBecomesTheConfigurationFile) {
    WriteRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "MultiConfigFile", 1, 0);
    WriteRegistryString(RegistryRoot::LocalMachine, kProductRegistryKey, "ConfigFiles",
                        "studio1.ini  studio2.ini", "");
    WriteProfileString("studio1.ini", "General", "ConfigName", "Studio One");
    WriteProfileString("studio2.ini", "General", "ConfigName", "Studio Two");
    WriteProfileString("studio2.ini", "FileLocations", "Data", "\\\\server\\vantor");

    std::vector<std::string> names, icons;
    testing::WhenModal("frmMultiConfig", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName(), "frmMultiConfig");
        EXPECT_EQ(dialog->windowTitle(), "Which configuration set do you want to use?");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(dialog).join(", ").toStdString(), "");
        EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(dialog).join("; ").toStdString(), "");
        auto* list = Find<QListWidget>(dialog, "lvwConfigs");
        for (int i = 0; i < list->count(); ++i) {
            names.push_back(list->item(i)->text().toStdString());
            icons.push_back(list->item(i)->data(Qt::UserRole + 1).toString().toStdString());
            EXPECT_FALSE(list->item(i)->icon().isNull());
        }
        QRect second = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        EXPECT_EQ(list->toolTip(), "Selected Configuration : studio2.ini");
        QTest::mouseClick(Find<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    });
    EXPECT_TRUE(ChooseConfigFile(session.locations, ui, ui));
    EXPECT_EQ(session.locations.ConfigFile, "studio2.ini");
    EXPECT_EQ(names, (std::vector<std::string>{"Studio One", "Studio Two"}));
    EXPECT_EQ(icons, (std::vector<std::string>{"localdrive", "network"}));

    // Cancel chooses nothing, and start-up ends.
    testing::WhenModal("frmMultiConfig", [&](QWidget* dialog) {
        QTest::mouseClick(Find<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(ChooseConfigFile(session.locations, ui, ui));
    EXPECT_EQ(session.locations.ConfigFile, "");
}

}  // namespace
}  // namespace vantor
