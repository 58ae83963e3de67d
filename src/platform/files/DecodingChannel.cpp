#include "platform/files/DecodingChannel.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::decoding {

namespace {
bool WriteAll(int socket, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = ::send(socket, bytes, size, MSG_NOSIGNAL);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= size_t(put);
  }
  return true;
}

// Reads all `size` bytes, waiting no more than `timeoutMs` for each part (-1: as long as it takes).
bool ReadAll(int socket, void* data, size_t size, int timeoutMs = -1) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    pollfd ready{socket, POLLIN, 0};
    const int polled = timeoutMs < 0 ? 1 : ::poll(&ready, 1, timeoutMs);
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    const ssize_t got = ::read(socket, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= size_t(got);
  }
  return true;
}

// One byte, with room beside it for the two descriptors.
struct FilesMessage {
  char byte = 1;
  iovec part{&byte, 1};
  static constexpr size_t kFiles = 2 * sizeof(int);
  alignas(cmsghdr) char control[CMSG_SPACE(kFiles)] = {};
  msghdr header{};
  FilesMessage() {
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
  }
};
}  // namespace

bool SendFiles(int socket, int file, int memory) {
  FilesMessage message;
  cmsghdr* header = CMSG_FIRSTHDR(&message.header);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(FilesMessage::kFiles);
  const int files[2] = {file, memory};
  std::memcpy(CMSG_DATA(header), files, sizeof files);
  ssize_t sent;
  do sent = ::sendmsg(socket, &message.header, MSG_NOSIGNAL);
  while (sent < 0 && errno == EINTR);
  return sent == 1;
}

bool ReceiveFiles(int socket, int* file, int* memory) {
  FilesMessage message;
  ssize_t got;
  do got = ::recvmsg(socket, &message.header, MSG_CMSG_CLOEXEC);
  while (got < 0 && errno == EINTR);
  const cmsghdr* header = CMSG_FIRSTHDR(&message.header);
  if (got != 1 || !header || header->cmsg_type != SCM_RIGHTS || header->cmsg_len != CMSG_LEN(FilesMessage::kFiles))
    return false;
  int files[2];
  std::memcpy(files, CMSG_DATA(header), sizeof files);
  *file = files[0];
  *memory = files[1];
  return true;
}

bool SendAnswer(int socket, bool memoryMade) {
  const char byte = memoryMade ? 1 : 0;
  return WriteAll(socket, &byte, 1);
}

bool ReceiveAnswer(int socket, bool* memoryMade) {
  char byte = 0;
  if (!ReadAll(socket, &byte, 1)) return false;
  *memoryMade = byte == 1;
  return true;
}

bool SendReport(int socket, const Report& report) { return WriteAll(socket, &report, sizeof report); }

bool ReceiveReport(int socket, Report* report, int timeoutMs) {
  return ReadAll(socket, report, sizeof *report, timeoutMs);
}

}  // namespace platform::decoding
