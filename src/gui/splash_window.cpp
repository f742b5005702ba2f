#include "splash_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/files.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/splash_text.h"
#include "common/system_info.h"
#include "config/product_info.h"
#include "qt_text.h"

namespace vantor::gui {

namespace {

constexpr const char* kWarning =
    "Warning: this program is protected by copyright law and international treaties. "
    "Reproducing or distributing it, or any part of it, without permission may result in "
    "civil and criminal penalties.";

QPixmap BuiltInLogo() {
    QPixmap logo(120, 120);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 120, 120);
    gradient.setColorAt(0, QColor(0x1f, 0x4e, 0x9c));
    gradient.setColorAt(1, QColor(0x0b, 0x23, 0x4a));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 112, 112), 18, 18);
    QFont font = painter.font();
    font.setPixelSize(76);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(4, 0, 112, 104), Qt::AlignCenter, "V");
    font.setPixelSize(13);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(4, 84, 112, 28), Qt::AlignCenter, "VANTOR");
    return logo;
}

QLabel* Line(QWidget* parent, const char* name, const QString& text, int pointDelta = 0,
             bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    if (pointDelta != 0 || bold) {
        QFont font = label->font();
        font.setPointSize(font.pointSize() + pointDelta);
        font.setBold(bold);
        label->setFont(font);
    }
    return label;
}

}  // namespace

QPixmap SplashWindow::Logo() {
    const std::string path = JoinPath(ProgramDirectory(), "LOGO.BMP");
    if (FileLength(path) > 0) {
        QPixmap picture;
        if (picture.load(Q(ResolvePath(path)))) return picture;
    }
    return BuiltInLogo();
}

SplashWindow::SplashWindow(Mode mode, QWidget* owner) : QDialog(owner) {
    setObjectName("frmSplash");
    setWindowTitle("About " + QString(kProductName));
    if (mode == Mode::Splash) setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);

    auto* frame = new QFrame(this);
    frame->setObjectName("Frame1");
    frame->setFrameShape(QFrame::Box);

    auto* logo = new QLabel(frame);
    logo->setObjectName("imgLogo");
    logo->setPixmap(Logo());
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* text = new QVBoxLayout;
    text->addWidget(Line(frame, "lblCompanyProduct", kCompanyName, 0, true));
    text->addWidget(Line(frame, "lblProductName", kProductName, 8, true));
    text->addWidget(Line(frame, "lblPlatform", Q(PlatformLine(WindowsVersion())), 2));
    text->addWidget(Line(frame, "lblVersion", Q(VersionLine()), 2));
    text->addStretch();
    currentAction_ = Line(frame, "lblCurrentAction", QString());
    currentAction_->setMinimumWidth(300);
    text->addWidget(currentAction_);

    auto* top = new QHBoxLayout;
    top->addWidget(logo);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* warning = Line(frame, "lblWarning", kWarning, -1);
    warning->setWordWrap(true);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(16, 16, 16, 12);
    inner->addLayout(top);
    inner->addSpacing(10);
    inner->addWidget(warning);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    if (mode == Mode::About) {
        auto* ok = new QPushButton("OK", this);
        ok->setObjectName("cmdOK");
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(ok);
        layout->addLayout(buttons);
        currentAction_->hide();
    }
    setMinimumWidth(520);
}

void SplashWindow::SetCurrentAction(const std::string& text) {
    currentAction_->setText(Q(text));
    if (currentAction_->isVisible()) currentAction_->repaint();
}

void SplashWindow::SetFloating(bool floating) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);
    if (visible) show();
}

}  // namespace vantor::gui
