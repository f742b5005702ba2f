#include "audiowall/audiowall_store.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "audiowall/audiowall_settings.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "common/user_interface.h"

namespace vantor {
namespace {

// Marks every part of the whole table kept in the given directory: parts that share a
// directory share its fate, including parts outside the range being connected.
void MarkPartsIn(AudiowallState& state, const std::string& directory, PartState newState) {
    for (AudiowallPart& part : state.Parts)
        if (part.Directory == directory) part.State = newState;
}

// Opens (or reopens) a part's list and brings it up to its full length. Failures are not
// reported here: the part still counts as connected and its first failed read marks it
// unavailable, which makes the next lookup try again.
void OpenPartList(AudiowallState& state, int partNumber) {
    AudiowallPart& part = state.Parts[partNumber];
    if (part.FileNumber > 0) {
        part.List.Close();
        part.IsOpen = false;
    } else {
        part.FileNumber = ++state.lastFileNumber_;
    }
    // A list missing here is created: the operator agreed, or the call is quiet. A list that
    // cannot be opened leaves the part closed, which every lookup then reports.
    std::string path = ResolvePath(part.ListPath);
    static_cast<void>(part.List.Open(path, true));
    part.State = PartState::Connected;
    part.IsOpen = part.List.IsOpen();
    if (!part.IsOpen) return;

    int64_t length = part.List.Length();
    int32_t expected = ExpectedRecordCount(partNumber, state.MaxCart);
    if (length < 0) return;
    if (static_cast<double>(length) / kCartRecordSize < expected) {
        // A list is only ever lengthened, never cut back. One that cannot be lengthened is
        // still read as far as it goes: a lookup past its end fails on its own (error 62).
        static_cast<void>(part.List.WriteRecords(FirstPaddingRecord(length), expected,
                                                 state.EmptyCartListRecord));
        part.List.Close();
        static_cast<void>(part.List.Open(path, true));
        part.IsOpen = part.List.IsOpen();
    }
}

std::string FiveDigits(int32_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", static_cast<int>(number));
    return text;
}

// Bytes that bringing every list of parts first to last up to length would add, by file
// system, checked against what each has free. A NoCarts far beyond any real store would
// otherwise fill the disk with empty records before anyone could see why; the lists are then
// refused before a byte is written. Returns the refusal text, empty when everything fits.
std::string PaddingThatDoesNotFit(const AudiowallState& state, int first, int last) {
    struct Need {
        std::string directory;
        long long bytes = 0;
    };
    std::map<dev_t, Need> needs;
    for (int i = first; i <= last; ++i) {
        const AudiowallPart& part = state.Parts[i];
        const long long expected =
            static_cast<long long>(ExpectedRecordCount(i, state.MaxCart)) * kCartRecordSize;
        const long long length = std::max<long long>(FileLength(part.ListPath), 0);
        if (expected <= length) continue;
        const std::string directory = ResolvePath(part.Directory);
        struct stat info {};
        if (::stat(directory.c_str(), &info) != 0) continue;  // reported when connected
        Need& need = needs[info.st_dev];
        if (need.directory.empty()) need.directory = Trim(part.Directory);
        need.bytes += expected - length;
    }
    for (const auto& [device, need] : needs) {
        struct statvfs space {};
        if (::statvfs(ResolvePath(need.directory).c_str(), &space) != 0) continue;
        const long double free = static_cast<long double>(space.f_bavail) * space.f_frsize;
        if (static_cast<long double>(need.bytes) <= free) continue;
        return "The AudioWall's cart lists cannot be brought up to " +
               std::to_string(state.MaxCart) + " carts: they would need " +
               std::to_string(need.bytes) + " more bytes in \"" + need.directory +
               "\", which has " + std::to_string(static_cast<unsigned long long>(free)) +
               " bytes free.\n\nPlease check the setting NoCarts in the section Audiowall of " +
               AudwallIniPath(Trim(state.Parts[1].Directory)) + ".";
    }
    return "";
}

// The connection itself; ui is only used when quiet is false.
bool ConnectParts(AudiowallState& state, UserInterface* ui, int partNumber, bool quiet) {
    ResetAudiowallDefaults(state);
    int first = partNumber;
    int last = partNumber;
    if (partNumber == 0) {
        first = 1;
        last = LastPartInUse(state.MaxCart);
    }
    if (first < 1 || last > kAudiowallPartCount) return true;

    int notSet = 0;
    for (int i = first; i <= last; ++i) {
        AudiowallPart& part = state.Parts[i];
        if (Trim(part.Directory).empty()) {
            ++notSet;
        } else {
            if (part.ListName.empty()) part.ListName = "Carts" + std::to_string(i) + ".lst";
            part.ListPath = JoinPath(part.Directory, part.ListName);
        }
        part.State = PartState::NotConnected;
    }
    if (notSet > 0) {
        if (!quiet)
            ui->ShowMessage({std::to_string(notSet) +
                                 " locations of the AudioWall have not been set : Please check "
                                 "your configuration.",
                             MessageIcon::Warning, MessageButtons::Ok, std::nullopt, ""});
        return true;
    }

    if (std::string refusal = PaddingThatDoesNotFit(state, first, last); !refusal.empty()) {
        if (!quiet)
            ui->ShowMessage({refusal, MessageIcon::Warning, MessageButtons::Ok, std::nullopt, ""});
        return true;
    }

    for (int i = first; i <= last; ++i) {
        AudiowallPart& part = state.Parts[i];
        if (part.State == PartState::NotConnected) {
            if (DirectoryExists(part.Directory)) {
                MarkPartsIn(state, part.Directory, PartState::Connected);
            } else {
                if (!quiet)
                    ProblemReport(*ui,
                                  "connecting part(s) of the Audio Wall because the directory: "
                                  "\n\n\"" +
                                      Trim(part.Directory) + "\"\n\n could not be found");
                MarkPartsIn(state, part.Directory, PartState::Unavailable);
            }
        }
        if (part.State != PartState::Connected) continue;

        if (FileLength(part.ListPath) < 0 && !quiet) {
            MessageResult answer = ui->ShowMessage(
                {"Part " + std::to_string(i) + " of the AudioWall has not been found.\n" +
                     "Do you wish to create it in :\n" + part.ListPath,
                 MessageIcon::Question, MessageButtons::YesNoCancel, std::nullopt, ""});
            if (answer == MessageResult::Cancel) return true;
            if (answer == MessageResult::No) continue;
        }
        OpenPartList(state, i);
    }

    if (partNumber != 0) return state.Parts[partNumber].State != PartState::Connected;
    for (int i = first; i <= last; ++i)
        if (state.Parts[i].State == PartState::Connected) return false;
    return true;
}

// The cart of a record just read. The record is decoded once, straight from its bytes.
void FinishLookup(const AudiowallState& state, const CartRecordBytes& bytes, CartFields fields,
                  CartLookupResult& out) {
    out.cart = CartRecordFromBytes(bytes.data(), fields);
    CartRecord& cart = out.cart;
    if (!(cart.EndMarker() > 0 && cart.MarkedLength() > 0)) {
        // Markers never set (or lost): the whole audio is the marked part.
        cart.StartMarker() = 0;
        cart.EndMarker() = cart.AudioLength();
        cart.MarkedLength() = cart.EndMarker() - cart.StartMarker();
    }
    out.result = 0;
    if (cart.AudioLength() == state.EmptyCart.AudioLength()) out.cart = state.EmptyCart;
}

}  // namespace

void ResetAudiowallDefaults(AudiowallState& state) {
    state.EmptyCart = MakeEmptyCart(state.EmptyCartBackColor, state.EmptyCartForeColor);
    state.EmptyCartListRecord = EncodeCartListRecord(CartListRecordFrom(state.EmptyCart));
}

AudiowallOpening OpenAudiowall(AudiowallState& state, UserInterface& ui, int partNumber,
                               bool quiet) {
    return ConnectParts(state, &ui, partNumber, quiet) ? AudiowallOpening::Failed
                                                       : AudiowallOpening::Opened;
}

void CloseAudiowall(AudiowallState& state) {
    for (AudiowallPart& part : state.Parts) {
        if (part.FileNumber > 0) part.List.Close();
        part.ListName.clear();
        part.IsOpen = false;
        part.State = PartState::NotConnected;
    }
}

CartLookupResult CartLookup(AudiowallState& state, int32_t cartNumber, CartFields fields) {
    // The empty cart is copied in only where it is the answer: most lookups find a cart.
    CartLookupResult out{-1, {}};
    if (cartNumber < 1 || cartNumber > state.MaxCart) {
        out.cart = state.EmptyCart;
        return out;
    }

    int p = PartOfCart(cartNumber);
    AudiowallPart& part = state.Parts[p];
    // A part marked connected through a shared directory, or whose list the operator chose not
    // to create, has no open list yet: connect it now rather than fail the lookup of a cart
    // that may well be there. (Connecting may re-read the empty cart's colours.)
    if (part.State != PartState::Connected || !part.IsOpen) {
        if (ConnectParts(state, nullptr, p, true)) {
            part.State = PartState::Unavailable;
            out.cart = state.EmptyCart;
            return out;
        }
    }

    CartRecordBytes bytes;
    if (state.UseIndividualCartListFiles != 0) {
        std::string ownList = CartFileBase(state, cartNumber) + ".LST";
        if (FileLength(ownList) > 0) {
            if (ErrorResult read = ReadSingleRecordFile(ResolvePath(ownList), bytes); !read.Ok()) {
                out.result = read.number;
                out.cart = state.EmptyCart;
                return out;
            }
            FinishLookup(state, bytes, fields, out);
            return out;
        }
    }
    if (ErrorResult read = part.List.ReadRecord(RecordOfCart(cartNumber), bytes); !read.Ok()) {
        part.State = PartState::Unavailable;
        out.result = read.number;
        out.cart = state.EmptyCart;
        return out;
    }
    FinishLookup(state, bytes, fields, out);
    return out;
}

std::string CartFileBase(const AudiowallState& state, int32_t cartNumber) {
    if (cartNumber <= 0 || cartNumber > state.MaxCart) return "";
    return JoinPath(state.Parts[PartOfCart(cartNumber)].Directory, "VNT" + FiveDigits(cartNumber));
}

std::string CartNotesFile(const AudiowallState& state, int32_t cartNumber, bool& exists) {
    std::string base = CartFileBase(state, cartNumber);
    if (base.empty()) return "";
    for (const char* extension : {".RTF", ".TXT"}) {
        std::string path = base + extension;
        if (FileExists(path)) {
            exists = true;
            return ResolvePath(path);
        }
    }
    exists = false;
    return base + ".RTF";
}

}  // namespace vantor
