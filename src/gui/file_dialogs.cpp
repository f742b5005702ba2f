#include "file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "common/paths.h"
#include "qt_text.h"

namespace vantor::gui {

QString QtFilterOf(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
    return filters.join(";;");
}

namespace {

// The dialogs are Qt's own everywhere, so that they look and behave the same on every desktop
// and under the display server the pictures are taken with.
void Prepare(QFileDialog& dialog, const std::string& title) {
    dialog.setObjectName("Selector");
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(Q(title));
}

}  // namespace

std::optional<std::string> ChooseFile(QWidget* owner, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner);
    Prepare(dialog, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filter.empty()) dialog.setNameFilters(QtFilterOf(request.filter).split(";;"));
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(Q(request.defaultExtension));
    if (!request.initialDirectory.empty())
        dialog.setDirectory(Q(ResolvePath(NativePath(request.initialDirectory))));
    if (!request.defaultName.empty()) dialog.selectFile(Q(request.defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return S(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                        const std::string& startFolder) {
    QFileDialog dialog(owner);
    Prepare(dialog, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!startFolder.empty()) dialog.setDirectory(Q(ResolvePath(NativePath(startFolder))));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return S(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

}  // namespace vantor::gui
