#pragma once
// The model of the database chooser (frmChooseDatabase): the databases of one kind in one
// directory, the choice of one of them, and - for users allowed to manage databases - creating,
// copying, renaming, re-describing and deleting them.
//
// The caller sets the directory, the kind and whether the user may edit, shows the window, and
// afterwards reads the chosen file name ("" when cancelled) and its description.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/window_model.h"
#include "dbengine/database_store.h"
#include "dbmanage/database_types.h"
#include "dbmanage/new_database.h"

namespace vantor {

class UserInterface;

// How the list shows its items; the numbers are the ones stored in the registry.
enum class ChooserView { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };

enum class ChooserColumn { Description = 0, FileName = 1, LastAccessed = 2 };

// One database of the list.
struct ChooserItem {
    std::string key;           // "d" + the file name without extension
    std::string text;          // the description, or the file name when it has none
    std::string icon;          // the kind's tag word
    std::string fileName;      // the file name without extension
    std::string lastAccessed;  // for kinds that keep it, else ""

    // The key without its first character, trimmed: the file name the choice is made of.
    std::string Name() const;
    const std::string& ColumnText(ChooserColumn column) const;

    bool operator==(const ChooserItem&) const = default;
};

class DatabaseChooserModel : public WindowModel {
  public:
    static constexpr const char* kInitialCaption = "Choose Database:";
    static constexpr const char* kPrompt =
        "Please select the database that you want to use from the following, and click OK:";
    // Registry value (under the installation's "Vantor v2" key) holding the view last used.
    static constexpr const char* kViewRegistryValue = "ChooseDatabaseViewType";
    static constexpr const char* kNotKnown = "<Not known>";

    explicit DatabaseChooserModel(UserInterface& ui);

    // ---- Set by the caller before showing the window
    void SetSearchDirectory(const std::string& directory) {
        searchDirectory_ = directory;
        fileStore_.reset();
    }
    // Where the databases are when not in the search directory's files: a station's server.
    void SetStore(std::shared_ptr<const DatabaseStore> store) { store_ = std::move(store); }
    const std::string& SearchDirectory() const { return searchDirectory_; }
    void SetDatabaseType(int32_t type) { type_ = type; }
    int32_t DatabaseType() const { return type_; }
    // Whether the user may manage databases (the Options menu); true unless a login said not.
    void SetCanEdit(bool canEdit) { canEdit_ = canEdit; }
    bool CanEdit() const { return canEdit_; }

    // ---- Read by the caller afterwards
    // The chosen file name with ".MDB" appended ("KORA26.MDB"), "" when the user cancelled.
    const std::string& ChosenFileName() const { return chosenFileName_; }
    // The description of the selected database.
    const std::string& ChosenDatabaseDescription() const { return chosenDescription_; }

    // The model announces (OnChanged) the changes it makes in the middle of an operation - the
    // status panel of a copy, the list emptied for a refill - so that the window redraws
    // before the next question is asked.

    // ---- Window events
    // Every activation of the window; the first one after showing reads the view preference
    // and fills the list, and chooses at once the one database of a user who may not edit.
    void Activate();
    void OK();  // also a double-click on an item and Enter in the list
    void Cancel();
    // An item clicked or made current with the keyboard.
    void ItemClicked(int index);
    void ItemDoubleClicked(int index);
    // A column header clicked: sorts by it, or reverses the order when it already sorts.
    void ColumnClicked(ChooserColumn column);
    void SetView(ChooserView view) { view_ = view; }
    // The keys (N, E and D, either case) the window sends again with Alt held down.
    static bool ResentWithAlt(int keyCode);

    // ---- The Options menu
    void CreateNewDatabase();  // "Create a &New Database"
    void ChangeDescription();  // "Change the Database &Description"
    void CopyDatabase();       // "&Copy this Database"
    void RenameDatabase();     // "C&hange the Database's Filename"
    void DeleteDatabase();     // "&Delete this Database"
    // "&Import a Windows Database...": a playout database of the Windows installation comes
    // into the listed directory, a users database takes the place of the installation's
    // (USERS/USERS25.MDB beside that directory); the report is shown in the text viewer.
    void ImportFromWindows();

    // Reads the directory again.
    void FillList();

    // ---- State the window shows
    bool IsVisible() const { return visible_; }
    const std::string& Caption() const { return caption_; }
    const DatabaseTypeInfo& TypeInfo() const { return typeInfo_; }
    const std::vector<ChooserItem>& Items() const { return items_; }
    int SelectedIndex() const { return selected_; }  // -1 when none
    ChooserView View() const { return view_; }
    // "Last Accessed" is a column worth showing only for the kinds that record it.
    bool LastAccessedShown() const { return typeInfo_.keepsLastAccessed; }
    std::optional<ChooserColumn> SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return sortDescending_; }
    bool OkEnabled() const { return okEnabled_; }
    bool CancelEnabled() const { return cancelEnabled_; }
    bool OptionsEnabled() const { return optionsEnabled_; }         // mnuOptions
    bool CreateEnabled() const { return true; }                     // never switched off
    bool ItemOperationsEnabled() const { return itemOperations_; }  // the four item entries
    bool StatusVisible() const { return statusVisible_; }           // pnlStatus
    const std::string& StatusFirstLine() const { return firstLine_; }
    const std::string& StatusSecondLine() const { return secondLine_; }

  private:
    std::optional<ChooserItem> ReadItem(const std::string& name);
    // Asks for the name of a new database and checks it; creates the database when create is
    // set. The new database's name, or nothing when the user stopped or a check refused.
    std::optional<NewDatabaseName> AskForNewDatabase(bool create);
    // The selected database's name ("KORA26.MDB").
    std::string SelectedName() const;
    // The store set, or the files of the search directory.
    const DatabaseStore& Store();
    bool HasSelection() const { return selected_ >= 0 && selected_ < int(items_.size()); }
    void Sort();

    UserInterface& ui_;
    std::string searchDirectory_;
    std::shared_ptr<const DatabaseStore> store_;
    std::unique_ptr<DatabaseStore> fileStore_;
    int32_t type_ = 0;
    bool canEdit_ = true;
    std::string chosenFileName_;
    std::string chosenDescription_;

    bool needsStart_ = true;
    bool visible_ = false;
    std::string caption_ = kInitialCaption;
    DatabaseTypeInfo typeInfo_;
    std::vector<ChooserItem> items_;
    int selected_ = -1;
    ChooserView view_ = ChooserView::LargeIcons;
    std::optional<ChooserColumn> sortColumn_;
    bool sortDescending_ = false;
    bool okEnabled_ = false;
    bool cancelEnabled_ = true;
    bool optionsEnabled_ = false;
    bool itemOperations_ = false;
    bool statusVisible_ = false;
    std::string firstLine_, secondLine_;
};

}  // namespace vantor
