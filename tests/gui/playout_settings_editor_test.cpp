#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "gui_test_support.h"
#include "playout_settings_editor.h"
#include "support/settings_editor_station.h"
#include "wave_format_dialog.h"

namespace vantor {
namespace {

using gui::PlayoutSettingsEditor;
using testing::SettingsEditorStation;
using Model = PlayoutSettingsEditorModel;

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    // Kept until the process ends: destroying it among the other statics at exit is not safe.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

std::map<std::string, std::string> Changed(const std::map<std::string, std::string>& before,
                                           const std::map<std::string, std::string>& after) {
    std::map<std::string, std::string> changed;
    for (const auto& [key, value] : after) {
        auto old = before.find(key);
        if (old == before.end() || old->second != value) changed[key] = value;
    }
    for (const auto& [key, value] : before)
        if (!after.count(key)) changed[key] = "<removed>";
    return changed;
}

class SettingsEditorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        // A first save stores every key the editor always writes, so that the rows a window
        // save changes are exactly the ones the operator changed.
        Model first(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
        first.Load(env_.station.databasePath);
        ASSERT_TRUE(first.OK());
        first.Unload();
        before_ = env_.Rows();
        env_.ui.Clear();
    }

    // The window as the main window shows it, loaded with the station's database.
    void Open() {
        window_.reset();
        model_ = std::make_unique<Model>(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
        window_ = std::make_unique<PlayoutSettingsEditor>(*model_);
        window_->SetDatabasePath(env_.station.databasePath);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    template <typename T>
    T* Find(const char* name) {
        T* widget = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void ShowTab(const QString& caption) {
        auto* tabs = Find<QTabWidget>("tbsKORA");
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i) != caption) continue;
            QTabBar* bar = tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            ASSERT_EQ(tabs->currentIndex(), i);
            return;
        }
        FAIL() << "no tab " << caption.toStdString();
    }
    void Retype(const char* name, const char* keys) {
        auto* edit = Find<QLineEdit>(name);
        ASSERT_TRUE(edit->isVisible()) << name;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromLatin1(keys));
    }
    void Click(const char* name) {
        auto* button = Find<QAbstractButton>(name);
        ASSERT_TRUE(button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    SettingsEditorStation env_;
    std::map<std::string, std::string> before_;
    std::unique_ptr<Model> model_;
    std::unique_ptr<PlayoutSettingsEditor> window_;
};

TEST_F(SettingsEditorWindowTest, ChangesOnThreeTabsSaveThoseRowsAndNothingElse) {
    Open();
    EXPECT_EQ(window_->objectName(), "frmKORADatabaseSettings");
    EXPECT_EQ(window_->windowTitle(), "Kora Database Settings");
    EXPECT_EQ(Find<QTabWidget>("tbsKORA")->count(), 7);
    EXPECT_EQ(gui::testing::ButtonsDeafToReturn(window_.get()).join(", ").toStdString(), "");

    ShowTab("KAE Settings");
    Retype("txtPrecueTime", "2x5");  // the letter is swallowed
    EXPECT_EQ(Find<QLineEdit>("txtPrecueTime")->text(), "25");

    ShowTab("General");
    auto* sweeper = Find<QComboBox>("listSweeperStyle");
    sweeper->setFocus();
    QTest::keyClick(sweeper, Qt::Key_End);
    EXPECT_EQ(sweeper->currentText(), "Dry");

    ShowTab("Ads/Log Import");
    Click("chkUseCartRanges");
    Retype("txtMusicFilenamePrefix", "ST");
    EXPECT_EQ(Find<QLabel>("lblMusicSampleFilename")->text(), " ST240315.LOG");

    Click("cmdOK");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Accepted);
    EXPECT_EQ(env_.ui.MessageTexts(), std::vector<std::string>{});
    std::map<std::string, std::string> expected = {{"KORA.PreCueTime", "25"},
                                                   {"KORA.SweeperMode", "2"},
                                                   {"MUSIC.UseCartRanges", "1"},
                                                   {"MUSIC.FilenamePrefix", "ST"}};
    EXPECT_EQ(Changed(before_, env_.Rows()), expected);
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved).size(), 2u);
}

TEST_F(SettingsEditorWindowTest, CancelAndEscapeChangeNothing) {
    Open();
    ShowTab("KAE Settings");
    Retype("txtPrecueTime", "33");
    Click("cmdCancel");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Rejected);
    EXPECT_TRUE(model_->IsClosed());

    Open();
    ShowTab("Ads/Log Import");
    Retype("txtAdvertFilenamePrefix", "AD");
    QTest::keyClick(Find<QLineEdit>("txtAdvertFilenamePrefix"), Qt::Key_Escape);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Rejected);

    // Return on Cancel once Tab has brought the focus there: Cancel, not the default OK.
    Open();
    ShowTab("Ads/Log Import");
    Retype("txtAdvertFilenamePrefix", "AD");
    auto* cancel = Find<QPushButton>("cmdCancel");
    cancel->setFocus(Qt::TabFocusReason);
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Rejected);

    EXPECT_EQ(Changed(before_, env_.Rows()), (std::map<std::string, std::string>{}));
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved).size(), 1u);
}

TEST_F(SettingsEditorWindowTest, RefusedOkKeepsTheWindowAndShowsTheBox) {
    Open();
    Retype("txtSegPreviewLength", "301");
    ShowTab("KVL/Plexo");
    Click("cmdOK");
    EXPECT_TRUE(window_->isVisible());
    ASSERT_EQ(env_.ui.messages.size(), 1u);
    EXPECT_EQ(env_.ui.messages[0].request.text,
              "You can only set from 1 to 300 seconds for the number of seconds to hear when "
              "using the segue editor");
    EXPECT_EQ(Find<QTabWidget>("tbsKORA")->tabText(Find<QTabWidget>("tbsKORA")->currentIndex()),
              "General");
    EXPECT_EQ(Changed(before_, env_.Rows()), (std::map<std::string, std::string>{}));
}

TEST_F(SettingsEditorWindowTest, EnableRulesFollowTheControls) {
    Open();
    ShowTab("KVL/Plexo");
    auto* controller = Find<QComboBox>("comboStationControl");
    EXPECT_EQ(controller->currentText(), "There is no computer to connect to.");
    EXPECT_FALSE(Find<QLineEdit>("txtStationControlComputer")->isEnabled());
    EXPECT_FALSE(Find<QComboBox>("comboStationControlPort")->isEnabled());
    controller->setFocus();
    QTest::keyClick(controller, Qt::Key_Down);
    EXPECT_EQ(controller->currentIndex(), 1);
    EXPECT_TRUE(Find<QLineEdit>("txtStationControlComputer")->isEnabled());
    EXPECT_TRUE(Find<QComboBox>("comboStationControlPort")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkWaitSplitReturn")->isEnabled());
    QTest::keyClick(controller, Qt::Key_Down);
    EXPECT_FALSE(Find<QComboBox>("comboStationControlPort")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("chkWaitSplitReturn")->isEnabled());

    ShowTab("KAE Settings");
    EXPECT_TRUE(Find<QLineEdit>("txtRestartSeconds")->isEnabled());
    Click("chkAutoRestart");
    EXPECT_FALSE(Find<QLineEdit>("txtRestartSeconds")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("txtMaxFadeTime")->isEnabled());
    Click("optFadeLast");
    EXPECT_TRUE(Find<QLineEdit>("txtMaxFadeTime")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("txtFadeEachTime")->isEnabled());
}

TEST_F(SettingsEditorWindowTest, ColourFontAndFormatDialogsStartOnTheCurrentValues) {
    Open();
    ShowTab("Log Entries");
    QColor seen;
    testing::WhenModal({}, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = dialog->currentColor();
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    Click("cmdSongsColour");
    EXPECT_EQ(seen, QColor(0xFA, 0xB4, 0xB4));  // the default 11842810
    EXPECT_EQ(model_->GetColour(Model::ColourSlot::Songs), DisplayColour::Rgb(10, 20, 30));
    EXPECT_TRUE(Find<QPushButton>("cmdSongsColour")->styleSheet().contains("#0a141e"));

    testing::WhenModal({}, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Click("cmdCartsColour");
    EXPECT_EQ(model_->GetColour(Model::ColourSlot::Carts), DisplayColour::Rgb(0xCF, 0xFF, 0xCF));

    ShowTab("Log Layout");
    QFont start;
    testing::WhenModal({}, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFontDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        start = dialog->currentFont();
        QFont font = start;
        font.setStrikeOut(true);
        font.setUnderline(true);
        font.setPointSize(16);
        dialog->setCurrentFont(font);
        dialog->accept();
    });
    Click("cmdSelectLogFont");
    EXPECT_TRUE(start.bold());
    EXPECT_EQ(start.pointSize(), 12);
    EXPECT_TRUE(model_->GetLogFont().strikeout);
    EXPECT_TRUE(model_->GetLogFont().underline);
    EXPECT_EQ(model_->GetLogFont().size, 16);

    ShowTab("General");
    testing::WhenModal({}, [](QWidget* modal) {
        auto* dialog = qobject_cast<gui::WaveFormatDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(gui::testing::NeedlessFrameButtons(dialog).join(", ").toStdString(), "");
        EXPECT_EQ(gui::testing::ButtonsDeafToReturn(dialog).join(", ").toStdString(), "");
        auto* tag = dialog->findChild<QComboBox*>("cboFormatTag");
        EXPECT_EQ(tag->currentText(), "PCM");
        tag->setCurrentIndex(tag->findText("GSM 6.10"));
        emit tag->activated(tag->currentIndex());
        dialog->accept();
    });
    Click("cmdSelectAudioFormat");
    EXPECT_EQ(Find<QLabel>("lblAudioFormat")->text(), "GSM 6.10 44.100 kHz, Mono ");

    Click("cmdOK");
    auto changed = Changed(before_, env_.Rows());
    EXPECT_EQ(changed["SONGS.Colour"], std::to_string(10 + 20 * 256 + 30 * 65536));
    EXPECT_EQ(changed["SEGUE.VoiceLinkFormat"], "49");
    EXPECT_EQ(changed["SEGUE.VoiceLinkChannels"], "1");
    EXPECT_EQ(changed.count("CARTS.Colour"), 0u);
}

TEST_F(SettingsEditorWindowTest, ScreenReadersTellTheFieldsApart) {
    Open();
    EXPECT_EQ(gui::testing::ControlsWithoutTheirOwnName(window_.get()).join("; ").toStdString(), "");
    // A field inside a sentence is announced by what it holds, not by its frame's caption.
    const std::pair<const char*, const char*> fields[] = {
        {"txtSegPreviewLength", "Seconds of the previous cart to play"},
        {"txtVoiceLinkStartCart", "First cart for new voice links"},
        {"txtPrecueTime", "Seconds remaining when the next item is cued"},
    };
    for (const auto& [name, spoken] : fields)
        EXPECT_EQ(gui::testing::AccessibleName(Find<QWidget>(name)), spoken) << name;
    EXPECT_EQ(gui::testing::AccessibleName(Find<QComboBox>("comboMusicFilenameFormat")->lineEdit()),
              "Song and jingle log filename date format");
}

TEST_F(SettingsEditorWindowTest, RunShowsTheWindowModallyAndTellsWhetherItSaved) {
    Model model(env_.ui, env_.ui, env_.clock, env_.users, env_.Context());
    testing::WhenModal("frmKORADatabaseSettings", [](QWidget* modal) {
        EXPECT_EQ(gui::testing::NeedlessFrameButtons(modal).join(", ").toStdString(), "");
        auto* ok = modal->findChild<QPushButton*>("cmdOK");
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(8, ok->height() / 2));
    });
    EXPECT_TRUE(gui::RunPlayoutSettingsEditor(model, env_.station.databasePath, nullptr));
    testing::WhenModal({}, [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_FALSE(gui::RunPlayoutSettingsEditor(model, env_.station.databasePath, nullptr));
    EXPECT_EQ(env_.HistoryStatuses(history::kPlayoutSettingsSaved).size(), 2u);
}

}  // namespace
}  // namespace vantor
