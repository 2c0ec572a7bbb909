#include "TestDataDir.h"
#include "sheet/ExportLayouts.h"
#include "sheet/SheetImport.h"
#include "sheet/WorkbookReader.h"
#include "sheet/WorkbookWriter.h"
#include "sheet/ZipArchive.h"
#include "store/Database.h"

#include <QFile>
#include <zlib.h>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;

namespace {

const QDateTime kPrintTime(QDate(2026, 5, 17), QTime(14, 3, 9));

QVariantMap lock(const QString &serial, const QString &name, const QString &location, const QVariant &status,
                 const QString &type)
{
    return {{QStringLiteral("SerialID"), serial},       {QStringLiteral("LockName"), name},
            {QStringLiteral("LockLocation"), location}, {QStringLiteral("LockStatusID"), status},
            {QStringLiteral("LockType"), type}};
}

QVariantMap user(const QString &serial, const QString &first, const QString &last, const QString &type,
                 const QString &code, const QString &department = QString())
{
    return {{QStringLiteral("SerialID"), serial},     {QStringLiteral("FirstName"), first},
            {QStringLiteral("LastName"), last},       {QStringLiteral("UserType"), type},
            {QStringLiteral("KeyCode"), code},        {QStringLiteral("Department"), department},
            {QStringLiteral("Status"), QStringLiteral("Active")}};
}

QList<QVariantMap> rows(const QString &sql)
{
    auto q = store::exec(sql);
    return q.ok ? recordsOf(q.value) : QList<QVariantMap>();
}

void insertUser(int id, const QString &serial, const QString &type, const QString &code)
{
    const auto r = store::exec(
        QStringLiteral("INSERT INTO KeyManagement (KeyID, SerialID, FirstName, LastName, UserType, KeyCode) "
                       "VALUES (:id, :s, 'Stored', :last, :t, :c)"),
        {{QStringLiteral("id"), id}, {QStringLiteral("s"), serial}, {QStringLiteral("last"), QString::number(id)},
         {QStringLiteral("t"), type}, {QStringLiteral("c"), code}});
    QVERIFY2(r.ok, qPrintable(r.error));
}

int count(const QString &table)
{
    auto q = store::exec(QStringLiteral("SELECT count(*) FROM ") + table);
    return q.ok && q.value.next() ? q.value.value(0).toInt() : -1;
}

// A sheet in the import layout, rows from 4.
SheetData importSheet(const QVector<QStringList> &dataRows)
{
    SheetData sd(QStringLiteral("Sheet1"));
    for (int r = 0; r < dataRows.size(); ++r)
        for (int c = 0; c < dataRows[r].size(); ++c)
            if (!dataRows[r][c].isEmpty())
                sd.set(r + 4, c + 1, dataRows[r][c]);
    return sd;
}

// Builds a stored-only zip from the members of `path`, with one member replaced.
bool rewriteMember(const QString &path, const QString &member, const QByteArray &content)
{
    static const QStringList members = {
        QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"), QStringLiteral("xl/workbook.xml"),
        QStringLiteral("xl/_rels/workbook.xml.rels"), QStringLiteral("xl/styles.xml"),
        QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/worksheets/sheet1.xml")};
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const auto zip = ZipArchive::fromData(in.readAll());
    in.close();
    if (!zip.ok)
        return false;
    auto le16 = [](QByteArray &b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto le32 = [&](QByteArray &b, quint32 v) { le16(b, quint16(v & 0xFFFF)); le16(b, quint16(v >> 16)); };
    QByteArray out, dir;
    int count = 0;
    for (const QString &name : members) {
        if (!zip.value.contains(name))
            continue;
        const QByteArray data = name == member ? content : zip.value.read(name).value;
        const QByteArray n = name.toUtf8();
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const uchar *>(data.constData()), uInt(data.size())));
        const quint32 offset = quint32(out.size());
        le32(out, 0x04034b50); le16(out, 20); le16(out, 0); le16(out, 0); le16(out, 0); le16(out, 0);
        le32(out, crc); le32(out, quint32(data.size())); le32(out, quint32(data.size()));
        le16(out, quint16(n.size())); le16(out, 0);
        out += n + data;
        le32(dir, 0x02014b50); le16(dir, 20); le16(dir, 20); le16(dir, 0); le16(dir, 0); le16(dir, 0); le16(dir, 0);
        le32(dir, crc); le32(dir, quint32(data.size())); le32(dir, quint32(data.size()));
        le16(dir, quint16(n.size())); le16(dir, 0); le16(dir, 0); le16(dir, 0); le16(dir, 0); le32(dir, 0);
        le32(dir, offset);
        dir += n;
        ++count;
    }
    const quint32 dirOffset = quint32(out.size());
    out += dir;
    le32(out, 0x06054b50); le16(out, 0); le16(out, 0); le16(out, quint16(count)); le16(out, quint16(count));
    le32(out, quint32(dir.size())); le32(out, dirOffset); le16(out, 0);
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(out) == out.size();
}

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT

private slots:
    void workbookRoundTrip()
    {
        QTemporaryDir tmp;
        SheetData first(QStringLiteral("Lock List Report"));
        first.set(1, 1, QStringLiteral("Grüße \"quoted\" <&>"));
        first.set(2, 2, 42.0, QStringLiteral("0"));
        first.set(2, 3, 3.25);
        first.set(3, 1, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), QStringLiteral("yyyy-mm-dd hh:mm:ss"));
        first.set(30, 28, QStringLiteral("far away"));
        first.set(4, 1, QStringLiteral("\"0123456789ABCDEF"), QStringLiteral("0"));
        SheetData second(QStringLiteral("Other"));
        second.set(1, 1, true);

        const QString path = tmp.filePath(QStringLiteral("out/book.xlsx"));
        const Status s = WorkbookWriter::write(path, {first, second});
        QVERIFY2(s.ok, qPrintable(s.error));
        QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

        const auto book = WorkbookReader::read(path);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.value.size(), 2);
        const SheetData &r = book.value[0];
        QCOMPARE(r.name(), QStringLiteral("Lock List Report"));
        QCOMPARE(book.value[1].name(), QStringLiteral("Other"));
        QCOMPARE(r.text(1, 1), QStringLiteral("Grüße \"quoted\" <&>"));
        QCOMPARE(r.text(2, 2), QStringLiteral("42"));
        QCOMPARE(r.cell(2, 2).numberFormat, QStringLiteral("0"));
        QCOMPARE(r.text(2, 3), QStringLiteral("3.25"));
        QCOMPARE(r.cell(3, 1).value.toDateTime(), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
        QCOMPARE(r.cell(3, 1).numberFormat, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
        QCOMPARE(r.text(4, 1), QStringLiteral("\"0123456789ABCDEF"));
        QCOMPARE(r.cell(4, 1).numberFormat, QStringLiteral("0"));
        QCOMPARE(r.text(30, 28), QStringLiteral("far away"));
        QVERIFY(r.cell(5, 1).isEmpty());
        QCOMPARE(book.value[1].text(1, 1), QStringLiteral("TRUE"));
    }

    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("Serial ID,Lock Name\n1,2\n");
        QTest::newRow("zip without workbook") << QByteArray("PK\x03\x04 this is not really a zip archive");
        QTest::newRow("ole header only") << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(100, '\0');
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("bad.xlsx"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const auto r = WorkbookReader::readFirstSheet(path);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(!WorkbookReader::readFirstSheet(tmp.filePath(QStringLiteral("missing.xlsx"))).ok);
    }

    // A workbook whose sheet part says nonsense is refused, not half read.
    void damagedSheetPartIsRefused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::newRow("unchanged, still read") << QByteArray("r=\"A1\"") << QByteArray("r=\"A1\"");
        QTest::newRow("cell reference") << QByteArray("r=\"A1\"") << QByteArray("r=\"A$1\"");
        QTest::newRow("huge column") << QByteArray("r=\"A1\"") << QByteArray("r=\"ZZZZZZZZZZZZZZZZ1\"");
        QTest::newRow("missing string") << QByteArray("<v>0</v>") << QByteArray("<v>99</v>");
        QTest::newRow("broken xml") << QByteArray("</sheetData>") << QByteArray("</sheetDat>");
    }
    void damagedSheetPartIsRefused()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("book.xlsx"));
        SheetData sd(QStringLiteral("S"));
        sd.set(1, 1, QStringLiteral("text"));
        QVERIFY(WorkbookWriter::write(path, {sd}).ok);
        // Rewrite the archive with the sheet part changed, stored uncompressed.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto zip = ZipArchive::fromData(f.readAll());
        QVERIFY(zip.ok);
        QByteArray sheetXml = zip.value.read(QStringLiteral("xl/worksheets/sheet1.xml")).value;
        QVERIFY(sheetXml.contains(from));
        sheetXml.replace(from, to);
        QVERIFY(rewriteMember(path, QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml));
        const auto read = WorkbookReader::readFirstSheet(path);
        QCOMPARE(read.ok, from == to);
        if (read.ok)
            QCOMPARE(read.value.text(1, 1), QStringLiteral("text"));
    }

    void truncatedWorkbookIsRefused()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("book.xlsx"));
        SheetData sd(QStringLiteral("S"));
        for (int r = 1; r < 200; ++r)
            sd.set(r, 1, QStringLiteral("row %1").arg(r));
        QVERIFY(WorkbookWriter::write(path, {sd}).ok);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.resize(f.size() / 2);
        f.close();
        QVERIFY(!WorkbookReader::readFirstSheet(path).ok);
    }

    void lockListExportLayout()
    {
        const SheetData sd = lockListSheet({lock(QStringLiteral("0A00000012345601"), QStringLiteral("Front"),
                                                 QStringLiteral("Hall"), 3, QStringLiteral("iButton")),
                                            lock(QStringLiteral("F300000012345601"), QStringLiteral("Back"),
                                                 QVariant().toString(), QVariant(), QStringLiteral("Access Code"))},
                                           kPrintTime);
        QCOMPARE(sd.name(), QStringLiteral("Lock List Report"));
        QCOMPARE(sd.text(1, 1), QStringLiteral("Lock List Report"));
        QCOMPARE(sd.text(2, 1), QStringLiteral("Print Time: "));
        QCOMPARE(sd.cell(2, 2).value.toDateTime(), kPrintTime);
        QCOMPARE(sd.text(3, 4), QStringLiteral("LockStatusID"));
        QCOMPARE(sd.text(4, 1), QStringLiteral("\"0A00000012345601"));
        QCOMPARE(sd.cell(4, 1).numberFormat, QStringLiteral("0"));
        QCOMPARE(sd.text(4, 4), QStringLiteral("3"));
        QVERIFY(sd.cell(5, 3).isEmpty());
        QVERIFY(sd.cell(5, 4).isEmpty());
        QCOMPARE(sd.columnWidths(), (QMap<int, double>{{1, 18}, {2, 18}, {3, 18}, {4, 18}, {5, 18}}));
    }

    void userListsExportLayout()
    {
        const QList<QVariantMap> users = {user(QStringLiteral("5C0000001A2B3C01"), QStringLiteral("Ann"),
                                               QStringLiteral("Lee"), QStringLiteral("Complex"),
                                               QStringLiteral("0042"), QStringLiteral("Sales"))};
        const SheetData list = userListSheet(users, kPrintTime);
        QCOMPARE(list.name(), QStringLiteral("Key List Report"));
        QCOMPARE(list.text(3, 7), QStringLiteral("Contact Information"));
        QCOMPARE(list.text(4, 1), QStringLiteral("\"5C0000001A2B3C01"));
        QCOMPARE(list.text(4, 4), QStringLiteral("Sales"));
        QCOMPARE(list.text(4, 8), QStringLiteral("Active"));
        QCOMPARE(list.text(4, 10), QStringLiteral("0042"));
        QCOMPARE(list.columnWidths().keys(), (QList<int>{1, 2, 3, 8, 9, 10}));

        const SheetData assigned = lockKeyListSheet(QStringLiteral("Front"), QStringLiteral("Hall"), users, kPrintTime);
        QCOMPARE(assigned.name(), QStringLiteral("Key Lock Assignment Report"));
        QCOMPARE(assigned.text(1, 2), QStringLiteral("Lock Name:Front"));
        QCOMPARE(assigned.text(1, 3), QStringLiteral("Lock Location:Hall"));
        QCOMPARE(assigned.text(4, 1), QStringLiteral("5C0000001A2B3C01"));
        QCOMPARE(assigned.cell(4, 1).numberFormat, QStringLiteral("0"));
        QVERIFY(assigned.columnWidths().isEmpty());
    }

    void loginLogExportLayout()
    {
        const SheetData sd = loginLogSheet(
            {{{QStringLiteral("LoginTime"), QStringLiteral("2026-05-01 08:00:00")},
              {QStringLiteral("LogoutTime"), QVariant(QMetaType(QMetaType::QString))},
              {QStringLiteral("LoginName"), QStringLiteral("riradu")},
              {QStringLiteral("LoginLevel"), QVariant(QMetaType(QMetaType::QString))}}},
            kPrintTime);
        QCOMPARE(sd.name(), QStringLiteral("Login Log Report"));
        QCOMPARE(sd.text(3, 2), QStringLiteral("Logout Time"));
        QCOMPARE(sd.cell(4, 1).value.toDateTime(), QDateTime(QDate(2026, 5, 1), QTime(8, 0)));
        QCOMPARE(sd.cell(4, 1).numberFormat, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
        QVERIFY(sd.cell(4, 2).isEmpty());
        QCOMPARE(sd.text(4, 3), QStringLiteral("riradu"));
        QVERIFY(sd.cell(4, 4).isEmpty());
    }

    // Export the lock list to a file and import it into an empty database.
    void lockListRoundTripThroughFile()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("locks.xlsx"));
        QList<QVariantMap> exported;
        {
            TestDataDir dir;
            QVERIFY(store::exec(QStringLiteral(
                                    "INSERT INTO LockManagement VALUES "
                                    "(7, '0A00000012345601', 'Front', 'Hall', 3, 'iButton'),"
                                    "(41, 'F300000012345601', 'Back door', '', 1, 'Access Code')"))
                        .ok);
            exported = rows(QStringLiteral("SELECT * FROM LockManagement ORDER BY LockID"));
            QVERIFY(WorkbookWriter::write(path, {lockListSheet(exported, kPrintTime)}).ok);
        }
        const auto back = WorkbookReader::readFirstSheet(path);
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.value.name(), QStringLiteral("Lock List Report"));
        QCOMPARE(back.value.text(5, 2), QStringLiteral("Back door"));
        QCOMPARE(back.value.cell(4, 1).numberFormat, QStringLiteral("0"));

        TestDataDir dir;
        ImportOutcome o = SheetImport::importLocks(path);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.inserted, 2);
        const auto imported = rows(QStringLiteral("SELECT * FROM LockManagement ORDER BY LockID"));
        QCOMPARE(imported.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(imported[i].value(QStringLiteral("LockID")).toInt(), i + 1);
            for (const char *col : {"SerialID", "LockName", "LockLocation", "LockStatusID", "LockType"})
                QCOMPARE(imported[i].value(QLatin1String(col)).toString(),
                         exported[i].value(QLatin1String(col)).toString());
        }

        o = SheetImport::importLocks(path);
        QVERIFY(o.ok);
        QCOMPARE(o.inserted, 0);
        QCOMPARE(o.skipped, 2);
        QCOMPARE(count(QStringLiteral("LockManagement")), 2);
    }

    void userListRoundTripThroughFile()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("users.xlsx"));
        const QList<QVariantMap> users = {
            user(QStringLiteral("5C0000001A2B3C01"), QStringLiteral("Ann"), QStringLiteral("Lee"),
                 QStringLiteral("iButton"), QString()),
            user(QString(), QStringLiteral("Bo"), QStringLiteral("Ma"), QStringLiteral("KeyCode"), QStringLiteral("0042")),
            user(QStringLiteral("A10000001A2B3C01"), QStringLiteral("Cy"), QStringLiteral("Ng"),
                 QStringLiteral("Complex"), QStringLiteral("7788"))};
        QVERIFY(WorkbookWriter::write(path, {userListSheet(users, kPrintTime)}).ok);

        TestDataDir dir;
        const ImportOutcome o = SheetImport::importUsers(path);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.inserted, 3);
        const auto got = rows(QStringLiteral("SELECT * FROM KeyManagement ORDER BY KeyID"));
        QCOMPARE(got.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(got[i].value(QStringLiteral("KeyID")).toInt(), i + 1);
            for (const char *col : {"SerialID", "FirstName", "LastName", "UserType", "KeyCode"})
                QCOMPARE(got[i].value(QLatin1String(col)).toString(), users[i].value(QLatin1String(col)).toString());
            QCOMPARE(got[i].value(QStringLiteral("Status")).toString(), QStringLiteral("Active"));
            QCOMPARE(got[i].value(QStringLiteral("TimeShiftID")).toInt(), 1);
            QCOMPARE(got[i].value(QStringLiteral("ActExpDateID")).toInt(), 1);
            QCOMPARE(got[i].value(QStringLiteral("ExpDateID")).toInt(), 1);
            QCOMPARE(got[i].value(QStringLiteral("ExpDate")).toInt(), 1);
            QCOMPARE(got[i].value(QStringLiteral("Department")).toString(), QString());
        }
    }

    void userDuplicateRules_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("imported");
        // Stored: iButton 0A..01 without code; KeyCode user 1234; Complex B1..01 with 5555.
        QTest::newRow("iButton, serial taken") << "iButton" << "0A00000000000001" << "" << false;
        QTest::newRow("iButton, serial of a Complex user") << "iButton" << "B100000000000001" << "" << false;
        QTest::newRow("iButton, new serial") << "iButton" << "0C00000000000001" << "1234" << true;
        QTest::newRow("KeyCode, code taken") << "KeyCode" << "" << "1234" << false;
        QTest::newRow("KeyCode, code of a Complex user") << "KeyCode" << "" << "5555" << false;
        QTest::newRow("KeyCode, new code") << "KeyCode" << "0A00000000000001" << "9999" << true;
        QTest::newRow("Complex, both taken") << "Complex" << "B100000000000001" << "5555" << false;
        QTest::newRow("Complex, only serial taken") << "Complex" << "0A00000000000001" << "4321" << true;
        QTest::newRow("Complex, only code taken") << "Complex" << "0D00000000000001" << "1234" << true;
        QTest::newRow("quoted serial is unquoted") << "iButton" << "\"0A00000000000001" << "" << false;
    }
    void userDuplicateRules()
    {
        QFETCH(QString, type);
        QFETCH(QString, serial);
        QFETCH(QString, code);
        QFETCH(bool, imported);
        TestDataDir dir;
        insertUser(1, QStringLiteral("0A00000000000001"), QStringLiteral("iButton"), QString());
        insertUser(2, QString(), QStringLiteral("KeyCode"), QStringLiteral("1234"));
        insertUser(3, QStringLiteral("B100000000000001"), QStringLiteral("Complex"), QStringLiteral("5555"));
        const SheetData sd = importSheet({{serial, QStringLiteral("New"), QStringLiteral("Person"), {}, {}, {}, {}, {},
                                           type, code}});
        const ImportOutcome o = SheetImport::importUsers(sd);
        QVERIFY(o.ok);
        QCOMPARE(o.inserted, imported ? 1 : 0);
        QCOMPARE(count(QStringLiteral("KeyManagement")), imported ? 4 : 3);
        if (imported)
            QCOMPARE(rows(QStringLiteral("SELECT KeyID FROM KeyManagement WHERE FirstName = 'New'"))
                         .value(0).value(QStringLiteral("KeyID")).toInt(), 4);
    }

    void userImportCompareOnlyWithStoredUsersAndStopsAtEmptyFirstName()
    {
        TestDataDir dir;
        const QString same = QStringLiteral("0A00000000000001");
        const SheetData sd = importSheet({
            {same, QStringLiteral("One"), QStringLiteral("A"), {}, {}, {}, {}, {}, QStringLiteral("iButton"), {}},
            {same, QStringLiteral("Two"), QStringLiteral("B"), {}, {}, {}, {}, {}, QStringLiteral("iButton"), {}},
            {QStringLiteral("0B00000000000001"), QStringLiteral("   "), QStringLiteral("C"), {}, {}, {}, {}, {},
             QStringLiteral("iButton"), {}},
            {QStringLiteral("0C00000000000001"), QStringLiteral("Four"), QStringLiteral("D"), {}, {}, {}, {}, {},
             QStringLiteral("iButton"), {}},
        });
        const ImportOutcome o = SheetImport::importUsers(sd);
        QVERIFY(o.ok);
        QCOMPARE(o.inserted, 2);
        QCOMPARE(rows(QStringLiteral("SELECT FirstName FROM KeyManagement ORDER BY KeyID")).size(), 2);
        QVERIFY(rows(QStringLiteral("SELECT * FROM KeyManagement WHERE FirstName = 'Four'")).isEmpty());
    }

    void lockImportStopsAtEmptySerialAndLastRow()
    {
        TestDataDir dir;
        SheetData sd(QStringLiteral("S"));
        for (int r = 4; r <= 1005; ++r) {
            sd.set(r, 1, QStringLiteral("%1").arg(r, 16, 10, QLatin1Char('0')));
            sd.set(r, 4, 1.0);
        }
        QCOMPARE(SheetImport::importLocks(sd).inserted, 998); // rows 4 to 1001
        QVERIFY(store::exec(QStringLiteral("DELETE FROM LockManagement")).ok);
        sd.set(6, 1, QStringLiteral("  "));
        QCOMPARE(SheetImport::importLocks(sd).inserted, 2);
    }

    void brokenRowKeepsEarlierRows_data()
    {
        QTest::addColumn<QString>("status");
        QTest::newRow("text") << "one";
        QTest::newRow("empty") << "";
        QTest::newRow("fraction") << "1.5";
    }
    void brokenRowKeepsEarlierRows()
    {
        QFETCH(QString, status);
        TestDataDir dir;
        const SheetData sd = importSheet({
            {QStringLiteral("\"0A00000000000001"), QStringLiteral("L1"), {}, QStringLiteral("2"), QStringLiteral("iButton")},
            {QStringLiteral("\"0B00000000000001"), QStringLiteral("L2"), {}, status, QStringLiteral("iButton")},
            {QStringLiteral("\"0C00000000000001"), QStringLiteral("L3"), {}, QStringLiteral("1"), QStringLiteral("iButton")},
        });
        const ImportOutcome o = SheetImport::importLocks(sd);
        QVERIFY(!o.ok);
        QCOMPARE(o.failedRow, 5);
        QCOMPARE(o.inserted, 1);
        const auto stored = rows(QStringLiteral("SELECT * FROM LockManagement"));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].value(QStringLiteral("SerialID")).toString(), QStringLiteral("0A00000000000001"));
        QCOMPARE(stored[0].value(QStringLiteral("LockStatusID")).toInt(), 2);
    }

    void unreadableImportInsertsNothing()
    {
        TestDataDir dir;
        const QString path = dir.file(QStringLiteral("notes.xlsx"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
        f.close();
        QVERIFY(!SheetImport::importLocks(path).ok);
        QVERIFY(!SheetImport::importUsers(path).ok);
        QCOMPARE(count(QStringLiteral("LockManagement")), 0);
        QCOMPARE(count(QStringLiteral("KeyManagement")), 0);
    }

    void serialFromCell_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("serial");
        QTest::newRow("exported with quote") << "\"0A00000012345601" << "0A00000012345601";
        QTest::newRow("plain") << "0A00000012345601" << "0A00000012345601";
        QTest::newRow("short") << "ABC" << "ABC";
        QTest::newRow("too long") << "x0A00000012345601yz" << "0A00000012345601";
    }
    void serialFromCell()
    {
        QFETCH(QString, cell);
        QFETCH(QString, serial);
        QCOMPARE(SheetImport::serialFromCell(cell), serial);
    }

    // A workbook in the Excel 97-2003 format (tests/data/make_lock_list_xls.py).
    void legacyWorkbookReadsAndImports()
    {
        const QString path = testDataPath(QStringLiteral("lock_list.xls"));
        const auto book = WorkbookReader::read(path);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.value.size(), 1);
        const SheetData &sd = book.value[0];
        QCOMPARE(sd.name(), QStringLiteral("Lock List Report"));
        QCOMPARE(sd.text(3, 4), QStringLiteral("LockStatusID"));
        QCOMPARE(sd.text(4, 1), QStringLiteral("\"0A00000012345601"));
        QCOMPARE(sd.text(4, 4), QStringLiteral("2"));
        QVERIFY(sd.cell(5, 3).isEmpty());
        QCOMPARE(sd.text(1002, 1), QStringLiteral("beyond the import range"));

        TestDataDir dir;
        const ImportOutcome o = SheetImport::importLocks(path);
        QVERIFY2(o.ok, qPrintable(o.error));
        QCOMPARE(o.inserted, 3);
        const auto stored = rows(QStringLiteral("SELECT * FROM LockManagement ORDER BY LockID"));
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored[0].value(QStringLiteral("SerialID")).toString(), QStringLiteral("0A00000012345601"));
        QCOMPARE(stored[1].value(QStringLiteral("LockType")).toString(), QStringLiteral("Access Code"));
        QCOMPARE(stored[1].value(QStringLiteral("LockStatusID")).toInt(), 1);
        QCOMPARE(stored[2].value(QStringLiteral("SerialID")).toString(), QStringLiteral("5C0000001A2B3C01"));
        QCOMPARE(stored[2].value(QStringLiteral("LockLocation")).toString(), QStringLiteral("Annex"));
    }

    void exportFileNamesDoNotCollide()
    {
        QTemporaryDir tmp;
        const QString a = exportFilePath(tmp.path(), QStringLiteral("Lock List"), kPrintTime);
        QCOMPARE(a, tmp.filePath(QStringLiteral("exports/Lock List 2026-05-17 140309.xlsx")));
        QVERIFY(WorkbookWriter::write(a, {SheetData(QStringLiteral("S"))}).ok);
        const QString b = exportFilePath(tmp.path(), QStringLiteral("Lock List"), kPrintTime);
        QVERIFY(b != a);
        QVERIFY(!QFile::exists(b));
    }
};

QTEST_GUILESS_MAIN(TestSheet)
#include "tst_sheet.moc"
