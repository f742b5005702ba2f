// The one entry point of the server module: the table the engine calls the backend through.

#include "dbengine/postgres/pg_internal.h"
#include "dbengine/server_module.h"

namespace vantor::engine_detail {

namespace {

DbError OpenServerDatabase(const std::string& conninfo, const std::string& fileName, bool create,
                           std::unique_ptr<DatabaseBackend>& result) {
    auto backend = std::make_unique<PgDatabase>();
    DbError error = create ? backend->Create(conninfo, fileName) : backend->Open(conninfo, fileName);
    if (error.Ok()) result = std::move(backend);
    return error;
}

constexpr ServerModule kModule{OpenServerDatabase, PgMakeServerStore, PgConninfoHasPassword,
                               PgConninfoWithoutPassword};

}  // namespace

}  // namespace vantor::engine_detail

extern "C" __attribute__((visibility("default"))) const vantor::engine_detail::ServerModule*
vantor_server_module_v1() {
    return &vantor::engine_detail::kModule;
}
