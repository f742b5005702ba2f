#pragma once
// The "Kora Database Settings" window (frmKORADatabaseSettings): seven tabs over the playout
// settings editor model. The window only shows the model's state and forwards what the operator
// does; the model decides what is shown, enabled, refused and saved.
//
// Opening it for a database, as the main window does:
//   PlayoutSettingsEditorModel model(session);  // "Select" opens session.dialogs' chooser
//   RunPlayoutSettingsEditor(model, session.PlayoutStore(), fileName, parent);

#include <QDialog>
#include <array>
#include <string>

#include "dbmanage/playout_settings_editor_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace vantor::gui {

class PlayoutSettingsEditor : public QDialog {
    Q_OBJECT
  public:
    using Model = PlayoutSettingsEditorModel;

    PlayoutSettingsEditor(Model& model, QWidget* parent = nullptr);
    ~PlayoutSettingsEditor() override;

    // lblDatabasename: setting it loads the window.
    void SetDatabasePath(const std::string& path);
    void SetDatabase(const DatabaseStore& store, const std::string& name);

    // Copies the model's state into the widgets.
    void Refresh();

    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct ColourWidgets {
        QLabel* panel = nullptr;         // the sample
        QPushButton* button = nullptr;   // its "Change ..." button
        bool foreground = false;         // the slot colours the sample's text
        bool buttonShowsColour = false;  // the entry kinds show their colour on the button too
    };

    QWidget* BuildGeneralTab();
    QWidget* BuildKaeTab();
    QWidget* BuildLogEntriesTab();
    QWidget* BuildLogLayoutTab();
    QWidget* BuildGeneralColoursTab();
    QWidget* BuildStationControlTab();
    QWidget* BuildLogImportTab();

    QLineEdit* MakeText(Model::Text field, bool number = false);
    QComboBox* MakeDateFormat(Model::Text field);
    QCheckBox* MakeCheck(Model::Check box, const QString& text);
    QComboBox* MakeList(Model::List list);
    QLabel* MakeLabel(const QString& name, const QString& text, bool wrap = false);
    QPushButton* MakeButton(const QString& name, const QString& text);
    void BindColour(Model::ColourSlot slot, QLabel* panel, QPushButton* button, bool foreground,
                    bool buttonShowsColour);

    void ChooseColour(Model::ColourSlot slot);
    void ChooseFont();
    void ChooseAudioFormat();
    void PressOK();
    void ShowDatabaseName();
    // The colour a slot holds as this window's palette draws it.
    QColor SlotColour(Model::ColourSlot slot) const;

    Model& model_;
    QTabWidget* tabs_ = nullptr;
    QLabel* databaseName_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QRadioButton* fadeEach_ = nullptr;
    QRadioButton* fadeLast_ = nullptr;
    QLabel* audioFormat_ = nullptr;
    QLabel* logPreview_ = nullptr;
    QLabel* musicSample_ = nullptr;
    QLabel* advertSample_ = nullptr;
    QLabel* musicLastSent_ = nullptr;
    QLabel* clientDescription_ = nullptr;
    QPushButton* selectClient_ = nullptr;
    QLabel* percent_ = nullptr;
    QLabel* fadeEachText_ = nullptr;
    QLabel* maxFadeText_ = nullptr;
    QLabel* computerLabel_ = nullptr;
    QLabel* nextCountLabel_ = nullptr;
    QLabel* portLabel_ = nullptr;
    std::array<QLineEdit*, Model::kTextCount> texts_{};
    std::array<QComboBox*, Model::kTextCount> textCombos_{};
    std::array<QCheckBox*, Model::kCheckCount> checks_{};
    std::array<QComboBox*, Model::kListCount> lists_{};
    std::array<ColourWidgets, Model::kColourCount> colours_{};
};

// Shows the window modally for the playout database at databasePath (data location +
// "\SCHEDULE\" + file name), as the main window's "&Kora Database Settings" does; the database
// is closed again when it returns. True when the settings were saved.
bool RunPlayoutSettingsEditor(PlayoutSettingsEditorModel& model, const std::string& databasePath,
                              QWidget* parent);
// The same for the database name of store (a file of the data location, or one on the server).
bool RunPlayoutSettingsEditor(PlayoutSettingsEditorModel& model, const DatabaseStore& store,
                              const std::string& name, QWidget* parent);

}  // namespace vantor::gui
