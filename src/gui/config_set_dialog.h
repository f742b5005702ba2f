#pragma once
// "Which configuration set do you want to use?": the installation's configuration sets, each
// with its display name and a picture of where its data lives (a local drive, a network share,
// a network drive), bound to ConfigSetModel. Shown modally at start-up.

#include <QDialog>

#include "config/config_set_model.h"

class QListWidget;
class QPushButton;

namespace vantor::gui {

class ConfigSetDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ConfigSetDialog(ConfigSetModel& model, QWidget* parent = nullptr);

    ConfigSetModel& model() { return model_; }
    void Refresh();

    // The picture of an icon key of the model ("localdrive", "network", "networkdrive").
    static QIcon SetIcon(const std::string& key);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    ConfigSetModel& model_;
    QListWidget* lvwConfigs_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool refreshing_ = false;
};

// Shows the dialog modally over parent with the list the model loaded; returns true when a set
// was chosen (the model's ConfigFile), false when the choice was cancelled.
bool RunConfigSetDialog(ConfigSetModel& model, QWidget* parent = nullptr);

}  // namespace vantor::gui
