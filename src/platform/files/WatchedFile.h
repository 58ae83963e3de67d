#pragma once
// A picture file as a decoder reads it, noting whether the decoder ever ran past the end:
// several of Qt's readers stop quietly at the end of a truncated file and report success,
// leaving the rest of the picture as the memory held it.
#include <QFile>
#include <QIODevice>

namespace platform {

// Opens the file read-only for decoding: a descriptor, or -1 with errno set. Only a regular file
// opens: a FIFO, a device or a folder could block or never end.
int OpenRegularFile(const QString& path);

class WatchedFile : public QIODevice {
 public:
  // Reads the open file `descriptor`, unbuffered, so every read the decoder makes arrives here
  // as asked; the descriptor is the file's own from now on.
  explicit WatchedFile(int descriptor);
  ~WatchedFile() override;

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
