#include "platform/files/DecodingChild.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"
#include "platform/files/DecodingChannel.h"
#include "platform/files/Descriptor.h"
#include "platform/files/Faults.h"

extern char** environ;

namespace platform {

namespace {
using decoding::Report;
using Outcome = Decoded::Outcome;

// Longer than the child's processor time limit: a child that has run that long without a word
// is stuck, not busy.
constexpr int kReportTimeoutMs = 120'000;
// Memory for a decoder's own work beside a small picture: tables, rows, threads' stacks.
constexpr qint64 kLeastWorkingMemory = qint64(256) << 20;

QString& ProgramPath() {
  static QString path;
  return path;
}

QString DefaultProgram() {
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {here + QStringLiteral("/tilora-decode"),
                                   here + QStringLiteral("/" TILORA_LIBEXEC_FROM_BIN "/tilora-decode")})
    if (QFile::exists(candidate)) return candidate;
  return QString();
}

struct Child {
  pid_t pid = -1;
  int socket = -1;  // this program's end
};

std::optional<Child>& Waiting() {
  static std::optional<Child> child;
  return child;
}

// Waits for the child to end; its status, -1 when it cannot be had.
int Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return status;
}

void Discard(const Child& child) {
  ::close(child.socket);
  kill(child.pid, SIGKILL);
  Reap(child.pid);
}

std::optional<Child> Start() {
  const QByteArray program = QFile::encodeName(ProgramPath().isEmpty() ? DefaultProgram() : ProgramPath());
  int ends[2];
  if (program.isEmpty() || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], decoding::kChildSocket);
  posix_spawn_file_actions_addclosefrom_np(&actions, decoding::kChildSocket + 1);
  char* argv[] = {const_cast<char*>(program.constData()), nullptr};
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (failed != 0) {
    ::close(ends[0]);
    return std::nullopt;
  }
  return Child{pid, ends[0]};
}

// The waiting child if it is still there, else a new one.
std::optional<Child> TakeChild() {
  std::optional<Child> child = std::exchange(Waiting(), std::nullopt);
  if (child && waitpid(child->pid, nullptr, WNOHANG) != 0) {  // ended while it waited
    ::close(child->socket);
    child.reset();
  }
  return child ? child : Start();
}

// The picture's memory in the memfd, mapped here; empty when it cannot be had.
struct Memory {
  void* base = MAP_FAILED;
  size_t bytes = 0;
  ~Memory() { Release(); }
  void Release() {
    if (base != MAP_FAILED) munmap(base, bytes);
    base = MAP_FAILED;
  }
  // Reserves and maps the whole picture at once: one fault per page through both mappings
  // costs more than the decoding.
  bool Make(int memfd, size_t size) {
    Release();
    bytes = size;
    if (!PictureAllocationAllowed() || ftruncate(memfd, off_t(size)) != 0 || fallocate(memfd, 0, 0, off_t(size)) != 0)
      return false;
    base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, memfd, 0);
    return base != MAP_FAILED;
  }
};

bool IsFormat(qint32 format) { return format > QImage::Format_Invalid && format < QImage::NImageFormats; }

// Answers the child's request for memory: the size checked against the limit, the memory made,
// the child's memory bounded by the picture's size. Refused when the request cannot be met.
std::optional<Decoded> MakeMemory(const Child& child, int memfd, const Report& ask, Memory& memory) {
  const Extent size{ask.width, ask.height};
  if (!FitsPictureLimit(size.width, size.height) || size.IsEmpty() || !IsFormat(ask.format))
    return Decoded::Refused(IsFormat(ask.format) ? Outcome::OverLimit : Outcome::ChildFailed, size);
  const auto format = QImage::Format(ask.format);
  const size_t bytes = size_t(BytesPerLine(int(size.width), format)) * size_t(size.height);
  const bool made = memory.Make(memfd, bytes);
  if (made && ask.libraries >= 0) {
    const auto limit = rlim_t(ask.libraries + qMax(qint64(bytes) * 5 / 2, kLeastWorkingMemory));
    const rlimit memoryLimit{limit, limit};
    prlimit(child.pid, RLIMIT_AS, &memoryLimit, nullptr);
  }
  if (!decoding::SendAnswer(child.socket, made) || !made) return Decoded::Refused(Outcome::NoMemory, size);
  return std::nullopt;
}

// What the child said it made, in this program's mapping of the memory.
Decoded Received(const Report& done, Memory& memory, const Report& ask) {
  const auto outcome = Outcome(done.outcome);
  const Extent size{done.width, done.height};
  if (outcome != Outcome::Picture) return Decoded::Refused(outcome, size, Damage(done.damage));
  const auto format = QImage::Format(done.format);
  if (memory.base == MAP_FAILED || size.width != ask.width || size.height != ask.height || done.colourCount < 0 ||
      done.colourCount > 256 || !IsFormat(done.format) ||
      BytesPerLine(int(size.width), format) != BytesPerLine(int(size.width), QImage::Format(ask.format)))
    return Decoded::Refused(Outcome::ChildFailed, size);
  QImage picture =
      OverMapping(std::exchange(memory.base, MAP_FAILED), memory.bytes, int(size.width), int(size.height), format);
  if (done.colourCount > 0) picture.setColorTable(QList<QRgb>(done.colours, done.colours + done.colourCount));
  return Decoded::Picture(std::move(picture));
}

// Talks the child through one file; the decoded picture, or why there is none. `toldAll`: the
// child said how it went, rather than this program stopping it or it breaking off.
Decoded Converse(const Child& child, int file, bool* toldAll) {
  Descriptor memfd{memfd_create("tilora-picture", MFD_CLOEXEC)};
  if (memfd.fd < 0) return Decoded::Refused(Outcome::NoMemory);
  if (!decoding::SendFiles(child.socket, file, memfd.fd)) return Decoded::Refused(Outcome::ChildFailed);
  Memory memory;
  Report report, ask;
  for (;;) {
    if (!decoding::ReceiveReport(child.socket, &report, kReportTimeoutMs)) return Decoded::Refused(Outcome::ChildFailed);
    if (report.stage != Report::Memory) break;
    ask = report;
    if (std::optional<Decoded> refused = MakeMemory(child, memfd.fd, ask, memory)) return *refused;
  }
  if (report.stage != Report::Done || report.outcome < 0 || report.outcome > qint32(Outcome::NoDecoder))
    return Decoded::Refused(Outcome::ChildFailed);
  *toldAll = true;
  return Received(report, memory, ask);
}
}  // namespace

Decoded DecodeInChild(int descriptor) {
  Descriptor file{descriptor};
  const std::optional<Child> child = TakeChild();
  if (!child) return Decoded::Refused(Outcome::NoDecoder);
  bool toldAll = false;
  Decoded decoded = Converse(*child, file.fd, &toldAll);
  ::close(child->socket);
  if (!toldAll) kill(child->pid, SIGKILL);  // nothing more is wanted of it
  // What a child says counts only once it has ended, and ended well.
  const int status = Reap(child->pid);
  const bool endedWell = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  PrepareDecoding();  // the next load, too, finds its child started
  return !toldAll || endedWell ? decoded : Decoded::Refused(Outcome::ChildFailed);
}

void PrepareDecoding() {
  if (!Waiting()) Waiting() = Start();
}

void SetDecodingProgram(const QString& path) {
  if (Waiting()) Discard(*std::exchange(Waiting(), std::nullopt));
  ProgramPath() = path;
}

}  // namespace platform
