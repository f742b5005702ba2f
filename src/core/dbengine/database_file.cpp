// The file layer every database of the installation goes
// through.

#include "dbengine/database_file.h"

#include <cstdio>
#include <filesystem>

#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "dbengine/row_edit.h"

namespace vantor {

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultItemWidth = 250;

// The width a key is cut to before it is looked up or stored.
size_t ItemWidth(const TableCursor& settings) {
    int index = settings.FieldIndex("Item");
    if (index < 0) return kDefaultItemWidth;
    const FieldDef& item = settings.Fields()[index];
    return item.type == FieldType::Text && item.size > 0 ? item.size : kDefaultItemWidth;
}

// Whether a value is one of the runtime's numbers (a boolean counts as -1 or 0).
bool IsNumberValue(const DbValue& value) {
    return value.IsNumber();
}

}  // namespace

std::string DescriptionTableOf(const Database& db) {
    std::string other;
    for (const std::string& name : db.TableNames()) {
        if (EqualsNoCase(name, "Description")) return name;
        if (EqualsNoCase(name, "dbo.Description")) other = name;
    }
    return other;
}

DbValue DescriptionVersionForType(int32_t type) {
    switch (type) {
        case 0:
            return DbValue(2.51f);
        case 1:
        case 14:
            return DbValue(2.6f);
        case 2:
            return DbValue(2.5f);
        case 4:
            return DbValue(1.3f);
        case 11:
            return DbValue(3.21f);
        default:
            return DbValue();
    }
}

// ---------------------------------------------------------------------------------------------

namespace {
int EnsureDescriptionRow(UserInterface& ui, Database& db, const std::string& path, int32_t type,
                         std::string& description);
DbError ReadOpenDatabaseInfo(UserInterface& ui, Database& db, const std::string& path,
                             DatabaseInfo& info, bool report);
int StoreDescriptionIn(UserInterface& ui, Database& db, DbError error, const std::string& text);
}  // namespace

int EnsureDatabaseFile(UserInterface& ui, const std::string& path, int32_t type, bool dontAsk,
                       std::string& description, FileAccess access) {
    std::string file = ResolvePath(path);
    // Made afresh: a database that is not there (also behind a link whose target is not there
    // yet) and an empty regular file, which is one that was never made. Anything else is
    // never deleted, a device, a FIFO or a link to one least of all: opening it below says
    // what it is.
    std::error_code ec;
    const bool emptyFile =
        fs::is_regular_file(fs::symlink_status(file, ec)) && fs::file_size(file, ec) == 0 && !ec;
    if (emptyFile || !fs::exists(fs::status(file, ec))) {
        if (!dontAsk) {
            MessageResult answer = AskQuestion(
                ui, "The database " + path + " does not exist. Would you like to create it?",
                MessageButtons::YesNo, MessageResult::Yes);
            if (answer == MessageResult::No) return -1;
        }
        if (emptyFile) {
            if (!fs::remove(file, ec) || ec) {
                int number = ErrorNumberFromErrno(ec.value(), err::kPermissionDenied);
                ProblemReport(ui, "deleting the old file", ErrorResult::Make(number));
                return number;
            }
        }
        Database created;
        if (DbError error = created.Create(file, Database::kGeneralSortOrder, access);
            !error.Ok()) {
            ProblemReport(ui, "creating the new database", error);
            return error.number;
        }
        created.Close();
    }

    Database db;
    if (DbError error = db.Open(file); !error.Ok()) {
        ProblemReport(ui, "opening the database " + path, error);
        return error.number;
    }
    return EnsureDescriptionRow(ui, db, path, type, description);
}

namespace {

// The Description table with its fields and one row in an open database: 0, or the error
// number (reported). An empty description is asked for; the one stored comes back in it.
int EnsureDescriptionRow(UserInterface& ui, Database& db, const std::string& path, int32_t type,
                         std::string& description) {
    std::string table = DescriptionTableOf(db);
    if (table.empty()) {
        table = "Description";
        FieldDef title{"Description", FieldType::Text};
        if (DbError error = db.CreateTable(table, std::span<const FieldDef>(&title, 1));
            !error.Ok()) {
            ProblemReport(ui, "creating the Description Table", error);
            return error.number;
        }
    }
    const FieldDef wanted[] = {{"Description", FieldType::Text, 200},
                               {"Version", FieldType::Single},
                               {"Type", FieldType::Long}};
    for (const FieldDef& field : wanted) {
        DbError lookup = db.FindField(table, field.name);
        if (lookup.Ok()) continue;
        if (lookup.number == err::kItemNotFound) {
            if (DbError error = db.AddField(table, field); !error.Ok()) {
                ProblemReport(ui, "adding the " + field.name + " field", error);
                return error.number;
            }
            continue;
        }
        ProblemReport(ui, "checking the " + field.name + " field", lookup);
        return lookup.number;
    }

    TableCursor rows;
    if (DbError error = db.OpenTable(table, rows); !error.Ok()) {
        ProblemReport(ui, "opening the description information", error);
        return error.number;
    }
    if (rows.Eof()) {
        if (Trim(description).empty()) {
            InputBoxRequest request;
            request.prompt = "Please enter a suitable description for this database";
            request.defaultText = BaseNameOf(path);
            description = ui.InputBox(request).text;
        }
        if (Trim(description).empty()) description = "You have to have a title!";
        description = Trim(description);
        int descriptionIndex = rows.FieldIndex("Description");
        int width = rows.Fields()[descriptionIndex].TextWidth();
        // A title longer than the field is cut rather than losing the whole row; a memo field
        // (another program's table) takes it whole.
        std::string stored =
            width > 0 ? FirstCharacters(description, static_cast<size_t>(width)) : description;
        RowEdit row(rows, RowEdit::Start::AddNew);
        row.Set(descriptionIndex, stored)
            .Set("Type", type)
            .Set("Version", DescriptionVersionForType(type));
        if (DbError error = row.Store(); !error.Ok()) {
            ProblemReport(ui, "adding the description information", error);
            return error.number;
        }
        description = stored;
    }
    rows.Close();
    db.Close();
    return 0;
}

}  // namespace

int EnsureDatabase(UserInterface& ui, const DatabaseStore& store, const std::string& name,
                   int32_t type, bool dontAsk, std::string& description, FileAccess access) {
    if (!store.OnServer())
        return EnsureDatabaseFile(ui, store.Address(name), type, dontAsk, description, access);
    Database db;
    if (!store.Exists(name)) {
        if (!dontAsk &&
            AskQuestion(ui, "The database " + name + " does not exist. Would you like to create it?",
                        MessageButtons::YesNo, MessageResult::Yes) == MessageResult::No) {
            return -1;
        }
        if (DbError error = store.Create(name, db, access); !error.Ok()) {
            ProblemReport(ui, "creating the new database", error);
            return error.number;
        }
    } else if (DbError error = store.Open(name, db); !error.Ok()) {
        ProblemReport(ui, "opening the database " + name, error);
        return error.number;
    }
    return EnsureDescriptionRow(ui, db, name, type, description);
}

// ---------------------------------------------------------------------------------------------

DbError ReadDatabaseInfo(UserInterface& ui, const std::string& path, DatabaseInfo& info,
                         bool report) {
    // HOURS is another program's store beside the playout databases: it is never described,
    // and never reported either, since nobody asked for it by name.
    if (ToUpper(BaseNameOf(path)) == "HOURS")
        return DbError::Make(err::kUnrecognizedFormat, "HOURS is not a playout database");
    std::string file = ResolvePath(path);
    Database db;
    DbError error = db.Open(file);
    if (error.number == err::kUnrecognizedFormat) {
        // A damaged file is repaired once by compacting it; the original is kept as a backup.
        if (CompactDatabaseFile(ui, path, false, "", !report)) error = db.Open(file);
    }
    info = DatabaseInfo();
    if (!error.Ok()) {
        if (report) ProblemReport(ui, "opening the database to read it's information", error);
        return error;
    }
    return ReadOpenDatabaseInfo(ui, db, path, info, report);
}

DbError ReadDatabaseInfo(UserInterface& ui, const DatabaseStore& store, const std::string& name,
                         DatabaseInfo& info, bool report) {
    if (!store.OnServer()) return ReadDatabaseInfo(ui, store.Address(name), info, report);
    Database db;
    DbError error = store.Open(name, db);
    info = DatabaseInfo();
    if (!error.Ok()) {
        if (report) ProblemReport(ui, "opening the database to read it's information", error);
        return error;
    }
    error = ReadOpenDatabaseInfo(ui, db, name, info, report);
    info.Directory = store.Location();
    return error;
}

namespace {

DbError ReadOpenDatabaseInfo(UserInterface& ui, Database& db, const std::string& path,
                             DatabaseInfo& info, bool report) {
    DbError error;
    std::string table = DescriptionTableOf(db);
    TableCursor rows;
    error = table.empty() ? DbError::Make(err::kItemNotFound, "No Description table")
                          : db.OpenTable(table, rows);
    if (!error.Ok()) {
        if (report) ProblemReport(ui, "opening the description information in the database", error);
        return error;
    }
    info.EngineVersion = db.EngineVersion();
    auto fillPath = [&] {
        info.Path = path;
        info.FileName = FileNameOf(path);
        info.Directory = ParentDirectoryOf(path, false);
    };
    if (rows.Eof()) {
        if (report) {
            ShowError(ui,
                      "There was no Description information in the database.\n"
                      "Please contact Tressel Ltd.");
        }
        fillPath();
        return {};
    }

    DbValue value;
    if ((error = rows.GetField("Description", value)).Ok() && !value.IsNull()) {
        info.Description = value.AsText();
    }
    if (error.Ok() && (error = rows.GetField("Type", value)).Ok() && !value.IsNull()) {
        info.Type = static_cast<int32_t>(value.AsInteger());
    }
    if (error.Ok()) {
        // The fields other programs add are read as far as they exist.
        if (rows.GetField("Version", value).Ok() && !value.IsNull()) {
            info.Version = static_cast<float>(value.AsDouble());
        }
        if (rows.GetField("LastAccessed", value).Ok() && !value.IsNull()) {
            if (value.IsText()) {
                if (auto date = ParseDate(value.Text(), 2000)) info.LastAccessed = *date;
            } else {
                info.LastAccessed = value.AsDouble();
            }
        }
        if (rows.GetField("LastAccessedSoftware", value).Ok() && !value.IsNull()) {
            info.LastAccessedSoftware = value.AsText();
        }
        if (rows.GetField("LastBackup", value).Ok() && !value.IsNull()) {
            info.LastBackup = value.AsText();
        }
        fillPath();
        return {};
    }
    return error;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

DbValue GetDbSetting(TableCursor& settings, const std::string& key, const DbValue& defaultValue) {
    std::string item = FirstCharacters(key, ItemWidth(settings));
    if (!settings.Seek(SeekOp::Equal, item).Ok() || settings.NoMatch()) return defaultValue;
    DbValue value;
    if (!settings.GetField("Value", value).Ok()) return defaultValue;
    return value;
}

bool VariantEquals(const DbValue& a, const DbValue& b) {
    if (a.IsNull() || b.IsNull()) return false;
    if (IsNumberValue(a) && IsNumberValue(b)) return a.AsDouble() == b.AsDouble();
    if (a.IsText() && b.IsText()) return a.Text() == b.Text();
    const DbValue& number = IsNumberValue(a) ? a : b;
    const DbValue& text = IsNumberValue(a) ? b : a;
    auto parsed = ParseNumber(text.Text());
    return parsed && *parsed == number.AsDouble();
}

DbError SetDbSetting(UserInterface& ui, TableCursor& settings, const std::string& key,
                     const DbValue& value, const DbValue& defaultValue, bool quiet) {
    auto fail = [&](const std::string& task, const DbError& error) {
        ProblemReport(ui, task + key, error, quiet);
        return error;
    };
    if (VariantEquals(value, defaultValue)) {
        // The default is never stored: the key's row goes instead.
        if (DbError error = settings.Seek(SeekOp::Equal, key); !error.Ok()) {
            return fail("locating the database setting : ", error);
        }
        if (settings.NoMatch()) return {};
        if (DbError error = settings.Delete(); !error.Ok())
            return fail("clearing the database setting : ", error);
        // The row is gone; where the cursor rests afterwards is no part of the outcome.
        if (!settings.Eof()) static_cast<void>(settings.MoveNext());
        return {};
    }

    std::string item = FirstCharacters(key, ItemWidth(settings));
    if (DbError error = settings.Seek(SeekOp::Equal, item); !error.Ok()) {
        return fail("locating the database setting : ", error);
    }
    const bool adding = settings.NoMatch();
    RowEdit row(settings, adding ? RowEdit::Start::AddNew : RowEdit::Start::Edit);
    if (!row.Error().Ok()) {
        return fail(
            adding ? "starting to add a new setting : " : "starting to edit an existing setting : ",
            row.Error());
    }
    if (adding && !row.Set("Item", item).Error().Ok()) {
        return fail("setting the item name for a new setting : ", row.Error());
    }
    if (!row.Set("Value", value).Error().Ok())
        return fail("setting the value for a setting : ", row.Error());
    if (DbError error = row.Store(); !error.Ok())
        return fail("updating the database setting : ", error);
    return {};
}

// ---------------------------------------------------------------------------------------------

std::string FreeBackupName(const std::string& path) {
    std::string directory = ParentDirectoryOf(path, false);
    std::string stem = StripExtension(FileNameOf(path));
    for (int counter = 1; counter <= 9999; ++counter) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "-%04d.BAK", counter);
        std::string candidate = JoinPath(directory, stem + suffix);
        if (!PathExists(candidate)) return candidate;
    }
    return "";
}

bool CompactDatabaseFile(UserInterface& ui, const std::string& path, bool fileDialog,
                         const std::string& startDirectory, bool silent) {
    std::string chosen = path;
    if (chosen.empty()) {
        if (!fileDialog) return false;
        FileDialogRequest request;
        request.title = "Select Database to Compact";
        request.filter = "Databases|*.MDB";
        request.initialDirectory = startDirectory.empty() ? "" : JoinPath(startDirectory, "") + "/";
        request.defaultName = "*.MDB";
        auto answer = ui.ChooseOpenFile(request);
        if (!answer || FileLength(*answer) <= 0) return false;
        chosen = *answer;
    }
    if (!silent) {
        MessageResult answer = AskQuestion(
            ui,
            "Warning : The database must be closed on all computers before you can "
            "Compact/Repair it!\nYou should ensure that you have a backup of the database "
            "before proceeding\nAre you sure you want to continue compacting/repairing:\n\n\t" +
                chosen,
            MessageButtons::YesNo, MessageResult::No, "Compact/Repair Database");
        if (answer != MessageResult::Yes) return false;
    }

    std::string file = ResolvePath(chosen);
    std::string temporary = TempFileName(ui, ParentDirectoryOf(file, false), "MDB");
    if (temporary.empty()) return false;
    const std::string task = "Compacting/Repairing the database: " + Trim(chosen);
    DbError error;
    {
        HourglassGuard hourglass(ui);
        error = Database::CompactFile(file, temporary);
    }
    std::error_code ec;
    if (!error.Ok()) {
        fs::remove(temporary, ec);
        ProblemReport(ui, task, error, silent);
        return false;
    }

    // The old file takes its backup name only now that the compacted copy exists, and comes
    // back if the copy cannot take its place.
    std::string backup = FreeBackupName(file);
    if (backup.empty()) {
        fs::remove(temporary, ec);
        ProblemReport(ui, task, ErrorResult::Make(err::kFileAlreadyExists), silent);
        return false;
    }
    if (DbError swapped = SwapInCompactedFile(file, temporary, backup); !swapped.Ok()) {
        ProblemReport(ui, task, swapped, silent);
        return false;
    }
    if (!silent) {
        ShowInformation(ui,
                        "Your Database has been successfully Compacted/Repaired and the old "
                        "version saved in a new file with a '.BAK' extension");
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

bool EditDatabaseDescription(UserInterface& ui, const std::string& path,
                             const std::string& newDescription) {
    if (path.empty() || newDescription.empty()) return false;
    if (FileLength(ResolvePath(path)) <= 0) return false;
    return StoreDatabaseDescription(ui, path, newDescription) == 0;
}

int StoreDatabaseDescription(UserInterface& ui, const std::string& path, const std::string& text) {
    Database db;
    DbError error = db.Open(ResolvePath(path));
    return StoreDescriptionIn(ui, db, error, text);
}

int StoreDatabaseDescription(UserInterface& ui, const DatabaseStore& store,
                             const std::string& name, const std::string& text) {
    Database db;
    DbError error = store.Open(name, db);
    return StoreDescriptionIn(ui, db, error, text);
}

bool EditDatabaseDescription(UserInterface& ui, const DatabaseStore& store,
                             const std::string& name, const std::string& newDescription) {
    if (name.empty() || newDescription.empty() || !store.Exists(name)) return false;
    return StoreDatabaseDescription(ui, store, name, newDescription) == 0;
}

namespace {

// The title in the first row of the Description table of a database just opened (error is
// the opening's outcome): 0, or the error number (reported).
int StoreDescriptionIn(UserInterface& ui, Database& db, DbError error, const std::string& text) {
    std::string table;
    TableCursor rows;
    if (error.Ok()) {
        table = DescriptionTableOf(db);
        error = table.empty() ? DbError::Make(err::kItemNotFound, "No Description table")
                              : db.OpenTable(table, rows);
    }
    if (!error.Ok()) {
        ProblemReport(ui, "opening the database", error);
        return error.number;
    }
    int index = rows.FieldIndex("Description");
    if (index < 0) {
        error = DbError::Make(err::kItemNotFound, "No Description field");
    } else {
        int width = rows.Fields()[index].TextWidth();
        if (width <= 0) width = kDefaultTextWidth;
        RowEdit row(rows, RowEdit::Start::Edit);
        error = row.Set(index, FirstCharacters(text, width)).Store();
    }
    if (!error.Ok()) {
        ProblemReport(ui, " editing the details", error);
        return error.number;
    }
    return 0;
}

}  // namespace

}  // namespace vantor
