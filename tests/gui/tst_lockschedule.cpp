#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/RecordEditor.h"
#include "masterdata/TLockManagement_Form.h"
#include "masterdata/TLockModeSetting_Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimeEdit>
#include <QTimer>

using namespace samples;
using State = store::CachedQuery::State;

class TestLockSchedule : public WindowTest
{
    Q_OBJECT


    void addEntries(int scheduleId, int n, int firstId)
    {
        for (int i = 0; i < n; ++i)
            run("INSERT INTO LockStatusST (LockStatusSTID, LockStatusID, BeginTime, LockStatus, Sunday, Monday, Tuesday, "
                "Wednesday, Thursday, Friday, Saturday) VALUES (:id, :s, :t, 'Lock Mode', 1, 0, 0, 0, 0, 0, 1)",
                {{"id", firstId + i}, {"s", scheduleId}, {"t", QTime(0, 0).addSecs(60 * i)}});
    }

    // Runs `pick` on the picker once it is up (as a modal dialog would be).
    void whenPickerOpens(std::function<void(TLockModeSetting_Form *)> pick)
    {
        QTimer::singleShot(0, this, [pick] {
            auto *dlg = qobject_cast<TLockModeSetting_Form *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            pick(dlg);
        });
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

    void builtInSchedulesCannotBeEdited()
    {
        TLockModeSetting_Form w;
        QCOMPARE(w.schedules()->value("LockStatusID").toInt(), 1);
        for (const char *b : {"addButton", "deleteButton", "modifyButton", "saveButton", "cancelButton", "selectButton"})
            QVERIFY2(!button(&w, b)->isEnabled(), b);
        QVERIFY(!child<QLineEdit>(&w, "scheduleNameEdit")->isEnabled());
        QVERIFY(w.schedules()->locate("LockStatusID", 3));
        QVERIFY(button(&w, "addButton")->isEnabled());
        QVERIFY(!button(&w, "modifyButton")->isEnabled()); // no entries yet
        QVERIFY(child<QLineEdit>(&w, "scheduleNameEdit")->isEnabled());
    }

    void addModifyDeleteEntries()
    {
        addEntries(4, 1, 100); // another schedule's entry holds the highest ID
        TLockModeSetting_Form w;
        w.show();
        QVERIFY(w.schedules()->locate("LockStatusID", 3));
        button(&w, "addButton")->click();
        QCOMPARE(w.entries()->state(), State::Insert);
        QVERIFY(!child<QWidget>(&w, "scheduleListGrid")->isEnabled());
        child<QTimeEdit>(&w, "beginTimeEdit")->setTime(QTime(8, 15));
        child<QComboBox>(&w, "lockModeCombo")->setCurrentIndex(2);
        child<QCheckBox>(&w, "mondayCheck")->setChecked(true);
        child<QCheckBox>(&w, "fridayCheck")->setChecked(true);
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(text("SELECT LockStatusSTID || '|' || LockStatusID || '|' || BeginTime || '|' || LockStatus || '|' || "
                      "Sunday || Monday || Tuesday || Wednesday || Thursday || Friday || Saturday FROM LockStatusST "
                      "WHERE LockStatusID = 3"),
                 QStringLiteral("101|3|08:15:00|Lock Mode|0100010"));
        QCOMPARE(w.entries()->recordCount(), 1);
        QCOMPARE(w.entries()->index(0, 0).data().toString(), QStringLiteral("08:15"));

        button(&w, "modifyButton")->click();
        child<QComboBox>(&w, "lockModeCombo")->setCurrentIndex(3);
        button(&w, "saveButton")->click();
        QCOMPARE(text("SELECT LockStatus FROM LockStatusST WHERE LockStatusSTID = 101"), QStringLiteral("Unlock Mode"));

        m_msg->queueAnswer(false);
        button(&w, "deleteButton")->click();
        QCOMPARE(count("SELECT count(*) FROM LockStatusST WHERE LockStatusID = 3"), 1);
        m_msg->queueAnswer(true);
        button(&w, "deleteButton")->click();
        QCOMPARE(m_msg->texts(), (QStringList{"Do you want delete this record?\n\r\n\r", "Do you want delete this record?\n\r\n\r"}));
        QCOMPARE(count("SELECT count(*) FROM LockStatusST WHERE LockStatusID = 3"), 0);
        QCOMPARE(count("SELECT count(*) FROM LockStatusST"), 1);
    }

    void thirtyTwoEntriesAtMost()
    {
        addEntries(3, 31, 1);
        TLockModeSetting_Form w;
        QVERIFY(w.schedules()->locate("LockStatusID", 3));
        button(&w, "addButton")->click();
        button(&w, "saveButton")->click();
        QCOMPARE(w.entries()->recordCount(), 32);
        button(&w, "addButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"You can set up to 32 groups for each Timed Operation."});
        QCOMPARE(w.entries()->state(), State::Browse);
        QCOMPARE(count("SELECT count(*) FROM LockStatusST WHERE LockStatusID = 3"), 32);
    }

    void scheduleNameIsStored()
    {
        TLockModeSetting_Form w;
        QVERIFY(w.schedules()->locate("LockStatusID", 5));
        auto *name = child<QLineEdit>(&w, "scheduleNameEdit");
        name->setText("Night Shift");
        emit name->editingFinished();
        QCOMPARE(text("SELECT LockStatusName FROM LockStatus WHERE LockStatusID = 5"), QStringLiteral("Night Shift"));
    }

    void picker_data()
    {
        QTest::addColumn<int>("preselect");
        QTest::addColumn<int>("current");
        QTest::newRow("existing schedule") << 4 << 4;
        QTest::newRow("built-in schedule") << 2 << 2;
        QTest::newRow("unknown schedule: last") << 99 << 10;
    }

    void picker()
    {
        QFETCH(int, preselect);
        QFETCH(int, current);
        auto &h = AppContext::instance().handOver;
        h.ScheduleSelectMode = 1;
        h.SelectedScheduleId = preselect;
        {
            TLockModeSetting_Form w;
            QCOMPARE(w.schedules()->value("LockStatusID").toInt(), current);
            QVERIFY(button(&w, "selectButton")->isEnabled());
            for (const char *b : {"addButton", "deleteButton", "modifyButton", "saveButton", "cancelButton"})
                QVERIFY2(!button(&w, b)->isEnabled(), b);
            button(&w, "selectButton")->click();
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(h.SelectedScheduleId, current);
            QCOMPARE(h.SelectedScheduleName, text("SELECT LockStatusName FROM LockStatus WHERE LockStatusID = :i", {{"i", current}}));
        }
        TLockModeSetting_Form w;
        button(&w, "quitButton")->click();
        QCOMPARE(h.SelectedScheduleId, 0);
        QCOMPARE(h.SelectedScheduleName, QString());
    }

    // Lock Settings opens the picker on the lock's schedule and takes the choice.
    void lockSettingsTakesPickedSchedule()
    {
        addLock(1, serial(1), "Front Door", "Hall", 3);
        TLockManagement_Form locks;
        locks.show();
        button(&locks, "modifyButton")->click();
        int preselected = -1;
        whenPickerOpens([&preselected](TLockModeSetting_Form *dlg) {
            preselected = dlg->schedules()->value("LockStatusID").toInt();
            dlg->schedules()->locate("LockStatusID", 6);
            button(dlg, "selectButton")->click();
        });
        locks.SelectSchedule();
        QCOMPARE(preselected, 3);
        QCOMPARE(child<QLineEdit>(&locks, "lockStatusEdit")->text(), QStringLiteral("Schedule 6"));
        // Leaving the picker with Quit keeps the choice made.
        whenPickerOpens([](TLockModeSetting_Form *dlg) { button(dlg, "quitButton")->click(); });
        locks.SelectSchedule();
        QCOMPARE(child<QLineEdit>(&locks, "lockStatusEdit")->text(), QStringLiteral("Schedule 6"));
        button(&locks, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(count("SELECT LockStatusID FROM LockManagement WHERE LockID = 1"), 6);
    }

    void snapshotWithEntries()
    {
        addEntries(3, 4, 1);
        TLockModeSetting_Form w;
        QVERIFY(w.schedules()->locate("LockStatusID", 3));
        w.show();
        guitest::snapshot(&w);
        QCOMPARE(w.entries()->recordCount(), 4);
    }
};

CORVANE_GUITEST_MAIN(TestLockSchedule)
#include "tst_lockschedule.moc"
