#include "importer/hour_timing.h"

#include "audiowall/audiowall_store.h"
#include "common/numbers.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

constexpr int32_t kStatusLeftOut = 1 | 4 | 8;  // entries the timing neither times nor counts

bool IsTimedAudio(int32_t type) {
    return type == 2 || type == 3 || type == 4 || type == 7 || type == 9;
}

// A sweeper is laid over the next item only when that item is a plain, ready audio entry with
// an intro to talk over.
bool CanCarrySweeper(const TimedRow& row, const CartRecord& cart) {
    return row.status == 2 && IsAudioEntryType(row.type, true) && row.cartNumber > 0 &&
           row.actualEndType != 100 && cart.HasAudio() && cart.IntroEnd() > 0;
}

// The row's cart: the record the caller read already, else one read into the given storage.
const CartRecord& CartOf(const TimedRow& row, AudiowallState& audiowall, CartRecord& read) {
    if (row.cart) return *row.cart;
    read = CartLookup(audiowall, row.cartNumber, CartFields::TitleAndTimes).cart;
    return read;
}

}  // namespace

int32_t CartNumberOfReference(const std::string& hdReference) {
    double value = LeadingNumber(hdReference);
    if (value <= 0) return 0;
    return ToInt32(value).value_or(0);
}

float SweeperLead(const CartRecord& next, const CartRecord& sweeper) {
    float intro = next.IntroEnd() - next.IntroStart();
    if (!(next.IntroStart() == 0 && intro > 0) && sweeper.AudioLength() > intro) {
        return sweeper.Length();
    }
    if (intro > sweeper.AudioLength()) return 0;
    return sweeper.AudioLength() - next.IntroEnd();
}

float TimeHourRows(std::vector<TimedRow>& rows, const DayTime& hourStamp, AudiowallState& audiowall,
                   const StartTimeOptions& options) {
    DayTime clock = hourStamp;
    float total = 0;
    // Carts read here are kept in these, so that a row's cart is never copied.
    const CartRecord noCart;
    CartRecord read;
    CartRecord nextRead;
    for (size_t i = 0; i < rows.size(); ++i) {
        TimedRow* row = &rows[i];
        if ((row->status & kStatusLeftOut) != 0) continue;
        float length = 0;
        if (row->type == 1) {
            // An absolute time holds the clock back until it is reached; it never goes back.
            if (DayOfQIndex(row->qIndex) == clock.day && row->referenceStart > clock.seconds) {
                clock.seconds = row->referenceStart;
            }
        } else if (IsTimedAudio(row->type)) {
            if (row->cartNumber > 0) {
                const CartRecord* cart = &CartOf(*row, audiowall, read);
                if (cart->HasAudio()) {
                    if (row->actualEndType == 100 && options.SweeperMode != 2 &&
                        i + 1 < rows.size()) {
                        // The sweeper plays over the start of the next item: the clock moves
                        // on by the lead only, and the next item is timed in its place.
                        TimedRow& next = rows[i + 1];
                        const CartRecord* nextCart = &noCart;
                        if (next.cartNumber > 0) nextCart = &CartOf(next, audiowall, nextRead);
                        if (CanCarrySweeper(next, *nextCart)) {
                            float lead = SweeperLead(*nextCart, *cart);
                            clock = DayTimeAddSeconds(clock, lead);
                            total += lead;
                            row = &next;
                            cart = nextCart;
                            ++i;
                        }
                    }
                    if (!(row->type == 9 && row->information1 == 2)) {
                        length = row->extroOverride > 0 ? row->extroOverride : cart->Length();
                    }
                }
            }
        } else if (row->type == 12 || row->type == 13 || row->type == 14) {
            if (options.WaitSplitReturn != 0 && row->estimatedLength > 0) {
                length = row->estimatedLength;
            }
        }
        row->timed = true;
        row->start = clock.seconds;
        row->length = length;
        clock = DayTimeAddSeconds(clock, length);
        total += length;
    }
    return total;
}

}  // namespace vantor
