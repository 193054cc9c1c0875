// Writes a user guide (docs/guide/user-guide*.md) as one HTML page, which the Help command
// opens when the build names no web site. Run at build time:
//   velquin-user-guide user-guide.md OUTPUT.html

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: velquin-user-guide GUIDE.md OUTPUT.html\n");
    return 2;
  }
  QFile in(QFile::decodeName(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "velquin-user-guide: cannot read %s\n", argv[1]);
    return 1;
  }
  // The guide is installed beside its pictures, not in the source tree's layout.
  QString markdown = QString::fromUtf8(in.readAll());
  markdown.replace(QStringLiteral("../screenshots/"), QStringLiteral("screenshots/"));
  markdown.replace(QStringLiteral("docs/screenshots/"), QStringLiteral("screenshots/"));
  QTextDocument document;
  document.setMarkdown(markdown);
  document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Velquin Reader"));
  QFile out(QFile::decodeName(argv[2]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(document.toHtml().toUtf8()) < 0) {
    std::fprintf(stderr, "velquin-user-guide: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
