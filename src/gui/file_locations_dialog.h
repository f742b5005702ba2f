#pragma once
// The "Vantor File Locations" dialog bound to FileLocationsModel: the directory of each of the
// eleven Audiowall parts and the data directory. Modal; Esc closes it without storing.

#include <QDialog>
#include <array>

#include "config/file_locations_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor::gui {

class FileLocationsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FileLocationsDialog(FileLocationsModel& model, QWidget* parent = nullptr);

    FileLocationsModel& model() { return model_; }
    void Refresh();

  protected:
    void changeEvent(QEvent* event) override;
    void reject() override;

  private:
    static constexpr int kRows = FileLocationsModel::kRows;

    FileLocationsModel& model_;
    QCheckBox* chkUseOneCartLocation_ = nullptr;
    std::array<QLabel*, kRows> labels_{};
    std::array<QLineEdit*, kRows> txtCartLocations_{};
    std::array<QPushButton*, kRows> cmdChangeCartLocation_{};
    QLineEdit* txtDataLocation_ = nullptr;
    QPushButton* cmdChangeDataLoc_ = nullptr;
    QPushButton* cmdDone_ = nullptr;
    bool refreshing_ = false;
};

// Shows the dialog modally over parent, filled from the values in memory; returns true when OK
// stored the locations, false when Esc closed it.
bool RunFileLocationsDialog(FileLocationsModel& model, QWidget* parent = nullptr);

}  // namespace vantor::gui
