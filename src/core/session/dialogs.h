#pragma once
// The one way a window opens another. Every nested window of the program is reached through
// this interface, which sits above the subsystems: a model never constructs and shows another
// window's model itself, and the user-interface seam (common/user_interface.h) names no
// subsystem's model. Three implementations: the Qt windows (gui), the headless run, which
// refuses whatever needs a person, and a scripted one in the tests.
//
// Each subsystem declares the part it needs (ConfigDialogs, UsersDialogs); the parts that
// belong to no single subsystem below (the database chooser, which the importer and the
// database manager both open, and the windows the main window's menus and buttons open) are
// declared here.

#include <string>

#include "config/config_dialogs.h"
#include "users/users_dialogs.h"

namespace vantor {

class DateHourPickerModel;

class Dialogs : public ConfigDialogs, public UsersDialogs {
  public:
    // The database chooser on searchDirectory, listing the databases of the given type tag.
    // The chosen file name, or "" when cancelled or when nobody can choose.
    virtual std::string ChooseDatabase(const std::string& searchDirectory,
                                       const std::string& typeTag) = 0;

    // The Audiowall's cart browser, opened at the cart the tag names; its tag once it hid
    // itself (a cart number, or "" when nothing was picked or nobody can pick).
    virtual std::string BrowseCarts(const std::string& tag) = 0;

    // The date and hour picker, modal, on the model's tag; the tag holds the answer once it
    // closed (unchanged when nobody can pick).
    virtual void RunDateHourPicker(DateHourPickerModel& model) = 0;

    // The importer's settings dialog on the stored settings. It does not hold the caller: one
    // dialog serves the run and is brought forward when it is already open.
    virtual void ShowImportSettings() = 0;

    // The playout settings editor on the playout database at databasePath, modal. It records
    // and reports what it stored itself; the caller reads the settings again afterwards.
    virtual void EditPlayoutSettings(const std::string& databasePath) = 0;
};

}  // namespace vantor
