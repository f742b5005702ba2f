#include "audiowall_windows.h"

#include <QEventLoop>

#include "cart_browser.h"
#include "find_cart.h"

namespace vantor::gui {

AudiowallWindows::AudiowallWindows(AudiowallState& audiowall, UserInterface& ui,
                                   const SystemLocations& locations, QObject* parent)
    : QObject(parent),
      browserModel_(audiowall, ui),
      findModel_(audiowall, ui, locations, recentSearches_),
      browser_(std::make_unique<CartBrowser>(browserModel_)),
      find_(std::make_unique<FindCart>(findModel_)) {
    browserModel_.openFind = [this](int32_t startCart, bool modal) { OpenFind(startCart, modal); };
}

AudiowallWindows::~AudiowallWindows() {
    browserModel_.Unload();
    // The find dialog may hold the browser's JumpToCart; it goes first.
    find_.reset();
    browser_.reset();
}

std::string AudiowallWindows::BrowseCart(const std::string& tag) {
    browserModel_.Tag = tag;
    browserModel_.Show();
    if (browserModel_.Visible()) {
        QEventLoop wait;
        connect(browser_.get(), &CartBrowser::choiceEnded, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return browserModel_.Tag;
}

void AudiowallWindows::OpenFind(int32_t startCart, bool modal) {
    findModel_.CartStartNumber = startCart;
    findModel_.JumpRequestForm = [this](int32_t cart) { browserModel_.JumpToCart(cart); };
    // A modal find dialog keeps the operator away from the other windows until it closes;
    // nothing waits for it, since the browser does nothing after opening it.
    if (!find_->isVisible()) find_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    findModel_.Show();
}

}  // namespace vantor::gui
