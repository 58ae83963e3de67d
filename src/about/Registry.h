#pragma once
// The registry as the about box reads it: open a key, query one value into the caller's
// buffer, close the key. MemoryRegistry holds its values in memory; it stands in for the
// registry on this platform (see SysInfoRegistry.h) and in tests.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <utility>

namespace about {

using HKey = std::uint32_t;
constexpr HKey HKEY_LOCAL_MACHINE = 0x80000002;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;

class Registry {
 public:
  virtual ~Registry() = default;
  // ERROR_SUCCESS and the handle of the open key, or an error code.
  virtual long OpenKey(HKey root, const QString& path, std::uint32_t access, HKey* key) = 0;
  // Copies the value's data into buffer, which holds *size bytes, and sets *type and *size
  // to the value's type and length. Data longer than the buffer fails with ERROR_MORE_DATA.
  virtual long QueryValue(HKey key, const QString& name, std::uint32_t* type, char* buffer,
                          std::uint32_t* size) = 0;
  virtual long CloseKey(HKey key) = 0;
};

class MemoryRegistry : public Registry {
 public:
  void SetValue(HKey root, const QString& path, const QString& name, std::uint32_t type,
                const QByteArray& data);
  // A string value as it is stored: the text followed by its terminating zero.
  void SetString(HKey root, const QString& path, const QString& name, const QString& text);
  // Keys opened and not yet closed.
  int OpenKeys() const { return int(open_.size()); }

  long OpenKey(HKey root, const QString& path, std::uint32_t access, HKey* key) override;
  long QueryValue(HKey key, const QString& name, std::uint32_t* type, char* buffer,
                  std::uint32_t* size) override;
  long CloseKey(HKey key) override;

 private:
  struct Value {
    std::uint32_t type;
    QByteArray data;
  };
  using Values = std::map<QString, Value>;  // by lower-case name: the registry ignores case

  std::map<std::pair<HKey, QString>, Values> keys_;
  std::map<HKey, const Values*> open_;
  HKey next_ = 1;
};

}  // namespace about
