#pragma once
// The registry of the installation, kept as one INI-format file "registry.ini" in the Windows
// directory: a section per key path (compared without case), a line per value. A value is
// typed by its form: `name=str:TEXT` is a string value, `name=dword:NUMBER` a 32-bit number
// (decimal), `name=hex:41,42` raw bytes (any other type). Reads never fail; a missing key or
// value gives the default.

#include <cstdint>
#include <string>

namespace vantor {

enum class RegistryRoot { LocalMachine, CurrentUser };

std::string ReadRegistryString(RegistryRoot root, const std::string& subKey,
                               const std::string& valueName, const std::string& defaultValue);
int32_t ReadRegistryNumber(RegistryRoot root, const std::string& subKey,
                           const std::string& valueName, int32_t defaultValue);
void WriteRegistryString(RegistryRoot root, const std::string& subKey,
                         const std::string& valueName, const std::string& value,
                         const std::string& defaultValue);
void WriteRegistryNumber(RegistryRoot root, const std::string& subKey,
                         const std::string& valueName, int32_t value, int32_t defaultValue);
bool RegistryKeyExists(RegistryRoot root, const std::string& subKey);

}  // namespace vantor
