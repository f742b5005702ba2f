#include "importer/break_note.h"

#include <limits>

#include "common/codepage.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "importer/scheduler_log.h"

namespace vantor {

namespace {

// Older schedulers spelled two codes out; they mean the same as the short forms.
std::string RewriteOlderForms(std::string note) {
    std::string lead = ToUpper(LeftOf(note, 6));
    if (lead == "BREAK " || lead == "$BREAK") {
        note.replace(0, 2, "$$");
    } else if (lead == "SPLIT " || lead == "$SPLIT") {
        note.replace(0, 2, "$P");
    }
    return note;
}

// 1-based position of the first blank of the note, 0 when it has none.
long FirstBlank(std::string_view note) {
    size_t at = note.find(' ');
    return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

// The word from start1 on (leading blanks skipped) up to the next blank, whose position goes
// to blankAt (0 when the word runs to the end).
std::string WordAt(const std::string& text, long start1, long& blankAt) {
    return NextField(text, start1, " ", blankAt, true, true);
}

// The 40 characters after the note's first blank, trimmed: the text of most commands.
std::string TextAfterFirstBlank(std::string_view note) {
    long blank = FirstBlank(note);
    if (blank == 0) return "";
    return Trim(Cp1252ToUtf8(MidOf(note, blank + 1, 40)));
}

// "hh:mm:ss" after the first blank ("$$ 10:15:00"): minutes and seconds into the hour; the
// hours are the hour's own and are not read.
double ClockWordOffset(const std::string& note) {
    long blank = FirstBlank(note);
    if (blank == 0) return 0;
    long ignored = 0;
    std::string word = WordAt(note, blank + 1, ignored);
    return LeadingNumber(MidOf(word, 4, 2)) * 60 + LeadingNumber(MidOf(word, 7, 2));
}

// "mm:ss" or "mm:ss.hh" straight after the code ("$T05:30.50"). blankAt receives the position
// in the note of the blank that ends the word (0 when none follows).
double TimeWordOffset(const std::string& note, long& blankAt) {
    std::string window = MidOf(note, 3, 50);
    long blankInWindow = 0;
    std::string word = WordAt(window, 1, blankInWindow);
    blankAt = blankInWindow == 0 ? 0 : blankInWindow + 2;
    double offset = LeadingNumber(MidOf(word, 1, 2)) * 60 + LeadingNumber(MidOf(word, 4, 2));
    std::string sixth = MidOf(word, 6, 1);
    if (!sixth.empty() && sixth != " ") offset += LeadingNumber(MidOf(word, 7, 2)) / 100;
    return offset;
}

int16_t HardwareNumber(std::string_view text) {
    return ToInt16(LeadingNumber(text)).value_or(0);
}

}  // namespace

bool ParseBreakNote(const DayTime& hourStamp, std::string_view rawLine, ImportEntry& entry,
                    HourState& hour, UserInterface& ui) {
    const std::string note = RewriteOlderForms(NoteTextOf(rawLine));
    const std::string code = ToUpper(LeftOf(note, 2));
    const float hourStart = hourStamp.seconds;
    bool makesEntry = true;
    entry.EntryStatus = 2;

    if (code == "$A") {
        hour.HourFlag = false;
        hour.HourMode = 1;
        if (ToUpper(MidOf(note, 3, 2)) == "ON") {
            hour.HourFlag = true;
            hour.HourMode = 2;
        }
        makesEntry = false;
    } else if (code == "$Q") {
        hour.HourFlag = false;
        std::string mode = ToUpper(MidOf(note, 3, 1));
        if (mode == "L") {
            hour.HourMode = 1;
        } else if (mode == "A") {
            hour.HourMode = 2;
        } else if (mode == "R") {
            hour.HourMode = 2;
            hour.HourFlag = true;
        }
        makesEntry = false;
    } else if (code == "$C") {
        entry.EntryType = TypeCode(EntryType::Command);
        long ignored = 0;
        entry.ItemReference = Trim(Cp1252ToUtf8(WordAt(note, 3, ignored)));
    } else if (code == "$D") {
        hour.bSoftDeleteSongs = true;
        makesEntry = false;
    } else if (code == "$H") {
        entry.EntryType = TypeCode(EntryType::Hardware);
        std::string action = ToUpper(LeftOf(note, 3));
        entry.Information2 = action == "$HS" ? 1 : action == "$HF" ? 2 : action == "$HP" ? 3 : 0;
        entry.Information1 = static_cast<float>(RoundHalfEven(LeadingNumber(MidOf(note, 4))));
        entry.Description1 = TextAfterFirstBlank(note);
    } else if (code == "$I") {
        ShowWarning(ui, std::string("You are using the Wait For Hardware event ($Ixxx).") +
                            "\n\nThis is not supported in Vantor v2.6 - Please email " +
                            kSupportEmail + " for more information");
        makesEntry = false;
    } else if (code == "$P") {
        entry.EntryType = TypeCode(EntryType::SplAdvert);
        entry.ReferenceStartTime = static_cast<float>(hourStart + ClockWordOffset(note));
        entry.ScheduledLength = 120;
    } else if (code == "$T") {
        entry.EntryType = TypeCode(EntryType::Time);
        long ignored = 0;
        entry.ReferenceStartTime = static_cast<float>(hourStart + TimeWordOffset(note, ignored));
        entry.Description1 = TextAfterFirstBlank(note);
    } else if (code == "$W") {
        entry.EntryType = TypeCode(EntryType::Time);
        long timeBlank = 0;
        entry.ReferenceStartTime = static_cast<float>(hourStart + TimeWordOffset(note, timeBlank));
        if (timeBlank != 0) {
            long inputBlank = 0;
            std::string input = WordAt(note, timeBlank + 1, inputBlank);
            entry.HardwareEndTestNumber1 = HardwareNumber(MidOf(input, 4));
            entry.HardwareEndTestState1 = ToUpper(LeftOf(input, 3)) == "$IS" ? 1 : 0;
            if (inputBlank != 0 && inputBlank <= 54) {
                entry.Description1 =
                    Trim(Cp1252ToUtf8(MidOf(note, inputBlank, 54 - inputBlank + 1)));
            }
        }
    } else if (code == "$$") {
        entry.EntryType = TypeCode(EntryType::Advert);
        entry.EntryStatus = 1;
        entry.Description1 = "Advert Break";
        entry.ScheduledLength = 120;
        entry.ReferenceStartTime = static_cast<float>(hourStart + ClockWordOffset(note));
    } else {
        // The cart column is stored as the scheduler wrote it, blanks included: whoever reads
        // HDReference takes its leading number, and the cart check trims it.
        std::string cart = Cp1252ToUtf8(MidOf(rawLine, 64, 4));
        if (!Trim(cart).empty()) {
            entry.EntryType = TypeCode(EntryType::Cart);
            entry.HDReference = cart;
        } else {
            entry.EntryType = TypeCode(EntryType::TextMessage);
            entry.ScheduledLength =
                LeadingNumber(MidOf(rawLine, 71, 1)) * 60 + LeadingNumber(MidOf(rawLine, 73, 2));
        }
        entry.Description1 = Trim(Cp1252ToUtf8(MidOf(rawLine, 15, 40)));
    }

    std::string endCode = ToUpper(MidOf(rawLine, 80, 1));
    if (endCode == "-" || endCode == "Y") {
        entry.ScheduledEndType = 0;
    } else if (endCode == "X" || endCode == "N") {
        entry.ScheduledEndType = kEndTypeNormal;
    }
    return makesEntry;
}

}  // namespace vantor
