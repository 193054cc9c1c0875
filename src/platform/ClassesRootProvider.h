#pragma once
// Answers reads under HKEY_CLASSES_ROOT that the registry store itself cannot answer. On
// Linux the file-type descriptions live in the shared MIME database, which the UI layer
// plugs in here (key ".pdf" -> default value "application/pdf"; key "application/pdf" ->
// default value "PDF document" in the user's language).

#include <memory>
#include <optional>
#include <string>

class IClassesRootProvider {
public:
  virtual ~IClassesRootProvider() = default;
  // Whether the key (a path relative to HKEY_CLASSES_ROOT, without a leading "\") exists.
  virtual bool KeyExists(const std::string& keyPath) = 0;
  // A string value of that key; valueName "" is the key's default value.
  virtual std::optional<std::string> ReadString(const std::string& keyPath,
                                                const std::string& valueName) = 0;
};

// Installs the provider every registry object consults (nullptr removes it).
void SetClassesRootProvider(std::shared_ptr<IClassesRootProvider> provider);
std::shared_ptr<IClassesRootProvider> ClassesRootProvider();
