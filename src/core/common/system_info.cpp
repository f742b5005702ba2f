#include "common/system_info.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>

namespace vantor {

OsVersion WindowsVersion() {
    OsVersion version;
    utsname name{};
    if (uname(&name) != 0) return version;
    version.systemName = name.sysname;
    // "major.minor.build-rest"
    std::string release = name.release;
    int* parts[3] = {&version.major, &version.minor, &version.build};
    size_t i = 0;
    for (int k = 0; k < 3 && i < release.size(); ++k) {
        size_t start = i;
        while (i < release.size() && release[i] >= '0' && release[i] <= '9') ++i;
        if (i == start) break;
        *parts[k] = std::atoi(release.substr(start, i - start).c_str());
        if (i < release.size() && release[i] == '.' && k < 2)
            ++i;
        else
            break;
    }
    if (i < release.size()) {
        size_t rest = release.find_first_not_of(".-_+", i);
        if (rest != std::string::npos) version.servicePack = release.substr(rest);
    }
    return version;
}

std::string ComputerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) return "";
    return buffer;
}

std::string UserName(std::string* fullName, bool wantFullName) {
    if (fullName) fullName->clear();
    const passwd* pw = getpwuid(geteuid());
    std::string login = pw && pw->pw_name ? pw->pw_name : "";
    if (login.empty()) {
        const char* user = std::getenv("USER");
        login = user ? user : "";
    }
    if (wantFullName && fullName && pw && pw->pw_gecos) {
        // The first comma-separated field of the account's comment is the person's name.
        std::string gecos = pw->pw_gecos;
        *fullName = gecos.substr(0, gecos.find(','));
    }
    return login;
}

}  // namespace vantor
