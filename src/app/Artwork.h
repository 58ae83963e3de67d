#pragma once
// Our own generated pictures, made once and shared by every window that shows them.
#include <QIcon>
#include <QImage>

const QImage& SourceBackground();  // 160 x 120, blue to black
const QImage& SourceButtonFace();  // 320 x 240, a blue gradient
const QImage& DestBackground();    // 160 x 120, red to near black
const QImage& DestButtonFace();    // 320 x 240, cyan-blue to pure blue
const QImage& AppIconImage();      // 32 x 32, 16 colours: TileIcon(32)
QImage TileIcon(int size);         // the icon's design at size x size (a multiple of 4), 16 colours
QIcon AppIcon();
