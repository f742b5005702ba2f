#include "playout_settings_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "display_colour.h"
#include "key_filter.h"
#include "qt_text.h"
#include "select_on_focus.h"
#include "wave_format_dialog.h"

namespace vantor::gui {

namespace {

using Model = PlayoutSettingsEditorModel;
using Text = Model::Text;
using Check = Model::Check;
using List = Model::List;
using Slot = Model::ColourSlot;

// The controls' names, in the order of the model's enums.
const char* const kTextNames[Model::kTextCount] = {
    "txtSegPreviewLength",
    "txtVoiceLinkStartCart",
    "txtVoiceLinkEndcart",
    "txtBXTriggerLevel",
    "txtPrecueTime",
    "txtKAECalcRemainTime",
    "txtFadeEachTime",
    "txtMaxFadeTime",
    "txtCartFadeTime",
    "txtGoFadeTime",
    "txtRestartSeconds",
    "txtStationControlComputer",
    "txtShowNextItemsCount",
    "txtMusicLogPath",
    "txtMusicFilenamePrefix",
    "comboMusicFilenameFormat",
    "txtMusicCartOffset",
    "txtAdvertClientDatabase",
    "txtAdvertLogsPath",
    "txtAdvertFilenamePrefix",
    "comboAdvertFilenameFormat",
    "txtAdvertCartOffset",
    "txtAdvertFileTXChain",
};
// What each field holds, for screen readers: most fields sit inside a sentence, so neither the
// label before them nor their frame's caption says it.
const char* const kTextAccessibleNames[Model::kTextCount] = {
    "Seconds of the previous cart to play",
    "First cart for new voice links",
    "Last cart for new voice links",
    "Audio level that starts recording, in percent",
    "Seconds remaining when the next item is cued",
    "Least seconds remaining to recalculate the timing",
    "Most seconds to play of each fadeable track",
    "Seconds off the last fadeable track before fading others",
    "Seconds to fade out each track",
    "Seconds to fade the current item after Go",
    "Seconds to wait before restarting",
    "Station controller's computer name or address",
    "Number of next items to send",
    "Song and jingle logs directory",
    "Song and jingle log filename prefix",
    "Song and jingle log filename date format",
    "Amount to add to song and jingle cart numbers",
    "Advert clients database",
    "Advert logs directory",
    "Advert log filename prefix",
    "Advert log filename date format",
    "Amount to add to advert cart numbers",
    "Transmitter chain of the adverts to use",
};
const char* const kCheckNames[Model::kCheckCount] = {
    "chkSegueUpdateOnRecord",
    "chkBXLevelTrigger",
    "chkJumpHomeWhenActivate",
    "chkPlayAdvertsLoud",
    "chkNewEntriesStopAtEnd",
    "chkAllowInsertTrack",
    "chkAllowInsertCart",
    "chkAllowInsertJingle",
    "chkFadeCartsAfterNext",
    "chkUseFadeInfoFromLog",
    "chkAutoRestart",
    "chkAllowLastItemFade",
    "chkOverrideFadeRestrictions",
    "chkUseColoursFromCarts",
    "chkLogDisplayPanelMode",
    "chkDisplayLogTimes",
    "chkSCNearEndAdverts",
    "chkSCNearEndJingles",
    "chkSCNearEndSongs",
    "chkWaitSplitReturn",
    "chkShowJinglesNow",
    "chkShowAdvertsNow",
    "chkShowSongsNow",
    "chkShowCartsNow",
    "chkShowBXNow",
    "chkShowJinglesNext",
    "chkShowAdvertsNext",
    "chkShowSongsNext",
    "chkShowCartsNext",
    "chkShowBXNext",
    "chkAllowManualKVL",
    "chkUseCartRanges",
    "chkScheduleAds",
};
const char* const kListNames[Model::kListCount] = {
    "listSweeperStyle",
    "comboFadeRules",
    "comboStationControl",
    "comboStationControlPort",
    "listCartsFirstPlayerOrder",
    "listCartsLastPlayerOrder",
    "listSongsFirstPlayerOrder",
    "listSongsLastPlayerOrder",
    "listLinksFirstPlayerOrder",
    "listLinksLastPlayerOrder",
    "listAdvertsFirstPlayerOrder",
    "listAdvertsLastPlayerOrder",
    "listSegEditsFirstPlayerOrder",
    "listSegEditsLastPlayerOrder",
};

template <typename E>
size_t At(E value) {
    return static_cast<size_t>(value);
}

// A row of controls packed to the left.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) row->addWidget(widget);
    if (stretch) row->addStretch(1);
    return row;
}

QString ColourStyle(const char* property, const QColor& colour) {
    return QStringLiteral("%1: %2;").arg(QLatin1String(property), colour.name());
}

}  // namespace

PlayoutSettingsEditor::PlayoutSettingsEditor(Model& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("frmKORADatabaseSettings"));
    setWindowTitle(QString::fromUtf8(Model::kCaption));
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tbsKORA"));
    tabs_->addTab(BuildGeneralTab(), QStringLiteral("General"));
    tabs_->addTab(BuildKaeTab(), QStringLiteral("KAE Settings"));
    tabs_->addTab(BuildLogEntriesTab(), QStringLiteral("Log Entries"));
    tabs_->addTab(BuildLogLayoutTab(), QStringLiteral("Log Layout"));
    tabs_->addTab(BuildGeneralColoursTab(), QStringLiteral("General Colours"));
    tabs_->addTab(BuildStationControlTab(), QStringLiteral("KVL/Plexo"));
    tabs_->addTab(BuildLogImportTab(), QStringLiteral("Ads/Log Import"));

    databaseName_ = MakeLabel(QStringLiteral("lblDatabasename"), QString());
    databaseName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ok_ = MakeButton(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cancel_ = MakeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &PlayoutSettingsEditor::PressOK);
    connect(cancel_, &QPushButton::clicked, this, &PlayoutSettingsEditor::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(databaseName_, 1);
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(bottom);
    // Its contents have one size: opened at its natural size and kept there, it gets no
    // maximise button from the window manager and no empty space.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    model_.OnChanged([this] { Refresh(); });
    Refresh();
}

// Unloading the window closes the database it edited.
PlayoutSettingsEditor::~PlayoutSettingsEditor() {
    model_.OnChanged({});
    model_.Unload();
}

void PlayoutSettingsEditor::SetDatabasePath(const std::string& path) {
    model_.Load(path);
}

void PlayoutSettingsEditor::SetDatabase(const DatabaseStore& store, const std::string& name) {
    model_.Load(store, name);
}

// ---- Building

QLineEdit* PlayoutSettingsEditor::MakeText(Text field, bool number) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(kTextNames[At(field)]));
    edit->setAccessibleName(QLatin1String(kTextAccessibleNames[At(field)]));
    if (number) {
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    }
    FilterKeys(edit, [field](int key) { return Model::FilterKey(field, key); });
    SelectAllOnFocus(edit);
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { model_.SetText(field, text.toStdString()); });
    texts_[At(field)] = edit;
    return edit;
}

QComboBox* PlayoutSettingsEditor::MakeDateFormat(Text field) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(kTextNames[At(field)]));
    combo->setAccessibleName(QLatin1String(kTextAccessibleNames[At(field)]));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& item : Model::DateFormatItems()) combo->addItem(Q(item));
    combo->setMinimumContentsLength(10);
    QLineEdit* edit = combo->lineEdit();
    edit->setAccessibleName(combo->accessibleName());
    FilterKeys(edit, [field](int key) { return Model::FilterKey(field, key); });
    SelectAllOnFocus(edit);
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { model_.SetText(field, text.toStdString()); });
    connect(combo, &QComboBox::activated, this,
            [this, field, combo] { model_.SetText(field, combo->currentText().toStdString()); });
    texts_[At(field)] = edit;
    textCombos_[At(field)] = combo;
    return combo;
}

QCheckBox* PlayoutSettingsEditor::MakeCheck(Check box, const QString& text) {
    auto* check = new QCheckBox(text, this);
    check->setObjectName(QLatin1String(kCheckNames[At(box)]));
    connect(check, &QCheckBox::toggled, this,
            [this, box](bool checked) { model_.SetChecked(box, checked); });
    checks_[At(box)] = check;
    return check;
}

QComboBox* PlayoutSettingsEditor::MakeList(List list) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(kListNames[At(list)]));
    for (const std::string& item : Model::Items(list)) combo->addItem(Q(item));
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, list](int index) { model_.Select(list, index); });
    lists_[At(list)] = combo;
    return combo;
}

QLabel* PlayoutSettingsEditor::MakeLabel(const QString& name, const QString& text, bool wrap) {
    auto* label = new QLabel(text, this);
    if (!name.isEmpty()) label->setObjectName(name);
    label->setWordWrap(wrap);
    return label;
}

QPushButton* PlayoutSettingsEditor::MakeButton(const QString& name, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    return button;
}

void PlayoutSettingsEditor::BindColour(Slot slot, QLabel* panel, QPushButton* button,
                                       bool foreground, bool buttonShowsColour) {
    colours_[At(slot)] = {panel, button, foreground, buttonShowsColour};
    connect(button, &QPushButton::clicked, this, [this, slot] { ChooseColour(slot); });
}

QWidget* PlayoutSettingsEditor::BuildGeneralTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* segue = new QGroupBox(QStringLiteral("Segue Editor/Voice Link Settings:"), page);
    auto* segueLayout = new QVBoxLayout(segue);
    segueLayout->addLayout(Row(
        {MakeLabel({}, QStringLiteral("When previewing the outgoing  track, play the previous")),
         MakeText(Text::txtSegPreviewLength, true),
         MakeLabel({}, QStringLiteral("seconds of the cart."))}));
    segueLayout->addLayout(
        Row({MakeLabel(
                 {}, QStringLiteral("The Segue Editor should stores new voice links between cart")),
             MakeText(Text::txtVoiceLinkStartCart, true), MakeLabel({}, QStringLiteral("and cart")),
             MakeText(Text::txtVoiceLinkEndcart, true)}));
    segueLayout->addWidget(
        MakeCheck(Check::chkSegueUpdateOnRecord,
                  QStringLiteral("Update the Segue Display whilst recording new voice links")));
    audioFormat_ = MakeLabel(QStringLiteral("lblAudioFormat"), QString());
    audioFormat_->setFrameShape(QFrame::StyledPanel);
    audioFormat_->setMinimumWidth(280);
    auto* choose = MakeButton(QStringLiteral("cmdSelectAudioFormat"), QStringLiteral("Choose"));
    connect(choose, &QPushButton::clicked, this, &PlayoutSettingsEditor::ChooseAudioFormat);
    segueLayout->addLayout(
        Row({MakeLabel({}, QStringLiteral("Audio Format:")), audioFormat_, choose}));
    percent_ = MakeLabel(QStringLiteral("lblBXTriggerPercent"), QStringLiteral("%"));
    segueLayout->addLayout(
        Row({MakeCheck(
                 Check::chkBXLevelTrigger,
                 QStringLiteral("Automatically start recording when the Audio Level rises above")),
             MakeText(Text::txtBXTriggerLevel, true), percent_}));
    layout->addWidget(segue);

    auto* general = new QGroupBox(QStringLiteral("General Settings:"), page);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(MakeCheck(Check::chkJumpHomeWhenActivate,
                                       QStringLiteral("Jump \"Home\" before starting Automation")));
    generalLayout->addLayout(
        Row({MakeLabel({}, QStringLiteral("Sweeper Style:")), MakeList(List::listSweeperStyle)}));
    generalLayout->addWidget(MakeCheck(Check::chkPlayAdvertsLoud,
                                       QStringLiteral("Play the adverts at the 'Sweeper Volume'")));
    generalLayout->addWidget(
        MakeCheck(Check::chkNewEntriesStopAtEnd,
                  QStringLiteral("Set New Entries to \"Stop\" at the end in Live hours")));
    layout->addWidget(general);

    auto* allow = new QGroupBox(QStringLiteral("Allow the User to:"), page);
    auto* allowLayout = new QVBoxLayout(allow);
    allowLayout->addWidget(
        MakeCheck(Check::chkAllowInsertTrack, QStringLiteral("Insert Tracks from the Database")));
    allowLayout->addWidget(
        MakeCheck(Check::chkAllowInsertCart, QStringLiteral("Insert Carts from the Audio Wall")));
    allowLayout->addWidget(
        MakeCheck(Check::chkAllowInsertJingle, QStringLiteral("Insert Jingles from the Database")));
    layout->addWidget(allow);
    layout->addStretch(1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildKaeTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(MakeLabel(
        {},
        QStringLiteral("The following settings determine how the Kora Audio Engine plays audio, "
                       "and controls segues:"),
        true));

    // Each sentence reads across its row, its box in the middle; a long ending wraps.
    auto addRow = [&](QWidget* lead, QWidget* box, QLabel* tail) {
        auto* row = new QHBoxLayout;
        row->addWidget(lead);
        row->addWidget(box);
        if (tail) {
            tail->setWordWrap(true);
            row->addWidget(tail, 1);
        } else {
            row->addStretch(1);
        }
        layout->addLayout(row);
    };
    addRow(MakeLabel({}, QStringLiteral("Cue the next item when there is less than")),
           MakeText(Text::txtPrecueTime, true),
           MakeLabel({}, QStringLiteral("seconds remaining on the current item")));
    addRow(MakeLabel({}, QStringLiteral("Only recalculate timing if there is at least")),
           MakeText(Text::txtKAECalcRemainTime, true),
           MakeLabel({}, QStringLiteral("seconds remaining on the current item")));
    fadeEach_ = new QRadioButton(QStringLiteral("Fade at most"), page);
    fadeEach_->setObjectName(QStringLiteral("optFadeEach"));
    fadeEachText_ = MakeLabel(QStringLiteral("lblFadeEachDescription"),
                              QStringLiteral("seconds of each fadeable track, then fade the "
                                             "remainer of the last fadeable track."));
    addRow(fadeEach_, MakeText(Text::txtFadeEachTime, true), fadeEachText_);
    fadeLast_ = new QRadioButton(QStringLiteral("Always Fade"), page);
    fadeLast_->setObjectName(QStringLiteral("optFadeLast"));
    maxFadeText_ = MakeLabel(QStringLiteral("lblMaxFadeDescription"),
                             QStringLiteral("seconds off of the last fadeable track before "
                                            "fading others as well."));
    addRow(fadeLast_, MakeText(Text::txtMaxFadeTime, true), maxFadeText_);
    connect(fadeLast_, &QRadioButton::toggled, this,
            [this](bool checked) { model_.SetAlwaysFade(checked); });
    addRow(MakeLabel({}, QStringLiteral("Take")), MakeText(Text::txtCartFadeTime, true),
           MakeLabel({}, QStringLiteral("seconds to completely fade out each track when using "
                                        "AutoFade or ForceFade")));
    addRow(MakeCheck(Check::chkFadeCartsAfterNext,
                     QStringLiteral("Fade the current item after 'Go' is pressed, and take")),
           MakeText(Text::txtGoFadeTime, true), MakeLabel({}, QStringLiteral("seconds.")));
    addRow(MakeCheck(Check::chkAutoRestart,
                     QStringLiteral("If Kora is not shut down correctly, Automatically restart "
                                    "after waiting")),
           MakeText(Text::txtRestartSeconds, true), nullptr);

    layout->addWidget(MakeCheck(
        Check::chkUseFadeInfoFromLog,
        QStringLiteral("Use the fading information from the Log rather than from the carts")));
    auto* note = MakeLabel({},
                           QStringLiteral("Kora always uses the length of carts, but this setting "
                                          "allows the scheduler to determine which items can be "
                                          "faded."),
                           true);
    note->setIndent(24);
    layout->addWidget(note);
    layout->addWidget(MakeCheck(Check::chkAllowLastItemFade,
                                QStringLiteral("If no songs are fadeable, fade the very last "
                                               "track, even though it \"Ends\"")));
    layout->addWidget(MakeCheck(Check::chkOverrideFadeRestrictions,
                                QStringLiteral("Assume all songs are fadeable.")));
    auto* rules = MakeList(List::comboFadeRules);
    rules->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    rules->setMinimumContentsLength(40);
    auto* rulesRow = new QHBoxLayout;
    rulesRow->addWidget(MakeLabel({}, QStringLiteral("Fading Rules:")));
    rulesRow->addWidget(rules, 1);
    layout->addLayout(rulesRow);
    layout->addWidget(MakeLabel({},
                                QStringLiteral("Only songs that have a \"Fade\" ending type, and "
                                               "are marked as \"Fadeable\" will be faded early."),
                                true));
    layout->addStretch(1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildLogEntriesTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* frame = new QGroupBox(QStringLiteral("Cart Player Assignments and Log Colours:"), page);
    auto* grid = new QGridLayout(frame);
    struct Kind {
        const char* label;
        std::optional<List> first;
        std::optional<List> last;
        std::optional<Slot> slot;
        const char* button;
        const char* panel;
    };
    const Kind kinds[] = {
        {"Carts/Jingles start with", List::listCartsFirstPlayerOrder,
         List::listCartsLastPlayerOrder, Slot::Carts, "cmdCartsColour", "pnlCartsColour"},
        {"Songs start with", List::listSongsFirstPlayerOrder, List::listSongsLastPlayerOrder,
         Slot::Songs, "cmdSongsColour", "pnlSongsColour"},
        {"Links start with", List::listLinksFirstPlayerOrder, List::listLinksLastPlayerOrder,
         Slot::Links, "cmdLinksColour", "pnlLinksColour"},
        {"Adverts start with", List::listAdvertsFirstPlayerOrder, List::listAdvertsLastPlayerOrder,
         Slot::Adverts, "cmdAdvertsColour", "pnlAdvertsColour"},
        {"Seg Editing starts with", List::listSegEditsFirstPlayerOrder,
         List::listSegEditsLastPlayerOrder, std::nullopt, nullptr, nullptr},
        {"\"Commands\", \"Hardware\", \"Absolute Times\" and other entries log colour:",
         std::nullopt, std::nullopt, Slot::Commands, "cmdCommandsColour", "pnlCommandsColour"},
        {"\"Hour Starts\" and \"Formats\" log colour:", std::nullopt, std::nullopt,
         Slot::HourStarts, "cmdHourStartsColour", "pnlHourStartsColour"},
    };
    int row = 0;
    for (const Kind& kind : kinds) {
        if (kind.first) {
            grid->addWidget(MakeLabel({}, QLatin1String(kind.label)), row, 0);
            grid->addWidget(MakeList(*kind.first), row, 1);
            grid->addWidget(MakeLabel({}, QStringLiteral("and finish with")), row, 2);
            grid->addWidget(MakeList(*kind.last), row, 3);
        } else {
            auto* label = MakeLabel({}, QLatin1String(kind.label), true);
            grid->addWidget(label, row, 0, 1, 4);
        }
        if (kind.slot) {
            auto* panel = MakeLabel(QLatin1String(kind.panel), QString());
            panel->setFrameShape(QFrame::Panel);
            panel->setFrameShadow(QFrame::Sunken);
            panel->setAutoFillBackground(true);
            panel->setMinimumWidth(40);
            auto* button = MakeButton(QLatin1String(kind.button), QStringLiteral("Change Colour"));
            grid->addWidget(panel, row, 4);
            grid->addWidget(button, row, 5);
            BindColour(*kind.slot, panel, button, false, true);
        }
        ++row;
    }
    layout->addWidget(frame);
    layout->addWidget(MakeCheck(Check::chkUseColoursFromCarts,
                                QStringLiteral("Use the colours assigned to each carts rather "
                                               "than those above when displaying the log")));
    layout->addStretch(1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildLogLayoutTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    logPreview_ = MakeLabel(QStringLiteral("pnlLogPreview"),
                            QStringLiteral("  10:04:35   The Artist - The Title   3:41"));
    logPreview_->setFrameShape(QFrame::Panel);
    logPreview_->setFrameShadow(QFrame::Sunken);
    logPreview_->setAutoFillBackground(true);
    logPreview_->setMinimumHeight(64);
    layout->addWidget(logPreview_);
    layout->addWidget(MakeCheck(Check::chkLogDisplayPanelMode,
                                QStringLiteral("Display each entry in the Log as a 3D panel "
                                               "instead of a flat line of text")));
    auto* font = MakeButton(QStringLiteral("cmdSelectLogFont"), QStringLiteral("Select Font"));
    connect(font, &QPushButton::clicked, this, &PlayoutSettingsEditor::ChooseFont);
    layout->addLayout(Row({font}));
    layout->addWidget(MakeCheck(Check::chkDisplayLogTimes,
                                QStringLiteral("Display the time information from Log, rather "
                                               "than from the carts")));
    layout->addStretch(1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildGeneralColoursTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    struct Pair {
        const char* panel;
        const char* sample;
        Slot back;
        Slot fore;
        const char* backButton;
        const char* foreButton;
    };
    const Pair pairs[] = {
        {"pnlLog", "Log", Slot::LogBack, Slot::LogFore, "cmdLogBack", "cmdLogFore"},
        {"pnlLogInfo", "Log Information", Slot::LogInfoBack, Slot::LogInfoFore, "cmdLogInfoBack",
         "cmdLogInfoFore"},
        {"pnlLogHighlight", "Highlighted Log Entry", Slot::LogHighlightBack, Slot::LogHighlightFore,
         "cmdLogHighlightBack", "cmdLogHighlightFore"},
        {"pnlSelectedButton", "Selected Button", Slot::SelectedButtonBack, Slot::SelectedButtonFore,
         "cmdSelButtonBack", "cmdSelButtonFore"},
        {"pnlNonSelectedButton", "Other Buttons", Slot::NonSelectedButtonBack,
         Slot::NonSelectedButtonFore, "cmdNonSelButtonBack", "cmdNonSelButtonFore"},
        {"pnlAutomationMode", "Automation", Slot::AutomationBack, Slot::AutomationFore,
         "cmdAutomationBack", "cmdAutomationFore"},
        {"pnlLiveAssist", "Live Assist", Slot::LiveAssistBack, Slot::LiveAssistFore,
         "cmdLiveAssistBack", "cmdLiveAssistFore"},
        {"pnlStandby", "Standby", Slot::StandbyBack, Slot::StandbyFore, "cmdStandbyBack",
         "cmdStandbyFore"},
        {"pnlStatus", "Status", Slot::StatusBack, Slot::StatusFore, "cmdStatusback",
         "cmdStatusFore"},
    };
    int row = 0;
    for (const Pair& pair : pairs) {
        auto* panel = MakeLabel(QLatin1String(pair.panel), QLatin1String(pair.sample));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAutoFillBackground(true);
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumWidth(220);
        auto* back =
            MakeButton(QLatin1String(pair.backButton), QStringLiteral("Change Background"));
        auto* fore =
            MakeButton(QLatin1String(pair.foreButton), QStringLiteral("Change Foreground"));
        grid->addWidget(panel, row, 0);
        grid->addWidget(back, row, 1);
        grid->addWidget(fore, row, 2);
        BindColour(pair.back, panel, back, false, false);
        BindColour(pair.fore, panel, fore, true, false);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildStationControlTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* frame = new QGroupBox(QStringLiteral("Plexo / KVL Station Control Settings:"), page);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    grid->addWidget(MakeLabel({}, QStringLiteral("What type of Station Controller are you using:")),
                    row, 0);
    grid->addWidget(MakeList(List::comboStationControl), row++, 1);
    computerLabel_ = MakeLabel(QStringLiteral("lblStationControlComputer"),
                               QStringLiteral("Computer Name/TCP-IP Address:"));
    grid->addWidget(computerLabel_, row, 0);
    grid->addWidget(MakeText(Text::txtStationControlComputer), row++, 1);
    portLabel_ =
        MakeLabel(QStringLiteral("lblStationControlPort"), QStringLiteral("Connect using:"));
    grid->addWidget(portLabel_, row, 0);
    grid->addLayout(Row({MakeList(List::comboStationControlPort)}), row++, 1);
    nextCountLabel_ = MakeLabel(QStringLiteral("lblShowNextItemsCount"),
                                QStringLiteral("Number \"Next\" items to send:"));
    grid->addWidget(nextCountLabel_, row, 0);
    grid->addLayout(Row({MakeText(Text::txtShowNextItemsCount, true)}), row++, 1);
    grid->addWidget(MakeLabel({}, QStringLiteral("Send 'Near-End'' Information for:")), row, 0);
    grid->addLayout(Row({MakeCheck(Check::chkSCNearEndAdverts, QStringLiteral("Adverts")),
                         MakeCheck(Check::chkSCNearEndJingles, QStringLiteral("Jingles")),
                         MakeCheck(Check::chkSCNearEndSongs, QStringLiteral("Songs"))}),
                    row++, 1);
    grid->addWidget(MakeLabel({}, QStringLiteral("When triggering Split (Plexo) items:")), row, 0);
    grid->addWidget(MakeCheck(Check::chkWaitSplitReturn,
                              QStringLiteral("Wait for Plexo to finish playing the item.")),
                    row++, 1);
    auto kinds = [&](Check jingles, Check adverts, Check songs, Check carts, Check links) {
        return Row({MakeCheck(jingles, QStringLiteral("Jingles")),
                    MakeCheck(adverts, QStringLiteral("Adverts")),
                    MakeCheck(songs, QStringLiteral("Songs")),
                    MakeCheck(carts, QStringLiteral("Carts")),
                    MakeCheck(links, QStringLiteral("Voice Links"))});
    };
    grid->addWidget(MakeLabel({}, QStringLiteral("Display 'Now' Information for:")), row, 0);
    grid->addLayout(kinds(Check::chkShowJinglesNow, Check::chkShowAdvertsNow,
                          Check::chkShowSongsNow, Check::chkShowCartsNow, Check::chkShowBXNow),
                    row++, 1);
    grid->addWidget(MakeLabel({}, QStringLiteral("Display 'Next' Information for:")), row, 0);
    grid->addLayout(kinds(Check::chkShowJinglesNext, Check::chkShowAdvertsNext,
                          Check::chkShowSongsNext, Check::chkShowCartsNext, Check::chkShowBXNext),
                    row++, 1);
    grid->addWidget(MakeCheck(Check::chkAllowManualKVL,
                              QStringLiteral("Allow the user to manually update the information")),
                    row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(frame);
    layout->addStretch(1);
    return page;
}

QWidget* PlayoutSettingsEditor::BuildLogImportTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* music = new QGroupBox(QStringLiteral("Song/Jingle Log Files:"), page);
    auto* musicGrid = new QGridLayout(music);
    int row = 0;
    musicGrid->addWidget(
        MakeLabel({},
                  QStringLiteral("NOTE: You do not need to use these settings if you are "
                                 "using Rotaplan."),
                  true),
        row++, 0, 1, 3);
    auto* browseMusic =
        MakeButton(QStringLiteral("cmdBrowseMusicLogsPath"), QStringLiteral("Browse"));
    connect(browseMusic, &QPushButton::clicked, this,
            [this] { model_.BrowseLogsFolder(Model::LogsFolder::Music); });
    musicGrid->addWidget(MakeLabel({}, QStringLiteral("Logs Directory:")), row, 0);
    musicGrid->addWidget(MakeText(Text::txtMusicLogPath), row, 1);
    musicGrid->addWidget(browseMusic, row++, 2);
    musicGrid->addWidget(MakeLabel({}, QStringLiteral("Log Filename Prefix:")), row, 0);
    musicGrid->addLayout(Row({MakeText(Text::txtMusicFilenamePrefix)}), row++, 1);
    musicSample_ = MakeLabel(QStringLiteral("lblMusicSampleFilename"), QString());
    musicGrid->addWidget(MakeLabel({}, QStringLiteral("Filename Date Format:")), row, 0);
    musicGrid->addLayout(Row({MakeDateFormat(Text::comboMusicFilenameFormat),
                              MakeLabel({}, QStringLiteral("Sample:")), musicSample_}),
                         row++, 1, 1, 2);
    musicLastSent_ = MakeLabel(QStringLiteral("lblMusicLastSent"), QString());
    musicGrid->addWidget(MakeLabel({}, QStringLiteral("Logs last sent:")), row, 0);
    musicGrid->addWidget(musicLastSent_, row++, 1, 1, 2);
    musicGrid->addWidget(MakeLabel({}, QStringLiteral("Amount to add to Cart Numbers:")), row, 0);
    musicGrid->addLayout(Row({MakeText(Text::txtMusicCartOffset, true)}), row++, 1);
    musicGrid->addWidget(
        MakeCheck(Check::chkUseCartRanges,
                  QStringLiteral("Use the Log Importer Cart Ranges when adding carts.")),
        row++, 0, 1, 3);
    musicGrid->setColumnStretch(1, 1);
    layout->addWidget(music);

    auto* adverts = new QGroupBox(QStringLiteral("Advert Log Files:"), page);
    auto* advertGrid = new QGridLayout(adverts);
    row = 0;
    selectClient_ = MakeButton(QStringLiteral("cmdSelectClientsDB"), QStringLiteral("Select"));
    connect(selectClient_, &QPushButton::clicked, this, [this] { model_.SelectClientDatabase(); });
    clientDescription_ = MakeLabel(QStringLiteral("lblAdvertClientsDB"), QString());
    clientDescription_->setFrameShape(QFrame::StyledPanel);
    advertGrid->addWidget(MakeCheck(Check::chkScheduleAds, QStringLiteral("Schedule Adverts:")),
                          row, 0);
    advertGrid->addLayout(Row({MakeText(Text::txtAdvertClientDatabase), selectClient_}), row++, 1,
                          1, 2);
    clientDescription_->setWordWrap(true);
    advertGrid->addWidget(clientDescription_, row++, 1, 1, 2);
    auto* browseAdverts =
        MakeButton(QStringLiteral("cmdBrowseAdvertsLogPath"), QStringLiteral("Browse"));
    connect(browseAdverts, &QPushButton::clicked, this,
            [this] { model_.BrowseLogsFolder(Model::LogsFolder::Adverts); });
    advertGrid->addWidget(MakeLabel({}, QStringLiteral("Logs Directory:")), row, 0);
    advertGrid->addWidget(MakeText(Text::txtAdvertLogsPath), row, 1);
    advertGrid->addWidget(browseAdverts, row++, 2);
    advertGrid->addWidget(MakeLabel({}, QStringLiteral("Log Filename Prefix:")), row, 0);
    advertGrid->addLayout(Row({MakeText(Text::txtAdvertFilenamePrefix)}), row++, 1);
    advertSample_ = MakeLabel(QStringLiteral("lblAdvertSampleFilename"), QString());
    advertGrid->addWidget(MakeLabel({}, QStringLiteral("Filename Date Format:")), row, 0);
    advertGrid->addLayout(Row({MakeDateFormat(Text::comboAdvertFilenameFormat),
                               MakeLabel({}, QStringLiteral("Sample:")), advertSample_}),
                          row++, 1, 1, 2);
    advertGrid->addWidget(MakeLabel({}, QStringLiteral("Amount to add to Cart Numbers:")), row, 0);
    advertGrid->addLayout(Row({MakeText(Text::txtAdvertCartOffset, true)}), row++, 1);
    advertGrid->addWidget(
        MakeLabel({}, QStringLiteral("Only use adverts marked for Transmitter Chain:")), row, 0);
    advertGrid->addLayout(Row({MakeText(Text::txtAdvertFileTXChain, true)}), row++, 1);
    advertGrid->setColumnStretch(1, 1);
    layout->addWidget(adverts);
    layout->addStretch(1);
    return page;
}

// ---- Showing

QColor PlayoutSettingsEditor::SlotColour(Model::ColourSlot slot) const {
    return ToQColor(model_.GetColour(slot), palette());
}

void PlayoutSettingsEditor::Refresh() {
    ShowDatabaseName();
    tabs_->setEnabled(model_.Loaded());
    ok_->setEnabled(model_.Loaded());

    for (int i = 0; i < Model::kTextCount; ++i) {
        QLineEdit* edit = texts_[static_cast<size_t>(i)];
        QString text = Q(model_.GetText(static_cast<Text>(i)));
        if (edit && edit->text() != text) {
            QSignalBlocker block(edit);
            edit->setText(text);
        }
    }
    for (int i = 0; i < Model::kCheckCount; ++i) {
        QCheckBox* check = checks_[static_cast<size_t>(i)];
        QSignalBlocker block(check);
        check->setChecked(model_.Checked(static_cast<Check>(i)));
    }
    for (int i = 0; i < Model::kListCount; ++i) {
        QComboBox* list = lists_[static_cast<size_t>(i)];
        QSignalBlocker block(list);
        list->setCurrentIndex(model_.Selected(static_cast<List>(i)));
    }
    {
        QSignalBlocker blockEach(fadeEach_);
        QSignalBlocker blockLast(fadeLast_);
        fadeLast_->setChecked(model_.AlwaysFade());
        fadeEach_->setChecked(!model_.AlwaysFade());
    }

    Model::Enabled enabled = model_.Enables();
    texts_[At(Text::txtRestartSeconds)]->setEnabled(enabled.restartSeconds);
    texts_[At(Text::txtBXTriggerLevel)]->setEnabled(enabled.triggerLevel);
    percent_->setEnabled(enabled.triggerLevel);
    selectClient_->setEnabled(enabled.clientDatabase);
    clientDescription_->setEnabled(enabled.clientDatabase);
    texts_[At(Text::txtMaxFadeTime)]->setEnabled(enabled.maxFadeTime);
    maxFadeText_->setEnabled(enabled.maxFadeTime);
    texts_[At(Text::txtFadeEachTime)]->setEnabled(enabled.fadeEachTime);
    fadeEachText_->setEnabled(enabled.fadeEachTime);
    texts_[At(Text::txtStationControlComputer)]->setEnabled(enabled.stationComputer);
    computerLabel_->setEnabled(enabled.stationComputer);
    texts_[At(Text::txtShowNextItemsCount)]->setEnabled(enabled.nextItemsCount);
    nextCountLabel_->setEnabled(enabled.nextItemsCount);
    lists_[At(List::comboStationControlPort)]->setEnabled(enabled.stationPort);
    portLabel_->setEnabled(enabled.stationPort);
    checks_[At(Check::chkAllowManualKVL)]->setEnabled(enabled.allowManualUpdate);
    checks_[At(Check::chkWaitSplitReturn)]->setEnabled(enabled.waitSplitReturn);

    audioFormat_->setText(Q(model_.AudioFormatText()));
    musicSample_->setText(Q(model_.MusicSampleFilename()));
    advertSample_->setText(Q(model_.AdvertSampleFilename()));
    musicLastSent_->setText(Q(model_.MusicLastSent()));
    clientDescription_->setText(Q(model_.ClientDatabaseDescription()));

    // Colours: each panel is drawn from its back slot and, where it has one, its fore slot.
    for (int i = 0; i < Model::kColourCount; ++i) {
        const ColourWidgets& widgets = colours_[static_cast<size_t>(i)];
        if (!widgets.panel) continue;
        QColor colour = SlotColour(static_cast<Slot>(i));
        widgets.panel->setProperty(
            widgets.foreground ? "foreStyle" : "backStyle",
            ColourStyle(widgets.foreground ? "color" : "background-color", colour));
        if (widgets.buttonShowsColour)
            widgets.button->setStyleSheet(ColourStyle("background-color", colour) +
                                          QStringLiteral("padding: 3px 12px;"));
    }
    for (const ColourWidgets& widgets : colours_) {
        if (!widgets.panel || widgets.foreground) continue;
        widgets.panel->setStyleSheet(widgets.panel->property("backStyle").toString() +
                                     widgets.panel->property("foreStyle").toString() +
                                     QStringLiteral("border: 2px inset gray;"));
    }

    const LogFont& logFont = model_.GetLogFont();
    QFont font(Q(logFont.name));
    font.setPointSize(logFont.size > 0 ? logFont.size : 12);
    font.setBold(logFont.bold);
    font.setItalic(logFont.italic);
    font.setStrikeOut(logFont.strikeout);
    font.setUnderline(logFont.underline);
    logPreview_->setFont(font);
    logPreview_->setStyleSheet(
        ColourStyle("background-color", SlotColour(Slot::LogBack)) +
        ColourStyle("color", SlotColour(Slot::LogFore)) +
        QStringLiteral("border: 2px inset gray; padding: 4px;"));
}

// ---- Events

void PlayoutSettingsEditor::ChooseColour(Slot slot) {
    const ColourWidgets& widgets = colours_[At(slot)];
    QColorDialog dialog(SlotColour(slot), this);
    dialog.setObjectName(QStringLiteral("dlgColour"));
    dialog.setWindowTitle(widgets.button->text());
    if (dialog.exec() != QDialog::Accepted) return;
    QColor chosen = dialog.selectedColor();
    if (!chosen.isValid()) return;
    model_.SetColour(slot, static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                     static_cast<uint8_t>(chosen.blue()));
}

void PlayoutSettingsEditor::ChooseFont() {
    // A stored font this desktop lacks starts the dialog on the font it is drawn with.
    QFont start = logPreview_->font();
    start.setFamily(QFontInfo(start).family());
    QFontDialog dialog(start, this);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    // Our own dialog, which offers strikeout and underline on every desktop.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return;
    QFont chosen = dialog.selectedFont();
    int size = chosen.pointSize() > 0 ? chosen.pointSize() : model_.GetLogFont().size;
    model_.SetLogFont({chosen.family().toStdString(), size, chosen.bold(), chosen.italic(),
                       chosen.strikeOut(), chosen.underline()});
}

void PlayoutSettingsEditor::ChooseAudioFormat() {
    WaveFormatDialog dialog(model_.FormatChoiceStart(), this);
    if (dialog.exec() == QDialog::Accepted) model_.SetAudioFormat(dialog.Chosen());
}

void PlayoutSettingsEditor::PressOK() {
    if (model_.OK()) {
        QDialog::accept();
        return;
    }
    // A refused box is brought into view so that the operator can correct it.
    if (auto invalid = model_.InvalidText()) {
        QWidget* box = textCombos_[At(*invalid)] ? static_cast<QWidget*>(textCombos_[At(*invalid)])
                                                 : texts_[At(*invalid)];
        for (int i = 0; i < tabs_->count(); ++i) {
            if (tabs_->widget(i)->isAncestorOf(box)) tabs_->setCurrentIndex(i);
        }
        box->setFocus();
    }
}

// The full path is shortened in the middle to the room there is; its tip shows it whole.
void PlayoutSettingsEditor::ShowDatabaseName() {
    QString path = Q(model_.DatabasePath());
    int room = std::max(databaseName_->width(), 100);
    databaseName_->setText(databaseName_->fontMetrics().elidedText(path, Qt::ElideMiddle, room));
    databaseName_->setToolTip(path);
}

void PlayoutSettingsEditor::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ShowDatabaseName();
}

void PlayoutSettingsEditor::reject() {
    model_.Cancel();
    QDialog::reject();
}

bool RunPlayoutSettingsEditor(PlayoutSettingsEditorModel& model, const std::string& databasePath,
                              QWidget* parent) {
    PlayoutSettingsEditor window(model, parent);
    window.SetDatabasePath(databasePath);
    return window.exec() == QDialog::Accepted;
}

bool RunPlayoutSettingsEditor(PlayoutSettingsEditorModel& model, const DatabaseStore& store,
                              const std::string& name, QWidget* parent) {
    PlayoutSettingsEditor window(model, parent);
    window.SetDatabase(store, name);
    return window.exec() == QDialog::Accepted;
}

}  // namespace vantor::gui
