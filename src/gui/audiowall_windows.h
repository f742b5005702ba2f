#pragma once
// The Audiowall's two windows for the whole run: one cart browser, hidden between uses, and
// the find dialog it opens. Whoever needs a cart number picked (the settings dialog's Browse
// buttons) calls BrowseCart.

#include <QObject>
#include <memory>
#include <string>

#include "audiowall/cart_browser_model.h"
#include "audiowall/find_cart_model.h"

class QWidget;

namespace vantor {
class UserInterface;
struct AudiowallState;
struct SystemLocations;
}  // namespace vantor

namespace vantor::gui {

class CartBrowser;
class FindCart;

class AudiowallWindows : public QObject {
    Q_OBJECT
  public:
    AudiowallWindows(AudiowallState& audiowall, UserInterface& ui, const SystemLocations& locations,
                     QObject* parent = nullptr);
    ~AudiowallWindows() override;

    // Shows the browser at the cart in tag and waits, with the window usable, until it hides
    // itself; returns its Tag: a number above 0 is the chosen cart, anything else cancelled.
    std::string BrowseCart(const std::string& tag);

    CartBrowser& browser() { return *browser_; }
    FindCart& find() { return *find_; }
    CartBrowserModel& browserModel() { return browserModel_; }
    FindCartModel& findModel() { return findModel_; }

  private:
    void OpenFind(int32_t startCart, bool modal);

    FindCartModel::RecentSearches recentSearches_;
    CartBrowserModel browserModel_;
    FindCartModel findModel_;
    std::unique_ptr<CartBrowser> browser_;
    std::unique_ptr<FindCart> find_;
};

}  // namespace vantor::gui
