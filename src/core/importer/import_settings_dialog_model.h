#pragma once
// The model of the "Log Import Settings:" dialog (frmLogImportSettings): it shows the importer's
// settings as texts, filters the keys typed into them, lets the operator pick cart numbers with
// the cart browser, and checks and stores them on OK.

#include <array>
#include <string>

#include "importer/import_settings.h"
#include "common/window_model.h"

namespace vantor {

class Dialogs;
class UserInterface;
struct SystemLocations;

class LogImportSettingsModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Log Import Settings:";

    // The text fields, named after their controls.
    enum class Field {
        txtAutoPurgeDays,
        txtUnderRunning,
        txtJinglesStart,
        txtJinglesEnd,
        txtSweepersStart,
        txtSweepersEnd,
        txtSongsStart,
        txtSongsEnd,
        txtCartGroupsStart,
        txtCartGroupsEnd,
        txtAdvertsStart,
        txtAdvertsEnd,
    };
    static constexpr int kFieldCount = 12;

    enum class Tab { General, CartRanges };

    // The Browse buttons open the cart browser through dialogs.
    LogImportSettingsModel(ImportSettings& settings, const SystemLocations& locations,
                           UserInterface& ui, Dialogs& dialogs);

    // Opening: reloads the stored settings into the main window's copy and fills the fields.
    void Open();

    const std::string& Text(Field field) const { return texts_[Index(field)]; }
    void SetText(Field field, const std::string& text) { texts_[Index(field)] = text; }
    bool UsersMustLoginChecked() const { return usersMustLogin_; }
    void SetUsersMustLoginChecked(bool checked) { usersMustLogin_ = checked; }
    Tab CurrentTab() const { return tab_; }
    void SelectTab(Tab tab) { tab_ = tab; }
    bool IsClosed() const { return closed_; }

    // Whether the field selects its whole text when it gets the focus.
    static bool SelectsAllOnFocus(Field field);
    // The key-press filter of a field: the key code to pass on, or 0 when the key is swallowed.
    static int FilterKey(Field field, int keyCode);
    // A key typed into a field: filtered, then appended (backspace removes the last character).
    void TypeKey(Field field, int keyCode);

    // The Browse button beside a range field.
    void Browse(Field field);

    // Checks the fields and, when they pass, stores and saves the settings and closes.
    // Returns true when the dialog closed.
    bool OK();
    void Cancel() { closed_ = true; }

  private:
    static size_t Index(Field field) { return static_cast<size_t>(field); }
    void Fill();

    ImportSettings& settings_;
    const SystemLocations& locations_;
    UserInterface& ui_;
    Dialogs* dialogs_;
    std::array<std::string, kFieldCount> texts_;
    bool usersMustLogin_ = false;
    Tab tab_ = Tab::General;
    bool closed_ = false;
};

}  // namespace vantor
