#pragma once
// The database server backend lives in a module of its own (it brings the server's client
// library and everything behind it: TLS, Kerberos, LDAP), loaded the first time a server is
// used. A station on files never loads it and never pays for it.
//
// The module hands the engine one table of entry points; the engine and the module are built
// together, so the table's shape is the same on both sides.

#include <memory>
#include <string>

#include "dbengine/db_error.h"

namespace vantor {

class DatabaseStore;

namespace engine_detail {

class DatabaseBackend;

struct ServerModule {
    // Connects to the server of conninfo and opens (create false) or makes (create true) the
    // database kept there under this file name.
    DbError (*openDatabase)(const std::string& conninfo, const std::string& fileName, bool create,
                            std::unique_ptr<DatabaseBackend>& result);
    std::unique_ptr<DatabaseStore> (*makeStore)(const std::string& conninfo);
    bool (*conninfoHasPassword)(const std::string& conninfo);
    std::string (*conninfoWithoutPassword)(const std::string& conninfo);
};

// The name the module exports its table under; it changes whenever the table does, so that a
// module of another build is refused rather than called wrongly.
inline constexpr const char* kServerModuleEntry = "vantor_server_module_v1";

// The module's file: VANTOR_POSTGRES_MODULE when set; else where an installation puts it
// (lib/vantor-logimport beside the program's bin directory) when it is there; else where this
// build tree made it.
std::string ServerModulePath();

// The loaded module (loaded on the first call and kept for the rest of the run); 3051 naming
// the module and the loader's reason when it cannot be loaded.
[[nodiscard]] DbError LoadServerModule(const ServerModule*& module);

}  // namespace engine_detail
}  // namespace vantor
