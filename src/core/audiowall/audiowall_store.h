#pragma once
// The Audiowall store as this program uses it: the table of parts with their open cart lists,
// the connection of the parts at start-up, and the lookup of one cart. The store belongs to
// the playout programs; this program only reads carts, and the only records it ever writes are
// empty ones that bring a short list up to its full length.
//
// All state lives in an AudiowallState owned by the session and passed by reference.

#include <array>
#include <cstdint>
#include <string>

#include "audiowall/cart_list_file.h"
#include "audiowall/cart_numbers.h"
#include "audiowall/cart_record.h"

namespace vantor {

class UserInterface;

enum class PartState : int32_t { NotConnected = 0, Connected = 1, Unavailable = 2 };

struct AudiowallPart {
    std::string Directory;  // from the settings; empty when the part is not configured
    std::string ListPath;   // Directory joined with ListName
    std::string ListName;   // "Carts<n>.lst" unless set otherwise
    bool IsOpen = false;    // the list file is open
    PartState State = PartState::NotConnected;
    int32_t FileNumber = 0;  // 0 until a handle was allocated; then kept for the run
    CartListFile List;       // the open list (closed with the state at the latest)
};

// The 11 parts, numbered 1 to 11 as everywhere in the installation's settings.
class PartTable {
  public:
    AudiowallPart& operator[](int partNumber) { return parts_.at(partNumber - 1); }
    const AudiowallPart& operator[](int partNumber) const { return parts_.at(partNumber - 1); }
    auto begin() { return parts_.begin(); }
    auto end() { return parts_.end(); }
    auto begin() const { return parts_.begin(); }
    auto end() const { return parts_.end(); }

  private:
    std::array<AudiowallPart, kAudiowallPartCount> parts_;
};

constexpr int32_t kDefaultEmptyCartBackColor = static_cast<int32_t>(0x8000000F);  // button face
constexpr int32_t kDefaultEmptyCartForeColor = static_cast<int32_t>(0x80000012);  // button text

struct AudiowallState {
    PartTable Parts;
    int32_t MaxCart = kDefaultMaxCart;
    int16_t UseIndividualCartListFiles = 0;
    int32_t EmptyCartBackColor = kDefaultEmptyCartBackColor;
    int32_t EmptyCartForeColor = kDefaultEmptyCartForeColor;
    // Where a cart player starts fading, in percent of the length; the start-time update
    // reads it.
    int32_t PlayerFadeFirePercent = 65;

    // The record of a cart without audio and its stored form (rebuilt by
    // ResetAudiowallDefaults from the colours above).
    CartRecord EmptyCart = MakeEmptyCart(kDefaultEmptyCartBackColor, kDefaultEmptyCartForeColor);
    CartRecordBytes EmptyCartListRecord = EncodeCartListRecord(CartListRecordFrom(EmptyCart));

    int32_t lastFileNumber_ = 0;  // handle numbers handed out so far
};

// Rebuilds EmptyCart and its stored form from the current colours.
void ResetAudiowallDefaults(AudiowallState& state);

// Connects part partNumber, or every part in use (1 to PartOfCart(MaxCart)) for 0: finds the
// directories, opens the lists (asking before creating a missing one unless quiet) and pads
// short lists with empty records. Failed when no part asked for could be connected (for 0: when
// none at all could). quiet shows nothing at all.
enum class [[nodiscard]] AudiowallOpening { Opened, Failed };
AudiowallOpening OpenAudiowall(AudiowallState& state, UserInterface& ui, int partNumber, bool quiet);
// Closes every list; parts become NotConnected and their list names are cleared.
void CloseAudiowall(AudiowallState& state);

// The outcome of a lookup: result 0 when the record was read (it may be the empty cart: test
// cart.HasAudio()), -1 when the number is outside 1 to MaxCart or its part cannot be
// connected, otherwise the error number of the failed read. On failure cart is EmptyCart.
struct [[nodiscard]] CartLookupResult {
    int32_t result = -1;
    CartRecord cart;
};
// Reads one cart afresh from its list (or its own list file), decoding the fields asked for
// (a cart found empty is EmptyCart, whole). Reconnects a part that is not connected, quietly,
// so that a part that was unreachable recovers by itself.
CartLookupResult CartLookup(AudiowallState& state, int32_t cartNumber,
                            CartFields fields = CartFields::All);

// The directory of the cart's part joined with "VNT" and the number in at least five digits
// ("VNT00042"); the cart's own files add ".LST", ".RTF" or ".TXT". Empty for a number below 1
// or above MaxCart.
std::string CartFileBase(const AudiowallState& state, int32_t cartNumber);
// The cart's notes: the ".RTF" file when there is one, else the ".TXT" file when there is one
// (exists true, path as found on disk), else the ".RTF" name a new notes file would take
// (exists false). For an invalid number: an empty path, exists left as it was.
std::string CartNotesFile(const AudiowallState& state, int32_t cartNumber, bool& exists);

}  // namespace vantor
