// The accounts of the users database kept from the command line, as a station without the
// installation's account editor keeps them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/clock.h"
#include "common/scramble.h"
#include "config/system_locations.h"
#include "dbengine/engine.h"
#include "program_runner.h"
#include "support/kora_installation.h"
#include "support/succeeded.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "users/users_database.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class AccountCommandsTest : public ::testing::Test {
  protected:
    AccountCommandsTest() : station_(dir_.path(), InstallationOptions{}) {}

    ProgramRun Run(std::vector<std::string> arguments, const std::string& input = "") {
        return RunProgramWithInput(arguments, station_.Environment(), input);
    }

    // What a login with that password through the login window would answer.
    int CheckLogin(std::string name, std::string password) {
        ScriptedUserInterface ui;
        SystemClock clock;
        SystemLocations locations;
        locations.DataLocation = station_.dataLocation;
        Database db;
        UsersDatabase users(ui, clock, locations, db);
        EXPECT_THAT(users.OpenUsersDatabase(UsersDatabasePath(station_.dataLocation)), Succeeded());
        CurrentUser user;
        return users.CheckLogin(name, password, user, true);
    }

    TempDir dir_;
    KoraInstallation station_;
};

TEST_F(AccountCommandsTest, AddListChangeAndRemoveAnAccount) {
    ProgramRun added = Run({"--add-user=anna", "--rights=5,6"}, "zebra 42q\nZEBRA 42Q\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_TRUE(Contains(added.out, "added: ANNA (rights 5,6)")) << added.out;
    ASSERT_EQ(Run({"--add-user=Bert", "--rights="}, "plain\nplain\n").exitCode, 0);
    EXPECT_EQ(CheckLogin("anna", "zebra 42q"), login::kAccepted);

    ProgramRun listed = Run({"--list-users"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::string header, anna, bert, more;
    std::getline(lines, header);
    std::getline(lines, anna);
    std::getline(lines, bert);
    EXPECT_FALSE(std::getline(lines, more));
    EXPECT_TRUE(Contains(header, "NAME") && Contains(header, "LAST LOGIN")) << header;
    EXPECT_EQ(anna.rfind("ANNA ", 0), 0u) << anna;
    EXPECT_TRUE(Contains(anna, " 5,6 ") && Contains(anna, " never")) << anna;
    EXPECT_EQ(bert.rfind("BERT ", 0), 0u) << bert;
    EXPECT_TRUE(Contains(bert, " - ")) << bert;
    EXPECT_FALSE(Contains(listed.out, "ZEBRA") || Contains(listed.out, ScrambleText("ZEBRA 42Q")));

    ProgramRun changed = Run({"--set-password=ANNA"}, "otter7\notter7\n");
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(CheckLogin("ANNA", "OTTER7"), login::kAccepted);
    EXPECT_EQ(CheckLogin("ANNA", "ZEBRA 42Q"), login::kWrongPassword);

    ProgramRun removed = Run({"--remove-user=anna"});
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(CheckLogin("ANNA", "OTTER7"), login::kUnknownName);
    EXPECT_FALSE(Contains(Run({"--list-users"}).out, "ANNA"));
}

TEST_F(AccountCommandsTest, RefusalsExitTwoWithTheirMessageAndChangeNothing) {
    ASSERT_EQ(Run({"--add-user=ANNA", "--rights=5"}, "secret\nsecret\n").exitCode, 0);
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string message;
    } cases[] = {
        {{"--add-user=anna", "--rights=5"}, "x\nx\n", "There is already an account named 'ANNA'"},
        {{"--add-user=tressel", "--rights=5"}, "x\nx\n", "is the name of a built-in account"},
        {{"--add-user=no.body", "--rights=5"},
         "x\nx\n",
         "may hold only letters, digits and spaces"},
        {{"--add-user=TWENTYONECHARACTERSXX", "--rights=5"}, "x\nx\n", "at most 20 characters"},
        {{"--add-user=BOB", "--rights=7"}, "x\nx\n", "numbers from 1 to 6"},
        {{"--add-user=BOB", "--rights=5"}, "one\ntwo\n", "do not match"},
        {{"--add-user=BOB", "--rights=5"}, "only once\n", "was not repeated"},
        {{"--add-user=BOB", "--rights=5"}, "", "No password on standard input"},
        {{"--add-user=BOB", "--rights=5"}, "thirteen char\nthirteen char\n", "at most 12"},
        {{"--add-user=BOB", "--rights=5"}, "pa$$\npa$$\n", "only letters, digits and spaces"},
        {{"--set-password=NOBODY"}, "x\nx\n", "the user account could not be found"},
        {{"--set-password=daycode"}, "x\nx\n", "'DAYCODE' is a built-in account"},
        {{"--set-password=ANNA"}, "new\nnow\n", "do not match"},
        {{"--remove-user=NOBODY"}, "", "There is no account named 'NOBODY'"},
        {{"--remove-user=TRESSEL"}, "", "'TRESSEL' is a built-in account"},
    };
    for (const auto& c : cases) {
        ProgramRun run = Run(c.arguments, c.input);
        EXPECT_EQ(run.exitCode, 2) << c.arguments[0] << "\n" << run.err;
        EXPECT_TRUE(Contains(run.err, "error: ") && Contains(run.err, c.message))
            << c.message << "\n"
            << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    ProgramRun listed = Run({"--list-users"});
    EXPECT_TRUE(Contains(listed.out, "ANNA")) << listed.out;
    EXPECT_FALSE(Contains(listed.out, "BOB")) << listed.out;
    EXPECT_EQ(CheckLogin("ANNA", "SECRET"), login::kAccepted);
}

// The password goes in on standard input and comes out nowhere but in the users database:
// not in the output, the report files, a trace of the run or any other file of the
// installation.
TEST_F(AccountCommandsTest, APasswordLandsInNoFileButTheUsersDatabase) {
    const std::string password = "QUOKKA 93";
    const std::string input = "quokka 93\nquokka 93\n";
    std::vector<ProgramRun> runs = {
        Run({"--add-user=ANNA", "--rights=5", "/DEBUG"}, input),
        Run({"--set-password=ANNA", "/DEBUG"}, input),
    };
    std::vector<std::string> forms = {password, "quokka 93", ScrambleText(password)};
    for (const ProgramRun& run : runs) {
        ASSERT_EQ(run.exitCode, 0) << run.err;
        for (const std::string& form : forms) {
            EXPECT_FALSE(Contains(run.out, form));
            EXPECT_FALSE(Contains(run.err, form));
        }
    }
    EXPECT_EQ(CheckLogin("ANNA", password), login::kAccepted);

    int filesRead = 0;
    bool sawUsersDatabase = false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_.path())) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        // The users database with its journal and lock files.
        if (name.rfind("USERS25.", 0) == 0) {
            sawUsersDatabase = true;
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        ++filesRead;
        for (const std::string& form : forms)
            EXPECT_FALSE(Contains(content.str(), form)) << entry.path();
    }
    EXPECT_TRUE(sawUsersDatabase);
    EXPECT_GT(filesRead, 5);  // the installation's other files were looked at
}

}  // namespace
}  // namespace vantor::testing
