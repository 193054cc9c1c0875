// The language modules: every entry of the string table and every text of every form has a
// translation in each module, and a translation keeps the placeholders of its English text
// (a missing or extra %s would print garbage or drop the file name).

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include "Languages.h"
#include "TNEFReaderConst.h"

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
};

QTEST_GUILESS_MAIN(TTranslationsTest)
#include "TranslationsTest.moc"
