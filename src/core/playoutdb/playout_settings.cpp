// The settings catalogue of a playout database, kept as one table of
// keys so that reading and writing cannot drift apart.

#include "playoutdb/playout_settings.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>

#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/profile.h"
#include "common/text.h"
#include "dbengine/database_file.h"

namespace vantor {

namespace {

enum class Read {
    Number,        // the leading number of the text, rounded to the member's type
    StrictNumber,  // the whole text must be a number
    Text,          // trimmed of surrounding blanks
    TextAsStored,  // kept exactly
    Date,          // a date when the text reads as one, else 0
    BoolText,      // "True"/"False" or a number
};

enum class Write {
    Default,      // the key's row goes when the value equals its absent value
    Always,       // stored whatever the value
    NotWhenZero,  // the key's row goes when the value is 0
    Never,        // read only here
};

enum class Absent {
    Fixed,    // the entry's own value
    LogPath,  // the data location's LOGS directory
    Current,  // whatever the settings already hold
};

using Member = std::variant<int16_t DbSettings::*, int32_t DbSettings::*, float DbSettings::*,
                            bool DbSettings::*, std::string DbSettings::*, double DbSettings::*>;

struct Entry {
    const char* key;
    Member member;
    DbValue absent;
    Read read = Read::Number;
    Write write = Write::Default;
    Absent absentFrom = Absent::Fixed;
    const char* brixelKey = nullptr;  // fallback entry in brixel.ini when the value reads as 0
    int brixelDefault = 0;
};

using S = DbSettings;
constexpr Read kStrict = Read::StrictNumber;
constexpr Write kAlways = Write::Always;

const std::vector<Entry>& Catalogue() {
    static const std::vector<Entry> entries = {
        {"KORA.SweeperMode", &S::KORA_SweeperMode, 0, Read::Number, kAlways},
        {"KORA.AutoRestartDelay", &S::KORA_AutoRestartDelay, 10, Read::Number, kAlways},
        {"KORA.PreCueTime", &S::KORA_PreCueTime, 20, kStrict, kAlways},
        {"KORA.KAE_Calculation_Time", &S::KORA_KAE_Calculation_Time, 15, Read::Number, kAlways},
        {"KORA.MaxFadeTime", &S::KORA_MaxFadeTime, 0, Read::Number, kAlways},
        {"KORA.EachFadeTime", &S::KORA_EachFadeTime, 10, Read::Number, kAlways},
        {"KORA.Cart_Normal_Fade", &S::KORA_Cart_Normal_Fade, 4.0f, Read::Number, kAlways},
        {"KORA.Go_Fade_Length", &S::KORA_Go_Fade_Length, 4.0f, Read::Number, kAlways},
        {"KORA.Override_fades", &S::KORA_Override_fades, 0, Read::Number, kAlways},
        {"KORA.Force_FadeLast", &S::KORA_Force_FadeLast, 1, Read::Number, kAlways},
        {"KORA.AllowInsertCart", &S::KORA_AllowInsertCart, 1, Read::Number, kAlways},
        {"KORA.AllowInsertTrack", &S::KORA_AllowInsertTrack, 1, Read::Number, kAlways},
        {"KORA.AllowInsertJingle", &S::KORA_AllowInsertJingle, 1, Read::Number, kAlways},
        {"KORA.NewEntriesStopAtEnd", &S::KORA_NewEntriesStopAtEnd, 0, Read::Number, kAlways},
        {"KORA.PlayAdvertsLoud", &S::KORA_PlayAdvertsLoud, 0, Read::Number, kAlways},
        {"KORA.JumpHomeBeforeActivate", &S::KORA_JumpHomeBeforeActivate, 0, Read::Number, kAlways},
        {"KORA.FadeCartsAfterNextStart", &S::KORA_FadeCartsAfterNextStart, 1, Read::Number,
         kAlways},
        {"KORA.FadeSongRules", &S::KORA_FadeSongRules, 1},
        {"KORA.LogBackColor", &S::KORA_LogBackColor, kSystemColourButtonFace, Read::Number,
         kAlways},
        {"KORA.LogForeColor", &S::KORA_LogForeColor, kSystemColourButtonText, Read::Number,
         kAlways},
        {"KORA.LogInfoBackColor", &S::KORA_LogInfoBackColor, kSystemColourButtonFace, Read::Number,
         kAlways},
        {"KORA.LogInfoForeColor", &S::KORA_LogInfoForeColor, kSystemColourButtonText, Read::Number,
         kAlways},
        {"KORA.LogHighlightBackColor", &S::KORA_LogHighlightBackColor, kSystemColourHighlight,
         Read::Number, kAlways},
        {"KORA.LogHighlightForeColor", &S::KORA_LogHighlightForeColor, kSystemColourHighlightText,
         Read::Number, kAlways},
        {"KORA.SelButtonBackColor", &S::KORA_SelButtonBackColor, kSystemColourHighlight,
         Read::Number, kAlways},
        {"KORA.SelButtonForeColor", &S::KORA_SelButtonForeColor, kSystemColourHighlightText,
         Read::Number, kAlways},
        {"KORA.NonSelButtonBackColor", &S::KORA_NonSelButtonBackColor, kSystemColourButtonFace,
         Read::Number, kAlways},
        {"KORA.NonSelButtonForeColor", &S::KORA_NonSelButtonForeColor, kSystemColourButtonText,
         Read::Number, kAlways},
        {"KORA.Mode.AutoBackcolor", &S::KORA_Mode_AutoBackcolor, 65280, Read::Number, kAlways},
        {"KORA.Mode.LiveAsstBackcolor", &S::KORA_Mode_LiveAsstBackcolor, 65280, Read::Number,
         kAlways},
        {"KORA.Mode.StandbyBackcolor", &S::KORA_Mode_StandbyBackcolor, kSystemColourButtonFace,
         Read::Number, kAlways},
        {"KORA.LogFont.FontBold", &S::KORA_LogFont_FontBold, true},
        {"KORA.LogFont.FontItalic", &S::KORA_LogFont_FontItalic, false},
        {"KORA.LogFont.FontStrikeThru", &S::KORA_LogFont_FontStrikeThru, false},
        {"KORA.LogFont.FontUnderLine", &S::KORA_LogFont_FontUnderLine, false},
        {"KORA.LogFont.FontSize", &S::KORA_LogFont_FontSize, 12},
        {"KORA.LogFont.FontName", &S::KORA_LogFont_FontName, "Arial", Read::TextAsStored},
        {"KORA.UseFadeInfoFromLog", &S::KORA_UseFadeInfoFromLog, 0, kStrict},
        {"KORA.LogDisplayPanelMode", &S::KORA_LogDisplayPanelMode, 1, kStrict},
        {"KORA.LogDisplayLogTimes", &S::KORA_LogDisplayLogTimes, 0, kStrict},
        {"KORA.UseColoursFromCarts", &S::KORA_UseColoursFromCarts, 0, kStrict, kAlways},
        {"KORA.PlexoServerAddress", &S::KORA_PlexoServerAddress, "", Read::Text, Write::Never},
        {"KORA.SCComputerAddress", &S::KORA_SCComputerAddress, "", Read::TextAsStored},
        {"KORA.SCComputerPort", &S::KORA_SCComputerPort, 0, kStrict},
        {"KORA.SCWarnNearEndAds", &S::KORA_SCWarnNearEndAds, 0},
        {"KORA.SCWarnNearEndJingles", &S::KORA_SCWarnNearEndJingles, 0},
        {"KORA.SCWarnNearEndSongs", &S::KORA_SCWarnNearEndSongs, 0},
        {"KORA.AllowManualOCP", &S::KORA_AllowManualOCP, 0},
        {"KORA.WaitSplitReturn", &S::KORA_WaitSplitReturn, 1},
        {"KORA.ShowJinglesNow", &S::KORA_ShowJinglesNow, 0, kStrict},
        {"KORA.ShowAdvertsNow", &S::KORA_ShowAdvertsNow, 1, kStrict},
        {"KORA.ShowSongsNow", &S::KORA_ShowSongsNow, 1, kStrict},
        {"KORA.ShowCartsNow", &S::KORA_ShowCartsNow, 1, kStrict},
        {"KORA.ShowBXNow", &S::KORA_ShowBXNow, 0, kStrict},
        {"KORA.ShowNextItemsCount", &S::KORA_ShowNextItemsCount, 1},
        {"KORA.ShowJinglesNext", &S::KORA_ShowJinglesNext, 0, kStrict},
        {"KORA.ShowAdvertsNext", &S::KORA_ShowAdvertsNext, 0, kStrict},
        {"KORA.ShowSongsNext", &S::KORA_ShowSongsNext, 1, kStrict},
        {"KORA.ShowCartsNext", &S::KORA_ShowCartsNext, 0, kStrict},
        {"KORA.ShowBXNext", &S::KORA_ShowBXNext, 0, kStrict},
        {"SEGUE.PreviewLength", &S::SEGUE_PreviewLength, 0, Read::Number, kAlways, Absent::Fixed,
         "PreviewLength", 10},
        {"SEGUE.VoiceStartCart", &S::SEGUE_VoiceStartCart, 0, Read::Number, kAlways, Absent::Fixed,
         "StartLinksCartNumber", 8001},
        {"SEGUE.VoiceEndCart", &S::SEGUE_VoiceEndCart, 0, Read::Number, kAlways, Absent::Fixed,
         "EndLinksCartNumber", 8999},
        {"SEGUE.UpdateDuringRecord", &S::SEGUE_UpdateDuringRecord, 1},
        {"SEGUE.VoiceLinkFormat", &S::SEGUE_VoiceLinkFormat, 1},
        {"SEGUE.VoiceLinkChannels", &S::SEGUE_VoiceLinkChannels, 2},
        {"SEGUE.VoiceLinkKhz", &S::SEGUE_VoiceLinkKhz, 44100},
        // Written and read with the same default, so that a saved value reads back as saved.
        {"SEGUE.VoiceLinkLevelTrigger", &S::SEGUE_VoiceLinkLevelTrigger, 25},
        {"SEGUE.EditsFirstPlayer", &S::SEGUE_EditsFirstPlayer, 255},
        {"SEGUE.EditsLastPlayer", &S::SEGUE_EditsLastPlayer, 1},
        {"LINKS.FirstPlayer", &S::LINKS_FirstPlayer, 1},
        {"LINKS.LastPlayer", &S::LINKS_LastPlayer, 255},
        {"LINKS.Colour", &S::LINKS_Colour, 16777215},
        {"ADVERTS.CartOffset", &S::ADVERTS_CartOffset, 0},
        {"ADVERTS.ClientDatabase", &S::ADVERTS_ClientDatabase, "", Read::Text},
        {"ADVERTS.FilenameFormat", &S::ADVERTS_FilenameFormat, "yymmdd", Read::Text},
        {"ADVERTS.FilenamePrefix", &S::ADVERTS_FilenamePrefix, "", Read::Text},
        {"ADVERTS.LogPath", &S::ADVERTS_LogPath, "", Read::Text, Write::Default, Absent::LogPath},
        {"ADVERTS.TXChainCode", &S::ADVERTS_TXChainCode, "", Read::Text},
        {"ADVERTS.LastSent", &S::ADVERTS_LastSent, 0, Read::Date, Write::Never},
        {"ADVERTS.SentBy", &S::ADVERTS_SentBy, "", Read::TextAsStored, Write::Never},
        {"ADVERTS.FirstPlayer", &S::ADVERTS_FirstPlayer, 1},
        {"ADVERTS.LastPlayer", &S::ADVERTS_LastPlayer, 255},
        {"ADVERTS.Colour", &S::ADVERTS_Colour, 12648447},
        {"CARTS.FirstPlayer", &S::CARTS_FirstPlayer, 1},
        {"CARTS.LastPlayer", &S::CARTS_LastPlayer, 255},
        {"CARTS.Colour", &S::CARTS_Colour, 13631439},
        {"SONGS.FirstPlayer", &S::SONGS_FirstPlayer, 1},
        {"SONGS.LastPlayer", &S::SONGS_LastPlayer, 255},
        {"SONGS.Colour", &S::SONGS_Colour, 11842810},
        {"MUSIC.UseCartRanges", &S::MUSIC_UseCartRanges, 0},
        {"MUSIC.CartOffset", &S::MUSIC_CartOffset, 0},
        {"MUSIC.FilenameFormat", &S::MUSIC_FilenameFormat, "yymmdd", Read::Text},
        {"MUSIC.FilenamePrefix", &S::MUSIC_FilenamePrefix, "VN", Read::Text},
        {"MUSIC.LogPath", &S::MUSIC_LogPath, "", Read::Text, Write::Default, Absent::LogPath},
        {"MUSIC.JinglesStart", &S::MUSIC_JinglesStart, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.JinglesEnd", &S::MUSIC_JinglesEnd, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SweepersStart", &S::MUSIC_SweepersStart, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SweepersEnd", &S::MUSIC_SweepersEnd, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.AdvertsStart", &S::MUSIC_AdvertsStart, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.AdvertsEnd", &S::MUSIC_AdvertsEnd, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SongsStart", &S::MUSIC_SongsStart, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SongsEnd", &S::MUSIC_SongsEnd, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.CartGroupsStart", &S::MUSIC_CartGroupsStart, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.CartGroupsEnd", &S::MUSIC_CartGroupsEnd, 0, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.LastSent", &S::MUSIC_LastSent, 0, Read::Date, Write::Never},
        {"MUSIC.SentBy", &S::MUSIC_SentBy, "", Read::TextAsStored, Write::Never},
        {"RotaplanLiteMode", &S::RotaplanLiteMode, false, Read::BoolText, Write::Never},
        // Written and read with the same default, so that a saved value reads back as saved.
        {"CMDS.Colour", &S::CMDS_Colour, 15449533},
        {"HOURS.Colour", &S::HOURS_Colour, 15449533},
        {"BeenSet", &S::BeenSet, 0, Read::Number, Write::Never},
    };
    return entries;
}

// A single as the runtime writes it ("4.1", not the double it widens to).
std::string SingleText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    std::string result = text;
    if (result.find('e') != std::string::npos) return NumberText(static_cast<double>(value));
    return result;
}

// The runtime's general date text: the short date, and the time when there is one.
std::string GeneralDateText(OleDate date) {
    double whole = std::floor(date);
    bool hasTime = date != whole;
    if (whole == 0.0 && hasTime) return FormatDate(date, "hh:nn:ss");
    if (!hasTime) return ShortDateText(date);
    return ShortDateText(date) + " " + FormatDate(date, "hh:nn:ss");
}

// The value a member holds, as it is stored.
DbValue ValueOf(const DbSettings& settings, const Entry& entry) {
    return std::visit(
        [&](auto member) -> DbValue {
            using T = std::remove_cvref_t<decltype(settings.*member)>;
            const T& value = settings.*member;
            if constexpr (std::is_same_v<T, float>) {
                return DbValue(SingleText(value));
            } else if constexpr (std::is_same_v<T, bool>) {
                // Stored as the runtime's number for a boolean, which reads back as the same
                // boolean (a stored "True" would read as 0).
                return DbValue(value ? -1 : 0);
            } else {
                return DbValue(value);
            }
        },
        entry.member);
}

DbValue AbsentValue(const DbSettings& settings, const Entry& entry,
                    const std::string& dataLocation) {
    switch (entry.absentFrom) {
        case Absent::LogPath:
            return DbValue(DefaultLogPath(dataLocation));
        case Absent::Current:
            return ValueOf(settings, entry);
        case Absent::Fixed:
            break;
    }
    return entry.absent;
}

// Converts what was read into the member; an error number when it does not fit.
int Assign(DbSettings& settings, const Entry& entry, const DbValue& raw) {
    std::string text = raw.AsText();
    std::optional<double> number;
    switch (entry.read) {
        case Read::Number:
            number = raw.IsText() ? LeadingNumber(text) : raw.AsDouble();
            break;
        case Read::StrictNumber:
            if (raw.IsText() || raw.IsNull()) {
                number = ParseNumber(Trim(text));
                if (!number) return err::kTypeMismatch;
            } else {
                number = raw.AsDouble();
            }
            break;
        case Read::BoolText: {
            std::string trimmed = Trim(text);
            if (!raw.IsText()) {
                number = raw.AsDouble();
            } else if (EqualsNoCase(trimmed, "True")) {
                number = -1;
            } else if (EqualsNoCase(trimmed, "False")) {
                number = 0;
            } else {
                number = ParseNumber(trimmed);
                if (!number) return err::kTypeMismatch;
            }
            break;
        }
        case Read::Date:
            if (raw.IsText()) {
                auto date = ParseDate(text, 2000);  // a stored date always carries its year
                number = date ? *date : 0.0;
            } else {
                number = raw.AsDouble();
            }
            break;
        case Read::Text:
            text = Trim(text);
            break;
        case Read::TextAsStored:
            break;
    }
    return std::visit(
        [&](auto member) -> int {
            using T = std::remove_cvref_t<decltype(settings.*member)>;
            T& target = settings.*member;
            if constexpr (std::is_same_v<T, std::string>) {
                target = text;
            } else if constexpr (std::is_same_v<T, bool>) {
                target = number.value_or(0.0) != 0.0;
            } else if constexpr (std::is_same_v<T, int16_t>) {
                auto value = ToInt16(number.value_or(0.0));
                if (!value) return err::kOverflow;
                target = *value;
            } else if constexpr (std::is_same_v<T, int32_t>) {
                auto value = ToInt32(number.value_or(0.0));
                if (!value) return err::kOverflow;
                target = *value;
            } else if constexpr (std::is_same_v<T, float>) {
                double value = number.value_or(0.0);
                if (std::fabs(value) > 3.402823466e38) return err::kOverflow;
                target = static_cast<float>(value);
            } else {
                target = number.value_or(0.0);
            }
            return 0;
        },
        entry.member);
}

bool ReadsAsZero(const DbSettings& settings, const Entry& entry) {
    return ValueOf(settings, entry).AsDouble() == 0.0;
}

// Opens the Settings table on its "Main" index, reporting either step's failure.
long OpenSettings(UserInterface& ui, Database& db, TableCursor& settings, bool quiet) {
    if (DbError error = db.OpenTable("Settings", settings)) {
        ProblemReport(ui, "opening the Kora settings table", error, quiet);
        return error.number;
    }
    if (DbError error = settings.SetIndex("Main")) {
        ProblemReport(ui, "setting the Kora Settings index", error, quiet);
        return error.number;
    }
    return 0;
}

}  // namespace

std::string DefaultLogPath(const std::string& dataLocation) {
    return JoinPath(dataLocation, "LOGS");
}

std::string ProgramTitleAndVersion() {
    return "Vantor Log Import " + std::to_string(VANTOR_VERSION_MAJOR) + "." +
           std::to_string(VANTOR_VERSION_MINOR) + "." + std::to_string(VANTOR_VERSION_PATCH);
}

long ReadDbSettings(UserInterface& ui, Database& db, DbSettings& settings,
                    const std::string& dataLocation) {
    TableCursor table;
    if (long error = OpenSettings(ui, db, table, false)) return error;

    bool oldAddress = false;
    for (const Entry& entry : Catalogue()) {
        std::string key = entry.key;
        if (oldAddress && (key == "KORA.SCComputerAddress" || key == "KORA.SCComputerPort")) {
            continue;
        }
        DbValue raw = GetDbSetting(table, key, AbsentValue(settings, entry, dataLocation));
        if (int error = Assign(settings, entry, raw)) {
            ProblemReport(ui, "reading the database setting : " + key, error);
            return error;
        }
        if (key == "KORA.PlexoServerAddress" && !settings.KORA_PlexoServerAddress.empty()) {
            // The old single address wins over the newer address and port.
            oldAddress = true;
            settings.KORA_SCComputerAddress = settings.KORA_PlexoServerAddress;
            settings.KORA_SCComputerPort = 0;
        }
        if (entry.brixelKey && ReadsAsZero(settings, entry)) {
            std::string fallback = GetProfileString("brixel.ini", "Settings", entry.brixelKey,
                                                    std::to_string(entry.brixelDefault));
            if (int error = Assign(settings, entry, DbValue(LeadingNumber(fallback)))) {
                ProblemReport(ui, "reading the database setting : " + key, error);
                return error;
            }
        }
    }
    return settings.BeenSet != 0.0 ? 0 : -1;
}

long WriteDbSettings(UserInterface& ui, Database& db, const DbSettings& settings,
                     const std::string& dataLocation) {
    TableCursor table;
    if (long error = OpenSettings(ui, db, table, false)) return error;
    for (const Entry& entry : Catalogue()) {
        DbValue defaultValue;  // Null: never equal, so always stored
        switch (entry.write) {
            case Write::Never:
                continue;
            case Write::Always:
                break;
            case Write::NotWhenZero:
                defaultValue = DbValue(0);
                break;
            case Write::Default:
                defaultValue = AbsentValue(settings, entry, dataLocation);
                if (entry.absentFrom == Absent::Current) defaultValue = DbValue(0);
                break;
        }
        // A failure is reported by SetDbSetting; the other keys are still written.
        SetDbSetting(ui, table, entry.key, ValueOf(settings, entry), defaultValue, false);
    }
    // An old address that was read lives on under "KORA.SCComputerAddress": its row goes.
    // Without one, a row another program may have written since is left alone.
    if (!settings.KORA_PlexoServerAddress.empty()) {
        SetDbSetting(ui, table, "KORA.PlexoServerAddress", DbValue(""), DbValue(""), false);
    }
    return 0;
}

bool RecordMusicSent(UserInterface& ui, Database& db, const std::string& userName, OleDate when) {
    if (!db.IsOpen()) return false;
    TableCursor table;
    if (OpenSettings(ui, db, table, true) != 0) return false;
    bool ok = SetDbSetting(ui, table, "MUSIC.LastSent", DbValue(GeneralDateText(when)), DbValue(),
                           false) == 0;
    ok = SetDbSetting(ui, table, "MUSIC.SentBy", DbValue(ProgramTitleAndVersion() + " " + userName),
                      DbValue(), false) == 0 &&
         ok;
    return ok;
}

}  // namespace vantor
