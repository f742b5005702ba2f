#include "padlock_view.h"

#include <QTimer>

#include "pictures.h"
#include "users/padlock.h"

namespace vantor::gui {

namespace {
constexpr int kPictureSize = 32;
}

PadlockView::PadlockView(QWidget* parent) : QLabel(parent), timer_(new QTimer(this)) {
    setObjectName("picSecurity");
    setFixedSize(kPictureSize, kPictureSize);
    timer_->setObjectName("tmrPicChange");
    timer_->setInterval(Padlock::kIntervalMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (tick_) tick_();
    });
}

void PadlockView::Show(const Padlock& padlock) {
    if (padlock.Picture() != shown_) {
        shown_ = padlock.Picture();
        setPixmap(PadlockPicture(shown_, kPictureSize));
    }
    if (padlock.TimerRunning() && !timer_->isActive()) timer_->start();
    if (!padlock.TimerRunning() && timer_->isActive()) timer_->stop();
}

}  // namespace vantor::gui
