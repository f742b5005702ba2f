#pragma once
// The splash and about window, frmSplash: the product, the maker, the platform, the version,
// the logo and the start-up status line. During start-up it has no frame and no button; as
// the About window it has a caption and an OK button.

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace vantor::gui {

class SplashWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Splash, About };
    SplashWindow(Mode mode, QWidget* owner);

    // The start-up status line (lblCurrentAction), drawn at once.
    void SetCurrentAction(const std::string& text);
    // Keeps the window above the others (while the program starts), or not.
    void SetFloating(bool floating);

    // The logo: LOGO.BMP from the program's directory when it is there and not empty,
    // otherwise the built-in picture.
    static QPixmap Logo();

  private:
    QLabel* currentAction_;
};

}  // namespace vantor::gui
