// The lock the decoding child enters, entered in a forked process as the child enters it, then
// tried: seccomp kills the calls it does not allow with SIGSYS; Landlock answers EACCES to path
// calls that get past seccomp; what decoding needs still works.
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "decode/Sandbox.h"

Q_DECLARE_METATYPE(std::function<bool()>)

namespace {
enum class Lock { Whole, FileSystemOnly };

// How the forked process ended: its signal, or its exit code as a negative number.
int EndOf(Lock lock, const std::function<bool()>& attempt) {
  const pid_t pid = fork();
  if (pid == 0) {
    const bool locked = lock == Lock::Whole ? decoding::EnterSandbox()
                                            : prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && decoding::LockFileSystem();
    _exit(!locked ? 3 : attempt() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -WEXITSTATUS(status);
}
}  // namespace

class SandboxTest : public QObject {
  Q_OBJECT

 private slots:
  void lockedProcessReachesNothing_data() {
    QTest::addColumn<int>("lock");
    QTest::addColumn<std::function<bool()>>("attempt");
    QTest::addColumn<int>("end");  // a signal, 0 for an attempt that worked, -1 for one refused
    const auto open = [] { return ::open("/etc/hostname", O_RDONLY) >= 0; };
    const int whole = int(Lock::Whole);
    QTest::newRow("open a file") << whole << std::function<bool()>(open) << SIGSYS;
    QTest::newRow("create a socket") << whole << std::function<bool()>([] { return socket(AF_INET, SOCK_STREAM, 0) >= 0; })
                                     << SIGSYS;
    QTest::newRow("run a program") << whole << std::function<bool()>([] {
      char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
      return execv("/bin/true", argv) == 0;
    }) << SIGSYS;
    QTest::newRow("start a process") << whole << std::function<bool()>([] { return fork() >= 0; }) << SIGSYS;
    QTest::newRow("write to the standard error") << whole << std::function<bool()>([] {
      return write(STDERR_FILENO, "", 0) == 0;
    }) << 0;
    QTest::newRow("open a file past seccomp") << int(Lock::FileSystemOnly)
                                              << std::function<bool()>([] { return ::open("/etc/hostname", O_RDONLY) < 0 && errno == EACCES; })
                                              << 0;
  }
  void lockedProcessReachesNothing() {
    QFETCH(int, lock);
    QFETCH(std::function<bool()>, attempt);
    QFETCH(int, end);
    if (lock == int(Lock::FileSystemOnly) && EndOf(Lock::FileSystemOnly, [] { return true; }) == -3)
      QSKIP("this kernel offers no Landlock");
    QCOMPARE(EndOf(Lock(lock), attempt), end);
  }
};

QTEST_GUILESS_MAIN(SandboxTest)
#include "sandbox_test.moc"
