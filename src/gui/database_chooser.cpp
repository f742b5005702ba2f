#include "database_chooser.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "dialog_buttons.h"
#include "menu_bar_keys.h"
#include "pictures.h"
#include "qt_text.h"

namespace vantor::gui {

namespace {

// Twips become pixels at 15 to the pixel.
constexpr int kFileNameColumnWidth = 1500 / 15;
constexpr int kLastAccessedColumnWidth = 2000 / 15;
constexpr int kLargeIconSize = 32;
constexpr int kSmallIconSize = 16;

QIcon IconOf(const std::string& tagWord) {
    QIcon icon;
    QPixmap large = DatabaseIcon(tagWord, kLargeIconSize);
    if (large.isNull()) return icon;
    icon.addPixmap(large);
    icon.addPixmap(DatabaseIcon(tagWord, kSmallIconSize));
    return icon;
}

}  // namespace

DatabaseChooser::DatabaseChooser(DatabaseChooserModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("frmChooseDatabase");
    setWindowTitle(DatabaseChooserModel::kInitialCaption);
    // The chooser stays in front of every other window while it is open.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    menuBar_ = new QMenuBar(this);
    layout->setMenuBar(menuBar_);

    prompt_ = new QLabel(DatabaseChooserModel::kPrompt, this);
    prompt_->setObjectName("lblPrompt");
    prompt_->setWordWrap(true);
    layout->addWidget(prompt_);

    layout->addWidget(BuildDatabaseViews(), 1);
    layout->addWidget(BuildStatusPanel());

    const OkCancelButtons okCancel = AddOkCancelRow(layout, this, "cmdOK", "cmdCancel");
    cmdOK_ = okCancel.ok;
    cmdCancel_ = okCancel.cancel;

    BuildMenus(menuBar_);
    ReturnKeyboardAfterMenuEscape(menuBar_);
    ConnectControls();
    for (QWidget* widget : findChildren<QWidget*>()) widget->installEventFilter(this);

    model_.OnChanged([this] { Refresh(); });
    resize(520, 340);
    Refresh();
}

// The databases, as large icons or as the details list; one shows at a time.
QWidget* DatabaseChooser::BuildDatabaseViews() {
    lViewDatabases_ = new QStackedWidget(this);
    lViewDatabases_->setObjectName("lViewDatabases");
    iconView_ = new QListWidget(lViewDatabases_);
    iconView_->setAccessibleName("Databases");
    iconView_->setObjectName("lViewDatabasesIcons");
    iconView_->setMovement(QListView::Static);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setWordWrap(true);
    iconView_->setTextElideMode(Qt::ElideNone);
    detailsView_ = new QTreeWidget(lViewDatabases_);
    detailsView_->setAccessibleName("Databases in detail");
    detailsView_->setObjectName("lViewDatabasesDetails");
    detailsView_->setRootIsDecorated(false);
    detailsView_->setUniformRowHeights(true);
    detailsView_->setAllColumnsShowFocus(true);
    detailsView_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
    detailsView_->setColumnCount(3);
    auto* header = new QTreeWidgetItem;
    header->setText(0, "Description");
    header->setText(1, "Database Name");
    header->setText(2, "Last Accessed");
    header->setTextAlignment(2, Qt::AlignCenter);
    detailsView_->setHeaderItem(header);
    detailsView_->header()->setStretchLastSection(false);
    detailsView_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    detailsView_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    detailsView_->header()->setSectionResizeMode(2, QHeaderView::Fixed);
    // The columns keep their proportions but never cut their own captions.
    detailsView_->header()->resizeSection(
        1, std::max(kFileNameColumnWidth, detailsView_->header()->sectionSizeHint(1)));
    detailsView_->header()->resizeSection(2, kLastAccessedColumnWidth);
    detailsView_->header()->setSectionsClickable(true);
    detailsView_->header()->setSortIndicatorShown(false);
    lViewDatabases_->addWidget(iconView_);
    lViewDatabases_->addWidget(detailsView_);
    return lViewDatabases_;
}

// The panel that says what a long operation on a database is doing, hidden until one runs.
QWidget* DatabaseChooser::BuildStatusPanel() {
    pnlStatus_ = new QFrame(this);
    pnlStatus_->setObjectName("pnlStatus");
    pnlStatus_->setFrameShape(QFrame::StyledPanel);
    auto* statusLayout = new QVBoxLayout(pnlStatus_);
    lblFirstLine_ = new QLabel(pnlStatus_);
    lblFirstLine_->setObjectName("lblFirstLine");
    QFont bold = lblFirstLine_->font();
    bold.setBold(true);
    lblFirstLine_->setFont(bold);
    lblSecondLine_ = new QLabel(pnlStatus_);
    lblSecondLine_->setObjectName("lblSecondLine");
    statusLayout->addWidget(lblFirstLine_);
    statusLayout->addWidget(lblSecondLine_);
    pnlStatus_->hide();
    return pnlStatus_;
}

void DatabaseChooser::ConnectControls() {
    connect(cmdOK_, &QPushButton::clicked, this, [this] { Run([this] { model_.OK(); }); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { Run([this] { model_.Cancel(); }); });
    // Enter in the list reaches OK, the default button; only the mouse is taken here.
    connect(iconView_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        int row = iconView_->row(item);
        Run([this, row] { model_.ItemDoubleClicked(row); });
    });
    connect(detailsView_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) {
                int row = detailsView_->indexOfTopLevelItem(item);
                Run([this, row] { model_.ItemDoubleClicked(row); });
            });
    connect(iconView_, &QListWidget::currentRowChanged, this,
            [this](int row) { CurrentRowChanged(row); });
    connect(detailsView_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
                CurrentRowChanged(item ? detailsView_->indexOfTopLevelItem(item) : -1);
            });
    connect(detailsView_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        Run([this, section] { model_.ColumnClicked(static_cast<ChooserColumn>(section)); });
    });
    for (QWidget* view : {static_cast<QWidget*>(iconView_), static_cast<QWidget*>(detailsView_)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& position) { ShowOptionsMenu(view, position); });
    }
}

DatabaseChooser::~DatabaseChooser() {
    model_.OnChanged(nullptr);
}

void DatabaseChooser::BuildMenus(QMenuBar* bar) {
    mnuOptions_ = bar->addMenu("Options");
    mnuOptions_->setObjectName("mnuOptions");
    auto add = [this](QMenu* menu, const char* name, const char* text, auto operation) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, operation] { Run(operation); });
        return action;
    };
    mnuNewDatabase_ = add(mnuOptions_, "mnuNewDatabase", "Create a &New Database",
                          [this] { model_.CreateNewDatabase(); });
    mnuChangeDescription_ =
        add(mnuOptions_, "mnuChangeDescription", "Change the Database &Description",
            [this] { model_.ChangeDescription(); });
    mnuOptions_->addSeparator();
    mnuCopyDatabase_ = add(mnuOptions_, "mnuCopyDatabase", "&Copy this Database",
                           [this] { model_.CopyDatabase(); });
    mnuChangeFilename_ = add(mnuOptions_, "mnuChangeFilename", "C&hange the Database's Filename",
                             [this] { model_.RenameDatabase(); });
    mnuOptions_->addSeparator();
    mnuDeleteDatabase_ = add(mnuOptions_, "mnuDeleteDatabase", "&Delete this Database",
                             [this] { model_.DeleteDatabase(); });
    mnuOptions_->addSeparator();
    mnuImportWindowsDatabase_ =
        add(mnuOptions_, "mnuImportWindowsDatabase", "&Import a Windows Database...",
            [this] { model_.ImportFromWindows(); });

    mnuView_ = bar->addMenu("&View");
    mnuView_->setObjectName("mnuView");
    viewGroup_ = new QActionGroup(this);
    viewGroup_->setExclusive(true);
    const struct {
        const char* name;
        const char* text;
        ChooserView view;
    } views[] = {{"mnuLargeIcons", "Lar&ge Icons", ChooserView::LargeIcons},
                 {"mnuSmallIcons", "S&mall Icons", ChooserView::SmallIcons},
                 {"mnuList", "&List", ChooserView::List},
                 {"mnuDetails", "&Details", ChooserView::Details}};
    for (const auto& entry : views) {
        QAction* action = mnuView_->addAction(entry.text);
        action->setObjectName(entry.name);
        action->setCheckable(true);
        viewGroup_->addAction(action);
        ChooserView view = entry.view;
        connect(action, &QAction::triggered, this,
                [this, view] { Run([this, view] { model_.SetView(view); }); });
        viewActions_[static_cast<int>(entry.view)] = action;
    }
}

bool DatabaseChooser::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activated();
    if (event->type() == QEvent::Show) {
        // The first activation may choose at once; it runs once the window is up.
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) Activated();
        });
    }
    return QDialog::event(event);
}

void DatabaseChooser::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void DatabaseChooser::Activated() {
    Run([this] { model_.Activate(); });
}

template <typename Operation>
void DatabaseChooser::Run(Operation operation) {
    operation();
    Refresh();
    if (!model_.IsVisible() && isVisible()) {
        // Hidden by OK or Cancel: the caller reads the outcome from the model.
        if (model_.ChosenFileName().empty())
            done(QDialog::Rejected);
        else
            done(QDialog::Accepted);
    }
}

void DatabaseChooser::CurrentRowChanged(int row) {
    if (refreshing_ || row < 0) return;
    Run([this, row] { model_.ItemClicked(row); });
}

void DatabaseChooser::ShowOptionsMenu(QWidget* view, const QPoint& position) {
    if (!model_.OptionsEnabled()) return;
    QWidget* viewport = view == iconView_ ? iconView_->viewport() : detailsView_->viewport();
    mnuOptions_->popup(viewport->mapToGlobal(position));
}

QWidget* DatabaseChooser::CurrentListView() const {
    return model_.View() == ChooserView::Details ? static_cast<QWidget*>(detailsView_)
                                                 : static_cast<QWidget*>(iconView_);
}

bool DatabaseChooser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
        if (held == 0 && !key->text().isEmpty() &&
            DatabaseChooserModel::ResentWithAlt(key->text().at(0).unicode())) {
            SendWithAlt(key->key());
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DatabaseChooser::SendWithAlt(int key) {
    // Alt + a letter presses the button or opens the menu whose access key it is.
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key)));
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() &&
            QKeySequence::mnemonic(button->text()) == pressed) {
            button->animateClick();
            return;
        }
    }
    for (QAction* action : menuBar_->actions()) {
        if (action->isVisible() && action->isEnabled() &&
            QKeySequence::mnemonic(action->text()) == pressed) {
            menuBar_->setActiveAction(action);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------

void DatabaseChooser::FillViews() {
    iconView_->clear();
    detailsView_->clear();
    for (const ChooserItem& item : model_.Items()) {
        QIcon icon = IconOf(item.icon);
        auto* entry = new QListWidgetItem(icon, Q(item.text), iconView_);
        entry->setToolTip(Q(item.fileName));
        auto* row = new QTreeWidgetItem(detailsView_);
        row->setIcon(0, icon);
        row->setText(0, Q(item.text));
        row->setText(1, Q(item.fileName));
        row->setText(2, Q(item.lastAccessed));
        row->setTextAlignment(2, Qt::AlignCenter);
    }
    shown_ = model_.Items();
}

void DatabaseChooser::Refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    setWindowTitle(Q(model_.Caption()));

    if (shown_ != model_.Items()) FillViews();
    const int selected = model_.SelectedIndex();
    iconView_->setCurrentRow(selected);
    detailsView_->setCurrentItem(selected >= 0 ? detailsView_->topLevelItem(selected) : nullptr);

    const ChooserView view = model_.View();
    switch (view) {
        case ChooserView::LargeIcons:
            iconView_->setViewMode(QListView::IconMode);
            iconView_->setIconSize(QSize(kLargeIconSize, kLargeIconSize));
            iconView_->setGridSize(QSize(120, 80));
            iconView_->setSpacing(0);
            iconView_->setFlow(QListView::LeftToRight);
            iconView_->setWrapping(true);
            break;
        case ChooserView::SmallIcons:
            iconView_->setViewMode(QListView::ListMode);
            iconView_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
            iconView_->setGridSize(QSize());
            iconView_->setSpacing(4);
            iconView_->setFlow(QListView::LeftToRight);
            iconView_->setWrapping(true);
            break;
        case ChooserView::List:
            iconView_->setViewMode(QListView::ListMode);
            iconView_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
            iconView_->setGridSize(QSize());
            iconView_->setSpacing(1);
            iconView_->setFlow(QListView::TopToBottom);
            iconView_->setWrapping(true);
            break;
        case ChooserView::Details:
            break;
    }
    lViewDatabases_->setCurrentWidget(view == ChooserView::Details
                                          ? static_cast<QWidget*>(detailsView_)
                                          : static_cast<QWidget*>(iconView_));
    viewActions_[static_cast<int>(view)]->setChecked(true);

    detailsView_->setColumnHidden(2, !model_.LastAccessedShown());
    if (std::optional<ChooserColumn> column = model_.SortColumn()) {
        detailsView_->header()->setSortIndicatorShown(true);
        detailsView_->header()->setSortIndicator(
            static_cast<int>(*column),
            model_.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        detailsView_->header()->setSortIndicatorShown(false);
    }

    cmdOK_->setEnabled(model_.OkEnabled());
    cmdCancel_->setEnabled(model_.CancelEnabled());
    mnuOptions_->menuAction()->setEnabled(model_.OptionsEnabled());
    mnuNewDatabase_->setEnabled(model_.CreateEnabled());
    for (QAction* action :
         {mnuChangeDescription_, mnuCopyDatabase_, mnuChangeFilename_, mnuDeleteDatabase_}) {
        action->setEnabled(model_.ItemOperationsEnabled());
    }
    pnlStatus_->setVisible(model_.StatusVisible());
    lblFirstLine_->setText(Q(model_.StatusFirstLine()));
    lblSecondLine_->setText(Q(model_.StatusSecondLine()));
    refreshing_ = false;
}

}  // namespace vantor::gui
