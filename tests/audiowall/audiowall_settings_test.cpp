#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "audiowall/audiowall_settings.h"
#include "common/clock.h"
#include "common/profile.h"
#include "common/registry.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"
#include "support/audiowall_fixture.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace vantor {
namespace {

using testing::TempDir;

// Every test gets its own Windows directory, so the registry file is its own.
class AudiowallSettings : public ::testing::Test {
  protected:
    TempDir windows;
    testing::ScopedEnv windir{"VANTOR_WINDIR", windows.path()};
    TempDir store;
    AudiowallState state;
    ScriptedUserInterface ui;
    FixedClock clock{2024, 3, 7, 10, 30};
    std::string config = windows / "VANTOR.INI";
};

// A count that does not fit 32 bits reads as the key's default.
TEST_F(AudiowallSettings, AnOverlongNoCartsReadsAsTheDefault) {
    testing::WriteAudiowall(store.path(), 1000, {});
    WriteProfileString(store / "Audwall.ini", "Audiowall", "NoCarts", "11111111111111111111");
    state.Parts[1].Directory = store.path();
    ReadMaxCart(state);
    EXPECT_EQ(state.MaxCart, 9999);
}

TEST_F(AudiowallSettings, ReadFromTheConfigurationFile) {
    testing::WriteAudiowall(store.path(), 12000, {});
    WriteProfileString(config, "FileLocations", "Carts1", store.path());
    WriteProfileString(config, "FileLocations", "Carts11", store / "top");
    WriteProfileString(config, "Audio", "UseIndividualCartListFiles", "1");
    WriteProfileString(config, "Audio", "EmptyCartBackColor", "2147483663");  // 0x8000000F
    WriteProfileString(config, "Audio", "EmptyCartForeColor", "255");
    WriteProfileString(config, "Audio", "FadeFire", "0.8");

    LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
    EXPECT_EQ(state.Parts[1].Directory, store.path());
    EXPECT_EQ(state.Parts[2].Directory, "");
    EXPECT_EQ(state.Parts[11].Directory, store / "top");
    EXPECT_EQ(state.UseIndividualCartListFiles, 1);
    EXPECT_EQ(state.EmptyCartBackColor, static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(state.EmptyCartForeColor, 255);
    EXPECT_EQ(state.EmptyCart.ForeColor, 255);  // the empty cart carries the colours read
    EXPECT_EQ(state.PlayerFadeFirePercent, 80);
    EXPECT_EQ(state.MaxCart, 12000);
    EXPECT_TRUE(ui.messages.empty());

    // The percentage key wins over the older fraction.
    WriteProfileString(config, "Audio", "PlayerFadeFirePercent", "70");
    LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
    EXPECT_EQ(state.PlayerFadeFirePercent, 70);
}

TEST_F(AudiowallSettings, DefaultsWhenNothingIsSet) {
    state.MaxCart = 5;
    LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
    for (const AudiowallPart& part : state.Parts) EXPECT_EQ(part.Directory, "");
    EXPECT_EQ(state.MaxCart, 9999);
    EXPECT_EQ(state.UseIndividualCartListFiles, 0);
    EXPECT_EQ(state.EmptyCart.BackColor, static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(state.EmptyCart.ForeColor, static_cast<int32_t>(0x80000012));
    EXPECT_EQ(state.PlayerFadeFirePercent, 65);
    EXPECT_FALSE(fs::exists(windows / "Audwall.ini"));  // no stray store file anywhere
}

TEST_F(AudiowallSettings, ReadFromTheRegistryWithoutAConfigurationFile) {
    testing::WriteAudiowall(store.path(), 3000, {});
    const std::string key = "Software\\Tressel\\Vantor v2";
    const RegistryRoot hklm = RegistryRoot::LocalMachine;
    WriteRegistryString(hklm, key + "\\File Locations", "CartLocation1", store.path(), "");
    WriteRegistryString(hklm, key + "\\File Locations", "CartLocation3", store / "p3", "");
    WriteRegistryNumber(hklm, key + "\\Audiowall\\Settings", "UseIndividualCartListFiles", 1, 0);
    WriteRegistryNumber(hklm, key + "\\Audiowall", "EmptyCartBackColor", 0x112233, 0);
    WriteRegistryNumber(hklm, key + "\\Cart Players", "PlayerFadeFirePercent", 90, 65);
    // A configuration file that exists must not be consulted in this mode.
    WriteProfileString(config, "FileLocations", "Carts1", "/elsewhere");

    LoadAudiowallSettings(state, ui, clock, "", key);
    EXPECT_EQ(state.Parts[1].Directory, store.path());
    EXPECT_EQ(state.Parts[3].Directory, store / "p3");
    EXPECT_EQ(state.UseIndividualCartListFiles, 1);
    EXPECT_EQ(state.EmptyCartBackColor, 0x112233);
    EXPECT_EQ(state.EmptyCartForeColor, static_cast<int32_t>(0x80000012));
    EXPECT_EQ(state.PlayerFadeFirePercent, 90);
    EXPECT_EQ(state.MaxCart, 3000);
}

TEST_F(AudiowallSettings, OldStoreIsBackedUpOnceAndUpgraded) {
    // Parts 1 and 2 share the store directory, part 3 has its own.
    testing::WriteAudiowall(store.path(), 3000, {{5, "Kept", 2}}, /*version=*/"");
    std::string part3 = store / "three";
    fs::create_directories(part3);
    fs::rename(store / "Carts3.lst", fs::path(part3) / "CARTS3.LST");
    WriteProfileString(config, "FileLocations", "Carts1", store.path());
    WriteProfileString(config, "FileLocations", "Carts2", store.path());
    WriteProfileString(config, "FileLocations", "Carts3", part3);

    LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
    std::string audwall = store / "Audwall.ini";
    EXPECT_EQ(GetProfileString(audwall, "Audiowall", "Version", ""), "2.6");
    const std::string dated = "Backups/2024-03-07";
    // A copy keeps the name the list has on disk.
    EXPECT_EQ(testing::ReadWholeFile(store / (dated + "/Carts1.lst")),
              testing::ReadWholeFile(store / "Carts1.lst"));
    EXPECT_TRUE(fs::exists(store / (dated + "/Carts2.lst")));
    EXPECT_TRUE(fs::exists(fs::path(part3) / dated / "CARTS3.LST"));
    EXPECT_FALSE(fs::exists(store / (dated + "/Carts3.lst")));
    EXPECT_EQ(ui.startupStatus.back(), "Backing up Audio Wall lists - Part 3");

    // Once at 2.6, a later start makes no further backup.
    clock.Set(clock.Now() + 1);
    LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
    EXPECT_FALSE(fs::exists(store / "Backups/2024-03-08"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AudiowallSettings, VersionsBelowTwoPointSixAreUpgraded) {
    struct Case {
        std::string version;
        bool backedUp;
    } cases[] = {{"0.0", true}, {"2.5", true}, {"2.59", true}, {"2.6", false}, {"3.0", false}};
    for (const Case& c : cases) {
        TempDir dir;
        testing::WriteAudiowall(dir.path(), 1000, {}, c.version);
        WriteProfileString(config, "FileLocations", "Carts1", dir.path());
        LoadAudiowallSettings(state, ui, clock, "VANTOR.INI", "Software\\Tressel\\Vantor v2");
        EXPECT_EQ(fs::exists(dir / "Backups/2024-03-07/Carts1.lst"), c.backedUp) << c.version;
        EXPECT_EQ(GetProfileString(dir / "Audwall.ini", "Audiowall", "Version", ""),
                  c.backedUp ? "2.6" : c.version);
    }
}

TEST_F(AudiowallSettings, BackupOnlyForcedOverAnExistingOne) {
    testing::WriteAudiowall(store.path(), 1000, {});
    state.Parts[1].Directory = store.path();
    store.WriteFile("Backups/Carts1.LST", "older backup");
    EXPECT_TRUE(BackupCartLists(state, ui, clock, false));
    EXPECT_FALSE(fs::exists(store / "Backups/2024-03-07/Carts1.lst"));
    EXPECT_TRUE(BackupCartLists(state, ui, clock, true));
    EXPECT_EQ(fs::file_size(store / "Backups/2024-03-07/Carts1.lst"), 300000u);
}

TEST_F(AudiowallSettings, FileCacheCheckChangesNothingHere) {
    CheckFileCacheTuning(ui, "Software\\Tressel\\Vantor v2", false);
    EXPECT_TRUE(ui.messages.empty());
    CheckFileCacheTuning(ui, "", true);
    EXPECT_TRUE(ui.messages.empty());
    CheckFileCacheTuning(ui, "Software\\Tressel\\Vantor v2", true);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.text,
              "Your Windows(TM) Operating System does not need to be optimised, as it is natively "
              "optimized for Audio playback");
    EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Information);
    EXPECT_FALSE(fs::exists(windows / "registry.ini"));
}

}  // namespace
}  // namespace vantor
