#pragma once
// How the program names itself to the operator, in history events and in the warnings that
// ask the operator to contact the maker.

namespace vantor {

// The product name of the program's version information: the notes of login history events
// and the start of the small-screen warning.
inline constexpr const char* kProductName = "Vantor Log Importer";
// Where the maker's technical support is reached.
inline constexpr const char* kSupportEmail = "support@tressel.co.uk";

}  // namespace vantor
