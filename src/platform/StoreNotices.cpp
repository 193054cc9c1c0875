#include "StoreNotices.h"

#include <mutex>
#include <set>

namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}
std::set<std::string>& Seen() {
  static std::set<std::string> seen;
  return seen;
}
std::vector<std::string>& Pending() {
  static std::vector<std::string> pending;
  return pending;
}

}  // namespace

void RecordStoreNotice(const std::string& key, const std::string& text) {
  const std::lock_guard guard(Lock());
  if (Seen().insert(key).second) Pending().push_back(text);
}

std::vector<std::string> TakeStoreNotices() {
  const std::lock_guard guard(Lock());
  std::vector<std::string> taken;
  taken.swap(Pending());
  return taken;
}
