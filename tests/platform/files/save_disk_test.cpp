// Saving on real file systems: a small tmpfs the test mounts and fills, a file with an owner, a
// mode, links and an attribute of its own, targets that are no regular file or may not change,
// links and mounts, the longest names, a file-size limit. Nothing here is simulated.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/files/BmpFile.h"
#include "platform/files/Faults.h"
#include "platform/files/InPlaceWrite.h"
#include "platform/files/PictureFile.h"

namespace {
// The picture save_once writes too: 300 x 300, a 270,054-byte BMP taking 66 pages.
QImage Picture() {
  QImage picture(300, 300, QImage::Format_RGB32);
  picture.fill(qRgb(30, 120, 220));
  return picture;
}
constexpr qint64 kPictureBytes = 270054, kPage = 4096, kPicturePages = 66;
const QByteArray kOld = QByteArray("old picture ").repeated(800);  // 9,600 bytes: 3 pages
constexpr uid_t kNobody = 65534;

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}
void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}
QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
bool HoldsThePicture(const QString& path) {
  const bmpfile::Parsed parsed = bmpfile::ParseFile(path);
  return parsed.error.isEmpty() && QFileInfo(path).size() == kPictureBytes && parsed.pixels == Picture();
}
QString Refusal(const QString& path, const QString& reason) {
  return QStringLiteral("ファイルを保存できませんでした。\n%1\n%2").arg(path, reason);
}
QString Message(const QString& path) {
  try {
    platform::SavePicture(Picture(), path);
  } catch (const platform::PlatformError& e) {
    return e.Text();
  }
  return QString();
}

// A tmpfs mounted for the life of the object, where this process may mount one.
struct Tmpfs {
  QTemporaryDir point;
  bool mounted;
  explicit Tmpfs(const QByteArray& options)
      : mounted(::mount("tmpfs", QFile::encodeName(point.path()).constData(), "tmpfs", 0, options.constData()) == 0) {}
  ~Tmpfs() {
    if (mounted) ::umount2(QFile::encodeName(point.path()).constData(), MNT_DETACH);
  }
  QString File(const QString& name) const { return point.filePath(name); }
};
#define MOUNT_OR_SKIP(fs) \
  if (!(fs).mounted) QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: ") + qt_error_string(errno)))

struct SaveOnce {
  int exitCode = -1;
  QString message;
};
}  // namespace

class SaveDiskTest : public QObject {
  Q_OBJECT

  // save_once, copied where any user can run it: the build folder may lie where no other user can
  // reach (a clone under /root).
  Tmpfs helper_{"mode=0755"};
  QString saveOnce_ = QCoreApplication::applicationDirPath() + QStringLiteral("/save_once");

  // Runs save_once as `uid`, under a file-size limit of `limit` bytes (-1: none).
  SaveOnce RunSaveOnce(const QStringList& arguments, uid_t uid, qint64 limit) {
    QProcess save;
    save.setChildProcessModifier([uid, limit] {
      const rlimit size{rlim_t(limit), rlim_t(limit)};
      if ((limit >= 0 && ::setrlimit(RLIMIT_FSIZE, &size) != 0) ||
          (uid != 0 && (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)))
        ::_exit(126);
    });
    save.start(saveOnce_, arguments);
    if (!save.waitForFinished(60000) || save.exitStatus() != QProcess::NormalExit) return {};
    return {save.exitCode(), QString::fromUtf8(save.readAllStandardOutput())};
  }

 private slots:
  void initTestCase() {
    if (!helper_.mounted) return;
    QVERIFY(QFile::copy(saveOnce_, helper_.File(QStringLiteral("save_once"))));
    saveOnce_ = helper_.File(QStringLiteral("save_once"));
  }
  void cleanup() { platform::InjectTemporaryFileFault(false); }

  // Free space from the picture's size down to 32 KiB below it: a save is whole or refused with
  // the old file as it was and nothing left behind.
  void nearlyFullDisk_data() {
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<qint64>("freePages");
    for (const auto& [name, existing, inPlace] :
         {std::tuple{"new name", false, false}, {"existing file", true, false}, {"in place", true, true}})
      for (qint64 free = kPicturePages; free >= kPicturePages - 8; --free)
        QTest::addRow("%s, %lld pages free", name, free) << existing << inPlace << free;
  }
  void nearlyFullDisk() {
    QFETCH(bool, existing);
    QFETCH(bool, inPlace);
    QFETCH(qint64, freePages);
    constexpr qint64 kSize = 128;
    Tmpfs fs("size=" + QByteArray::number(kSize * kPage));
    MOUNT_OR_SKIP(fs);
    const QString target = fs.File("map.bmp");
    const qint64 oldPages = existing ? (kOld.size() + kPage - 1) / kPage : 0;
    if (existing) Write(target, kOld);
    Write(fs.File("filler"), QByteArray((kSize - freePages - oldPages) * kPage, 'f'));
    struct statvfs space {};
    QCOMPARE(::statvfs(QFile::encodeName(fs.File("")).constData(), &space), 0);
    QCOMPARE(qint64(space.f_bavail * space.f_frsize), freePages * kPage);

    platform::InjectTemporaryFileFault(inPlace);
    const QString message = Message(target);
    // In place, the old file's pages are reused; a new file needs room for all of its own.
    if (freePages >= kPicturePages - (inPlace ? oldPages : 0)) {
      QCOMPARE(message, QString());
      QVERIFY(HoldsThePicture(target));
    } else {
      QCOMPARE(message, Refusal(target, QStringLiteral("ディスクの空き容量が足りません。") +
                                            (existing ? QStringLiteral("元のファイルはそのままです。") : QString())));
      QCOMPARE(QFileInfo::exists(target), existing);
      if (existing) QCOMPARE(Read(target), kOld);
    }
    QCOMPARE(Entries(fs.File("")),
             QFileInfo::exists(target) ? QStringList({"filler", "map.bmp"}) : QStringList("filler"));
  }

  // Saved over by root or by its owner, a file keeps owner, group, mode, links and attributes;
  // only a file whose identity a new file can take is replaced by rename. A folder the owner may
  // not read is synced through its file system, with no warning.
  void savingOverKeepsTheFilesIdentity_data() {
    QTest::addColumn<uid_t>("savedBy");
    QTest::addColumn<gid_t>("group");
    QTest::addColumn<mode_t>("mode");
    QTest::addColumn<int>("links");
    QTest::addColumn<bool>("folderAcl");  // the folder hands new files an access list the old file lacks
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<mode_t>("folderMode");
    QTest::addColumn<bool>("modeLost");  // saved with setuid and setgid dropped, and told so
    const auto row = [](const char* name, uid_t by, gid_t group, mode_t mode, int links, bool folderAcl, bool renamed,
                        mode_t folderMode = 0755, bool modeLost = false) {
      QTest::newRow(name) << by << group << mode << links << folderAcl << renamed << folderMode << modeLost;
    };
    row("by root", 0, 1000, 02640, 1, false, true);
    row("by root, two names", 0, 1000, 02640, 2, false, false);
    row("by root, folder's access list", 0, 1000, 02640, 1, true, true);
    row("by the owner", kNobody, kNobody, 02640, 1, false, true);
    row("by the owner, not of the group", kNobody, 0, 0640, 1, false, false);
    // The kernel drops the bits on the owner's write in place; fchmod puts them back, but not a
    // setgid bit of a group the owner is not in.
    row("by the owner, in place, setgid", kNobody, kNobody, 02775, 2, false, false);
    row("by the owner, in place, setuid", kNobody, kNobody, 04755, 2, false, false);
    row("by the owner, not of the group, setgid", kNobody, 0, 02640, 1, false, false, 0755, true);
    row("by the owner, a folder they may not read", kNobody, kNobody, 0640, 1, false, true, 0333);
  }
  void savingOverKeepsTheFilesIdentity() {
    QFETCH(uid_t, savedBy);
    QFETCH(gid_t, group);
    QFETCH(mode_t, mode);
    QFETCH(int, links);
    QFETCH(bool, folderAcl);
    QFETCH(bool, renamed);
    QFETCH(mode_t, folderMode);
    QFETCH(bool, modeLost);
    if (geteuid() != 0) QSKIP("giving a file to another user needs root");
    Tmpfs fs("size=4m,mode=" + QByteArray::number(folderMode, 8) + ",uid=65534,gid=65534");
    MOUNT_OR_SKIP(fs);
    const QString target = fs.File("map.bmp");
    const QByteArray name = QFile::encodeName(target);
    Write(target, kOld);
    QCOMPARE(::chown(name.constData(), kNobody, group), 0);
    QCOMPARE(::chmod(name.constData(), mode), 0);
    if (links == 2) QCOMPARE(::link(name.constData(), QFile::encodeName(fs.File("second.bmp")).constData()), 0);
    // tmpfs keeps user. attributes from Linux 6.6 on; trusted. ones always, but only root sees them.
    const char* attribute = "user.tilora.origin";
    const bool attributed =
        ::setxattr(name.constData(), attribute, "tiles", 5, 0) == 0 ||
        (savedBy == 0 && ::setxattr(name.constData(), attribute = "trusted.tilora.origin", "tiles", 5, 0) == 0);
    if (!attributed) qWarning("this tmpfs keeps no user. attributes: the attribute is not checked in this row");
    // Version 2, then tag, permissions, id: owner rw, user 1000 rw, group r, mask rw, others none.
    const QByteArray acl = QByteArray::fromHex(
        "02000000 0100 0600 ffffffff 0200 0600 e8030000 0400 0400 ffffffff"
        "1000 0600 ffffffff 2000 0000 ffffffff");
    if (folderAcl && ::setxattr(QFile::encodeName(fs.File("")).constData(), "system.posix_acl_default", acl.constData(),
                                size_t(acl.size()), 0) != 0)
      QSKIP("this tmpfs keeps no access lists");
    struct stat before {};
    QCOMPARE(::stat(name.constData(), &before), 0);

    if (savedBy == 0) {
      QCOMPARE(Message(target), QString());
    } else {
      const SaveOnce save = RunSaveOnce({target}, savedBy, -1);
      if (save.exitCode == 126) QSKIP("cannot become the user 'nobody' here");
      const QString lost = QStringLiteral("保存しましたが、ファイルの setuid / setgid は保てませんでした。\n") + target;
      QCOMPARE(save.message, modeLost ? lost : QString());
      QCOMPARE(save.exitCode, modeLost ? 3 : 0);
    }
    struct stat after {};
    QCOMPARE(::stat(name.constData(), &after), 0);
    QCOMPARE(after.st_uid, kNobody);
    QCOMPARE(after.st_gid, group);
    QCOMPARE(after.st_mode, modeLost ? before.st_mode & ~mode_t(06000) : before.st_mode);
    QCOMPARE(int(after.st_nlink), links);
    QCOMPARE(after.st_ino != before.st_ino, renamed);
    QVERIFY(HoldsThePicture(target));
    if (links == 2) QVERIFY(HoldsThePicture(fs.File("second.bmp")));
    char value[16] = {};
    if (attributed)
      QCOMPARE(QByteArray(value, int(::getxattr(name.constData(), attribute, value, sizeof value))), "tiles");
    QCOMPARE(::getxattr(name.constData(), "system.posix_acl_access", nullptr, 0), ssize_t(-1));
    QCOMPARE(Entries(fs.File("")).size(), links);
  }

  // A FIFO or a device, or a file that may only be appended to or not changed at all, is refused
  // with its reason before anything is opened or written, and stays what it is.
  void notARegularFileIsNeverReplaced_data() {
    QTest::addColumn<mode_t>("type");
    QTest::addColumn<QString>("attribute");  // chattr's letter, for a regular file
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<QString>("reason");
    const QString cannot = QStringLiteral("このフォルダーかファイルには書き込めません。");
    for (bool inPlace : {false, true}) {
      QTest::addRow("FIFO%s", inPlace ? ", in place" : "") << mode_t(S_IFIFO) << QString() << inPlace << cannot;
      QTest::addRow("device%s", inPlace ? ", in place" : "") << mode_t(S_IFCHR) << QString() << inPlace << cannot;
    }
    QTest::newRow("append-only") << mode_t(S_IFREG) << "a" << false
                                 << QStringLiteral("このファイルは追記しかできないため、書き換えられません。");
    QTest::newRow("immutable") << mode_t(S_IFREG) << "i" << false << cannot;
  }
  void notARegularFileIsNeverReplaced() {
    QFETCH(mode_t, type);
    QFETCH(QString, attribute);
    QFETCH(bool, inPlace);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString target = dir.filePath("map.bmp");
    const QByteArray name = QFile::encodeName(target);
    if (type == S_IFREG) Write(target, kOld);
    if (type != S_IFREG && ::mknod(name.constData(), type | 0666, makedev(1, 3)) != 0)
      QSKIP("making a device node needs root");
    struct Unchanged {  // so that the folder can go
      QString path;
      ~Unchanged() {
        if (!path.isEmpty()) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-ai"), path});
      }
    } unchanged{attribute.isEmpty() ? QString() : target};
    if (!attribute.isEmpty() && QProcess::execute(QStringLiteral("chattr"), {"+" + attribute, target}) != 0)
      QSKIP("chattr cannot set the attribute here: it needs root and a file system that keeps it (ext4, tmpfs)");
    platform::InjectTemporaryFileFault(inPlace);
    QCOMPARE(Message(target), Refusal(target, reason));
    QCOMPARE(platform::OverwriteInPlace(AT_FDCWD, name, "new").outcome, platform::SaveResult::Outcome::NotOpened);
    struct stat after {};
    QCOMPARE(::lstat(name.constData(), &after), 0);
    QCOMPARE(after.st_mode & S_IFMT, type);
    if (type == S_IFREG) QCOMPARE(Read(target), kOld);
    QCOMPARE(Entries(dir.path()), QStringList{"map.bmp"});
  }

  void longestNamesCanBeSavedOver_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("existing");
    QTest::newRow("250 bytes, existing") << 250 << true;
    QTest::newRow("255 bytes, existing") << 255 << true;
    QTest::newRow("255 bytes, new") << 255 << false;
    QTest::newRow("256 bytes, too long") << 256 << false;
  }
  void longestNamesCanBeSavedOver() {
    QFETCH(int, length);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString name = QString(length - 4, QLatin1Char('m')) + QStringLiteral(".bmp");
    if (existing) Write(dir.filePath(name), kOld);
    const bool fits = length <= NAME_MAX;
    QCOMPARE(Message(dir.filePath(name)),
             fits ? QString() : Refusal(dir.filePath(name), QStringLiteral("ファイル名が長すぎます。")));
    if (fits) QVERIFY(HoldsThePicture(dir.filePath(name)));
    QCOMPARE(Entries(dir.path()), fits ? QStringList{name} : QStringList());
  }

  // The file the kernel reaches through the path is saved: through a symbolic link, also to no file
  // yet, also a link in a folder reached through a link (its `..` is the real folder's parent), or
  // a file mounted over the name, which nothing can be renamed over. Links and mounts stay.
  void linkStaysALink_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reached");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("to a file") << "link.bmp" << "maps/map.bmp" << true << false;
    QTest::newRow("to a file, in place") << "link.bmp" << "maps/map.bmp" << true << true;
    QTest::newRow("to no file yet") << "link.bmp" << "maps/map.bmp" << false << false;
    QTest::newRow("in a linked folder") << "linked/map.bmp" << "real/data/map.bmp" << true << false;
    QTest::newRow("to no file yet, in a linked folder") << "linked/map.bmp" << "real/data/map.bmp" << false << false;
    QTest::newRow("a file mounted over the name") << "mounted.bmp" << "maps/map.bmp" << true << false;
  }
  void linkStaysALink() {
    QFETCH(QString, path);
    QFETCH(QString, reached);
    QFETCH(bool, existing);
    QFETCH(bool, inPlace);
    QTemporaryDir dir;
    for (const char* folder : {"maps", "real/sub", "real/data", "data"}) QVERIFY(QDir(dir.path()).mkpath(folder));
    const QStringList links = {"link.bmp", "linked", "real/sub/map.bmp"};
    const QStringList targets = {"maps/map.bmp", "real/sub", "../data/map.bmp"};
    for (int i = 0; i < links.size(); ++i)
      QCOMPARE(::symlink(qPrintable(targets[i]), qPrintable(dir.filePath(links[i]))), 0);
    Write(dir.filePath("data/map.bmp"), kOld);  // where `linked/..` leads as text
    Write(dir.filePath("mounted.bmp"), kOld);
    if (existing) Write(dir.filePath(reached), kOld);
    struct Unmount {
      QByteArray point;
      ~Unmount() {
        if (!point.isEmpty()) ::umount2(point.constData(), MNT_DETACH);
      }
    } unmount;
    if (path == "mounted.bmp") {
      if (::mount(qPrintable(dir.filePath(reached)), qPrintable(dir.filePath(path)), nullptr, MS_BIND, nullptr) != 0)
        QSKIP("mounting a file over another needs root");
      unmount.point = QFile::encodeName(dir.filePath(path));
    }
    platform::InjectTemporaryFileFault(inPlace);
    QCOMPARE(Message(dir.filePath(path)), QString());
    QVERIFY(HoldsThePicture(dir.filePath(reached)));
    QCOMPARE(Read(dir.filePath("data/map.bmp")), kOld);
    for (const QString& link : links) QVERIFY(QFileInfo(dir.filePath(link)).isSymLink());
    QCOMPARE(Entries(QFileInfo(dir.filePath(reached)).path()), QStringList{QFileInfo(reached).fileName()});
    QCOMPARE(Entries(dir.path()), QStringList({"data", "link.bmp", "linked", "maps", "mounted.bmp", "real"}));
  }

  // Under `ulimit -f` a save that would pass the limit is refused with nothing touched, and the
  // program lives on.
  void fileSizeLimit_data() {
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("oldBytes");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("saved");
    for (bool inPlace : {false, true}) {
      const char* path = inPlace ? "in place" : "by rename";
      QTest::addRow("%s, limit at the size", path) << inPlace << 9600 << kPictureBytes << true;
      QTest::addRow("%s, limit a byte short", path) << inPlace << 9600 << kPictureBytes - 1 << false;
    }
    // Writing in place over a file larger than the limit could not put it back.
    QTest::newRow("in place, old file over the limit") << true << 400000 << kPictureBytes << false;
  }
  void fileSizeLimit() {
    QFETCH(bool, inPlace);
    QFETCH(int, oldBytes);
    QFETCH(qint64, limit);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    const QString target = dir.filePath("map.bmp");
    const QByteArray old = kOld.repeated(oldBytes / kOld.size() + 1).left(oldBytes);
    Write(target, old);
    const SaveOnce save = RunSaveOnce(inPlace ? QStringList{target, "in-place"} : QStringList{target}, 0, limit);
    QCOMPARE(save.message,
             saved ? QString()
                   : Refusal(target, QStringLiteral("ファイルの大きさが上限を超えます。元のファイルはそのままです。")));
    QCOMPARE(save.exitCode, saved ? 0 : 3);
    if (saved) QVERIFY(HoldsThePicture(target));
    if (!saved) QCOMPARE(Read(target), old);
    QCOMPARE(Entries(dir.path()), QStringList{"map.bmp"});
  }
};

QTEST_MAIN(SaveDiskTest)
#include "save_disk_test.moc"
