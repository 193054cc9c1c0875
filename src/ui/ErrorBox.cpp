#include "ErrorBox.h"

#include <QMessageBox>

#include "TNEFReaderConst.h"

namespace {

TErrorBoxHook& Hook() {
  static TErrorBoxHook hook;
  return hook;
}

}  // namespace

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

QString FailureMessage(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return QStringLiteral("Out of memory");
  return QString::fromUtf8(e.what());
}

void ShowErrorBox(QWidget* parent, const QString& message) {
  const QString text = ErrorBoxText(message);
  if (Hook()) {
    Hook()(parent, text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(LoadResString(TStringId::AppTitle)), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

void SetErrorBoxHook(TErrorBoxHook hook) { Hook() = std::move(hook); }
