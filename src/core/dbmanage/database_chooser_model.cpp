#include "dbmanage/database_chooser_model.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/files.h"
#include "common/locale.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/registry.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "config/startup.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbmanage/new_database.h"
#include "users/users_database.h"
#include "windowsdb/windows_database_import.h"

namespace vantor {

namespace fs = std::filesystem;

namespace {

ChooserView ReadViewPreference() {
    int32_t stored = ReadRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey,
                                        DatabaseChooserModel::kViewRegistryValue, 0);
    if (stored < 0 || stored > 3) return ChooserView::LargeIcons;
    return static_cast<ChooserView>(stored);
}

void SaveViewPreference(ChooserView view) {
    WriteRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey,
                        DatabaseChooserModel::kViewRegistryValue, static_cast<int32_t>(view), 0);
}

// The "last accessed" stamp as the list shows it: a date field as a date (with its time when
// it has one), a text as it is.
std::string LastAccessedText(const TableCursor& rows) {
    int index = rows.FieldIndex("LastAccessed");
    if (index < 0) return DatabaseChooserModel::kNotKnown;
    DbValue value = rows.Field(index);
    if (value.IsNull()) return DatabaseChooserModel::kNotKnown;
    std::string text;
    if (rows.Fields()[index].type == FieldType::DateTime && value.IsNumber()) {
        double date = value.AsDouble();
        text = date == std::floor(date) ? ShortDateText(date) : FormatDate(date, "ddddd hh:nn:ss");
    } else {
        text = value.AsText();
    }
    return Trim(text).empty() ? DatabaseChooserModel::kNotKnown : text;
}

}  // namespace

std::string ChooserItem::Name() const {
    return Trim(key.empty() ? std::string() : key.substr(1));
}

const std::string& ChooserItem::ColumnText(ChooserColumn column) const {
    switch (column) {
        case ChooserColumn::FileName:
            return fileName;
        case ChooserColumn::LastAccessed:
            return lastAccessed;
        case ChooserColumn::Description:
            break;
    }
    return text;
}

DatabaseChooserModel::DatabaseChooserModel(UserInterface& ui) : ui_(ui) {}

// ---------------------------------------------------------------------------------------------
// Showing and choosing

void DatabaseChooserModel::Activate() {
    if (needsStart_) {
        needsStart_ = false;
        visible_ = true;
        chosenFileName_.clear();
        view_ = ReadViewPreference();
        typeInfo_ = DescribeDatabaseType(type_);
        caption_ = "Select " + typeInfo_.label;
        NotifyChanged();
        ui_.ProcessEvents();
        FillList();
        // A user who may not manage databases has nothing to decide between when there is one.
        if (items_.size() == 1 && !canEdit_) OK();
    }
    ui_.SetCursor(MouseCursor::Default);
}

void DatabaseChooserModel::OK() {
    if (!HasSelection()) return;
    const ChooserItem& item = items_[static_cast<size_t>(selected_)];
    chosenFileName_ = item.Name() + ".MDB";
    chosenDescription_ = item.text;
    visible_ = false;
    SaveViewPreference(view_);
    needsStart_ = true;
}

void DatabaseChooserModel::Cancel() {
    SaveViewPreference(view_);
    chosenFileName_.clear();
    visible_ = false;
    needsStart_ = true;
}

void DatabaseChooserModel::ItemClicked(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    selected_ = index;
    chosenDescription_ = items_[static_cast<size_t>(index)].text;
    okEnabled_ = true;
}

void DatabaseChooserModel::ItemDoubleClicked(int index) {
    ItemClicked(index);
    if (okEnabled_) OK();
}

void DatabaseChooserModel::ColumnClicked(ChooserColumn column) {
    if (sortColumn_ == column) {
        sortDescending_ = !sortDescending_;
    } else {
        sortColumn_ = column;
        sortDescending_ = false;
    }
    Sort();
}

void DatabaseChooserModel::Sort() {
    if (!sortColumn_) return;
    std::string selectedKey = HasSelection() ? items_[static_cast<size_t>(selected_)].key : "";
    const ChooserColumn column = *sortColumn_;
    const bool descending = sortDescending_;
    std::stable_sort(items_.begin(), items_.end(),
                     [column, descending](const ChooserItem& a, const ChooserItem& b) {
                         int order = CompareNoCase(a.ColumnText(column), b.ColumnText(column));
                         return descending ? order > 0 : order < 0;
                     });
    if (!selectedKey.empty()) {
        auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const ChooserItem& item) { return item.key == selectedKey; });
        selected_ = static_cast<int>(found - items_.begin());
    }
}

bool DatabaseChooserModel::ResentWithAlt(int keyCode) {
    switch (keyCode) {
        case 'N':
        case 'n':
        case 'E':
        case 'e':
        case 'D':
        case 'd':
            return true;
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// The list

void DatabaseChooserModel::FillList() {
    HourglassGuard hourglass(ui_);
    items_.clear();
    selected_ = -1;
    NotifyChanged();

    // The listing comes in name order, as the stations' file systems give it.
    for (const std::string& name : Store().List()) {
        if (std::optional<ChooserItem> item = ReadItem(name)) items_.push_back(std::move(*item));
    }
    Sort();

    if (!items_.empty()) {
        selected_ = 0;
        chosenDescription_ = items_.front().text;
    }
    if (canEdit_) optionsEnabled_ = true;
    const bool any = !items_.empty();
    okEnabled_ = any;
    itemOperations_ = any;
}

std::optional<ChooserItem> DatabaseChooserModel::ReadItem(const std::string& name) {
    const DatabaseStore& store = Store();
    const std::string path = store.Address(name);
    Database db;
    DbError error = store.Open(name, db);
    if (error.number == err::kUnrecognizedFormat && !store.OnServer()) {
        // Not a database the engine recognises: perhaps a damaged file, which compacting
        // repairs (the operator is asked first).
        if (!CompactDatabaseFile(ui_, path, false, "", false)) return std::nullopt;
        error = store.Open(name, db);
    }
    if (!error.Ok()) {
        ProblemReport(ui_, "getting the information from  : " + Trim(path), error);
        return std::nullopt;
    }

    // Files of another kind, or without description information, are simply not offered.
    std::string table = DescriptionTableOf(db);
    TableCursor rows;
    if (table.empty() || !db.OpenTable(table, rows).Ok() || rows.Eof()) return std::nullopt;
    DbValue type = rows.Field("Type");
    if (type.IsNull() || (type.IsText() && Trim(type.Text()).empty())) return std::nullopt;
    if (type.AsInteger() != type_) return std::nullopt;

    ChooserItem item;
    item.fileName = StripExtension(FileNameOf(name));
    item.key = "d" + item.fileName;
    std::string description = rows.Field("Description").AsText();
    item.text = Trim(description).empty() ? item.fileName : description;
    item.icon = typeInfo_.tagWord;
    if (typeInfo_.keepsLastAccessed) item.lastAccessed = LastAccessedText(rows);
    return item;
}

std::string DatabaseChooserModel::SelectedName() const {
    if (!HasSelection()) return "";
    return items_[static_cast<size_t>(selected_)].Name() + ".MDB";
}

const DatabaseStore& DatabaseChooserModel::Store() {
    if (store_) return *store_;
    if (!fileStore_) fileStore_ = MakeFileStore(searchDirectory_);
    return *fileStore_;
}

// ---------------------------------------------------------------------------------------------
// The Options menu

std::optional<NewDatabaseName> DatabaseChooserModel::AskForNewDatabase(bool create) {
    InputBoxRequest request;
    request.prompt =
        "What filename do you want to use for this database:\n"
        "(This is a unique reference that can be up to 8 letters)";
    request.title = "Create Database";
    std::string answer = ui_.InputBox(request).text;
    if (answer.empty()) return std::nullopt;
    std::optional<NewDatabaseName> name = CheckNewDatabaseName(ui_, Store(), answer);
    if (!name) return std::nullopt;
    if (AskQuestion(ui_,
                    "Are you sure you want to create a new " + typeInfo_.label + " in: \n" +
                        name->path,
                    MessageButtons::YesNo, MessageResult::Yes) != MessageResult::Yes) {
        return std::nullopt;
    }
    if (!create) return name;

    // The operator is asked for the description.
    if (vantor::CreateNewDatabase(ui_, Store(), *name, type_, std::nullopt) != 0)
        return std::nullopt;
    FillList();
    return name;
}

void DatabaseChooserModel::CreateNewDatabase() {
    if (!optionsEnabled_) return;
    (void)AskForNewDatabase(true);
}

void DatabaseChooserModel::CopyDatabase() {
    if (!optionsEnabled_ || !itemOperations_ || !HasSelection()) return;
    const DatabaseStore& store = Store();
    const std::string source = SelectedName();

    okEnabled_ = false;
    cancelEnabled_ = false;
    statusVisible_ = true;
    firstLine_ = "Copying Database...";
    secondLine_ = "Creating new database...";
    NotifyChanged();

    auto finish = [this] {
        statusVisible_ = false;
        okEnabled_ = HasSelection();
        cancelEnabled_ = true;
    };
    std::optional<NewDatabaseName> target = AskForNewDatabase(false);
    if (!target) return finish();

    secondLine_ = "Copying Database Contents...";
    NotifyChanged();
    ui_.ProcessEvents();
    const std::string copy = target->reference + ".MDB";
    DbError error;
    {
        HourglassGuard hourglass(ui_);
        error = store.Copy(source, copy);
    }
    if (!error.Ok()) {
        ProblemReport(ui_, "copying " + store.Address(source) + " to " + target->path, error);
    } else {
        DatabaseInfo info;
        if (ReadDatabaseInfo(ui_, store, copy, info, true).Ok())
            EditDatabaseDescription(ui_, store, copy, "Copy of " + info.Description);
    }
    FillList();
    finish();
}

void DatabaseChooserModel::ChangeDescription() {
    if (!optionsEnabled_ || !itemOperations_ || !HasSelection()) return;
    const DatabaseStore& store = Store();
    const std::string name = SelectedName();
    DatabaseInfo info;
    if (!ReadDatabaseInfo(ui_, store, name, info, true).Ok()) return;

    InputBoxRequest request;
    request.prompt = "Enter database Description:\n(This is a simple description label)";
    request.title = "Description";
    request.defaultText = info.Description;
    std::string answer = ui_.InputBox(request).text;
    if (Trim(answer).empty()) return;
    EditDatabaseDescription(ui_, store, name, answer);
    FillList();
}

void DatabaseChooserModel::RenameDatabase() {
    if (!optionsEnabled_ || !itemOperations_ || !HasSelection()) return;
    InputBoxRequest request;
    request.prompt = "What do you want this database's filename to be?";
    std::string answer = Trim(ui_.InputBox(request).text);
    if (answer.empty()) return;
    // The new name follows the rules of a new database's name, but may bring its extension.
    if (!CheckDatabaseFileName(ui_, answer)) return;
    if (answer.find('.') == std::string::npos) answer += ".MDB";
    const DatabaseStore& store = Store();
    if (store.Exists(answer)) {
        ShowInformation(ui_, "A database with that name already exists");
        return;
    }
    const std::string oldName = items_[static_cast<size_t>(selected_)].Name() + ".MDB";
    if (DbError error = store.Rename(SelectedName(), answer); !error.Ok()) {
        ProblemReport(ui_, "renaming : " + oldName, error);
    }
    FillList();
}

void DatabaseChooserModel::DeleteDatabase() {
    if (!optionsEnabled_ || !itemOperations_ || !HasSelection()) return;
    const std::string what = typeInfo_.label + " (" + chosenDescription_ + ")?";
    if (AskQuestion(ui_, "Are you sure that you want to delete this " + what, MessageButtons::YesNo,
                    MessageResult::No) != MessageResult::Yes ||
        AskQuestion(ui_, "Are you really sure that you want to delete this " + what,
                    MessageButtons::YesNo, MessageResult::No) != MessageResult::Yes) {
        return;
    }
    const std::string name = items_[static_cast<size_t>(selected_)].Name();
    // A database another program has open keeps its lock, and so the database stays.
    if (DbError error = Store().Remove(SelectedName()); !error.Ok()) {
        ProblemReport(ui_, "deleting : " + name, error);
    }
    FillList();
}

void DatabaseChooserModel::ImportFromWindows() {
    if (!optionsEnabled_) return;
    FileDialogRequest request;
    request.title = "Import a Windows Database";
    request.filter = "Windows Databases (*.MDB)|*.MDB|All Files|*.*";
    std::optional<std::string> chosen = ui_.ChooseOpenFile(request);
    if (!chosen) return;

    WindowsImportTarget target;
    target.playoutDirectory = searchDirectory_;
    target.usersDatabase = UsersDatabasePath(ParentDirectoryOf(searchDirectory_, false));
    auto bringOver = [&] {
        HourglassGuard hourglass(ui_);
        return ImportWindowsDatabase(ui_, *chosen, target);
    };
    WindowsImportReport report = bringOver();
    if (report.outcome == WindowsImportOutcome::Refused &&
        AskQuestion(ui_,
                    "The database " + report.target +
                        " already exists.\nDo you want to replace it? The old database is kept "
                        "in a file with a '.BAK' extension.",
                    MessageButtons::YesNo, MessageResult::No) == MessageResult::Yes) {
        target.replace = true;
        report = bringOver();
    }
    ui_.ShowText("Import a Windows Database", report.Text());
    FillList();
}

}  // namespace vantor
