#include "store/Database.h"

#include "store/DbValue.h"
#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

namespace store {
namespace {

const QString kConnection = QLatin1String(QSqlDatabase::defaultConnection);

QString fileReason(const QString &path, const QString &reason)
{
    return QStringLiteral("The database file \"%1\" cannot be used: %2").arg(QDir::toNativeSeparators(path), reason);
}

Status buildSchema(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!db.transaction())
        return Status::failure(db.lastError().text());
    const QStringList statements = schemaStatements() + seedStatements();
    for (const QString &sql : statements) {
        if (!q.exec(sql)) {
            const QString err = q.lastError().text();
            db.rollback();
            return Status::failure(QStringLiteral("%1 (%2)").arg(err, sql));
        }
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) ||
        !q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId))) {
        const QString err = q.lastError().text();
        db.rollback();
        return Status::failure(err);
    }
    if (!db.commit())
        return Status::failure(db.lastError().text());
    return Status::success();
}

void applyConnectionSettings(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    q.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
}

} // namespace

QString Database::filePath(const QString &dataDir) { return QDir(dataDir).filePath(databaseFileName()); }

QSqlDatabase Database::connection() { return QSqlDatabase::database(kConnection, false); }

bool Database::isOpen() { return QSqlDatabase::contains(kConnection) && connection().isOpen(); }

void Database::close()
{
    if (!QSqlDatabase::contains(kConnection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
}

Status Database::create(const QString &dataDir)
{
    const QString path = filePath(dataDir);
    if (QFileInfo::exists(path))
        return Status::failure(fileReason(path, QStringLiteral("a database already exists there.")));
    if (!QDir().mkpath(dataDir))
        return Status::failure(QStringLiteral("The data folder \"%1\" cannot be created.").arg(QDir::toNativeSeparators(dataDir)));
    Status s;
    {
        const QString name = QStringLiteral("corvane-create");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            s = Status::failure(fileReason(path, db.lastError().text()));
        } else {
            s = buildSchema(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("corvane-create"));
    if (!s.ok) {
        // Only a file this call created is removed.
        QFile::remove(path);
        return Status::failure(fileReason(path, s.error));
    }
    return Status::success();
}

Status Database::open(const QString &dataDir, bool createIfMissing)
{
    close();
    const QString path = filePath(dataDir);
    if (!QFileInfo::exists(path)) {
        if (!createIfMissing)
            return Status::failure(fileReason(path, QStringLiteral("the file does not exist.")));
        const Status created = create(dataDir);
        if (!created.ok)
            return created;
    }
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return Status::failure(fileReason(path, QStringLiteral("it is not a readable file.")));

    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(path);
        if (!db.open()) {
            reason = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA application_id")) || !q.next()) {
                reason = QStringLiteral("it is not a database (%1).").arg(q.lastError().text());
            } else if (q.value(0).toInt() != kApplicationId) {
                reason = QStringLiteral("it is not a Corvane Lock database.");
            } else if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next() ||
                       q.value(0).toInt() > kSchemaVersion) {
                reason = QStringLiteral("it was made by a newer version of this program.");
            }
        }
        if (reason.isEmpty())
            applyConnectionSettings(db);
        else
            db.close();
    }
    if (!reason.isEmpty()) {
        QSqlDatabase::removeDatabase(kConnection);
        return Status::failure(fileReason(path, reason));
    }
    return Status::success();
}

QStringList Database::check(const QSqlDatabase &db)
{
    QStringList problems;
    QSqlQuery q(db);
    for (const Table &t : schemaTables()) {
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(t.name))) {
            problems << QStringLiteral("Table %1 cannot be read: %2").arg(t.name, q.lastError().text());
            continue;
        }
        QStringList present;
        while (q.next())
            present << q.value(1).toString();
        if (present.isEmpty()) {
            problems << QStringLiteral("Missing table: %1").arg(t.name);
            continue;
        }
        for (const Column &c : t.columns)
            if (!present.contains(c.name, Qt::CaseInsensitive))
                problems << QStringLiteral("Missing column: %1.%2").arg(t.name, c.name);
    }
    if (q.exec(QStringLiteral("PRAGMA application_id")) && q.next() && q.value(0).toInt() != kApplicationId)
        problems << QStringLiteral("Not a Corvane Lock database (application id %1)").arg(q.value(0).toInt());
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next() && q.value(0).toInt() != kSchemaVersion)
        problems << QStringLiteral("Schema version %1, expected %2").arg(q.value(0).toInt()).arg(kSchemaVersion);
    if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
        problems << QStringLiteral("Integrity check failed: %1").arg(q.lastError().text());
    } else {
        while (q.next()) {
            const QString line = q.value(0).toString();
            if (line != QLatin1String("ok"))
                problems << QStringLiteral("Integrity: %1").arg(line);
        }
    }
    return problems;
}

int nextId(const QString &table, const QString &idColumn, const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT max(%1) as Temp1 FROM %2").arg(idColumn, table)) || !q.next())
        return 1;
    const QVariant v = q.value(0);
    return v.isNull() ? 1 : v.toInt() + 1;
}

void bindParams(QSqlQuery &q, const QString &sql, const QVariantMap &params)
{
    static const QRegularExpression placeholder(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)"));
    QHash<QString, QString> spelled;
    for (auto m = placeholder.globalMatch(sql); m.hasNext();) {
        const QString name = m.next().captured(1);
        spelled.insert(name.toUpper(), name);
    }
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        QString key = it.key().startsWith(QLatin1Char(':')) ? it.key().mid(1) : it.key();
        key = spelled.value(key.toUpper(), key);
        bind(q, QLatin1Char(':') + key, it.value());
    }
}

Result<QSqlQuery> exec(const QString &sql, const QVariantMap &params, const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        return Result<QSqlQuery>::failure(q.lastError().text());
    bindParams(q, sql, params);
    if (!q.exec())
        return Result<QSqlQuery>::failure(q.lastError().text());
    return Result<QSqlQuery>::success(std::move(q));
}

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db)) { m_started = m_db.transaction(); }

Transaction::~Transaction()
{
    if (m_started && !m_done)
        m_db.rollback();
}

bool Transaction::commit()
{
    if (!m_started || m_done)
        return false;
    m_done = true;
    return m_db.commit();
}

void Transaction::rollback()
{
    if (m_started && !m_done) {
        m_done = true;
        m_db.rollback();
    }
}

} // namespace store
