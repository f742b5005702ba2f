#include "display_colour.h"

namespace vantor::gui {

QColor ToQColor(const DisplayColour& colour, const QPalette& palette) {
    if (!colour.isSystem) return QColor(colour.red, colour.green, colour.blue);
    switch (colour.system) {
        case SystemColour::Window:
            return palette.color(QPalette::Base);
        case SystemColour::WindowText:
        case SystemColour::MenuText:
            return palette.color(QPalette::Text);
        case SystemColour::Highlight:
        case SystemColour::ActiveCaption:
        case SystemColour::ActiveBorder:
            return palette.color(QPalette::Highlight);
        case SystemColour::HighlightText:
        case SystemColour::CaptionText:
            return palette.color(QPalette::HighlightedText);
        case SystemColour::ButtonText:
            return palette.color(QPalette::ButtonText);
        case SystemColour::GrayText:
        case SystemColour::InactiveCaptionText:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case SystemColour::ButtonShadow:
            return palette.color(QPalette::Dark);
        case SystemColour::DarkShadow3D:
            return palette.color(QPalette::Shadow);
        case SystemColour::ButtonHighlight:
        case SystemColour::Light3D:
            return palette.color(QPalette::Light);
        case SystemColour::InfoText:
            return palette.color(QPalette::ToolTipText);
        case SystemColour::InfoBackground:
            return palette.color(QPalette::ToolTipBase);
        case SystemColour::WindowFrame:
            return palette.color(QPalette::WindowText);
        case SystemColour::ScrollBar:
        case SystemColour::Desktop:
        case SystemColour::InactiveCaption:
        case SystemColour::Menu:
        case SystemColour::InactiveBorder:
        case SystemColour::AppWorkspace:
            return palette.color(QPalette::Window);
        case SystemColour::ButtonFace:
            break;
    }
    return palette.color(QPalette::Button);
}

}  // namespace vantor::gui
