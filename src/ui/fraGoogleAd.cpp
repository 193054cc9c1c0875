#include "fraGoogleAd.h"

#include <QFile>
#include <QSaveFile>
#include <QTextBlock>
#include <QVBoxLayout>

#include "Format.h"
#include "MailtoLink.h"
#include "Shell.h"

// The advertising account is build configuration; without one the slots stay empty and the
// page refers to no other host.
#ifndef VELQUIN_AD_CLIENT
#define VELQUIN_AD_CLIENT ""
#endif
#ifndef VELQUIN_AD_CHANNEL
#define VELQUIN_AD_CHANNEL ""
#endif
#ifndef VELQUIN_AD_SCRIPT
#define VELQUIN_AD_SCRIPT ""
#endif

namespace {

const char* const kPageHead =
    "<HTML>\r\n<head>\r\n<title>%s</title>\r\n<body topmargin=\"2\" leftmargin=\"0\" rightmargin=\"0\" "
    "bottommargin=\"0\" scroll=\"no\"><p align=\"center\">\r\n";
const char* const kSlotGap = "<br><br>\r\n";
const char* const kPageTail =
    "</p>\r\n<br><br><H1>%s</H1><p>%s</p>\r\n<script type=\"text/javascript\">document.body.style.borderstyle = "
    "false</script>\r\n</BODY></HTML>";

// One advertisement slot; empty when the build names no account.
std::string AdSlot(int height, const char* format, const char* type) {
  const std::string client = VELQUIN_AD_CLIENT;
  if (client.empty()) return {};
  std::string slot = "<script type=\"text/javascript\"><!--\r\ngoogle_ad_client = \"" + client +
                     "\";\r\ngoogle_ad_width = 468;\r\ngoogle_ad_height = " + std::to_string(height) +
                     ";\r\ngoogle_ad_format = \"" + format + "\";\r\n";
  if (type != nullptr) slot += std::string("google_ad_type = \"") + type + "\";\r\n";
  slot += std::string("google_ad_channel = \"") + VELQUIN_AD_CHANNEL + "\";\r\n//-->\r\n</script>\r\n";
  slot += std::string("<script type=\"text/javascript\" src=\"") + VELQUIN_AD_SCRIPT + "\"></script>\r\n";
  return slot;
}

// Every line break becomes CR LF, as the page is written as text lines.
QByteArray WithCrLf(const QByteArray& text) {
  QByteArray out;
  out.reserve(text.size() + text.size() / 16);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char c = text.at(i);
    if (c == '\r') {
      if (i + 1 < text.size() && text.at(i + 1) == '\n') ++i;
      out += "\r\n";
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

QVariant TPaneBrowser::loadResource(int type, const QUrl& name) {
  if (!name.isLocalFile() && !name.isRelative()) return {};
  return QTextBrowser::loadResource(type, name);
}

TfraGoogleAd::TfraGoogleAd(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fraGoogleAd"));
  resize(730, 70);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  WebBrowser1 = new TPaneBrowser(this);
  WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1->setFrameShape(QFrame::NoFrame);
  WebBrowser1->setOpenLinks(false);
  WebBrowser1->setOpenExternalLinks(false);
  WebBrowser1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  WebBrowser1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(WebBrowser1);
  connect(WebBrowser1, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { WebBrowser1BeforeNavigate2(url); });
}

TfraGoogleAd::~TfraGoogleAd() {
  for (const QString& file : FPageFiles)
    if (QFile::exists(file)) QFile::remove(file);
}

QString TfraGoogleAd::MakePageFileName(const QString& subject) {
  QString name = subject;
  for (QChar& c : name)
    if (QStringView(u"!./:;?\\").contains(c)) c = QLatin1Char(' ');
  qsizetype begin = 0, end = name.size();
  while (begin < end && name.at(begin).unicode() <= 0x20) ++begin;
  while (end > begin && name.at(end - 1).unicode() <= 0x20) --end;
  const QString folder = QFile::decodeName(QByteArray::fromStdString(FFolder.Path()));
  return folder + QLatin1Char('/') + name.mid(begin, end - begin) + QStringLiteral(".htm");
}

namespace {

// s cut to at most n UTF-16 units, never between the two halves of a surrogate pair.
QString CutAt(const QString& s, qsizetype n) {
  if (s.size() <= n) return s;
  if (n > 0 && s.at(n - 1).isHighSurrogate()) --n;
  return s.left(n);
}

}  // namespace

QString TfraGoogleAd::LeadingText(const QTextDocument& document) {
  QString text;
  for (QTextBlock block = document.begin(); block.isValid() && text.size() < kPageTextChars;
       block = block.next()) {
    if (block != document.begin()) text += QLatin1Char('\n');
    text += block.text();
  }
  // As QTextDocument::toPlainText gives them: plain spaces and line breaks.
  text.replace(QChar::Nbsp, QLatin1Char(' '));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return CutAt(text, kPageTextChars);
}

QByteArray TfraGoogleAd::PageText(const QString& subject, const QString& body) {
  // Subject and body come from a stranger's mail: their markup must show as text.
  const std::string title = subject.toHtmlEscaped().toStdString();
  const std::string text = CutAt(body, kPageTextChars).toHtmlEscaped().toStdString();
  std::string page = FormatText(kPageHead, {Arg(title)});
  page += AdSlot(60, "468x60_as", "text_image");
  page += kSlotGap;
  page += AdSlot(15, "468x15_0ads_al", nullptr);
  page += FormatText(kPageTail, {Arg(title), Arg(text)});
  return WithCrLf(QByteArray::fromStdString(page));
}

void TfraGoogleAd::ShowPage(const QString& subject, const QString& body) {
  try {
    const QString fileName = MakePageFileName(subject);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(PageText(subject, body));
    if (!file.commit()) return;
    FPageFiles << fileName;
    const QUrl url = QUrl::fromLocalFile(fileName);
    if (WebBrowser1->source() == url) WebBrowser1->reload();
    else WebBrowser1->setSource(url);
  } catch (...) {
    // The pane is decoration: whatever went wrong, it keeps the page it had.
  }
}

void TfraGoogleAd::WebBrowser1BeforeNavigate2(const QUrl& url) {
  ShellOpenDocument(url.isLocalFile() ? QFile::encodeName(url.toLocalFile()).toStdString()
                                      : MailtoForShell(url).toString().toStdString());
}
