#include "common/splash_text.h"

namespace vantor {

std::string VersionLine() {
    return "Version " + std::to_string(VANTOR_VERSION_MAJOR) + "." +
           std::to_string(VANTOR_VERSION_MINOR) + "." + std::to_string(VANTOR_VERSION_PATCH);
}

std::string PlatformLine(const OsVersion& version) {
    const std::string dotted = std::to_string(version.major) + "." + std::to_string(version.minor);
    std::string line;
    if (!version.systemName.empty() && version.systemName.rfind("Windows", 0) != 0) {
        line = version.systemName + " v" + dotted;
    } else if (version.platformId == OsVersion::kPlatformWindows9x) {
        line = version.minor == 0 ? "Windows 95" : "Windows 98";
    } else if (version.major == 3) {
        line = "Windows NT v3." + std::to_string(version.minor);
    } else if (version.major == 5) {
        line = version.minor == 0 ? "Windows 2000" : "Windows XP/2003";
    } else {
        line = "Windows NT v" + dotted;
    }
    if (!version.servicePack.empty()) line += " (" + version.servicePack + ")";
    return line;
}

}  // namespace vantor
