#include "window_picture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace vantor::gui {

namespace {

QMargins FrameOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle != nullptr && handle->handle() != nullptr ? handle->frameMargins() : QMargins();
}

void LetEventsRun(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
}

}  // namespace

QPixmap PictureOfWindow(QWidget* window) {
    if (!window->isWindow()) return window->grab();
    // The window manager frames a window a moment after it is mapped, and draws the frame a
    // moment after that: give it up to a second before taking the window alone.
    QElapsedTimer clock;
    clock.start();
    const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
    while (!frameless && FrameOf(window).isNull() && clock.elapsed() < 1000) LetEventsRun(20);
    const QMargins margins = FrameOf(window);
    QScreen* screen = window->screen();
    if (margins.isNull() || screen == nullptr) return window->grab();
    LetEventsRun(150);
    const QRect frame = window->geometry().marginsAdded(margins);
    // The screen's own coordinates: a grab of the whole desktop, cut to the frame.
    const QRect onScreen = frame.translated(-screen->geometry().topLeft());
    QPixmap picture = screen->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(),
                                         onScreen.height());
    // A window not yet where the frame says (still being moved back on the screen) gives a
    // cut picture: its own contents are then the better picture.
    if (picture.isNull() || picture.size() != frame.size()) return window->grab();
    return picture;
}

}  // namespace vantor::gui
