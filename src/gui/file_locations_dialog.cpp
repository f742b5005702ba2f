#include "file_locations_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt_text.h"
#include "select_on_focus.h"

namespace vantor::gui {
namespace {

constexpr int kLocationFieldWidth = 300;

// The whole location is selected when the field is entered. Letters keep the case they are
// typed in: this file system tells "/srv/vantor" from "/SRV/VANTOR".
void KeepLocationField(QLineEdit* field) {
    SelectAllOnFocus(field);
}

}  // namespace

FileLocationsDialog::FileLocationsDialog(FileLocationsModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("frmFileLocations");
    setWindowTitle(FileLocationsModel::kCaption);

    chkUseOneCartLocation_ =
        new QCheckBox("Use one directory for all the carts on the Audiowall", this);
    chkUseOneCartLocation_->setObjectName("chkUseOneCartLocation");
    connect(chkUseOneCartLocation_, &QCheckBox::toggled, this, [this](bool on) {
        if (refreshing_) return;
        model_.SetUseOneCartLocation(on);
        Refresh();
    });

    auto* grid = new QGridLayout;
    for (int row = 1; row <= kRows; ++row) {
        auto i = static_cast<size_t>(row - 1);
        labels_[i] = new QLabel(Q(FileLocationsModel::RowLabel(row)), this);
        labels_[i]->setObjectName(QString("lblCartLocations(%1)").arg(row));
        txtCartLocations_[i] = new QLineEdit(this);
        txtCartLocations_[i]->setObjectName(QString("txtCartLocations(%1)").arg(row));
        txtCartLocations_[i]->setMinimumWidth(kLocationFieldWidth);
        KeepLocationField(txtCartLocations_[i]);
        labels_[i]->setBuddy(txtCartLocations_[i]);
        cmdChangeCartLocation_[i] = new QPushButton("Browse", this);
        cmdChangeCartLocation_[i]->setObjectName(QString("cmdChangeCartLocation(%1)").arg(row));
        connect(txtCartLocations_[i], &QLineEdit::textEdited, this,
                [this, row](const QString& text) {
                    if (refreshing_) return;
                    model_.SetCartLocation(row, text.toStdString());
                    Refresh();
                });
        connect(cmdChangeCartLocation_[i], &QPushButton::clicked, this, [this, row] {
            model_.BrowseCartLocation(row);
            Refresh();
        });
        grid->addWidget(labels_[i], row - 1, 0);
        grid->addWidget(txtCartLocations_[i], row - 1, 1);
        grid->addWidget(cmdChangeCartLocation_[i], row - 1, 2);
    }
    auto* dataLabel = new QLabel("Data Location:", this);
    txtDataLocation_ = new QLineEdit(this);
    txtDataLocation_->setObjectName("txtDataLocation");
    KeepLocationField(txtDataLocation_);
    dataLabel->setBuddy(txtDataLocation_);
    cmdChangeDataLoc_ = new QPushButton("Browse", this);
    cmdChangeDataLoc_->setObjectName("cmdChangeDataLoc");
    connect(txtDataLocation_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!refreshing_) model_.SetDataLocation(text.toStdString());
    });
    connect(cmdChangeDataLoc_, &QPushButton::clicked, this, [this] {
        model_.BrowseDataLocation();
        Refresh();
    });
    grid->addWidget(dataLabel, kRows + 1, 0);
    grid->addWidget(txtDataLocation_, kRows + 1, 1);
    grid->addWidget(cmdChangeDataLoc_, kRows + 1, 2);
    grid->setRowMinimumHeight(kRows, 8);  // a little room between the carts and the data

    cmdDone_ = new QPushButton("OK", this);
    cmdDone_->setObjectName("cmdDone");
    cmdDone_->setDefault(true);
    connect(cmdDone_, &QPushButton::clicked, this, [this] {
        model_.OK();
        if (model_.IsClosed()) accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdDone_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkUseOneCartLocation_);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    model_.OnChanged([this] { Refresh(); });
}

void FileLocationsDialog::Refresh() {
    refreshing_ = true;
    chkUseOneCartLocation_->setChecked(model_.UseOneCartLocation());
    for (int row = 1; row <= kRows; ++row) {
        auto i = static_cast<size_t>(row - 1);
        QString text = Q(model_.CartLocation(row));
        if (txtCartLocations_[i]->text() != text) txtCartLocations_[i]->setText(text);
        bool enabled = model_.RowEnabled(row);
        labels_[i]->setEnabled(enabled);
        txtCartLocations_[i]->setEnabled(enabled);
        cmdChangeCartLocation_[i]->setEnabled(enabled);
    }
    QString data = Q(model_.DataLocationText());
    if (txtDataLocation_->text() != data) txtDataLocation_->setText(data);
    refreshing_ = false;
}

void FileLocationsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        raise();
        model_.Activate();
    }
}

void FileLocationsDialog::reject() {
    // Esc: nothing is stored and nothing in memory changes.
    model_.Escape();
    QDialog::reject();
}

bool RunFileLocationsDialog(FileLocationsModel& model, QWidget* parent) {
    model.Open();
    FileLocationsDialog dialog(model, parent);
    dialog.Refresh();
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantor::gui
