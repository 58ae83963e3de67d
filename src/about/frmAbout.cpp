#include "about/frmAbout.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "about/SysInfoRegistry.h"
#include "app/AppInfo.h"
#include "app/Artwork.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"

namespace {
const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

template <class W>
W* Place(W* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* Label(const QString& text, QWidget* parent, int left, int top, int width, int height,
              bool black) {
  auto* label = Place(new QLabel(text, parent), left, top, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  if (black) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
  }
  return label;
}

platform::PictureBox* Icon(QWidget* parent) {
  auto* box = new platform::PictureBox(parent, platform::PictureBox::Border::Single);
  box->move(16, 16);
  box->SetAutoSize(true);
  box->SetPicture(AppIconImage());
  return box;
}

// A DWORD arrives least significant byte first; it reads as its unsigned decimal value.
QString DwordText(const char* data, std::uint32_t size) {
  std::uint32_t value = 0;
  for (std::uint32_t i = std::min<std::uint32_t>(size, 4); i-- > 0;)
    value = (value << 8) | std::uint8_t(data[i]);
  return QString::number(value);
}
}  // namespace

frmAbout::frmAbout(about::Registry& registry, ProgramStarter start, QWidget* parent)
    : QDialog(parent),
      picIcon(Icon(this)),
      lblTitle(Label(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"), this, 70, 16, 259, 32, true)),
      lblVersion(Label(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this, 70, 52, 259, 15, false)),
      lblDescription(Label(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの説明"), this, 70, 75, 259, 78, true)),
      lblDisclaimer(Label(QStringLiteral("警告: ..."), this, 17, 175, 258, 55, true)),
      cmdOK(Place(new QPushButton(QStringLiteral("OK"), this), 283, 175, 92, 23)),
      cmdSysInfo(Place(new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this), 284, 205, 92, 23)),
      registry_(registry),
      start_(std::move(start)) {
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
  setFixedSize(382, 237);
  cmdOK->setDefault(true);
  QWidget::setTabOrder(cmdOK, cmdSysInfo);
  connect(cmdOK, &QPushButton::clicked, this, [this] { platform::Guard([this] { cmdOK_Click(); }); });
  connect(cmdSysInfo, &QPushButton::clicked, this, [this] { platform::Guard([this] { cmdSysInfo_Click(); }); });
  Form_Load();
  cmdOK->setFocus();
}

void frmAbout::ShowModal(QWidget* parent) {
  const auto registry = about::SysInfoRegistry();
  frmAbout box(*registry, &frmAbout::StartProgram, parent);
  box.exec();
}

bool frmAbout::StartProgram(const QString& path) { return QProcess::startDetached(path, {}); }

void frmAbout::Form_Load() {
  setWindowTitle(platform::AppTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
  lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                          .arg(app_info::kVersionMajor)
                          .arg(app_info::kVersionMinor)
                          .arg(app_info::kVersionPatch));
  lblTitle->setText(platform::AppTitle());
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::reject() { platform::Guard([this] { cmdOK_Click(); }); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  using about::HKEY_LOCAL_MACHINE;
  try {
    QString path;
    bool found = GetKeyValue(registry_, HKEY_LOCAL_MACHINE, kToolKey, kToolValue, path);
    if (!found) {
      QString folder;
      if (GetKeyValue(registry_, HKEY_LOCAL_MACHINE, kFolderKey, kFolderValue, folder)) {
        path = folder + kToolFile;
        found = QFileInfo(path).isFile();
      }
    }
    // The path from the first lookup is started untested: starting it is the test.
    if (found && start_(path)) return;
  } catch (...) {
  }
  platform::MsgBox(kUnavailable);
}

bool frmAbout::GetKeyValue(about::Registry& registry, about::HKey KeyRoot, const QString& KeyName,
                           const QString& SubKeyRef, QString& KeyVal) {
  about::HKey hKey = 0;
  if (registry.OpenKey(KeyRoot, KeyName, kKeyAccess, &hKey) != about::ERROR_SUCCESS) {
    KeyVal.clear();
    return false;
  }
  // The key is closed whichever way this returns.
  struct Closer {
    about::Registry& registry;
    about::HKey key;
    ~Closer() { registry.CloseKey(key); }
  } closer{registry, hKey};

  char buffer[kValueBufferSize];
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  if (registry.QueryValue(hKey, SubKeyRef, &type, buffer, &size) != about::ERROR_SUCCESS) {
    KeyVal.clear();
    return false;
  }
  if (type == about::REG_SZ) {
    KeyVal = QString::fromLocal8Bit(buffer, qsizetype(strnlen(buffer, size)));
  } else if (type == about::REG_DWORD) {
    KeyVal = DwordText(buffer, size);
  }
  return true;
}

void frmAbout::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // An engraved separator: a grey line with a white one under it.
  QPainter p(this);
  p.setPen(QColor(128, 128, 128));
  p.drawLine(6, 163, 377, 163);
  p.fillRect(QRect(QPoint(7, 164), QPoint(377, 165)), Qt::white);
}
