#include "headless/file_locations_setup.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "common/paths.h"
#include "common/profile.h"
#include "common/text.h"
#include "config/file_locations_model.h"
#include "config/startup.h"
#include "importer/exit_status.h"
#include "headless/launch_options.h"
#include "session/session.h"
#include "session/dialogs.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

constexpr const char* kSection = "FileLocations";

struct GivenDirectory {
    const char* what;
    std::string directory;
};

// A scheduler or a service starts the program in a directory of its own choosing, so a
// relative directory is stored as the absolute one it means now.
std::string AbsoluteDirectory(const std::string& text) {
    const fs::path given(NativePath(Trim(text)));
    std::error_code ec;
    fs::path absolute = fs::absolute(given, ec);
    if (ec) absolute = given;
    std::string directory = absolute.lexically_normal().string();
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

// Why the directory can neither be found nor made; empty when it exists or can be made.
std::string WhyNotCreatable(const std::string& directory) {
    const fs::path target(ResolvePath(directory));
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (fs::is_directory(target, ec)) return std::string();
        return target.string() + " is a file, not a directory";
    }
    fs::path existing = target.parent_path();
    while (existing.has_relative_path() && !fs::exists(existing, ec))
        existing = existing.parent_path();
    if (!fs::is_directory(existing, ec)) return existing.string() + " is a file, not a directory";
    if (access(existing.c_str(), W_OK | X_OK) != 0)
        return "no permission to create a directory in " + existing.string();
    return std::string();
}

// Makes the directory in the spelling it was given (the part that exists keeps its own); the
// window then stores the location as it exists on disk.
std::string Create(const std::string& directory) {
    std::error_code ec;
    fs::create_directories(ResolvePath(directory), ec);
    if (IsDirectory(directory)) return std::string();
    return ec ? ec.message() : "it is not a directory";
}

}  // namespace

int SetUpFileLocations(Session& session, const LaunchOptions& options) {
    UserInterface& ui = session.ui;
    SystemLocations& locations = session.locations;
    if (!ReadInstallationSettings(locations, session.audiowall, ui, session.dialogs, session.clock,
                                  options.command))
        return exit_status::kStartupEnded;
    if (Trim(locations.ConfigFile).empty()) {
        ShowError(ui,
                  "/LI: names no configuration file, so the locations could be stored nowhere; "
                  "name one with /LI:FILE");
        return exit_status::kStopped;
    }

    std::optional<std::string> dataLocation, cartDirectory;
    std::vector<GivenDirectory> given;
    if (options.dataLocation) {
        dataLocation = AbsoluteDirectory(*options.dataLocation);
        given.push_back({"data location", *dataLocation});
    }
    if (options.cartDirectory) {
        cartDirectory = AbsoluteDirectory(*options.cartDirectory);
        given.push_back({"cart directory", *cartDirectory});
    }
    // Every directory is checked before any is made or anything is stored.
    for (const GivenDirectory& g : given) {
        if (std::string why = WhyNotCreatable(g.directory); !why.empty()) {
            ShowError(ui, std::string("the ") + g.what + " " + g.directory +
                              " does not exist and cannot be created: " + why);
            return exit_status::kStopped;
        }
    }
    for (const GivenDirectory& g : given) {
        if (std::string why = Create(g.directory); !why.empty()) {
            ShowError(ui, std::string("the ") + g.what + " " + g.directory +
                              " could not be created: " + why);
            return exit_status::kStopped;
        }
    }

    // What a person does in the window: the stored values are shown, the given ones typed
    // over them (one directory for every cart), then OK.
    FileLocationsModel window(locations, session.audiowall, ui);
    window.Open();
    if (dataLocation) window.SetDataLocation(*dataLocation);
    if (cartDirectory) {
        window.SetUseOneCartLocation(true);
        window.SetCartLocation(1, *cartDirectory);
    }
    window.OK();

    // The window does not report a write to the configuration file that failed; a set-up
    // that could not store its locations must not end as if it had.
    const std::string file = ProfilePath(locations.ConfigFile);
    constexpr const char* kMissing = "\x01";
    const std::string carts1 = session.audiowall.Parts[1].Directory;
    if (GetProfileString(locations.ConfigFile, kSection, "Data", kMissing) !=
            locations.DataLocation ||
        GetProfileString(locations.ConfigFile, kSection, "Carts1", kMissing) != carts1) {
        ShowError(ui, "the file locations could not be written to " + file);
        return exit_status::kWorkFailed;
    }
    std::cout << "stored in " << file << ":\n"
              << "data location: " << locations.DataLocation << "\n";
    if (cartDirectory) std::cout << "cart directory: " << carts1 << "\n";
    return exit_status::kDone;
}

}  // namespace vantor
