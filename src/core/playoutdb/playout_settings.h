#pragma once
// The catalogue of a playout database's Settings table and the typed
// copy of it the program works with. Each member is named after its key ("KORA.PreCueTime" is
// KORA_PreCueTime) so that a key and its member are found together.

#include <cstdint>
#include <string>

#include "common/ole_date.h"
#include "common/user_interface.h"
#include "dbengine/engine.h"

namespace vantor {

// Colours as the stations store them: red in the low byte. Values with the top bit set name a
// system colour by its index in the low byte.
inline constexpr int32_t kSystemColourHighlight = static_cast<int32_t>(0x8000000Du);
inline constexpr int32_t kSystemColourHighlightText = static_cast<int32_t>(0x8000000Eu);
inline constexpr int32_t kSystemColourButtonFace = static_cast<int32_t>(0x8000000Fu);
inline constexpr int32_t kSystemColourButtonText = static_cast<int32_t>(0x80000012u);

// Every member starts at the value its key has when it has no row: these initialisers are the
// only place the defaults are written (the catalogue reads them from a default-built struct).
// The two log paths depend on the data location and are filled by ReadDbSettings.
struct DbSettings {
    int32_t KORA_SweeperMode = 0;
    int16_t KORA_AutoRestartDelay = 10;
    int16_t KORA_PreCueTime = 20;
    int16_t KORA_KAE_Calculation_Time = 15;
    int16_t KORA_MaxFadeTime = 0;
    int16_t KORA_EachFadeTime = 10;
    float KORA_Cart_Normal_Fade = 4.0f;
    float KORA_Go_Fade_Length = 4.0f;
    int16_t KORA_Override_fades = 0;
    int16_t KORA_Force_FadeLast = 1;
    int16_t KORA_AllowInsertCart = 1;
    int16_t KORA_AllowInsertTrack = 1;
    int16_t KORA_AllowInsertJingle = 1;
    int16_t KORA_NewEntriesStopAtEnd = 0;
    int16_t KORA_PlayAdvertsLoud = 0;
    int16_t KORA_JumpHomeBeforeActivate = 0;
    int16_t KORA_FadeCartsAfterNextStart = 1;
    int32_t KORA_FadeSongRules = 1;
    int32_t KORA_LogBackColor = kSystemColourButtonFace;
    int32_t KORA_LogForeColor = kSystemColourButtonText;
    int32_t KORA_LogInfoBackColor = kSystemColourButtonFace;
    int32_t KORA_LogInfoForeColor = kSystemColourButtonText;
    int32_t KORA_LogHighlightBackColor = kSystemColourHighlight;
    int32_t KORA_LogHighlightForeColor = kSystemColourHighlightText;
    int32_t KORA_SelButtonBackColor = kSystemColourHighlight;
    int32_t KORA_SelButtonForeColor = kSystemColourHighlightText;
    int32_t KORA_NonSelButtonBackColor = kSystemColourButtonFace;
    int32_t KORA_NonSelButtonForeColor = kSystemColourButtonText;
    int32_t KORA_Mode_AutoBackcolor = 65280;
    int32_t KORA_Mode_LiveAsstBackcolor = 65280;
    int32_t KORA_Mode_StandbyBackcolor = kSystemColourButtonFace;
    bool KORA_LogFont_FontBold = true;
    bool KORA_LogFont_FontItalic = false;
    bool KORA_LogFont_FontStrikeThru = false;
    bool KORA_LogFont_FontUnderLine = false;
    int16_t KORA_LogFont_FontSize = 12;
    std::string KORA_LogFont_FontName = "Arial";
    int16_t KORA_UseFadeInfoFromLog = 0;
    int16_t KORA_LogDisplayPanelMode = 1;
    int16_t KORA_LogDisplayLogTimes = 0;
    int16_t KORA_UseColoursFromCarts = 0;
    std::string KORA_PlexoServerAddress;
    std::string KORA_SCComputerAddress;
    int32_t KORA_SCComputerPort = 0;
    int16_t KORA_SCWarnNearEndAds = 0;
    int16_t KORA_SCWarnNearEndJingles = 0;
    int16_t KORA_SCWarnNearEndSongs = 0;
    int16_t KORA_AllowManualOCP = 0;
    int16_t KORA_WaitSplitReturn = 1;
    int16_t KORA_ShowJinglesNow = 0;
    int16_t KORA_ShowAdvertsNow = 1;
    int16_t KORA_ShowSongsNow = 1;
    int16_t KORA_ShowCartsNow = 1;
    int16_t KORA_ShowBXNow = 0;
    int16_t KORA_ShowNextItemsCount = 1;
    int16_t KORA_ShowJinglesNext = 0;
    int16_t KORA_ShowAdvertsNext = 0;
    int16_t KORA_ShowSongsNext = 1;
    int16_t KORA_ShowCartsNext = 0;
    int16_t KORA_ShowBXNext = 0;
    int16_t SEGUE_PreviewLength = 0;
    int32_t SEGUE_VoiceStartCart = 0;
    int32_t SEGUE_VoiceEndCart = 0;
    int16_t SEGUE_UpdateDuringRecord = 1;
    int16_t SEGUE_VoiceLinkFormat = 1;
    int16_t SEGUE_VoiceLinkChannels = 2;
    int32_t SEGUE_VoiceLinkKhz = 44100;
    int16_t SEGUE_VoiceLinkLevelTrigger = 25;
    int16_t SEGUE_EditsFirstPlayer = 255;
    int16_t SEGUE_EditsLastPlayer = 1;
    int16_t LINKS_FirstPlayer = 1;
    int16_t LINKS_LastPlayer = 255;
    int32_t LINKS_Colour = 16777215;
    int32_t ADVERTS_CartOffset = 0;
    std::string ADVERTS_ClientDatabase;
    std::string ADVERTS_FilenameFormat = "yymmdd";
    std::string ADVERTS_FilenamePrefix;
    std::string ADVERTS_LogPath;
    std::string ADVERTS_TXChainCode;
    OleDate ADVERTS_LastSent = 0.0;
    std::string ADVERTS_SentBy;
    int16_t ADVERTS_FirstPlayer = 1;
    int16_t ADVERTS_LastPlayer = 255;
    int32_t ADVERTS_Colour = 12648447;
    int16_t CARTS_FirstPlayer = 1;
    int16_t CARTS_LastPlayer = 255;
    int32_t CARTS_Colour = 13631439;
    int16_t SONGS_FirstPlayer = 1;
    int16_t SONGS_LastPlayer = 255;
    int32_t SONGS_Colour = 11842810;
    int16_t MUSIC_UseCartRanges = 0;
    int32_t MUSIC_CartOffset = 0;
    std::string MUSIC_FilenameFormat = "yymmdd";
    std::string MUSIC_FilenamePrefix = "VN";
    std::string MUSIC_LogPath;
    int32_t MUSIC_JinglesStart = 0;
    int32_t MUSIC_JinglesEnd = 0;
    int32_t MUSIC_SweepersStart = 0;
    int32_t MUSIC_SweepersEnd = 0;
    int32_t MUSIC_AdvertsStart = 0;
    int32_t MUSIC_AdvertsEnd = 0;
    int32_t MUSIC_SongsStart = 0;
    int32_t MUSIC_SongsEnd = 0;
    int32_t MUSIC_CartGroupsStart = 0;
    int32_t MUSIC_CartGroupsEnd = 0;
    OleDate MUSIC_LastSent = 0.0;
    std::string MUSIC_SentBy;
    bool RotaplanLiteMode = false;
    int32_t CMDS_Colour = 15449533;
    int32_t HOURS_Colour = 15449533;
    double BeenSet = 0.0;

    bool operator==(const DbSettings&) const = default;
};

// The default logs directory of a playout database: the data location's LOGS directory.
std::string DefaultLogPath(const std::string& dataLocation);

// What reading a database's settings found.
struct [[nodiscard]] DbSettingsRead {
    enum class Outcome {
        Saved,       // saved from the settings editor at some time ("BeenSet" is not 0)
        NeverSaved,  // never saved from the editor: the defaults stand in, on purpose
        Failed,      // the table could not be read, or a value did not fit its key (reported)
    };
    Outcome outcome = Outcome::Saved;
    DbError error;  // the failure, when Failed

    bool Ok() const { return outcome != Outcome::Failed; }
};

// Fills settings from the open database's Settings table. Fails (reported) when the table
// cannot be opened or indexed or a stored value does not fit its key's type; settings are then
// partly defaults and must not be used.
DbSettingsRead ReadDbSettings(UserInterface& ui, Database& db, DbSettings& settings,
                              const std::string& dataLocation);

// Stores every key of settings (not the two "sent" records, "RotaplanLiteMode" or "BeenSet").
// A value equal to its key's default removes the key's row. Success, or the first failure:
// opening the table, or storing a key (every other key is still written).
DbError WriteDbSettings(UserInterface& ui, Database& db, const DbSettings& settings,
                        const std::string& dataLocation);

// Records that music logs were sent: "MUSIC.LastSent" = when, "MUSIC.SentBy" = this program's
// title and version, a space and userName. False when the database is not open or a store
// failed.
bool RecordMusicSent(UserInterface& ui, Database& db, const std::string& userName, OleDate when);

// "Vantor Log Import <major>.<minor>.<revision>"
std::string ProgramTitleAndVersion();

}  // namespace vantor
