#pragma once
// What the text file viewer shows and saves. The installation's report and notes files are
// Windows-1252 text; some notes files are rich text, shown here as their plain text.

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The text of a file for the viewer, as UTF-8 with "\n" line ends: "" for an empty name, a
// missing or unreadable file, or a file of length 0. Rich text ("{\rtf...") is shown as its
// text with the control words, tables of fonts and colours and hidden groups removed.
std::string ReadViewerText(const std::string& path);

// The plain text of a rich text document.
std::string RtfToPlainText(std::string_view rtf);

// Saves the viewer's text as plain Windows-1252 text with CRLF line ends, replacing the file.
// Returns 0, or the error number of the failure.
[[nodiscard]] int SaveViewerText(const std::string& path, const std::string& text);

// The base names of the files of a folder that have the given extension, for the viewer's
// file list; the extension is compared without regard to case.
std::vector<std::string> ViewerFolderNames(const std::string& folder, const std::string& extension);

}  // namespace vantor
