#include "screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantor::gui {

namespace {

QRect WorkingAreaFor(const QWidget* form, const QWidget* reference) {
    QScreen* screen = nullptr;
    if (reference) screen = reference->screen();
    if (!screen) screen = QGuiApplication::screenAt(QPoint(1, 1));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen && form) screen = form->screen();
    return screen ? screen->availableGeometry() : QRect();
}

// The window's outer size: its frame once it has one, its own size before it is shown.
QSize OuterSize(const QWidget* form) {
    const QRect frame = form->frameGeometry();
    return frame.isValid() && frame.size() != QSize(0, 0) ? frame.size() : form->size();
}

}  // namespace

void CenterFormOnMonitor(QWidget* form, const QWidget* reference) {
    if (!form) return;
    const QRect area = WorkingAreaFor(form, reference);
    if (!area.isValid()) return;
    const QSize size = OuterSize(form);
    form->move(area.left() + (area.width() - size.width()) / 2,
               area.top() + (area.height() - size.height()) / 2);
}

void PlaceNearTopCentre(QWidget* form, const QWidget* reference) {
    if (!form) return;
    const QRect area = WorkingAreaFor(form, reference);
    if (!area.isValid()) return;
    const QSize size = OuterSize(form);
    // Two pixels: the 30 twips the station's programs leave above their viewers.
    form->move(area.left() + (area.width() - size.width()) / 2, area.top() + 2);
}

}  // namespace vantor::gui
