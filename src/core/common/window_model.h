#pragma once
// The one shape every window model shares. A window forwards each event to its model and then
// redraws from the model's plain state (texts, flags, lists). A change the model makes on its
// own, outside such an event (during a long import, after a nested window closed, on a timer),
// is announced through the one callback the window registers with OnChanged; the window answers
// by redrawing.

#include <functional>
#include <utility>

namespace vantor {

class WindowModel {
  public:
    // Registers the window's redraw; an empty function stops the announcements.
    void OnChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  protected:
    WindowModel() = default;
    ~WindowModel() = default;
    void NotifyChanged() const {
        if (changed_) changed_();
    }

  private:
    std::function<void()> changed_;
};

}  // namespace vantor
