#pragma once
// The tables of a playout database, as layouts, and the check that brings a file up to date.

#include <string>

#include "dbengine/schema.h"

namespace vantor {

// The tables of a playout database (the Settings table every database of the family has is
// in dbengine/schema).
const TableLayout& LogTableLayout();
const TableLayout& SongsTableLayout();
const TableLayout& JinglesTableLayout();
const TableLayout& ScheduleTableLayout();

long EnsureLogTable(UserInterface& ui, Database& db);
long EnsureSongsTable(UserInterface& ui, Database& db);
long EnsureJinglesTable(UserInterface& ui, Database& db);
long EnsureScheduleTable(UserInterface& ui, Database& db);

// Opens the database at path and ensures the five tables in the order Log, Settings, Songs,
// Jingles, Schedule; 0 on success, else the error number (the first failure stops it).
long VerifyPlayoutDatabase(UserInterface& ui, const std::string& path);
// The same for a database that is open already (a file, or a database on a server).
long VerifyPlayoutDatabase(UserInterface& ui, Database& db);

}  // namespace vantor
