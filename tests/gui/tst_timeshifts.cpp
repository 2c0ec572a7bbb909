#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/PickerCalls.h"
#include "common/RecordEditor.h"

#include <QApplication>
#include <QTimer>
#include "masterdata/TTimeShiftSetting_Form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimeEdit>

using namespace samples;
using State = store::CachedQuery::State;

class TestTimeShifts : public WindowTest
{
    Q_OBJECT


    void addPeriod(int id, int group, const QString &begin, const QString &end, const QString &day)
    {
        run("INSERT INTO TimeShift VALUES (:i, :g, :b, :e, :d)", {{"i", id}, {"g", group}, {"b", begin}, {"e", end}, {"d", day}});
    }

    void enter(TTimeShiftSetting_Form &w, QTime begin, QTime end, const QString &day)
    {
        child<QTimeEdit>(&w, "beginTimeEdit")->setTime(begin);
        child<QTimeEdit>(&w, "endTimeEdit")->setTime(end);
        child<QComboBox>(&w, "dayOfWeekCombo")->setCurrentText(day);
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

    void periodValidation_data()
    {
        QTest::addColumn<QTime>("begin");
        QTest::addColumn<QTime>("end");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("message");
        QTest::newRow("equal times") << QTime(8, 0) << QTime(8, 0) << "Monday" << "Begin Time should less than End Time!";
        QTest::newRow("across midnight") << QTime(22, 0) << QTime(6, 0) << "Monday" << "Begin Time should less than End Time!";
        QTest::newRow("same period") << QTime(9, 0) << QTime(17, 0) << "Monday" << "This record has been exist.";
        QTest::newRow("other day") << QTime(9, 0) << QTime(17, 0) << "Tuesday" << "";
    }

    void periodValidation()
    {
        QFETCH(QTime, begin);
        QFETCH(QTime, end);
        QFETCH(QString, day);
        QFETCH(QString, message);
        addPeriod(1, 2, "09:00:00", "17:00:00", "Monday");
        TTimeShiftSetting_Form w;
        QVERIFY(w.groups()->locate("GroupID", 2));
        button(&w, "addButton")->click();
        QCOMPARE(w.periods()->value("TimeShiftID").toInt(), 2);
        enter(w, begin, end, day);
        button(&w, "saveButton")->click();
        if (message.isEmpty()) {
            QCOMPARE(m_msg->texts(), QStringList());
            QCOMPARE(count("SELECT count(*) FROM TimeShift WHERE GroupID = 2"), 2);
        } else {
            QCOMPARE(m_msg->texts(), QStringList{message});
            QCOMPARE(m_msg->lastKind(), MessageService::Kind::Information);
            QCOMPARE(w.periods()->state(), State::Insert);
            QVERIFY(button(&w, "saveButton")->isEnabled() && !button(&w, "quitButton")->isEnabled());
        }
    }

    void periodsListByDayThenTimeAndSevenAtMost()
    {
        addPeriod(1, 2, "13:00:00", "14:00:00", "Monday");
        addPeriod(2, 2, "08:00:00", "09:00:00", "Monday");
        addPeriod(3, 2, "10:00:00", "11:00:00", "Sunday");
        addPeriod(4, 2, "10:00:00", "11:00:00", "Saturday");
        addPeriod(5, 2, "07:00:00", "08:00:00", "Wednesday");
        addPeriod(6, 2, "07:00:00", "08:00:00", "Friday");
        TTimeShiftSetting_Form w;
        QVERIFY(w.groups()->locate("GroupID", 2));
        QStringList order;
        for (int r = 0; r < w.periods()->recordCount(); ++r)
            order << w.periods()->valueAt(r, "DayOfWeek").toString() + " " + w.periods()->index(r, 0).data().toString();
        QCOMPARE(order, (QStringList{"Sunday 10:00", "Monday 08:00", "Monday 13:00", "Wednesday 07:00", "Friday 07:00",
                                     "Saturday 10:00"}));
        button(&w, "addButton")->click();
        enter(w, QTime(1, 0), QTime(2, 0), "Thursday");
        button(&w, "saveButton")->click();
        QCOMPARE(w.periods()->recordCount(), 7);
        button(&w, "addButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"You can set up to 7 groups for each Time Shift."});
        QCOMPARE(w.periods()->state(), State::Browse);

        // An unchanged period saved after Modify is the same period again.
        m_msg->clear();
        button(&w, "modifyButton")->click();
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->texts(), QStringList{"This record has been exist."});
        button(&w, "cancelButton")->click();
        m_msg->queueAnswer(true);
        button(&w, "deleteButton")->click();
        QCOMPARE(count("SELECT count(*) FROM TimeShift WHERE GroupID = 2"), 6);
        w.show();
        guitest::snapshot(&w);
    }

    void groupOneIsProtectedAndNamesAreStored()
    {
        TTimeShiftSetting_Form w;
        QCOMPARE(w.groups()->value("GroupID").toInt(), 1);
        for (const char *b : {"addButton", "deleteButton", "modifyButton", "saveButton", "cancelButton"})
            QVERIFY2(!button(&w, b)->isEnabled(), b);
        QVERIFY(!child<QLineEdit>(&w, "groupNameEdit")->isEnabled());
        QVERIFY(w.groups()->locate("GroupID", 3));
        QVERIFY(button(&w, "addButton")->isEnabled());
        auto *name = child<QLineEdit>(&w, "groupNameEdit");
        name->setText("Day Staff");
        emit name->editingFinished();
        QCOMPARE(text("SELECT GroupName FROM TimeGroup WHERE GroupID = 3"), QStringLiteral("Day Staff"));
    }

    void picker_data()
    {
        QTest::addColumn<int>("preselect");
        QTest::addColumn<int>("current");
        QTest::newRow("user's group") << 5 << 5;
        QTest::newRow("group 1") << 1 << 1;
        QTest::newRow("unknown: last") << 40 << 16;
    }

    void picker()
    {
        QFETCH(int, preselect);
        QFETCH(int, current);
        auto &h = AppContext::instance().handOver;
        h.TimeShiftSelectMode = 1;
        h.SelectedTimeShiftGroup = preselect;
        {
            TTimeShiftSetting_Form w;
            QCOMPARE(w.groups()->value("GroupID").toInt(), current);
            for (const char *b : {"addButton", "deleteButton", "modifyButton", "saveButton", "cancelButton"})
                QVERIFY2(!button(&w, b)->isEnabled(), b);
            button(&w, "selectButton")->click();
            QCOMPARE(h.SelectedTimeShiftGroup, current);
            QCOMPARE(h.SelectedTimeShiftName, text("SELECT GroupName FROM TimeGroup WHERE GroupID = :g", {{"g", current}}));
        }
        TTimeShiftSetting_Form w;
        button(&w, "quitButton")->click();
        QCOMPARE(h.SelectedTimeShiftGroup, 0);
        QCOMPARE(h.SelectedTimeShiftName, QString());
    }

    // The caller's side: preselects the user's group and reads the choice back.
    void pickerCall()
    {
        whenModal<TTimeShiftSetting_Form>(this, [](TTimeShiftSetting_Form *dlg) {
            QCOMPARE(dlg->groups()->value("GroupID").toInt(), 4);
            dlg->groups()->locate("GroupID", 6);
            button(dlg, "selectButton")->click();
        });
        const picker::Choice c = picker::timeShiftGroup(4, nullptr);
        QCOMPARE(c.id, 6);
        QCOMPARE(c.text, QStringLiteral("Time Shift 6"));
        whenModal<TTimeShiftSetting_Form>(this, [](TTimeShiftSetting_Form *dlg) {
            button(dlg, "quitButton")->click();
        });
        QVERIFY(!picker::timeShiftGroup(4, nullptr).chosen());
    }

    void operatorSeesNoEditingButtons()
    {
        loginAs(1);
        TTimeShiftSetting_Form w;
        w.show();
        for (const char *b : {"addButton", "deleteButton", "modifyButton", "saveButton", "cancelButton"})
            QVERIFY2(!button(&w, b)->isVisible(), b);
        QVERIFY(button(&w, "selectButton")->isVisible() && button(&w, "quitButton")->isVisible());
    }

    void closeQuestionForUnsavedPeriod()
    {
        TTimeShiftSetting_Form w;
        w.show();
        QVERIFY(w.groups()->locate("GroupID", 2));
        button(&w, "addButton")->click();
        m_msg->queueAnswer(false);
        w.reject();
        QVERIFY(w.isVisible());
        QCOMPARE(m_msg->texts(), QStringList{"Data has not been saved do you want to quit?"});
        m_msg->queueAnswer(true);
        w.reject();
        QVERIFY(!w.isVisible());
        QCOMPARE(count("SELECT count(*) FROM TimeShift"), 0);
    }
};

CORVANE_GUITEST_MAIN(TestTimeShifts)
#include "tst_timeshifts.moc"
