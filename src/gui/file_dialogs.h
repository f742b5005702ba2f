#pragma once
// The seam's file-open, file-save and folder pickers on the desktop.

#include <QString>
#include <optional>
#include <string>

#include "common/user_interface.h"

class QWidget;

namespace vantor::gui {

// "Kora Databases|*.MDB|All Files|*.*" as Qt writes filters:
// "Kora Databases (*.MDB);;All Files (*.*)".
QString QtFilterOf(const std::string& filter);

std::optional<std::string> ChooseFile(QWidget* owner, const FileDialogRequest& request, bool save);
std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                        const std::string& startFolder);

}  // namespace vantor::gui
