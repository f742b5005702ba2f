#pragma once
// The text file viewer, frmPrintPreview: one file's text (the import's error report, the
// update notes), optionally beside a list of the files of a folder, with "&Save" and "&Print".
// A missing or empty file shows an empty page, without a message.

#include <QDialog>
#include <optional>
#include <string>

class QListWidget;
class QPushButton;
class QTextEdit;

namespace vantor {
class UserInterface;
}

namespace vantor::gui {

class TextFileViewer : public QDialog {
    Q_OBJECT
  public:
    TextFileViewer(UserInterface& ui, QWidget* owner);

    // The file shown when the viewer is shown.
    void SetDisplayFileName(const std::string& path) { displayFileName_ = path; }
    // A text the program made, shown instead of a file (a preview; nothing is on disk).
    void SetDisplayText(const std::string& text) { displayText_ = text; }
    const std::string& DisplayFileName() const { return displayFileName_; }
    // Loads a file into the text box now.
    void LoadFile(const std::string& path);
    // Lists the files of a folder with an extension on the left; choosing one shows it.
    void DisplayFolder(const std::string& folder, const std::string& extension);
    void HideFolder();
    // Keeps the viewer above other windows, or not.
    void SetFloater(bool floating);

    void Save();
    void Print();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void WidenForLongestLine();

    UserInterface& ui_;
    std::string displayFileName_;
    std::optional<std::string> displayText_;
    std::string folder_, extension_;
    QTextEdit* text_;
    QListWidget* files_;
    QPushButton* save_;
    QPushButton* print_;
    QPushButton* done_;
};

}  // namespace vantor::gui
