// libFuzzer over the picture loader: each input is written to a file and decoded in this process,
// as the decoding child decodes it. The sanitizers and libFuzzer's own memory limits judge; a
// refusal is a fine answer.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/files/PictureFile.h"

namespace {
// The image format plugins are found through the application. It lives until the process
// ends: destroyed at exit it would outlive what it refers to.
QCoreApplication* app = nullptr;
std::unique_ptr<QTemporaryDir> folder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static int count = *argc;
  app = new QCoreApplication(count, *argv);
  folder = std::make_unique<QTemporaryDir>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = folder->filePath(QStringLiteral("input"));
  {
    QFile file(path);
    const auto bytes = reinterpret_cast<const char*>(data);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes, qint64(size)) != qint64(size))
      qFatal("cannot write %s", qPrintable(path));
  }
  try {
    platform::DecodePictureHere(path, platform::NewImage);
  } catch (const platform::PlatformError&) {
  }
  return 0;
}
