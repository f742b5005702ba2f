#include <gtest/gtest.h>

#include "common/problem_report.h"
#include "support/scripted_user_interface.h"

namespace vantor {
namespace {

TEST(ProblemReport, QuietReportWithoutNumberIsTheBareSentence) {
    ScriptedUserInterface ui;
    EXPECT_EQ(ProblemReport(ui, "opening the database ", ErrorResult{}, true),
              "There was a problem opening the database");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ProblemReport, ShownWithWarningIconAndStandardMessage) {
    ScriptedUserInterface ui;
    ui.cursor = MouseCursor::Hourglass;
    std::string text =
        ProblemReport(ui, "opening the Kora settings table", ErrorResult::Make(3265));
    EXPECT_EQ(text,
              "There was a problem opening the Kora settings table and the error's description "
              "was reported as : \n\n\"Item not found in this collection.\" (3265)");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui.cursor, MouseCursor::Hourglass);  // restored afterwards
}

TEST(ProblemReport, UnknownNumberFallsBackToTheFailuresOwnDescription) {
    EXPECT_EQ(ProblemReportText("reading", 40001, "custom trouble"),
              "There was a problem reading and the error's description was reported as : "
              "\n\n\"custom trouble\" (40001)");
}

}  // namespace
}  // namespace vantor
