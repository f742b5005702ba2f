#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "common/locale.h"
#include "common/ole_date.h"
#include "playout_fixture.h"
#include "playoutdb/playout_settings.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::MakePlayoutDatabase;
using testing::TempDir;

// A playout database and a Windows directory of its own (for brixel.ini).
class DbSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VANTOR_WINDIR", windows_.path().c_str(), 1);
        path_ = MakePlayoutDatabase(dir_);
        ASSERT_THAT(db_.Open(path_), Succeeded());
    }
    void TearDown() override { unsetenv("VANTOR_WINDIR"); }

    void Store(const std::string& key, const std::string& value) {
        ASSERT_THAT(db_.Execute("INSERT INTO Settings (Item, Value) VALUES (?, ?)", {key, value}),
                    Succeeded());
    }
    DbValue Stored(const std::string& key) {
        QueryResult rows;
        EXPECT_THAT(db_.Query("SELECT Value FROM Settings WHERE Item = ?", {key}, rows),
                    Succeeded());
        return rows.Eof() ? DbValue() : rows.Field(0);
    }

    TempDir dir_;
    TempDir windows_;
    std::string path_;
    Database db_;
    ScriptedUserInterface ui_;
    const std::string data_ = "/srv/vantor";
};

TEST_F(DbSettingsTest, EmptyTableReadsAsTheAbsentValues) {
    DbSettings settings;
    settings.KORA_PreCueTime = 99;  // overwritten by the absent value
    EXPECT_EQ(ReadDbSettings(ui_, db_, settings, data_).outcome,
              DbSettingsRead::Outcome::NeverSaved);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(settings.KORA_PreCueTime, 20);
    EXPECT_EQ(settings.KORA_AutoRestartDelay, 10);
    EXPECT_EQ(settings.KORA_Cart_Normal_Fade, 4.0f);
    EXPECT_EQ(settings.KORA_LogBackColor, kSystemColourButtonFace);
    EXPECT_TRUE(settings.KORA_LogFont_FontBold);
    EXPECT_EQ(settings.KORA_LogFont_FontName, "Arial");
    EXPECT_EQ(settings.KORA_ShowAdvertsNow, 1);
    EXPECT_EQ(settings.SEGUE_VoiceLinkKhz, 44100);
    EXPECT_EQ(settings.SEGUE_VoiceLinkLevelTrigger, 25);
    EXPECT_EQ(settings.SEGUE_EditsFirstPlayer, 255);
    EXPECT_EQ(settings.MUSIC_FilenamePrefix, "VN");
    EXPECT_EQ(settings.MUSIC_FilenameFormat, "yymmdd");
    EXPECT_EQ(settings.MUSIC_LogPath, "/srv/vantor/LOGS");
    EXPECT_EQ(settings.ADVERTS_LogPath, "/srv/vantor/LOGS");
    EXPECT_EQ(settings.CMDS_Colour, 15449533);
    // No brixel.ini: the voice link fallbacks.
    EXPECT_EQ(settings.SEGUE_PreviewLength, 10);
    EXPECT_EQ(settings.SEGUE_VoiceStartCart, 8001);
    EXPECT_EQ(settings.SEGUE_VoiceEndCart, 8999);
}

// The catalogue takes each key's default from a default-built struct: an empty table reads as
// one (but for the values that come from elsewhere), and writing the defaults back stores only
// the keys that are always stored.
TEST_F(DbSettingsTest, CatalogueDefaultsAreThoseOfADefaultBuiltStruct) {
    DbSettings expected;
    expected.MUSIC_LogPath = DefaultLogPath(data_);
    expected.ADVERTS_LogPath = DefaultLogPath(data_);
    expected.SEGUE_PreviewLength = 10;  // brixel.ini's fallbacks for a 0
    expected.SEGUE_VoiceStartCart = 8001;
    expected.SEGUE_VoiceEndCart = 8999;

    DbSettings read;
    read.KORA_LogFont_FontName = "Courier";
    read.MUSIC_FilenamePrefix = "XX";
    read.KORA_LogFont_FontBold = false;
    read.SONGS_Colour = 1;
    EXPECT_EQ(ReadDbSettings(ui_, db_, read, data_).outcome, DbSettingsRead::Outcome::NeverSaved);
    EXPECT_TRUE(read == expected);

    ASSERT_THAT(WriteDbSettings(ui_, db_, expected, data_), Succeeded());
    EXPECT_TRUE(ui_.messages.empty());
    const std::set<std::string> alwaysStored = {
        "KORA.SweeperMode",
        "KORA.AutoRestartDelay",
        "KORA.PreCueTime",
        "KORA.KAE_Calculation_Time",
        "KORA.MaxFadeTime",
        "KORA.EachFadeTime",
        "KORA.Cart_Normal_Fade",
        "KORA.Go_Fade_Length",
        "KORA.Override_fades",
        "KORA.Force_FadeLast",
        "KORA.AllowInsertCart",
        "KORA.AllowInsertTrack",
        "KORA.AllowInsertJingle",
        "KORA.NewEntriesStopAtEnd",
        "KORA.PlayAdvertsLoud",
        "KORA.JumpHomeBeforeActivate",
        "KORA.FadeCartsAfterNextStart",
        "KORA.LogBackColor",
        "KORA.LogForeColor",
        "KORA.LogInfoBackColor",
        "KORA.LogInfoForeColor",
        "KORA.LogHighlightBackColor",
        "KORA.LogHighlightForeColor",
        "KORA.SelButtonBackColor",
        "KORA.SelButtonForeColor",
        "KORA.NonSelButtonBackColor",
        "KORA.NonSelButtonForeColor",
        "KORA.Mode.AutoBackcolor",
        "KORA.Mode.LiveAsstBackcolor",
        "KORA.Mode.StandbyBackcolor",
        "KORA.UseColoursFromCarts",
        "SEGUE.PreviewLength",
        "SEGUE.VoiceStartCart",
        "SEGUE.VoiceEndCart",
    };
    QueryResult rows;
    ASSERT_THAT(db_.Query("SELECT Item FROM Settings", {}, rows), Succeeded());
    std::set<std::string> stored;
    for (; !rows.Eof(); static_cast<void>(rows.MoveNext())) stored.insert(rows.Field(0).AsText());
    EXPECT_EQ(stored, alwaysStored);

    DbSettings readBack;
    ASSERT_THAT(ReadDbSettings(ui_, db_, readBack, data_), Succeeded());
    EXPECT_TRUE(readBack == expected);
}

TEST_F(DbSettingsTest, StoredTextsAreConvertedByTheirKeysRules) {
    windows_.WriteFile("brixel.ini", "[Settings]\r\nStartLinksCartNumber=7001\r\n");
    Store("MUSIC.FilenamePrefix", "  VN  ");
    Store("KORA.LogFont.FontName", "  Times  ");
    Store("KORA.MaxFadeTime", "12abc");
    Store("KORA.Go_Fade_Length", "2.5");
    Store("KORA.LogFont.FontItalic", "-1");
    Store("SEGUE.VoiceEndCart", "8500");
    Store("MUSIC.SongsStart", "100");
    Store("BeenSet", "1");
    DbSettings settings;
    EXPECT_EQ(ReadDbSettings(ui_, db_, settings, data_).outcome, DbSettingsRead::Outcome::Saved);
    EXPECT_EQ(settings.MUSIC_FilenamePrefix, "VN");
    EXPECT_EQ(settings.KORA_LogFont_FontName, "  Times  ");
    EXPECT_EQ(settings.KORA_MaxFadeTime, 12);
    EXPECT_EQ(settings.KORA_Go_Fade_Length, 2.5f);
    EXPECT_TRUE(settings.KORA_LogFont_FontItalic);
    EXPECT_EQ(settings.SEGUE_VoiceStartCart, 7001);
    EXPECT_EQ(settings.SEGUE_VoiceEndCart, 8500);
    EXPECT_EQ(settings.MUSIC_SongsStart, 100);
    EXPECT_EQ(settings.MUSIC_SongsEnd, 0);
}

TEST_F(DbSettingsTest, NonNumberInAStrictKeyFailsAtThatKey) {
    Store("KORA.PreCueTime", " 30 ");
    Store("KORA.ShowSongsNow", "yes");
    Store("KORA.WaitSplitReturn", "0");
    DbSettings settings;
    EXPECT_EQ(ReadDbSettings(ui_, db_, settings, data_).error.number, 13);
    EXPECT_EQ(settings.KORA_PreCueTime, 30);         // read before the failing key
    EXPECT_EQ(settings.KORA_WaitSplitReturn, 0);     // read before it too
    EXPECT_EQ(settings.KORA_ShowNextItemsCount, 1);  // never reached
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].request.text.find("KORA.ShowSongsNow"), std::string::npos);
}

TEST_F(DbSettingsTest, OldStationControllerAddressWinsAndIsRemovedOnWriting) {
    Store("KORA.PlexoServerAddress", "STUDIO1");
    Store("KORA.SCComputerAddress", "STUDIO2");
    Store("KORA.SCComputerPort", "5");
    DbSettings settings;
    ASSERT_THAT(ReadDbSettings(ui_, db_, settings, data_), Succeeded());
    EXPECT_EQ(settings.KORA_SCComputerAddress, "STUDIO1");
    EXPECT_EQ(settings.KORA_SCComputerPort, 0);
    ASSERT_THAT(WriteDbSettings(ui_, db_, settings, data_), Succeeded());
    EXPECT_TRUE(Stored("KORA.PlexoServerAddress").IsNull());
    EXPECT_EQ(Stored("KORA.SCComputerAddress"), DbValue("STUDIO1"));
    EXPECT_TRUE(Stored("KORA.SCComputerPort").IsNull());  // 0 is its default

    // Settings read without an old address leave a row of that key alone.
    DbSettings current;
    ASSERT_THAT(ReadDbSettings(ui_, db_, current, data_), Succeeded());
    Store("KORA.PlexoServerAddress", "STUDIO3");
    ASSERT_THAT(WriteDbSettings(ui_, db_, current, data_), Succeeded());
    EXPECT_EQ(Stored("KORA.PlexoServerAddress"), DbValue("STUDIO3"));
}

TEST_F(DbSettingsTest, WritingStoresWhatDiffersAndTheAlwaysStoredKeys) {
    DbSettings settings;
    settings.KORA_LogFont_FontSize = 12;
    settings.KORA_LogFont_FontItalic = true;
    settings.KORA_Cart_Normal_Fade = 4.1f;
    settings.MUSIC_SongsStart = 0;
    settings.MUSIC_SongsEnd = 5000;
    settings.MUSIC_LogPath = DefaultLogPath(data_);
    settings.ADVERTS_LogPath = "/elsewhere/ADLOGS";
    settings.SEGUE_VoiceLinkLevelTrigger = 5;
    settings.CMDS_Colour = 16304375;
    settings.HOURS_Colour = 15449533;
    ASSERT_THAT(WriteDbSettings(ui_, db_, settings, data_), Succeeded());
    EXPECT_TRUE(ui_.messages.empty());

    struct Case {
        const char* key;
        DbValue stored;  // Null: no row
    };
    const Case cases[] = {
        {"KORA.LogFont.FontSize", DbValue()},
        {"KORA.LogFont.FontItalic", "-1"},
        {"KORA.PreCueTime", "20"},  // always stored, even at its default
        {"KORA.LogBackColor", "-2147483633"},
        {"KORA.Cart_Normal_Fade", "4.1"},
        {"KORA.UseColoursFromCarts", "0"},
        {"SEGUE.VoiceStartCart", "0"},
        {"KORA.FadeSongRules", DbValue()},
        {"MUSIC.SongsStart", DbValue()},
        {"MUSIC.SongsEnd", "5000"},
        {"MUSIC.LogPath", DbValue()},
        {"ADVERTS.LogPath", "/elsewhere/ADLOGS"},
        {"SEGUE.VoiceLinkLevelTrigger", "5"},
        {"CMDS.Colour", "16304375"},
        {"HOURS.Colour", DbValue()},
        {"BeenSet", DbValue()},
        {"MUSIC.LastSent", DbValue()},
        {"RotaplanLiteMode", DbValue()},
    };
    for (const Case& c : cases) EXPECT_EQ(Stored(c.key), c.stored) << c.key;

    settings.KORA_LogFont_FontSize = 14;
    ASSERT_THAT(WriteDbSettings(ui_, db_, settings, data_), Succeeded());
    EXPECT_EQ(Stored("KORA.LogFont.FontSize"), DbValue("14"));

    DbSettings readBack;
    ASSERT_THAT(ReadDbSettings(ui_, db_, readBack, data_), Succeeded());
    EXPECT_EQ(readBack.KORA_LogFont_FontSize, 14);
    EXPECT_TRUE(readBack.KORA_LogFont_FontItalic);
    EXPECT_EQ(readBack.KORA_Cart_Normal_Fade, 4.1f);
    EXPECT_EQ(readBack.MUSIC_SongsEnd, 5000);
    EXPECT_EQ(readBack.SEGUE_VoiceLinkLevelTrigger, 5);
    EXPECT_EQ(readBack.CMDS_Colour, 16304375);
    EXPECT_EQ(readBack.ADVERTS_LogPath, "/elsewhere/ADLOGS");
    EXPECT_EQ(readBack.SEGUE_VoiceStartCart, 8001);  // stored 0 falls back again
}

// A key that cannot be stored (another program refuses it here) fails the whole write, after
// the other keys were written: a caller must never take the settings as saved.
TEST_F(DbSettingsTest, AKeyThatCannotBeStoredFailsTheWrite) {
    for (const char* when : {"INSERT", "UPDATE"})
        ASSERT_THAT(db_.Execute(std::string("CREATE TRIGGER Refuse") + when + " BEFORE " + when +
                                " ON Settings WHEN NEW.Item = 'KORA.PreCueTime' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"),
                    Succeeded());
    DbSettings settings;
    settings.MUSIC_SongsEnd = 5000;
    EXPECT_THAT(WriteDbSettings(ui_, db_, settings, data_), ::testing::Not(Succeeded()));
    ASSERT_EQ(ui_.messages.size(), 1u) << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_NE(ui_.messages[0].request.text.find("KORA.PreCueTime"), std::string::npos)
        << ui_.messages[0].request.text;
    EXPECT_EQ(Stored("KORA.PreCueTime"), DbValue());
    EXPECT_EQ(Stored("MUSIC.SongsEnd"), DbValue("5000"));  // the keys after it were written
}

TEST_F(DbSettingsTest, RecordMusicSentStoresWhenAndWhatSent) {
    SetDateLocale(DateLocaleFromName("C"));
    const OleDate when = JoinDate({2000, 3, 7, 14, 5, 9});
    EXPECT_TRUE(RecordMusicSent(ui_, db_, "", when));
    EXPECT_EQ(Stored("MUSIC.SentBy"), DbValue(ProgramTitleAndVersion() + " "));
    EXPECT_EQ(Stored("MUSIC.LastSent"), DbValue("07/03/2000 14:05:09"));
    DbSettings settings;
    ASSERT_THAT(ReadDbSettings(ui_, db_, settings, data_), Succeeded());
    EXPECT_EQ(settings.MUSIC_SentBy, ProgramTitleAndVersion() + " ");
    EXPECT_DOUBLE_EQ(settings.MUSIC_LastSent, when);

    Database closed;
    EXPECT_FALSE(RecordMusicSent(ui_, closed, "", when));
}

TEST_F(DbSettingsTest, MissingSettingsTableIsReportedAndSettingsKeepTheirValues) {
    ASSERT_THAT(db_.Execute("DROP TABLE Settings"), Succeeded());
    DbSettings settings;
    settings.KORA_PreCueTime = 33;
    EXPECT_EQ(ReadDbSettings(ui_, db_, settings, data_).error.number, 3265);
    EXPECT_EQ(settings.KORA_PreCueTime, 33);
    EXPECT_EQ(WriteDbSettings(ui_, db_, settings, data_).number, 3265);
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_TRUE(ui_.messages[0].request.text.starts_with(
        "There was a problem opening the Kora settings table"));
    EXPECT_FALSE(RecordMusicSent(ui_, db_, "", 36600.5));
    EXPECT_EQ(ui_.messages.size(), 2u);  // without a message of its own
}

}  // namespace
}  // namespace vantor
