#pragma once
// The format-choice dialog of the voice-link recording: a format tag from the catalogue, its
// channel count and its sample rate, with the description of the format chosen.

#include <QDialog>

#include "dbmanage/wave_formats.h"

class QComboBox;
class QLabel;

namespace vantor::gui {

class WaveFormatDialog : public QDialog {
    Q_OBJECT
  public:
    WaveFormatDialog(const WaveFormat& initial, QWidget* parent);

    WaveFormat Chosen() const { return chosen_; }

  private:
    void FillChoices();
    void TakeChoice();

    QComboBox* tags_;
    QComboBox* channels_;
    QComboBox* rates_;
    QLabel* description_;
    WaveFormat chosen_;
};

}  // namespace vantor::gui
