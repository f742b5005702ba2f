#include "importer/import_entry.h"

namespace vantor {

void ClearEntry(ImportEntry& entry) {
    entry = ImportEntry{};
}

}  // namespace vantor
