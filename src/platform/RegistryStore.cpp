#include "RegistryStore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <deque>
#include <filesystem>
#include <set>

#include "StoreNotices.h"
#include "TNEFReaderConst.h"

// The statements a store has prepared, by the address of their text (each query is one
// literal), so that one text is prepared once for the store's life.
struct TRegistryStore::TStatementCache {
  struct TEntry {
    const char* Sql;
    sqlite3_stmt* Stmt;
    bool InUse;
  };
  std::deque<TEntry> Entries;  // a deque, so that a borrowed entry stays where it is
  ~TStatementCache() {
    for (const TEntry& e : Entries) sqlite3_finalize(e.Stmt);
  }
};

namespace {

// How long a writer waits for another process's transaction before giving up. Writes are a
// few milliseconds each, so this only runs out when another process hangs holding the lock.
constexpr int kBusyTimeoutMs = 10000;

// Windows limits a key name to 255 characters; the store does the same so that a path from
// a caller cannot grow without bound.
constexpr std::size_t kMaxKeyNameLength = 255;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    "  hive INTEGER NOT NULL,"
    "  path TEXT NOT NULL COLLATE NOCASE,"
    "  PRIMARY KEY(hive, path)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS vals("
    "  hive INTEGER NOT NULL,"
    "  path TEXT NOT NULL COLLATE NOCASE,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(hive, path, name)) WITHOUT ROWID;";

// One prepared statement. Given the store's cache, it borrows the statement prepared for
// the same text before (or prepares it there) and resets it when it goes, as preparing costs
// more than running these queries and the options are read value by value at every start;
// without the cache, or while the cached one is in use, it is prepared for itself and
// finalised when it goes.
class TStatement {
public:
  TStatement(sqlite3* db, const char* sql) {
    if (db) FRc = sqlite3_prepare_v2(db, sql, -1, &FStmt, nullptr);
  }
  TStatement(sqlite3* db, TRegistryStore::TStatementCache& cache, const char* sql);
  ~TStatement();
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  bool Ok() const { return FStmt != nullptr && FRc == SQLITE_OK; }
  TStatement& Bind(int i, int v) {
    if (Ok()) sqlite3_bind_int(FStmt, i, v);
    return *this;
  }
  TStatement& Bind(int i, const std::string& s) {
    if (Ok()) sqlite3_bind_text(FStmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TStatement& BindBlob(int i, const std::string& s) {
    if (Ok()) sqlite3_bind_blob(FStmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return Ok() ? sqlite3_step(FStmt) : SQLITE_ERROR; }
  std::string Text(int col) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(FStmt, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(FStmt, col))) : std::string();
  }
  int Int(int col) const { return sqlite3_column_int(FStmt, col); }

private:
  sqlite3_stmt* FStmt = nullptr;
  int FRc = SQLITE_ERROR;
  bool* FInUse = nullptr;  // the cache entry's flag, when the statement is borrowed
};

TStatement::TStatement(sqlite3* db, TRegistryStore::TStatementCache& cache, const char* sql) {
  if (!db) return;
  for (auto& e : cache.Entries) {
    if (e.Sql != sql || e.InUse) continue;
    FStmt = e.Stmt;
    FRc = SQLITE_OK;
    e.InUse = true;
    FInUse = &e.InUse;
    return;
  }
  const bool reusable = std::none_of(cache.Entries.begin(), cache.Entries.end(),
                                     [sql](const auto& e) { return e.Sql == sql; });
  FRc = sqlite3_prepare_v3(db, sql, -1, reusable ? SQLITE_PREPARE_PERSISTENT : 0, &FStmt, nullptr);
  if (!reusable || !Ok()) return;
  cache.Entries.push_back({sql, FStmt, true});
  FInUse = &cache.Entries.back().InUse;
}

TStatement::~TStatement() {
  if (!FInUse) {
    sqlite3_finalize(FStmt);
    return;
  }
  sqlite3_reset(FStmt);
  sqlite3_clear_bindings(FStmt);
  *FInUse = false;
}

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// A write transaction: BEGIN IMMEDIATE takes the write lock up front, so two writers queue
// on the busy timeout instead of one of them failing when it upgrades a read lock.
class TWriteTransaction {
public:
  explicit TWriteTransaction(sqlite3* db) : FDb(db) { FActive = Exec(db, "BEGIN IMMEDIATE"); }
  ~TWriteTransaction() {
    if (FActive) Exec(FDb, "ROLLBACK");
  }
  TWriteTransaction(const TWriteTransaction&) = delete;
  TWriteTransaction& operator=(const TWriteTransaction&) = delete;
  bool Active() const { return FActive; }
  bool Commit() {
    if (!FActive) return false;
    FActive = false;
    if (Exec(FDb, "COMMIT")) return true;
    Exec(FDb, "ROLLBACK");
    return false;
  }

private:
  sqlite3* FDb;
  bool FActive = false;
};

bool ValidPath(const std::string& path) {
  if (path.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const auto sep = path.find('\\', start);
    const std::size_t len = (sep == std::string::npos ? path.size() : sep) - start;
    if (len == 0 || len > kMaxKeyNameLength) return false;
    if (sep == std::string::npos) return true;
    start = sep + 1;
  }
}

// SQLite's NOCASE folds ASCII letters only, and no letter sorts between "\" (0x5C) and "]"
// (0x5D), so the keys below path are exactly those in [path + "\", path + "]").
std::string Below(const std::string& path) { return path + "\\"; }
std::string BelowEnd(const std::string& path) { return path + "]"; }

// Whether the database answers a consistency check: "not a database" and damaged pages both
// fail here rather than later in the middle of a write.
int CheckAndPrepare(sqlite3* db, bool writable) {
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  {
    TStatement check(db, "PRAGMA quick_check(1)");
    if (!check.Ok()) {
      const int rc = sqlite3_errcode(db);
      return rc == SQLITE_OK ? SQLITE_CORRUPT : rc;
    }
    const int rc = check.Step();
    if (rc != SQLITE_ROW) return rc;
    if (check.Text(0) != "ok") return SQLITE_CORRUPT;
  }
  if (!writable) return SQLITE_OK;
  TWriteTransaction tx(db);
  if (!tx.Active()) return sqlite3_errcode(db);
  if (!Exec(db, kSchema)) return sqlite3_errcode(db);
  return tx.Commit() ? SQLITE_OK : sqlite3_errcode(db);
}

bool IsDamaged(int rc) {
  rc &= 0xFF;
  return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
}

sqlite3* OpenFile(const std::string& path, bool writable) {
  sqlite3* db = nullptr;
  const int flags = writable ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

std::string AsideName(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  std::string base = path + ".corrupt-" + stamp;
  std::string name = base;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(name, ec); ++n) name = base + "-" + std::to_string(n);
  return name;
}

// An exclusive lock beside the store, held while a damaged file is moved aside, so that two
// copies of the program that both find it damaged do not move each other's fresh file.
class TFileLock {
public:
  explicit TFileLock(const std::string& path) {
    FFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FFd >= 0) ::flock(FFd, LOCK_EX);
  }
  ~TFileLock() {
    if (FFd >= 0) ::close(FFd);
  }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

private:
  int FFd = -1;
};

sqlite3* OpenWritableWithRecovery(const std::string& path) {
  sqlite3* db = OpenFile(path, true);
  if (!db) return nullptr;
  int rc = CheckAndPrepare(db, true);
  if (rc == SQLITE_OK) return db;
  sqlite3_close(db);
  if (!IsDamaged(rc)) return nullptr;

  TFileLock lock(path + ".lock");
  db = OpenFile(path, true);
  if (!db) return nullptr;
  rc = CheckAndPrepare(db, true);
  if (rc == SQLITE_OK) return db;  // another process replaced it meanwhile
  sqlite3_close(db);
  if (!IsDamaged(rc)) return nullptr;

  const std::string aside = AsideName(path);
  if (::rename(path.c_str(), aside.c_str()) != 0) return nullptr;
  // A journal left beside a damaged file belongs to it, not to the fresh store.
  const std::string journal = path + "-journal";
  if (::access(journal.c_str(), F_OK) == 0) ::rename(journal.c_str(), (aside + "-journal").c_str());
  RecordStoreNotice("set aside " + aside, FormatRes(TStringId::RegStoreReplaced, {Arg(path), Arg(aside)}));

  db = OpenFile(path, true);
  if (!db) return nullptr;
  if (CheckAndPrepare(db, true) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

// The stores hold a few pages of a few keys each, and a connection lives for one read or
// write of the options. SQLite's defaults suit long-lived databases instead: every
// connection sets up a lookaside heap and a bulk of page-cache slots up front, and writing
// their free lists touches each of their memory pages, which at start-up (three
// connections before the window is painted) costs more than the queries themselves.
// Without them, the little memory the queries need comes from the heap as they go.
void ConfigureSqliteOnce() {
  static const bool configured = [] {
    // Fails harmlessly when SQLite is already in use, which leaves its defaults.
    sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 0, 0);
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
    return true;
  }();
  (void)configured;
}

}  // namespace

std::unique_ptr<TRegistryStore> TRegistryStore::Open(const std::string& path, bool writable) {
  if (path.empty()) return nullptr;
  ConfigureSqliteOnce();
  sqlite3* db = nullptr;
  if (writable) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder.parent_path(), ec);
    ::mkdir(folder.c_str(), 0700);  // the user's settings are nobody else's business
    db = OpenWritableWithRecovery(path);
  } else {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    db = OpenFile(path, false);
    if (db && CheckAndPrepare(db, false) != SQLITE_OK) {
      sqlite3_close(db);
      db = nullptr;
    }
  }
  if (!db) return nullptr;
  return std::unique_ptr<TRegistryStore>(new TRegistryStore(path, db, writable));
}

TRegistryStore::TRegistryStore(std::string path, sqlite3* db, bool writable)
    : FPath(std::move(path)), FDb(db), FWritable(writable), FStatements(std::make_unique<TStatementCache>()) {}

TRegistryStore::~TRegistryStore() {
  FStatements.reset();  // a database with statements left open would not close
  sqlite3_close(FDb);
}

bool TRegistryStore::KeyExists(THive hive, const std::string& path) {
  if (!ValidPath(path)) return false;
  if (path.empty()) return true;
  TStatement q(FDb, *FStatements, "SELECT 1 FROM keys WHERE hive = ?1 AND path = ?2");
  q.Bind(1, static_cast<int>(hive)).Bind(2, path);
  return q.Step() == SQLITE_ROW;
}

bool TRegistryStore::CreateKey(THive hive, const std::string& path) {
  if (!ValidPath(path)) return false;
  if (path.empty()) return true;
  if (!FWritable) return KeyExists(hive, path);
  TWriteTransaction tx(FDb);
  if (!tx.Active()) return false;
  std::size_t pos = 0;
  while (true) {
    const auto sep = path.find('\\', pos);
    const std::string prefix = sep == std::string::npos ? path : path.substr(0, sep);
    TStatement step(FDb, *FStatements, "INSERT OR IGNORE INTO keys(hive, path) VALUES(?1, ?2)");
    step.Bind(1, static_cast<int>(hive)).Bind(2, prefix);
    if (step.Step() != SQLITE_DONE) return false;
    if (sep == std::string::npos) break;
    pos = sep + 1;
  }
  return tx.Commit();
}

bool TRegistryStore::DeleteKey(THive hive, const std::string& path) {
  if (!FWritable || path.empty() || !ValidPath(path)) return false;
  TWriteTransaction tx(FDb);
  if (!tx.Active()) return false;
  TStatement delKeys(FDb, *FStatements,
                     "DELETE FROM keys WHERE hive = ?1 AND (path = ?2 OR (path >= ?3 AND path < ?4))");
  delKeys.Bind(1, static_cast<int>(hive)).Bind(2, path).Bind(3, Below(path)).Bind(4, BelowEnd(path));
  if (delKeys.Step() != SQLITE_DONE) return false;
  const bool existed = sqlite3_changes(FDb) > 0;
  TStatement delVals(FDb, *FStatements,
                     "DELETE FROM vals WHERE hive = ?1 AND (path = ?2 OR (path >= ?3 AND path < ?4))");
  delVals.Bind(1, static_cast<int>(hive)).Bind(2, path).Bind(3, Below(path)).Bind(4, BelowEnd(path));
  if (delVals.Step() != SQLITE_DONE) return false;
  return tx.Commit() && existed;
}

std::optional<TRegValue> TRegistryStore::GetValue(THive hive, const std::string& path,
                                                  const std::string& name) {
  if (!ValidPath(path)) return std::nullopt;
  TStatement q(FDb, *FStatements, "SELECT type, data FROM vals WHERE hive = ?1 AND path = ?2 AND name = ?3");
  q.Bind(1, static_cast<int>(hive)).Bind(2, path).Bind(3, name);
  if (q.Step() != SQLITE_ROW) return std::nullopt;
  return TRegValue{static_cast<std::uint32_t>(q.Int(0)), q.Text(1)};
}

bool TRegistryStore::SetValue(THive hive, const std::string& path, const std::string& name,
                              const TRegValue& value) {
  if (!FWritable || !ValidPath(path)) return false;
  TWriteTransaction tx(FDb);
  if (!tx.Active()) return false;
  if (!path.empty() && !KeyExists(hive, path)) return false;
  TStatement up(FDb, *FStatements,
                "INSERT INTO vals(hive, path, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                "ON CONFLICT(hive, path, name) DO UPDATE SET type = excluded.type, data = excluded.data");
  up.Bind(1, static_cast<int>(hive)).Bind(2, path).Bind(3, name);
  up.Bind(4, static_cast<int>(value.Type)).BindBlob(5, value.Data);
  if (up.Step() != SQLITE_DONE) return false;
  return tx.Commit();
}

bool TRegistryStore::DeleteValue(THive hive, const std::string& path, const std::string& name) {
  if (!FWritable || !ValidPath(path)) return false;
  TWriteTransaction tx(FDb);
  if (!tx.Active()) return false;
  TStatement del(FDb, *FStatements, "DELETE FROM vals WHERE hive = ?1 AND path = ?2 AND name = ?3");
  del.Bind(1, static_cast<int>(hive)).Bind(2, path).Bind(3, name);
  if (del.Step() != SQLITE_DONE) return false;
  const bool existed = sqlite3_changes(FDb) > 0;
  return tx.Commit() && existed;
}

std::vector<std::string> TRegistryStore::SubKeyNames(THive hive, const std::string& path) {
  std::vector<std::string> names;
  if (!ValidPath(path)) return names;
  const std::string prefix = path.empty() ? "" : Below(path);
  TStatement q(FDb, *FStatements, path.empty()
                        ? "SELECT path FROM keys WHERE hive = ?1 AND instr(path, '\\') = 0"
                        : "SELECT path FROM keys WHERE hive = ?1 AND path >= ?2 AND path < ?3");
  q.Bind(1, static_cast<int>(hive));
  if (!path.empty()) q.Bind(2, prefix).Bind(3, BelowEnd(path));
  while (q.Step() == SQLITE_ROW) {
    const std::string child = q.Text(0).substr(prefix.size());
    if (child.find('\\') == std::string::npos) names.push_back(child);
  }
  return names;
}

std::vector<std::string> TRegistryStore::ValueNames(THive hive, const std::string& path) {
  std::vector<std::string> names;
  TStatement q(FDb, *FStatements, "SELECT name FROM vals WHERE hive = ?1 AND path = ?2");
  q.Bind(1, static_cast<int>(hive)).Bind(2, path);
  while (q.Step() == SQLITE_ROW) names.push_back(q.Text(0));
  return names;
}
