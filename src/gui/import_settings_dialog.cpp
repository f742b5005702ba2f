#include "import_settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "key_filter.h"
#include "select_on_focus.h"

namespace vantor::gui {

struct ImportSettingsDialog::RangeFrame {
    const char* name;     // the frame's objectName
    const char* caption;  // its caption
    Field start;
    Field end;
    const char* startButton;
    const char* endButton;
};

namespace {

using Field = LogImportSettingsModel::Field;
using RangeFrame = ImportSettingsDialog::RangeFrame;

// Top to bottom as the tab shows them.
constexpr RangeFrame kFrames[] = {
    {"frameJingles", "Jingles Cart Range:", Field::txtJinglesStart, Field::txtJinglesEnd,
     "cmdJinglesStart", "cmdJinglesEnd"},
    {"frameSweepers", "Sweepers Cart Range:", Field::txtSweepersStart, Field::txtSweepersEnd,
     "cmdSweepersStart", "cmdSweepersEnd"},
    {"frameSongs", "Songs Cart Range:", Field::txtSongsStart, Field::txtSongsEnd, "cmdSongsStart",
     "cmdSongsEnd"},
    {"frameCartGroups", "Cart Groups (Plexo Only):", Field::txtCartGroupsStart,
     Field::txtCartGroupsEnd, "cmdCartGroupsStart", "cmdCartGroupsEnd"},
    {"frameAdverts", "Adverts Cart Range:", Field::txtAdvertsStart, Field::txtAdvertsEnd,
     "cmdAdvertsStart", "cmdAdvertsEnd"},
};

constexpr const char* kFieldNames[LogImportSettingsModel::kFieldCount] = {
    "txtAutoPurgeDays",   "txtUnderRunning",  "txtJinglesStart", "txtJinglesEnd",
    "txtSweepersStart",   "txtSweepersEnd",   "txtSongsStart",   "txtSongsEnd",
    "txtCartGroupsStart", "txtCartGroupsEnd", "txtAdvertsStart", "txtAdvertsEnd",
};

constexpr int kNumberFieldWidth = 80;

}  // namespace

ImportSettingsDialog::ImportSettingsDialog(LogImportSettingsModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("frmLogImportSettings");
    setWindowTitle(LogImportSettingsModel::kCaption);
    setModal(false);

    BuildFields();
    tbsOptions_ = new QTabWidget(this);
    tbsOptions_->setObjectName("tbsOptions");
    tbsOptions_->addTab(BuildGeneralTab(), "General");
    tbsOptions_->addTab(BuildCartRangesTab(), "Cart Ranges:");
    connect(tbsOptions_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!refreshing_)
            model_.SelectTab(tab == 1 ? LogImportSettingsModel::Tab::CartRanges
                                      : LogImportSettingsModel::Tab::General);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions_);
    // Its contents have one size: opened at its natural size and kept there, it gets no
    // maximise button from the window manager and no empty space.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    BuildButtons(layout);

    model_.OnChanged([this] { Refresh(); });
}

void ImportSettingsDialog::BuildFields() {
    for (int i = 0; i < LogImportSettingsModel::kFieldCount; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(kFieldNames[i]);
        const auto field = static_cast<Field>(i);
        FilterKeys(edit,
                   [field](int key) { return LogImportSettingsModel::FilterKey(field, key); });
        if (LogImportSettingsModel::SelectsAllOnFocus(field)) SelectAllOnFocus(edit);
        fields_[static_cast<size_t>(i)] = edit;
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (!refreshing_) model_.SetText(static_cast<Field>(i), text.toStdString());
        });
    }
}

QWidget* ImportSettingsDialog::BuildGeneralTab() {
    auto* general = new QWidget;
    auto* fraAutoExpiry = new QGroupBox("Automatic log entry removal:", general);
    fraAutoExpiry->setObjectName("fraAutoExpiry");
    auto* purgeLabel = new QLabel(
        "Number of days to leave entries in the database before automatically removing them:",
        fraAutoExpiry);
    purgeLabel->setWordWrap(true);
    FieldEdit(Field::txtAutoPurgeDays)->setFixedWidth(kNumberFieldWidth);
    auto* purgeRow = new QHBoxLayout(fraAutoExpiry);
    purgeRow->addWidget(purgeLabel, 1);
    purgeRow->addWidget(FieldEdit(Field::txtAutoPurgeDays));

    auto* fraSecurity = new QGroupBox("Security Options:", general);
    fraSecurity->setObjectName("fraSecurity");
    chkUsersMustLogin_ =
        new QCheckBox("Users must Login before using the Log Importer", fraSecurity);
    chkUsersMustLogin_->setObjectName("chkUsersMustLogin");
    (new QVBoxLayout(fraSecurity))->addWidget(chkUsersMustLogin_);
    connect(chkUsersMustLogin_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.SetUsersMustLoginChecked(on);
    });

    auto* fraUnderrunningHours = new QGroupBox("Under-running Hours report:", general);
    fraUnderrunningHours->setObjectName("fraUnderrunningHours");
    auto* underLabel = new QLabel(
        "Number of minutes that an hour must contain to avoid being listed as \"Under-Running\"",
        fraUnderrunningHours);
    underLabel->setWordWrap(true);
    FieldEdit(Field::txtUnderRunning)->setFixedWidth(kNumberFieldWidth);
    auto* underRow = new QHBoxLayout(fraUnderrunningHours);
    underRow->addWidget(FieldEdit(Field::txtUnderRunning));
    underRow->addWidget(underLabel, 1);

    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(fraAutoExpiry);
    generalLayout->addWidget(fraSecurity);
    generalLayout->addWidget(fraUnderrunningHours);
    generalLayout->addStretch(1);
    return general;
}

QWidget* ImportSettingsDialog::BuildCartRangesTab() {
    auto* ranges = new QWidget;
    auto* rangesLayout = new QGridLayout(ranges);
    int index = 0;
    for (const RangeFrame& frame : kFrames) {
        rangesLayout->addWidget(BuildRangeFrame(frame, ranges), index / 2, index % 2);
        ++index;
    }
    rangesLayout->setRowStretch(3, 1);
    return ranges;
}

QGroupBox* ImportSettingsDialog::BuildRangeFrame(const RangeFrame& frame, QWidget* tab) {
    auto* box = new QGroupBox(frame.caption, tab);
    box->setObjectName(frame.name);
    auto* grid = new QGridLayout(box);
    const std::pair<const char*, std::pair<Field, const char*>> rows[] = {
        {"Start:", {frame.start, frame.startButton}}, {"End:", {frame.end, frame.endButton}}};
    int row = 0;
    for (const auto& [caption, fieldAndButton] : rows) {
        QLineEdit* edit = FieldEdit(fieldAndButton.first);
        edit->setParent(box);
        edit->setFixedWidth(kNumberFieldWidth);
        auto* label = new QLabel(caption, box);
        label->setBuddy(edit);
        // Every frame has its "Start:" and "End:": the spoken name carries the frame's.
        edit->setAccessibleName(QString(frame.caption).chopped(1) + ", " +
                                QString(caption).chopped(1).toLower());
        auto* browse = new QPushButton("Browse", box);
        browse->setObjectName(fieldAndButton.second);
        Field field = fieldAndButton.first;
        connect(browse, &QPushButton::clicked, this, [this, field] {
            // The dialog stays usable while the browser is open; a second Browse then
            // would wait on the same choice and take it too.
            if (browsing_) return;
            browsing_ = true;
            model_.Browse(field);
            browsing_ = false;
            Refresh();
        });
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(browse, row, 2);
        ++row;
    }
    return box;
}

void ImportSettingsDialog::BuildButtons(QVBoxLayout* layout) {
    const OkCancelButtons okCancel = AddOkCancelRow(layout, this, "cmdOK", "cmdCancel");
    cmdOK_ = okCancel.ok;
    cmdCancel_ = okCancel.cancel;
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (model_.OK()) hide();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void ImportSettingsDialog::Open() {
    model_.Open();
    Refresh();
    show();
    raise();
    activateWindow();
}

void ImportSettingsDialog::Refresh() {
    refreshing_ = true;
    chkUsersMustLogin_->setChecked(model_.UsersMustLoginChecked());
    for (size_t i = 0; i < fields_.size(); ++i) {
        QString text = QString::fromStdString(model_.Text(static_cast<Field>(i)));
        if (fields_[i]->text() != text) fields_[i]->setText(text);
    }
    tbsOptions_->setCurrentIndex(
        model_.CurrentTab() == LogImportSettingsModel::Tab::CartRanges ? 1 : 0);
    refreshing_ = false;
}

void ImportSettingsDialog::reject() {
    model_.Cancel();
    hide();
}

}  // namespace vantor::gui
