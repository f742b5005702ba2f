// Every window the operator opens from the main window, shown by the windowed program on a
// desktop with a window manager: once the window manager has framed it, the whole frame (title
// bar and borders included) lies inside the screen's working area; and the program, closed
// after any of them was opened, ends with status 0.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "windowed_program.h"
#include "x_desktop.h"

namespace vantor::testing {
namespace {

// One thing the operator does: wait for the window with that object name to be on the screen
// (and for the window closed by the step before to be gone), then act on it.
struct Step {
    QString window;
    std::function<void(QWidget*)> act;
    bool closes = false;  // the act closes the window
};

QWidget* Shown(const QString& name) {
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && modal->isVisible() && modal->objectName() == name)
        return modal;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == name) return widget;
    return nullptr;
}

// Plays the steps inside the program's event loops (a step that opens a modal window returns
// only once a later step has closed it) and measures each window it acts on.
class Operator {
  public:
    Operator(DesktopView& view, std::vector<Step> steps) : view_(view), steps_(std::move(steps)) {
        timer_.setInterval(25);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
        waiting_.start();
        timer_.start();
    }

    bool Done() const { return next_ >= steps_.size(); }
    std::vector<std::string> outside;  // windows whose frame was seen outside the working area
    std::vector<std::string> measured;

  private:
    void Turn() {
        if (Done()) return;
        const Step& step = steps_[next_];
        QWidget* window = Shown(step.window);
        const bool previousGone = closed_.isEmpty() || Shown(closed_) == nullptr || closed_ == step.window;
        if (window == nullptr || !previousGone || !Framed(window)) {
            if (waiting_.elapsed() > 15000) GiveUp("\"" + step.window.toStdString() + "\" did not come");
            return;
        }
        // The window manager has framed it; a window that places itself may still be on its way
        // into the working area, for a moment.
        const std::optional<ClientWindow> seen = view_.Find(window->winId());
        const Rect area = view_.WorkArea();
        if (!area.Contains(*seen->frame) && measuring_.isValid() && measuring_.elapsed() < 2000)
            return;
        if (!measuring_.isValid()) {
            measuring_.start();
            if (!area.Contains(*seen->frame)) return;
        }
        measuring_.invalidate();
        measured.push_back(step.window.toStdString());
        if (!area.Contains(*seen->frame))
            outside.push_back(step.window.toStdString() + " (\"" + seen->name + "\"): frame " +
                              seen->frame->Text() + ", working area " + area.Text());
        closed_ = step.closes ? step.window : QString();
        ++next_;
        waiting_.restart();
        // The act may open a modal window, whose loop runs the later steps. It runs after this
        // turn has returned: a timer is not fired again while its own turn is still running.
        QTimer::singleShot(0, window, [act = step.act, window] { act(window); });
    }

    bool Framed(QWidget* window) {
        std::optional<ClientWindow> seen = view_.Find(window->winId());
        return seen && seen->viewable && seen->frame;
    }

    void GiveUp(const std::string& why) {
        ADD_FAILURE() << why << " (step " << next_ + 1 << " of " << steps_.size() << ")";
        next_ = steps_.size();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible()) widget->close();
    }

    DesktopView& view_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    QString closed_;
    QTimer timer_;
    QElapsedTimer waiting_;
    QElapsedTimer measuring_;
};

InstallationOptions Options() {
    InstallationOptions options;
    options.maxCart = 5000;
    options.carts = {{250, "Station jingle", 8}, {501, "Sweeper", 5}, {4001, "First song", 180},
                     {4002, "Second song", 200}};
    return options;
}

class WindowsOnScreenTest : public ::testing::Test {
  protected:
    WindowsOnScreenTest() : station_(dir_.path(), Options()) {
        const int32_t tomorrow = SystemClock().Today() + 1;
        SchedulerLogWriter log;
        for (int hour = 0; hour < 4; ++hour)
            log.Header(SchedulerDate(tomorrow), hour, "Clock")
                .Item("250", "Station jingle")
                .Item("4001", "First song")
                .Item("4999", "Not recorded yet");
        station_.WriteLog(tomorrow, log);
        for (const auto& [name, value] : station_.Environment())
            environment_.push_back(std::make_unique<ScopedEnv>(name.c_str(), value));
    }

    // Runs the windowed program with the steps; every window they act on must have its frame
    // inside the working area, and the program must end with status 0.
    void Run(const std::string& commandLine, std::vector<Step> steps) {
        ASSERT_TRUE(view_.ok()) << "no connection to the display";
        Operator person(view_, std::move(steps));
        gui::WindowedOptions options;
        options.command = ParseCommandLine(commandLine);
        EXPECT_EQ(gui::RunWindowedProgram(options), 0);
        EXPECT_TRUE(person.Done());
        EXPECT_TRUE(person.outside.empty()) << ::testing::PrintToString(person.outside);
        EXPECT_FALSE(person.measured.empty());
    }

    // The steps: the main window, then an action there.
    static Step OnMain(std::function<void(QWidget*)> act) { return {"frmLogImport", act}; }
    static std::function<void(QWidget*)> Trigger(const char* item) {
        return [item](QWidget* main) { main->findChild<QAction*>(item)->trigger(); };
    }
    static std::function<void(QWidget*)> Click(const QString& button) {
        return [button](QWidget* window) {
            auto* found = window->findChild<QAbstractButton*>(button);
            ASSERT_NE(found, nullptr) << button.toStdString();
            found->click();
        };
    }
    // The title bar's close button, through the window manager.
    Step CloseByTitleBar(const QString& window) {
        return {window, [this](QWidget* shown) { view_.CloseByTitleBar(shown->winId()); }, true};
    }
    Step Exit() { return OnMain(Trigger("mnuExit")); }

    TempDir dir_;
    KoraInstallation station_;
    std::vector<std::unique_ptr<ScopedEnv>> environment_;
    DesktopView view_;
};

TEST_F(WindowsOnScreenTest, EveryMenuItemsWindow) {
    const struct {
        const char* item;
        const char* window;
    } items[] = {
        {"mnuOptions", "frmLogImportSettings"},
        {"mnuFileLocations", "frmFileLocations"},
        {"mnuDatabaseSettings", "frmKORADatabaseSettings"},
        {"mnuUpdateInfo", "frmPrintPreview"},
        {"mnuAbout", "frmSplash"},
        {"mnuPreviewImport", "frmPrintPreview"},
        {"mnuRemoveRange", "MessageBox"},
        {"mnuRemoveAll", "MessageBox"},
        {"mnuReSendLog", "MessageBox"},
        {"mnuSongsEmptyLibrary", "MessageBox"},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.item);
        Run("KORA26.MDB", {OnMain(Trigger(item.item)), CloseByTitleBar(item.window), Exit()});
    }
}

TEST_F(WindowsOnScreenTest, TheRangePickersAndTheImportsReport) {
    Run("KORA26.MDB", {OnMain(Click("cmdASStart")), CloseByTitleBar("frmSelectHour"),
                       OnMain(Click("cmdASEnd")), CloseByTitleBar("frmSelectHour"),
                       OnMain(Click("cmdSchedule")), CloseByTitleBar("frmPrintPreview"),
                       CloseByTitleBar("frmLogImport")});
}

// Each Browse of the settings dialog shows the cart browser at the top right of the screen,
// again and again; the browser's Find opens the find dialog.
TEST_F(WindowsOnScreenTest, TheCartBrowserFromEveryBrowseAndItsFindDialog) {
    std::vector<Step> steps{OnMain(Trigger("mnuOptions"))};
    for (const char* range : {"Jingles", "Sweepers", "Songs", "CartGroups", "Adverts"}) {
        for (const char* end : {"Start", "End"}) {
            steps.push_back({"frmLogImportSettings", Click(QString("cmd") + range + end)});
            steps.push_back(CloseByTitleBar("frmCartBrowser"));
        }
    }
    steps.push_back({"frmLogImportSettings", Click("cmdJinglesStart")});
    steps.push_back({"frmCartBrowser", Click("cmdFindCart")});
    steps.push_back(CloseByTitleBar("frmFindCart"));
    steps.push_back(CloseByTitleBar("frmCartBrowser"));
    steps.push_back(CloseByTitleBar("frmLogImportSettings"));
    steps.push_back(Exit());
    Run("KORA26.MDB", steps);
}

// Each Browse of the file locations window and of the playout settings editor shows the
// folder picker.
TEST_F(WindowsOnScreenTest, TheFolderPickerFromEveryBrowse) {
    std::vector<Step> steps{OnMain(Trigger("mnuFileLocations"))};
    steps.push_back({"frmFileLocations", [](QWidget* window) {
                         auto* one = window->findChild<QCheckBox*>("chkUseOneCartLocation");
                         if (one->isChecked()) one->click();
                     }});
    for (int row = 1; row <= 11; ++row) {
        steps.push_back(
            {"frmFileLocations", Click(QString("cmdChangeCartLocation(%1)").arg(row))});
        steps.push_back(CloseByTitleBar("Selector"));
    }
    steps.push_back({"frmFileLocations", Click("cmdChangeDataLoc")});
    steps.push_back(CloseByTitleBar("Selector"));
    steps.push_back(CloseByTitleBar("frmFileLocations"));
    steps.push_back(OnMain(Trigger("mnuDatabaseSettings")));
    for (const char* browse : {"cmdBrowseMusicLogsPath", "cmdBrowseAdvertsLogPath"}) {
        steps.push_back({"frmKORADatabaseSettings", Click(browse)});
        steps.push_back(CloseByTitleBar("Selector"));
    }
    steps.push_back(CloseByTitleBar("frmKORADatabaseSettings"));
    steps.push_back(Exit());
    Run("KORA26.MDB", steps);
}

// Without a database named the start-up shows the database chooser.
TEST_F(WindowsOnScreenTest, TheDatabaseChooserAtStartUp) {
    Run("", {{"frmChooseDatabase",
              [](QWidget* chooser) {
                  auto* list = chooser->findChild<QListWidget*>("lViewDatabasesIcons");
                  ASSERT_TRUE(QTest::qWaitFor([list] { return list->count() > 0; }));
                  list->setCurrentRow(0);
                  chooser->findChild<QPushButton*>("cmdOK")->click();
              }},
             CloseByTitleBar("frmLogImport")});
}

}  // namespace
}  // namespace vantor::testing
