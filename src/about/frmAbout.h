#pragma once
// The about box: title, version, and a button that starts the system information tool
// whose path the registry gives.
#include <QDialog>
#include <QString>
#include <functional>

#include "about/Registry.h"

class QLabel;
class QPushButton;
namespace platform {
class PictureBox;
}

class frmAbout : public QDialog {
 public:
  static inline const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
  static inline const QString kToolValue = QStringLiteral("PATH");
  static inline const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
  static inline const QString kFolderValue = QStringLiteral("MSINFO");
  static inline const QString kToolFile = QStringLiteral("\\MSINFO32.EXE");
  static constexpr std::uint32_t kKeyAccess = 0x2003F;
  static constexpr int kValueBufferSize = 1024;

  // Starts the program at the path in a normal, focused window; false when it cannot.
  using ProgramStarter = std::function<bool(const QString& path)>;
  static bool StartProgram(const QString& path);

  frmAbout(about::Registry& registry, ProgramStarter start, QWidget* parent = nullptr);

  // Shows the box modally over the parent, with this platform's stand-in registry.
  static void ShowModal(QWidget* parent);

  platform::PictureBox* const picIcon;
  QLabel* const lblTitle;
  QLabel* const lblVersion;
  QLabel* const lblDescription;
  QLabel* const lblDisclaimer;
  QPushButton* const cmdOK;
  QPushButton* const cmdSysInfo;

  void Form_Load();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void StartSysInfo();

  // One value as text; false, with KeyVal emptied, when the key or the value cannot be read.
  // A value must fit kValueBufferSize bytes with its terminating zero.
  static bool GetKeyValue(about::Registry& registry, about::HKey KeyRoot, const QString& KeyName,
                          const QString& SubKeyRef, QString& KeyVal);

 protected:
  // Escape and the close box act as cmdOK.
  void reject() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  about::Registry& registry_;
  ProgramStarter start_;
};
