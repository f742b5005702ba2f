#include "config_set_dialog.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "qt_text.h"

namespace vantor::gui {
namespace {

constexpr int kIconSize = 32;
constexpr int kIconRole = Qt::UserRole + 1;  // the model's icon key, kept beside the picture

// A hard-disk box with its light.
void PaintDrive(QPainter& p, const QRect& box, const QColor& body) {
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(box, 3, 3);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QPointF(box.right() - 5, box.center().y() + 0.5), 2.2, 2.2);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawLine(box.left() + 4, box.center().y(), box.right() - 10, box.center().y());
}

// A small screen standing on the network.
void PaintComputer(QPainter& p, const QRect& screen) {
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(screen);
    p.drawLine(screen.center().x(), screen.bottom(), screen.center().x(), screen.bottom() + 3);
}

QIcon PaintIcon(const std::string& key) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == ConfigSetModel::kIconNetwork) {
        // A share on another machine: two computers joined by a cable.
        p.setPen(QPen(QColor(50, 50, 50), 2));
        p.drawLine(4, 28, 28, 28);
        PaintComputer(p, QRect(2, 6, 12, 10));
        PaintComputer(p, QRect(18, 6, 12, 10));
        p.drawLine(8, 20, 8, 28);
        p.drawLine(24, 20, 24, 28);
    } else if (key == ConfigSetModel::kIconNetworkDrive) {
        // A drive letter that reaches the network: the drive with a cable below it.
        PaintDrive(p, QRect(3, 5, 26, 12), QColor(200, 200, 200));
        p.setPen(QPen(QColor(50, 50, 50), 2));
        p.drawLine(16, 17, 16, 25);
        p.drawLine(4, 25, 28, 25);
        p.setBrush(QColor(120, 170, 230));
        p.drawEllipse(QPointF(16, 25), 3, 3);
    } else {
        PaintDrive(p, QRect(3, 10, 26, 13), QColor(210, 210, 210));
    }
    return QIcon(pixmap);
}

}  // namespace

QIcon ConfigSetDialog::SetIcon(const std::string& key) {
    return PaintIcon(key);
}

ConfigSetDialog::ConfigSetDialog(ConfigSetModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("frmMultiConfig");
    setWindowTitle(ConfigSetModel::kCaption);

    lvwConfigs_ = new QListWidget(this);
    lvwConfigs_->setAccessibleName("Configuration sets");
    lvwConfigs_->setObjectName("lvwConfigs");
    lvwConfigs_->setIconSize(QSize(kIconSize, kIconSize));
    lvwConfigs_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwConfigs_->setMinimumSize(360, 200);
    connect(lvwConfigs_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        model_.ClickItem(lvwConfigs_->row(item));
        Refresh();
    });
    connect(lvwConfigs_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (refreshing_) return;
        model_.ClickItem(row);
        Refresh();
    });
    connect(lvwConfigs_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        model_.ClickItem(lvwConfigs_->row(item));
        model_.DoubleClickList();
        if (model_.IsClosed()) accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwConfigs_, 1);
    const OkCancelButtons okCancel = AddOkCancelRow(layout, this, "cmdOK", "cmdCancel");
    cmdOK_ = okCancel.ok;
    cmdCancel_ = okCancel.cancel;
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        model_.OK();
        if (model_.IsClosed()) accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { reject(); });

    model_.OnChanged([this] { Refresh(); });
}

void ConfigSetDialog::Refresh() {
    refreshing_ = true;
    const auto& items = model_.Items();
    bool same = lvwConfigs_->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < lvwConfigs_->count(); ++i)
        same = lvwConfigs_->item(i)->data(Qt::UserRole).toString() ==
               Q(items[static_cast<size_t>(i)].key);
    if (!same) {
        lvwConfigs_->clear();
        for (const auto& set : items) {
            auto* item = new QListWidgetItem(SetIcon(set.icon), Q(set.text), lvwConfigs_);
            item->setData(Qt::UserRole, Q(set.key));
            item->setData(kIconRole, Q(set.icon));
        }
    }
    if (lvwConfigs_->currentRow() != model_.SelectedIndex())
        lvwConfigs_->setCurrentRow(model_.SelectedIndex());
    lvwConfigs_->setToolTip(Q(model_.ToolTip()));
    refreshing_ = false;
}

void ConfigSetDialog::closeEvent(QCloseEvent* event) {
    // The title bar or the system menu: no set chosen.
    if (!model_.IsClosed()) model_.CloseFromWindowMenu();
    QDialog::closeEvent(event);
}

void ConfigSetDialog::reject() {
    if (!model_.IsClosed()) model_.Cancel();
    QDialog::reject();
}

bool RunConfigSetDialog(ConfigSetModel& model, QWidget* parent) {
    ConfigSetDialog dialog(model, parent);
    dialog.Refresh();
    return dialog.exec() == QDialog::Accepted && !model.ConfigFile.empty();
}

}  // namespace vantor::gui
