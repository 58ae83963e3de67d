#pragma once
// The program's only file choosers. Each returns the chosen full path, or an empty string
// when the user cancelled; a chosen file's folder becomes the current directory, so the next
// dialog opens there.
#include <QString>

class QWidget;

// The filter lists, as NUL-separated pairs of description and ';'-separated patterns.
QString PictureOpenFilter();  // BMP, GIF and JPEG, all three first
QString BitmapSaveFilter();

QString ShowOpenDialog(QWidget* owner, const QString& filter, const QString& initialDir);
QString ShowSaveDialog(QWidget* owner, const QString& filter, const QString& initialDir);
