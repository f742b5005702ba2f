#pragma once
// The model of the "Kora Database Settings" window (frmKORADatabaseSettings): it loads the
// Settings table of one playout database, shows every setting as the state of a control,
// applies the rules that enable controls, checks the operator's changes on OK and writes them
// all back, marking the database as configured and recording the save in the user history.
//
// The state is plain: texts, ticks, list positions, colours and a font. Controls are named by
// enums whose enumerators carry the window's control names, so that a window binds them by
// name. A change the model makes on its own (after a nested window, on loading) is announced
// through the WindowModel callback.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/window_model.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"
#include "common/stored_colour.h"
#include "dbmanage/wave_formats.h"
#include "playoutdb/playout_settings.h"

namespace vantor {

class Clock;
class Dialogs;
class Session;
class UserInterface;
class UsersDatabase;

// What the editor needs from the program around it.
struct PlayoutSettingsEditorContext {
    std::string dataLocation;
    int32_t maxCart = 9999;  // the Audiowall's highest cart
    std::string loginName;   // who the history event names
};

// The log font as the playout system draws its log.
struct LogFont {
    std::string name;
    int size = 12;
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

class PlayoutSettingsEditorModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Kora Database Settings";
    static constexpr const char* kClientDatabaseType = "2";  // the chooser's "Adverts Database"

    enum class Text {
        txtSegPreviewLength,
        txtVoiceLinkStartCart,
        txtVoiceLinkEndcart,
        txtBXTriggerLevel,
        txtPrecueTime,
        txtKAECalcRemainTime,
        txtFadeEachTime,
        txtMaxFadeTime,
        txtCartFadeTime,
        txtGoFadeTime,
        txtRestartSeconds,
        txtStationControlComputer,
        txtShowNextItemsCount,
        txtMusicLogPath,
        txtMusicFilenamePrefix,
        comboMusicFilenameFormat,
        txtMusicCartOffset,
        txtAdvertClientDatabase,
        txtAdvertLogsPath,
        txtAdvertFilenamePrefix,
        comboAdvertFilenameFormat,
        txtAdvertCartOffset,
        txtAdvertFileTXChain,
    };
    static constexpr int kTextCount = 23;

    enum class Check {
        chkSegueUpdateOnRecord,
        chkBXLevelTrigger,
        chkJumpHomeWhenActivate,
        chkPlayAdvertsLoud,
        chkNewEntriesStopAtEnd,
        chkAllowInsertTrack,
        chkAllowInsertCart,
        chkAllowInsertJingle,
        chkFadeCartsAfterNext,
        chkUseFadeInfoFromLog,
        chkAutoRestart,
        chkAllowLastItemFade,
        chkOverrideFadeRestrictions,
        chkUseColoursFromCarts,
        chkLogDisplayPanelMode,
        chkDisplayLogTimes,
        chkSCNearEndAdverts,
        chkSCNearEndJingles,
        chkSCNearEndSongs,
        chkWaitSplitReturn,
        chkShowJinglesNow,
        chkShowAdvertsNow,
        chkShowSongsNow,
        chkShowCartsNow,
        chkShowBXNow,
        chkShowJinglesNext,
        chkShowAdvertsNext,
        chkShowSongsNext,
        chkShowCartsNext,
        chkShowBXNext,
        chkAllowManualKVL,
        chkUseCartRanges,
        chkScheduleAds,
    };
    static constexpr int kCheckCount = 33;

    enum class List {
        listSweeperStyle,
        comboFadeRules,
        comboStationControl,
        comboStationControlPort,
        listCartsFirstPlayerOrder,
        listCartsLastPlayerOrder,
        listSongsFirstPlayerOrder,
        listSongsLastPlayerOrder,
        listLinksFirstPlayerOrder,
        listLinksLastPlayerOrder,
        listAdvertsFirstPlayerOrder,
        listAdvertsLastPlayerOrder,
        listSegEditsFirstPlayerOrder,
        listSegEditsLastPlayerOrder,
    };
    static constexpr int kListCount = 14;

    // The colours the window shows: the six log colours of the entry kinds (each shown on its
    // "Change Colour" button and sample) and the back and fore colours of the sample panels.
    enum class ColourSlot {
        Carts,
        Songs,
        Links,
        Adverts,
        Commands,
        HourStarts,
        LogBack,
        LogFore,
        LogInfoBack,
        LogInfoFore,
        LogHighlightBack,
        LogHighlightFore,
        SelectedButtonBack,
        SelectedButtonFore,
        NonSelectedButtonBack,
        NonSelectedButtonFore,
        AutomationBack,
        AutomationFore,
        LiveAssistBack,
        LiveAssistFore,
        StandbyBack,
        StandbyFore,
        StatusBack,
        StatusFore,
    };
    static constexpr int kColourCount = 24;

    // Which controls the enable rules leave usable (each with its labels).
    struct Enabled {
        bool restartSeconds = false;     // txtRestartSeconds
        bool triggerLevel = false;       // txtBXTriggerLevel and its "%"
        bool clientDatabase = false;     // cmdSelectClientsDB and lblAdvertClientsDB
        bool maxFadeTime = false;        // txtMaxFadeTime and its description
        bool fadeEachTime = false;       // txtFadeEachTime and its description
        bool stationComputer = false;    // txtStationControlComputer and its label
        bool nextItemsCount = false;     // txtShowNextItemsCount and its label
        bool stationPort = false;        // comboStationControlPort and its label
        bool allowManualUpdate = false;  // chkAllowManualKVL
        bool waitSplitReturn = false;    // chkWaitSplitReturn
    };

    enum class LogsFolder { Music, Adverts };

    PlayoutSettingsEditorModel(UserInterface& ui, Dialogs& dialogs, const Clock& clock,
                               UsersDatabase& users, PlayoutSettingsEditorContext context);
    // For the logged-in user of the session, on its data location and Audiowall.
    explicit PlayoutSettingsEditorModel(Session& session);
    ~PlayoutSettingsEditorModel();
    PlayoutSettingsEditorModel(const PlayoutSettingsEditorModel&) = delete;
    PlayoutSettingsEditorModel& operator=(const PlayoutSettingsEditorModel&) = delete;

    // ---- Loading: the full path of the database whose settings are edited (lblDatabasename).
    // A missing or empty file, or one whose settings cannot be read, leaves the editor
    // unusable but for Cancel.
    void Load(const std::string& databasePath);
    // The same for the database name of store; DatabasePath is then what the store calls it.
    void Load(const DatabaseStore& store, const std::string& name);
    // Closes the database.
    void Unload();
    const std::string& DatabasePath() const { return databasePath_; }
    bool Loaded() const { return loaded_; }  // the tabs and OK are usable

    // ---- State
    const std::string& GetText(Text field) const { return texts_[Index(field)]; }
    void SetText(Text field, const std::string& text);
    bool Checked(Check box) const { return checks_[Index(box)]; }
    void SetChecked(Check box, bool checked);
    int Selected(List list) const { return selected_[Index(list)]; }
    void Select(List list, int index);
    // optFadeLast ("Always Fade") when true, optFadeEach ("Fade at most") when false.
    bool AlwaysFade() const { return alwaysFade_; }
    void SetAlwaysFade(bool alwaysFade);
    DisplayColour GetColour(ColourSlot slot) const;
    void SetColour(ColourSlot slot, uint8_t red, uint8_t green, uint8_t blue);
    const LogFont& GetLogFont() const { return font_; }
    void SetLogFont(const LogFont& font);
    const WaveFormat& AudioFormat() const { return format_; }
    void SetAudioFormat(const WaveFormat& format);
    Enabled Enables() const;

    // Labels the model fills.
    std::string AudioFormatText() const;  // lblAudioFormat
    const std::string& MusicSampleFilename() const { return musicSample_; }
    const std::string& AdvertSampleFilename() const { return advertSample_; }
    const std::string& MusicLastSent() const { return musicLastSent_; }  // lblMusicLastSent
    const std::string& ClientDatabaseDescription() const { return clientDescription_; }

    // The items of each list, and of the two date-format lists (which also take free text).
    static const std::vector<std::string>& Items(List list);
    static const std::vector<std::string>& DateFormatItems();

    // ---- Input
    // The key-press filter of a text: the key code to pass on, or 0 when the key is swallowed.
    static int FilterKey(Text field, int keyCode);
    // Where the format-choice dialog starts: the current format completed as the catalogue
    // offers it.
    WaveFormat FormatChoiceStart() const;
    // "Browse": the folder picker on the box's text; a chosen folder replaces it, trimmed.
    void BrowseLogsFolder(LogsFolder folder);
    // "Select": the database chooser on the data location for the client database.
    void SelectClientDatabase();

    // ---- Closing
    // Checks the controls and, when they pass, saves everything and closes. True when it
    // closed. After a refusal InvalidText names the box at fault, when one is.
    bool OK();
    void Cancel() { closed_ = true; }
    bool IsClosed() const { return closed_; }
    std::optional<Text> InvalidText() const { return invalidText_; }

  private:
    template <typename E>
    static size_t Index(E value) {
        return static_cast<size_t>(value);
    }
    void Notify();
    void ShowSettings();
    void FillFromSettings();
    void RefreshSamples();
    void RefreshClientDescription();
    bool Refuse(const std::string& message, std::optional<Text> field);
    bool Validate();
    void CopyIntoSettings();
    // Opens name of store, the label showing it as shown.
    void LoadFrom(const DatabaseStore& store, const std::string& name, const std::string& shown);

    UserInterface& ui_;
    Dialogs& dialogs_;
    const Clock& clock_;
    UsersDatabase& users_;
    PlayoutSettingsEditorContext context_;

    Database db_;
    DbSettings settings_;
    std::string databasePath_;
    bool loaded_ = false;
    bool closed_ = false;
    std::optional<Text> invalidText_;

    std::array<std::string, kTextCount> texts_;
    std::array<bool, kCheckCount> checks_{};
    std::array<int, kListCount> selected_{};
    std::array<int32_t, kColourCount> colours_{};
    bool alwaysFade_ = false;
    LogFont font_;
    WaveFormat format_;
    std::string musicSample_;
    std::string advertSample_;
    std::string musicLastSent_;
    std::string clientDescription_;
};

}  // namespace vantor
