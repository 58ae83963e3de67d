#include "fuzz/Mutants.h"

#include <QSet>

#include "fuzz/FileStructure.h"

namespace fuzz {

namespace {
// splitmix64: std's distributions differ between libraries; this does not.
class Random {
 public:
  explicit Random(const QString& name) {
    for (QChar c : name) state_ = (state_ ^ c.unicode()) * 0x100000001B3ULL;  // FNV-1a
  }
  quint64 Next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(qsizetype n) { return int(Next() % quint64(n)); }

 private:
  quint64 state_ = 0xCBF29CE484222325ULL;
};

constexpr int kHeaderFlips = 12, kFlips = 12, kRuns = 10, kInsertions = 8;

const struct {
  const char* label;
  quint32 value;
} kBoundaries[] = {{"0", 0},         {"1", 1},          {"-1", 0xFFFFFFFF},
                   {"65535", 65535}, {"65536", 65536},  {"2147483647", 0x7FFFFFFF}};
}  // namespace

QList<Mutant> Mutate(const QString& seedName, const QByteArray& seed) {
  QList<Mutant> out;
  QSet<QByteArray> seen{seed};
  const bool png = FormatOf(seed) == Format::Png;
  auto add = [&](const QString& name, QByteArray bytes, qsizetype kept = -1) {
    if (png) RepairPngCrcs(bytes);
    if (seen.contains(bytes)) return;
    seen.insert(bytes);
    out.append({name, bytes, kept});
  };
  Random random(seedName);
  const qsizetype size = seed.size();

  for (int tenth = 1; tenth <= 9; ++tenth)
    add(QStringLiteral("cut-%1pct").arg(tenth * 10), seed.left(size * tenth / 10), size * tenth / 10);

  for (const Field& field : HeaderFields(seed))
    for (const auto& b : kBoundaries) {
      QByteArray bytes = seed;
      PutField(bytes, field, b.value);
      add(field.name + QLatin1Char('=') + QLatin1String(b.label), bytes);
    }

  for (int i = 0; i < kHeaderFlips + kFlips; ++i) {
    const int at = random.Below(i < kHeaderFlips ? qMin<qsizetype>(size, 64) : size), bit = random.Below(8);
    QByteArray bytes = seed;
    bytes[at] = char(bytes[at] ^ (1 << bit));
    add(QStringLiteral("flip-%1.%2").arg(at).arg(bit), bytes);
  }

  for (int i = 0; i < kRuns; ++i) {
    const int at = random.Below(size), length = 1 + random.Below(32);
    const int fill = i % 3 == 0 ? 0x00 : i % 3 == 1 ? 0xFF : random.Below(256);
    QByteArray bytes = seed;
    for (int k = at; k < qMin<qsizetype>(size, at + length); ++k) bytes[k] = char(fill);
    add(QStringLiteral("run-%1+%2x%3").arg(at).arg(length).arg(fill, 2, 16, QLatin1Char('0')), bytes);
  }

  for (int i = 0; i < kInsertions; ++i) {
    const int at = random.Below(size + 1), length = 1 + random.Below(16);
    QByteArray inserted;
    for (int k = 0; k < length; ++k) inserted.append(char(random.Below(256)));
    add(QStringLiteral("insert-%1+%2").arg(at).arg(length), QByteArray(seed).insert(at, inserted));
  }
  return out;
}

}  // namespace fuzz
