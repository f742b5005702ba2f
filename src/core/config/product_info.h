#pragma once
// How the program names itself to the operator, in history events and in the warnings that
// ask the operator to contact the maker.

namespace vantor {

// The product name of the program's version information: the notes of login history events
// and the start of the small-screen warning.
inline constexpr const char* kProductName = "Vantor Log Importer";
// The program's title: the caption of a message box that names no title of its own.
inline constexpr const char* kProgramTitle = "Vantor Log Import";
// The maker, as the splash and about window names it.
inline constexpr const char* kCompanyName = "Tressel Ltd.";
// Where the maker's technical support is reached.
inline constexpr const char* kSupportEmail = "support@tressel.co.uk";

}  // namespace vantor
