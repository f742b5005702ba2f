#pragma once
// The model of the find dialog ("Find a cart on the Audiowall", frmFindCart): searches the
// Audiowall cart by cart for a text in the titles (and, when asked, the notes), optionally only
// among carts of about a given length, and lists the matches; choosing one makes the cart
// browser jump to it. Opened only from the cart browser.
//
// Everything runs on the one user-interface thread: the search hands pending window events on
// after every cart, so that Stop, a choice or closing the window take effect between two carts.
// While it runs, Find is disabled, so no second search can start inside the first. Every row
// found and every hundredth cart reach the window through OnChanged.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/window_model.h"

namespace vantor {

class UserInterface;
struct AudiowallState;
struct SystemLocations;

class FindCartModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Find a cart on the Audiowall";
    static constexpr const char* kFromStartCaption = "Search from the &start of the Audiowall";
    static constexpr const char* kFromEndCaption = "Search from the &end of the Audiowall";
    static constexpr const char* kNoCartsFound = "No carts found.";
    static constexpr const char* kInitialLength = "03:00";
    // A notes file is searched in its first this many characters.
    static constexpr size_t kNotesSearchLength = 10000;

    // The last searches, most recent first, kept for the whole run (never stored on disk);
    // empty texts mark free places. Held by whoever lives as long as the run.
    static constexpr int kRecentSearchCount = 6;
    using RecentSearches = std::array<std::string, kRecentSearchCount>;

    enum class Direction { Forwards, Backwards };
    enum class Tab { Basic, Advanced };
    enum class FocusTarget { None, SearchText, Stop, Results };

    // "Give or Take:" entries.
    struct Tolerance {
        const char* text;
        int seconds;
    };
    static const std::array<Tolerance, 6> kTolerances;
    static constexpr int kInitialTolerance = 2;  // "10 Seconds"

    // The results list: the hidden sort text (the cart number in six digits), then the shown
    // columns.
    enum class Column { Sort, Cart, Line1, Line2, Line3, Length };
    static constexpr int kColumnCount = 6;
    struct Row {
        std::string key;  // "c" + cart number
        std::array<std::string, kColumnCount> cells;
        const std::string& Cell(Column column) const { return cells[static_cast<size_t>(column)]; }
    };

    FindCartModel(AudiowallState& audiowall, UserInterface& ui, const SystemLocations& locations,
                  RecentSearches& lastSearches);

    // ---- Set by the cart browser before showing the dialog
    int32_t CartStartNumber = 0;
    // Receives the chosen cart (0 when the dialog closed without a choice), then forgotten.
    std::function<void(int32_t cart)> JumpRequestForm;

    // Shows the dialog; the first showing after it was closed prepares it afresh.
    void Show();
    // The dialog became the active window.
    void Activate();

    // ---- "&Basic"
    const std::string& SearchText() const { return searchText_; }
    void SetSearchText(const std::string& text) { searchText_ = text; }
    // The entries of the search text's list: the recent searches.
    const std::vector<std::string>& SearchEntries() const { return searchEntries_; }
    Direction SearchDirection() const { return direction_; }
    void SetDirection(Direction direction);
    const char* FromStartCaption() const;
    bool FromStart() const { return fromStart_; }
    void SetFromStart(bool fromStart) { fromStart_ = fromStart; }
    bool SearchNotes() const { return notes_; }
    void SetSearchNotes(bool notes) { notes_ = notes; }

    // ---- "&Advanced"
    bool TimeRules() const { return timeRules_; }
    void SetTimeRules(bool on);
    const std::string& LengthText() const { return lengthText_; }
    void SetLengthText(const std::string& text) { lengthText_ = text; }
    int ToleranceIndex() const { return toleranceIndex_; }
    void SetToleranceIndex(int index);
    bool LimitLines() const { return limitLines_; }
    // Clearing it ticks all three line boxes again.
    void SetLimitLines(bool on);
    bool LineTicked(int line) const { return lines_.at(static_cast<size_t>(line - 1)); }
    void SetLineTicked(int line, bool ticked);

    Tab CurrentTab() const { return tab_; }
    void SelectTab(Tab tab) { tab_ = tab; }
    void NextTab() { tab_ = tab_ == Tab::Basic ? Tab::Advanced : Tab::Basic; }

    // ---- What is enabled and shown
    bool FindEnabled() const { return findEnabled_; }
    bool StopEnabled() const { return stopEnabled_; }
    // The search options (both tabs); off while a search runs.
    bool ControlsEnabled() const { return controlsEnabled_; }
    bool TimeRuleFieldsEnabled() const { return controlsEnabled_ && timeRules_; }
    bool LineBoxesEnabled() const { return controlsEnabled_ && limitLines_; }
    bool ResultsVisible() const { return resultsVisible_; }
    bool ProgressVisible() const { return progressVisible_; }
    const std::string& ProgressText() const { return progressText_; }
    // The busy indicator runs.
    bool Busy() const { return busy_; }
    bool Visible() const { return visible_; }
    bool Searching() const { return searching_; }
    // Enter presses Find, except while the results list has the focus (Enter then chooses).
    bool FindIsDefault() const { return !resultsFocused_; }
    void SetResultsFocused(bool focused) { resultsFocused_ = focused; }
    // The control that asked for the focus since the last call.
    FocusTarget TakeFocusRequest();

    // ---- Searching
    // "&Find": runs the whole search, handing events on after every cart.
    void Find();
    // "Sto&p": the search ends before the next cart, keeping what it found.
    void Stop() { stopRequested_ = true; }

    // ---- Results
    const std::vector<Row>& Rows() const { return rows_; }
    int SelectedRow() const { return selectedRow_; }
    void SelectRow(int index);
    // Clicking a heading: sorts by it, the other way round when it already was the sort.
    void SortBy(Column column);
    // Double-click or Enter on a row: the browser jumps to its cart and the dialog hides.
    // Nothing happens for the "No carts found." row or without a selection.
    void ChooseSelected();

    // ---- Closing
    // Escape, only while no search runs.
    void Escape();
    // The title bar: ends a running search, closes as Escape does, and the next showing starts
    // from a freshly loaded dialog (the recent searches stay).
    void CloseFromTitleBar();

  private:
    void Load();
    void StoreLastSearches();
    void RememberSearchText(const std::string& text);
    void EndChoice(int32_t cart);

    AudiowallState& audiowall_;
    UserInterface& ui_;
    const SystemLocations& locations_;
    RecentSearches& lastSearches_;

    std::string searchText_;
    std::vector<std::string> searchEntries_;
    Direction direction_ = Direction::Forwards;
    bool fromStart_ = true;
    bool notes_ = false;
    bool timeRules_ = false;
    std::string lengthText_ = kInitialLength;
    int toleranceIndex_ = kInitialTolerance;
    bool limitLines_ = false;
    std::array<bool, 3> lines_{true, true, true};
    Tab tab_ = Tab::Basic;

    bool findEnabled_ = true;
    bool stopEnabled_ = false;
    bool controlsEnabled_ = true;
    bool resultsVisible_ = false;
    bool progressVisible_ = false;
    std::string progressText_;
    bool busy_ = false;
    bool resultsFocused_ = false;
    FocusTarget focusRequest_ = FocusTarget::None;

    std::vector<Row> rows_;
    int selectedRow_ = -1;
    int sortColumn_ = -1;  // none until a heading is clicked
    bool sortDescending_ = false;

    bool visible_ = false;
    bool loaded_ = false;
    bool activated_ = false;
    bool closingDialog_ = false;
    bool stopRequested_ = false;
    bool searching_ = false;
};

}  // namespace vantor
