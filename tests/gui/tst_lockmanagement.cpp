#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/AppContext.h"
#include "common/RecordEditor.h"
#include "masterdata/KeyLockReport.h"
#include "masterdata/TLockManagement_Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTableView>
#include <QTextDocument>

using namespace samples;
using State = store::CachedQuery::State;

class TestLockManagement : public WindowTest
{
    Q_OBJECT


    // Two locks, users programmed into them, an access code for each.
    void seed()
    {
        addLock(1, serial(1), "Front Door", "Main Building");
        addLock(2, serial(2), "Store Room", "Annex");
        addUser(1, "Ann", "Archer", "iButton", serial(11), "");
        addUser(2, "Bob", "Baker", "KeyCode", "", "1234");
        assign(1, 1, "Ann", "Archer");
        assign(1, 2, "Bob", "Baker");
        assign(2, 1, "Ann", "Archer");
        run("INSERT INTO AccessCode (SerialID, LockName, CodeString) VALUES (:s, 'Front Door', '111')", {{"s", serial(1)}});
        run("INSERT INTO AccessCode (SerialID, LockName, CodeString) VALUES (:s, 'Store Room', '222')", {{"s", serial(2)}});
    }

    void fill(TLockManagement_Form &w, const QString &serialText, const QString &name, const QString &location)
    {
        child<QLineEdit>(&w, "serialIdEdit")->setText(serialText);
        child<QLineEdit>(&w, "lockNameEdit")->setText(name);
        child<QComboBox>(&w, "lockLocationCombo")->setEditText(location);
    }

    QStringList names(TLockManagement_Form &w)
    {
        QStringList out;
        for (int r = 0; r < w.master()->recordCount(); ++r)
            out << w.master()->valueAt(r, "LockName").toString();
        return out;
    }

private slots:
    void init()
    {
        QVERIFY(openSession(2));
    }
    void cleanup()
    {
        closeSession();
    }

    void buttonStatesFollowTheRecord()
    {
        seed();
        TLockManagement_Form w;
        w.show();
        auto enabled = [&w](const char *n) { return button(&w, n)->isEnabled(); };
        QVERIFY(enabled("addButton") && enabled("modifyButton") && enabled("deleteButton") && enabled("searchButton"));
        QVERIFY(!enabled("saveButton") && !enabled("cancelButton"));
        QVERIFY(!child<QLineEdit>(&w, "lockNameEdit")->isEnabled());
        QVERIFY(enabled("exportLockListButton") && enabled("importButton") && enabled("exportKeyListButton"));

        button(&w, "addButton")->click();
        QCOMPARE(w.master()->state(), State::Insert);
        QVERIFY(!enabled("addButton") && !enabled("modifyButton") && !enabled("deleteButton") && !enabled("searchButton"));
        QVERIFY(!enabled("quitButton") && !child<QLineEdit>(&w, "searchLockNameEdit")->isEnabled());
        QVERIFY(enabled("saveButton") && enabled("cancelButton"));
        QVERIFY(child<QLineEdit>(&w, "lockNameEdit")->isEnabled());
        QCOMPARE(w.master()->value("LockID").toInt(), 3);
        QCOMPARE(child<QLineEdit>(&w, "lockStatusEdit")->text(), QStringLiteral("No Limit Classroom Mode"));

        button(&w, "cancelButton")->click();
        QCOMPARE(w.master()->recordCount(), 2);
        button(&w, "modifyButton")->click();
        QCOMPARE(w.master()->state(), State::Edit);
        QVERIFY(enabled("saveButton") && !enabled("modifyButton"));
    }

    void validationInOrder_data()
    {
        QTest::addColumn<QString>("serialText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("message");
        QTest::newRow("no serial") << "" << "" << "" << "Serial ID is a Required Field.";
        QTest::newRow("15 characters") << serial(5).left(15) << "New" << "Hall" << "Serial ID is a Required Field.";
        QTest::newRow("no name") << serial(5) << "  " << "" << "Lock Name is a Required Field.";
        QTest::newRow("no location") << serial(5) << "New" << " " << "Lock Location is a Required Field.";
        QTest::newRow("wrong CRC") << badSerial(5) << "New" << "Hall" << "Serial ID field CRC check error.";
        QTest::newRow("serial before name") << serial(1) << "Store Room" << "Hall" << "This Serial ID already exists.";
        QTest::newRow("name taken") << serial(5) << "Store Room" << "Hall" << "This Lock Name already exists.";
    }

    void validationInOrder()
    {
        QFETCH(QString, serialText);
        QFETCH(QString, name);
        QFETCH(QString, location);
        QFETCH(QString, message);
        seed();
        TLockManagement_Form w;
        button(&w, "addButton")->click();
        fill(w, serialText, name, location);
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{message});
        QCOMPARE(m_msg->lastKind(), MessageService::Kind::Warning);
        // The refused record stays in insert with what was typed.
        QCOMPARE(w.master()->state(), State::Insert);
        QCOMPARE(child<QLineEdit>(&w, "lockNameEdit")->text(), name);
        QVERIFY(button(&w, "saveButton")->isEnabled() && !button(&w, "searchButton")->isEnabled());
        QCOMPARE(count("SELECT count(*) FROM LockManagement"), 2);
    }

    void editChecksOtherLocksOnly()
    {
        seed();
        TLockManagement_Form w;
        QVERIFY(w.master()->locate("LockID", 1));
        button(&w, "modifyButton")->click();
        child<QLineEdit>(&w, "serialIdEdit")->setText(serial(2));
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"This Serial ID already exists."});
        // A new serial under the unchanged name is the same lock.
        m_msg->clear();
        child<QLineEdit>(&w, "serialIdEdit")->setText(serial(3));
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(text("SELECT SerialID FROM LockManagement WHERE LockID = 1"), serial(3));
    }

    void addSavesAndRenameFollowsAccessCodes()
    {
        seed();
        TLockManagement_Form w;
        button(&w, "addButton")->click();
        fill(w, serial(7).toLower(), "Gate", "Yard");
        child<QComboBox>(&w, "lockTypeCombo")->setCurrentIndex(1);
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(text("SELECT SerialID || '|' || LockName || '|' || LockLocation || '|' || LockStatusID || '|' || LockType "
                      "FROM LockManagement WHERE LockID = 3"),
                 serial(7) + "|Gate|Yard|1|Access Code");
        // The new location is offered in both lists.
        QVERIFY(child<QComboBox>(&w, "searchLockLocationCombo")->findText("Yard") >= 0);

        // Renaming lock 1 renames its access codes, and no others.
        QVERIFY(w.master()->locate("LockID", 1));
        button(&w, "modifyButton")->click();
        child<QLineEdit>(&w, "lockNameEdit")->setText("Main Entrance");
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(text("SELECT LockName FROM AccessCode WHERE CodeString = '111'"), QStringLiteral("Main Entrance"));
        QCOMPARE(text("SELECT LockName FROM AccessCode WHERE CodeString = '222'"), QStringLiteral("Store Room"));
        // Saving a lock unchanged is not refused by its own name.
        button(&w, "modifyButton")->click();
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
    }

    void deleteAsksAndCascades()
    {
        seed();
        TLockManagement_Form w;
        QVERIFY(w.master()->locate("LockID", 1));
        m_msg->queueAnswer(false);
        button(&w, "deleteButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"Do you want delete this lock?\n\r\n\r"});
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement WHERE LockID = 1"), 2);
        QCOMPARE(w.master()->recordCount(), 2);

        m_msg->queueAnswer(true);
        button(&w, "deleteButton")->click();
        QCOMPARE(count("SELECT count(*) FROM LockManagement WHERE LockID = 1"), 0);
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement WHERE LockID = 1"), 0);
        QCOMPARE(count("SELECT count(*) FROM AccessCode WHERE CodeString = '111'"), 0);
        // The other lock keeps its assignment and code.
        QCOMPARE(count("SELECT count(*) FROM LockKeyManagement WHERE LockID = 2"), 1);
        QCOMPARE(count("SELECT count(*) FROM AccessCode"), 1);
    }

    // The database refuses the new lock (its ID was taken meanwhile): the
    // mapped message, the change stays pending and nothing of it is written.
    void refusedApplyKeepsChangePending()
    {
        seed();
        TLockManagement_Form w;
        button(&w, "addButton")->click();
        fill(w, serial(8), "Side Door", "Annex");
        addLock(3, serial(9), "Intruder", "Elsewhere");
        run("INSERT INTO AccessCode (SerialID, LockName, CodeString) VALUES (:s, 'Old', '333')", {{"s", serial(8)}});
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"This item can not be duplicate!please input again."});
        QCOMPARE(m_msg->lastKind(), MessageService::Kind::Error);
        QVERIFY(w.master()->hasPendingUpdates());
        QCOMPARE(text("SELECT LockName FROM AccessCode WHERE CodeString = '333'"), QStringLiteral("Old"));
        QCOMPARE(text("SELECT LockName FROM LockManagement WHERE LockID = 3"), QStringLiteral("Intruder"));
        QCOMPARE(w.master()->state(), State::Browse);
        QVERIFY(button(&w, "addButton")->isEnabled());
        // Unsaved work: closing asks.
        m_msg->clear();
        m_msg->queueAnswer(false);
        QVERIFY(!w.close());
        QCOMPARE(m_msg->texts(), QStringList{"Data has not been saved do you want to quit?"});
    }

    void closeQuestionDuringEdit()
    {
        seed();
        TLockManagement_Form w;
        w.show();
        button(&w, "modifyButton")->click();
        child<QLineEdit>(&w, "lockNameEdit")->setText("Changed");
        m_msg->queueAnswer(false);
        QVERIFY(!w.close());
        QCOMPARE(w.master()->state(), State::Edit);
        QCOMPARE(child<QLineEdit>(&w, "lockNameEdit")->text(), QStringLiteral("Changed"));
        m_msg->queueAnswer(true);
        QVERIFY(w.close());
        QCOMPARE(m_msg->count(), 2);
        QCOMPARE(text("SELECT LockName FROM LockManagement WHERE LockID = 1"), QStringLiteral("Front Door"));
    }

    void serialFieldTakesHexOnly()
    {
        seed();
        TLockManagement_Form w;
        w.show();
        button(&w, "addButton")->click();
        auto *edit = child<QLineEdit>(&w, "serialIdEdit");
        edit->setFocus();
        QTest::keyClicks(edit, "a1g-z9");
        QCOMPARE(edit->text(), QStringLiteral("A19"));
        // Keys typed into a combo box outside editing are dropped.
        button(&w, "cancelButton")->click();
        auto *loc = child<QComboBox>(&w, "lockLocationCombo");
        const QString before = loc->currentText();
        QTest::keyClicks(loc, "xyz");
        QCOMPARE(loc->currentText(), before);
    }

    void enterMovesToNextControl()
    {
        seed();
        TLockManagement_Form w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        button(&w, "addButton")->click();
        auto *name = child<QLineEdit>(&w, "lockNameEdit");
        QTRY_VERIFY(name->hasFocus());
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(!name->hasFocus());
        QCOMPARE(w.master()->state(), State::Insert); // nothing was pressed
        // Enter on a focused button moves on without pressing it.
        auto *cancel = button(&w, "cancelButton");
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
        QCOMPARE(w.master()->state(), State::Insert);
        QCOMPARE(m_msg->count(), 0);
    }

    void titleClickSortsAscDescAsc()
    {
        seed();
        addLock(3, serial(3), "Attic", "Roof");
        TLockManagement_Form w;
        auto *grid = child<QTableView>(&w, "lockGrid");
        const QStringList asc{"Attic", "Front Door", "Store Room"};
        const QStringList desc{"Store Room", "Front Door", "Attic"};
        emit grid->horizontalHeader()->sectionClicked(1);
        QCOMPARE(names(w), asc);
        emit grid->horizontalHeader()->sectionClicked(1);
        QCOMPARE(names(w), desc);
        emit grid->horizontalHeader()->sectionClicked(1);
        QCOMPARE(names(w), asc);
        // A searched list keeps its filter when sorted.
        child<QCheckBox>(&w, "searchLockLocationCheck")->setChecked(true);
        child<QComboBox>(&w, "searchLockLocationCombo")->setEditText("n");
        button(&w, "searchButton")->click();
        emit grid->horizontalHeader()->sectionClicked(1);
        emit grid->horizontalHeader()->sectionClicked(1);
        QCOMPARE(names(w), (QStringList{"Store Room", "Front Door"}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("location contains") << "searchLockLocationCheck" << "build" << QStringList{"Front Door"};
        QTest::newRow("name needs whole name") << "searchLockNameCheck" << "Front" << QStringList{};
        QTest::newRow("whole name") << "searchLockNameCheck" << "front door" << QStringList{"Front Door"};
        QTest::newRow("type") << "searchLockTypeCheck" << "Access Code" << QStringList{"Store Room"};
    }

    void search()
    {
        QFETCH(QString, check);
        QFETCH(QString, value);
        QFETCH(QStringList, found);
        seed();
        run("UPDATE LockManagement SET LockType = 'Access Code' WHERE LockID = 2");
        TLockManagement_Form w;
        child<QCheckBox>(&w, check.toLatin1().constData())->setChecked(true);
        child<QLineEdit>(&w, "searchLockNameEdit")->setText(value);
        child<QComboBox>(&w, "searchLockLocationCombo")->setEditText(value);
        child<QComboBox>(&w, "searchLockTypeCombo")->setCurrentText(value);
        button(&w, "searchButton")->click();
        QCOMPARE(names(w), found);
    }

    void detailShowsLockAndLists()
    {
        seed();
        run("INSERT INTO LockStatusST (LockStatusSTID, LockStatusID, BeginTime, LockStatus, Sunday, Monday) "
            "VALUES (1, 3, '08:30:00', 'Lock Mode', 1, 0)");
        run("UPDATE LockManagement SET LockStatusID = 3 WHERE LockID = 1");
        TLockManagement_Form w;
        w.resize(1000, 700);
        w.show();
        QCOMPARE(child<QLineEdit>(&w, "serialIdEdit")->text(), serial(1));
        QCOMPARE(child<QLineEdit>(&w, "lockStatusEdit")->text(), QStringLiteral("Schedule 3"));
        QCOMPARE(child<QTableView>(&w, "keyListGrid")->model()->rowCount(), 2);
        auto *schedule = child<QTableView>(&w, "scheduleGrid")->model();
        QCOMPARE(schedule->rowCount(), 1);
        QCOMPARE(schedule->index(0, 0).data().toString(), QStringLiteral("08:30"));
        QVERIFY(w.master()->locate("LockID", 2));
        QCOMPARE(child<QTableView>(&w, "keyListGrid")->model()->rowCount(), 1);
        QCOMPARE(child<QLineEdit>(&w, "lockStatusEdit")->text(), QStringLiteral("No Limit Classroom Mode"));
        QVERIFY(w.master()->locate("LockID", 1));
        guitest::snapshot(&w);
    }

    void emptyTableShowsNoLimitAndRefusesPrint()
    {
        TLockManagement_Form w;
        QCOMPARE(child<QLineEdit>(&w, "lockStatusEdit")->text(), QStringLiteral("No Limit Classroom Mode"));
        QVERIFY(!button(&w, "modifyButton")->isEnabled());
        w.sbPrintClick();
        QCOMPARE(m_msg->texts(), QStringList{"No Data to print!"});
    }

    void printOpensALandscapePreview()
    {
        seed();
        TLockManagement_Form w;
        QVERIFY(w.master()->locate("LockID", 2));
        bool shown = false;
        QTimer::singleShot(0, this, [&shown] {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            QVERIFY(preview);
            QCOMPARE(preview->windowTitle(), QStringLiteral("Key / Lock Assignment Report"));
            QCOMPARE(preview->printer()->pageLayout().orientation(), QPageLayout::Landscape);
            shown = true;
            preview->reject();
        });
        w.sbPrintClick();
        QVERIFY(shown);
        QCOMPARE(m_msg->count(), 0);
    }

    void reportHasLockAndEveryUser()
    {
        seed();
        run("UPDATE LockKeyManagement SET Department = 'R&D <Lab>', SerialID = :s WHERE KeyID = 1", {{"s", serial(11)}});
        TLockManagement_Form w;
        const KeyLockReportData data = w.reportData();
        QTextDocument doc;
        buildKeyLockReport(doc, data);
        const QString text = doc.toPlainText();
        for (const QString &part : {QStringLiteral("TavolixLock System"), QStringLiteral("Print Time:  "),
                                    QStringLiteral("Key / Lock Assignment Report"), QStringLiteral("Lock Name:  Front Door"),
                                    QStringLiteral("Lock Location:  Main Building"), serial(11), QStringLiteral("Archer"),
                                    QStringLiteral("Baker"), QStringLiteral("R&D <Lab>"), QStringLiteral("KeyCode")})
            QVERIFY2(text.contains(part), qPrintable(part));

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->file("report.pdf"));
        printKeyLockReport(&printer, data);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        QFile pdf(m_dir->file("report.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        pdf.close();

        // What a reader of the PDF sees (pdftotext comes with poppler-utils).
        QProcess extract;
        extract.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), m_dir->file("report.pdf"), QStringLiteral("-")});
        QVERIFY2(extract.waitForFinished(30000) && extract.exitCode() == 0, "pdftotext failed");
        const QString pdfText = QString::fromUtf8(extract.readAllStandardOutput());
        for (const QString &part : {QStringLiteral("Key / Lock Assignment Report"), QStringLiteral("Front Door"),
                                    QStringLiteral("Main Building"), serial(11), QStringLiteral("Archer"),
                                    QStringLiteral("Baker")})
            QVERIFY2(pdfText.contains(part), qPrintable(part + QStringLiteral(" missing from:\n") + pdfText));
    }
};

CORVANE_GUITEST_MAIN(TestLockManagement)
#include "tst_lockmanagement.moc"
