#pragma once
// Answers the modal dialogs a window opens while a test drives it, as a person would: each
// answer waits for the next message box or input box to become the active modal window, notes
// what it showed, and presses a button or types a text.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QMessageBox>
#include <QObject>
#include <QTimer>

namespace vantor::testing {

class ModalAnswers : public QObject {
  public:
    ModalAnswers();
    ~ModalAnswers() override;

    // The next message box: presses the button.
    void Press(QMessageBox::StandardButton button);
    // The next input box: types the text and presses OK.
    void Type(const std::string& text);
    // The next input box: presses Cancel.
    void CancelInput();
    // The next modal window of the type, once ready says it is (a window still filling itself
    // is left to finish): handled by the function, which may open further modal windows (the
    // answers after this one serve them).
    template <typename Window>
    void Do(
        std::function<void(Window*)> handle,
        std::function<bool(Window*)> ready = [](Window*) { return true; }) {
        answers_.push_back([handle, ready](QWidget* widget) {
            auto* window = qobject_cast<Window*>(widget);
            if (window == nullptr || !ready(window)) return false;
            handle(window);
            return true;
        });
    }

    // The texts of the boxes answered so far (a message's text, an input box's prompt).
    const std::vector<std::string>& Seen() const { return seen_; }
    // The default text input boxes offered, in order.
    const std::vector<std::string>& Offered() const { return offered_; }
    // The answers not used yet.
    size_t Pending() const { return answers_.size(); }

  private:
    // Returns true when the widget was the kind expected and was answered.
    using Answer = std::function<bool(QWidget*)>;
    void Poll();

    std::deque<Answer> answers_;
    std::vector<std::string> seen_;
    std::vector<std::string> offered_;
};

}  // namespace vantor::testing
