#pragma once
// The carts' notes files of the Audiowall's part directories, listed once for an operation
// that asks about one cart after another (the find dialog's notes search). Asking the file
// system cart by cart costs a directory scan for every cart without notes, since names are
// matched without regard to case; a part directory holds the audio of a thousand carts, so
// that made a notes search of the whole store take minutes.
//
// The listing is taken when a directory is first asked about: notes written by another
// program after that are not seen until the next index.

#include <cstdint>
#include <string>
#include <unordered_map>

namespace vantor {

struct AudiowallState;

class CartNotesIndex {
  public:
    explicit CartNotesIndex(const AudiowallState& audiowall) : audiowall_(audiowall) {}

    // The cart's notes file as found on disk (the ".RTF" file, else the ".TXT" file), or
    // empty when the cart has none or its number is outside the store; the same file that
    // CartNotesFile finds.
    std::string NotesFile(int32_t cartNumber);

  private:
    struct Directory {
        std::string resolved;                                // the directory as found on disk
        std::unordered_map<std::string, std::string> names;  // in capitals -> as on disk
    };
    const Directory& Listing(const std::string& directory);

    const AudiowallState& audiowall_;
    std::unordered_map<std::string, Directory> directories_;
};

}  // namespace vantor
