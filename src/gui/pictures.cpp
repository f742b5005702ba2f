#include "pictures.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// The pictures live in the gui library, which a program links statically: they are
// registered on first use rather than by a static initialiser the linker may drop.
static void RegisterPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)registered;
}

namespace vantor::gui {

namespace {

QPixmap Render(const QString& resource, int size) {
    RegisterPictures();
    if (!QFile::exists(resource)) return {};
    QSvgRenderer renderer(resource);
    if (!renderer.isValid()) return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

}  // namespace

QPixmap DatabaseIcon(const std::string& tagWord, int size) {
    if (tagWord.empty()) return {};
    return Render(QStringLiteral(":/pictures/database_%1.svg").arg(QString::fromStdString(tagWord)),
                  size);
}

QPixmap PadlockPicture(const std::string& key, int size) {
    return Render(QStringLiteral(":/pictures/padlock_%1.svg").arg(QString::fromStdString(key)),
                  size);
}

}  // namespace vantor::gui
