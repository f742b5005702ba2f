#pragma once
// What the program asks the operating system about itself and the workstation.

#include <string>

namespace vantor {

// The operating-system version record shown by the splash window and read by the start-up
// checks. This platform always counts as the NT platform: there is no Windows 9x file cache
// to check.
struct OsVersion {
    static constexpr int kPlatformWindows9x = 1;
    static constexpr int kPlatformNt = 2;
    int platformId = kPlatformNt;
    int major = 0;
    int minor = 0;
    int build = 0;
    std::string servicePack;  // extra text after the version ("" when none)
    std::string systemName;   // "Linux", ...
    bool IsNtPlatform() const { return platformId == kPlatformNt; }
};

// Fills the record from the running kernel (uname): "6.1.0-18-amd64" is major 6, minor 1,
// build 0, service pack "18-amd64".
OsVersion WindowsVersion();

// The workstation's network name; "" when unavailable.
std::string ComputerName();

// The name of the user logged on. With wantFullName and a fullName to fill, also the
// account's full name from the password database ("" when it has none).
std::string UserName(std::string* fullName = nullptr, bool wantFullName = false);

}  // namespace vantor
