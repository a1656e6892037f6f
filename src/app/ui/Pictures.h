#pragma once

#include <QPixmap>

#include <array>

// Every picture of the main window is drawn here by the program.
namespace Pictures {
// Start and Stop buttons, 133 x 65: normal, hovered, pressed.
std::array<QPixmap, 3> StartButton();
std::array<QPixmap, 3> StopButton();
// The start picture that covers the task tree until a folder is opened.
QPixmap StartBackground(const QSize &size);
// Margin strips and the panel behind the Start/Stop pictures.
QPixmap MarginStrip(const QSize &size, bool vertical);
QPixmap PanelBackground(const QSize &size);
// The strip under the preview (track bar and buttons).
QPixmap PreviewButtonStrip(const QSize &size);
// Tile of the task tree's header, 16 x 17.
QPixmap HeaderTile();
// Images of the tree: 0 title, 1 chapter.
QPixmap TitleIcon();
QPixmap ChapterIcon();
// Small glyphs of the tool buttons.
QPixmap Glyph(const QString &name);
} // namespace Pictures
