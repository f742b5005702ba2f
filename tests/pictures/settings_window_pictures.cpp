// Draws the settings and Audiowall windows on a small made-up installation and writes one PNG
// per window into the folder named on the command line, so that their layout can be looked
// at without a desktop:
//
//   vantor-settings-window-pictures OUTPUT_DIR
//
// Runs on any Qt platform; without a display it uses the offscreen one.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "audiowall/audiowall_store.h"
#include "audiowall_windows.h"
#include "cart_browser.h"
#include "common/clock.h"
#include "common/profile.h"
#include "common/registry.h"
#include "config/config_set_model.h"
#include "config/file_locations_model.h"
#include "config/startup.h"
#include "config_set_dialog.h"
#include "file_locations_dialog.h"
#include "find_cart.h"
#include "import_settings_dialog.h"
#include "session/session.h"
#include "settings_windows.h"
#include "support/audiowall_fixture.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "window_picture.h"

namespace {

using namespace vantor;

class PictureUserInterface : public ScriptedUserInterface {
  public:
    std::function<void()> onEvents;
    void ProcessEvents() override {
        QCoreApplication::processEvents();
        if (onEvents) onEvents();
    }
};

QString gOutput;

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

void Save(QWidget* window, const QString& name) {
    Settle();
    QString path = QDir(gOutput).filePath(name + ".png");
    if (!gui::PictureOfWindow(window).save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

std::vector<testing::FixtureCart> Carts() {
    struct Made {
        int32_t number;
        const char* title;
        const char* title2;
        float length;
        int32_t back;
        int32_t fore;
    } made[] = {
        {1, "Morning Show Jingle", "Full vocal", 12, 0x0000C0FF, 0},
        {2, "Station ID", "Dry", 6, 0x00FFC080, 0},
        {3, "Traffic Bed", "Loop", 60, 0x0080FF80, 0},
        {4, "News Intro", "Sting", 8, 0x00404080, 0x00FFFFFF},
        {6, "Weather Bed", "", 45, 0x00C0C0C0, 0},
        {7, "The Harbour Lights - Northbound Again (Radio Edit)", "Album version follows", 215,
         0x00FFFFFF, 0},
        {8, "Mira Calloway - Paper Lanterns", "", 187, 0x00FFFFFF, 0},
        {10, "Sweeper: more music", "", 4, 0x00FF80FF, 0},
    };
    std::vector<testing::FixtureCart> carts;
    for (const Made& m : made) {
        testing::FixtureCart cart(m.number, m.title, m.length);
        cart.title2 = m.title2;
        cart.backColor = m.back;
        cart.foreColor = m.fore;
        carts.push_back(cart);
    }
    return carts;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 64;
    }
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    gOutput = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(gOutput);

    testing::TempDir root;
    setenv("VANTOR_WINDIR", (root / "windows").c_str(), 1);
    root.WriteFile("windows/.keep", "");
    PictureUserInterface ui;
    FixedClock clock(2026, 12, 10);
    Session session(ui, ui, clock);
    session.locations.ConfigFile = root / "vantor.ini";
    session.locations.DataLocation = root / "data";
    session.locations.SystemIniFile = root / "data/VNTR_SYS.INI";
    testing::WriteAudiowall(root / "audio", 9999, Carts());
    testing::PointAudiowallAt(session.audiowall, root / "audio", 9999);

    gui::SettingsWindows windows(session);
    gui::AudiowallWindows& audiowall = windows.audiowall();

    // The browser, single and double height.
    audiowall.browserModel().Tag = "1";
    audiowall.browserModel().Show();
    audiowall.browserModel().PressSlot(3);
    Save(&audiowall.browser(), "frmCartBrowser");
    audiowall.browser().findChild<QCheckBox*>("chkDouble")->click();
    Save(&audiowall.browser(), "frmCartBrowser-double");
    audiowall.browser().findChild<QCheckBox*>("chkDouble")->click();

    // The find dialog as it opens, then after a search, then its second tab.
    audiowall.browser().findChild<QPushButton*>("cmdFindCart")->click();
    FindCartModel& find = audiowall.findModel();
    Save(&audiowall.find(), "frmFindCart");
    // Part-way through a search: Stop is the only way out, the busy indicator moves.
    int turns = 0;
    ui.onEvents = [&] {
        if (++turns != 250) return;
        Save(&audiowall.find(), "frmFindCart-searching");
        audiowall.findModel().Stop();
    };
    audiowall.findModel().SetSearchText("nowhere");
    audiowall.findModel().Find();
    ui.onEvents = nullptr;
    find.SetSearchText("e");
    find.Find();
    Save(&audiowall.find(), "frmFindCart-results");
    find.SetTimeRules(true);
    find.SetLimitLines(true);
    find.SelectTab(FindCartModel::Tab::Advanced);
    audiowall.find().Refresh();
    Save(&audiowall.find(), "frmFindCart-advanced");
    find.Escape();
    audiowall.browserModel().Cancel();

    // The settings dialog, both tabs.
    windows.ShowImportSettings();
    Save(windows.importSettingsDialog(), "frmLogImportSettings");
    windows.importSettingsDialog()->findChild<QTabWidget*>("tbsOptions")->setCurrentIndex(1);
    Save(windows.importSettingsDialog(), "frmLogImportSettings-ranges");
    windows.importSettingsDialog()->hide();

    // The file locations, with one directory for the carts.
    {
        FileLocationsModel model(session.locations, session.audiowall, ui);
        model.Open();
        gui::FileLocationsDialog dialog(model);
        dialog.Refresh();
        dialog.show();
        Save(&dialog, "frmFileLocations");
    }

    // The configuration sets: a local one, one on a share, one on a network drive.
    {
        WriteProfileString("studio1.ini", "General", "ConfigName", "Studio One (on air)");
        WriteProfileString("studio1.ini", "FileLocations", "Data", root / "data");
        WriteProfileString("studio2.ini", "General", "ConfigName", "Production Studio");
        WriteProfileString("studio2.ini", "FileLocations", "Data", "\\\\server\\vantor");
        WriteProfileString("studio3.ini", "General", "ConfigName", "Newsroom");
        WriteProfileString("studio3.ini", "FileLocations", "Data", "N:\\VANTOR");
        WriteRegistryString(RegistryRoot::LocalMachine, kProductRegistryKey, "ConfigFiles",
                            "studio1.ini studio2.ini studio3.ini", "");
        ConfigSetModel model(ui);
        model.HK_PRODUCT_KEY = kProductRegistryKey;
        model.StandardConfigFile = "vantor.ini";
        // No drive here is remote; the picture shows the network drive all the same.
        model.isRemoteDrive = [](const std::string& path) { return path.rfind("N:", 0) == 0; };
        model.Load();
        model.ClickItem(0);
        gui::ConfigSetDialog dialog(model);
        dialog.Refresh();
        dialog.show();
        Save(&dialog, "frmMultiConfig");
    }
    return 0;
}
