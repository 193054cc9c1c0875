#include "MimeClassesRootProvider.h"

#include <QMimeDatabase>

namespace {

// Registry keys compare without case; MIME type names and glob lookups here are done in
// lower case.
QString KeyName(const std::string& keyPath) {
  return QString::fromUtf8(keyPath.data(), static_cast<qsizetype>(keyPath.size())).toLower();
}

// The type whose globs claim the extension; invalid when none does.
QMimeType TypeOfExtension(const QString& extension) {
  if (extension.size() < 2 || extension.contains(QLatin1Char('\\')) || extension.contains(QLatin1Char('/')))
    return {};
  const QMimeType type = QMimeDatabase().mimeTypeForFile(QLatin1String("x") + extension,
                                                         QMimeDatabase::MatchExtension);
  return type.isDefault() ? QMimeType() : type;
}

// A key "type/subtype" (no further backslash path below it).
QMimeType TypeOfName(const QString& key) {
  if (!key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\'))) return {};
  const QMimeType type = QMimeDatabase().mimeTypeForName(key);
  return type.isValid() && !type.isDefault() ? type : QMimeType();
}

}  // namespace

bool TMimeClassesRootProvider::KeyExists(const std::string& keyPath) {
  const QString key = KeyName(keyPath);
  if (key.startsWith(QLatin1Char('.'))) return TypeOfExtension(key).isValid();
  return TypeOfName(key).isValid();
}

std::optional<std::string> TMimeClassesRootProvider::ReadString(const std::string& keyPath,
                                                                const std::string& valueName) {
  if (!valueName.empty()) return std::nullopt;
  const QString key = KeyName(keyPath);
  if (key.startsWith(QLatin1Char('.'))) {
    const QMimeType type = TypeOfExtension(key);
    if (type.isValid()) return type.name().toStdString();
    return std::nullopt;
  }
  const QMimeType type = TypeOfName(key);
  if (!type.isValid() || type.comment().isEmpty()) return std::nullopt;
  return type.comment().toStdString();
}
