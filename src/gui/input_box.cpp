#include "input_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/product_info.h"
#include "qt_text.h"

namespace vantor::gui {

namespace {

// Masks a password with the character the caller chose rather than the desktop's own.
class PasswordCharacterStyle : public QProxyStyle {
  public:
    explicit PasswordCharacterStyle(QChar character) : character_(character) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return character_.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

  private:
    QChar character_;
};

}  // namespace

InputBox::InputBox(const InputBoxRequest& request, QWidget* owner) : QDialog(owner) {
    setObjectName("frmGoodInputBox");
    const QString title = Q(request.title).trimmed();
    setWindowTitle(title.isEmpty() ? QString(kProgramTitle) : title);

    prompt_ = new QLabel(Q(request.prompt).trimmed(), this);
    prompt_->setObjectName("Label1");
    prompt_->setWordWrap(true);
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setMinimumWidth(280);

    text_ = new QLineEdit(this);
    text_->setObjectName("Text1");
    if (request.maxLength > 0) text_->setMaxLength(request.maxLength);
    text_->setText(Q(request.defaultText));
    text_->selectAll();
    const QString mask = Q(request.passwordChar);
    if (!mask.isEmpty()) {
        auto* style = new PasswordCharacterStyle(mask.front());
        style->setParent(text_);  // lives exactly as long as the field it masks
        text_->setStyle(style);
        text_->setEchoMode(QLineEdit::Password);
    }
    prompt_->setBuddy(text_);

    ok_ = new QPushButton(tr("OK"), this);
    ok_->setObjectName("cmdOk");
    ok_->setDefault(true);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName("cmdCancel");

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(prompt_, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(text_);
    // Its contents have one size: opened at its natural size and kept there, it gets no
    // maximise button from the window manager and no empty space.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, [this] {
        cancelled_ = false;
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

InputBoxResult InputBox::Run() {
    cancelled_ = true;
    exec();
    InputBoxResult result;
    result.cancelled = cancelled_;
    if (!cancelled_) result.text = S(text_->text());
    return result;
}

}  // namespace vantor::gui
