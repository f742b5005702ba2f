#include "padlock_dialog_layout.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "padlock_view.h"

namespace vantor::gui {

PadlockDialogParts LayOutPadlockDialog(QDialog* window, const QString& prompt, QLayout* boxes,
                                       const char* okName, const char* cancelName) {
    auto* outer = new QVBoxLayout(window);
    auto* promptLabel = new QLabel(prompt, window);
    promptLabel->setObjectName("lblPrompt");
    outer->addWidget(promptLabel);

    auto* body = new QHBoxLayout;
    auto* padlock = new PadlockView(window);
    body->addWidget(padlock, 0, Qt::AlignTop);
    body->addLayout(boxes, 1);
    outer->addLayout(body);

    const OkCancelButtons buttons = AddOkCancelRow(outer, window, okName, cancelName);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    return {padlock, buttons};
}

}  // namespace vantor::gui
