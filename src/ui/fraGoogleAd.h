#pragma once
// TfraGoogleAd: the web pane along the bottom of the main window. For each opened message it
// writes a small HTML page with the subject and the body's text (and, in builds configured
// with an advertising account, the two advertisement slots) and shows it. No link is ever
// followed inside the pane: each goes to the desktop's default browser.

#include <QStringList>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>

#include "TempFolder.h"

// The pane's browser: shows local pages only and never fetches anything from elsewhere.
class TPaneBrowser : public QTextBrowser {
  Q_OBJECT
public:
  using QTextBrowser::QTextBrowser;
  QVariant loadResource(int type, const QUrl& name) override;
};

class TfraGoogleAd : public QWidget {
  Q_OBJECT
public:
  explicit TfraGoogleAd(QWidget* parent = nullptr);
  // Deletes the page files the pane wrote.
  ~TfraGoogleAd() override;

  // The page is a summary in a 70-pixel strip: it carries at most this many characters of
  // the body, so a long body costs no layout time here.
  static constexpr qsizetype kPageTextChars = 4096;
  // The first kPageTextChars characters of a document's plain text, without converting the
  // rest of it.
  static QString LeadingText(const QTextDocument& document);

  // Writes and shows the page for a message. Raises nothing: on any failure the pane keeps
  // the page it showed before.
  void ShowPage(const QString& subject, const QString& body);
  // The page file for a subject: the marks ! . / : ; ? \ become spaces, spaces and control
  // characters at either end go, ".htm" follows; in the pane's private temporary folder.
  // Raises when that folder cannot be made.
  QString MakePageFileName(const QString& subject);
  // The page's HTML for a subject and the start of the body (kPageTextChars), both escaped,
  // with CR LF line ends.
  static QByteArray PageText(const QString& subject, const QString& body);

  TPaneBrowser* WebBrowser1 = nullptr;
  const QStringList& PageFiles() const { return FPageFiles; }

private:
  void WebBrowser1BeforeNavigate2(const QUrl& url);

  QStringList FPageFiles;
  TPrivateTempFolder FFolder;
};
