#include "screen_placement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vantor::gui {

namespace {

// The working area (the screen without panels and docks) of the monitor that shows the
// reference window, or, without one, of the primary monitor.
QRect WorkingAreaFor(const QWidget* form, const QWidget* reference) {
    QScreen* screen = nullptr;
    if (reference) screen = reference->screen();
    if (!screen) screen = QGuiApplication::screenAt(QPoint(1, 1));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen && form) screen = form->screen();
    return screen ? screen->availableGeometry() : QRect();
}

bool Frameless(const QWidget* form) {
    return form->windowFlags().testFlag(Qt::FramelessWindowHint);
}

// The frame the window manager has put around the window; none before it has framed it.
QMargins KnownFrameMargins(const QWidget* form) {
    if (Frameless(form)) return {};
    const QWindow* handle = form->windowHandle();
    if (handle == nullptr || handle->handle() == nullptr) return {};
    return handle->frameMargins();
}

}  // namespace

// Every framed window of the program gets the same decorations: before the window manager has
// framed this one, another's frame stands in for it.
QMargins FrameMarginsOf(const QWidget* form) {
    if (Frameless(form)) return {};
    QMargins margins = KnownFrameMargins(form);
    if (!margins.isNull()) return margins;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == form || !other->isVisible() || Frameless(other)) continue;
        const Qt::WindowType type = other->windowType();
        if (type != Qt::Window && type != Qt::Dialog) continue;
        margins = KnownFrameMargins(other);
        if (!margins.isNull()) return margins;
    }
    return {};
}

namespace {

// Whether the window has its native window already; a move then places its contents, while
// before that it places the frame.
bool Created(const QWidget* form) {
    return form->testAttribute(Qt::WA_WState_Created);
}

// Moves (and if need be shrinks) the window so that its frame, of the given margins, starts at
// the point clamped into the area.
void MoveFrameInside(QWidget* form, QPoint frameTopLeft, const QRect& area,
                     const QMargins& margins) {
    QSize size = form->size();
    const int widest = area.width() - margins.left() - margins.right();
    const int tallest = area.height() - margins.top() - margins.bottom();
    if (size.width() > widest) size.setWidth(std::max(widest, form->minimumWidth()));
    if (size.height() > tallest) size.setHeight(std::max(tallest, form->minimumHeight()));
    if (size != form->size()) form->resize(size);
    const QSize frame = size.grownBy(margins);
    const int x = std::max(area.left(), std::min(frameTopLeft.x(), area.x() + area.width() - frame.width()));
    const int y =
        std::max(area.top(), std::min(frameTopLeft.y(), area.y() + area.height() - frame.height()));
    if (Created(form))
        form->move(x + margins.left(), y + margins.top());
    else
        form->move(x, y);  // a window not created yet takes the position as its frame's
}

// Brings the frame of a window just shown back inside the working area once the window
// manager has framed it; it gives up after a second and a half, so that a window the operator
// drags partly off the screen afterwards stays where it was put.
class FrameKeeper : public QObject {
  public:
    explicit FrameKeeper(QWidget* form) : QObject(form), form_(form) {
        timer_.setInterval(40);
        connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
        form->installEventFilter(this);
    }

    // Starts watching the window as it is being shown.
    void Start() {
        ticks_ = 0;
        settled_ = 0;
        timer_.start();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_ && event->type() == QEvent::Show) {
            Start();
        } else if (watched == form_ && event->type() == QEvent::Hide) {
            timer_.stop();
        }
        return false;
    }

  private:
    void Check() {
        if (++ticks_ > 38 || form_ == nullptr || !form_->isVisible()) {
            timer_.stop();
            return;
        }
        const QWindow* handle = form_->windowHandle();
        if (handle == nullptr) return;
        const QMargins margins = KnownFrameMargins(form_);
        // Until the window manager has framed the window there is nothing to measure.
        if (margins.isNull() && !Frameless(form_)) return;
        const QRect area = WorkingAreaFor(form_, form_);
        if (!area.isValid()) return;
        const QRect frame = handle->geometry().marginsAdded(margins);
        if (area.contains(frame)) {
            // Inside for a few turns in a row: the window manager is done with it.
            if (++settled_ >= 3) timer_.stop();
            return;
        }
        settled_ = 0;
        MoveFrameInside(form_, frame.topLeft(), area, margins);
    }

    QPointer<QWidget> form_;
    QTimer timer_;
    int ticks_ = 0;
    int settled_ = 0;
};

// From now on, each time the window is shown, its frame is brought back inside the working
// area once the window manager has framed it.
void KeepFrameInsideScreen(QWidget* form) {
    if (!form || !form->isWindow()) return;
    FrameKeeper* keeper = nullptr;
    for (QObject* child : form->children())
        if ((keeper = dynamic_cast<FrameKeeper*>(child)) != nullptr) break;
    if (keeper == nullptr) keeper = new FrameKeeper(form);
    // A window placed while it is being shown has had its Show event already.
    if (form->isVisible()) keeper->Start();
}

// Puts the window's frame at the point, moved and if need be made smaller so that the whole
// frame lies inside the area; then keeps it there once the window manager has framed it.
void PlaceFrame(QWidget* form, const QPoint& frameTopLeft, const QRect& area) {
    MoveFrameInside(form, frameTopLeft, area, FrameMarginsOf(form));
    KeepFrameInsideScreen(form);
}

}  // namespace

void CenterFormOnMonitor(QWidget* form, const QWidget* reference) {
    if (!form) return;
    const QRect area = WorkingAreaFor(form, reference);
    if (!area.isValid()) return;
    const QSize frame = form->size().grownBy(FrameMarginsOf(form));
    PlaceFrame(form,
               QPoint(area.left() + (area.width() - frame.width()) / 2,
                      area.top() + (area.height() - frame.height()) / 2),
               area);
}

void PlaceNearTopCentre(QWidget* form, const QWidget* reference) {
    if (!form) return;
    const QRect area = WorkingAreaFor(form, reference);
    if (!area.isValid()) return;
    const QSize frame = form->size().grownBy(FrameMarginsOf(form));
    // Two pixels: the 30 twips the station's programs leave above their viewers.
    PlaceFrame(form, QPoint(area.left() + (area.width() - frame.width()) / 2, area.top() + 2),
               area);
}

void PlaceTopRight(QWidget* form, int margin, int rightEdge) {
    if (!form) return;
    const QRect area = WorkingAreaFor(form, form);
    if (!area.isValid()) return;
    const QSize frame = form->size().grownBy(FrameMarginsOf(form));
    const int right = rightEdge >= 0 ? rightEdge : area.right() - margin;
    PlaceFrame(form, QPoint(right - frame.width() + 1, area.top() + margin), area);
}

}  // namespace vantor::gui
