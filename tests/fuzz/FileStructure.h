#pragma once
// Where the numbers a decoder trusts sit in BMP, GIF, JPEG and PNG files, found by walking each
// file's own structure, so mutants can set exactly those fields.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>
#include <optional>
#include <QString>

namespace fuzz {

enum class Format { Unknown, Bmp, Gif, Jpeg, Png };
Format FormatOf(const QByteArray& file);

struct Field {
  QString name;
  int offset;
  int size;  // 1, 2 or 4 bytes
  bool bigEndian;
};
// The header fields of the file's format that are present in it.
QList<Field> HeaderFields(const QByteArray& file);
// The value, cut to the field's width, in the field's byte order.
void PutField(QByteArray& file, const Field& field, quint32 value);
// The named field set to value; the file must have that field.
QByteArray WithField(QByteArray file, const QString& name, quint32 value);

// Offsets of a GIF's image descriptors, in file order.
QList<int> GifImages(const QByteArray& gif);
// The offset just past the first image's data blocks, or -1 when the file does not hold them all.
int GifFirstImageEnd(const QByteArray& gif);

// A GIF's first image as the rules place it on the picture, and what the picture shows around
// it: the global table's background colour, or nothing (transparent) where the image names a
// transparent index or the file has no global table.
struct GifFirstImage {
  QRect rect;
  bool interlaced = false;
  std::optional<QRgb> around;
};
std::optional<GifFirstImage> FirstGifImage(const QByteArray& gif);

// The GIF with its global colour table and its first image's local one filled out to 256
// entries with black: what a reader that shows an index past the table as black reads.
QByteArray GifWithFullColourTables(QByteArray gif);

// PNG chunks are checksummed: a mutant whose chunk CRCs are repaired reaches the decoder
// instead of stopping at the first check.
void RepairPngCrcs(QByteArray& png);

}  // namespace fuzz
