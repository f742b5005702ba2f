#pragma once
// The tables of a playout database, as layouts, and the check that brings a file up to date.

#include <string>

#include "dbengine/database_store.h"
#include "dbengine/schema.h"

namespace vantor {

// The tables of a playout database (the Settings table every database of the family has is
// in dbengine/schema).
const TableLayout& LogTableLayout();
const TableLayout& SongsTableLayout();
const TableLayout& JinglesTableLayout();
const TableLayout& ScheduleTableLayout();

DbError EnsureLogTable(UserInterface& ui, Database& db);
DbError EnsureSongsTable(UserInterface& ui, Database& db);
DbError EnsureJinglesTable(UserInterface& ui, Database& db);
DbError EnsureScheduleTable(UserInterface& ui, Database& db);

// Opens the database at path and ensures the five tables in the order Log, Settings, Songs,
// Jingles, Schedule; the first failure (already reported) stops it and is returned.
DbError VerifyPlayoutDatabase(UserInterface& ui, const std::string& path);
// The same for the database name of a store.
DbError VerifyPlayoutDatabase(UserInterface& ui, const DatabaseStore& store,
                              const std::string& name);
// The same for a database that is open already (a file, or a database on a server).
DbError VerifyPlayoutDatabase(UserInterface& ui, Database& db);

}  // namespace vantor
