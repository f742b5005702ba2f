// The registry file reader on any registry.ini: string and number reads of every value form.

#include <cstdlib>
#include <string>

#include "common/registry.h"
#include "fuzz_input.h"

using namespace vantor;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("VANTOR_WINDIR", fuzz::ScratchDirectory().c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("registry.ini", data, size);
    const char* key = "SOFTWARE\\Tressel\\Vantor";
    for (const char* value : {"MultiConfigFile", "ConfigFile", "Odd", "CartLocation1", ""}) {
        ReadRegistryString(RegistryRoot::LocalMachine, key, value, "d");
        ReadRegistryNumber(RegistryRoot::LocalMachine, key, value, 7);
        ReadRegistryNumber(RegistryRoot::CurrentUser, key, value, 7);
    }
    RegistryKeyExists(RegistryRoot::LocalMachine, key);
    return 0;
}
