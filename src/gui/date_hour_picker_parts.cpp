#include "date_hour_picker_parts.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include "common/date_hour_picker_model.h"
#include "common/locale.h"
#include "qt_text.h"

namespace vantor::gui {

DayGrid::DayGrid(QWidget* parent) : QWidget(parent) {
    setObjectName("picCalendar");
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    auto* grid = new QGridLayout(this);
    grid->setSpacing(1);
    grid->setContentsMargins(2, 2, 2, 2);
    for (int column = 0; column < 7; ++column) {
        auto* header = new QLabel(Q(WeekdayNameOf(column + 1).substr(0, 3)), this);
        header->setObjectName(QString("lblWeekday%1").arg(column));
        header->setAlignment(Qt::AlignCenter);
        QFont font = header->font();
        font.setBold(true);
        header->setFont(font);
        if (column == 0) header->setStyleSheet("color: #c00000;");
        grid->addWidget(header, 0, column);
    }
    for (int i = 0; i < kCells; ++i) {
        auto* cell = new QLabel(this);
        cell->setObjectName(QString("lblDay%1").arg(i));
        cell->setAlignment(Qt::AlignCenter);
        cell->setMinimumSize(30, 22);
        cell->installEventFilter(this);
        cells_[i] = cell;
        grid->addWidget(cell, 1 + i / 7, i % 7);
    }
}

void DayGrid::Show(const std::array<int, kCells>& days, int chosenCell) {
    days_ = days;
    chosen_ = chosenCell;
    for (int i = 0; i < kCells; ++i) cells_[i]->setText(days[i] ? QString::number(days[i]) : "");
    Restyle();
}

void DayGrid::Restyle() {
    const bool focused = hasFocus();
    for (int i = 0; i < kCells; ++i) {
        const bool sunday = DateHourPickerModel::IsSundayCell(i);
        QString style;
        if (i == chosen_ && days_[i] != 0) {
            style = focused ? QString("background: #000080; color: %1; border: 1px solid black;")
                                  .arg(sunday ? "#ff4040" : "white")
                            : QString("background: white; color: %1; border: 1px solid black;")
                                  .arg(sunday ? "#c00000" : "black");
        } else {
            style = QString("background: white; color: %1; border: none;")
                        .arg(sunday ? "#c00000" : "black");
        }
        cells_[i]->setStyleSheet(style);
    }
}

bool DayGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < kCells; ++i) {
            if (watched == cells_[i]) {
                setFocus(Qt::MouseFocusReason);
                if (onCellClicked) onCellClicked(i);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DayGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (onKey) onKey(event->key());
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void DayGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    Restyle();
}

void DayGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    Restyle();
}

ClockFace::ClockFace(QWidget* parent) : QWidget(parent) {
    setObjectName("TimeP");
    setCursor(Qt::PointingHandCursor);
}

void ClockFace::SetHour(int hour) {
    if (hour_ == hour) return;
    hour_ = hour;
    update();
}

void ClockFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = qMin(width(), height()) - 4;
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = side / 2;
    const bool enabled = isEnabled();
    painter.setPen(QPen(enabled ? Qt::black : Qt::gray, 2));
    painter.setBrush(enabled ? QColor(0xff, 0xfb, 0xe8) : palette().color(QPalette::Button));
    painter.drawEllipse(centre, radius, radius);
    QFont font = painter.font();
    font.setPixelSize(qMax(8, int(radius / 5)));
    painter.setFont(font);
    for (int mark = 0; mark < 12; ++mark) {
        const double angle = mark * M_PI / 6;
        const QPointF direction(qSin(angle), -qCos(angle));
        painter.drawLine(centre + direction * radius * 0.86, centre + direction * radius * 0.96);
        const QPointF at = centre + direction * radius * 0.70;
        const QRectF box(at.x() - radius / 4, at.y() - radius / 6, radius / 2, radius / 3);
        painter.drawText(box, Qt::AlignCenter, QString::number(mark == 0 ? 12 : mark));
    }
    const double angle = (hour_ % 12) * M_PI / 6;
    painter.setPen(
        QPen(enabled ? QColor(0x00, 0x00, 0x80) : Qt::gray, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(qSin(angle), -qCos(angle)) * radius * 0.5);
    painter.setBrush(painter.pen().color());
    painter.drawEllipse(centre, 3, 3);
}

void ClockFace::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || !onClick) return;
    const QPointF at = event->position();
    onClick(at.x() - width() / 2.0, at.y() - height() / 2.0);
}

HalfDayIndicator::HalfDayIndicator(QColor litColour, QWidget* parent)
    : QWidget(parent), colour_(litColour) {
    setFixedSize(16, 16);
}

void HalfDayIndicator::SetLit(bool lit) {
    if (lit_ == lit) return;
    lit_ = lit;
    update();
}

void HalfDayIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(lit_ ? colour_ : QColor(0x40, 0x40, 0x40));
    painter.drawEllipse(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

}  // namespace vantor::gui
