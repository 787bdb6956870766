#pragma once
// The program's pictures, drawn in code: toolbar and tree icons, the splash banners, the About
// background and the navigation ball.
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

namespace artwork {

enum class Tool { New, Open, Save, Cut, Copy, Paste, Graph, Calculation, Protocol, Help };
QIcon toolIcon(Tool tool);

// Tree images 1..8: root, data file, series, graph, calculation, protocol, info, info leaf.
QIcon treeIcon(int image);

// The data browser's toolbar: "createctd", "creatects", "openctd", "opencts".
QIcon browserIcon(const QString& key);

QIcon applicationIcon();

// The splash banner, 552 x 212 pixels: picture A (day colours) or B (the same scene at dusk).
QImage splashBanner(bool variantB);

// The About window's background.
QImage aboutBackground(QSize size);

// The navigation ball: 0 normal, 1 up, 2 down, 3 left, 4 right (the hovered arrow lit).
QImage naviball(int look, QSize size);

}  // namespace artwork
