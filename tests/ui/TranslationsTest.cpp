// The language modules: every entry of the string table and every text of every form has a
// translation in each module, and a translation keeps the placeholders of its English text
// (a missing or extra %s would print garbage or drop the file name).

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <map>

#include "Languages.h"
#include "MessageBodyView.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "UiTestSupport.h"

namespace {

struct TFormText {
  QString Context, Source, Comment;
};

// The translatable texts of a Designer form, under the form's class as uic names them.
QList<TFormText> FormTexts(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader xml(&file);
  QString context;
  QList<TFormText> texts;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == QLatin1String("class") && context.isEmpty()) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("string")) {
      const auto attrs = xml.attributes();
      const bool fixed = attrs.value("notr") == QLatin1String("true");
      const QString comment = attrs.value("comment").toString();
      const QString text = xml.readElementText();
      if (!fixed && !text.isEmpty()) texts.append({context, text, comment});
    }
  }
  return texts;
}

QStringList Placeholders(const QString& text) {
  QStringList found;
  static const QRegularExpression re(QStringLiteral("%[sd%]"));
  for (auto it = re.globalMatch(text); it.hasNext();) found << it.next().captured();
  return found;
}

// The string table's translations as the .ts source writes them, by entry name; <byte>
// elements stand for the control characters XML cannot hold.
std::map<QString, QString> TableTranslations(const QString& path) {
  QFile file(path);
  std::map<QString, QString> found;
  if (!file.open(QIODevice::ReadOnly)) return found;
  QXmlStreamReader xml(&file);
  QString context, comment, translation;
  bool inTranslation = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == QLatin1String("name")) context = xml.readElementText();
      else if (xml.name() == QLatin1String("comment")) comment = xml.readElementText();
      else if (xml.name() == QLatin1String("translation")) inTranslation = true, translation.clear();
      else if (xml.name() == QLatin1String("byte") && inTranslation)
        translation += QChar(xml.attributes().value("value").mid(1).toUInt(nullptr, 16));
    } else if (xml.isCharacters() && inTranslation) {
      translation += xml.text();
    } else if (xml.isEndElement() && xml.name() == QLatin1String("translation")) {
      inTranslation = false;
      if (context == QLatin1String(kStringTableContext)) found[comment] = translation;
    }
  }
  return found;
}

}  // namespace

class TTranslationsTest : public QObject {
  Q_OBJECT

private slots:
  void everyTextIsTranslated_data() {
    QTest::addColumn<QString>("module");
    QTest::newRow("French") << QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.FRA");
    QTest::newRow("Chinese") << QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.CHS");
  }
  void everyTextIsTranslated() {
    QFETCH(QString, module);
    QTranslator translator;
    QVERIFY2(translator.load(module, QString(), QString(), QString()), qPrintable(module));

    QStringList missing, wrongPlaceholders;
    for (int i = 0; i < int(TStringId::Count_); ++i) {
      const auto id = TStringId(i);
      const std::string english(EnglishText(id));
      const QString translated = translator.translate(kStringTableContext, english.c_str(), StringIdName(id));
      if (translated.isEmpty()) missing << QString::fromLatin1(StringIdName(id));
      else if (Placeholders(translated) != Placeholders(QString::fromStdString(english)))
        wrongPlaceholders << QString::fromLatin1(StringIdName(id));
    }
    const QDir forms(QStringLiteral(VELQUIN_FORMS_DIR));
    const QStringList uiFiles = forms.entryList({QStringLiteral("*.ui")}, QDir::Files);
    QVERIFY(uiFiles.contains(QStringLiteral("fmTNEFReaderOptions.ui")));
    QVERIFY(uiFiles.contains(QStringLiteral("fmTNEFReader.ui")));
    for (const QString& ui : uiFiles) {
      for (const TFormText& t : FormTexts(forms.filePath(ui))) {
        const QByteArray source = t.Source.toUtf8(), comment = t.Comment.toUtf8();
        if (translator.translate(t.Context.toUtf8().constData(), source.constData(),
                                 comment.isEmpty() ? nullptr : comment.constData()).isEmpty())
          missing << t.Context + QStringLiteral(": ") + t.Source;
      }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("untranslated: ") + missing.join(QStringLiteral(" | "))));
    QVERIFY2(wrongPlaceholders.isEmpty(), qPrintable(wrongPlaceholders.join(QStringLiteral(", "))));
  }

  // Every translated entry reaches the code as the UTF-8 of its .ts text, and the mail
  // library's failure, which the reader keeps in place of a body, reaches the pane so.
  void translationsArriveAsUtf8_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("source");
    QTest::newRow("French") << QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.FRA")
                            << QStringLiteral(VELQUIN_TS_DIR "/velquin-reader_fr.ts");
    QTest::newRow("Chinese") << QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.CHS")
                             << QStringLiteral(VELQUIN_TS_DIR "/velquin-reader_zh_CN.ts");
  }
  void translationsArriveAsUtf8() {
    QFETCH(QString, module);
    QFETCH(QString, source);
    const std::map<QString, QString> expected = TableTranslations(source);
    QCOMPARE(expected.size(), std::size_t(TStringId::Count_));
    QTranslator translator;
    QVERIFY(translator.load(module, QString(), QString(), QString()));
    QCoreApplication::installTranslator(&translator);
    InstallTranslationHook();
    for (int i = 0; i < int(TStringId::Count_); ++i) {
      const QString name = QString::fromLatin1(StringIdName(TStringId(i)));
      QCOMPARE(QString::fromUtf8(LoadResString(TStringId(i))), expected.at(name));
    }

    QTemporaryDir dir;
    tb::TnefBuilder b;
    b.Subject("Refused body").MsgProps(tb::PropBlock().Binary(uitest::kRtfCompressed, std::string(40, 'x')));
    const std::string path = b.WriteTo(dir.filePath(QStringLiteral("refused.dat")).toStdString());
    TTNEFReader reader(path, "/nonexistent/libvelquin-mapi.so");
    const QString html = MessageBodyHtml(reader).Html;
    const QString firstLine = expected.at(QStringLiteral("MapiLoadFailed")).section(QLatin1Char('\r'), 0, 0);
    QVERIFY2(html.contains(firstLine), qPrintable(html));
    QVERIFY2(!html.contains(QStringLiteral("\u00C2")) && !html.contains(QStringLiteral("\u00E6")), qPrintable(html));
    QCoreApplication::removeTranslator(&translator);
  }
};

QTEST_GUILESS_MAIN(TTranslationsTest)
#include "TranslationsTest.moc"
