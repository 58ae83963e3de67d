#pragma once
// Qt's own file dialog (the same on every desktop) behaving as the classic open and save
// dialogs: NUL-separated filter pairs with the first selected, only existing files when
// opening, and an existing folder plus a question before replacing or creating when saving.
// What the dialog remembers (history, folders, view) lasts for the run and is never written
// to the user's settings.
#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace platform {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
  FileDialogMode mode;
  QString title;
  QString filter;  // description, NUL, patterns separated by ';', NUL, description, ...
  QString initialDir;
};

// The chosen full path exactly as confirmed (no extension added), or empty for a cancel.
QString RunFileDialog(QWidget* owner, const FileDialogRequest& request);

// Each pair becomes "description (*.A *.B)": Qt splits patterns on blanks only and, with the
// details hidden, shows the description exactly as it stands.
QStringList QtNameFilters(const QString& nulSeparated);

QString CurrentDirectory();
// The folder holding path becomes the process's current directory.
void EnterFolderOf(const QString& path);

// Tests answer dialogs without showing them: the hook gets the configured dialog and returns
// a path, or an empty string for a cancel. An empty function restores the real dialog.
using FileDialogHook = std::function<QString(QFileDialog& dialog)>;
void SetFileDialogHook(FileDialogHook hook);

}  // namespace platform
