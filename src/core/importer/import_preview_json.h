#pragma once
// The import preview's JSON document as an object, for the documents built on it (the record
// of an unattended run). Only the core's own sources include this header.

#include <string>

#include <nlohmann/json.hpp>

#include "importer/import_preview.h"

namespace vantor {

// The document PreviewJson prints.
nlohmann::json PreviewJsonDocument(const ImportPreview& preview);
// A document as text, two blanks to a level; bytes that are not UTF-8 are replaced.
std::string JsonText(const nlohmann::json& document);

}  // namespace vantor
