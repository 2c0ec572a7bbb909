#pragma once

#include "common/Result.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace store {

inline QString databaseFileName() { return QStringLiteral("TavolixLockDB.db"); }

// The program's one connection to its database.
class Database
{
public:
    // Opens TavolixLockDB.db in dataDir as the shared connection. A missing file
    // is created with the full schema and seed rows when createIfMissing is
    // set. An existing file that SQLite cannot read, or that is not this
    // program's database, is refused with a message naming the file and the
    // reason, and is left untouched.
    static Status open(const QString &dataDir, bool createIfMissing = true);
    // Creates the data folder and a new database; refuses when one exists.
    static Status create(const QString &dataDir);
    // Closes and removes the shared connection.
    static void close();
    static bool isOpen();
    static QSqlDatabase connection();
    static QString filePath(const QString &dataDir);

    // Schema problems (missing tables or columns, wrong version) and the
    // result of SQLite's integrity check; empty when all is well.
    static QStringList check(const QSqlDatabase &db);
};

// New ID for a table: SELECT max(<ID>) as Temp1 FROM <table>, plus 1; 1 when empty.
int nextId(const QString &table, const QString &idColumn, const QSqlDatabase &db = Database::connection());

// Binds named parameters to a prepared statement, through toDb. Names match
// the placeholders of `sql` without regard to letter case (a statement sorted
// by a column title comes back upper-cased, placeholders included); a leading
// ':' on a name is optional.
void bindParams(QSqlQuery &q, const QString &sql, const QVariantMap &params);

// Runs one statement with named parameters (bound through toDb). The query is
// returned active for reading; ok is false and error filled on failure.
Result<QSqlQuery> exec(const QString &sql, const QVariantMap &params = {},
                       const QSqlDatabase &db = Database::connection());

// Commits on commit(); rolls back when destroyed otherwise.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db = Database::connection());
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    bool started() const { return m_started; }
    bool commit();
    void rollback();

private:
    QSqlDatabase m_db;
    bool m_started = false;
    bool m_done = false;
};

} // namespace store
