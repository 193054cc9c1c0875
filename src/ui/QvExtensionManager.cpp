#include "QvExtensionManager.h"

#include <QLocale>

#include "Registry.h"

namespace {

// The default value of a key directly under HKEY_CLASSES_ROOT, opened read-only; "" when
// the key is missing or has no default value. A value of another type raises.
QString ReadClassesRootDefault(TRegistry& registry, const QString& key) {
  // A leading "\" takes the path from the root, whatever key was open before.
  std::string path = key.toStdString();
  path.insert(path.begin(), '\\');
  if (!registry.OpenKeyReadOnly(path)) return {};
  struct TCloser {
    TRegistry& R;
    ~TCloser() { R.CloseKey(); }
  } closer{registry};
  return QString::fromStdString(registry.ReadString(""));
}

}  // namespace

TQvExtensionManager::TQvExtensionManager(QObject* owner) : QObject(owner) {}

TQvExtensionManager::~TQvExtensionManager() = default;

TQvExtensionInfo& TQvExtensionManager::GetExtensionInfo(const QString& extension) {
  for (auto& [key, info] : FCache)
    if (QString::compare(key, extension, Qt::CaseInsensitive) == 0) return *info;
  // Built first and appended only when the registry read succeeded.
  std::unique_ptr<TQvExtensionInfo> info = Build(extension);
  FCache.emplace_back(extension, std::move(info));
  return *FCache.back().second;
}

std::unique_ptr<TQvExtensionInfo> TQvExtensionManager::Build(const QString& extension) {
  auto info = std::make_unique<TQvExtensionInfo>();
  info->Manager = this;
  info->Extension = QLocale::system().toLower(extension);
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  // The empty extension names the root itself, whose default value is normally absent.
  info->FileClass = ReadClassesRootDefault(registry, info->Extension);
  if (!info->FileClass.isEmpty()) info->Description = ReadClassesRootDefault(registry, info->FileClass);
  return info;
}
