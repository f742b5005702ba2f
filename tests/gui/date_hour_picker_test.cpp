#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "common/clock.h"
#include "common/ole_date.h"
#include "date_hour_picker.h"
#include "date_hour_picker_parts.h"
#include "gui_test_support.h"

namespace vantor::gui {
namespace {

using namespace vantor::gui::testing;

std::string Stamp(int year, int month, int day, const std::string& hour) {
    return std::to_string(DateSerial(year, month, day)) + hour;
}

// Opens the picker modally on the model, lets the person act, and returns the tag.
std::string Pick(DateHourPickerModel& model, std::function<void(QWidget*)> person) {
    DateHourPicker picker(model, nullptr);
    WhenModal("frmSelectHour", std::move(person));
    picker.exec();
    return model.tag;
}

void ClickMonth(QWidget* picker, int month) {
    auto* months = Child<QListWidget>(picker, "lstMonth");
    QListWidgetItem* item = months->item(month - 1);
    months->scrollToItem(item);
    QTest::mouseClick(months->viewport(), Qt::LeftButton, {},
                      months->visualItemRect(item).center());
}

QStringList DaysShown(QWidget* picker) {
    QStringList days;
    for (int i = 0; i < DayGrid::kCells; ++i) {
        const QString text = Child<QLabel>(picker, qPrintable(QString("lblDay%1").arg(i)))->text();
        if (!text.isEmpty()) days << text;
    }
    return days;
}

QLabel* Cell(QWidget* picker, int index) {
    return Child<QLabel>(picker, qPrintable(QString("lblDay%1").arg(index)));
}

// The cell a day is written in.
QLabel* CellOfDay(QWidget* picker, int day) {
    for (int i = 0; i < DayGrid::kCells; ++i)
        if (Cell(picker, i)->text() == QString::number(day)) return Cell(picker, i);
    ADD_FAILURE() << "day " << day << " is not shown";
    return nullptr;
}

TEST(DateHourPickerWindow, EmptyTagJustAfterMidnightProposesYesterdayAtHour23) {
    FixedClock clock(2026, 3, 14, 0, 15);
    DateHourPickerModel model(clock);
    QString hour, year, title;
    int month = 0;
    bool afternoonLit = false;
    const std::string tag = Pick(model, [&](QWidget* picker) {
        title = picker->windowTitle();
        hour = Child<QLineEdit>(picker, "TimeT")->text();
        year = Child<QLabel>(picker, "lblYear")->text();
        month = Child<QListWidget>(picker, "lstMonth")->currentRow() + 1;
        afternoonLit = Child<HalfDayIndicator>(picker, "PMSH")->IsLit();
        EXPECT_FALSE(Child<HalfDayIndicator>(picker, "AMSH")->IsLit());
        EXPECT_FALSE(Child<QLineEdit>(picker, "txtMinutes")->isVisible());
        EXPECT_EQ(ButtonsDeafToReturn(picker).join(", ").toStdString(), "");
        EXPECT_EQ(ControlsWithoutTheirOwnName(picker).join("; ").toStdString(), "");
        QTest::keyClick(picker, Qt::Key_Return);  // OK is the default button
    });
    EXPECT_EQ(title, "Select Time");
    EXPECT_EQ(hour, "23");
    EXPECT_EQ(year, "2026");
    EXPECT_EQ(month, 3);
    EXPECT_TRUE(afternoonLit);
    EXPECT_EQ(tag, Stamp(2026, 3, 13, "23"));
}

TEST(DateHourPickerWindow, The31stMovesToThe30thInApril) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel model(clock);
    model.tag = Stamp(2026, 1, 5, "6");
    bool marked = false;
    const std::string tag = Pick(model, [&](QWidget* picker) {
        QTest::mouseClick(CellOfDay(picker, 31), Qt::LeftButton);
        EXPECT_EQ(Child<QScrollBar>(picker, "scrDay")->value(), 31);
        ClickMonth(picker, 4);
        EXPECT_EQ(DaysShown(picker).size(), 30);
        EXPECT_EQ(Child<QScrollBar>(picker, "scrDay")->value(), 30);
        // The chosen day is the one drawn with a border.
        marked = CellOfDay(picker, 30)->styleSheet().contains("border: 1px");
        EXPECT_FALSE(CellOfDay(picker, 29)->styleSheet().contains("border: 1px"));
        QTest::mouseClick(Child<QPushButton>(picker, "OKB"), Qt::LeftButton);
    });
    EXPECT_TRUE(marked);
    EXPECT_EQ(tag, Stamp(2026, 4, 30, "06"));
}

TEST(DateHourPickerWindow, FebruaryHas29DaysIn2000And28In1999) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel model(clock);
    model.tag = Stamp(2000, 2, 10, "12");
    QStringList days2000, days1999;
    QString firstCell, sundayStyle;
    const std::string tag = Pick(model, [&](QWidget* picker) {
        days2000 = DaysShown(picker);
        firstCell = Cell(picker, 2)->text();  // 1 February 2000 was a Tuesday
        QTest::mouseClick(CellOfDay(picker, 29), Qt::LeftButton);
        // One step back on the year scroll bar.
        auto* years = Child<QScrollBar>(picker, "scrYear");
        years->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(Child<QLabel>(picker, "lblYear")->text(), "1999");
        days1999 = DaysShown(picker);
        sundayStyle = Cell(picker, 0)->styleSheet();
        QTest::mouseClick(Child<QPushButton>(picker, "OKB"), Qt::LeftButton);
    });
    EXPECT_EQ(days2000.size(), 29);
    EXPECT_EQ(days1999.size(), 28);
    EXPECT_EQ(firstCell, "1");
    EXPECT_TRUE(sundayStyle.contains("#c00000")) << sundayStyle.toStdString();
    EXPECT_EQ(tag, Stamp(1999, 2, 28, "12"));
}

TEST(DateHourPickerWindow, AYearOutsideTheCalendarOpensOnTheSameDayThisYear) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel model(clock);
    model.tag = Stamp(1975, 8, 21, "7");
    const std::string tag = Pick(model, [](QWidget* picker) {
        EXPECT_EQ(Child<QLabel>(picker, "lblYear")->text(), "2026");
        QTest::keyClick(picker, Qt::Key_Return);
    });
    EXPECT_EQ(tag, Stamp(2026, 8, 21, "07"));
}

TEST(DateHourPickerWindow, CancelYieldsAnEmptyTagWhateverWasChosen) {
    FixedClock clock(2026, 3, 14, 10, 0);
    for (int way = 0; way < 2; ++way) {
        DateHourPickerModel model(clock);
        model.tag = Stamp(2026, 5, 2, "18");
        const std::string tag = Pick(model, [way](QWidget* picker) {
            ClickMonth(picker, 9);
            QTest::mouseClick(CellOfDay(picker, 12), Qt::LeftButton);
            if (way == 0)
                QTest::mouseClick(Child<QPushButton>(picker, "CancelB"), Qt::LeftButton);
            else
                QTest::keyClick(picker, Qt::Key_Escape);
        });
        EXPECT_EQ(tag, "") << "way " << way;
    }
}

TEST(DateHourPickerWindow, HourByKeysAndByTheClockFace) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel model(clock);
    model.tag = Stamp(2026, 3, 14, "9");
    bool morningBefore = false, afternoonAfter = false;
    QString afterClick;
    const std::string tag = Pick(model, [&](QWidget* picker) {
        auto* hour = Child<QLineEdit>(picker, "TimeT");
        morningBefore = Child<HalfDayIndicator>(picker, "AMSH")->IsLit();
        hour->setFocus();
        hour->selectAll();
        QTest::keyClicks(hour, "a1.x7");  // only the digits get in
        EXPECT_EQ(hour->text(), "17");
        afternoonAfter = Child<HalfDayIndicator>(picker, "PMSH")->IsLit();
        // A click at three o'clock keeps the afternoon.
        auto* face = Child<QWidget>(picker, "TimeP");
        QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(face->width() - 4, face->height() / 2));
        afterClick = hour->text();
        // Arrow keys move the chosen day in the calendar.
        auto* days = Child<QWidget>(picker, "picCalendar");
        days->setFocus();
        QTest::keyClick(days, Qt::Key_Down);
        QTest::keyClick(days, Qt::Key_Left);
        QTest::mouseClick(Child<QPushButton>(picker, "OKB"), Qt::LeftButton);
    });
    EXPECT_TRUE(morningBefore);
    EXPECT_TRUE(afternoonAfter);
    EXPECT_EQ(afterClick, "15");
    EXPECT_EQ(tag, Stamp(2026, 3, 20, "15"));
}

TEST(DateHourPickerWindow, MinutesWhenAskedAndDayOnlyPickers) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel model(clock);
    model.tag = Stamp(2026, 3, 14, "08:45");
    model.returnMinutes = true;
    std::string tag = Pick(model, [](QWidget* picker) {
        auto* minutes = Child<QLineEdit>(picker, "txtMinutes");
        EXPECT_TRUE(minutes->isVisible());
        EXPECT_EQ(minutes->text(), "45");
        minutes->setFocus();
        minutes->selectAll();
        QTest::keyClicks(minutes, "3x0");
        QTest::keyClick(minutes, Qt::Key_Return);
    });
    EXPECT_EQ(tag, Stamp(2026, 3, 14, "08:30"));

    DateHourPickerModel dayOnly(clock);
    dayOnly.tag = Stamp(2026, 3, 14, "08");
    dayOnly.DisableTime();
    tag = Pick(dayOnly, [](QWidget* picker) {
        EXPECT_FALSE(Child<QLineEdit>(picker, "TimeT")->isEnabled());
        EXPECT_FALSE(Child<QWidget>(picker, "TimeP")->isEnabled());
        QTest::keyClick(picker, Qt::Key_Return);
    });
    EXPECT_EQ(tag, Stamp(2026, 3, 14, "08"));
}

}  // namespace
}  // namespace vantor::gui
