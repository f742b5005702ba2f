#pragma once
// Table layouts kept as data, and the one routine that brings a table up to date with its
// layout: it creates what is missing and never removes or changes what is there, so that a
// database written by a newer or older program of the family keeps working with both.

#include <string>
#include <vector>

#include "common/user_interface.h"
#include "dbengine/engine.h"

namespace vantor {

// A table's layout: its name, its fields in order, and its indexes; the first index is the
// primary key (and unique), the others are neither.
// How the report of an index that could not be added names the index: the playout tables say
// "adding the index Main to the Log table", the Settings table quotes the name ("adding the
// index 'Main' to the Settings table"), and the users tables join it to the words ("adding the
// indexMain to the Users table").
enum class IndexTaskStyle { Plain, Quoted, Joined };

struct TableLayout {
    std::string name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;  // `primary`/`unique` are derived from the position
    IndexTaskStyle indexTaskStyle = IndexTaskStyle::Plain;
};

// Success when the table, all its fields and indexes exist afterwards; otherwise the error of
// the step that failed, after a report naming the task. A failed index is reported and skipped.
DbError EnsureTable(UserInterface& ui, Database& db, const TableLayout& layout);

// The Settings table of every database of the family (items and their values).
const TableLayout& SettingsTableLayout();
DbError EnsureSettingsTable(UserInterface& ui, Database& db);

}  // namespace vantor
