#pragma once
// What the screenshot tools share: settings in a scratch folder, so that the pictures show
// the defaults and no one's own settings change, and a widget saved as it is drawn.

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

inline void UseScratchSettings(const QTemporaryDir& scratch) {
  qputenv("XDG_CONFIG_HOME", (scratch.path() + QStringLiteral("/config")).toUtf8());
  qputenv("XDG_CONFIG_DIRS", (scratch.path() + QStringLiteral("/etc")).toUtf8());
  qputenv("XDG_DATA_HOME", (scratch.path() + QStringLiteral("/data")).toUtf8());
}

inline bool Save(QWidget* widget, const QString& path) {
  widget->activateWindow();
  QApplication::processEvents();
  return widget->grab().save(path);
}
