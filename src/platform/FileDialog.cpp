#include "platform/FileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/MessageBox.h"
#include "platform/files/DecodingChild.h"

namespace platform {

namespace {
FileDialogHook& Hook() {
  static FileDialogHook hook;
  return hook;
}

// Qt's dialog keeps its state (history, folders, view) in the user's settings when it closes,
// and this program keeps nothing between runs. While a dialog is open, the user's settings
// live in a temporary folder of their own; once it has closed, the folder goes and its text
// waits in memory for the next dialog of the run.
class DialogSettings {
 public:
  DialogSettings() {
    // Without a temporary folder, a path under a file: no folder can be made there, and the
    // dialog's state is not written at all.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       folder_.isValid() ? folder_.path() : QStringLiteral("/dev/null"));
    if (!folder_.isValid() || Kept().isEmpty()) return;
    QFile file(File());
    if (file.open(QIODevice::WriteOnly)) file.write(Kept());
  }
  ~DialogSettings() {
    QFile file(File());
    if (folder_.isValid() && file.open(QIODevice::ReadOnly)) Kept() = file.readAll();
  }
  DialogSettings(const DialogSettings&) = delete;
  DialogSettings& operator=(const DialogSettings&) = delete;

 private:
  static QByteArray& Kept() {
    static QByteArray text;
    return text;
  }
  // Where Qt keeps the dialog's settings: the organisation "QtProject".
  QString File() const { return folder_.filePath(QStringLiteral("QtProject.conf")); }

  QTemporaryDir folder_;
};

class ClassicFileDialog : public QFileDialog {
 public:
  ClassicFileDialog(QWidget* owner, const FileDialogRequest& request)
      : QFileDialog(owner, request.title, request.initialDir) {
    const bool save = request.mode == FileDialogMode::Save;
    setOption(DontUseNativeDialog);
    setOption(HideNameFilterDetails);
    // Replacing is asked in accept(), in Japanese, together with creating.
    setOption(DontConfirmOverwrite);
    setAcceptMode(save ? AcceptSave : AcceptOpen);
    setFileMode(save ? AnyFile : ExistingFile);
    const QStringList filters = QtNameFilters(request.filter);
    setNameFilters(filters);
    if (!filters.isEmpty()) selectNameFilter(filters.first());
    // Qt's Japanese catalogue names the file name and the buttons as the classic dialogs do;
    // these two it words otherwise, and without access keys: a label shows "&" as it stands
    // unless it has a buddy for Alt+I and Alt+T to reach.
    setLabelText(LookIn, QStringLiteral("ファイルの場所(&I):"));
    setLabelText(FileType, QStringLiteral("ファイルの種類(&T):"));
    Buddy(QStringLiteral("lookInLabel"), QStringLiteral("lookInCombo"));
    Buddy(QStringLiteral("fileTypeLabel"), QStringLiteral("fileTypeCombo"));
  }

  void accept() override {
    const QString path = selectedFiles().value(0);
    const QFileInfo info(path);
    // Qt itself enters a folder that was chosen or typed.
    if (path.isEmpty() || info.isDir()) return QFileDialog::accept();
    if (acceptMode() == AcceptOpen) {
      if (!info.isFile()) {
        MsgBox(QStringLiteral("%1\nファイルが見つかりません。\nファイル名を確認してください。")
                   .arg(info.fileName()));
        return;
      }
    } else if (!info.dir().exists()) {
      MsgBox(QStringLiteral("%1\nパスが見つかりません。\nパス名を確認してください。").arg(path));
      return;
    } else if (info.exists()) {
      if (!Ask(QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(info.fileName()),
               QMessageBox::Warning))
        return;
    } else if (!Ask(QStringLiteral("%1 は存在しません。\nファイルを作成しますか?").arg(info.fileName()),
                    QMessageBox::Question)) {
      return;
    }
    QFileDialog::accept();
  }

 private:
  void Buddy(const QString& label, const QString& control) {
    if (auto* l = findChild<QLabel*>(label)) l->setBuddy(findChild<QWidget*>(control));
  }

  // Replacing defaults to "no", creating to "yes".
  bool Ask(const QString& question, QMessageBox::Icon icon) {
    QMessageBox box(icon, windowTitle(), question, QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(icon == QMessageBox::Question ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
  }
};
}  // namespace

QStringList QtNameFilters(const QString& nulSeparated) {
  const QStringList parts = nulSeparated.split(QChar(0));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

QString RunFileDialog(QWidget* owner, const FileDialogRequest& request) {
  // A picture is about to be loaded: its decoding child starts while the user chooses.
  if (request.mode == FileDialogMode::Open) PrepareDecoding();
  // Made first, ended last: the dialog reads the settings when made and writes them when ended.
  const DialogSettings settings;
  ClassicFileDialog dialog(owner, request);
  if (Hook()) return Hook()(dialog);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

QString CurrentDirectory() { return QDir::currentPath(); }

void EnterFolderOf(const QString& path) { QDir::setCurrent(QFileInfo(path).absolutePath()); }

void SetFileDialogHook(FileDialogHook hook) { Hook() = std::move(hook); }

}  // namespace platform
