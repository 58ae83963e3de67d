#include "about/Registry.h"

#include <cstring>

namespace about {

void MemoryRegistry::SetValue(HKey root, const QString& path, const QString& name, std::uint32_t type,
                              const QByteArray& data) {
  keys_[{root, path.toLower()}][name.toLower()] = Value{type, data};
}

void MemoryRegistry::SetString(HKey root, const QString& path, const QString& name, const QString& text) {
  QByteArray data = text.toLocal8Bit();
  data.append('\0');
  SetValue(root, path, name, REG_SZ, data);
}

long MemoryRegistry::OpenKey(HKey root, const QString& path, std::uint32_t, HKey* key) {
  const auto found = keys_.find({root, path.toLower()});
  if (found == keys_.end()) return ERROR_FILE_NOT_FOUND;
  *key = next_++;
  open_[*key] = &found->second;
  return ERROR_SUCCESS;
}

long MemoryRegistry::QueryValue(HKey key, const QString& name, std::uint32_t* type, char* buffer,
                                std::uint32_t* size) {
  const auto open = open_.find(key);
  if (open == open_.end()) return ERROR_INVALID_HANDLE;
  const auto value = open->second->find(name.toLower());
  if (value == open->second->end()) return ERROR_FILE_NOT_FOUND;
  const QByteArray& data = value->second.data;
  const std::uint32_t capacity = *size;
  *type = value->second.type;
  *size = std::uint32_t(data.size());
  if (*size > capacity) return ERROR_MORE_DATA;
  std::memcpy(buffer, data.constData(), data.size());
  return ERROR_SUCCESS;
}

long MemoryRegistry::CloseKey(HKey key) { return open_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

}  // namespace about
