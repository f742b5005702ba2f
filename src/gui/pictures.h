#pragma once
// The program's own pictures: the icon of each kind of database, as the database chooser
// shows them, and the padlock of the login windows. They are drawn as SVG resources, so one
// drawing serves every size.

#include <QPixmap>
#include <string>

namespace vantor::gui {

// The icon of a kind of database by its tag word ("kora", "adverts", "rotaplan",
// "rotaplanv3", "legacy"); a null pixmap for a kind without one.
QPixmap DatabaseIcon(const std::string& tagWord, int size);

// The padlock by its key: "locked1", "locked2" or "unlocked".
QPixmap PadlockPicture(const std::string& key, int size);

}  // namespace vantor::gui
