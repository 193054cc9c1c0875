#include "AboutBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>

#include "TNEFReaderConst.h"

#ifndef VELQUIN_VERSION
#define VELQUIN_VERSION "0"
#endif

namespace {

// An action's caption as a title: "A&bout" is "About", "关于(&B)" is "关于".
QString WithoutMnemonic(QString text) {
  static const QRegularExpression kBracketed(QStringLiteral("\\(&.\\)"));
  return text.remove(kBracketed).remove(QLatin1Char('&'));
}

}  // namespace

QString AboutBoxText() {
  const std::string address = kProjectAddress;
  return QString::fromUtf8(
      FormatRes(TStringId::AboutText, {Arg(VELQUIN_VERSION), Arg(address), Arg(address)}));
}

void ShowAboutBox(QWidget* owner) {
  QMessageBox box(owner);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setWindowTitle(WithoutMnemonic(QString::fromUtf8(LoadResString(TStringId::ActionAbout))));
  box.setIconPixmap(QGuiApplication::windowIcon().pixmap(64, 64));
  box.setTextFormat(Qt::RichText);
  box.setText(AboutBoxText());
  box.setTextInteractionFlags(Qt::TextBrowserInteraction);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}
