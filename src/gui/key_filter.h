#pragma once
// Lets a text field take only the characters a model's key filter passes: a typed character
// the filter turns into 0 is swallowed, while keys that type nothing (arrows, Tab, Enter) and
// shortcuts work as usual.

#include <QObject>

class QWidget;

namespace vantor::gui {

using KeyFilterFunction = int (*)(int keyCode);

class KeyFilter : public QObject {
  public:
    KeyFilter(KeyFilterFunction filter, QObject* parent) : QObject(parent), filter_(filter) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    KeyFilterFunction filter_;
};

// Installs a filter that lives as long as the field.
void FilterKeys(QWidget* field, KeyFilterFunction filter);

}  // namespace vantor::gui
