#pragma once
// A picture file as a decoder reads it, noting whether the decoder ever ran past the end:
// several of Qt's readers stop quietly at the end of a truncated file and report success,
// leaving the rest of the picture as the memory held it.
#include <QFile>
#include <QIODevice>

namespace platform {

class WatchedFile : public QIODevice {
 public:
  explicit WatchedFile(const QString& path) : file_(path) {}

  // Opens read-only and unbuffered, so every read the decoder makes arrives here as asked.
  // Only a regular file opens: a FIFO, a device or a folder could block or never end.
  bool open(OpenMode mode = ReadOnly) override;
  void close() override;
  bool isSequential() const override { return false; }
  qint64 size() const override { return file_.size(); }
  bool seek(qint64 pos) override;

  // Forgets what earlier reads found and notes what reads from now on find.
  void Watch() { askedPastEnd_ = false; }
  // A read asked for more bytes than were left: a decoder that reads exactly what the format
  // says (BMP, PNG) met the end early.
  bool AskedPastEnd() const { return askedPastEnd_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QFile file_;
  bool askedPastEnd_ = false;
};

}  // namespace platform
