// The decoding child: locks itself in, takes one picture file from the program, decodes the file
// into memory the program makes for it, says how it went, and ends.
#include <QBuffer>
#include <QImageReader>
#include <csignal>
#include <new>
#include <cstring>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "decode/Sandbox.h"
#include "platform/ImageBuffer.h"
#include "platform/files/DecodingChannel.h"
#include "platform/files/PictureDecoder.h"

namespace {
using platform::Decoded;
using namespace platform::decoding;

// Every image format's reader made once, so that its plugin is loaded: after the lock no library
// can be opened.
void LoadImagePlugins() {
  for (const QByteArray& format : QImageReader::supportedImageFormats()) {
    QBuffer nothing;
    QImageReader(&nothing, format).canRead();
  }
}

// The picture's memory, which the program makes in the memfd both of them hold.
class ProgramMemory {
 public:
  ProgramMemory(int memfd, qint64 libraries) : memfd_(memfd), libraries_(libraries) {}

  QImage operator()(int width, int height, QImage::Format format) {
    Report ask;
    ask.stage = Report::Memory;
    ask.format = format;
    ask.width = width;
    ask.height = height;
    ask.libraries = libraries_;
    asked_ = {width, height};
    bool made = false;
    if (!SendReport(kChildSocket, ask) || !ReceiveAnswer(kChildSocket, &made) || !made) return QImage();
    const size_t bytes = size_t(platform::BytesPerLine(width, format)) * size_t(height);
    void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, memfd_, 0);
    if (base == MAP_FAILED) return QImage();
    last_ = base;
    return platform::OverMapping(base, bytes, width, height, format);
  }

  // The size memory was last asked for; not stated before the first time.
  platform::Extent Asked() const { return asked_; }

  // The picture in the program's memory: a reader that made its own is copied over.
  bool Hold(QImage& picture) {
    if (picture.constBits() == last_) return true;
    QImage held = (*this)(picture.width(), picture.height(), picture.format());
    if (held.isNull()) return false;
    std::memcpy(held.bits(), picture.constBits(), size_t(picture.sizeInBytes()));
    held.setColorTable(picture.colorTable());
    picture = held;
    return true;
  }

 private:
  int memfd_;
  qint64 libraries_;
  const void* last_ = nullptr;  // the memory given last: a copy held here would make writes copy it
  platform::Extent asked_;      // the size asked for last
};

Report Done(const Decoded& decoded) {
  Report done;
  done.outcome = qint32(decoded.outcome);
  done.damage = qint32(decoded.damage);
  done.width = decoded.size.width;
  done.height = decoded.size.height;
  done.format = decoded.image.format();
  const QList<QRgb> colours = decoded.image.colorTable();
  done.colourCount = qint32(qMin<qsizetype>(colours.size(), 256));
  std::copy_n(colours.constBegin(), done.colourCount, done.colours);
  return done;
}
}  // namespace

int main() {
  // Gone with the program, and never stopped by a socket the program has closed.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  signal(SIGPIPE, SIG_IGN);
  LoadImagePlugins();
  // Locked in while it waits, so that a load costs the decoding alone.
  const qint64 libraries = decoding::LimitResources();
  if (!decoding::EnterSandbox()) _exit(1);
  int file = -1, memfd = -1;
  if (!ReceiveFiles(kChildSocket, &file, &memfd)) _exit(0);  // the program needed none

  ProgramMemory memory(memfd, libraries);
  platform::WatchedFile picture(file);
  Decoded decoded;
  try {
    decoded = platform::DecodePicture(picture, std::ref(memory));
    if (decoded.outcome == Decoded::Outcome::Picture && !memory.Hold(decoded.image))
      decoded = Decoded::Refused(Decoded::Outcome::NoMemory, memory.Asked());
  } catch (const std::bad_alloc&) {  // the memory limit, reached by a reader's own allocations
    decoded = Decoded::Refused(Decoded::Outcome::NoMemory, memory.Asked());
  }
  SendReport(kChildSocket, Done(decoded));
  // No destructor, no exit handler: the process holds nothing anyone needs, and LeakSanitizer's
  // scan at exit needs calls the lock forbids.
  _exit(0);
}
