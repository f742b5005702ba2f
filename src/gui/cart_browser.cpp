#include "cart_browser.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "common/fit_text.h"
#include "display_colour.h"
#include "qt_text.h"
#include "screen_placement.h"

namespace vantor::gui {
namespace {

constexpr int kNumberButtonWidth = 48;
constexpr int kPanelTextMargin = 8;  // room the panel keeps free beside its text
constexpr int kScreenMargin = 2;     // from the screen's top and right edges
constexpr int kInitialWidth = 244;
constexpr int kInitialHeight = 520;
const char* const kSelectedNumberStyle = "background-color: #0000c0; color: white;";

}  // namespace

CartBrowser::CartBrowser(CartBrowserModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), model_(model) {
    setObjectName("frmCartBrowser");
    setWindowTitle(CartBrowserModel::kCaption);

    auto* jumpLabel = new QLabel("Jump to &Cart:", this);
    txtCartNumber_ = new QLineEdit(this);
    txtCartNumber_->setObjectName("txtCartNumber");
    txtCartNumber_->setMinimumWidth(txtCartNumber_->fontMetrics().horizontalAdvance("000000") + 8);
    jumpLabel->setBuddy(txtCartNumber_);
    cmdJumpCart_ = new QPushButton("&Jump", this);
    cmdJumpCart_->setObjectName("cmdJumpCart");
    cmdFindCart_ = new QPushButton("&Find", this);
    cmdFindCart_->setObjectName("cmdFindCart");
    for (QPushButton* b : {cmdJumpCart_, cmdFindCart_}) {
        b->setAutoDefault(true);  // Return presses the button with the focus
        b->setMinimumWidth(0);
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 24);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(jumpLabel);
    top->addWidget(txtCartNumber_, 1);
    top->addWidget(cmdJumpCart_);
    top->addWidget(cmdFindCart_);

    slotArea_ = new QWidget(this);
    slotArea_->setObjectName("picSlots");
    slotArea_->setMinimumHeight(PanelHeight());
    slotArea_->installEventFilter(this);

    auto* scroll = new QVBoxLayout;
    const char* captions[2][2] = {{"\u25B2", "\u25BC"}, {"\u25B2\u25B2", "\u25BC\u25BC"}};
    const char* tips[2][2] = {{"One cart up", "One cart down"}, {"One page up", "One page down"}};
    for (int i = 0; i < 2; ++i) {
        cmdSmallScroll_[i] = new QPushButton(captions[0][i], this);
        cmdSmallScroll_[i]->setObjectName(QString("cmdSmallScroll(%1)").arg(i));
        cmdSmallScroll_[i]->setToolTip(tips[0][i]);
        cmdBigScroll_[i] = new QPushButton(captions[1][i], this);
        cmdBigScroll_[i]->setObjectName(QString("cmdBigScroll(%1)").arg(i));
        cmdBigScroll_[i]->setToolTip(tips[1][i]);
        for (QPushButton* b : {cmdSmallScroll_[i], cmdBigScroll_[i]}) {
            b->setAutoDefault(false);
            b->setFixedWidth(32);
            b->setFocusPolicy(Qt::NoFocus);
        }
    }
    scroll->addWidget(cmdBigScroll_[0]);
    scroll->addWidget(cmdSmallScroll_[0]);
    scroll->addStretch(1);
    scroll->addWidget(cmdSmallScroll_[1]);
    scroll->addWidget(cmdBigScroll_[1]);
    auto* middle = new QHBoxLayout;
    middle->addWidget(slotArea_, 1);
    middle->addLayout(scroll);

    chkDouble_ = new QCheckBox("&Double height", this);
    chkDouble_->setObjectName("chkDouble");
    chkDouble_->setToolTip(CartBrowserModel::kDoubleHeightToolTip);
    cmdCancel_ = new QPushButton("Cancel", this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkDouble_);
    bottom->addStretch(1);
    bottom->addWidget(cmdCancel_);

    status_ = new QStatusBar(this);
    status_->setObjectName("staStatus");
    status_->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    layout->addWidget(status_);

    for (QWidget* w : std::initializer_list<QWidget*>{txtCartNumber_, cmdJumpCart_, cmdFindCart_,
                                                      chkDouble_, cmdCancel_})
        w->installEventFilter(this);

    connect(txtCartNumber_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.SetNumberText(text.toStdString());
        cmdJumpCart_->setEnabled(model_.JumpEnabled());
    });
    connect(txtCartNumber_, &QLineEdit::returnPressed, this, [this] { model_.Jump(); });
    connect(cmdJumpCart_, &QPushButton::clicked, this, [this] { model_.Jump(); });
    connect(cmdFindCart_, &QPushButton::clicked, this, [this] { model_.OpenFindFromBrowser(); });
    connect(cmdSmallScroll_[0], &QPushButton::clicked, this, [this] { model_.CartUp(); });
    connect(cmdSmallScroll_[1], &QPushButton::clicked, this, [this] { model_.CartDown(); });
    connect(cmdBigScroll_[0], &QPushButton::clicked, this, [this] { model_.PageUp(); });
    connect(cmdBigScroll_[1], &QPushButton::clicked, this, [this] { model_.PageDown(); });
    connect(chkDouble_, &QCheckBox::toggled, this, [this](bool on) {
        if (refreshing_ || on == model_.DoubleHeight()) return;
        model_.SetDoubleHeight(on);
        LayOutSlots();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { model_.Cancel(); });

    model_.OnChanged([this] { Refresh(); });
    resize(kInitialWidth, kInitialHeight);
}

int CartBrowser::PanelHeight() const {
    // 21 pixels a slot, or twice that; never less than the panel's font needs.
    QFontMetrics metrics(font());
    if (model_.DoubleHeight()) return std::max(42, 3 * metrics.lineSpacing() + 4);
    return std::max(21, metrics.height() + 6);
}

void CartBrowser::LayOutSlots() {
    model_.LayOutSlots(CartBrowserModel::SlotsForHeight(slotArea_->height(), PanelHeight()));
}

int CartBrowser::SlotOfWidget(QObject* widget) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].number == widget || slots_[i].panel == widget) return static_cast<int>(i) + 1;
    return 0;
}

void CartBrowser::MatchSlotWidgets() {
    size_t wanted = static_cast<size_t>(model_.SlotCount());
    while (slots_.size() > wanted) {
        delete slots_.back().number;
        delete slots_.back().panel;
        slots_.pop_back();
    }
    while (slots_.size() < wanted) {
        int index = static_cast<int>(slots_.size()) + 1;
        SlotWidgets slot;
        slot.number = new QPushButton(slotArea_);
        slot.number->setObjectName(QString("cmdCartNumber(%1)").arg(index));
        slot.number->setAutoDefault(false);
        slot.number->setFocusPolicy(Qt::NoFocus);
        slot.number->installEventFilter(this);
        connect(slot.number, &QPushButton::pressed, this,
                [this, index] { model_.PressSlot(index); });
        connect(slot.number, &QPushButton::clicked, this,
                [this, index] { model_.ChooseSlot(index); });
        slot.panel = new QLabel(slotArea_);
        slot.panel->setObjectName(QString("pnlCart(%1)").arg(index));
        slot.panel->setAutoFillBackground(true);
        slot.panel->setFrameShape(QFrame::Panel);
        slot.panel->setFrameShadow(QFrame::Sunken);
        slot.panel->setMargin(2);
        slot.panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        slot.panel->installEventFilter(this);
        slots_.push_back(slot);
    }
    int height = PanelHeight();
    int panelWidth = std::max(slotArea_->width() - kNumberButtonWidth - 2, 10);
    for (size_t i = 0; i < slots_.size(); ++i) {
        int y = static_cast<int>(i) * height;
        slots_[i].number->setGeometry(0, y, kNumberButtonWidth, height);
        slots_[i].panel->setGeometry(kNumberButtonWidth + 2, y, panelWidth, height);
    }
}

void CartBrowser::Refresh() {
    if (refreshing_) return;
    refreshing_ = true;

    txtCartNumber_->setMaxLength(model_.NumberFieldMaxLength());
    if (txtCartNumber_->text().toStdString() != model_.NumberText())
        txtCartNumber_->setText(Q(model_.NumberText()));
    cmdJumpCart_->setEnabled(model_.JumpEnabled());
    chkDouble_->setChecked(model_.DoubleHeight());

    MatchSlotWidgets();
    QFontMetrics metrics(font());
    auto measure = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(Q(text));
    };
    for (size_t i = 0; i < slots_.size(); ++i) {
        const CartBrowserModel::Slot& slot = model_.Slots()[i];
        SlotWidgets& w = slots_[i];
        w.number->setVisible(slot.visible);
        w.panel->setVisible(slot.visible);
        w.number->setText(Q(slot.numberText));
        w.number->setStyleSheet(slot.selected ? kSelectedNumberStyle : "");
        w.number->setProperty("tag", Q(slot.tag));
        w.panel->setProperty("tag", Q(slot.tag));
        QPalette palette = w.panel->palette();
        palette.setColor(QPalette::Window, ToQColor(slot.backColour, QApplication::palette()));
        palette.setColor(QPalette::WindowText, ToQColor(slot.foreColour, QApplication::palette()));
        w.panel->setPalette(palette);
        int room = w.panel->width() - kPanelTextMargin;
        QString text;
        if (model_.DoubleHeight()) {
            QStringList lines;
            for (const std::string& line : slot.lines)
                lines << Q(FitTextToWidth(line, room, measure));
            text = lines.join('\n');
        } else {
            text = Q(FitTextToWidth(slot.title, room, measure));
        }
        w.panel->setText(text);
        w.panel->setToolTip(slot.visible ? Q(slot.title) : QString());
    }
    int selected = model_.SelectedSlot();
    if (selected >= 1 && selected <= static_cast<int>(model_.Slots().size()))
        status_->showMessage(Q(model_.SlotAt(selected).title));

    if (model_.Visible() && !isVisible()) {
        PlaceWindow();
        show();
        raise();
        activateWindow();
    } else if (!model_.Visible() && isVisible()) {
        rightEdge_ = frameGeometry().right();
        hide();
    }
    bool choiceEnded = wasVisible_ && !model_.Visible();
    wasVisible_ = model_.Visible();

    if (model_.TakeNumberFieldFocusRequest() && isVisible() && txtCartNumber_->isEnabled()) {
        txtCartNumber_->setFocus();
        txtCartNumber_->selectAll();
    }
    refreshing_ = false;
    if (choiceEnded) emit this->choiceEnded();
}

void CartBrowser::PlaceWindow() {
    // The frame, title bar included, goes to the top right corner: placed from the window's
    // own size alone, the title bar would sit above the screen and the right border beyond it.
    // The layout decides the width the buttons need before the corner is worked out from it.
    if (!isVisible()) resize(size().expandedTo(minimumSizeHint()));
    PlaceTopRight(this, kScreenMargin, rightEdge_);
}

bool CartBrowser::HandleKey(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    using Key = CartBrowserModel::Key;
    static const std::pair<int, Key> kKeys[] = {
        {Qt::Key_Escape, Key::Escape},
        {Qt::Key_Up, Key::Up},
        {Qt::Key_Down, Key::Down},
        {Qt::Key_PageUp, Key::PageUp},
        {Qt::Key_PageDown, Key::PageDown},
        {Qt::Key_J, Key::J},
        {Qt::Key_T, Key::T},
        {Qt::Key_F, Key::F},
        {Qt::Key_N, Key::N},
        {Qt::Key_B, Key::B},
    };
    for (const auto& [qtKey, key] : kKeys)
        if (event->key() == qtKey) return model_.KeyDown(key);
    return false;
}

bool CartBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == slotArea_ && event->type() == QEvent::Resize) {
        LayOutSlots();
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // A key the control leaves alone travels on to the window, which must not act on
            // it a second time.
            previewedKey_ = key;
            if (HandleKey(key)) return true;
            if (watched == txtCartNumber_ && !key->text().isEmpty()) {
                QChar c = key->text().at(0);
                if (c.unicode() >= 32 && c.unicode() != 127 &&
                    CartBrowserModel::FilterNumberKey(c.unicode()) == 0)
                    return true;
            }
            return false;
        }
        case QEvent::FocusIn:
            if (watched == txtCartNumber_)
                QTimer::singleShot(0, txtCartNumber_, &QLineEdit::selectAll);
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            int slot = SlotOfWidget(watched);
            if (slot == 0 || !qobject_cast<QLabel*>(watched)) return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (event->type() == QEvent::MouseButtonPress) {
                model_.PressSlot(slot);
            } else if (event->type() == QEvent::MouseButtonDblClick ||
                       (mouse->button() == Qt::LeftButton &&
                        static_cast<QWidget*>(watched)->rect().contains(
                            mouse->position().toPoint()))) {
                model_.ChooseSlot(slot);
            }
            return true;
        }
        default:
            return false;
    }
}

void CartBrowser::keyPressEvent(QKeyEvent* event) {
    if (event == previewedKey_ || !HandleKey(event)) QWidget::keyPressEvent(event);
    previewedKey_ = nullptr;
}

void CartBrowser::closeEvent(QCloseEvent* event) {
    // Closing only hides the browser: it serves every opening of the run.
    if (model_.Visible()) model_.CloseFromTitleBar();
    event->accept();
}

void CartBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Shown from outside the model (by a window manager restoring it, say): the model learns.
    if (!model_.Visible() && !refreshing_) model_.Show();
    if (slots_.empty()) LayOutSlots();
}

void CartBrowser::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() &&
        !refreshing_) {
        model_.Activate();
        Refresh();
    }
}

}  // namespace vantor::gui
