#pragma once
// Damaged copies of a seed, the same on every machine: truncations at every tenth, header
// fields set to boundary values, bit flips, overwritten runs and inserted bytes.
#include <QByteArray>
#include <QList>
#include <QString>

namespace fuzz {

struct Mutant {
  QString name;  // what was done, e.g. "biWidth=65536", "cut-30pct", "flip-57.3"
  QByteArray bytes;
  qsizetype keptBytes = -1;  // a truncation: how much of the seed is left
};

// Mutants no two alike and none equal to the seed; the name seeds the choice of positions.
QList<Mutant> Mutate(const QString& seedName, const QByteArray& seed);

}  // namespace fuzz
