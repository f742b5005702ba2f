#include "find_cart.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "qt_text.h"

namespace vantor::gui {
namespace {

using Column = FindCartModel::Column;

constexpr int kNarrowColumn = 50;                         // "Cart" and "Length"
constexpr int kOtherColumnsRoom = 2 * kNarrowColumn + 4;  // all but the three line columns
constexpr int kResultsMinimumHeight = 160;
constexpr qint64 kRowsInterval = 250;  // milliseconds between two updates of the list in a search

}  // namespace

FindCart::FindCart(FindCartModel& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), model_(model) {
    setObjectName("frmFindCart");
    setWindowTitle(FindCartModel::kCaption);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabFind");
    tabs_->addTab(BuildBasicTab(), "&Basic");
    tabs_->addTab(BuildAdvancedTab(), "&Advanced");
    auto* top = new QHBoxLayout;
    top->addWidget(tabs_, 1);
    top->addLayout(BuildSearchColumn());
    BuildResultsList();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lviewItems_, 1);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    ConnectControls();
    model_.OnChanged([this] { Refresh(); });
    resize(560, sizeHint().height());
}

QWidget* FindCart::BuildBasicTab() {
    auto* basic = new QWidget;
    auto* textLabel = new QLabel("Find this &text:", basic);
    cmbSearchText_ = new QComboBox(basic);
    cmbSearchText_->setObjectName("cmbSearchText");
    cmbSearchText_->setEditable(true);
    cmbSearchText_->setInsertPolicy(QComboBox::NoInsert);
    cmbSearchText_->setMinimumContentsLength(24);
    // No completion from the recent searches: with the text selected, as the focus leaves it,
    // an inline completion would take Enter for itself and "&Find" would never see it.
    cmbSearchText_->setCompleter(nullptr);
    textLabel->setBuddy(cmbSearchText_);
    // The label names the drop-down list; the text typed into it is a field of its own.
    cmbSearchText_->lineEdit()->setAccessibleName("Find this text");
    auto* directionLabel = new QLabel("Find &direction:", basic);
    cmbSearchDirection_ = new QComboBox(basic);
    cmbSearchDirection_->setObjectName("cmbSearchDirection");
    cmbSearchDirection_->addItems({"Forwards", "Backwards"});
    directionLabel->setBuddy(cmbSearchDirection_);
    chkSearchFromStart_ = new QCheckBox(FindCartModel::kFromStartCaption, basic);
    chkSearchFromStart_->setObjectName("chkSearchFromStart");
    chkNotes_ = new QCheckBox("Search each carts &notes as well", basic);
    chkNotes_->setObjectName("chkNotes");
    auto* basicGrid = new QGridLayout(basic);
    basicGrid->addWidget(textLabel, 0, 0);
    basicGrid->addWidget(cmbSearchText_, 0, 1);
    basicGrid->addWidget(directionLabel, 1, 0);
    basicGrid->addWidget(cmbSearchDirection_, 1, 1, Qt::AlignLeft);
    basicGrid->addWidget(chkSearchFromStart_, 2, 0, 1, 2);
    basicGrid->addWidget(chkNotes_, 3, 0, 1, 2);
    basicGrid->setRowStretch(4, 1);
    basicGrid->setColumnStretch(1, 1);
    cmbSearchText_->lineEdit()->installEventFilter(this);
    return basic;
}

QWidget* FindCart::BuildAdvancedTab() {
    auto* advanced = new QWidget;
    chkTimeSearch_ = new QCheckBox("Time Rules", advanced);
    chkTimeSearch_->setObjectName("chkTimeSearch");
    auto* lengthLabel = new QLabel("Only search carts whose lengths are:", advanced);
    mskLength_ = new QLineEdit(advanced);
    mskLength_->setObjectName("mskLength");
    mskLength_->setAccessibleName("Cart length in minutes and seconds");
    mskLength_->setInputMask("99:99");
    mskLength_->setMaximumWidth(mskLength_->fontMetrics().horizontalAdvance("00:00") + 16);
    auto* unitLabel = new QLabel("(min:sec)", advanced);
    auto* toleranceLabel = new QLabel("Give or Take:", advanced);
    comboLength_ = new QComboBox(advanced);
    comboLength_->setAccessibleName("Give or take");
    comboLength_->setObjectName("comboLength");
    for (const auto& tolerance : FindCartModel::kTolerances)
        comboLength_->addItem(tolerance.text, tolerance.seconds);
    timeRuleWidgets_ = {lengthLabel, mskLength_, unitLabel, toleranceLabel, comboLength_};
    chkLimitLines_ = new QCheckBox("Only Search these lines:", advanced);
    chkLimitLines_->setObjectName("chkLimitLines");
    auto* linesRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        chkLine_[static_cast<size_t>(i)] = new QCheckBox(QString("Line %1").arg(i + 1), advanced);
        chkLine_[static_cast<size_t>(i)]->setObjectName(QString("chkLine(%1)").arg(i + 1));
        linesRow->addWidget(chkLine_[static_cast<size_t>(i)]);
    }
    linesRow->addStretch(1);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(mskLength_);
    lengthRow->addWidget(unitLabel);
    lengthRow->addStretch(1);
    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->addWidget(toleranceLabel);
    toleranceRow->addWidget(comboLength_);
    toleranceRow->addStretch(1);
    auto* advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->addWidget(chkTimeSearch_);
    advancedLayout->addLayout(lengthRow);
    advancedLayout->addLayout(toleranceRow);
    advancedLayout->addWidget(chkLimitLines_);
    advancedLayout->addLayout(linesRow);
    advancedLayout->addStretch(1);
    return advanced;
}

// "&Find", "Sto&p" and the cart being searched, in a column beside the tabs.
QLayout* FindCart::BuildSearchColumn() {
    cmdFind_ = new QPushButton("&Find", this);
    cmdFind_->setObjectName("cmdFind");
    cmdStop_ = new QPushButton("Sto&p", this);
    cmdStop_->setObjectName("cmdStop");
    lblCart_ = new QLabel("Cart:", this);
    lblCart_->setObjectName("lblCart");
    lblCartNumber_ = new QLabel(this);
    lblCartNumber_->setObjectName("lblCartNumber");
    lblCartNumber_->setMinimumWidth(lblCartNumber_->fontMetrics().horizontalAdvance("000000"));
    aniFind_ = new QProgressBar(this);
    aniFind_->setObjectName("aniFind");
    aniFind_->setRange(0, 0);  // a busy indicator: it moves without a value
    aniFind_->setTextVisible(false);
    aniFind_->setMaximumHeight(12);
    // One width for the column beside the tabs, busy or not, so that nothing moves.
    int columnWidth = std::max({cmdFind_->sizeHint().width(), cmdStop_->sizeHint().width(), 96});
    for (QWidget* w : std::initializer_list<QWidget*>{cmdFind_, cmdStop_, aniFind_})
        w->setFixedWidth(columnWidth);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(lblCart_);
    progressRow->addWidget(lblCartNumber_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdFind_);
    buttons->addWidget(cmdStop_);
    buttons->addLayout(progressRow);
    buttons->addWidget(aniFind_);
    buttons->addStretch(1);
    return buttons;
}

// The list of carts found, hidden until a search has found one.
void FindCart::BuildResultsList() {
    lviewItems_ = new QTreeWidget(this);
    lviewItems_->setObjectName("lviewItems");
    lviewItems_->setAccessibleName("Carts found");
    // The model's hidden sort column is not a column here: each row keeps it as data.
    lviewItems_->setColumnCount(FindCartModel::kColumnCount - 1);
    lviewItems_->setHeaderLabels({"Cart", "Line 1", "Line 2", "Line 3", "Length"});
    lviewItems_->setRootIsDecorated(false);
    lviewItems_->setUniformRowHeights(true);
    lviewItems_->setAllColumnsShowFocus(true);
    lviewItems_->setMinimumHeight(kResultsMinimumHeight);
    lviewItems_->header()->setSectionsClickable(true);
    lviewItems_->header()->setStretchLastSection(false);
    lviewItems_->installEventFilter(this);
    lviewItems_->setVisible(false);
}

void FindCart::ConnectControls() {
    connect(cmbSearchText_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!refreshing_) model_.SetSearchText(text.toStdString());
    });
    connect(cmbSearchDirection_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (refreshing_) return;
        model_.SetDirection(index == 1 ? FindCartModel::Direction::Backwards
                                       : FindCartModel::Direction::Forwards);
        Refresh();
    });
    connect(chkSearchFromStart_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.SetFromStart(on);
    });
    connect(chkNotes_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.SetSearchNotes(on);
    });
    connect(chkTimeSearch_, &QCheckBox::toggled, this, [this](bool on) {
        if (refreshing_) return;
        model_.SetTimeRules(on);
        Refresh();
    });
    connect(mskLength_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!refreshing_) model_.SetLengthText(text.toStdString());
    });
    connect(comboLength_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!refreshing_) model_.SetToleranceIndex(index);
    });
    connect(chkLimitLines_, &QCheckBox::toggled, this, [this](bool on) {
        if (refreshing_) return;
        model_.SetLimitLines(on);
        Refresh();
    });
    for (int i = 0; i < 3; ++i)
        connect(chkLine_[static_cast<size_t>(i)], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!refreshing_) model_.SetLineTicked(i + 1, on);
        });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (!refreshing_)
            model_.SelectTab(index == 1 ? FindCartModel::Tab::Advanced : FindCartModel::Tab::Basic);
    });
    connect(cmdFind_, &QPushButton::clicked, this, [this] { model_.Find(); });
    connect(cmdStop_, &QPushButton::clicked, this, [this] { model_.Stop(); });
    connect(lviewItems_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!refreshing_) model_.SelectRow(item ? lviewItems_->indexOfTopLevelItem(item) : -1);
    });
    connect(lviewItems_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        model_.SelectRow(lviewItems_->indexOfTopLevelItem(item));
        model_.ChooseSelected();
    });
    connect(lviewItems_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        model_.SortBy(static_cast<Column>(section + 1));
        shownKeys_.clear();  // the order changed: the rows are put in again
        Refresh();
    });

    // Ctrl+Tab changes the tab wherever the focus is, not only inside the tabs.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, [this] {
        model_.NextTab();
        Refresh();
    });
}

int FindCart::WidgetColumn(Column column) {
    return static_cast<int>(column) - 1;
}

void FindCart::SizeColumns() {
    int lines = std::max((lviewItems_->viewport()->width() - kOtherColumnsRoom) / 3, 40);
    lviewItems_->setColumnWidth(WidgetColumn(Column::Cart), kNarrowColumn);
    for (Column c : {Column::Line1, Column::Line2, Column::Line3})
        lviewItems_->setColumnWidth(WidgetColumn(c), lines);
    lviewItems_->setColumnWidth(WidgetColumn(Column::Length), kNarrowColumn);
}

void FindCart::RefreshRows() {
    const auto& rows = model_.Rows();
    // While a search runs the list takes its new rows a few times a second rather than after
    // every cart: each change makes the list lay out all its rows again, which with a match a
    // cart made a search of ten thousand carts take more than a minute.
    if (model_.Searching() && rowsShown_.isValid() && rowsShown_.elapsed() < kRowsInterval &&
        shownKeys_.size() <= rows.size() && !shownKeys_.empty())
        return;
    rowsShown_.start();
    // Rows only ever arrive at the end while a search runs; anything else is put in afresh.
    bool appendOnly =
        shownKeys_.size() <= rows.size() &&
        (shownKeys_.empty() || (rows.front().key == shownKeys_.front() &&
                                rows[shownKeys_.size() - 1].key == shownKeys_.back()));
    if (!appendOnly) {
        lviewItems_->clear();
        shownKeys_.clear();
    }
    for (size_t i = shownKeys_.size(); i < rows.size(); ++i) {
        auto* item = new QTreeWidgetItem;
        for (Column c : {Column::Cart, Column::Line1, Column::Line2, Column::Line3, Column::Length})
            item->setText(WidgetColumn(c), Q(rows[i].Cell(c)));
        item->setData(0, Qt::UserRole, Q(rows[i].key));
        item->setData(0, Qt::UserRole + 1, Q(rows[i].Cell(Column::Sort)));
        lviewItems_->addTopLevelItem(item);
        shownKeys_.push_back(rows[i].key);
    }
    int selected = model_.SelectedRow();
    QTreeWidgetItem* want = selected >= 0 ? lviewItems_->topLevelItem(selected) : nullptr;
    if (lviewItems_->currentItem() != want) {
        lviewItems_->setCurrentItem(want);
        if (!want) lviewItems_->clearSelection();
    }
}

void FindCart::Refresh() {
    if (refreshing_) return;
    refreshing_ = true;

    // The recent searches, then the text (which may be typed, not one of them).
    QStringList entries;
    for (const std::string& e : model_.SearchEntries()) entries << Q(e);
    QStringList shown;
    for (int i = 0; i < cmbSearchText_->count(); ++i) shown << cmbSearchText_->itemText(i);
    if (shown != entries) {
        cmbSearchText_->clear();
        cmbSearchText_->addItems(entries);
    }
    if (cmbSearchText_->currentText().toStdString() != model_.SearchText())
        cmbSearchText_->setEditText(Q(model_.SearchText()));

    bool backwards = model_.SearchDirection() == FindCartModel::Direction::Backwards;
    cmbSearchDirection_->setCurrentIndex(backwards ? 1 : 0);
    chkSearchFromStart_->setText(model_.FromStartCaption());
    chkSearchFromStart_->setChecked(model_.FromStart());
    chkNotes_->setChecked(model_.SearchNotes());
    chkTimeSearch_->setChecked(model_.TimeRules());
    if (mskLength_->text().toStdString() != model_.LengthText())
        mskLength_->setText(Q(model_.LengthText()));
    comboLength_->setCurrentIndex(model_.ToleranceIndex());
    chkLimitLines_->setChecked(model_.LimitLines());
    for (int i = 0; i < 3; ++i) {
        chkLine_[static_cast<size_t>(i)]->setChecked(model_.LineTicked(i + 1));
        chkLine_[static_cast<size_t>(i)]->setEnabled(model_.LineBoxesEnabled());
    }
    tabs_->setCurrentIndex(model_.CurrentTab() == FindCartModel::Tab::Advanced ? 1 : 0);

    bool controls = model_.ControlsEnabled();
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbSearchText_, cmbSearchDirection_, chkSearchFromStart_,
                                         chkNotes_, chkTimeSearch_, chkLimitLines_})
        w->setEnabled(controls);
    for (QWidget* w : timeRuleWidgets_) w->setEnabled(model_.TimeRuleFieldsEnabled());

    cmdFind_->setEnabled(model_.FindEnabled());
    cmdStop_->setEnabled(model_.StopEnabled());
    cmdFind_->setDefault(model_.FindIsDefault());
    cmdFind_->setAutoDefault(model_.FindIsDefault());
    lblCart_->setVisible(model_.ProgressVisible());
    lblCartNumber_->setVisible(model_.ProgressVisible());
    lblCartNumber_->setText(Q(model_.ProgressText()));
    aniFind_->setVisible(model_.Busy());

    // Whether the dialog is on screen or not (an opening hides the results before it shows):
    // with the results it grows to hold them, without them it goes back to the height it
    // opened with, so that no empty room is left below the tabs.
    const bool resultsChanged = lviewItems_->isHidden() == model_.ResultsVisible();
    lviewItems_->setVisible(model_.ResultsVisible());
    if (resultsChanged) {
        layout()->activate();
        resize(width(), model_.ResultsVisible() ? std::max(height(), sizeHint().height())
                                                : sizeHint().height());
    }
    RefreshRows();
    if (resultsChanged) SizeColumns();

    // The focus is placed before an opening shows the dialog, so that the dialog does not
    // hand it back to a control it had before it was put away (the hidden results list).
    const bool opening = model_.Visible() && !isVisible();
    switch (model_.TakeFocusRequest()) {
        case FindCartModel::FocusTarget::SearchText:
            cmbSearchText_->setFocus();
            cmbSearchText_->lineEdit()->selectAll();
            break;
        case FindCartModel::FocusTarget::Stop:
            cmdStop_->setFocus();
            break;
        case FindCartModel::FocusTarget::Results:
            lviewItems_->setFocus();
            break;
        case FindCartModel::FocusTarget::None:
            break;
    }
    if (opening) {
        show();
        raise();
        activateWindow();
    } else if (!model_.Visible() && isVisible()) {
        hide();
    }
    refreshing_ = false;
}

bool FindCart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lviewItems_) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            // A dialog being shown sends its last focus widget a focus-in of its own, even when
            // that is the hidden results list: only a list on screen takes Enter from "&Find".
            model_.SetResultsFocused(event->type() == QEvent::FocusIn && lviewItems_->isVisible());
            cmdFind_->setDefault(model_.FindIsDefault());
            cmdFind_->setAutoDefault(model_.FindIsDefault());
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                model_.ChooseSelected();
                return true;
            }
        }
    } else if (watched == cmbSearchText_->lineEdit() && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, cmbSearchText_->lineEdit(), &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void FindCart::reject() {
    // Escape: refused while a search runs (Stop is the way out then).
    model_.Escape();
}

void FindCart::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void FindCart::closeEvent(QCloseEvent* event) {
    if (model_.Visible()) model_.CloseFromTitleBar();
    event->accept();
}

void FindCart::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!model_.Visible() && !refreshing_) model_.Show();
}

void FindCart::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() &&
        !refreshing_) {
        model_.Activate();
        Refresh();
    }
}

}  // namespace vantor::gui
