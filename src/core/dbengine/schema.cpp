#include "dbengine/schema.h"

#include "common/paths.h"
#include "common/problem_report.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

FieldDef Field(const char* name, FieldType type, int size = 0) {
    return FieldDef{name, type, size, 0, true};
}

std::string IndexTask(const TableLayout& layout, const std::string& index) {
    switch (layout.indexTaskStyle) {
        case IndexTaskStyle::Quoted:
            return "adding the index '" + index + "' to the " + layout.name + " table";
        case IndexTaskStyle::Joined:
            return "adding the index" + index + " to the " + layout.name + " table";
        case IndexTaskStyle::Plain:
            break;
    }
    return "adding the index " + index + " to the " + layout.name + " table";
}

}  // namespace

namespace {
long EnsureTableSteps(UserInterface& ui, Database& db, const TableLayout& layout);
}  // namespace

long EnsureTable(UserInterface& ui, Database& db, const TableLayout& layout) {
    if (layout.fields.empty()) return 0;
    // One transaction for all the changes of a table saves a disk flush per field. It is
    // committed whatever happens: what was added before a failing step stays, as it would
    // step by step.
    bool grouped = db.BeginTrans().Ok();
    long result = EnsureTableSteps(ui, db, layout);
    if (!grouped) return result;
    if (DbError error = db.CommitTrans()) {
        // Nothing of the table's changes reached the file: the caller must not go on as if
        // the table were complete.
        db.Rollback();
        if (result != 0) return result;  // that failure was already reported
        ProblemReport(ui, "updating the " + layout.name + " Table", error.number, false,
                      error.description);
        return error.number;
    }
    return result;
}

namespace {

long EnsureTableSteps(UserInterface& ui, Database& db, const TableLayout& layout) {
    if (db.FindTable(layout.name)) {
        FieldDef first = layout.fields.front();
        if (DbError error = db.CreateTable(layout.name, std::span<const FieldDef>(&first, 1))) {
            ProblemReport(ui, "creating the " + layout.name + " Table", error.number, false,
                          error.description);
            return error.number;
        }
    }

    for (const FieldDef& field : layout.fields) {
        DbError lookup = db.FindField(layout.name, field.name);
        if (lookup.Ok()) continue;
        if (lookup.number == dberr::kItemNotFound) {
            if (DbError error = db.AddField(layout.name, field)) {
                ProblemReport(ui, "adding the " + field.name + " field", error.number, false,
                              error.description);
                return error.number;
            }
            continue;
        }
        ProblemReport(ui, "checking the " + field.name + " field", lookup.number, false,
                      lookup.description);
        return lookup.number;
    }

    for (size_t i = 0; i < layout.indexes.size(); ++i) {
        IndexDef index = layout.indexes[i];
        DbError lookup = db.FindIndex(layout.name, index.name);
        if (lookup.number != dberr::kItemNotFound) continue;  // there, or not knowable
        index.primary = index.unique = (i == 0);
        if (DbError error = db.AddIndex(layout.name, index)) {
            // A table without one of its indexes still works; the operator is told.
            ProblemReport(ui, IndexTask(layout, index.name), error.number, false,
                          error.description);
        }
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The playout tables

const TableLayout& LogTableLayout() {
    static const TableLayout layout = [] {
        TableLayout log;
        log.name = "Log";
        for (const LogEntryColumn& column : LogEntry::Columns()) {
            log.fields.push_back(
                FieldDef{std::string(column.name), column.type, column.size, 0, true});
        }
        log.indexes = {{"Main", {"QIndex"}}};
        return log;
    }();
    return layout;
}

const TableLayout& SettingsTableLayout() {
    static const TableLayout layout{
        "Settings",
        {Field("Item", FieldType::Text), Field("Value", FieldType::Memo)},
        {{"Main", {"Item"}}},
        IndexTaskStyle::Quoted};
    return layout;
}

namespace {

void AddHourRestrictions(std::vector<FieldDef>& fields) {
    for (int day = 1; day <= 7; ++day) {
        fields.push_back(
            FieldDef{"HourRestrictions" + std::to_string(day), FieldType::Text, 24, 0, true});
    }
}

}  // namespace

const TableLayout& SongsTableLayout() {
    static const TableLayout layout = [] {
        TableLayout songs;
        songs.name = "Songs";
        songs.fields = {
            Field("SongNumber", FieldType::Long),     Field("Media", FieldType::Text, 50),
            Field("ItemNumber", FieldType::Long),     Field("TrackNumber", FieldType::Short),
            Field("AlbumTitle", FieldType::Text, 50), Field("SongTitle", FieldType::Text, 50),
            Field("Artist1", FieldType::Text, 50),    Field("Artist2", FieldType::Text, 50),
            Field("Artist3", FieldType::Text, 50),    Field("OtherArtists", FieldType::Memo),
            Field("BPM", FieldType::Short),           Field("HDReference", FieldType::Text),
            Field("Category", FieldType::Text, 50),   Field("Gender", FieldType::Text, 50),
            Field("SongType", FieldType::Text, 50),   Field("SongNotes", FieldType::Memo),
            Field("WebNotes", FieldType::Memo)};
        AddHourRestrictions(songs.fields);
        for (const FieldDef& field :
             {Field("Year", FieldType::Short), Field("EndingType", FieldType::Short),
              Field("Styles", FieldType::Text, 64), Field("OtherLocations", FieldType::Memo),
              Field("RecordingNumber", FieldType::Text, 50),
              Field("RecordLabel", FieldType::Text, 50), Field("Composer", FieldType::Text, 50),
              Field("Publisher", FieldType::Text, 50), Field("Promoter", FieldType::Text, 50),
              Field("Length", FieldType::Single), Field("IntroStart", FieldType::Single),
              Field("IntroEnd", FieldType::Single), Field("Extro", FieldType::Single)}) {
            songs.fields.push_back(field);
        }
        songs.indexes = {{"Main", {"SongNumber"}},
                         {"MIT", {"Media", "ItemNumber", "TrackNumber"}},
                         {"HDReference", {"HDReference"}}};
        return songs;
    }();
    return layout;
}

const TableLayout& JinglesTableLayout() {
    static const TableLayout layout = [] {
        TableLayout jingles;
        jingles.name = "Jingles";
        jingles.fields = {Field("JingleNumber", FieldType::Long),
                          Field("Media", FieldType::Text, 50),
                          Field("ItemNumber", FieldType::Long),
                          Field("TrackNumber", FieldType::Short),
                          Field("JingleTitle", FieldType::Text, 50),
                          Field("OtherInformation", FieldType::Memo),
                          Field("BPM", FieldType::Short),
                          Field("HDReference", FieldType::Text, 12),
                          Field("Category", FieldType::Text, 50),
                          Field("Gender", FieldType::Text, 50),
                          Field("JingleType", FieldType::Text, 50),
                          Field("IsSweeper", FieldType::Boolean),
                          Field("JingleNotes", FieldType::Memo),
                          Field("WebNotes", FieldType::Memo)};
        AddHourRestrictions(jingles.fields);
        for (const FieldDef& field :
             {Field("StartDate", FieldType::DateTime), Field("EndDate", FieldType::DateTime),
              Field("Year", FieldType::Short), Field("EndingType", FieldType::Short),
              Field("OtherLocations", FieldType::Memo), Field("MusicTitle", FieldType::Text, 100),
              Field("ProductTitle", FieldType::Text, 100), Field("Performer", FieldType::Text, 100),
              Field("RecordingNumber", FieldType::Text, 50),
              Field("RecordLabel", FieldType::Text, 50), Field("Composer", FieldType::Text, 50),
              Field("Publisher", FieldType::Text, 50), Field("Promoter", FieldType::Text, 50),
              Field("Length", FieldType::Single), Field("IntroStart", FieldType::Single),
              Field("IntroEnd", FieldType::Single), Field("Extro", FieldType::Single)}) {
            jingles.fields.push_back(field);
        }
        jingles.indexes = {{"Main", {"JingleNumber"}},
                           {"MIT", {"Media", "ItemNumber", "TrackNumber"}},
                           {"HDReference", {"HDReference"}}};
        return jingles;
    }();
    return layout;
}

const TableLayout& ScheduleTableLayout() {
    static const TableLayout layout{
        "Schedule",
        {Field("HourNumber", FieldType::Short), Field("HourReference", FieldType::Text, 8),
         Field("ShowTitle", FieldType::Text, 50), Field("PlayoutMode", FieldType::Short),
         Field("RunToTime", FieldType::Boolean), Field("Notes", FieldType::Memo)},
        {{"Main", {"HourNumber"}}}};
    return layout;
}

long EnsureLogTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, LogTableLayout());
}
long EnsureSettingsTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, SettingsTableLayout());
}
long EnsureSongsTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, SongsTableLayout());
}
long EnsureJinglesTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, JinglesTableLayout());
}
long EnsureScheduleTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, ScheduleTableLayout());
}

long VerifyPlayoutDatabase(UserInterface& ui, const std::string& path) {
    Database db;
    if (DbError error = db.Open(ResolvePath(path))) {
        ProblemReport(ui, "opening the database", error.number, false, error.description);
        return error.number;
    }
    for (auto ensure : {EnsureLogTable, EnsureSettingsTable, EnsureSongsTable, EnsureJinglesTable,
                        EnsureScheduleTable}) {
        if (long result = ensure(ui, db); result != 0) return result;
    }
    db.Close();
    return 0;
}

}  // namespace vantor
