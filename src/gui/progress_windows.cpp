#include "progress_windows.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTextEdit>
#include <QVBoxLayout>

#include "qt_text.h"

namespace vantor::gui {

namespace {

QLabel* MakeValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* Caption(QWidget* parent, const char* text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QProgressBar* Bar(QWidget* parent, const char* name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

// Sets a label's text and draws it now: the operation that changed it will not hand control
// back to the window until its next item is done.
void SetNow(QLabel* label, const std::string& text) {
    const QString value = Q(text);
    if (label->text() == value) return;
    label->setText(value);
    if (label->isVisible()) label->repaint();
}

void SetBar(QProgressBar* bar, int value, int maximum) {
    if (maximum < 0) maximum = 0;
    if (bar->maximum() != maximum) bar->setRange(0, maximum);
    bar->setValue(value < 0 ? 0 : (value > maximum ? maximum : value));
}

}  // namespace

void ShowInFront(QWidget* window) {
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->show();
    window->raise();
}

ImportProgressWindow::ImportProgressWindow(QWidget* owner) : QDialog(owner) {
    setObjectName("frmLogImportProgress");
    setWindowTitle("Log Import Progress");
    setAttribute(Qt::WA_ShowWithoutActivating);
    values_[0] = MakeValueLabel(this, "lblOverallProcess");
    values_[1] = MakeValueLabel(this, "lblCurrentProcess");
    values_[2] = MakeValueLabel(this, "lblCurrentTask");
    bars_[0] = Bar(this, "progOverallProcess");
    bars_[1] = Bar(this, "progCurrentProcess");

    auto* grid = new QGridLayout(this);
    const char* captions[] = {"Overall Process:", "Current Process:", "Current Task:"};
    int row = 0;
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(Caption(this, captions[i]), row, 0, Qt::AlignTop);
        grid->addWidget(values_[i], row++, 1, Qt::AlignTop);
        if (i < 2) grid->addWidget(bars_[i], row++, 0, 1, 2);
    }
    grid->setColumnStretch(1, 1);
}

void ImportProgressWindow::Clear() {
    for (QLabel* label : values_) label->clear();
    for (QProgressBar* bar : bars_) bar->setValue(0);
}

QLabel* ImportProgressWindow::ValueLabel(ImportProgressLabel label) const {
    return values_[static_cast<int>(label)];
}

void ImportProgressWindow::SetText(ImportProgressLabel label, const std::string& text) {
    SetNow(ValueLabel(label), text);
}

void ImportProgressWindow::SetValue(ImportProgressBar bar, int value, int maximum) {
    SetBar(bars_[static_cast<int>(bar)], value, maximum);
}

DatabaseProgressWindow::DatabaseProgressWindow(QWidget* owner) : QDialog(owner) {
    setObjectName("frmPlayoutProgress");
    setWindowTitle("Vantor Kora Interface");
    setAttribute(Qt::WA_ShowWithoutActivating);
    text_ = new QTextEdit(this);
    text_->setObjectName("rtfText");
    text_->setReadOnly(true);
    text_->setFocusPolicy(Qt::NoFocus);
    text_->setMinimumSize(420, 60);
    text_->setMaximumHeight(120);
    bar_ = Bar(this, "progOverallProcess");
    task_ = MakeValueLabel(this, "lblCurrentTask");

    auto* grid = new QGridLayout(this);
    grid->addWidget(text_, 0, 0, 1, 2);
    grid->addWidget(bar_, 1, 0, 1, 2);
    grid->addWidget(Caption(this, "Current Task:"), 2, 0, Qt::AlignTop);
    grid->addWidget(task_, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
}

void DatabaseProgressWindow::SetTask(const std::string& text) {
    SetNow(task_, text);
}

void DatabaseProgressWindow::SetText(const std::string& text) {
    text_->setPlainText(Q(text));
    if (text_->isVisible()) text_->repaint();
}

void DatabaseProgressWindow::SetValue(int value, int maximum) {
    SetBar(bar_, value, maximum);
}

}  // namespace vantor::gui
