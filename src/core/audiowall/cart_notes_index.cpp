#include "audiowall/cart_notes_index.h"

#include <cstdio>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_numbers.h"
#include "common/paths.h"
#include "common/text.h"

namespace vantor {

const CartNotesIndex::Directory& CartNotesIndex::Listing(const std::string& directory) {
    auto found = directories_.find(directory);
    if (found != directories_.end()) return found->second;
    Directory listing;
    listing.resolved = ResolvePath(directory);
    for (const std::string& name : ListFiles(listing.resolved, "VNT*"))
        listing.names.emplace(ToUpper(name), name);  // sorted listing: the first spelling wins
    return directories_.emplace(directory, std::move(listing)).first->second;
}

std::string CartNotesIndex::NotesFile(int32_t cartNumber) {
    if (cartNumber < 1 || cartNumber > audiowall_.MaxCart) return "";
    const std::string& directory = audiowall_.Parts[PartOfCart(cartNumber)].Directory;
    const Directory& listing = Listing(directory);
    char base[32];
    std::snprintf(base, sizeof base, "VNT%05d", static_cast<int>(cartNumber));
    for (const char* extension : {".RTF", ".TXT"}) {
        auto name = listing.names.find(std::string(base) + extension);
        if (name != listing.names.end()) return JoinPath(listing.resolved, name->second);
    }
    return "";
}

}  // namespace vantor
