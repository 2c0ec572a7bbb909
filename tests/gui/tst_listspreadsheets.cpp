#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/Clock.h"
#include "masterdata/TKeyManagement_Form.h"
#include "masterdata/TLockManagement_Form.h"
#include "sheet/SheetTransfer.h"
#include "sheet/WorkbookReader.h"
#include "sheet/WorkbookWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace samples;
using Kind = MessageService::Kind;

// The spreadsheet buttons of Lock Settings and User Settings.
class TestListSpreadsheets : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<MessageRecorder> m_msg;
    QStringList m_opened;

    QStringList lockNames(TLockManagement_Form &w)
    {
        QStringList out;
        for (int r = 0; r < w.master()->recordCount(); ++r)
            out << w.master()->valueAt(r, QStringLiteral("LockName")).toString();
        return out;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        QVERIFY(m_dir->ok());
        m_msg = std::make_unique<MessageRecorder>();
        loginAs(2);
        AppContext::instance().dataDir = m_dir->path();
        Clock::freezeAt(QDateTime(QDate(2026, 6, 1), QTime(9, 30, 0)));
        m_opened.clear();
        sheetgui::setDesktopOpener([this](const QString &p) { m_opened << p; });
    }
    void cleanup()
    {
        sheetgui::resetDesktopOpener();
        m_msg.reset();
        m_dir.reset();
    }

    void nothingToExport()
    {
        {
            TKeyManagement_Form users;
            users.show();
            QVERIFY(!button(&users, "exportButton")->isEnabled());
            sheetgui::exportUserList(&users, *users.master());
            QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("No Data to print!")));
        }
        TLockManagement_Form w;
        w.show();
        w.sbExportLockListClick();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("No Data to export.")));
        w.sbExportKeyListClick();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("No Data to export!")));
        QVERIFY(m_opened.isEmpty());
        QVERIFY(!QFile::exists(m_dir->file(QStringLiteral("exports"))));
    }

    void exportsTheListsShown()
    {
        addLock(1, serial(1), QStringLiteral("Front Door"), QStringLiteral("Main"), 2);
        addLock(2, serial(2), QStringLiteral("Store Room"), QStringLiteral("Annex"), 1, QStringLiteral("Access Code"));
        addUser(1, QStringLiteral("Ann"), QStringLiteral("Archer"), QStringLiteral("iButton"), serial(11), QString());
        assign(1, 1, QStringLiteral("Ann"), QStringLiteral("Archer"));
        TLockManagement_Form w;
        w.show();
        button(&w, "exportLockListButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Data has been exported successfully.")));
        QCOMPARE(m_opened.size(), 1);
        auto book = sheet::WorkbookReader::readFirstSheet(m_opened[0]);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.value.name(), QStringLiteral("Lock List Report"));
        QCOMPARE(book.value.text(4, 1), QLatin1Char('"') + serial(1));
        QCOMPARE(book.value.text(4, 4), QStringLiteral("2"));
        QCOMPARE(book.value.text(5, 2), QStringLiteral("Store Room"));
        QCOMPARE(book.value.text(5, 5), QStringLiteral("Access Code"));
        QCOMPARE(book.value.rowCount(), 5);

        QVERIFY(w.master()->locate(QStringLiteral("LockID"), 1));
        button(&w, "exportKeyListButton")->click();
        QCOMPARE(m_opened.size(), 2);
        book = sheet::WorkbookReader::readFirstSheet(m_opened[1]);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.value.name(), QStringLiteral("Key Lock Assignment Report"));
        QCOMPARE(book.value.text(1, 2), QStringLiteral("Lock Name:Front Door"));
        QCOMPARE(book.value.text(1, 3), QStringLiteral("Lock Location:Main"));
        QCOMPARE(book.value.text(4, 2), QStringLiteral("Ann"));
        QCOMPARE(book.value.rowCount(), 4);

        // Only the locks the search found are exported.
        child<QCheckBox>(&w, "searchLockTypeCheck")->setChecked(true);
        child<QComboBox>(&w, "searchLockTypeCombo")->setCurrentText(QStringLiteral("Access Code"));
        w.sbSearchClick();
        button(&w, "exportLockListButton")->click();
        QCOMPARE(m_opened.size(), 3);
        book = sheet::WorkbookReader::readFirstSheet(m_opened[2]);
        QVERIFY(book.ok);
        QCOMPARE(book.value.rowCount(), 4);
        QCOMPARE(book.value.text(4, 2), QStringLiteral("Store Room"));
    }

    void importAddsNewLocksAndSearchesAgain()
    {
        addLock(1, serial(1), QStringLiteral("Front Door"), QStringLiteral("Main"));
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("locks.xlsx"));
        sheet::SheetData sd(QStringLiteral("Lock List Report"));
        sd.set(4, 1, QLatin1Char('"') + serial(1)); // already there
        sd.set(4, 2, QStringLiteral("Other name"));
        sd.set(4, 4, 1.0);
        sd.set(5, 1, QLatin1Char('"') + serial(3));
        sd.set(5, 2, QStringLiteral("Gate"));
        sd.set(5, 3, QStringLiteral("Yard"));
        sd.set(5, 4, 2.0);
        sd.set(5, 5, QStringLiteral("iButton"));
        QVERIFY(sheet::WorkbookWriter::write(path, {sd}).ok);

        TLockManagement_Form w;
        w.show();
        m_msg->queueFileName(QString()); // cancelled: nothing happens
        button(&w, "importButton")->click();
        QCOMPARE(m_msg->count(), 0);

        m_msg->queueFileName(path);
        button(&w, "importButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Data has been imported successfully.")));
        QCOMPARE(lockNames(w), (QStringList{QStringLiteral("Front Door"), QStringLiteral("Gate")}));
        QCOMPARE(text(QStringLiteral("SELECT LockID FROM LockManagement WHERE LockName = 'Gate'")), QStringLiteral("2"));

        QFile bad(tmp.filePath(QStringLiteral("bad.xls")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("definitely not a workbook");
        bad.close();
        m_msg->queueFileName(bad.fileName());
        button(&w, "importButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Error, QStringLiteral("Please select excel file")));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM LockManagement")), 2);
    }

    // Exported users import back unchanged into an empty database.
    void userListExportsAndImportsBack()
    {
        addUser(1, QStringLiteral("Ann"), QStringLiteral("Archer"), QStringLiteral("iButton"), serial(11), QString(), QStringLiteral("Sales"));
        addUser(2, QStringLiteral("Bob"), QStringLiteral("Baker"), QStringLiteral("KeyCode"), QString(), QStringLiteral("0042"));
        addUser(3, QStringLiteral("Cid"), QStringLiteral("Cole"), QStringLiteral("Complex"), serial(12), QStringLiteral("555"));
        QString exported;
        {
            TKeyManagement_Form w;
            w.show();
            QVERIFY(button(&w, "exportButton")->isEnabled() && button(&w, "importButton")->isEnabled());
            button(&w, "exportButton")->click();
            QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Data has been exported successfully.")));
            QCOMPARE(m_opened.size(), 1);
            exported = m_opened[0];
        }
        const auto book = sheet::WorkbookReader::readFirstSheet(exported);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.value.name(), QStringLiteral("Key List Report"));
        QCOMPARE(book.value.text(3, 10), QStringLiteral("Key Code"));
        QCOMPARE(book.value.cell(4, 1).numberFormat, QStringLiteral("0"));

        QTemporaryDir keep;
        const QString file = keep.filePath(QStringLiteral("users.xlsx"));
        QVERIFY(QFile::copy(exported, file));
        m_msg.reset();
        m_dir.reset(); // closes the shared connection: the new database opens after it
        m_dir = std::make_unique<TestDataDir>();
        m_msg = std::make_unique<MessageRecorder>();
        AppContext::instance().dataDir = m_dir->path();

        TKeyManagement_Form w;
        w.show();
        QCOMPARE(w.master()->recordCount(), 0);
        m_msg->queueFileName(file);
        button(&w, "importButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Data has been imported successfully.")));
        QCOMPARE(w.master()->recordCount(), 3); // the search ran again
        QCOMPARE(text(QStringLiteral("SELECT KeyCode FROM KeyManagement WHERE FirstName = 'Bob'")), QStringLiteral("0042"));
        QCOMPARE(text(QStringLiteral("SELECT SerialID FROM KeyManagement WHERE FirstName = 'Cid'")), serial(12));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM KeyManagement WHERE ExpDate = 1 AND Status = 'Active'")), 3);

        // The same file again: every row is a duplicate.
        m_msg->queueFileName(file);
        button(&w, "importButton")->click();
        QCOMPARE(m_msg->last(), QStringLiteral("Data has been imported successfully."));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM KeyManagement")), 3);
    }
};

CORVANE_GUITEST_MAIN(TestListSpreadsheets)
#include "tst_listspreadsheets.moc"
