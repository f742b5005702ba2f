#include <gtest/gtest.h>

#include "common/profile.h"
#include "common/registry.h"
#include "support/scripted_user_interface.h"
#include "config/config_set_model.h"
#include "config/startup.h"
#include "installation_fixture.h"

namespace vantor {
namespace {

using testing::InstallationTest;

class ConfigSetTest : public InstallationTest {
  protected:
    void SetUp() override {
        InstallationTest::SetUp();
        model_.HK_PRODUCT_KEY = kProductRegistryKey;
        model_.StandardConfigFile = "vantor.ini";
        model_.isRemoteDrive = [this](const std::string& path) {
            queried_.push_back(path);
            return remote_;
        };
    }
    void SetConfigFiles(const std::string& names) {
        WriteRegistryString(RegistryRoot::LocalMachine, kProductRegistryKey, "ConfigFiles", names,
                            "");
    }

    ScriptedUserInterface ui_;
    ConfigSetModel model_{ui_};
    std::vector<std::string> queried_;
    bool remote_ = false;
};

TEST_F(ConfigSetTest, ListsEverySetWithItsNameAndIcon) {
    WriteProfileString("studio1.ini", "General", "ConfigName", "  Studio One  ");
    WriteProfileString("studio1.ini", "FileLocations", "Data", "\\\\server\\vantor");
    WriteProfileString("studio2.ini", "FileLocations", "Data", Path("data"));
    remote_ = true;
    // Two blanks between names, a name twice, and a set whose file does not exist.
    SetConfigFiles("studio1.ini  studio2.ini gone.ini studio1.ini");
    model_.Load();

    ASSERT_EQ(model_.Items().size(), 3u);
    EXPECT_EQ(model_.Items()[0].key, "studio1.ini");
    EXPECT_EQ(model_.Items()[0].text, "Studio One");
    EXPECT_EQ(model_.Items()[0].icon, ConfigSetModel::kIconNetwork);
    EXPECT_EQ(model_.Items()[1].text, "studio2.ini");
    EXPECT_EQ(model_.Items()[1].icon, ConfigSetModel::kIconNetworkDrive);
    EXPECT_EQ(model_.Items()[2].key, "gone.ini");
    EXPECT_EQ(model_.Items()[2].icon, ConfigSetModel::kIconLocal);
    // Only the data location that is neither empty nor a share was put to the drive query.
    EXPECT_EQ(queried_, std::vector<std::string>{Path("data")});
}

TEST_F(ConfigSetTest, EmptyListBecomesTheStandardSet) {
    model_.Load();
    ASSERT_EQ(model_.Items().size(), 1u);
    EXPECT_EQ(model_.Items()[0].key, "vantor.ini");
    EXPECT_EQ(model_.Items()[0].text, "Standard Configuration");
    EXPECT_EQ(
        ReadRegistryString(RegistryRoot::LocalMachine, kProductRegistryKey, "ConfigFiles", ""),
        "vantor.ini");

    ConfigSetModel empty(ui_);
    empty.HK_PRODUCT_KEY = "SOFTWARE\\Tressel\\Other";
    empty.Load();
    EXPECT_TRUE(empty.Items().empty());
}

TEST_F(ConfigSetTest, OkTakesTheSelectionAndCancelEmptiesTheChoice) {
    SetConfigFiles("a.ini b.ini");
    model_.Load();
    model_.OK();
    EXPECT_FALSE(model_.IsClosed());  // nothing selected: nothing happens

    model_.ClickItem(1);
    EXPECT_EQ(model_.ToolTip(), "Selected Configuration : b.ini");
    model_.DoubleClickList();
    EXPECT_TRUE(model_.IsClosed());
    EXPECT_EQ(model_.ConfigFile, "b.ini");

    ConfigSetModel other(ui_);
    other.HK_PRODUCT_KEY = kProductRegistryKey;
    other.ConfigFile = "VANTOR.INI";
    other.Load();
    other.CloseFromWindowMenu();
    EXPECT_EQ(other.ConfigFile, "");
}

}  // namespace
}  // namespace vantor
