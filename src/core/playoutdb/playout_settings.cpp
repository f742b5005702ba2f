// The settings catalogue of a playout database, kept as one table of
// keys so that reading and writing cannot drift apart.

#include "playoutdb/playout_settings.h"

#include <cmath>
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
    Fixed,    // the member's value in a default-built DbSettings
    LogPath,  // the data location's LOGS directory
    Current,  // whatever the settings already hold
};

using Member = std::variant<int16_t DbSettings::*, int32_t DbSettings::*, float DbSettings::*,
                            bool DbSettings::*, std::string DbSettings::*, double DbSettings::*>;

// A key's value when it has no row is its member's value in a default-built DbSettings, so
// that each default is written once, in the struct.
struct Entry {
    const char* key;
    Member member;
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
        {"KORA.SweeperMode", &S::KORA_SweeperMode, Read::Number, kAlways},
        {"KORA.AutoRestartDelay", &S::KORA_AutoRestartDelay, Read::Number, kAlways},
        {"KORA.PreCueTime", &S::KORA_PreCueTime, kStrict, kAlways},
        {"KORA.KAE_Calculation_Time", &S::KORA_KAE_Calculation_Time, Read::Number, kAlways},
        {"KORA.MaxFadeTime", &S::KORA_MaxFadeTime, Read::Number, kAlways},
        {"KORA.EachFadeTime", &S::KORA_EachFadeTime, Read::Number, kAlways},
        {"KORA.Cart_Normal_Fade", &S::KORA_Cart_Normal_Fade, Read::Number, kAlways},
        {"KORA.Go_Fade_Length", &S::KORA_Go_Fade_Length, Read::Number, kAlways},
        {"KORA.Override_fades", &S::KORA_Override_fades, Read::Number, kAlways},
        {"KORA.Force_FadeLast", &S::KORA_Force_FadeLast, Read::Number, kAlways},
        {"KORA.AllowInsertCart", &S::KORA_AllowInsertCart, Read::Number, kAlways},
        {"KORA.AllowInsertTrack", &S::KORA_AllowInsertTrack, Read::Number, kAlways},
        {"KORA.AllowInsertJingle", &S::KORA_AllowInsertJingle, Read::Number, kAlways},
        {"KORA.NewEntriesStopAtEnd", &S::KORA_NewEntriesStopAtEnd, Read::Number, kAlways},
        {"KORA.PlayAdvertsLoud", &S::KORA_PlayAdvertsLoud, Read::Number, kAlways},
        {"KORA.JumpHomeBeforeActivate", &S::KORA_JumpHomeBeforeActivate, Read::Number, kAlways},
        {"KORA.FadeCartsAfterNextStart", &S::KORA_FadeCartsAfterNextStart, Read::Number, kAlways},
        {"KORA.FadeSongRules", &S::KORA_FadeSongRules},
        {"KORA.LogBackColor", &S::KORA_LogBackColor, Read::Number, kAlways},
        {"KORA.LogForeColor", &S::KORA_LogForeColor, Read::Number, kAlways},
        {"KORA.LogInfoBackColor", &S::KORA_LogInfoBackColor, Read::Number, kAlways},
        {"KORA.LogInfoForeColor", &S::KORA_LogInfoForeColor, Read::Number, kAlways},
        {"KORA.LogHighlightBackColor", &S::KORA_LogHighlightBackColor, Read::Number, kAlways},
        {"KORA.LogHighlightForeColor", &S::KORA_LogHighlightForeColor, Read::Number, kAlways},
        {"KORA.SelButtonBackColor", &S::KORA_SelButtonBackColor, Read::Number, kAlways},
        {"KORA.SelButtonForeColor", &S::KORA_SelButtonForeColor, Read::Number, kAlways},
        {"KORA.NonSelButtonBackColor", &S::KORA_NonSelButtonBackColor, Read::Number, kAlways},
        {"KORA.NonSelButtonForeColor", &S::KORA_NonSelButtonForeColor, Read::Number, kAlways},
        {"KORA.Mode.AutoBackcolor", &S::KORA_Mode_AutoBackcolor, Read::Number, kAlways},
        {"KORA.Mode.LiveAsstBackcolor", &S::KORA_Mode_LiveAsstBackcolor, Read::Number, kAlways},
        {"KORA.Mode.StandbyBackcolor", &S::KORA_Mode_StandbyBackcolor, Read::Number, kAlways},
        {"KORA.LogFont.FontBold", &S::KORA_LogFont_FontBold},
        {"KORA.LogFont.FontItalic", &S::KORA_LogFont_FontItalic},
        {"KORA.LogFont.FontStrikeThru", &S::KORA_LogFont_FontStrikeThru},
        {"KORA.LogFont.FontUnderLine", &S::KORA_LogFont_FontUnderLine},
        {"KORA.LogFont.FontSize", &S::KORA_LogFont_FontSize},
        {"KORA.LogFont.FontName", &S::KORA_LogFont_FontName, Read::TextAsStored},
        {"KORA.UseFadeInfoFromLog", &S::KORA_UseFadeInfoFromLog, kStrict},
        {"KORA.LogDisplayPanelMode", &S::KORA_LogDisplayPanelMode, kStrict},
        {"KORA.LogDisplayLogTimes", &S::KORA_LogDisplayLogTimes, kStrict},
        {"KORA.UseColoursFromCarts", &S::KORA_UseColoursFromCarts, kStrict, kAlways},
        {"KORA.PlexoServerAddress", &S::KORA_PlexoServerAddress, Read::Text, Write::Never},
        {"KORA.SCComputerAddress", &S::KORA_SCComputerAddress, Read::TextAsStored},
        {"KORA.SCComputerPort", &S::KORA_SCComputerPort, kStrict},
        {"KORA.SCWarnNearEndAds", &S::KORA_SCWarnNearEndAds},
        {"KORA.SCWarnNearEndJingles", &S::KORA_SCWarnNearEndJingles},
        {"KORA.SCWarnNearEndSongs", &S::KORA_SCWarnNearEndSongs},
        {"KORA.AllowManualOCP", &S::KORA_AllowManualOCP},
        {"KORA.WaitSplitReturn", &S::KORA_WaitSplitReturn},
        {"KORA.ShowJinglesNow", &S::KORA_ShowJinglesNow, kStrict},
        {"KORA.ShowAdvertsNow", &S::KORA_ShowAdvertsNow, kStrict},
        {"KORA.ShowSongsNow", &S::KORA_ShowSongsNow, kStrict},
        {"KORA.ShowCartsNow", &S::KORA_ShowCartsNow, kStrict},
        {"KORA.ShowBXNow", &S::KORA_ShowBXNow, kStrict},
        {"KORA.ShowNextItemsCount", &S::KORA_ShowNextItemsCount},
        {"KORA.ShowJinglesNext", &S::KORA_ShowJinglesNext, kStrict},
        {"KORA.ShowAdvertsNext", &S::KORA_ShowAdvertsNext, kStrict},
        {"KORA.ShowSongsNext", &S::KORA_ShowSongsNext, kStrict},
        {"KORA.ShowCartsNext", &S::KORA_ShowCartsNext, kStrict},
        {"KORA.ShowBXNext", &S::KORA_ShowBXNext, kStrict},
        {"SEGUE.PreviewLength", &S::SEGUE_PreviewLength, Read::Number, kAlways, Absent::Fixed,
         "PreviewLength", 10},
        {"SEGUE.VoiceStartCart", &S::SEGUE_VoiceStartCart, Read::Number, kAlways, Absent::Fixed,
         "StartLinksCartNumber", 8001},
        {"SEGUE.VoiceEndCart", &S::SEGUE_VoiceEndCart, Read::Number, kAlways, Absent::Fixed,
         "EndLinksCartNumber", 8999},
        {"SEGUE.UpdateDuringRecord", &S::SEGUE_UpdateDuringRecord},
        {"SEGUE.VoiceLinkFormat", &S::SEGUE_VoiceLinkFormat},
        {"SEGUE.VoiceLinkChannels", &S::SEGUE_VoiceLinkChannels},
        {"SEGUE.VoiceLinkKhz", &S::SEGUE_VoiceLinkKhz},
        // Written and read with the same default, so that a saved value reads back as saved.
        {"SEGUE.VoiceLinkLevelTrigger", &S::SEGUE_VoiceLinkLevelTrigger},
        {"SEGUE.EditsFirstPlayer", &S::SEGUE_EditsFirstPlayer},
        {"SEGUE.EditsLastPlayer", &S::SEGUE_EditsLastPlayer},
        {"LINKS.FirstPlayer", &S::LINKS_FirstPlayer},
        {"LINKS.LastPlayer", &S::LINKS_LastPlayer},
        {"LINKS.Colour", &S::LINKS_Colour},
        {"ADVERTS.CartOffset", &S::ADVERTS_CartOffset},
        {"ADVERTS.ClientDatabase", &S::ADVERTS_ClientDatabase, Read::Text},
        {"ADVERTS.FilenameFormat", &S::ADVERTS_FilenameFormat, Read::Text},
        {"ADVERTS.FilenamePrefix", &S::ADVERTS_FilenamePrefix, Read::Text},
        {"ADVERTS.LogPath", &S::ADVERTS_LogPath, Read::Text, Write::Default, Absent::LogPath},
        {"ADVERTS.TXChainCode", &S::ADVERTS_TXChainCode, Read::Text},
        {"ADVERTS.LastSent", &S::ADVERTS_LastSent, Read::Date, Write::Never},
        {"ADVERTS.SentBy", &S::ADVERTS_SentBy, Read::TextAsStored, Write::Never},
        {"ADVERTS.FirstPlayer", &S::ADVERTS_FirstPlayer},
        {"ADVERTS.LastPlayer", &S::ADVERTS_LastPlayer},
        {"ADVERTS.Colour", &S::ADVERTS_Colour},
        {"CARTS.FirstPlayer", &S::CARTS_FirstPlayer},
        {"CARTS.LastPlayer", &S::CARTS_LastPlayer},
        {"CARTS.Colour", &S::CARTS_Colour},
        {"SONGS.FirstPlayer", &S::SONGS_FirstPlayer},
        {"SONGS.LastPlayer", &S::SONGS_LastPlayer},
        {"SONGS.Colour", &S::SONGS_Colour},
        {"MUSIC.UseCartRanges", &S::MUSIC_UseCartRanges},
        {"MUSIC.CartOffset", &S::MUSIC_CartOffset},
        {"MUSIC.FilenameFormat", &S::MUSIC_FilenameFormat, Read::Text},
        {"MUSIC.FilenamePrefix", &S::MUSIC_FilenamePrefix, Read::Text},
        {"MUSIC.LogPath", &S::MUSIC_LogPath, Read::Text, Write::Default, Absent::LogPath},
        {"MUSIC.JinglesStart", &S::MUSIC_JinglesStart, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.JinglesEnd", &S::MUSIC_JinglesEnd, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SweepersStart", &S::MUSIC_SweepersStart, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SweepersEnd", &S::MUSIC_SweepersEnd, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.AdvertsStart", &S::MUSIC_AdvertsStart, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.AdvertsEnd", &S::MUSIC_AdvertsEnd, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SongsStart", &S::MUSIC_SongsStart, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.SongsEnd", &S::MUSIC_SongsEnd, Read::Number, Write::NotWhenZero, Absent::Current},
        {"MUSIC.CartGroupsStart", &S::MUSIC_CartGroupsStart, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.CartGroupsEnd", &S::MUSIC_CartGroupsEnd, Read::Number, Write::NotWhenZero,
         Absent::Current},
        {"MUSIC.LastSent", &S::MUSIC_LastSent, Read::Date, Write::Never},
        {"MUSIC.SentBy", &S::MUSIC_SentBy, Read::TextAsStored, Write::Never},
        {"RotaplanLiteMode", &S::RotaplanLiteMode, Read::BoolText, Write::Never},
        // Written and read with the same default, so that a saved value reads back as saved.
        {"CMDS.Colour", &S::CMDS_Colour},
        {"HOURS.Colour", &S::HOURS_Colour},
        {"BeenSet", &S::BeenSet, Read::Number, Write::Never},
    };
    return entries;
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

// The member's value in a default-built DbSettings, as the value of a key that has no row.
DbValue DefaultOf(const Entry& entry) {
    static const DbSettings defaults;
    return std::visit([](auto member) { return DbValue(defaults.*member); }, entry.member);
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
    return DefaultOf(entry);
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
DbError OpenSettings(UserInterface& ui, Database& db, TableCursor& settings, bool quiet) {
    if (DbError error = db.OpenTable("Settings", settings); !error.Ok()) {
        ProblemReport(ui, "opening the Kora settings table", error, quiet);
        return error;
    }
    if (DbError error = settings.SetIndex("Main"); !error.Ok()) {
        ProblemReport(ui, "setting the Kora Settings index", error, quiet);
        return error;
    }
    return {};
}

}  // namespace

std::string DefaultLogPath(const std::string& dataLocation) {
    return JoinPath(dataLocation, "LOGS");
}

std::string ProgramTitleAndVersion() {
    return "Vantor Log Import " + std::to_string(VANTOR_VERSION_MAJOR) + "." +
           std::to_string(VANTOR_VERSION_MINOR) + "." + std::to_string(VANTOR_VERSION_PATCH);
}

DbSettingsRead ReadDbSettings(UserInterface& ui, Database& db, DbSettings& settings,
                              const std::string& dataLocation) {
    using Outcome = DbSettingsRead::Outcome;
    auto failed = [&](const std::string& key, int number) {
        DbError error = DbError::Make(number);
        ProblemReport(ui, "reading the database setting : " + key, error);
        return DbSettingsRead{Outcome::Failed, error};
    };
    TableCursor table;
    if (DbError error = OpenSettings(ui, db, table, false); !error.Ok())
        return {Outcome::Failed, error};

    bool oldAddress = false;
    for (const Entry& entry : Catalogue()) {
        std::string key = entry.key;
        if (oldAddress && (key == "KORA.SCComputerAddress" || key == "KORA.SCComputerPort")) {
            continue;
        }
        DbValue raw = GetDbSetting(table, key, AbsentValue(settings, entry, dataLocation));
        if (int error = Assign(settings, entry, raw)) return failed(key, error);
        if (key == "KORA.PlexoServerAddress" && !settings.KORA_PlexoServerAddress.empty()) {
            // The old single address wins over the newer address and port.
            oldAddress = true;
            settings.KORA_SCComputerAddress = settings.KORA_PlexoServerAddress;
            settings.KORA_SCComputerPort = 0;
        }
        if (entry.brixelKey && ReadsAsZero(settings, entry)) {
            std::string fallback = GetProfileString("brixel.ini", "Settings", entry.brixelKey,
                                                    std::to_string(entry.brixelDefault));
            if (int error = Assign(settings, entry, DbValue(LeadingNumber(fallback))))
                return failed(key, error);
        }
    }
    return {settings.BeenSet != 0.0 ? Outcome::Saved : Outcome::NeverSaved, {}};
}

DbError WriteDbSettings(UserInterface& ui, Database& db, const DbSettings& settings,
                        const std::string& dataLocation) {
    TableCursor table;
    if (DbError error = OpenSettings(ui, db, table, false); !error.Ok()) return error;
    // A key that fails is reported by SetDbSetting and the other keys are still written, but
    // the whole write has failed: the caller must not record it as saved.
    DbError firstFailure;
    auto store = [&](const std::string& key, const DbValue& value, const DbValue& defaultValue) {
        DbError result = SetDbSetting(ui, table, key, value, defaultValue, false);
        if (!result.Ok() && firstFailure.Ok()) firstFailure = result;
    };
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
        store(entry.key, ValueOf(settings, entry), defaultValue);
    }
    // An old address that was read lives on under "KORA.SCComputerAddress": its row goes.
    // Without one, a row another program may have written since is left alone.
    if (!settings.KORA_PlexoServerAddress.empty())
        store("KORA.PlexoServerAddress", DbValue(""), DbValue(""));
    return firstFailure;
}

bool RecordMusicSent(UserInterface& ui, Database& db, const std::string& userName, OleDate when) {
    if (!db.IsOpen()) return false;
    TableCursor table;
    if (!OpenSettings(ui, db, table, true).Ok()) return false;
    bool ok =
        SetDbSetting(ui, table, "MUSIC.LastSent", DbValue(GeneralDateText(when)), DbValue(), false)
            .Ok();
    ok = SetDbSetting(ui, table, "MUSIC.SentBy", DbValue(ProgramTitleAndVersion() + " " + userName),
                      DbValue(), false)
             .Ok() &&
         ok;
    return ok;
}

}  // namespace vantor
