#pragma once
// The "Type" column's descriptions: for an extension, the description the file-type
// registry (HKEY_CLASSES_ROOT) gives its class. Each extension is looked up once per run
// and answered from a cache afterwards.

#include <QObject>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class TQvExtensionManager;

// What the registry says about one extension. Created, owned and freed by the manager.
class TQvExtensionInfo {
public:
  QString Description;  // the file type's description; empty when none is registered
  QString Extension;    // as asked for, lower-cased, dot included; empty without extension
  TQvExtensionManager* Manager = nullptr;
  QString FileClass;    // the class the extension's key names; empty when not registered
};

class TQvExtensionManager : public QObject {
  Q_OBJECT
public:
  explicit TQvExtensionManager(QObject* owner = nullptr);
  ~TQvExtensionManager() override;

  // The entry for an extension (dot included, any case). Never null; the object belongs to
  // the manager and lives as long as it. A registry value of a non-string type raises the
  // registry's error and caches nothing, so the next request tries again.
  TQvExtensionInfo& GetExtensionInfo(const QString& extension);

  // Kept for the form's sake; the manager loads no icons.
  QObject* ImageList() const { return FImageList; }
  void SetImageList(QObject* imageList) { FImageList = imageList; }

  // Number of cached entries, and the key of entry i as it was first asked for.
  int CacheCount() const { return static_cast<int>(FCache.size()); }
  const QString& CacheKey(int i) const { return FCache.at(static_cast<std::size_t>(i)).first; }

private:
  std::unique_ptr<TQvExtensionInfo> Build(const QString& extension);

  QObject* FImageList = nullptr;
  // In order of first request; searched from the front.
  std::vector<std::pair<QString, std::unique_ptr<TQvExtensionInfo>>> FCache;
};
