#include "audiowall/find_cart_model.h"

#include <algorithm>
#include <cstdio>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_notes_index.h"
#include "common/codepage.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/time_text.h"
#include "common/user_interface.h"
#include "config/system_locations.h"

namespace vantor {
namespace {

constexpr int kLengthStyle = 3;       // mm:ss
constexpr int kRowLengthStyle = 202;  // " 3:05", leading zeros left out
constexpr int32_t kProgressEvery = 100;

std::string SixDigits(int32_t cart) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", static_cast<int>(cart));
    return text;
}

// The start of a notes file (a path as found on disk), as the playout programs' editors wrote
// it (Windows-1252). The file is opened for reading only, so a notes editor holding it open is
// not disturbed; anything that cannot be read counts as no notes.
std::string ReadNotesStart(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "";
    std::string bytes(FindCartModel::kNotesSearchLength, '\0');
    size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(read);
    return Cp1252ToUtf8(bytes);
}

// What one search looks for, prepared once so that each cart costs only its own reading.
struct SearchRules {
    std::string upperText;    // the text in capitals; containment ignores letter case
    bool everything = false;  // "*"
    bool limitLines = false;
    std::array<bool, 3> lines{true, true, true};
    bool notes = false;
    bool timeRules = false;
    float lowLength = 0;  // a length must lie strictly between these
    float highLength = 0;

    bool Contains(const std::string& text) const {
        return upperText.empty() || ToUpper(text).find(upperText) != std::string::npos;
    }

    bool Matches(CartNotesIndex& notesIndex, int32_t cartNumber, const CartRecord& cart) const {
        if (cart.AudioLength() == -1) return false;  // nothing recorded on this cart
        bool matched = everything;
        if (!matched) {
            if (limitLines) {
                for (int line = 1; line <= 3 && !matched; ++line)
                    matched =
                        lines[static_cast<size_t>(line - 1)] && Contains(cart.TitleLine(line));
            } else {
                matched = Contains(CartTitleText(cart, true));
            }
        }
        if (!matched && notes) {
            std::string path = notesIndex.NotesFile(cartNumber);
            if (!path.empty()) matched = Contains(ReadNotesStart(path));
        }
        if (matched && timeRules) matched = lowLength < cart.Length() && cart.Length() < highLength;
        return matched;
    }
};

}  // namespace

const std::array<FindCartModel::Tolerance, 6> FindCartModel::kTolerances = {{
    {"3 Seconds", 3},
    {"5 Seconds", 5},
    {"10 Seconds", 10},
    {"30 Seconds", 30},
    {"1 Minute", 60},
    {"5 Minutes", 300},
}};

FindCartModel::FindCartModel(AudiowallState& audiowall, UserInterface& ui,
                             const SystemLocations& locations, RecentSearches& lastSearches)
    : audiowall_(audiowall), ui_(ui), locations_(locations), lastSearches_(lastSearches) {
    Load();
}

void FindCartModel::Load() {
    loaded_ = true;
    activated_ = false;
    tab_ = Tab::Basic;
    limitLines_ = false;
    lines_ = {true, true, true};
    timeRules_ = false;
    toleranceIndex_ = kInitialTolerance;
    lengthText_ = kInitialLength;
    resultsVisible_ = false;
    rows_.clear();
    selectedRow_ = -1;
    sortColumn_ = -1;
    sortDescending_ = false;
}

void FindCartModel::Show() {
    if (!loaded_) Load();
    visible_ = true;
    Activate();
    NotifyChanged();
}

void FindCartModel::Activate() {
    if (activated_ || !visible_) return;
    busy_ = false;
    activated_ = true;
    closingDialog_ = false;
    resultsVisible_ = false;
    // A list that had the focus when the dialog was put away is hidden now: "&Find" is the
    // default button again.
    resultsFocused_ = false;
    tab_ = Tab::Basic;
    searchEntries_.clear();
    for (const std::string& text : lastSearches_)
        if (!text.empty()) searchEntries_.push_back(text);
    searchText_ = searchEntries_.empty() ? std::string() : searchEntries_.front();
    direction_ = Direction::Forwards;
    progressVisible_ = false;
    controlsEnabled_ = true;
    limitLines_ = false;
    lines_ = {true, true, true};
    notes_ = locations_.SearchCartNotes != 0;
    fromStart_ = locations_.SearchCartsFromStart != 0;
    if (searching_) {
        // The search of the closed dialog is still unwinding; it ends before its next cart
        // and gives the buttons back then.
        stopRequested_ = true;
        findEnabled_ = false;
        stopEnabled_ = false;
    } else {
        stopRequested_ = false;
        findEnabled_ = true;
        stopEnabled_ = false;
    }
    focusRequest_ = FocusTarget::SearchText;
}

void FindCartModel::SetDirection(Direction direction) {
    direction_ = direction;
}

const char* FindCartModel::FromStartCaption() const {
    return direction_ == Direction::Backwards ? kFromEndCaption : kFromStartCaption;
}

void FindCartModel::SetTimeRules(bool on) {
    timeRules_ = on;
}

void FindCartModel::SetToleranceIndex(int index) {
    if (index >= 0 && index < static_cast<int>(kTolerances.size())) toleranceIndex_ = index;
}

void FindCartModel::SetLimitLines(bool on) {
    limitLines_ = on;
    if (!on) lines_ = {true, true, true};
}

void FindCartModel::SetLineTicked(int line, bool ticked) {
    if (line >= 1 && line <= 3) lines_[static_cast<size_t>(line - 1)] = ticked;
}

FindCartModel::FocusTarget FindCartModel::TakeFocusRequest() {
    FocusTarget target = focusRequest_;
    focusRequest_ = FocusTarget::None;
    return target;
}

void FindCartModel::RememberSearchText(const std::string& text) {
    // Older copies of the text go; the text itself moves to the top.
    std::vector<std::string> kept;
    for (size_t i = 0; i < searchEntries_.size(); ++i)
        if (i == 0 || Trim(searchEntries_[i]) != text) kept.push_back(searchEntries_[i]);
    searchEntries_ = std::move(kept);
    if (!text.empty() && (searchEntries_.empty() || searchEntries_.front() != text)) {
        while (searchEntries_.size() >= static_cast<size_t>(kRecentSearchCount))
            searchEntries_.pop_back();
        searchEntries_.insert(searchEntries_.begin(), text);
    }
}

void FindCartModel::Find() {
    // Find is disabled while a search runs; a second search inside the first would leave the
    // first one reading on after its rows were cleared.
    if (searching_ || !findEnabled_) return;

    std::string text = Trim(searchText_);
    RememberSearchText(text);

    SearchRules rules;
    rules.everything = text == "*";
    rules.upperText = ToUpper(text);
    rules.limitLines = limitLines_;
    rules.lines = lines_;
    rules.notes = notes_;
    rules.timeRules = timeRules_;
    if (timeRules_) {
        auto target = static_cast<float>(ParseTimeText(lengthText_, kLengthStyle));
        auto tolerance =
            static_cast<float>(kTolerances[static_cast<size_t>(toleranceIndex_)].seconds);
        rules.lowLength = target - tolerance - 1;
        rules.highLength = target + tolerance + 1;
    }

    rows_.clear();
    selectedRow_ = -1;
    sortColumn_ = -1;
    sortDescending_ = false;
    resultsVisible_ = true;
    stopRequested_ = false;
    busy_ = true;
    findEnabled_ = false;
    stopEnabled_ = true;
    focusRequest_ = FocusTarget::Stop;
    controlsEnabled_ = false;
    progressVisible_ = true;
    progressText_.clear();
    searching_ = true;
    NotifyChanged();

    int32_t cart = std::max<int32_t>(CartStartNumber, 1);
    int32_t step = 1;
    if (direction_ == Direction::Backwards) {
        if (fromStart_) cart = audiowall_.MaxCart;
        step = -1;
    } else if (fromStart_) {
        cart = 1;
    }

    CartNotesIndex notesIndex(audiowall_);
    // MaxCart is read on every turn: a file locations change while the search hands events
    // on may shrink the store under it.
    while (cart >= 1 && cart <= audiowall_.MaxCart && !stopRequested_) {
        bool shown = false;
        if (cart % kProgressEvery == 0) {
            progressText_ = std::to_string(cart);
            shown = true;
        }
        CartLookupResult found = CartLookup(audiowall_, cart);
        if (rules.Matches(notesIndex, cart, found.cart)) {
            const CartRecord& c = found.cart;
            Row row;
            row.key = "c" + std::to_string(cart);
            row.cells = {SixDigits(cart),    std::to_string(cart),
                         Trim(c.TitleLine1), Trim(c.TitleLine2),
                         Trim(c.TitleLine3), Trim(FormatTimeText(c.Length(), kRowLengthStyle))};
            rows_.push_back(std::move(row));
            shown = true;
        }
        if (shown) NotifyChanged();
        ui_.ProcessEvents();
        cart += step;
    }
    searching_ = false;

    if (closingDialog_ || !visible_) return;
    progressVisible_ = false;
    busy_ = false;
    findEnabled_ = true;
    stopEnabled_ = false;
    controlsEnabled_ = true;
    if (tab_ == Tab::Basic) focusRequest_ = FocusTarget::SearchText;
    if (!stopRequested_) {
        if (!rows_.empty()) {
            if (selectedRow_ < 0) selectedRow_ = 0;
            focusRequest_ = FocusTarget::Results;
        } else {
            Row none;
            none.key = "none";
            none.cells = {"0", "", kNoCartsFound, "", "", ""};
            rows_.push_back(std::move(none));
        }
    }
    NotifyChanged();
}

void FindCartModel::SelectRow(int index) {
    if (index >= -1 && index < static_cast<int>(rows_.size())) selectedRow_ = index;
}

void FindCartModel::SortBy(Column column) {
    // The "Cart" heading sorts by the hidden sort text, so that numbers come in number order.
    int key = static_cast<int>(column == Column::Cart ? Column::Sort : column);
    if (key == sortColumn_)
        sortDescending_ = !sortDescending_;
    else {
        sortColumn_ = key;
        sortDescending_ = false;
    }
    std::string selectedKey = selectedRow_ >= 0 ? rows_[static_cast<size_t>(selectedRow_)].key : "";
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        int c = CompareNoCase(a.cells[static_cast<size_t>(key)], b.cells[static_cast<size_t>(key)]);
        return sortDescending_ ? c > 0 : c < 0;
    });
    if (!selectedKey.empty())
        for (size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].key == selectedKey) selectedRow_ = static_cast<int>(i);
}

void FindCartModel::StoreLastSearches() {
    for (size_t i = 0; i < lastSearches_.size(); ++i)
        lastSearches_[i] = i < searchEntries_.size() ? searchEntries_[i] : std::string();
}

void FindCartModel::EndChoice(int32_t cart) {
    if (JumpRequestForm) {
        auto jump = std::move(JumpRequestForm);
        JumpRequestForm = nullptr;
        jump(cart);
    }
}

void FindCartModel::ChooseSelected() {
    if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
    const Row& row = rows_[static_cast<size_t>(selectedRow_)];
    if (!(LeadingNumber(row.Cell(Column::Sort)) > 0)) return;
    auto cart = static_cast<int32_t>(LeadingNumber(row.key.substr(1)));
    EndChoice(cart);
    closingDialog_ = true;
    stopRequested_ = true;
    activated_ = false;
    StoreLastSearches();
    visible_ = false;
    NotifyChanged();
}

void FindCartModel::Escape() {
    if (stopEnabled_) return;
    closingDialog_ = true;
    activated_ = false;
    StoreLastSearches();
    EndChoice(0);
    visible_ = false;
    NotifyChanged();
}

void FindCartModel::CloseFromTitleBar() {
    stopRequested_ = true;
    closingDialog_ = true;
    activated_ = false;
    StoreLastSearches();
    EndChoice(0);
    visible_ = false;
    // The window goes; the next showing loads a fresh dialog.
    loaded_ = false;
    busy_ = false;
    NotifyChanged();
}

}  // namespace vantor
