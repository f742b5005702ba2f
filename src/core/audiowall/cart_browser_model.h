#pragma once
// The model of the cart browser ("Cart Browser", frmCartBrowser): a column of cart slots, each
// showing one cart's number, colours and title, scrolled a cart or a page at a time, jumped to
// a typed number, and a click choosing a cart for whoever opened it.
//
// The opener exchanges the cart number through Tag: it puts the starting cart there, shows the
// browser, waits until the browser has hidden itself and reads Tag back; a number above 0 is
// the chosen cart, anything else means cancelled. One browser serves every opening of a run:
// the position in the store survives between openings, and every fill reads the carts afresh
// from the Audiowall so that changes made by the playout programs show on the next scroll.
// A change the model makes on its own (a jump the find dialog asked for, hiding itself after
// a choice) reaches the window through OnChanged.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/stored_colour.h"
#include "common/window_model.h"

namespace vantor {

class UserInterface;
struct AudiowallState;

class CartBrowserModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Cart Browser";
    static constexpr const char* kDoubleHeightToolTip =
        "When checked, this doubles the height of each cart, giving more display space for the "
        "cart descriptions.";

    struct Slot {
        bool visible = false;
        int32_t cartNumber = 0;  // the cart the slot stands for, shown or not
        std::string numberText;  // the number button's caption
        // The cart number when the cart has a marked part of audio to play, else empty.
        std::string tag;
        std::string title;                     // single height: the title as one line
        std::array<std::string, 3> lines;      // double height: the three title lines
        DisplayColour backColour, foreColour;  // the cart's own colours
        bool selected = false;                 // the number button is highlighted
    };

    // The keys the browser handles before its controls see them.
    enum class Key { Escape, Up, Down, PageUp, PageDown, J, T, F, N, B };

    // Loading: the window is positioned at the top of the store with slot 1 selected.
    CartBrowserModel(AudiowallState& audiowall, UserInterface& ui);

    // ---- The opener's side
    // The cart number in and out, as text.
    std::string Tag;
    // Told of the chosen cart (UpdateDisplay of the window that asked), then forgotten.
    std::function<void(int32_t cart)> UpdateRequestForm;
    // Child windows (notes viewer, find dialog) are shown modally.
    bool ShowChildFormsModally = false;
    // Opens the find dialog, starting at the given cart, modal or not. Set by whoever owns the
    // find dialog; without it the Find button does nothing.
    std::function<void(int32_t startCart, bool modal)> openFind;

    // Shows the browser (with the cart to start at already in Tag).
    void Show();
    // The browser became the active window: the first activation after it was shown jumps
    // to the cart in Tag.
    void Activate();

    // ---- Layout
    // The number of slots for a slot area of the given height: every slot that is at least
    // partly visible (a margin of two pixels at the bottom does not count as a slot).
    static int SlotsForHeight(int slotAreaHeight, int panelHeight);
    // Lays out fittingSlots slots (never more than the store has carts) and fills them.
    void LayOutSlots(int fittingSlots);
    // chkDouble: doubles the height of every slot; the window lays out again.
    void SetDoubleHeight(bool doubleHeight);
    bool DoubleHeight() const { return doubleHeight_; }
    // Reads the carts of every slot afresh.
    void FillSlots();

    // ---- Moving
    void JumpToCart(int32_t cartNumber);
    void CartUp();
    void CartDown();
    void PageUp();
    void PageDown();
    // Pressing a number button or a cart panel selects the slot (1 to SlotCount).
    void PressSlot(int slot);
    // Clicking a number button, or releasing or double-clicking over a panel, chooses its cart.
    void ChooseSlot(int slot);

    // ---- The number field and Jump
    const std::string& NumberText() const { return numberText_; }
    void SetNumberText(const std::string& text);
    // The field holds at most as many characters as the highest cart number has digits.
    int NumberFieldMaxLength() const;
    // The field takes digits, backspace and escape; any other key comes back as 0 (swallowed).
    static int FilterNumberKey(int keyCode);
    bool JumpEnabled() const;
    // Jumps to the typed cart, or chooses it when it is already the selected one.
    void Jump();

    // A key seen before the controls; returns true when the key is swallowed.
    bool KeyDown(Key key);
    // The find dialog opened from here: F and the Find button use the browser's modality,
    // N the reverse.
    void OpenFindFromBrowser(bool reverseModality = false);
    // T: the selected cart's notes in the text file viewer, when it has notes.
    void ShowNotes();

    // ---- Ending a choice
    // Ends the choice with cartNumber (0 for cancelled): Tag, hide, tell UpdateRequestForm.
    void ReturnCartNumber(int32_t cartNumber);
    // "Cancel" and Escape.
    void Cancel() { ReturnCartNumber(0); }
    // Closing from the title bar only hides the browser; Tag then reads as cancelled.
    void CloseFromTitleBar();
    // The window is finally destroyed.
    void Unload() { UpdateRequestForm = nullptr; }

    // ---- State
    int32_t TopOffset() const { return topOffset_; }
    int SelectedSlot() const { return selectedSlot_; }
    int32_t SelectedCart() const { return topOffset_ + selectedSlot_; }
    int SlotCount() const { return slotCount_; }
    const std::vector<Slot>& Slots() const { return slots_; }
    const Slot& SlotAt(int slot) const { return slots_.at(static_cast<size_t>(slot - 1)); }
    bool Visible() const { return visible_; }
    bool Prepared() const { return prepared_; }
    int32_t MaxCart() const;
    // The number field asked for the focus (with its text selected) since the last call.
    bool TakeNumberFieldFocusRequest();

  private:
    void ShowSelection();

    AudiowallState& audiowall_;
    UserInterface& ui_;
    int32_t topOffset_ = 0;
    int selectedSlot_ = 1;
    int slotCount_ = 0;
    int highlightedSlot_ = -1;
    bool prepared_ = false;
    bool visible_ = false;
    bool doubleHeight_ = false;
    bool numberFocusRequested_ = false;
    std::string numberText_;
    std::vector<Slot> slots_;
};

}  // namespace vantor
