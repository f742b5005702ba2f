// The INI reader and writer on any file: every read of a section and key, and a write that
// must leave the file readable with the value written.

#include <string>

#include "common/profile.h"
#include "fuzz_input.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("fuzz.ini", data, size);
    for (const char* section : {"Audiowall", "FileLocations", "", "Audio"}) {
        for (const std::string& key : GetProfileKeys(path, section)) {
            GetProfileString(path, section, key, "default");
            GetProfileInt(path, section, key, 9999);
        }
        GetProfileInt(path, section, "NoCarts", 9999);
    }
    if (WriteProfileString(path, "Fuzz", "Key", "value") &&
        GetProfileString(path, "Fuzz", "Key", "") != "value")
        __builtin_trap();
    return 0;
}
