#pragma once
// The fuzz corpus: seeds of every format and depth the loader reads, their mutants, files
// declaring sizes over the picture limit, and two known offenders. Made afresh by every run.
#include <QImage>
#include <QList>
#include <QString>

namespace fuzz {

enum class Expect {
  Anything,     // any outcome, as long as it is consistent
  Loads,        // an intact seed
  Refused,      // image data missing before the picture is complete
  SizeRefused,  // declares a size over the limit
};

struct CorpusFile {
  QString name;  // inside the corpus folder
  Expect expect = Expect::Anything;
  bool declaresOverLimit = false;
  QImage pixels;  // RGB32 on white, for seeds whose exact pixels are known
};

struct Corpus {
  QString error;  // why the corpus could not be made; empty when it was
  QList<CorpusFile> files;
};

// Writes every file into folder.
Corpus WriteCorpus(const QString& folder);

}  // namespace fuzz
