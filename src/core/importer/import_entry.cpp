#include "importer/import_entry.h"

#include <iterator>

namespace vantor {

void ClearEntry(ImportEntry& entry) {
    // Every field gets its cleared value, but the texts keep their storage: an import clears
    // the entry before every line it reads, and most lines fill the same texts again.
    std::string* const texts[] = {&entry.Description1, &entry.Description2,  &entry.Description3,
                                  &entry.Description4, &entry.ItemReference, &entry.SchedulerReference,
                                  &entry.HDReference,  &entry.Notes};
    std::string kept[std::size(texts)];
    for (size_t i = 0; i < std::size(texts); ++i) kept[i].swap(*texts[i]);
    entry = ImportEntry{};
    for (size_t i = 0; i < std::size(texts); ++i) {
        kept[i].clear();
        texts[i]->swap(kept[i]);
    }
}

}  // namespace vantor
