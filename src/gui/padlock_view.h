#pragma once
// The padlock picture of the login and change-password windows (picSecurity) with the timer
// that moves its animation on (tmrPicChange).

#include <QLabel>
#include <functional>
#include <string>

class QTimer;

namespace vantor {
class Padlock;
}

namespace vantor::gui {

class PadlockView : public QLabel {
    Q_OBJECT

  public:
    explicit PadlockView(QWidget* parent = nullptr);

    // tick moves the model's animation on; it is called on every tick of the timer.
    void OnTick(std::function<void()> tick) { tick_ = std::move(tick); }
    // Shows the padlock's picture and runs the timer while the padlock does.
    void Show(const Padlock& padlock);

    QTimer* Timer() const { return timer_; }

  private:
    QTimer* timer_;
    std::function<void()> tick_;
    std::string shown_;
};

}  // namespace vantor::gui
