#include "fuzz/FileStructure.h"

#include <QtEndian>
#include <algorithm>

namespace fuzz {

namespace {
int Byte(const QByteArray& d, int at) { return uchar(d[at]); }
int Le16(const QByteArray& d, int at) { return Byte(d, at) | Byte(d, at + 1) << 8; }
quint32 Be32(const QByteArray& d, int at) {
  return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(d.constData()) + at);
}

// Skips a run of GIF data sub-blocks from at; -1 when the terminator is missing.
int SkipSubBlocks(const QByteArray& d, int at) {
  while (at < d.size()) {
    const int n = Byte(d, at);
    at += 1 + n;
    if (n == 0) return at;
  }
  return -1;
}

// The offset after an image descriptor's colour table, or after the screen's.
int AfterColourTable(const QByteArray& d, int flagsAt, int next) {
  const int flags = Byte(d, flagsAt);
  return flags & 0x80 ? next + 3 * (2 << (flags & 7)) : next;
}

struct GifWalk {
  QList<int> images;
  int firstImageEnd = -1;
};

GifWalk WalkGif(const QByteArray& d) {
  GifWalk walk;
  if (d.size() < 13) return walk;
  int at = AfterColourTable(d, 10, 13);
  while (at >= 0 && at < d.size()) {
    const int kind = Byte(d, at);
    if (kind == 0x21) {
      at = SkipSubBlocks(d, at + 2);
    } else if (kind == 0x2C && at + 11 <= d.size()) {
      walk.images << at;
      at = SkipSubBlocks(d, AfterColourTable(d, at + 9, at + 10) + 1);
      if (walk.images.size() == 1) walk.firstImageEnd = at;
    } else {
      break;
    }
  }
  return walk;
}

struct Segment {
  int marker;
  int at;  // of the 0xFF
};

// The segments up to and including the first start of scan.
QList<Segment> JpegSegments(const QByteArray& d) {
  QList<Segment> segments;
  int at = 2;
  while (at + 4 <= d.size() && Byte(d, at) == 0xFF) {
    const int marker = Byte(d, at + 1);
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length follows
      at += 2;
      continue;
    }
    segments.append({marker, at});
    if (marker == 0xDA) break;
    at += 2 + (Byte(d, at + 2) << 8 | Byte(d, at + 3));
  }
  return segments;
}

struct Chunk {
  QByteArray type;
  int at;  // of the length field
  quint32 length;
};

QList<Chunk> PngChunks(const QByteArray& d) {
  QList<Chunk> chunks;
  qint64 at = 8;
  while (at + 8 <= d.size()) {
    const quint32 length = Be32(d, int(at));
    chunks.append({d.mid(at + 4, 4), int(at), length});
    at += 12 + qint64(length);
  }
  return chunks;
}

quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFF;
  for (char c : bytes) {
    crc ^= uchar(c);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

QList<Field> BmpFields(const QByteArray& d) {
  QList<Field> f = {{"bfSize", 2, 4, false},        {"bfOffBits", 10, 4, false},
                    {"biSize", 14, 4, false},       {"biWidth", 18, 4, false},
                    {"biHeight", 22, 4, false},     {"biPlanes", 26, 2, false},
                    {"biBitCount", 28, 2, false},   {"biCompression", 30, 4, false},
                    {"biSizeImage", 34, 4, false},  {"biClrUsed", 46, 4, false}};
  if (d.size() >= 58 && Le16(d, 30) == 3) f.append({"redMask", 54, 4, false});
  return f;
}

QList<Field> GifFields(const QByteArray& d) {
  QList<Field> f = {{"screenWidth", 6, 2, false}, {"screenHeight", 8, 2, false},
                    {"screenFlags", 10, 1, false}};
  const QList<int> images = WalkGif(d).images;
  if (images.isEmpty()) return f;
  const int at = images.first();
  f += {{"imageLeft", at + 1, 2, false},  {"imageTop", at + 3, 2, false},
        {"imageWidth", at + 5, 2, false}, {"imageHeight", at + 7, 2, false},
        {"imageFlags", at + 9, 1, false}};
  const int code = AfterColourTable(d, at + 9, at + 10);
  if (code + 1 < d.size()) f += {{"lzwCodeSize", code, 1, false}, {"firstBlockSize", code + 1, 1, false}};
  return f;
}

QList<Field> JpegFields(const QByteArray& d) {
  QList<Field> f;
  QList<int> seen;
  for (const Segment& s : JpegSegments(d)) {
    const bool frame = s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xC8 &&
                       s.marker != 0xCC;
    const int kind = frame ? 0xC0 : s.marker;
    if (seen.contains(kind)) continue;  // the first of each kind is enough
    seen << kind;
    if (frame)
      f += {{"sofLength", s.at + 2, 2, true},  {"sofPrecision", s.at + 4, 1, true},
            {"sofHeight", s.at + 5, 2, true},  {"sofWidth", s.at + 7, 2, true},
            {"sofComponents", s.at + 9, 1, true}, {"sofFirstSampling", s.at + 11, 1, true},
            {"sofFirstTable", s.at + 12, 1, true}};
    else if (s.marker == 0xDA)
      f += {{"sosLength", s.at + 2, 2, true}, {"sosComponents", s.at + 4, 1, true},
            {"sosFirstTables", s.at + 6, 1, true}};
    else if (s.marker == 0xDB)
      f += {{"dqtLength", s.at + 2, 2, true}, {"dqtTable", s.at + 4, 1, true}};
    else if (s.marker == 0xC4)
      f += {{"dhtLength", s.at + 2, 2, true}, {"dhtTable", s.at + 4, 1, true}};
    else if (s.marker == 0xEE)
      f += {{"adobeTransform", s.at + 15, 1, true}};
  }
  return f;
}

QList<Field> PngFields(const QByteArray& d) {
  QList<Field> f = {{"ihdrLength", 8, 4, true}, {"width", 16, 4, true},      {"height", 20, 4, true},
                    {"bitDepth", 24, 1, true},  {"colourType", 25, 1, true}, {"compression", 26, 1, true},
                    {"filter", 27, 1, true},    {"interlace", 28, 1, true}};
  QList<QByteArray> seen;
  for (const Chunk& c : PngChunks(d))
    if (c.type != "IHDR" && c.type != "IEND" && !seen.contains(c.type)) {
      seen << c.type;
      f.append({QString::fromLatin1(c.type).toLower() + "Length", c.at, 4, true});
    }
  return f;
}
}  // namespace

Format FormatOf(const QByteArray& file) {
  if (file.startsWith("BM")) return Format::Bmp;
  if (file.startsWith("GIF8")) return Format::Gif;
  if (file.startsWith("\xFF\xD8")) return Format::Jpeg;
  if (file.startsWith("\x89PNG\r\n\x1A\n")) return Format::Png;
  return Format::Unknown;
}

QList<Field> HeaderFields(const QByteArray& file) {
  QList<Field> fields;
  switch (FormatOf(file)) {
    case Format::Bmp: fields = BmpFields(file); break;
    case Format::Gif: fields = GifFields(file); break;
    case Format::Jpeg: fields = JpegFields(file); break;
    case Format::Png: fields = PngFields(file); break;
    case Format::Unknown: break;
  }
  fields.erase(std::remove_if(fields.begin(), fields.end(),
                              [&](const Field& f) { return f.offset + f.size > file.size(); }),
               fields.end());
  return fields;
}

void PutField(QByteArray& file, const Field& field, quint32 value) {
  for (int i = 0; i < field.size; ++i) {
    const int shift = 8 * (field.bigEndian ? field.size - 1 - i : i);
    file[field.offset + i] = char(value >> shift);
  }
}

QByteArray WithField(QByteArray file, const QString& name, quint32 value) {
  for (const Field& f : HeaderFields(file))
    if (f.name == name) {
      PutField(file, f, value);
      if (FormatOf(file) == Format::Png) RepairPngCrcs(file);
      return file;
    }
  qFatal("no field %s in this file", qPrintable(name));
}

QList<int> GifImages(const QByteArray& gif) { return WalkGif(gif).images; }

int GifFirstImageEnd(const QByteArray& gif) { return WalkGif(gif).firstImageEnd; }

std::optional<GifFirstImage> FirstGifImage(const QByteArray& d) {
  const QList<int> images = GifImages(d);
  if (images.isEmpty()) return std::nullopt;
  const int at = images.first();
  GifFirstImage first{QRect(Le16(d, at + 1), Le16(d, at + 3), Le16(d, at + 5), Le16(d, at + 7)),
                      (Byte(d, at + 9) & 0x40) != 0, std::nullopt};
  bool transparent = false;
  for (int e = AfterColourTable(d, 10, 13); e >= 0 && e < at; e = SkipSubBlocks(d, e + 2))
    if (Byte(d, e + 1) == 0xF9) transparent = Byte(d, e + 2) >= 4 && (Byte(d, e + 3) & 1);
  const int background = Byte(d, 11);
  if (!transparent && (Byte(d, 10) & 0x80))
    first.around = background < (2 << (Byte(d, 10) & 7))
                       ? qRgb(Byte(d, 13 + 3 * background), Byte(d, 14 + 3 * background), Byte(d, 15 + 3 * background))
                       : qRgb(0, 0, 0);
  return first;
}

QByteArray GifWithFullColourTables(QByteArray gif) {
  const auto fillOut = [&](int flagsAt, int tableAt) {
    const int entries = Byte(gif, flagsAt) & 0x80 ? 2 << (Byte(gif, flagsAt) & 7) : 0;
    gif[flagsAt] = char(Byte(gif, flagsAt) | 0x87);
    gif.insert(tableAt + 3 * entries, QByteArray(3 * (256 - entries), '\0'));
  };
  const QList<int> images = GifImages(gif);
  if (gif.size() < 13 || images.isEmpty()) return gif;
  if (Byte(gif, images.first() + 9) & 0x80) fillOut(images.first() + 9, images.first() + 10);
  fillOut(10, 13);
  return gif;
}

void RepairPngCrcs(QByteArray& png) {
  for (const Chunk& c : PngChunks(png)) {
    const qint64 crcAt = qint64(c.at) + 8 + c.length;
    if (crcAt + 4 > png.size()) break;
    const quint32 crc = Crc32(png.mid(c.at + 4, 4 + qsizetype(c.length)));
    qToBigEndian(crc, png.data() + crcAt);
  }
}

}  // namespace fuzz
