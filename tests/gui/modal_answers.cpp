#include "modal_answers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>

namespace vantor::testing {

ModalAnswers::ModalAnswers() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    timer_.start();
}

ModalAnswers::~ModalAnswers() {
    timer_.stop();
}

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
        auto* input = qobject_cast<QInputDialog*>(widget);
        if (input == nullptr) return false;
        seen_.push_back(input->labelText().toStdString());
        offered_.push_back(input->textValue().toStdString());
        input->setTextValue(QString::fromStdString(text));
        input->accept();
        return true;
    });
}

void ModalAnswers::CancelInput() {
    answers_.push_back([this](QWidget* widget) {
        auto* input = qobject_cast<QInputDialog*>(widget);
        if (input == nullptr) return false;
        seen_.push_back(input->labelText().toStdString());
        input->reject();
        return true;
    });
}

void ModalAnswers::Poll() {
    if (answers_.empty()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal == lastAnswered_.data()) return;
    if (answers_.front()(modal)) {
        lastAnswered_ = modal;
        answers_.pop_front();
    }
}

}  // namespace vantor::testing
