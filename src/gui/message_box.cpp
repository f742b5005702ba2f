#include "message_box.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "config/product_info.h"
#include "qt_text.h"

namespace vantor::gui {

namespace {

// Escape is ignored in a box without a button for it (Yes/No, Abort/Retry/Ignore).
class SeamMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;
    bool escapeAllowed = true;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!escapeAllowed && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

struct ButtonMap {
    MessageResult result;
    QMessageBox::StandardButton button;
};

std::vector<ButtonMap> ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return {{MessageResult::Ok, QMessageBox::Ok}};
        case MessageButtons::OkCancel:
            return {{MessageResult::Ok, QMessageBox::Ok},
                    {MessageResult::Cancel, QMessageBox::Cancel}};
        case MessageButtons::YesNo:
            return {{MessageResult::Yes, QMessageBox::Yes}, {MessageResult::No, QMessageBox::No}};
        case MessageButtons::YesNoCancel:
            return {{MessageResult::Yes, QMessageBox::Yes},
                    {MessageResult::No, QMessageBox::No},
                    {MessageResult::Cancel, QMessageBox::Cancel}};
        case MessageButtons::RetryCancel:
            return {{MessageResult::Retry, QMessageBox::Retry},
                    {MessageResult::Cancel, QMessageBox::Cancel}};
        case MessageButtons::AbortRetryIgnore:
            return {{MessageResult::Abort, QMessageBox::Abort},
                    {MessageResult::Retry, QMessageBox::Retry},
                    {MessageResult::Ignore, QMessageBox::Ignore}};
    }
    return {{MessageResult::Ok, QMessageBox::Ok}};
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageResult ShowMessageBox(QWidget* owner, const MessageRequest& request) {
    SeamMessageBox box(owner);
    box.setObjectName("MessageBox");
    box.setIcon(IconOf(request.icon));
    box.setWindowTitle(Q(request.title.empty() ? std::string(kProgramTitle) : request.title));
    box.setText(Q(request.text));
    box.setTextFormat(Qt::PlainText);

    const std::vector<ButtonMap> buttons = ButtonsOf(request.buttons);
    QMessageBox::StandardButtons set;
    for (const ButtonMap& b : buttons) set |= b.button;
    box.setStandardButtons(set);

    const MessageResult defaultResult = DefaultButtonOf(request);
    QAbstractButton* escapeButton = nullptr;
    for (const ButtonMap& b : buttons) {
        if (b.result == defaultResult) box.setDefaultButton(b.button);
        if (b.result == MessageResult::Cancel) escapeButton = box.button(b.button);
    }
    if (!escapeButton && buttons.size() == 1) escapeButton = box.button(buttons.front().button);
    if (escapeButton)
        box.setEscapeButton(escapeButton);
    else
        box.escapeAllowed = false;

    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const ButtonMap& b : buttons)
        if (clicked && box.standardButton(const_cast<QAbstractButton*>(clicked)) == b.button)
            return b.result;
    // Closed without a button (the window's close box): Cancel where there is one.
    for (const ButtonMap& b : buttons)
        if (b.result == MessageResult::Cancel) return b.result;
    return defaultResult;
}

}  // namespace vantor::gui
