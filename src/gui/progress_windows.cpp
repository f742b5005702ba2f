#include "progress_windows.h"

#include <QFormLayout>
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
    // Room for two lines, so that a long file name does not make the window jump.
    label->setMinimumHeight(label->fontMetrics().lineSpacing() * 2);
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

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow("Overall Process:", values_[0]);
    form->addRow(QString(), bars_[0]);
    form->addRow("Current Process:", values_[1]);
    form->addRow(QString(), bars_[1]);
    form->addRow("Current Task:", values_[2]);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
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
    text_->setMinimumSize(420, 90);
    bar_ = Bar(this, "progOverallProcess");
    task_ = MakeValueLabel(this, "lblCurrentTask");

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow("Current Task:", task_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(bar_);
    layout->addLayout(form);
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
