#include "dialog_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace vantor::gui {

OkCancelButtons AddOkCancelRow(QBoxLayout* layout, QWidget* dialog, const char* okName,
                               const char* cancelName) {
    auto* ok = new QPushButton("OK", dialog);
    ok->setObjectName(okName);
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", dialog);
    cancel->setObjectName(cancelName);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    return {ok, cancel};
}

}  // namespace vantor::gui
