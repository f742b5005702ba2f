#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/locale.h"
#include "dbmanage/playout_settings_editor_model.h"
#include "session/session.h"
#include "support/settings_editor_station.h"
#include "support/succeeded.h"
#include "users/users_database.h"

namespace vantor {
namespace {

using testing::InstallationOptions;
using testing::SettingsEditorStation;
using Model = PlayoutSettingsEditorModel;
using Text = Model::Text;
using Check = Model::Check;
using List = Model::List;
using Slot = Model::ColourSlot;

const char* const kRestartMessage =
    "You must set the automatic restart delay to a value from 0 to 32000 seconds";
const char* const kNextMessage = "You must set how many \"Next\" to send from 1 to 50";
const char* const kPreviewMessage =
    "You can only set from 1 to 300 seconds for the number of seconds to hear when using the "
    "segue editor";
const char* const kVoiceLinkMessage = "You must choose a valid cart number range for Voice Links";
const char* const kMusicNameMessage =
    "You must set at least one of Music Log Filename Prefix and Log Filename Format";
const char* const kAdvertNameMessage =
    "You must set at least one of Adverts Log Filename Prefix and Log Filename Format";

class SettingsEditorTest : public ::testing::Test {
  protected:
    explicit SettingsEditorTest(InstallationOptions options = {}) : env_(options) {}

    // A model loaded with the station's database, as the main window opens it.
    std::unique_ptr<Model> Open() {
        auto model =
            std::make_unique<Model>(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
        model->Load(env_.station.databasePath);
        EXPECT_TRUE(model->Loaded()) << ::testing::PrintToString(env_.ui.MessageTexts());
        return model;
    }
    void Store(const std::string& key, const std::string& value) {
        env_.station.SetDatabaseSetting(key, value);
    }
    std::string Row(const std::string& key) {
        auto rows = env_.Rows();
        auto found = rows.find(key);
        return found == rows.end() ? "<none>" : found->second;
    }

    SettingsEditorStation env_;
};

TEST_F(SettingsEditorTest, MissingOrEmptyDatabaseLeavesOnlyCancel) {
    Model model(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
    int changes = 0;
    model.OnChanged([&] { ++changes; });
    model.Load(env_.dir / "NOSUCH.MDB");
    EXPECT_FALSE(model.Loaded());
    EXPECT_FALSE(model.OK());
    EXPECT_FALSE(model.IsClosed());
    model.Load(env_.dir.WriteFile("EMPTY.MDB", ""));
    EXPECT_FALSE(model.Loaded());
    EXPECT_TRUE(env_.ui.messages.empty());
    EXPECT_EQ(changes, 2);
    model.Cancel();
    EXPECT_TRUE(model.IsClosed());
}

TEST_F(SettingsEditorTest, SettingsThatCannotBeReadAreNotOfferedForSaving) {
    Store("KORA.PreCueTime", "soon");  // must be a number
    Model model(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
    model.Load(env_.station.databasePath);
    EXPECT_FALSE(model.Loaded());
    ASSERT_EQ(env_.ui.messages.size(), 1u);
    EXPECT_EQ(Row("KORA.PreCueTime"), "soon");
}

TEST_F(SettingsEditorTest, ShowsStoredSettingsByTheirRules) {
    Store("KORA.AutoRestartDelay", "-1");
    Store("SEGUE.VoiceLinkLevelTrigger", "0");
    Store("KORA.MaxFadeTime", "0");
    Store("KORA.EachFadeTime", "7");
    Store("KORA.FadeSongRules", "7");
    Store("CARTS.FirstPlayer", "9");
    Store("CARTS.LastPlayer", "255");
    Store("SONGS.FirstPlayer", "0");
    Store("SONGS.LastPlayer", "3");
    Store("KORA.SCWarnNearEndAds", "2");
    Store("KORA.Cart_Normal_Fade", "4.1");
    Store("MUSIC.SentBy", "Vantor Log Import 2.5.0 ");
    Store("MUSIC.LastSent", "14/03/2024 09:05:00");
    auto model = Open();

    EXPECT_FALSE(model->Checked(Check::chkAutoRestart));
    EXPECT_EQ(model->GetText(Text::txtRestartSeconds), "");
    EXPECT_FALSE(model->Checked(Check::chkBXLevelTrigger));
    EXPECT_EQ(model->GetText(Text::txtBXTriggerLevel), "");
    EXPECT_FALSE(model->AlwaysFade());
    EXPECT_EQ(model->GetText(Text::txtFadeEachTime), "7");
    EXPECT_EQ(model->GetText(Text::txtMaxFadeTime), "30");
    EXPECT_EQ(model->Selected(List::comboFadeRules), 4);
    EXPECT_EQ(model->Selected(List::listCartsFirstPlayerOrder), 5);  // "the last Cart Player"
    EXPECT_EQ(model->Selected(List::listCartsLastPlayerOrder), 5);
    EXPECT_EQ(model->Selected(List::listSongsFirstPlayerOrder), 0);
    EXPECT_EQ(model->Selected(List::listSongsLastPlayerOrder), 2);
    EXPECT_TRUE(model->Checked(Check::chkSCNearEndAdverts));
    EXPECT_FALSE(model->Checked(Check::chkSCNearEndJingles));
    EXPECT_EQ(model->GetText(Text::txtCartFadeTime), "4.1");
    EXPECT_EQ(model->MusicLastSent(), "Vantor Log Import 2.5.0  on 14/03/2024 09:05:00");
    EXPECT_EQ(model->AudioFormatText(), "PCM 44.100 kHz, 16 Bit, Stereo ");
    EXPECT_EQ(model->GetColour(Slot::LogBack), DisplayColour::Of(SystemColour::ButtonFace));
    EXPECT_EQ(model->GetColour(Slot::Carts), DisplayColour::Rgb(0xCF, 0xFF, 0xCF));  // 13631439
    EXPECT_EQ(model->GetLogFont(), (LogFont{"Arial", 12, true, false, false, false}));

    Model::Enabled enabled = model->Enables();
    EXPECT_FALSE(enabled.restartSeconds);
    EXPECT_FALSE(enabled.triggerLevel);
    EXPECT_TRUE(enabled.fadeEachTime);
    EXPECT_FALSE(enabled.maxFadeTime);
    model->SetChecked(Check::chkAutoRestart, true);
    model->SetAlwaysFade(true);
    EXPECT_TRUE(model->Enables().restartSeconds);
    EXPECT_TRUE(model->Enables().maxFadeTime);
    EXPECT_FALSE(model->Enables().fadeEachTime);
}

TEST_F(SettingsEditorTest, StationControllerHasThreeShapes) {
    struct Case {
        const char* address;
        const char* port;
        int item;
        int portIndex;
        Model::Enabled enabled;
    };
    // restartSeconds..fadeEachTime depend on other settings and are not compared here.
    const Case cases[] = {
        {"", "4", 0, 0, {}},
        {"studio-pc", "4", 1, 3, {}},
        {"studio-pc", "0", 2, 0, {}},
        {"studio-pc", "99", 1, 19, {}},  // beyond the list: its last port
    };
    for (const Case& c : cases) {
        Store("KORA.SCComputerAddress", c.address);
        Store("KORA.SCComputerPort", c.port);
        auto model = Open();
        SCOPED_TRACE(std::string(c.address) + ":" + c.port);
        EXPECT_EQ(model->Selected(List::comboStationControl), c.item);
        EXPECT_EQ(model->Selected(List::comboStationControlPort), c.portIndex);
        Model::Enabled enabled = model->Enables();
        EXPECT_EQ(enabled.stationComputer, c.item != 0);
        EXPECT_EQ(enabled.nextItemsCount, c.item != 0);
        EXPECT_EQ(enabled.allowManualUpdate, c.item != 0);
        EXPECT_EQ(enabled.stationPort, c.item == 1);
        EXPECT_EQ(enabled.waitSplitReturn, c.item == 2);
    }
}

TEST_F(SettingsEditorTest, ChecksInOrderAndSavesNothingOnRefusal) {
    struct Case {
        const char* name;
        std::function<void(Model&)> change;
        const char* message;  // nullptr: accepted
    };
    auto text = [](Text field, const char* value) {
        return [=](Model& m) { m.SetText(field, value); };
    };
    auto kvl = [](const char* count) {
        return [=](Model& m) {
            m.Select(List::comboStationControl, 1);
            m.SetText(Text::txtShowNextItemsCount, count);
        };
    };
    const int maxCart = env_.station.options.maxCart;
    const std::string aboveMax = std::to_string(maxCart + 1);
    const std::string atMax = std::to_string(maxCart);
    const Case cases[] = {
        {"restart ticked, empty",
         [](Model& m) {
             m.SetChecked(Check::chkAutoRestart, true);
             m.SetText(Text::txtRestartSeconds, "  ");
         },
         kRestartMessage},
        {"restart 32001", text(Text::txtRestartSeconds, "32001"), kRestartMessage},
        {"restart 32000", text(Text::txtRestartSeconds, "32000"), nullptr},
        {"restart unticked, empty",
         [](Model& m) {
             m.SetChecked(Check::chkAutoRestart, false);
             m.SetText(Text::txtRestartSeconds, "");
         },
         nullptr},
        {"no controller, next 0", text(Text::txtShowNextItemsCount, "0"), nullptr},
        {"no controller, next 51", text(Text::txtShowNextItemsCount, "51"), nullptr},
        {"KVL, next 0", kvl("0"), kNextMessage},
        {"KVL, next 51", kvl("51"), kNextMessage},
        {"KVL, next 1", kvl("1"), nullptr},
        {"KVL, next 50", kvl("50"), nullptr},
        {"preview 300", text(Text::txtSegPreviewLength, "300"), nullptr},
        {"preview 301", text(Text::txtSegPreviewLength, "301"), kPreviewMessage},
        {"preview 0", text(Text::txtSegPreviewLength, "0"), kPreviewMessage},
        {"voice links start = end",
         [=](Model& m) {
             m.SetText(Text::txtVoiceLinkStartCart, "8500");
             m.SetText(Text::txtVoiceLinkEndcart, "8500");
         },
         nullptr},
        {"voice links end at the last cart", text(Text::txtVoiceLinkEndcart, atMax.c_str()),
         nullptr},
        {"voice links end beyond the last cart", text(Text::txtVoiceLinkEndcart, aboveMax.c_str()),
         kVoiceLinkMessage},
        {"voice links end before start", text(Text::txtVoiceLinkEndcart, "8000"),
         kVoiceLinkMessage},
        {"voice links start 0", text(Text::txtVoiceLinkStartCart, ""), kVoiceLinkMessage},
        {"music name empty",
         [](Model& m) {
             m.SetText(Text::txtMusicFilenamePrefix, " ");
             m.SetText(Text::comboMusicFilenameFormat, "");
         },
         kMusicNameMessage},
        {"music prefix only", text(Text::comboMusicFilenameFormat, ""), nullptr},
        {"advert name empty", text(Text::comboAdvertFilenameFormat, " "), kAdvertNameMessage},
        {"first failure wins",
         [](Model& m) {
             m.SetText(Text::txtSegPreviewLength, "400");
             m.SetText(Text::txtAdvertFilenamePrefix, "");
             m.SetText(Text::comboAdvertFilenameFormat, "");
         },
         kPreviewMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto before = env_.Rows();
        auto model = Open();
        env_.ui.Clear();
        c.change(*model);
        bool closed = model->OK();
        if (c.message) {
            EXPECT_FALSE(closed);
            EXPECT_FALSE(model->IsClosed());
            ASSERT_EQ(env_.ui.messages.size(), 1u);
            EXPECT_EQ(env_.ui.messages[0].request.text, c.message);
            EXPECT_EQ(env_.ui.messages[0].request.icon, MessageIcon::Warning);
            EXPECT_EQ(env_.Rows(), before);
        } else {
            EXPECT_TRUE(closed);
            EXPECT_EQ(env_.ui.MessageTexts(), std::vector<std::string>{});
        }
    }
    EXPECT_TRUE(env_.users.IsOpen());
}

TEST_F(SettingsEditorTest, NumbersTooLargeForTheirSettingAreRefusedNotLost) {
    auto model = Open();
    model->SetText(Text::txtPrecueTime, "99999");
    EXPECT_FALSE(model->OK());
    EXPECT_EQ(model->InvalidText(), Text::txtPrecueTime);
    ASSERT_EQ(env_.ui.messages.size(), 1u);
    EXPECT_NE(env_.ui.messages[0].request.text.find("99999"), std::string::npos);
    EXPECT_EQ(Row("KORA.PreCueTime"), "<none>");
}

TEST_F(SettingsEditorTest, SavesEveryControlIntoItsKey) {
    Store("KORA.FadeSongRules", "7");
    Store("CARTS.FirstPlayer", "9");
    Store("KORA.AutoRestartDelay", "-1");
    auto model = Open();
    model->SetText(Text::txtMusicLogPath, "/srv/logs\\");
    model->SetText(Text::txtAdvertLogsPath, "/srv/adverts/");
    model->SetAlwaysFade(true);
    model->SetText(Text::txtMaxFadeTime, "12");
    model->SetText(Text::txtGoFadeTime, "2.5");
    model->SetChecked(Check::chkBXLevelTrigger, true);
    model->SetText(Text::txtBXTriggerLevel, "40");
    model->SetChecked(Check::chkUseCartRanges, true);
    model->Select(List::listSweeperStyle, 2);
    model->SetColour(Slot::Songs, 1, 2, 3);
    model->SetColour(Slot::LogFore, 255, 0, 0);
    model->SetColour(Slot::AutomationFore, 9, 9, 9);  // a sample only
    model->SetLogFont({"Courier", 14, false, true, true, true});
    model->SetAudioFormat({wave_tag::kImaAdpcm, 1, 22050});
    ASSERT_TRUE(model->OK());
    EXPECT_EQ(model->GetText(Text::txtMusicLogPath), "/srv/logs");

    auto rows = env_.Rows();
    auto row = [&](const std::string& key) { return rows.count(key) ? rows[key] : "<none>"; };
    EXPECT_EQ(row("MUSIC.LogPath"), "/srv/logs");
    EXPECT_EQ(row("ADVERTS.LogPath"), "/srv/adverts");
    EXPECT_EQ(row("KORA.FadeSongRules"), "4");
    EXPECT_EQ(row("CARTS.FirstPlayer"), "255");
    EXPECT_EQ(row("KORA.AutoRestartDelay"), "-1");
    EXPECT_EQ(row("KORA.MaxFadeTime"), "12");
    EXPECT_EQ(row("KORA.EachFadeTime"), "0");
    EXPECT_EQ(row("KORA.Go_Fade_Length"), "2.5");
    EXPECT_EQ(row("SEGUE.VoiceLinkLevelTrigger"), "40");
    EXPECT_EQ(row("MUSIC.UseCartRanges"), "1");
    EXPECT_EQ(row("KORA.SweeperMode"), "2");
    EXPECT_EQ(row("SONGS.Colour"), std::to_string(1 + 2 * 256 + 3 * 65536));
    EXPECT_EQ(row("KORA.LogForeColor"), "255");
    EXPECT_EQ(row("KORA.LogBackColor"), std::to_string(kSystemColourButtonFace));
    EXPECT_EQ(row("KORA.LogFont.FontName"), "Courier");
    EXPECT_EQ(row("KORA.LogFont.FontSize"), "14");
    EXPECT_EQ(row("KORA.LogFont.FontBold"), "0");
    EXPECT_EQ(row("KORA.LogFont.FontStrikeThru"), "-1");
    EXPECT_EQ(row("SEGUE.VoiceLinkFormat"), "17");
    EXPECT_EQ(row("SEGUE.VoiceLinkChannels"), "1");
    EXPECT_EQ(row("SEGUE.VoiceLinkKhz"), "22050");
    EXPECT_EQ(row("BeenSet"), "1");
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved), std::vector<int32_t>{1});

    // What was saved shows again as saved.
    auto again = Open();
    EXPECT_TRUE(again->AlwaysFade());
    EXPECT_EQ(again->GetText(Text::txtMaxFadeTime), "12");
    EXPECT_EQ(again->GetText(Text::txtFadeEachTime), "10");
    EXPECT_EQ(again->GetColour(Slot::Songs), DisplayColour::Rgb(1, 2, 3));
    EXPECT_EQ(again->AudioFormatText(), "IMA ADPCM 22.050 kHz, 4 Bit, Mono ");
}

TEST_F(SettingsEditorTest, ControllerWithoutComputerIsSavedAsNone) {
    auto model = Open();
    model->Select(List::comboStationControl, 1);
    model->Select(List::comboStationControlPort, 2);
    model->SetText(Text::txtStationControlComputer, "");
    ASSERT_TRUE(model->OK());
    EXPECT_EQ(Row("KORA.SCComputerAddress"), "<none>");
    EXPECT_EQ(Row("KORA.SCComputerPort"), "3");
    auto again = Open();
    EXPECT_EQ(again->Selected(List::comboStationControl), 0);
    EXPECT_EQ(Model::Items(List::comboStationControl)[0], "There is no computer to connect to.");
}

TEST_F(SettingsEditorTest, SampleFileNamesFollowPrefixAndFormat) {
    auto model = Open();  // the clock stands on 15 March 2024
    model->SetText(Text::txtMusicFilenamePrefix, " VN ");
    model->SetText(Text::comboMusicFilenameFormat, "yymmdd");
    EXPECT_EQ(model->MusicSampleFilename(), " VN240315.LOG");
    model->SetText(Text::comboMusicFilenameFormat, "  ");
    EXPECT_EQ(model->MusicSampleFilename(), " VN.LOG");
    model->SetText(Text::txtAdvertFilenamePrefix, "AD");
    model->SetText(Text::comboAdvertFilenameFormat, "ddmmyy");
    EXPECT_EQ(model->AdvertSampleFilename(), " AD150324.LOG");
}

TEST_F(SettingsEditorTest, SaveMarksTheDatabaseAndRecordsOneHistoryEvent) {
    EXPECT_EQ(Row("BeenSet"), "<none>");
    auto model = Open();
    int changes = 0;
    model->OnChanged([&] { ++changes; });
    ASSERT_TRUE(model->OK());
    EXPECT_TRUE(model->IsClosed());
    EXPECT_GT(changes, 0);
    EXPECT_EQ(Row("BeenSet"), "1");
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved), std::vector<int32_t>{1});
    EXPECT_EQ(env_.ui.cursor, MouseCursor::Default);
}

TEST_F(SettingsEditorTest, FailedWriteIsStillRecordedAsFailed) {
    auto model = Open();
    {
        Database db;
        ASSERT_THAT(db.Open(env_.station.databasePath), Succeeded());
        ASSERT_THAT(db.Execute("DROP TABLE Settings", {}), Succeeded());
    }
    ASSERT_TRUE(model->OK());
    EXPECT_FALSE(env_.ui.messages.empty());  // the write reported its failure
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved),
              std::vector<int32_t>{history::kFailed});
}

// One key refused (by another program here) is a failed save: the history says so and the
// database is not marked as configured.
TEST_F(SettingsEditorTest, AKeyThatCannotBeStoredIsAFailedSave) {
    auto model = Open();
    {
        Database db;
        ASSERT_THAT(db.Open(env_.station.databasePath), Succeeded());
        for (const char* when : {"INSERT", "UPDATE"})
            ASSERT_THAT(db.Execute(std::string("CREATE TRIGGER Refuse") + when + " BEFORE " + when +
                                   " ON Settings WHEN NEW.Item = 'KORA.PreCueTime' "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END"),
                        Succeeded());
    }
    ASSERT_TRUE(model->OK());
    EXPECT_TRUE(
        env_.ui.ShowedOnly("There was a problem updating the database setting : "
                           "KORA.PreCueTime"))
        << ::testing::PrintToString(env_.ui.MessageTexts());
    EXPECT_EQ(Row("BeenSet"), "<none>");
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved),
              std::vector<int32_t>{history::kFailed});
}

TEST_F(SettingsEditorTest, SessionModelRecordsTheLoggedInUser) {
    Session session(env_.ui, env_.ui, env_.clock);
    session.locations.DataLocation = env_.station.dataLocation;
    session.audiowall.MaxCart = 8500;  // below the stored voice-link end of 8999
    session.login.currentUser.LoginName = "MARY";
    ASSERT_THAT(session.users.OpenUsersDatabase(UsersDatabasePath(env_.station.dataLocation)),
                Succeeded());
    Model model(session);
    model.Load(env_.station.databasePath);
    EXPECT_FALSE(model.OK());
    EXPECT_TRUE(env_.ui.Showed(kVoiceLinkMessage));
    model.SetText(Text::txtVoiceLinkEndcart, "8500");
    ASSERT_TRUE(model.OK());
    QueryResult rows;
    ASSERT_THAT(session.usersConnection.Query("SELECT LoginName FROM UserHistory WHERE Action = ?",
                                              {DbValue(history::kPlayoutSettingsSaved)}, rows),
                Succeeded());
    ASSERT_FALSE(rows.Eof());
    EXPECT_EQ(rows.Field(0).AsText(), "MARY");
    session.users.CloseUsersDatabase();
}

TEST_F(SettingsEditorTest, DigitBoxesSwallowOtherKeys) {
    EXPECT_EQ(Model::FilterKey(Text::txtPrecueTime, '7'), '7');
    EXPECT_EQ(Model::FilterKey(Text::txtPrecueTime, 8), 8);
    EXPECT_EQ(Model::FilterKey(Text::txtPrecueTime, 27), 27);
    EXPECT_EQ(Model::FilterKey(Text::txtPrecueTime, '.'), 0);
    EXPECT_EQ(Model::FilterKey(Text::txtVoiceLinkEndcart, 'a'), 0);
    EXPECT_EQ(Model::FilterKey(Text::txtMusicCartOffset, '-'), '-');
    EXPECT_EQ(Model::FilterKey(Text::txtBXTriggerLevel, 'x'), 'x');
}

TEST_F(SettingsEditorTest, BrowseAndSelectFillTheirBoxes) {
    // A second database under the data location for the adverts' client database.
    std::string description = "Adverts Clients";
    ScriptedUserInterface quiet;
    ASSERT_EQ(
        EnsureDatabaseFile(quiet, env_.station.dataLocation + "/CLIENTS.MDB", 2, true, description),
        0);

    auto model = Open();
    EXPECT_FALSE(model->Enables().clientDatabase);
    env_.ui.folderAnswers.push_back(std::string("  /srv/music  "));
    model->BrowseLogsFolder(Model::LogsFolder::Music);
    EXPECT_EQ(model->GetText(Text::txtMusicLogPath), "/srv/music");
    model->BrowseLogsFolder(Model::LogsFolder::Adverts);  // cancelled
    EXPECT_EQ(model->GetText(Text::txtAdvertLogsPath), env_.station.logsDirectory);

    std::string searched;
    std::string type;
    env_.ui.onChooseDatabase = [&](const std::string& directory, const std::string& typeTag) {
        searched = directory;
        type = typeTag;
        return std::string("CLIENTS.MDB");
    };
    model->SetChecked(Check::chkScheduleAds, true);
    EXPECT_TRUE(model->Enables().clientDatabase);
    model->SelectClientDatabase();
    EXPECT_EQ(searched, env_.station.dataLocation);
    EXPECT_EQ(type, "2");
    EXPECT_EQ(model->GetText(Text::txtAdvertClientDatabase), "CLIENTS.MDB");
    EXPECT_EQ(model->ClientDatabaseDescription(), "Adverts Clients");
    model->SetText(Text::txtAdvertClientDatabase, "NOSUCH.MDB");
    EXPECT_EQ(model->ClientDatabaseDescription(), "");
    EXPECT_TRUE(env_.ui.messages.empty());

    model->SetText(Text::txtAdvertClientDatabase, "CLIENTS.MDB");
    ASSERT_TRUE(model->OK());
    EXPECT_EQ(Row("ADVERTS.ClientDatabase"), "CLIENTS.MDB");
    auto again = Open();
    EXPECT_TRUE(again->Checked(Check::chkScheduleAds));
    again->SetChecked(Check::chkScheduleAds, false);
    ASSERT_TRUE(again->OK());
    EXPECT_EQ(Row("ADVERTS.ClientDatabase"), "<none>");
}

TEST(WaveFormats, NamesAndDetails) {
    struct Case {
        WaveFormat format;
        const char* description;
    };
    const Case cases[] = {
        {{wave_tag::kPcm, 2, 44100}, "PCM 44.100 kHz, 16 Bit, Stereo"},
        {{wave_tag::kMicrosoftAdpcm, 1, 11025}, "Microsoft ADPCM 11.025 kHz, 4 Bit, Mono"},
        {{wave_tag::kGsm610, 1, 8000}, "GSM 6.10 8.000 kHz, Mono"},
        {{wave_tag::kGsm610, 2, 8000}, "GSM 6.10 "},  // GSM is mono only
        {{wave_tag::kMpegLayer3, 2, 48000}, "MPEG Layer-3 48.000 kHz, Stereo"},
        {{wave_tag::kALaw, 1, 8000}, "CCITT A-Law 8.000 kHz, 8 Bit, Mono"},
        {{wave_tag::kMuLaw, 1, 8000}, "CCITT u-Law 8.000 kHz, 8 Bit, Mono"},
        {{wave_tag::kIeeeFloat, 2, 48000}, "IEEE Float 48.000 kHz, 32 Bit, Stereo"},
        {{0x7777, 2, 44100}, " "},
    };
    for (const Case& c : cases) EXPECT_EQ(WaveFormatDescription(c.format), c.description);
    EXPECT_EQ(NearestOfferedWaveFormat({wave_tag::kGsm610, 2, 44000}),
              (WaveFormat{wave_tag::kGsm610, 1, 44100}));
    EXPECT_EQ(NearestOfferedWaveFormat({0x7777, 2, 44100}), (WaveFormat{wave_tag::kPcm, 2, 44100}));
}

}  // namespace
}  // namespace vantor
