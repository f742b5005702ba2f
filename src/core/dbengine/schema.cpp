#include "dbengine/schema.h"

#include "common/paths.h"
#include "common/problem_report.h"

namespace vantor {

namespace {

FieldDef Field(const char* name, FieldType type, int size = 0) {
    return FieldDef{name, type, size};
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
DbError EnsureTableSteps(UserInterface& ui, Database& db, const TableLayout& layout);
}  // namespace

DbError EnsureTable(UserInterface& ui, Database& db, const TableLayout& layout) {
    if (layout.fields.empty()) return {};
    // One transaction for all the changes of a table saves a disk flush per field. It is
    // committed whatever happens: what was added before a failing step stays, as it would
    // step by step.
    const DbError begun = db.BeginTrans();
    if (begun.number == err::kCouldNotLock || begun.number == err::kLockedByOtherSession) {
        // Another program held the write lock through the whole busy timeout. Going on
        // without the transaction would wait the timeout out again at every change, in
        // silence, and a start-up of several tables would seem to hang.
        ProblemReport(ui, "checking the " + layout.name + " Table", begun);
        return begun;
    }
    const bool grouped = begun.Ok();
    DbError result = EnsureTableSteps(ui, db, layout);
    if (!grouped) return result;
    if (DbError error = db.CommitTrans(); !error.Ok()) {
        // Nothing of the table's changes reached the file: the caller must not go on as if
        // the table were complete. The commit's failure is the one reported.
        static_cast<void>(db.Rollback());
        if (!result.Ok()) return result;  // that failure was already reported
        ProblemReport(ui, "updating the " + layout.name + " Table", error);
        return error;
    }
    return result;
}

namespace {

DbError EnsureTableSteps(UserInterface& ui, Database& db, const TableLayout& layout) {
    if (DbError lookup = db.FindTable(layout.name); !lookup.Ok()) {
        // Only a missing table is made; a view or another object in its place is reported.
        if (lookup.number != err::kItemNotFound) {
            ProblemReport(ui, "checking the " + layout.name + " Table", lookup);
            return lookup;
        }
        FieldDef first = layout.fields.front();
        if (DbError error = db.CreateTable(layout.name, std::span<const FieldDef>(&first, 1));
            !error.Ok()) {
            ProblemReport(ui, "creating the " + layout.name + " Table", error);
            return error;
        }
    }

    for (const FieldDef& field : layout.fields) {
        DbError lookup = db.FindField(layout.name, field.name);
        if (lookup.Ok()) continue;
        if (lookup.number == err::kItemNotFound) {
            if (DbError error = db.AddField(layout.name, field); !error.Ok()) {
                ProblemReport(ui, "adding the " + field.name + " field", error);
                return error;
            }
            continue;
        }
        ProblemReport(ui, "checking the " + field.name + " field", lookup);
        return lookup;
    }

    for (size_t i = 0; i < layout.indexes.size(); ++i) {
        IndexDef index = layout.indexes[i];
        DbError lookup = db.FindIndex(layout.name, index.name);
        if (lookup.number != err::kItemNotFound) continue;  // there, or not knowable
        index.primary = index.unique = (i == 0);
        if (DbError error = db.AddIndex(layout.name, index); !error.Ok()) {
            // A table without one of its indexes still works; the operator is told.
            ProblemReport(ui, IndexTask(layout, index.name), error);
        }
    }
    return {};
}

}  // namespace

// The Settings table every database of the family has.
const TableLayout& SettingsTableLayout() {
    static const TableLayout layout{
        "Settings",
        {Field("Item", FieldType::Text), Field("Value", FieldType::Memo)},
        {{"Main", {"Item"}}},
        IndexTaskStyle::Quoted};
    return layout;
}

DbError EnsureSettingsTable(UserInterface& ui, Database& db) {
    return EnsureTable(ui, db, SettingsTableLayout());
}

}  // namespace vantor
