// The type descriptions of the "Type" column: the cache of TQvExtensionManager and the
// shared MIME database behind HKEY_CLASSES_ROOT.

#include <QTest>
#include <map>

#include "MimeClassesRootProvider.h"
#include "QvExtensionManager.h"
#include "Registry.h"
#include "UiTestSupport.h"

namespace {

// A file-type registry of a few keys that counts how often it is read.
class TTableProvider : public IClassesRootProvider {
public:
  std::map<std::string, std::string> Defaults;
  int Reads = 0;

  bool KeyExists(const std::string& key) override {
    ++Reads;
    return Defaults.count(key) != 0;
  }
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
    ++Reads;
    const auto it = Defaults.find(key);
    if (!name.empty() || it == Defaults.end() || it->second.empty()) return std::nullopt;
    return it->second;
  }
};

}  // namespace

class TExtensionManagerTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  std::shared_ptr<TTableProvider> FTable;

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseScratchRegistry(FDir);
  }
  void init() {
    FTable = std::make_shared<TTableProvider>();
    FTable->Defaults = {{".pdf", "pdffile"}, {"pdffile", "PDF Document"}, {".odd", "noclass"},
                        {".bare", "bareclass"}, {"bareclass", ""}};
    SetClassesRootProvider(FTable);
  }
  void cleanup() { SetClassesRootProvider(nullptr); }

  void caseInsensitiveCacheKeepsTheFirstSpelling() {
    TQvExtensionManager m;
    TQvExtensionInfo& lower = m.GetExtensionInfo(QStringLiteral(".pdf"));
    QCOMPARE(lower.Description, QStringLiteral("PDF Document"));
    QCOMPARE(lower.FileClass, QStringLiteral("pdffile"));
    QCOMPARE(lower.Manager, &m);
    QCOMPARE(&m.GetExtensionInfo(QStringLiteral(".PDF")), &lower);
    QCOMPARE(m.CacheCount(), 1);
    QCOMPARE(m.CacheKey(0), QStringLiteral(".pdf"));

    TQvExtensionManager upperFirst;
    TQvExtensionInfo& upper = upperFirst.GetExtensionInfo(QStringLiteral(".PDF"));
    QCOMPARE(upper.Extension, QStringLiteral(".pdf"));
    QCOMPARE(upper.Description, QStringLiteral("PDF Document"));
    QCOMPARE(&upperFirst.GetExtensionInfo(QStringLiteral(".pdf")), &upper);
    QCOMPARE(upperFirst.CacheKey(0), QStringLiteral(".PDF"));
  }

  void missingKeysGiveEmptyTextsAndAreCachedToo() {
    TQvExtensionManager m;
    const TQvExtensionInfo& unknown = m.GetExtensionInfo(QStringLiteral(".zzz"));
    QVERIFY(unknown.FileClass.isEmpty() && unknown.Description.isEmpty());
    const int reads = FTable->Reads;
    m.GetExtensionInfo(QStringLiteral(".ZZZ"));
    QCOMPARE(FTable->Reads, reads);  // answered from the cache

    const TQvExtensionInfo& noClassKey = m.GetExtensionInfo(QStringLiteral(".odd"));
    QCOMPARE(noClassKey.FileClass, QStringLiteral("noclass"));
    QVERIFY(noClassKey.Description.isEmpty());
    const TQvExtensionInfo& noDescription = m.GetExtensionInfo(QStringLiteral(".bare"));
    QCOMPARE(noDescription.FileClass, QStringLiteral("bareclass"));
    QVERIFY(noDescription.Description.isEmpty());

    const TQvExtensionInfo& none = m.GetExtensionInfo(QString());
    QVERIFY(none.Extension.isEmpty() && none.FileClass.isEmpty() && none.Description.isEmpty());
  }

  void nonStringValueRaisesAndCachesNothing() {
    {
      TRegistry r;
      r.SetRootKey(HKEY_CLASSES_ROOT);
      QVERIFY(r.OpenKey(QStringLiteral(".num").toStdString(), true));
      r.WriteInteger("", 7);
    }
    TQvExtensionManager m;
    QVERIFY_THROWS_EXCEPTION(ERegistryException, m.GetExtensionInfo(QStringLiteral(".num")));
    QCOMPARE(m.CacheCount(), 0);
    {
      TRegistry r;
      r.SetRootKey(HKEY_CLASSES_ROOT);
      QVERIFY(r.DeleteKey("\\.num"));
    }
    m.GetExtensionInfo(QStringLiteral(".num"));  // tried again, now without the key
    QCOMPARE(m.CacheCount(), 1);
  }

  void sharedMimeDatabaseAnswersTypeAndComment() {
    SetClassesRootProvider(std::make_shared<TMimeClassesRootProvider>());
    TMimeClassesRootProvider mime;
    QCOMPARE(mime.ReadString(".pdf", ""), std::optional<std::string>("application/pdf"));
    QCOMPARE(mime.ReadString(".PDF", ""), std::optional<std::string>("application/pdf"));
    QVERIFY(mime.KeyExists("application/pdf"));
    QVERIFY(!mime.KeyExists(".no-such-extension-here"));
    QVERIFY(!mime.ReadString(".pdf", "Content Type").has_value());

    TQvExtensionManager m;
    const TQvExtensionInfo& pdf = m.GetExtensionInfo(QStringLiteral(".pdf"));
    QCOMPARE(pdf.FileClass, QStringLiteral("application/pdf"));
    QVERIFY(!pdf.Description.isEmpty());  // "PDF document" in the user's language
  }
};

QTEST_MAIN(TExtensionManagerTest)
#include "ExtensionManagerTest.moc"
