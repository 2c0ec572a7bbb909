#include "GuiTest.h"
#include "MasterDataSamples.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/RecordEditor.h"
#include "common/WindowRegistry.h"
#include "masterdata/DateGroupSettingForm.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>

using namespace samples;
using State = store::CachedQuery::State;

// Activation / Expiration Date and Holiday Schedule behave alike; each case
// runs against both.
class TestDateGroups : public WindowTest
{
    Q_OBJECT


    struct Window
    {
        const char *className;
        const char *table;
        const char *from;
        const char *to;
        const char *message;
        int *mode;
        int *group;
        QString *text;
    };

    Window window(const QString &className)
    {
        PickerHandOver &h = AppContext::instance().handOver;
        if (className == QLatin1String("TActExpDateSetting_Form"))
            return {"TActExpDateSetting_Form", "ActExpDateST", "ActivationDate", "ExpirationDate",
                    "Activation Date should less than Expiration Date!", &h.ActExpSelectMode, &h.SelectedActExpGroup,
                    &h.SelectedActExpText};
        return {"TExceptionDateSetting_Form", "ExceptionDateST", "ExceptionDateFrom", "ExceptionDateTo",
                "Exception Date From should less than Exception Date To!", &h.HolidaySelectMode, &h.SelectedHolidayGroup,
                &h.SelectedHolidayText};
    }

    std::unique_ptr<DateGroupSettingForm> open(const Window &win)
    {
        return std::unique_ptr<DateGroupSettingForm>(
            qobject_cast<DateGroupSettingForm *>(WindowRegistry::create(QLatin1String(win.className), nullptr)));
    }

    void windows()
    {
        QTest::addColumn<QString>("className");
        QTest::newRow("activation/expiration") << "TActExpDateSetting_Form";
        QTest::newRow("holiday") << "TExceptionDateSetting_Form";
    }

    void setMoments(DateGroupSettingForm &w, const QDateTime &from, const QDateTime &to)
    {
        child<QDateEdit>(&w, "fromDateEdit")->setDate(from.date());
        child<QTimeEdit>(&w, "fromTimeEdit")->setTime(from.time());
        child<QDateEdit>(&w, "toDateEdit")->setDate(to.date());
        child<QTimeEdit>(&w, "toTimeEdit")->setTime(to.time());
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

    void groupOneHasNoDates_data() { windows(); }
    void groupOneHasNoDates()
    {
        QFETCH(QString, className);
        const Window win = window(className);
        auto w = open(win);
        QVERIFY(w);
        // The loading note is gone once the window is ready.
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(top->objectName() != QLatin1String("waitingWindow"));
        w->show();
        QCOMPARE(w->master()->value("GroupID").toInt(), 1);
        QCOMPARE(child<QLineEdit>(w.get(), "groupIdEdit")->text(), QStringLiteral("1"));
        QVERIFY(!child<QWidget>(w.get(), "fromDateEdit")->isVisible());
        QVERIFY(!button(w.get(), "modifyButton")->isEnabled());
        QVERIFY(w->master()->locate("GroupID", 3));
        QVERIFY(child<QWidget>(w.get(), "fromDateEdit")->isVisible());
        QVERIFY(button(w.get(), "modifyButton")->isEnabled());
        QVERIFY(!child<QWidget>(w.get(), "fromDateEdit")->isEnabled());
        guitest::snapshot(w.get());
    }

    void datesMustBeInOrder_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("toOffsetSeconds");
        QTest::addColumn<bool>("saved");
        for (const char *c : {"TActExpDateSetting_Form", "TExceptionDateSetting_Form"}) {
            QTest::addRow("%s same moment", c) << c << 0 << true;
            QTest::addRow("%s a minute early", c) << c << -60 << false;
        }
    }

    void datesMustBeInOrder()
    {
        QFETCH(QString, className);
        QFETCH(int, toOffsetSeconds);
        QFETCH(bool, saved);
        const Window win = window(className);
        auto w = open(win);
        QVERIFY(w->master()->locate("GroupID", 4));
        button(w.get(), "modifyButton")->click();
        QCOMPARE(w->master()->state(), State::Edit);
        QVERIFY(child<QWidget>(w.get(), "fromDateEdit")->isEnabled());
        const QDateTime from(QDate(2026, 5, 1), QTime(8, 30, 0));
        setMoments(*w, from, from.addSecs(toOffsetSeconds));
        button(w.get(), "saveButton")->click();
        if (saved) {
            QCOMPARE(m_msg->texts(), QStringList());
            QCOMPARE(text(QStringLiteral("SELECT %1 || '|' || %2 FROM %3 WHERE GroupID = 4").arg(win.from, win.to, win.table)),
                     QStringLiteral("2026-05-01 08:30:00|2026-05-01 08:30:00"));
            QCOMPARE(w->master()->state(), State::Browse);
        } else {
            QCOMPARE(m_msg->texts(), QStringList{QLatin1String(win.message)});
            QCOMPARE(m_msg->lastKind(), MessageService::Kind::Information);
            QCOMPARE(w->master()->state(), State::Edit);
            // Closing now asks.
            m_msg->queueAnswer(false);
            w->reject();
            QCOMPARE(m_msg->last(), QStringLiteral("Data has not been saved do you want to quit?"));
            QCOMPARE(w->master()->state(), State::Edit);
        }
    }

    void pickerHandsBackTheGroup_data() { windows(); }
    void pickerHandsBackTheGroup()
    {
        QFETCH(QString, className);
        const Window win = window(className);
        run(QStringLiteral("UPDATE %1 SET %2 = '2026-03-01 00:00:00', %3 = '2026-03-31 18:30:00' WHERE GroupID = 3")
                .arg(win.table, win.from, win.to));
        *win.mode = 1;
        *win.group = 3;
        {
            auto w = open(win);
            QCOMPARE(w->master()->value("GroupID").toInt(), 3);
            QVERIFY(button(w.get(), "selectButton")->isEnabled());
            button(w.get(), "selectButton")->click();
            QCOMPARE(*win.group, 3);
            const QStringList parts = win.text->split(QStringLiteral(" To "));
            QCOMPARE(parts.size(), 2);
            const QLocale l = QLocale::system();
            QCOMPARE(parts[0], l.toString(QDate(2026, 3, 1), QLocale::ShortFormat)); // midnight: no time
            QVERIFY2(parts[1].startsWith(l.toString(QDate(2026, 3, 31), QLocale::ShortFormat) + " "), qPrintable(parts[1]));
            QVERIFY2(parts[1].contains(QLatin1String("30")), qPrintable(parts[1]));
        }
        *win.group = 1;
        {
            auto w = open(win);
            button(w.get(), "selectButton")->click();
            QCOMPARE(*win.group, 1);
            QCOMPARE(*win.text, QStringLiteral("No Limit"));
        }
        *win.group = 99;
        auto w = open(win);
        QCOMPARE(w->master()->value("GroupID").toInt(), w->master()->valueAt(w->master()->recordCount() - 1, "GroupID").toInt());
        button(w.get(), "quitButton")->click();
        QCOMPARE(*win.group, 0);
        QCOMPARE(*win.text, QString());
    }

    // Only the holiday window lets an Administrator change dates while picking.
    void pickerEditing_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("canModify");
        QTest::newRow("activation/expiration") << "TActExpDateSetting_Form" << false;
        QTest::newRow("holiday") << "TExceptionDateSetting_Form" << true;
    }
    void pickerEditing()
    {
        QFETCH(QString, className);
        QFETCH(bool, canModify);
        const Window win = window(className);
        *win.mode = 1;
        *win.group = 2;
        auto w = open(win);
        QCOMPARE(button(w.get(), "modifyButton")->isEnabled(), canModify);
    }

    void operatorSeesNoEditingButtons_data() { windows(); }
    void operatorSeesNoEditingButtons()
    {
        QFETCH(QString, className);
        loginAs(1);
        auto w = open(window(className));
        w->show();
        for (const char *b : {"modifyButton", "saveButton", "cancelButton"})
            QVERIFY2(!button(w.get(), b)->isVisible(), b);
        QVERIFY(button(w.get(), "selectButton")->isVisible());
    }
};

CORVANE_GUITEST_MAIN(TestDateGroups)
#include "tst_dategroups.moc"
