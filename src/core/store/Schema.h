#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace store {

enum class ColumnType { Integer, Text, Boolean, DateTime, Time, Picture };

struct Column
{
    QString name;
    ColumnType type;
};

struct Table
{
    QString name;
    QVector<Column> columns;
    QString constraints; // extra table constraints, e.g. "PRIMARY KEY (LockID)"
};

// Every table of the database with its columns, in the order of the INSERT
// statements that write them.
const QVector<Table> &schemaTables();
const Table *findTable(const QString &name);

// CREATE TABLE and CREATE INDEX statements for a new database.
QStringList schemaStatements();
// INSERT statements for the rows a new database starts with. The seeded
// operator's password is hashed when the statements are built.
QStringList seedStatements();

constexpr int kSchemaVersion = 1;
constexpr int kApplicationId = 0x434C4B31; // "CLK1"

// The account a new database starts with (the README states it).
inline QString seededOperatorName() { return QStringLiteral("riradu"); }
inline QString seededOperatorPassword() { return QStringLiteral("61837294"); }

} // namespace store
