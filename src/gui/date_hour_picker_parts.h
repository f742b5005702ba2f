#pragma once
// The drawn parts of the date and hour picker: the grid of day cells, the clock face and the
// morning and afternoon indicators.

#include <QObject>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;

namespace vantor::gui {

// Seven columns from Sunday under a row of weekday names; cells are QLabels named "lblDay0"
// to "lblDay36". Arrow keys, Home and End move the chosen day while the grid has the focus.
class DayGrid : public QWidget {
  public:
    static constexpr int kCells = 37;
    explicit DayGrid(QWidget* parent);

    // Writes day numbers (0: empty) and marks the chosen cell.
    void Show(const std::array<int, kCells>& days, int chosenCell);
    QLabel* Cell(int index) const { return cells_[index]; }

    std::function<void(int cell)> onCellClicked;
    std::function<void(int key)> onKey;  // Qt::Key_Left, ...

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Restyle();
    std::array<QLabel*, kCells> cells_{};
    std::array<int, kCells> days_{};
    int chosen_ = -1;
};

// A clock with twelve marks and a hand; a click reports its offset from the centre.
class ClockFace : public QWidget {
  public:
    explicit ClockFace(QWidget* parent);
    void SetHour(int hour);
    std::function<void(double dx, double dy)> onClick;
    QSize sizeHint() const override { return {128, 128}; }
    QSize minimumSizeHint() const override { return {96, 96}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int hour_ = 0;
};

// A round lamp: lit in its colour, otherwise dark.
class HalfDayIndicator : public QWidget {
  public:
    HalfDayIndicator(QColor litColour, QWidget* parent);
    void SetLit(bool lit);
    bool IsLit() const { return lit_; }
    QSize sizeHint() const override { return {16, 16}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
    bool lit_ = false;
};

}  // namespace vantor::gui
