#include "ClassesRootProvider.h"

#include <mutex>

namespace {

std::mutex& ProviderMutex() {
  static std::mutex m;
  return m;
}

std::shared_ptr<IClassesRootProvider>& Provider() {
  static std::shared_ptr<IClassesRootProvider> provider;
  return provider;
}

}  // namespace

void SetClassesRootProvider(std::shared_ptr<IClassesRootProvider> provider) {
  std::lock_guard lock(ProviderMutex());
  Provider() = std::move(provider);
}

std::shared_ptr<IClassesRootProvider> ClassesRootProvider() {
  std::lock_guard lock(ProviderMutex());
  return Provider();
}
