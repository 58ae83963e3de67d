#include "fuzz/BmpEncoder.h"

#include <QtEndian>

namespace fuzz {

namespace {
void Put8(QByteArray& d, int v) { d.append(char(v)); }
void Put16(QByteArray& d, quint16 v) {
  char b[2];
  qToLittleEndian(v, b);
  d.append(b, 2);
}
void Put32(QByteArray& d, quint32 v) {
  char b[4];
  qToLittleEndian(v, b);
  d.append(b, 4);
}

int Depth(BmpLayout layout) {
  switch (layout) {
    case BmpLayout::Pal1: return 1;
    case BmpLayout::Pal4:
    case BmpLayout::Rle4: return 4;
    case BmpLayout::Pal8:
    case BmpLayout::Rle8: return 8;
    case BmpLayout::Rgb555:
    case BmpLayout::Rgb565Fields: return 16;
    case BmpLayout::Rgb24:
    case BmpLayout::Rgb24TopDown: return 24;
    case BmpLayout::Rgb32:
    case BmpLayout::Rgb32Fields: break;
  }
  return 32;
}

quint32 Compression(BmpLayout layout) {
  switch (layout) {
    case BmpLayout::Rle8: return 1;
    case BmpLayout::Rle4: return 2;
    case BmpLayout::Rgb565Fields:
    case BmpLayout::Rgb32Fields: return 3;
    default: return 0;
  }
}

// One uncompressed row: indices packed high bits first, or BGR channels.
QByteArray Row(const QImage& p, int y, BmpLayout layout) {
  QByteArray d;
  const int depth = Depth(layout);
  if (depth <= 8) {
    int acc = 0, used = 0;
    for (int x = 0; x < p.width(); ++x) {
      acc = acc << depth | p.pixelIndex(x, y);
      used += depth;
      if (used == 8) Put8(d, acc), acc = 0, used = 0;
    }
    if (used) Put8(d, acc << (8 - used));
  } else {
    for (int x = 0; x < p.width(); ++x) {
      const QRgb c = p.pixel(x, y);
      const int r = qRed(c), g = qGreen(c), b = qBlue(c);
      if (layout == BmpLayout::Rgb555) Put16(d, quint16((r >> 3) << 10 | (g >> 3) << 5 | b >> 3));
      else if (layout == BmpLayout::Rgb565Fields) Put16(d, quint16((r >> 3) << 11 | (g >> 2) << 5 | b >> 3));
      else if (layout == BmpLayout::Rgb32Fields) Put8(d, r), Put8(d, g), Put8(d, b), Put8(d, 0);
      else {
        Put8(d, b), Put8(d, g), Put8(d, r);
        if (depth == 32) Put8(d, 0);
      }
    }
  }
  while (d.size() % 4) Put8(d, 0);
  return d;
}

// Runs of one index become encoded pairs; stretches of three or more single pixels go in
// absolute mode, so a reader meets both.
QByteArray RleRow(const QImage& p, int y, bool fourBit) {
  QByteArray d;
  const int w = p.width();
  auto at = [&](int x) { return p.pixelIndex(x, y); };
  auto runFrom = [&](int x) {
    int n = 1;
    while (x + n < w && n < 255 && at(x + n) == at(x)) ++n;
    return n;
  };
  int x = 0;
  while (x < w) {
    const int run = runFrom(x);
    if (run >= 2) {
      Put8(d, run), Put8(d, fourBit ? at(x) << 4 | at(x) : at(x));
      x += run;
      continue;
    }
    int n = 1;
    while (x + n < w && n < 255 && runFrom(x + n) < 2) ++n;
    if (n < 3) {
      for (int i = 0; i < n; ++i) Put8(d, 1), Put8(d, fourBit ? at(x + i) << 4 : at(x + i));
    } else {
      Put8(d, 0), Put8(d, n);
      QByteArray literal;
      for (int i = 0; i < n; ++i) {
        if (!fourBit) Put8(literal, at(x + i));
        else if (i % 2 == 0) Put8(literal, at(x + i) << 4);
        else literal[literal.size() - 1] = char(literal.back() | at(x + i));
      }
      if (literal.size() % 2) Put8(literal, 0);  // absolute runs end on a 16-bit boundary
      d += literal;
    }
    x += n;
  }
  Put8(d, 0), Put8(d, 0);  // end of line
  return d;
}
}  // namespace

QByteArray EncodeBmp(const QImage& picture, BmpLayout layout) {
  const int depth = Depth(layout);
  const bool rle = layout == BmpLayout::Rle4 || layout == BmpLayout::Rle8;
  const bool topDown = layout == BmpLayout::Rgb24TopDown;
  QByteArray pixels;
  for (int i = 0; i < picture.height(); ++i) {
    const int y = topDown ? i : picture.height() - 1 - i;
    pixels += rle ? RleRow(picture, y, depth == 4) : Row(picture, y, layout);
  }
  if (rle) Put8(pixels, 0), Put8(pixels, 1);  // end of bitmap

  QByteArray extra;  // bit masks, then the palette
  if (layout == BmpLayout::Rgb565Fields) Put32(extra, 0xF800), Put32(extra, 0x07E0), Put32(extra, 0x001F);
  if (layout == BmpLayout::Rgb32Fields) Put32(extra, 0x0000FF), Put32(extra, 0x00FF00), Put32(extra, 0xFF0000);
  const QList<QRgb> palette = depth <= 8 ? picture.colorTable() : QList<QRgb>();
  for (QRgb c : palette) Put8(extra, qBlue(c)), Put8(extra, qGreen(c)), Put8(extra, qRed(c)), Put8(extra, 0);

  const quint32 offset = 14 + 40 + quint32(extra.size());
  QByteArray d;
  d += "BM";
  Put32(d, offset + quint32(pixels.size()));
  Put32(d, 0);
  Put32(d, offset);
  Put32(d, 40);
  Put32(d, quint32(picture.width()));
  Put32(d, quint32(topDown ? -picture.height() : picture.height()));
  Put16(d, 1);
  Put16(d, quint16(depth));
  Put32(d, Compression(layout));
  Put32(d, quint32(pixels.size()));
  Put32(d, 2835), Put32(d, 2835);  // 72 dpi
  Put32(d, quint32(palette.size()));
  Put32(d, 0);
  return d + extra + pixels;
}

}  // namespace fuzz
