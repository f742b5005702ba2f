#pragma once
// The two progress windows a long operation shows: the import progress window
// (frmLogImportProgress: overall process, current process and current task, two bars) and the
// database progress window (frmPlayoutProgress: a text box, one bar and the current task).
// Both come to the front without taking the focus from the window the operator works in, and
// a changed label is drawn at once, before the operation goes on to its next item.

#include <QDialog>
#include <string>

#include "common/user_interface.h"

class QLabel;
class QProgressBar;
class QTextEdit;

namespace vantor::gui {

// Shows a progress window in front, without activating it.
void ShowInFront(QWidget* window);

class ImportProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ImportProgressWindow(QWidget* owner);

    void Clear();
    void SetText(ImportProgressLabel label, const std::string& text);
    void SetValue(ImportProgressBar bar, int value, int maximum);
    QLabel* ValueLabel(ImportProgressLabel label) const;

  private:
    QLabel* values_[3];
    QProgressBar* bars_[2];
};

class DatabaseProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit DatabaseProgressWindow(QWidget* owner);

    void SetTask(const std::string& text);
    void SetText(const std::string& text);
    void SetValue(int value, int maximum);

  private:
    QTextEdit* text_;
    QProgressBar* bar_;
    QLabel* task_;
};

}  // namespace vantor::gui
