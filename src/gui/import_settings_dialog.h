#pragma once
// The "Log Import Settings:" dialog bound to LogImportSettingsModel. Not modal: the operator
// may keep it open beside the main window; its Browse buttons open the cart browser.

#include <QDialog>
#include <array>

#include "importer/import_settings_dialog_model.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace vantor::gui {

class ImportSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ImportSettingsDialog(LogImportSettingsModel& model, QWidget* parent = nullptr);

    LogImportSettingsModel& model() { return model_; }
    // Reloads the stored settings into the fields and shows the dialog.
    void Open();
    void Refresh();

    // One frame of the "Cart Ranges:" tab: its start and end fields with their Browse buttons.
    struct RangeFrame;

  protected:
    void reject() override;

  private:
    using Field = LogImportSettingsModel::Field;
    QLineEdit* FieldEdit(Field field) const { return fields_[static_cast<size_t>(field)]; }
    // The twelve fields, made first: the tabs place them.
    void BuildFields();
    QWidget* BuildGeneralTab();
    QWidget* BuildCartRangesTab();
    QGroupBox* BuildRangeFrame(const RangeFrame& frame, QWidget* tab);
    void BuildButtons(QVBoxLayout* layout);

    LogImportSettingsModel& model_;
    QTabWidget* tbsOptions_ = nullptr;
    QCheckBox* chkUsersMustLogin_ = nullptr;
    std::array<QLineEdit*, LogImportSettingsModel::kFieldCount> fields_{};
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool refreshing_ = false;
    bool browsing_ = false;  // a Browse waits for the cart browser
};

}  // namespace vantor::gui
