#pragma once
#include <QIcon>
#include <QImage>

namespace resources {

// The program's own pictures by name ("qorcofra", "new", "open", "save",
// "locked", "unlocked", "bold", "italic", "underline", "strike", "hint",
// "copy"). An unknown name gives a null image or icon.
QImage iconImage(const QString& name);
QIcon icon(const QString& name);

} // namespace resources
