#include "main_window.h"

#include "qt_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "importer/main_window_model.h"
#include "key_filter.h"
#include "menu_bar_keys.h"
#include "qt_text.h"
#include "splash_window.h"

namespace vantor::gui {

namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QGroupBox* Frame(QWidget* parent, const char* name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

QLineEdit* Field(QWidget* parent, const char* name, int characters) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(characters, '0')) + 16);
    return field;
}

void SetText(QLineEdit* field, const std::string& text) {
    const QString value = Q(text);
    if (field->text() != value) field->setText(value);
}

}  // namespace

MainWindow::MainWindow(LogImportModel& model, QtDialogs& dialogs)
    : model_(model), dialogs_(dialogs) {
    setObjectName("frmLogImport");
    dialogs_.SetOwner(this);
    BuildMenus();
    setCentralWidget(BuildControls());
    // Nothing in the window can use more room than its natural size (fields of fixed length,
    // one button): kept at that size, it is never shown stretched around a large empty area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // What the model changes on its own (during an import, after a nested window) is redrawn.
    model_.OnChanged([this] { Refresh(); });
    Refresh();
}

MainWindow::~MainWindow() {
    dialogs_.SetOwner(nullptr);
    model_.OnChanged(nullptr);
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    connect(Item(file, "mnuExit", "E&xit"), &QAction::triggered, this, &QWidget::close);

    QMenu* log = menuBar()->addMenu("&Music Log");
    log->setObjectName("mnuMusicLog");
    connect(Item(log, "mnuScanLogFiles", "&Scan Log files for date range"), &QAction::triggered,
            this, [this] { RunBusy([this] { model_.ScanLogFiles(); }); });
    log->addSeparator();
    removeRange_ =
        Item(log, "mnuRemoveRange", "&Remove Entries for the Date and Time range given below");
    connect(removeRange_, &QAction::triggered, this,
            [this] { RunBusy([this] { (void)model_.RemoveRange(); }); });
    removeAll_ = Item(log, "mnuRemoveAll", "Remove &ALL the Entries from the log");
    connect(removeAll_, &QAction::triggered, this,
            [this] { RunBusy([this] { (void)model_.RemoveAll(); }); });
    log->addSeparator();
    reSend_ = Item(log, "mnuReSendLog", "Remove and then re-&send the Date and Time range below");
    connect(reSend_, &QAction::triggered, this,
            [this] { RunBusy([this] { (void)model_.ReSend(); }); });
    preview_ =
        Item(log, "mnuPreviewImport", "&Preview the import of the Date and Time range below");
    connect(preview_, &QAction::triggered, this,
            [this] { RunBusy([this] { (void)model_.ShowPreview(); }); });

    QMenu* songs = menuBar()->addMenu("&Songs");
    songs->setObjectName("mnuSongs");
    connect(Item(songs, "mnuSongsEmptyLibrary", "&Empty the Song Information in the Songs Library"),
            &QAction::triggered, this,
            [this] { RunBusy([this] { (void)model_.EmptySongLibrary(); }); });

    QMenu* settings = menuBar()->addMenu("Settin&gs");
    settings->setObjectName("mnuSettings");
    connect(Item(settings, "mnuOptions", "&Log Import Settings"), &QAction::triggered, this,
            [this] { model_.OpenImportSettings(); });
    connect(Item(settings, "mnuFileLocations", "Vantor &File Locations"), &QAction::triggered, this,
            [this] { RunBusy([this] { model_.FileLocations(); }); });
    settings->addSeparator();
    connect(Item(settings, "mnuDatabaseSettings", "&Kora Database Settings"), &QAction::triggered,
            this, [this] { RunBusy([this] { model_.OpenDatabaseSettings(); }); });

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    connect(Item(help, "mnuUpdateInfo", "&Update Information"), &QAction::triggered, this,
            [this] { model_.UpdateInformation(); });
    help->addSeparator();
    connect(Item(help, "mnuAbout", "&About"), &QAction::triggered, this, &MainWindow::ShowAbout);
    ReturnKeyboardAfterMenuEscape(menuBar());
}

QWidget* MainWindow::BuildControls() {
    auto* central = new QWidget(this);

    QGroupBox* current = Frame(central, "frameCurrentInfo", "Current Information:");
    auto* until = new QLabel("Schedules have been created up until:", current);
    until->setObjectName("lblScheduledUntilDesc");
    scheduledUntil_ = new QLabel(current);
    scheduledUntil_->setObjectName("lblScheduledUntil");
    QFont bold = scheduledUntil_->font();
    bold.setBold(true);
    scheduledUntil_->setFont(bold);
    auto* currentLayout = new QHBoxLayout(current);
    currentLayout->addWidget(until);
    currentLayout->addWidget(scheduledUntil_, 1);

    QGroupBox* range = Frame(central, "fraDateTimeRange", "Date and Time Range:");
    startButton_ = new QPushButton("Select Start Date and Time:", range);
    startButton_->setObjectName("cmdASStart");
    endButton_ = new QPushButton("Select End Date and Time:", range);
    endButton_->setObjectName("cmdASEnd");
    startDate_ = Field(range, "txtASStartDate", 18);
    endDate_ = Field(range, "txtASEndDate", 18);
    startHour_ = Field(range, "txtStartHour", 2);
    endHour_ = Field(range, "txtEndHour", 2);
    startMinutes_ = Field(range, "txtStartMinutes", 2);
    endMinutes_ = Field(range, "txtEndMinutes", 2);
    // Inside their frame the fields would all be announced by its caption; each says what it holds.
    for (auto [field, name] : {std::pair{startDate_, "Start date"}, {startHour_, "Start hour"},
                               {startMinutes_, "Start minutes"}, {endDate_, "End date"},
                               {endHour_, "End hour"}, {endMinutes_, "End minutes"}})
        field->setAccessibleName(name);
    for (QLineEdit* twoDigits : {startHour_, endHour_, startMinutes_, endMinutes_})
        twoDigits->setFixedWidth(twoDigits->fontMetrics().horizontalAdvance("0000") + 16);
    for (QLineEdit* hour : {startHour_, endHour_}) {
        hour->setMaxLength(3);
        hour->setAlignment(Qt::AlignCenter);
        FilterKeys(hour, &LogImportModel::FilterHourKey);
    }
    // The minutes are fixed: a range always runs from the start of its first hour to the end
    // of its last.
    startMinutes_->setText("00");
    endMinutes_->setText("59");
    for (QLineEdit* minutes : {startMinutes_, endMinutes_}) {
        minutes->setReadOnly(true);
        minutes->setFocusPolicy(Qt::NoFocus);
        minutes->setAlignment(Qt::AlignCenter);
    }
    startDay_ = new QLabel(range);
    startDay_->setObjectName("lblASStartDay");
    endDay_ = new QLabel(range);
    endDay_->setObjectName("lblASEndDay");
    for (QLabel* day : {startDay_, endDay_})
        day->setMinimumWidth(day->fontMetrics().horizontalAdvance("Wednesday") + 8);

    auto* grid = new QGridLayout(range);
    int row = 0;
    for (auto [button, date, day, hour, minutes] :
         {std::tuple{startButton_, startDate_, startDay_, startHour_, startMinutes_},
          std::tuple{endButton_, endDate_, endDay_, endHour_, endMinutes_}}) {
        grid->addWidget(button, row, 0);
        grid->addWidget(date, row, 1);
        grid->addWidget(day, row, 2);
        grid->addWidget(hour, row, 3);
        grid->addWidget(new QLabel(":", range), row, 4);
        grid->addWidget(minutes, row, 5);
        ++row;
    }
    // The fields keep their natural width; whatever room the frame has beyond the rows stays
    // at their right.
    grid->setColumnStretch(6, 1);
    // Tab walks each row from its button to its hour.
    setTabOrder(startButton_, startDate_);
    setTabOrder(startDate_, startHour_);
    setTabOrder(startHour_, endButton_);
    setTabOrder(endButton_, endDate_);
    setTabOrder(endDate_, endHour_);

    QGroupBox* options = Frame(central, "frameOptions", "Options:");
    auto* noOptions = new QLabel("There are no options.", options);
    noOptions->setObjectName("lblMusicLogNoOptions");
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(noOptions);

    schedule_ = new QPushButton("Begin Importing", central);
    schedule_->setObjectName("cmdSchedule");
    schedule_->setMinimumHeight(schedule_->sizeHint().height() * 3 / 2);
    schedule_->setMinimumWidth(160);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(schedule_);
    // A button with the focus answers Return as well as Space, as a desktop's buttons do (in a
    // main window, unlike a dialog, Qt leaves Return to the window).
    for (QPushButton* button : {startButton_, endButton_, schedule_}) button->setAutoDefault(true);

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(current);
    layout->addWidget(range);
    layout->addWidget(options);
    layout->addStretch();
    layout->addLayout(buttons);

    // Every change of a date field shows its weekday; the hour fields hold what was typed.
    connect(startDate_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.SetStartDateText(S(text));
        Refresh();
    });
    connect(endDate_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.SetEndDateText(S(text));
        Refresh();
    });
    connect(startHour_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetStartHourText(S(text)); });
    connect(endHour_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetEndHourText(S(text)); });
    for (QLineEdit* field : {startDate_, endDate_, startHour_, endHour_})
        field->installEventFilter(this);

    connect(startButton_, &QPushButton::clicked, this, [this] {
        model_.PickRange(true);
        Refresh();
    });
    connect(endButton_, &QPushButton::clicked, this, [this] {
        model_.PickRange(false);
        Refresh();
    });
    connect(schedule_, &QPushButton::clicked, this,
            [this] { RunBusy([this] { (void)model_.BeginImporting(); }); });
    return central;
}

void MainWindow::Refresh() {
    setWindowTitle(Q(model_.Caption()));
    scheduledUntil_->setText(Q(model_.ScheduledUntilText()));
    const RangeFields& fields = model_.Fields();
    SetText(startDate_, fields.startDate);
    SetText(startHour_, fields.startHour);
    SetText(endDate_, fields.endDate);
    SetText(endHour_, fields.endHour);
    startDay_->setText(Q(model_.StartDayText()));
    endDay_->setText(Q(model_.EndDayText()));

    const bool idle = !busy_;
    schedule_->setEnabled(idle && model_.ScheduleEnabled());
    reSend_->setEnabled(idle && model_.ReSendEnabled());
    preview_->setEnabled(idle && model_.PreviewEnabled());
    removeRange_->setEnabled(idle && model_.RemoveRangeEnabled());
    removeAll_->setEnabled(idle && model_.RemoveAllEnabled());
    menuBar()->setEnabled(idle);
    // Every control of the range, the fixed minutes included, greys out while an import runs.
    for (QWidget* control :
         std::initializer_list<QWidget*>{startButton_, endButton_, startDate_, startHour_,
                                         startMinutes_, endDate_, endHour_, endMinutes_})
        control->setEnabled(idle);
}

void MainWindow::RunBusy(const std::function<void()>& operation) {
    if (busy_) return;
    busy_ = true;
    Refresh();
    operation();
    busy_ = false;
    if (model_.IsClosed()) closeRequested_ = true;
    Refresh();
    if (closeRequested_) close();
}

ImportRunResult MainWindow::AutoStart() {
    ImportRunResult result;
    if (!model_.AutoRequested()) return result;
    RunBusy([this, &result] { result = model_.AutoStart(); });
    return result;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field) return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // A date field selects its first 40 characters, an hour field its first 3; after the
        // click that brought the focus, which would otherwise place the caret.
        const int length = field == startDate_ || field == endDate_ ? 40 : 3;
        QTimer::singleShot(0, field, [field, length] {
            if (field->hasFocus()) field->setSelection(0, qMin(length, field->text().size()));
        });
    } else if (event->type() == QEvent::FocusOut) {
        // The focus leaving for a menu or another program is not leaving the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!busy_ && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            FieldLeft(field);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::FieldLeft(QLineEdit* field) {
    if (field == startDate_)
        model_.StartDateLostFocus();
    else if (field == endDate_)
        model_.EndDateLostFocus();
    else if (field == startHour_)
        model_.StartHourLostFocus();
    else if (field == endHour_)
        model_.EndHourLostFocus();
    Refresh();
}

void MainWindow::ShowAbout() {
    SplashWindow about(SplashWindow::Mode::About, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // An import or a removal is half-way: it finishes first, then the window closes.
        closeRequested_ = true;
        event->ignore();
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    model_.Close();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible()) window->close();
    event->accept();
    emit closed();
}

}  // namespace vantor::gui
