// The layouts of the five tables of a playout database.

#include "playoutdb/playout_tables.h"

#include "common/paths.h"
#include "common/problem_report.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

FieldDef Field(const char* name, FieldType type, int size = 0) {
    return FieldDef{name, type, size};
}

}  // namespace

const TableLayout& LogTableLayout() {
    static const TableLayout layout = [] {
        TableLayout log;
        log.name = "Log";
        for (const LogEntryColumn& column : LogEntry::Columns()) {
            log.fields.push_back(
                FieldDef{std::string(column.name), column.type, column.size});
        }
        log.indexes = {{"Main", {"QIndex"}}};
        return log;
    }();
    return layout;
}

namespace {

void AddHourRestrictions(std::vector<FieldDef>& fields) {
    for (int day = 1; day <= 7; ++day) {
        fields.push_back(
            FieldDef{"HourRestrictions" + std::to_string(day), FieldType::Text, 24});
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

DbError EnsureLogTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, LogTableLayout());
}
DbError EnsureSongsTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, SongsTableLayout());
}
DbError EnsureJinglesTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, JinglesTableLayout());
}
DbError EnsureScheduleTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, ScheduleTableLayout());
}

DbError VerifyPlayoutDatabase(UserInterface& ui, const std::string& path) {
    const FileInStore file = FileStoreOf(path);
    return VerifyPlayoutDatabase(ui, *file.store, file.name);
}

DbError VerifyPlayoutDatabase(UserInterface& ui, const DatabaseStore& store,
                              const std::string& name) {
    Database db;
    if (DbError error = store.Open(name, db); !error.Ok()) {
        ProblemReport(ui, "opening the database", error);
        return error;
    }
    return VerifyPlayoutDatabase(ui, db);
}

DbError VerifyPlayoutDatabase(UserInterface& ui, Database& db) {
    for (auto ensure : {EnsureLogTable, EnsureSettingsTable, EnsureSongsTable, EnsureJinglesTable,
                        EnsureScheduleTable}) {
        if (DbError result = ensure(ui, db); !result.Ok()) return result;
    }
    return {};
}

}  // namespace vantor
