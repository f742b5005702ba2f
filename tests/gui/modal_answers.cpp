#include "modal_answers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "input_box.h"

namespace vantor::testing {

namespace {
constexpr int kPollMilliseconds = 10;
}

ModalAnswers::ModalAnswers() {
    QTimer::singleShot(kPollMilliseconds, this, [this] { Poll(); });
}

ModalAnswers::~ModalAnswers() = default;

void ModalAnswers::Press(QMessageBox::StandardButton button) {
    answers_.push_back([this, button](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr) return false;
        seen_.push_back(box->text().toStdString());
        QAbstractButton* pressed = box->button(button);
        if (pressed == nullptr) return false;
        pressed->click();
        return true;
    });
}

void ModalAnswers::Type(const std::string& text) {
    answers_.push_back([this, text](QWidget* widget) {
        auto* input = qobject_cast<gui::InputBox*>(widget);
        if (input == nullptr) return false;
        seen_.push_back(input->findChild<QLabel*>("Label1")->text().toStdString());
        auto* field = input->findChild<QLineEdit*>("Text1");
        offered_.push_back(field->text().toStdString());
        field->setText(QString::fromStdString(text));
        input->findChild<QPushButton*>("cmdOk")->click();
        return true;
    });
}

void ModalAnswers::CancelInput() {
    answers_.push_back([this](QWidget* widget) {
        auto* input = qobject_cast<gui::InputBox*>(widget);
        if (input == nullptr) return false;
        seen_.push_back(input->findChild<QLabel*>("Label1")->text().toStdString());
        input->findChild<QPushButton*>("cmdCancel")->click();
        return true;
    });
}

void ModalAnswers::Poll() {
    // A fresh timer for every turn: a timer does not fire again while its own handler runs, and
    // an answer may wait inside a modal window that the next answer has to serve.
    QTimer::singleShot(kPollMilliseconds, this, [this] { Poll(); });
    if (answers_.empty()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    // Taken off first: an answer that opens another modal window runs an event loop of its own,
    // in which the answers after it serve that window.
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    if (!answer(modal)) answers_.push_front(std::move(answer));
}

}  // namespace vantor::testing
