#include "decode/Sandbox.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>

#include "platform/PictureLimits.h"
#include "platform/files/DecodingProtocol.h"

#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)  // Landlock's third version, newer than these headers
#endif

namespace decoding {

namespace {
constexpr rlim_t kProcessorSeconds = 60;
// Sanitizer builds reserve their shadow memory up front, and their runtime writes to a pipe it
// makes to learn whether memory can be read and asks for the alternative signal stack at exit.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
constexpr int kSpareDescriptors = 16;

// The bytes this process has mapped, read before anything shuts /proc away.
qint64 MappedBytes() {
  FILE* statm = std::fopen("/proc/self/statm", "re");
  long pages = 0;
  if (statm) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  return qint64(pages) * sysconf(_SC_PAGESIZE);
}

bool Limit(int resource, rlim_t soft, rlim_t hard) {
  const rlimit limit{soft, hard};
  return setrlimit(resource, &limit) == 0;
}
}  // namespace

qint64 LimitResources() {
  const qint64 libraries = MappedBytes();
  // The largest picture a reader here makes takes 8 bytes a pixel (a 16-bit PNG).
  const auto memory = rlim_t(libraries + platform::kMaxPicturePixels * 8 * 5 / 2);
  if (!kSanitized) Limit(RLIMIT_AS, memory, memory);
  Limit(RLIMIT_CPU, kProcessorSeconds, kProcessorSeconds + 5);
  int highest = 0;
  for (int fd = 0; fd < 1024; ++fd)
    if (fcntl(fd, F_GETFD) >= 0) highest = fd;
  Limit(RLIMIT_NOFILE, rlim_t(highest + 1 + kSpareDescriptors), rlim_t(highest + 1 + kSpareDescriptors));
  return kSanitized ? -1 : libraries;
}

bool LockFileSystem() {
  const long version = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  if (version < 1) return false;
  landlock_ruleset_attr rules{};
  rules.handled_access_fs =
      LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_READ_FILE |
      LANDLOCK_ACCESS_FS_READ_DIR | LANDLOCK_ACCESS_FS_REMOVE_DIR | LANDLOCK_ACCESS_FS_REMOVE_FILE |
      LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
      LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK |
      LANDLOCK_ACCESS_FS_MAKE_SYM;
  if (version >= 2) rules.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
  if (version >= 3) rules.handled_access_fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
  const int ruleset = int(syscall(SYS_landlock_create_ruleset, &rules, sizeof rules, 0));
  if (ruleset < 0) return false;
  const bool locked = syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
  close(ruleset);
  return locked;
}

bool LockSystemCalls() {
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
  if (!filter) return false;
  bool built = true;
  const auto allow = [&](int call) { built = built && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0; };
  // Measured over the fuzz corpus and large pictures of every format, and what threads need:
  // Qt converts large pictures on several.
  for (int call : {SCMP_SYS(read), SCMP_SYS(lseek), SCMP_SYS(fstat), SCMP_SYS(newfstatat), SCMP_SYS(statx),
                   SCMP_SYS(mmap), SCMP_SYS(munmap), SCMP_SYS(mprotect), SCMP_SYS(brk), SCMP_SYS(mremap),
                   SCMP_SYS(madvise), SCMP_SYS(futex), SCMP_SYS(getpid), SCMP_SYS(exit_group), SCMP_SYS(exit),
                   SCMP_SYS(set_robust_list), SCMP_SYS(rseq), SCMP_SYS(prctl), SCMP_SYS(eventfd2),
                   SCMP_SYS(sched_getaffinity), SCMP_SYS(rt_sigprocmask)})
    allow(call);
  if (kSanitized)
    for (int call : {SCMP_SYS(pipe2), SCMP_SYS(write), SCMP_SYS(close), SCMP_SYS(sigaltstack)}) allow(call);
  // Warnings go to the standard error; the files come from the program, reports go to it; threads
  // only within this process.
  if (!kSanitized)
    built = built &&
            seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(write), 1, SCMP_A0(SCMP_CMP_EQ, STDERR_FILENO)) == 0;
  built = built &&
          seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(recvmsg), 1,
                           SCMP_A0(SCMP_CMP_EQ, platform::decoding::kChildSocket)) == 0 &&
          seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(sendto), 1,
                           SCMP_A0(SCMP_CMP_EQ, platform::decoding::kChildSocket)) == 0 &&
          seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                           SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)) == 0 &&
          seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
  const bool loaded = built && seccomp_load(filter) == 0;
  seccomp_release(filter);
  return loaded;
}

bool EnterSandbox() {
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
  const long landlock = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  if (landlock >= 1 && !LockFileSystem()) return false;
  return LockSystemCalls();
}

}  // namespace decoding
