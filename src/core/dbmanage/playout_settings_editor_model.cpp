#include "dbmanage/playout_settings_editor_model.h"

#include <cmath>
#include <limits>
#include <utility>

#include "common/clock.h"
#include "common/character_class.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "dbengine/database_file.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "users/users_database.h"

namespace vantor {

namespace {

using Model = PlayoutSettingsEditorModel;
using Text = Model::Text;
using Check = Model::Check;
using List = Model::List;
using Slot = Model::ColourSlot;
using S = DbSettings;


// Check boxes that show and save one key each, stored as 0 or 1.
struct CheckKey {
    Check box;
    int16_t DbSettings::*member;
};
constexpr CheckKey kCheckKeys[] = {
    {Check::chkSegueUpdateOnRecord, &S::SEGUE_UpdateDuringRecord},
    {Check::chkJumpHomeWhenActivate, &S::KORA_JumpHomeBeforeActivate},
    {Check::chkPlayAdvertsLoud, &S::KORA_PlayAdvertsLoud},
    {Check::chkNewEntriesStopAtEnd, &S::KORA_NewEntriesStopAtEnd},
    {Check::chkAllowInsertTrack, &S::KORA_AllowInsertTrack},
    {Check::chkAllowInsertCart, &S::KORA_AllowInsertCart},
    {Check::chkAllowInsertJingle, &S::KORA_AllowInsertJingle},
    {Check::chkFadeCartsAfterNext, &S::KORA_FadeCartsAfterNextStart},
    {Check::chkUseFadeInfoFromLog, &S::KORA_UseFadeInfoFromLog},
    {Check::chkAllowLastItemFade, &S::KORA_Force_FadeLast},
    {Check::chkOverrideFadeRestrictions, &S::KORA_Override_fades},
    {Check::chkUseColoursFromCarts, &S::KORA_UseColoursFromCarts},
    {Check::chkLogDisplayPanelMode, &S::KORA_LogDisplayPanelMode},
    {Check::chkDisplayLogTimes, &S::KORA_LogDisplayLogTimes},
    {Check::chkSCNearEndAdverts, &S::KORA_SCWarnNearEndAds},
    {Check::chkSCNearEndJingles, &S::KORA_SCWarnNearEndJingles},
    {Check::chkSCNearEndSongs, &S::KORA_SCWarnNearEndSongs},
    {Check::chkWaitSplitReturn, &S::KORA_WaitSplitReturn},
    {Check::chkShowJinglesNow, &S::KORA_ShowJinglesNow},
    {Check::chkShowAdvertsNow, &S::KORA_ShowAdvertsNow},
    {Check::chkShowSongsNow, &S::KORA_ShowSongsNow},
    {Check::chkShowCartsNow, &S::KORA_ShowCartsNow},
    {Check::chkShowBXNow, &S::KORA_ShowBXNow},
    {Check::chkShowJinglesNext, &S::KORA_ShowJinglesNext},
    {Check::chkShowAdvertsNext, &S::KORA_ShowAdvertsNext},
    {Check::chkShowSongsNext, &S::KORA_ShowSongsNext},
    {Check::chkShowCartsNext, &S::KORA_ShowCartsNext},
    {Check::chkShowBXNext, &S::KORA_ShowBXNext},
    // The station controller's manual update is kept under its older key.
    {Check::chkAllowManualKVL, &S::KORA_AllowManualOCP},
    {Check::chkUseCartRanges, &S::MUSIC_UseCartRanges},
};

// Number boxes that show and save one key each.
struct Int16Key {
    Text field;
    int16_t DbSettings::*member;
};
constexpr Int16Key kInt16Keys[] = {
    {Text::txtSegPreviewLength, &S::SEGUE_PreviewLength},
    {Text::txtPrecueTime, &S::KORA_PreCueTime},
    {Text::txtKAECalcRemainTime, &S::KORA_KAE_Calculation_Time},
    {Text::txtShowNextItemsCount, &S::KORA_ShowNextItemsCount},
};
struct Int32Key {
    Text field;
    int32_t DbSettings::*member;
};
constexpr Int32Key kInt32Keys[] = {
    {Text::txtVoiceLinkStartCart, &S::SEGUE_VoiceStartCart},
    {Text::txtVoiceLinkEndcart, &S::SEGUE_VoiceEndCart},
    {Text::txtMusicCartOffset, &S::MUSIC_CartOffset},
    {Text::txtAdvertCartOffset, &S::ADVERTS_CartOffset},
};
struct SingleKey {
    Text field;
    float DbSettings::*member;
};
constexpr SingleKey kSingleKeys[] = {
    {Text::txtCartFadeTime, &S::KORA_Cart_Normal_Fade},
    {Text::txtGoFadeTime, &S::KORA_Go_Fade_Length},
};
struct TextKey {
    Text field;
    std::string DbSettings::*member;
};
constexpr TextKey kTextKeys[] = {
    {Text::txtMusicLogPath, &S::MUSIC_LogPath},
    {Text::txtMusicFilenamePrefix, &S::MUSIC_FilenamePrefix},
    {Text::comboMusicFilenameFormat, &S::MUSIC_FilenameFormat},
    {Text::txtAdvertLogsPath, &S::ADVERTS_LogPath},
    {Text::txtAdvertFilenamePrefix, &S::ADVERTS_FilenamePrefix},
    {Text::comboAdvertFilenameFormat, &S::ADVERTS_FilenameFormat},
    {Text::txtAdvertFileTXChain, &S::ADVERTS_TXChainCode},
};

struct PlayerKey {
    List list;
    int16_t DbSettings::*member;
};
constexpr PlayerKey kPlayerKeys[] = {
    {List::listCartsFirstPlayerOrder, &S::CARTS_FirstPlayer},
    {List::listCartsLastPlayerOrder, &S::CARTS_LastPlayer},
    {List::listSongsFirstPlayerOrder, &S::SONGS_FirstPlayer},
    {List::listSongsLastPlayerOrder, &S::SONGS_LastPlayer},
    {List::listLinksFirstPlayerOrder, &S::LINKS_FirstPlayer},
    {List::listLinksLastPlayerOrder, &S::LINKS_LastPlayer},
    {List::listAdvertsFirstPlayerOrder, &S::ADVERTS_FirstPlayer},
    {List::listAdvertsLastPlayerOrder, &S::ADVERTS_LastPlayer},
    {List::listSegEditsFirstPlayerOrder, &S::SEGUE_EditsFirstPlayer},
    {List::listSegEditsLastPlayerOrder, &S::SEGUE_EditsLastPlayer},
};
constexpr int16_t kLastPlayer = 255;

// Colours kept in the settings; the other slots are samples only.
struct ColourKey {
    Slot slot;
    int32_t DbSettings::*member;
};
constexpr ColourKey kColourKeys[] = {
    {Slot::Carts, &S::CARTS_Colour},
    {Slot::Songs, &S::SONGS_Colour},
    {Slot::Links, &S::LINKS_Colour},
    {Slot::Adverts, &S::ADVERTS_Colour},
    {Slot::Commands, &S::CMDS_Colour},
    {Slot::HourStarts, &S::HOURS_Colour},
    {Slot::LogBack, &S::KORA_LogBackColor},
    {Slot::LogFore, &S::KORA_LogForeColor},
    {Slot::LogInfoBack, &S::KORA_LogInfoBackColor},
    {Slot::LogInfoFore, &S::KORA_LogInfoForeColor},
    {Slot::LogHighlightBack, &S::KORA_LogHighlightBackColor},
    {Slot::LogHighlightFore, &S::KORA_LogHighlightForeColor},
    {Slot::SelectedButtonBack, &S::KORA_SelButtonBackColor},
    {Slot::SelectedButtonFore, &S::KORA_SelButtonForeColor},
    {Slot::NonSelectedButtonBack, &S::KORA_NonSelButtonBackColor},
    {Slot::NonSelectedButtonFore, &S::KORA_NonSelButtonForeColor},
    {Slot::AutomationBack, &S::KORA_Mode_AutoBackcolor},
    {Slot::LiveAssistBack, &S::KORA_Mode_LiveAsstBackcolor},
    {Slot::StandbyBack, &S::KORA_Mode_StandbyBackcolor},
};

double NumberIn(const std::string& text) {
    return LeadingNumber(text);
}

// One trailing "\" (or "/") goes; the root directory alone stays as it is.
std::string WithoutTrailingSeparator(const std::string& path) {
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) return path;
    if (path == "/") return path;
    return path.substr(0, path.size() - 1);
}

std::string SampleFilename(const std::string& prefix, const std::string& format, int today) {
    std::string trimmedFormat = Trim(format);
    std::string date = trimmedFormat.empty() ? "" : FormatDate(today, trimmedFormat);
    return " " + Trim(prefix) + date + ".LOG";
}

}  // namespace

PlayoutSettingsEditorModel::PlayoutSettingsEditorModel(UserInterface& ui, Dialogs& dialogs,
                                                       const Clock& clock, UsersDatabase& users,
                                                       PlayoutSettingsEditorContext context)
    : ui_(ui), dialogs_(dialogs), clock_(clock), users_(users), context_(std::move(context)) {
    // The samples that are not settings start in the colours the playout system shows them in.
    colours_[Index(Slot::AutomationFore)] = StoredFromRgb(0, 0, 0);
    colours_[Index(Slot::LiveAssistFore)] = StoredFromRgb(0, 0, 0);
    colours_[Index(Slot::StandbyFore)] = kSystemColourButtonText;
    colours_[Index(Slot::StatusBack)] = kSystemColourButtonFace;
    colours_[Index(Slot::StatusFore)] = kSystemColourButtonText;
    FillFromSettings();
}

PlayoutSettingsEditorModel::PlayoutSettingsEditorModel(Session& session)
    : PlayoutSettingsEditorModel(session.ui, session.dialogs, session.clock, session.users,
                                 {session.locations.DataLocation, session.audiowall.MaxCart,
                                  session.login.currentUser.LoginName}) {}

PlayoutSettingsEditorModel::~PlayoutSettingsEditorModel() {
    Unload();
}

void PlayoutSettingsEditorModel::Notify() {
    NotifyChanged();
}

// ---- Loading

void PlayoutSettingsEditorModel::Unload() {
    db_.Close();
}

void PlayoutSettingsEditorModel::Load(const std::string& databasePath) {
    const FileInStore file = FileStoreOf(databasePath);
    // The label shows the path as the caller gave it.
    LoadFrom(*file.store, file.name, databasePath);
}

void PlayoutSettingsEditorModel::Load(const DatabaseStore& store, const std::string& name) {
    LoadFrom(store, name, store.Address(name));
}

void PlayoutSettingsEditorModel::LoadFrom(const DatabaseStore& store, const std::string& name,
                                          const std::string& shown) {
    Unload();
    databasePath_ = shown;
    loaded_ = false;
    closed_ = false;
    invalidText_.reset();
    if (store.Exists(name)) {
        if (DbError error = store.Open(name, db_); !error.Ok()) {
            ProblemReport(ui_, "opening the Kora database", error);
        } else {
            ShowSettings();
        }
    }
    Notify();
}

void PlayoutSettingsEditorModel::ShowSettings() {
    DbSettings read;
    // Settings that could not be read stay unusable: saving them would replace what is
    // stored with defaults. The failure has been reported.
    if (!ReadDbSettings(ui_, db_, read, context_.dataLocation).Ok()) {
        db_.Close();
        return;
    }
    settings_ = read;
    loaded_ = true;
    FillFromSettings();
}

void PlayoutSettingsEditorModel::FillFromSettings() {
    const DbSettings& s = settings_;
    for (const CheckKey& key : kCheckKeys) checks_[Index(key.box)] = s.*key.member != 0;
    for (const Int16Key& key : kInt16Keys) texts_[Index(key.field)] = IntText(s.*key.member);
    for (const Int32Key& key : kInt32Keys) texts_[Index(key.field)] = IntText(s.*key.member);
    for (const SingleKey& key : kSingleKeys) texts_[Index(key.field)] = SingleText(s.*key.member);
    for (const TextKey& key : kTextKeys) texts_[Index(key.field)] = s.*key.member;

    bool restart = s.KORA_AutoRestartDelay >= 0;
    checks_[Index(Check::chkAutoRestart)] = restart;
    texts_[Index(Text::txtRestartSeconds)] = restart ? IntText(s.KORA_AutoRestartDelay) : "";

    bool trigger = s.SEGUE_VoiceLinkLevelTrigger >= 1;
    checks_[Index(Check::chkBXLevelTrigger)] = trigger;
    texts_[Index(Text::txtBXTriggerLevel)] = trigger ? IntText(s.SEGUE_VoiceLinkLevelTrigger) : "";

    bool adverts = !s.ADVERTS_ClientDatabase.empty();
    checks_[Index(Check::chkScheduleAds)] = adverts;
    texts_[Index(Text::txtAdvertClientDatabase)] = s.ADVERTS_ClientDatabase;

    alwaysFade_ = s.KORA_MaxFadeTime >= 1;
    texts_[Index(Text::txtMaxFadeTime)] = alwaysFade_ ? IntText(s.KORA_MaxFadeTime) : "30";
    texts_[Index(Text::txtFadeEachTime)] = alwaysFade_ ? "10" : IntText(s.KORA_EachFadeTime);

    auto lastIndex = [](List list) { return static_cast<int32_t>(Items(list).size()) - 1; };
    selected_[Index(List::comboFadeRules)] =
        Clamp(s.KORA_FadeSongRules, 0, lastIndex(List::comboFadeRules));
    selected_[Index(List::listSweeperStyle)] =
        Clamp(s.KORA_SweeperMode, 0, lastIndex(List::listSweeperStyle));
    for (const PlayerKey& key : kPlayerKeys) {
        int32_t stored = s.*key.member;
        int32_t count = lastIndex(key.list) + 1;
        selected_[Index(key.list)] =
            stored == kLastPlayer ? count - 1 : Clamp(stored, 1, count) - 1;
    }

    texts_[Index(Text::txtStationControlComputer)] = s.KORA_SCComputerAddress;
    if (s.KORA_SCComputerAddress.empty()) {
        selected_[Index(List::comboStationControl)] = 0;
        selected_[Index(List::comboStationControlPort)] = 0;
    } else if (s.KORA_SCComputerPort < 1) {
        selected_[Index(List::comboStationControl)] = 2;
        selected_[Index(List::comboStationControlPort)] = 0;
    } else {
        selected_[Index(List::comboStationControl)] = 1;
        selected_[Index(List::comboStationControlPort)] =
            Clamp(s.KORA_SCComputerPort - 1, 0, lastIndex(List::comboStationControlPort));
    }

    musicLastSent_ = s.MUSIC_SentBy;
    if (s.MUSIC_LastSent > 0) {
        musicLastSent_ = s.MUSIC_SentBy + " on " + FormatDate(s.MUSIC_LastSent, "ddddd hh:nn:ss");
    }

    format_ = {static_cast<uint16_t>(s.SEGUE_VoiceLinkFormat),
               static_cast<uint16_t>(s.SEGUE_VoiceLinkChannels),
               static_cast<uint32_t>(s.SEGUE_VoiceLinkKhz)};

    for (const ColourKey& key : kColourKeys) colours_[Index(key.slot)] = s.*key.member;
    font_ = {s.KORA_LogFont_FontName,       s.KORA_LogFont_FontSize,
             s.KORA_LogFont_FontBold,       s.KORA_LogFont_FontItalic,
             s.KORA_LogFont_FontStrikeThru, s.KORA_LogFont_FontUnderLine};

    RefreshSamples();
    RefreshClientDescription();
}

// ---- State

void PlayoutSettingsEditorModel::SetText(Text field, const std::string& text) {
    texts_[Index(field)] = text;
    switch (field) {
        case Text::txtMusicFilenamePrefix:
        case Text::comboMusicFilenameFormat:
        case Text::txtAdvertFilenamePrefix:
        case Text::comboAdvertFilenameFormat:
            RefreshSamples();
            break;
        case Text::txtAdvertClientDatabase:
            RefreshClientDescription();
            break;
        default:
            break;
    }
    Notify();
}

void PlayoutSettingsEditorModel::SetChecked(Check box, bool checked) {
    checks_[Index(box)] = checked;
    Notify();
}

void PlayoutSettingsEditorModel::Select(List list, int index) {
    int count = static_cast<int>(Items(list).size());
    if (index < 0 || index >= count) return;
    selected_[Index(list)] = index;
    Notify();
}

void PlayoutSettingsEditorModel::SetAlwaysFade(bool alwaysFade) {
    alwaysFade_ = alwaysFade;
    Notify();
}

DisplayColour PlayoutSettingsEditorModel::GetColour(ColourSlot slot) const {
    return DisplayColourFromStored(colours_[Index(slot)]);
}

void PlayoutSettingsEditorModel::SetColour(ColourSlot slot, uint8_t red, uint8_t green,
                                           uint8_t blue) {
    colours_[Index(slot)] = StoredFromRgb(red, green, blue);
    Notify();
}

void PlayoutSettingsEditorModel::SetLogFont(const LogFont& font) {
    font_ = font;
    Notify();
}

void PlayoutSettingsEditorModel::SetAudioFormat(const WaveFormat& format) {
    format_ = format;
    Notify();
}

PlayoutSettingsEditorModel::Enabled PlayoutSettingsEditorModel::Enables() const {
    Enabled enabled;
    enabled.restartSeconds = Checked(Check::chkAutoRestart);
    enabled.triggerLevel = Checked(Check::chkBXLevelTrigger);
    enabled.clientDatabase = Checked(Check::chkScheduleAds);
    enabled.maxFadeTime = alwaysFade_;
    enabled.fadeEachTime = !alwaysFade_;
    int controller = Selected(List::comboStationControl);
    enabled.stationComputer = controller != 0;
    enabled.nextItemsCount = controller != 0;
    enabled.allowManualUpdate = controller != 0;
    enabled.stationPort = controller == 1;
    enabled.waitSplitReturn = controller == 2;
    return enabled;
}

std::string PlayoutSettingsEditorModel::AudioFormatText() const {
    return WaveFormatDescription(format_) + " ";
}

void PlayoutSettingsEditorModel::RefreshSamples() {
    int today = clock_.Today();
    musicSample_ = SampleFilename(GetText(Text::txtMusicFilenamePrefix),
                                  GetText(Text::comboMusicFilenameFormat), today);
    advertSample_ = SampleFilename(GetText(Text::txtAdvertFilenamePrefix),
                                   GetText(Text::comboAdvertFilenameFormat), today);
}

void PlayoutSettingsEditorModel::RefreshClientDescription() {
    clientDescription_.clear();
    const std::string& name = GetText(Text::txtAdvertClientDatabase);
    if (name.empty()) return;
    DatabaseInfo info;
    if (ReadDatabaseInfo(ui_, JoinPath(context_.dataLocation, name), info, false).Ok()) {
        clientDescription_ = info.Description;
    }
}

const std::vector<std::string>& PlayoutSettingsEditorModel::Items(List list) {
    static const std::vector<std::string> sweeper = {"Timed to Intro End", "Start at Intro Start",
                                                     "Dry"};
    static const std::vector<std::string> fadeRules = {
        "Only fade out songs that have 'Fade' endings and need to be trimmed to run to time.",
        "When in 'A-Fade' mode, fade out all songs with 'Fade' endings when the next item starts.",
        "When in 'A-Fade' mode, fade ALL songs once the next item starts.",
        "Always fade songs with 'Fade' endings once the next item starts, in any playout mode.",
        "Always fade ALL songs once the next item starts, in any playout mode.",
    };
    static const std::vector<std::string> controllers = {"There is no computer to connect to.",
                                                         "The computer is running Tressel KVL.",
                                                         "The computer is running Vantor Plexo."};
    static const std::vector<std::string> ports = [] {
        std::vector<std::string> items;
        for (int port = 1; port <= 20; ++port) items.push_back("Port " + std::to_string(port));
        return items;
    }();
    static const std::vector<std::string> players = {"Cart Player 1", "Cart Player 2",
                                                     "Cart Player 3", "Cart Player 4",
                                                     "Cart Player 5", "the last Cart Player"};
    switch (list) {
        case List::listSweeperStyle:
            return sweeper;
        case List::comboFadeRules:
            return fadeRules;
        case List::comboStationControl:
            return controllers;
        case List::comboStationControlPort:
            return ports;
        default:
            return players;
    }
}

const std::vector<std::string>& PlayoutSettingsEditorModel::DateFormatItems() {
    static const std::vector<std::string> formats = {"yymmdd", "yyddmm", "ddmmyy", "mmddyy"};
    return formats;
}

// ---- Input

int PlayoutSettingsEditorModel::FilterKey(Text field, int keyCode) {
    switch (field) {
        case Text::txtCartFadeTime:
        case Text::txtFadeEachTime:
        case Text::txtGoFadeTime:
        case Text::txtMaxFadeTime:
        case Text::txtPrecueTime:
        case Text::txtKAECalcRemainTime:
        case Text::txtRestartSeconds:
        case Text::txtSegPreviewLength:
        case Text::txtShowNextItemsCount:
        case Text::txtVoiceLinkStartCart:
        case Text::txtVoiceLinkEndcart:
            if (keyCode == kKeyBackspace || keyCode == kKeyEscape) return keyCode;
            if (keyCode > 0 && keyCode < 128 &&
                CharacterClassCheck(std::string(1, static_cast<char>(keyCode)), kClassDigits))
                return keyCode;
            return 0;
        default:
            return keyCode;
    }
}

WaveFormat PlayoutSettingsEditorModel::FormatChoiceStart() const {
    return NearestOfferedWaveFormat(format_);
}

void PlayoutSettingsEditorModel::BrowseLogsFolder(LogsFolder folder) {
    bool music = folder == LogsFolder::Music;
    Text field = music ? Text::txtMusicLogPath : Text::txtAdvertLogsPath;
    std::string title = music ? "Select the folder to use for Songs Log files:"
                              : "Select the folder to use for Adverts Log files:";
    if (auto chosen = ui_.BrowseForFolder(title, GetText(field))) SetText(field, Trim(*chosen));
}

void PlayoutSettingsEditorModel::SelectClientDatabase() {
    std::string chosen = dialogs_.ChooseDatabase(context_.dataLocation, kClientDatabaseType);
    if (!chosen.empty()) SetText(Text::txtAdvertClientDatabase, chosen);
}

// ---- Closing

bool PlayoutSettingsEditorModel::Refuse(const std::string& message, std::optional<Text> field) {
    invalidText_ = field;
    ShowWarning(ui_, message);
    Notify();
    return false;
}

bool PlayoutSettingsEditorModel::Validate() {
    auto number = [&](Text field) { return NumberIn(GetText(field)); };

    if (Checked(Check::chkAutoRestart)) {
        double seconds = number(Text::txtRestartSeconds);
        if (Trim(GetText(Text::txtRestartSeconds)).empty() || seconds < 0 || seconds > 32000)
            return Refuse(
                "You must set the automatic restart delay to a value from 0 to 32000 "
                "seconds",
                Text::txtRestartSeconds);
    }
    if (Selected(List::comboStationControl) != 0) {
        double count = number(Text::txtShowNextItemsCount);
        if (!(count > 0) || count > 50)
            return Refuse("You must set how many \"Next\" to send from 1 to 50",
                          Text::txtShowNextItemsCount);
    }
    double preview = number(Text::txtSegPreviewLength);
    if (!(preview > 0) || preview > 300)
        return Refuse(
            "You can only set from 1 to 300 seconds for the number of seconds to hear "
            "when using the segue editor",
            Text::txtSegPreviewLength);
    double start = number(Text::txtVoiceLinkStartCart);
    double end = number(Text::txtVoiceLinkEndcart);
    double maxCart = context_.maxCart;
    if (!(start > 0) || start > maxCart || !(end > 0) || end > maxCart || end < start)
        return Refuse("You must choose a valid cart number range for Voice Links",
                      Text::txtVoiceLinkStartCart);
    if (Trim(GetText(Text::txtMusicFilenamePrefix)).empty() &&
        Trim(GetText(Text::comboMusicFilenameFormat)).empty())
        return Refuse(
            "You must set at least one of Music Log Filename Prefix and Log Filename "
            "Format",
            Text::txtMusicFilenamePrefix);
    if (Trim(GetText(Text::txtAdvertFilenamePrefix)).empty() &&
        Trim(GetText(Text::comboAdvertFilenameFormat)).empty())
        return Refuse(
            "You must set at least one of Adverts Log Filename Prefix and Log Filename "
            "Format",
            Text::txtAdvertFilenamePrefix);

    // A number too large for the setting that keeps it would otherwise be lost on saving.
    std::vector<Text> small = {Text::txtSegPreviewLength, Text::txtPrecueTime,
                               Text::txtKAECalcRemainTime, Text::txtShowNextItemsCount};
    small.push_back(alwaysFade_ ? Text::txtMaxFadeTime : Text::txtFadeEachTime);
    if (Checked(Check::chkBXLevelTrigger)) small.push_back(Text::txtBXTriggerLevel);
    for (Text field : small) {
        if (!ToInt16(number(field)))
            return Refuse("The number " + Trim(GetText(field)) +
                              " is too large for this setting: you must set it from -32768 to "
                              "32767",
                          field);
    }
    for (Text field : {Text::txtMusicCartOffset, Text::txtAdvertCartOffset}) {
        if (!ToInt32(number(field)))
            return Refuse("The number " + Trim(GetText(field)) + " is too large for this setting",
                          field);
    }
    for (const SingleKey& key : kSingleKeys) {
        if (std::fabs(number(key.field)) > std::numeric_limits<float>::max())
            return Refuse(
                "The number " + Trim(GetText(key.field)) + " is too large for this setting",
                key.field);
    }
    invalidText_.reset();
    return true;
}

void PlayoutSettingsEditorModel::CopyIntoSettings() {
    DbSettings& s = settings_;
    auto number = [&](Text field) { return NumberIn(GetText(field)); };
    auto int16Of = [&](Text field) { return ToInt16(number(field)).value_or(0); };
    auto int32Of = [&](Text field) { return ToInt32(number(field)).value_or(0); };

    for (const CheckKey& key : kCheckKeys) s.*key.member = Checked(key.box) ? 1 : 0;
    for (const Int16Key& key : kInt16Keys) s.*key.member = int16Of(key.field);
    for (const Int32Key& key : kInt32Keys) s.*key.member = int32Of(key.field);
    for (const SingleKey& key : kSingleKeys) s.*key.member = static_cast<float>(number(key.field));
    for (const TextKey& key : kTextKeys) s.*key.member = GetText(key.field);

    s.KORA_AutoRestartDelay =
        Checked(Check::chkAutoRestart) ? int16Of(Text::txtRestartSeconds) : int16_t{-1};
    s.SEGUE_VoiceLinkLevelTrigger =
        Checked(Check::chkBXLevelTrigger) ? int16Of(Text::txtBXTriggerLevel) : int16_t{0};
    s.ADVERTS_ClientDatabase =
        Checked(Check::chkScheduleAds) ? GetText(Text::txtAdvertClientDatabase) : "";
    if (alwaysFade_) {
        s.KORA_MaxFadeTime = int16Of(Text::txtMaxFadeTime);
        s.KORA_EachFadeTime = 0;
    } else {
        s.KORA_MaxFadeTime = 0;
        s.KORA_EachFadeTime = int16Of(Text::txtFadeEachTime);
    }

    switch (Selected(List::comboStationControl)) {
        case 0:
            s.KORA_SCComputerAddress.clear();
            s.KORA_SCComputerPort = 0;
            break;
        case 1:
            s.KORA_SCComputerAddress = GetText(Text::txtStationControlComputer);
            s.KORA_SCComputerPort = Selected(List::comboStationControlPort) + 1;
            break;
        default:
            s.KORA_SCComputerAddress = GetText(Text::txtStationControlComputer);
            s.KORA_SCComputerPort = 0;
            break;
    }

    for (const PlayerKey& key : kPlayerKeys) {
        int index = Selected(key.list);
        bool last = index == static_cast<int>(Items(key.list).size()) - 1;
        s.*key.member = last ? kLastPlayer : static_cast<int16_t>(index + 1);
    }
    s.KORA_FadeSongRules = Selected(List::comboFadeRules);
    s.KORA_SweeperMode = Selected(List::listSweeperStyle);

    s.SEGUE_VoiceLinkFormat = static_cast<int16_t>(format_.tag);
    s.SEGUE_VoiceLinkChannels = static_cast<int16_t>(format_.channels);
    s.SEGUE_VoiceLinkKhz = static_cast<int32_t>(format_.samplesPerSecond);

    for (const ColourKey& key : kColourKeys) s.*key.member = colours_[Index(key.slot)];
    s.KORA_LogFont_FontName = font_.name;
    s.KORA_LogFont_FontSize = static_cast<int16_t>(Clamp(font_.size, 1, 32767));
    s.KORA_LogFont_FontBold = font_.bold;
    s.KORA_LogFont_FontItalic = font_.italic;
    s.KORA_LogFont_FontStrikeThru = font_.strikeout;
    s.KORA_LogFont_FontUnderLine = font_.underline;
}

bool PlayoutSettingsEditorModel::OK() {
    if (!loaded_) return false;
    SetText(Text::txtMusicLogPath, WithoutTrailingSeparator(GetText(Text::txtMusicLogPath)));
    SetText(Text::txtAdvertLogsPath, WithoutTrailingSeparator(GetText(Text::txtAdvertLogsPath)));
    if (!Validate()) return false;

    {
        HourglassGuard hourglass(ui_);
        CopyIntoSettings();
        bool written = WriteDbSettings(ui_, db_, settings_, context_.dataLocation).Ok();
        if (written) {
            // Marks the database as configured; a failure is reported by the store itself.
            TableCursor table;
            if (DbError error = db_.OpenTable("Settings", table, "Main"); !error.Ok()) {
                ProblemReport(ui_, "opening the Kora settings table", error);
                written = false;
            } else if (!SetDbSetting(ui_, table, "BeenSet", DbValue(1), DbValue(), false).Ok()) {
                written = false;
            }
        }
        // The attempt is recorded either way; its status says whether it worked.
        users_.AddEventToUserHistory(context_.loginName, history::kPlayoutSettingsSaved,
                                     written ? history::kSucceeded : history::kFailed, "");
    }
    closed_ = true;
    Notify();
    return true;
}

}  // namespace vantor
