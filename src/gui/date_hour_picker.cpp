#include "date_hour_picker.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/locale.h"
#include "date_hour_picker_parts.h"
#include "key_filter.h"
#include "qt_text.h"

namespace vantor::gui {

DateHourPicker::DateHourPicker(DateHourPickerModel& model, QWidget* owner)
    : QDialog(owner), model_(model) {
    setObjectName("frmSelectHour");
    setWindowTitle(Q(model.caption));

    // Made in the order Tab walks them: months, calendar, time, buttons.
    BuildMonthList();
    auto* body = new QHBoxLayout;
    body->addWidget(months_);
    body->addLayout(BuildCalendar(), 1);
    body->addSpacing(8);
    body->addLayout(BuildTime());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(BuildButtons());
    // Its contents have one size: opened at its natural size and kept there, it gets no
    // maximise button from the window manager and no empty space.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ConnectControls();
}

void DateHourPicker::BuildMonthList() {
    months_ = new QListWidget(this);
    months_->setObjectName("lstMonth");
    months_->setAccessibleName("Month");
    for (int month = 1; month <= 12; ++month) months_->addItem(Q(MonthName(month)));
    months_->setFixedWidth(months_->sizeHintForColumn(0) + 2 * months_->frameWidth() + 12);
    months_->setMinimumHeight(months_->sizeHintForRow(0) * 12 + 2 * months_->frameWidth());
    months_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    months_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// The year over the day grid, the day scroll bar beside it.
QLayout* DateHourPicker::BuildCalendar() {
    year_ = new QLabel(this);
    year_->setObjectName("lblYear");
    year_->setAlignment(Qt::AlignCenter);
    QFont yearFont = year_->font();
    yearFont.setBold(true);
    yearFont.setPointSize(yearFont.pointSize() + 2);
    year_->setFont(yearFont);
    yearBar_ = new QScrollBar(Qt::Horizontal, this);
    yearBar_->setObjectName("scrYear");
    yearBar_->setRange(DateHourPickerModel::kFirstYear, DateHourPickerModel::kLastYear);
    yearBar_->setPageStep(1);

    days_ = new DayGrid(this);
    dayBar_ = new QScrollBar(Qt::Vertical, this);
    dayBar_->setObjectName("scrDay");
    dayBar_->setPageStep(1);

    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(year_);
    yearRow->addWidget(yearBar_, 1);
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(days_, 1);
    dayRow->addWidget(dayBar_);
    auto* calendar = new QVBoxLayout;
    calendar->addLayout(yearRow);
    calendar->addLayout(dayRow, 1);
    return calendar;
}

// The clock with the hour field, the two indicators and the minutes under it.
QLayout* DateHourPicker::BuildTime() {
    hourLabel_ = new QLabel("&Hour:", this);
    hourLabel_->setObjectName("lblHour");
    hour_ = new QLineEdit(this);
    hour_->setObjectName("TimeT");
    hour_->setMaxLength(2);
    hour_->setFixedWidth(hour_->fontMetrics().horizontalAdvance("000") + 16);
    FilterKeys(hour_, &DateHourPickerModel::FilterHourKey);
    hourLabel_->setBuddy(hour_);
    clock_ = new ClockFace(this);
    morning_ = new HalfDayIndicator(QColor(0x00, 0xc0, 0x00), this);
    morning_->setObjectName("AMSH");
    afternoon_ = new HalfDayIndicator(QColor(0xe0, 0x00, 0x00), this);
    afternoon_->setObjectName("PMSH");
    morningLabel_ = new QLabel("AM", this);
    morningLabel_->setObjectName("lblAM");
    afternoonLabel_ = new QLabel("PM", this);
    afternoonLabel_->setObjectName("lblPM");
    minutesLabel_ = new QLabel("&Minutes:", this);
    minutesLabel_->setObjectName("lblMinutes");
    minutes_ = new QLineEdit(this);
    minutes_->setObjectName("txtMinutes");
    minutes_->setMaxLength(2);
    minutes_->setFixedWidth(hour_->width());
    FilterKeys(minutes_, &DateHourPickerModel::FilterHourKey);
    minutesLabel_->setBuddy(minutes_);

    auto* halves = new QHBoxLayout;
    halves->addStretch();
    halves->addWidget(morning_);
    halves->addWidget(morningLabel_);
    halves->addSpacing(10);
    halves->addWidget(afternoon_);
    halves->addWidget(afternoonLabel_);
    halves->addStretch();
    auto* fields = new QGridLayout;
    fields->addWidget(hourLabel_, 0, 0);
    fields->addWidget(hour_, 0, 1);
    fields->addWidget(minutesLabel_, 1, 0);
    fields->addWidget(minutes_, 1, 1);
    auto* time = new QVBoxLayout;
    time->addWidget(clock_, 1, Qt::AlignHCenter);
    time->addLayout(halves);
    time->addLayout(fields);
    time->addStretch();
    return time;
}

QLayout* DateHourPicker::BuildButtons() {
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OKB");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("CancelB");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    return buttons;
}

void DateHourPicker::ConnectControls() {
    connect(months_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (refreshing_ || row < 0) return;
        model_.SelectMonth(row + 1);
        Refresh();
    });
    connect(yearBar_, &QScrollBar::valueChanged, this, [this](int year) {
        if (refreshing_) return;
        model_.SetYear(year);
        Refresh();
    });
    connect(dayBar_, &QScrollBar::valueChanged, this, [this](int day) {
        if (refreshing_) return;
        model_.SelectDay(day);
        Refresh();
    });
    days_->onCellClicked = [this](int cell) {
        model_.ClickCell(cell);
        Refresh();
    };
    days_->onKey = [this](int key) {
        int day = model_.Day();
        switch (key) {
            case Qt::Key_Left:
                day -= 1;
                break;
            case Qt::Key_Right:
                day += 1;
                break;
            case Qt::Key_Up:
                day -= 7;
                break;
            case Qt::Key_Down:
                day += 7;
                break;
            case Qt::Key_Home:
                day = 1;
                break;
            case Qt::Key_End:
                day = model_.DaysInShownMonth();
                break;
            default:
                return;
        }
        if (day < 1) day = 1;
        model_.SelectDay(day);
        Refresh();
    };
    connect(hour_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.SetHourText(S(text));
        Refresh();
    });
    clock_->onClick = [this](double dx, double dy) {
        model_.ClickClock(dx, dy);
        Refresh();
    };
    connect(minutes_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.minutesText = S(text); });
    connect(ok_, &QPushButton::clicked, this, &DateHourPicker::accept);
    connect(cancel_, &QPushButton::clicked, this, &DateHourPicker::reject);
}

void DateHourPicker::showEvent(QShowEvent* event) {
    model_.Activate();
    Refresh();
    QDialog::showEvent(event);
    days_->setFocus(Qt::OtherFocusReason);
}

void DateHourPicker::Refresh() {
    refreshing_ = true;
    setWindowTitle(Q(model_.caption));
    months_->setCurrentRow(model_.Month() - 1);
    year_->setText(QString::number(model_.Year()));
    yearBar_->setValue(model_.Year());
    dayBar_->setRange(1, model_.DaysInShownMonth());
    dayBar_->setValue(model_.Day());

    std::array<int, DayGrid::kCells> days{};
    for (int i = 0; i < DayGrid::kCells; ++i) days[i] = model_.DayInCell(i);
    days_->Show(days, model_.ChosenCell());

    const QString hourText = Q(model_.HourText());
    if (hour_->text() != hourText) hour_->setText(hourText);
    clock_->SetHour(model_.Hour());
    morning_->SetLit(model_.IsMorning());
    afternoon_->SetLit(!model_.IsMorning());

    const bool timeEnabled = model_.TimeEnabled();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{hourLabel_, hour_, clock_, morningLabel_, afternoonLabel_})
        widget->setEnabled(timeEnabled);
    if (!timeEnabled) {
        QPalette palette = hour_->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        hour_->setPalette(palette);
    }

    minutesLabel_->setVisible(model_.returnMinutes);
    minutes_->setVisible(model_.returnMinutes);
    const QString minutesText = Q(model_.minutesText);
    if (minutes_->text() != minutesText) minutes_->setText(minutesText);
    refreshing_ = false;
}

void DateHourPicker::accept() {
    model_.Ok();
    QDialog::accept();
}

void DateHourPicker::reject() {
    model_.Cancel();
    QDialog::reject();
}

}  // namespace vantor::gui
