#include "audiowall/cart_browser_model.h"

#include <algorithm>

#include "audiowall/audiowall_store.h"
#include "common/character_class.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/user_interface.h"

namespace vantor {
namespace {

// Pixels at the bottom of the slot area that do not make a slot of their own.
constexpr int kSlotAreaMargin = 2;

}  // namespace

CartBrowserModel::CartBrowserModel(AudiowallState& audiowall, UserInterface& ui)
    : audiowall_(audiowall), ui_(ui) {}

int32_t CartBrowserModel::MaxCart() const {
    return audiowall_.MaxCart;
}

void CartBrowserModel::Show() {
    visible_ = true;
    Activate();
    NotifyChanged();
}

void CartBrowserModel::Activate() {
    // A window that is hiding may still hear of its activation; the opener's Tag is not its to
    // take then.
    if (!visible_) return;
    numberFocusRequested_ = true;
    if (prepared_) return;
    // The opener's cart: beyond the end of the store means its last cart.
    double wanted = LeadingNumber(Tag);
    if (wanted > 0) {
        JumpToCart(static_cast<int32_t>(std::min<double>(wanted, MaxCart())));
        Tag.clear();
    }
    prepared_ = true;
    FillSlots();
}

int CartBrowserModel::SlotsForHeight(int slotAreaHeight, int panelHeight) {
    if (panelHeight <= 0) return 1;
    int room = slotAreaHeight - kSlotAreaMargin;
    if (room <= 0) return 1;
    return (room + panelHeight - 1) / panelHeight;
}

void CartBrowserModel::LayOutSlots(int fittingSlots) {
    // Slots past the last cart stay hidden rather than disappear, so that a page up from the
    // end of the store fills the whole column again.
    slotCount_ = std::clamp(fittingSlots, 1, std::max<int32_t>(MaxCart(), 1));
    if (selectedSlot_ > slotCount_) {
        // A smaller window keeps the selected cart in view, at the bottom.
        topOffset_ += selectedSlot_ - slotCount_;
        selectedSlot_ = slotCount_;
    }
    slots_.assign(static_cast<size_t>(slotCount_), Slot{});
    FillSlots();
}

void CartBrowserModel::SetDoubleHeight(bool doubleHeight) {
    doubleHeight_ = doubleHeight;
    numberFocusRequested_ = true;
    NotifyChanged();
}

void CartBrowserModel::FillSlots() {
    HourglassGuard hourglass(ui_);
    if (slots_.size() != static_cast<size_t>(slotCount_))
        slots_.assign(static_cast<size_t>(slotCount_), Slot{});
    highlightedSlot_ = -1;
    DisplayColour emptyBack = DisplayColourFromStored(audiowall_.EmptyCartBackColor);
    DisplayColour emptyFore = DisplayColourFromStored(audiowall_.EmptyCartForeColor);
    for (int c = 1; c <= slotCount_; ++c) {
        Slot& slot = slots_[static_cast<size_t>(c - 1)];
        slot = Slot{};
        slot.cartNumber = topOffset_ + c;
        if (slot.cartNumber > 0 && slot.cartNumber <= MaxCart()) {
            CartLookupResult found = CartLookup(audiowall_, slot.cartNumber);
            const CartRecord& cart = found.cart;
            slot.visible = true;
            slot.numberText = std::to_string(slot.cartNumber);
            if (cart.MarkedLength() > 0) slot.tag = slot.numberText;
            slot.backColour = DisplayColourFromStored(cart.BackColor);
            slot.foreColour = DisplayColourFromStored(cart.ForeColor);
            for (int line = 1; line <= 3; ++line)
                slot.lines[static_cast<size_t>(line - 1)] = Trim(cart.TitleLine(line));
            slot.title = Trim(CartTitleText(cart, true));
        } else {
            slot.backColour = emptyBack;
            slot.foreColour = emptyFore;
        }
    }
    ShowSelection();
    NotifyChanged();
}

void CartBrowserModel::ShowSelection() {
    HourglassGuard hourglass(ui_);
    if (selectedSlot_ != highlightedSlot_) {
        for (Slot& slot : slots_) slot.selected = false;
        if (selectedSlot_ >= 1 && selectedSlot_ <= slotCount_)
            slots_[static_cast<size_t>(selectedSlot_ - 1)].selected = true;
        highlightedSlot_ = selectedSlot_;
    }
    numberText_ = std::to_string(SelectedCart());
    if (visible_) numberFocusRequested_ = true;
}

void CartBrowserModel::JumpToCart(int32_t cartNumber) {
    if (cartNumber < 1) return;
    if (cartNumber > slotCount_ + topOffset_ || cartNumber <= topOffset_) {
        topOffset_ = cartNumber - 1;
        selectedSlot_ = 1;
        FillSlots();
    } else {
        selectedSlot_ = cartNumber - topOffset_;
        ShowSelection();
        NotifyChanged();
    }
}

void CartBrowserModel::CartUp() {
    --selectedSlot_;
    if (selectedSlot_ <= 0) {
        selectedSlot_ = 1;
        if (topOffset_ > 0) {
            --topOffset_;
            FillSlots();
        }
    }
    ShowSelection();
    NotifyChanged();
}

void CartBrowserModel::CartDown() {
    if (SelectedCart() >= MaxCart()) return;
    ++selectedSlot_;
    if (selectedSlot_ > slotCount_) {
        selectedSlot_ = slotCount_;
        if (slotCount_ + topOffset_ < MaxCart()) {
            ++topOffset_;
            FillSlots();
        }
    }
    ShowSelection();
    NotifyChanged();
}

void CartBrowserModel::PageUp() {
    topOffset_ -= slotCount_;
    if (topOffset_ < 0) {
        topOffset_ = 0;
        selectedSlot_ = 1;
    }
    FillSlots();
}

void CartBrowserModel::PageDown() {
    topOffset_ += slotCount_;
    if (topOffset_ + slotCount_ > MaxCart()) {
        topOffset_ = std::max<int32_t>(MaxCart() - slotCount_, 0);
        selectedSlot_ = MaxCart() - topOffset_;
    }
    FillSlots();
}

void CartBrowserModel::PressSlot(int slot) {
    if (slot < 1 || slot > slotCount_ || !slots_[static_cast<size_t>(slot - 1)].visible) return;
    selectedSlot_ = slot;
    ShowSelection();
    NotifyChanged();
}

void CartBrowserModel::ChooseSlot(int slot) {
    if (slot < 1 || slot > slotCount_ || !slots_[static_cast<size_t>(slot - 1)].visible) return;
    ReturnCartNumber(topOffset_ + slot);
}

void CartBrowserModel::SetNumberText(const std::string& text) {
    numberText_ = text;
}

int CartBrowserModel::NumberFieldMaxLength() const {
    return static_cast<int>(std::to_string(std::max<int32_t>(MaxCart(), 1)).size());
}

int CartBrowserModel::FilterNumberKey(int keyCode) {
    if (keyCode == kKeyBackspace || keyCode == kKeyEscape) return keyCode;
    if (keyCode < 0 || keyCode > 255) return 0;
    return CharacterClassCheck(std::string(1, static_cast<char>(keyCode)), kClassDigits) ? keyCode
                                                                                         : 0;
}

bool CartBrowserModel::JumpEnabled() const {
    double typed = LeadingNumber(numberText_);
    return typed > 0 && typed <= MaxCart();
}

void CartBrowserModel::Jump() {
    // The J key arrives here as well; a number outside the store would leave an empty column.
    if (!JumpEnabled()) return;
    auto typed = static_cast<int32_t>(LeadingNumber(numberText_));
    if (typed != SelectedCart()) {
        JumpToCart(typed);
        numberFocusRequested_ = true;
        NotifyChanged();
    } else {
        ReturnCartNumber(typed);
    }
}

bool CartBrowserModel::KeyDown(Key key) {
    switch (key) {
        case Key::Escape:
            Cancel();
            return true;
        case Key::Up:
            CartUp();
            return true;
        case Key::Down:
            CartDown();
            return true;
        case Key::PageUp:
            PageUp();
            return false;
        case Key::PageDown:
            PageDown();
            return false;
        case Key::J:
            Jump();
            return true;
        case Key::T:
            ShowNotes();
            return false;
        case Key::F:
            OpenFindFromBrowser();
            return false;
        case Key::N:
            OpenFindFromBrowser(true);
            return false;
        case Key::B:
            // Searching backwards from the selected cart needs a cart to start from.
            if (SelectedCart() > 0 && openFind) openFind(SelectedCart(), ShowChildFormsModally);
            return false;
    }
    return false;
}

void CartBrowserModel::OpenFindFromBrowser(bool reverseModality) {
    if (SelectedCart() > MaxCart() || !openFind) return;
    openFind(SelectedCart(), reverseModality ? !ShowChildFormsModally : ShowChildFormsModally);
}

void CartBrowserModel::ShowNotes() {
    bool exists = false;
    std::string path = CartNotesFile(audiowall_, SelectedCart(), exists);
    if (exists) ui_.ShowTextFile("Print Preview", path);
}

void CartBrowserModel::ReturnCartNumber(int32_t cartNumber) {
    Tag = std::to_string(cartNumber);
    visible_ = false;
    prepared_ = false;
    if (UpdateRequestForm) {
        auto tell = std::move(UpdateRequestForm);
        UpdateRequestForm = nullptr;
        tell(cartNumber);
    }
    NotifyChanged();
}

void CartBrowserModel::CloseFromTitleBar() {
    // Whatever the opener put in Tag was taken when the browser was prepared; what is left
    // must not read as a choice.
    Tag.clear();
    visible_ = false;
    prepared_ = false;
    NotifyChanged();
}

bool CartBrowserModel::TakeNumberFieldFocusRequest() {
    bool requested = numberFocusRequested_;
    numberFocusRequested_ = false;
    return requested;
}

}  // namespace vantor
