// Pictures of the "Kora Database Settings" window: one PNG per tab and one of the format-choice
// dialog, drawn on a station of its own with a few settings that are not the defaults. Run it
// with QT_QPA_PLATFORM=offscreen (or under xvfb-run) and look at every picture: a control cut
// off or drawn over another is a defect.
//
//   vantor-settings-editor-screenshots OUTPUT_DIRECTORY

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "common/clock.h"
#include "config/system_locations.h"
#include "dbengine/database_file.h"
#include "dbmanage/playout_settings_editor_model.h"
#include "playout_settings_editor.h"
#include "support/kora_installation.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "users/users_database.h"
#include "wave_format_dialog.h"
#include "window_picture.h"

namespace {

using vantor::testing::InstallationOptions;
using vantor::testing::KoraInstallation;

bool Save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    if (vantor::gui::PictureOfWindow(&widget).save(path)) {
        std::printf("%s\n", path.toLocal8Bit().constData());
        return true;
    }
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        vantor::testing::TempDir dir;
        KoraInstallation station(dir.path(), InstallationOptions{});
        setenv("VANTOR_WINDIR", station.windowsDirectory.c_str(), 1);
        vantor::ScriptedUserInterface ui;
        std::string description = "Clients of the Morning Show";
        vantor::EnsureDatabaseFile(ui, station.dataLocation + "/CLIENTS.MDB", 2, true, description);
        station.SetDatabaseSetting("ADVERTS.ClientDatabase", "CLIENTS.MDB");
        station.SetDatabaseSetting("ADVERTS.FilenamePrefix", "AD");
        station.SetDatabaseSetting("KORA.SCComputerAddress", "studio-kvl");
        station.SetDatabaseSetting("KORA.SCComputerPort", "3");
        station.SetDatabaseSetting("MUSIC.SentBy", "Vantor Log Import 2.5.0 ");
        station.SetDatabaseSetting("MUSIC.LastSent", "14/03/2024 09:05:00");

        vantor::SystemClock clock;
        vantor::SystemLocations locations;
        locations.DataLocation = station.dataLocation;
        vantor::Database usersDb;
        vantor::UsersDatabase users(ui, clock, locations, usersDb);
        (void)users.OpenUsersDatabase(vantor::UsersDatabasePath(station.dataLocation));

        vantor::PlayoutSettingsEditorModel model(ui, ui, clock, users,
                                                 {station.dataLocation, 9999, "DEMO"});
        vantor::gui::PlayoutSettingsEditor window(model);
        window.SetDatabasePath(station.databasePath);
        window.show();
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tbsKORA"));
        bool ok = true;
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QString name = tabs->tabText(i).replace(QLatin1Char('/'), QLatin1Char('-'));
            name.replace(QLatin1Char(' '), QLatin1Char('-'));
            ok = Save(window, output.filePath(QStringLiteral("frmKORADatabaseSettings-%1-%2.png")
                                                  .arg(i + 1)
                                                  .arg(name))) &&
                 ok;
        }
        vantor::gui::WaveFormatDialog formats(model.FormatChoiceStart(), &window);
        formats.show();
        ok = Save(formats, output.filePath(QStringLiteral("dlgWaveFormat.png"))) && ok;
        users.CloseUsersDatabase();
        return ok ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
