// Finding and loading the database server module, and the store functions that hand over to
// it. Nothing here touches the server's client library: only the module links it.

#include "dbengine/server_module.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "common/text.h"
#include "dbengine/database_store.h"

namespace vantor {

namespace engine_detail {

namespace {

namespace fs = std::filesystem;

constexpr const char* kModuleFile = "vantor-postgres.so";
constexpr const char* kInstalledModuleSubdirectory = "lib/vantor-logimport";

}  // namespace

std::string ServerModulePath() {
    if (const char* path = std::getenv("VANTOR_POSTGRES_MODULE"); path && *path) return path;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.parent_path().filename() == "bin") {
        const fs::path installed =
            exe.parent_path().parent_path() / kInstalledModuleSubdirectory / kModuleFile;
        if (fs::is_regular_file(installed, ec)) return installed.string();
    }
    return VANTOR_POSTGRES_MODULE_BUILT;
}

DbError LoadServerModule(const ServerModule*& module) {
    // Loaded once and never unloaded: backends and stores made by it may live until the end.
    static std::mutex mutex;
    static const ServerModule* loaded = nullptr;
    std::lock_guard lock(mutex);
    if (!loaded) {
        const std::string path = ServerModulePath();
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = handle ? ::dlsym(handle, kServerModuleEntry) : nullptr;
        if (!entry) {
            const char* reason = ::dlerror();
            if (handle) ::dlclose(handle);
            module = nullptr;
            // The loader's reason is the message: the standard text of 3051 would hide it.
            DbError error;
            error.number = err::kCannotOpenFile;
            error.description = "The database server support could not be loaded from " + path +
                                ": " + (reason ? reason : "unknown reason");
            return error;
        }
        loaded = reinterpret_cast<const ServerModule* (*)()>(entry)();
    }
    module = loaded;
    return {};
}

namespace {

// A server store when the module cannot be loaded: every use fails with the reason, so the
// station sees why its server cannot be reached rather than an empty list.
class UnavailableServerStore final : public DatabaseStore {
  public:
    UnavailableServerStore(std::string conninfo, DbError error)
        : conninfo_(std::move(conninfo)), error_(std::move(error)) {}

    std::string Location() const override {
        return conninfo_.empty() ? "server" : "server " + conninfo_;
    }
    bool OnServer() const override { return true; }
    std::vector<std::string> List() const override { return {}; }
    std::string Address(const std::string& name) const override { return name; }
    DbError Prepare() const override { return error_; }
    bool Exists(const std::string&) const override { return false; }
    DbError Open(const std::string&, Database&) const override { return error_; }
    DbError OpenReadOnly(const std::string&, Database&) const override { return error_; }
    DbError Create(const std::string&, Database&, FileAccess) const override { return error_; }
    DbError Copy(const std::string&, const std::string&) const override { return error_; }
    DbError Rename(const std::string&, const std::string&) const override { return error_; }
    DbError Remove(const std::string&) const override { return error_; }
    bool IsInUse(const std::string&) const override { return false; }
    DbError Compact(const std::string&, const std::string&) const override { return error_; }

  private:
    std::string conninfo_;
    DbError error_;
};

}  // namespace

}  // namespace engine_detail

std::unique_ptr<DatabaseStore> MakeServerStore(const std::string& conninfo) {
    const engine_detail::ServerModule* module = nullptr;
    if (DbError error = engine_detail::LoadServerModule(module); !error.Ok()) {
        // Messages name the server by its connection string, never by a password in it.
        return std::make_unique<engine_detail::UnavailableServerStore>(
            ConninfoHasPassword(conninfo) ? std::string() : conninfo, std::move(error));
    }
    return module->makeStore(conninfo);
}

bool ConninfoHasPassword(const std::string& conninfo) {
    const engine_detail::ServerModule* module = nullptr;
    if (engine_detail::LoadServerModule(module).Ok()) return module->conninfoHasPassword(conninfo);
    // Without the client library to read the string, any mention of a password counts: a
    // password must never be written to a settings file for want of a parser.
    return FindNoCase(conninfo, "password") != std::string::npos;
}

std::string ConninfoWithoutPassword(const std::string& conninfo) {
    const engine_detail::ServerModule* module = nullptr;
    if (engine_detail::LoadServerModule(module).Ok())
        return module->conninfoWithoutPassword(conninfo);
    // Kept whole: the server stays named (and fails to open with the reason) rather than the
    // station silently falling back to files.
    return conninfo;
}

}  // namespace vantor
