#include "GuiTest.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/PasswordHash.h"
#include "common/RecordEditor.h"
#include "operators/TAdministrator_Form.h"
#include "operators/TCGPassword_Form.h"
#include "operators/TInOutLogQuery_Form.h"
#include "sheet/SheetTransfer.h"
#include "sheet/WorkbookReader.h"
#include "store/Database.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

using Kind = MessageService::Kind;
using State = store::CachedQuery::State;

namespace {

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qWarning("no child %s", name);
    return c;
}

QAbstractButton *button(QWidget *w, const char *name) { return child<QAbstractButton>(w, name); }

bool run(const QString &sql, const QVariantMap &params = {}) { return store::exec(sql, params).ok; }

struct Account
{
    QString name, password, level;
};

QList<Account> accounts()
{
    QList<Account> out;
    auto q = store::exec(QStringLiteral("SELECT UserName, UserPassword, UserLevel FROM Admin ORDER BY rowid"));
    while (q.ok && q.value.next())
        out.append({q.value.value(0).toString(), q.value.value(1).toString(), q.value.value(2).toString()});
    return out;
}

void addAccount(const QString &name, const QString &password, const QString &level)
{
    QVERIFY(run(QStringLiteral("INSERT INTO Admin VALUES (:n, :p, :l)"),
                {{QStringLiteral("n"), name}, {QStringLiteral("p"), PasswordHash::hash(password)}, {QStringLiteral("l"), level}}));
}

void addSession(int id, const QString &login, const QString &logout, const QString &name, const QString &level)
{
    QVERIFY(run(QStringLiteral("INSERT INTO LoginHistory VALUES (:id, :i, :o, :n, :l)"),
                {{QStringLiteral("id"), id},
                 {QStringLiteral("i"), login},
                 {QStringLiteral("o"), logout.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(logout)},
                 {QStringLiteral("n"), name},
                 {QStringLiteral("l"), level}}));
}

QList<int> shownIds(const TInOutLogQuery_Form &w)
{
    QList<int> ids;
    for (const auto &r : w.rows())
        ids << r.value(QStringLiteral("LoginHistoryID")).toInt();
    return ids;
}

} // namespace

class TestOperatorWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<MessageRecorder> m_msg;
    QStringList m_opened;

    void save(TAdministrator_Form &w, const QString &name, const QString &level)
    {
        child<QLineEdit>(&w, "userNameEdit")->setText(name);
        auto *combo = child<QComboBox>(&w, "userLevelCombo");
        combo->setCurrentIndex(combo->findText(level));
        button(&w, "saveButton")->click();
    }

    void selectAccount(TAdministrator_Form &w, const QString &name, const QString &level)
    {
        for (int r = 0; r < w.master()->recordCount(); ++r)
            if (w.master()->valueAt(r, QStringLiteral("UserName")).toString() == name
                && w.master()->valueAt(r, QStringLiteral("UserLevel")).toString() == level)
                QVERIFY(w.master()->setCurrentRow(r));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        QVERIFY(m_dir->ok());
        m_msg = std::make_unique<MessageRecorder>();
        AppContext::instance().reset();
        AppContext::instance().dataDir = m_dir->path();
        m_opened.clear();
        sheetgui::setDesktopOpener([this](const QString &p) { m_opened << p; });
    }
    void cleanup()
    {
        sheetgui::resetDesktopOpener();
        m_msg.reset();
        m_dir.reset();
    }

    // ---- Operator Setting ----

    void protectedAccountCanBeNeitherModifiedNorDeleted()
    {
        TAdministrator_Form w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.master()->value(QStringLiteral("UserName")).toString(), QStringLiteral("riradu"));
        QVERIFY(!child<QLineEdit>(&w, "userNameEdit")->isEnabled());
        button(&w, "modifyButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Warning, QStringLiteral("You can not modify this record.")));
        QCOMPARE(w.master()->state(), State::Browse);
        button(&w, "deleteButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Warning, QStringLiteral("You can not delete this record.")));
        QCOMPARE(m_msg->count(), 2); // no question was asked
        QCOMPARE(accounts().size(), 1);
    }

    void newAccountsGetTheDefaultPasswordAndUniqueNames()
    {
        TAdministrator_Form w;
        w.show();
        button(&w, "addButton")->click();
        QCOMPARE(w.master()->state(), State::Insert);
        QVERIFY(child<QLineEdit>(&w, "userNameEdit")->isEnabled());
        QCOMPARE(child<QComboBox>(&w, "userLevelCombo")->currentText(), QStringLiteral("Operator"));

        save(w, QStringLiteral("riradu"), QStringLiteral("Operator"));
        QCOMPARE(m_msg->entries().last(),
                 qMakePair(Kind::Warning, QStringLiteral("User Name has been exist,please input again.")));
        QCOMPARE(w.master()->state(), State::Insert);
        save(w, QStringLiteral("  "), QStringLiteral("Operator"));
        QCOMPARE(m_msg->last(), QStringLiteral("User Name empty,please input again!"));
        QCOMPARE(w.master()->state(), State::Insert);

        save(w, QStringLiteral("clerk"), QStringLiteral("Administrator"));
        QCOMPARE(w.master()->state(), State::Browse);
        const auto stored = accounts();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1].name, QStringLiteral("clerk"));
        QCOMPARE(stored[1].level, QStringLiteral("Administrator"));
        QVERIFY(PasswordHash::isHash(stored[1].password));
        QVERIFY(PasswordHash::verify(stored[1].password, QStringLiteral("61837294")));
    }

    void modifiedAccountsResetPasswordAndMayShareNameAcrossLevels()
    {
        addAccount(QStringLiteral("clerk"), QStringLiteral("own secret"), QStringLiteral("Operator"));
        TAdministrator_Form w;
        w.show();
        QCOMPARE(w.master()->value(QStringLiteral("UserName")).toString(), QStringLiteral("clerk")); // the last one

        // Saved unchanged: its own row has that name and level.
        button(&w, "modifyButton")->click();
        QCOMPARE(w.master()->state(), State::Edit);
        button(&w, "saveButton")->click();
        QCOMPARE(m_msg->entries().last(),
                 qMakePair(Kind::Warning, QStringLiteral("User Name has been exist,please input again")));
        QCOMPARE(w.master()->state(), State::Edit);

        // The same name with the other level is allowed.
        save(w, QStringLiteral("clerk"), QStringLiteral("Administrator"));
        QCOMPARE(w.master()->state(), State::Browse);
        auto stored = accounts();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1].level, QStringLiteral("Administrator"));
        QVERIFY(PasswordHash::verify(stored[1].password, QStringLiteral("61837294")));
        QVERIFY(!PasswordHash::verify(stored[1].password, QStringLiteral("own secret")));

        // An Operator account "clerk" again, through another modification.
        addAccount(QStringLiteral("temp"), QStringLiteral("x"), QStringLiteral("Operator"));
        w.master()->open();
        selectAccount(w, QStringLiteral("temp"), QStringLiteral("Operator"));
        button(&w, "modifyButton")->click();
        save(w, QStringLiteral("clerk"), QStringLiteral("Operator"));
        QCOMPARE(w.master()->state(), State::Browse);
        stored = accounts();
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored[2].name, QStringLiteral("clerk"));
        QVERIFY(PasswordHash::verify(stored[2].password, QStringLiteral("61837294")));
    }

    void deleteAsksFirst()
    {
        addAccount(QStringLiteral("clerk"), QStringLiteral("1"), QStringLiteral("Operator"));
        TAdministrator_Form w;
        w.show();
        m_msg->queueAnswer(false);
        button(&w, "deleteButton")->click();
        QCOMPARE(m_msg->entries().last(),
                 qMakePair(Kind::Confirmation, QStringLiteral("Do you want delete this record?\n\r\n\r")));
        QCOMPARE(accounts().size(), 2);
        m_msg->queueAnswer(true);
        button(&w, "deleteButton")->click();
        QCOMPARE(accounts().size(), 1);
        QCOMPARE(accounts()[0].name, QStringLiteral("riradu"));
    }

    // ---- Change Operator Password ----

    void passwordChangeOutcomes()
    {
        addAccount(QStringLiteral("clerk"), QStringLiteral("1111"), QStringLiteral("Operator"));
        TCGPassword_Form d;
        d.show();
        auto *name = child<QLineEdit>(&d, "userNameEdit");
        auto *oldPw = child<QLineEdit>(&d, "oldPasswordEdit");
        auto *newPw = child<QLineEdit>(&d, "newPasswordEdit");
        auto *confirm = child<QLineEdit>(&d, "confirmPasswordEdit");
        QCOMPARE(newPw->echoMode(), QLineEdit::Password);
        QCOMPARE(newPw->maxLength(), 8);
        QCOMPARE(name->maxLength(), 20);
        auto attempt = [&](const QString &n, const QString &o, const QString &p, const QString &c) {
            name->setText(n);
            oldPw->setText(o);
            newPw->setText(p);
            confirm->setText(c);
            button(&d, "okButton")->click();
        };
        const auto passwordsCleared = [&] { return oldPw->text().isEmpty() && newPw->text().isEmpty() && confirm->text().isEmpty(); };

        attempt(QStringLiteral("clerk"), QStringLiteral("1111"), QStringLiteral("2222"), QStringLiteral("2223"));
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Error, QStringLiteral("New password and Confirm password are diffrent!")));
        QVERIFY(passwordsCleared());

        attempt(QStringLiteral("nobody"), QStringLiteral("1111"), QStringLiteral("2222"), QStringLiteral("2222"));
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Error, QStringLiteral("The User Name has been inputed is not exist.")));

        attempt(QStringLiteral("clerk"), QStringLiteral("9999"), QStringLiteral("2222"), QStringLiteral("2222"));
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Error, QStringLiteral("Old password is not correct!")));
        QVERIFY(passwordsCleared());
        QCOMPARE(name->text(), QStringLiteral("clerk"));

        attempt(QStringLiteral("clerk"), QStringLiteral("1111"), QStringLiteral("2222"), QStringLiteral("2222"));
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Password has been changed!")));
        QVERIFY(passwordsCleared());
        QCOMPARE(name->text(), QStringLiteral("clerk"));
        QVERIFY(PasswordHash::verify(accounts()[1].password, QStringLiteral("2222")));
        QCOMPARE(m_msg->count(), 4);
    }

    void enterMovesToTheNextFieldAndNeverPressesOk()
    {
        TCGPassword_Form d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        auto *name = child<QLineEdit>(&d, "userNameEdit");
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY(child<QLineEdit>(&d, "oldPasswordEdit")->hasFocus());
        QCOMPARE(m_msg->count(), 0);
    }

    // ---- Login / Logout Log ----

    void logSearchesWithItsConditions()
    {
        Clock::freezeAt(QDateTime(QDate(2026, 3, 2), QTime(12, 0)));
        addSession(1, QStringLiteral("2026-03-01 08:00:00"), QStringLiteral("2026-03-01 17:00:00"), QStringLiteral("ann"), QStringLiteral("Operator"));
        addSession(2, QStringLiteral("2026-03-02 00:00:00"), QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("bob"), QStringLiteral("Administrator"));
        addSession(3, QStringLiteral("2026-03-02 23:59:59"), QString(), QStringLiteral("ann"), QStringLiteral("Operator"));
        TInOutLogQuery_Form w;
        w.show();
        QCOMPARE(child<QTableView>(&w, "logGrid")->model()->rowCount(), 0);
        QVERIFY(!button(&w, "exportButton")->isEnabled() && !button(&w, "clearButton")->isEnabled());
        auto *names = child<QComboBox>(&w, "loginNameCombo");
        QCOMPARE(names->count(), 2);
        QCOMPARE(names->currentIndex(), -1);
        QCOMPARE(child<QDateEdit>(&w, "loginFromDateEdit")->date(), QDate(2026, 3, 2));

        // Today to today: every session begun today.
        child<QCheckBox>(&w, "loginTimeCheck")->setChecked(true);
        button(&w, "searchButton")->click();
        QCOMPARE(shownIds(w), (QList<int>{2, 3}));
        QVERIFY(button(&w, "exportButton")->isEnabled() && button(&w, "clearButton")->isEnabled());

        child<QDateEdit>(&w, "loginFromDateEdit")->setDate(QDate(2026, 3, 3));
        button(&w, "searchButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Error, QStringLiteral("Login Time period input error.")));
        QCOMPARE(shownIds(w), (QList<int>{2, 3})); // unchanged

        child<QCheckBox>(&w, "loginTimeCheck")->setChecked(false);
        child<QCheckBox>(&w, "logoutTimeCheck")->setChecked(true);
        child<QDateEdit>(&w, "logoutFromDateEdit")->setDate(QDate(2026, 3, 3));
        button(&w, "searchButton")->click();
        QCOMPARE(m_msg->last(), QStringLiteral("Login Time period input error."));

        child<QCheckBox>(&w, "logoutTimeCheck")->setChecked(false);
        child<QCheckBox>(&w, "loginNameCheck")->setChecked(true);
        names->setCurrentIndex(names->findText(QStringLiteral("ann")));
        child<QRadioButton>(&w, "orderLoginNameRadio")->setChecked(true);
        button(&w, "searchButton")->click();
        QCOMPARE(shownIds(w), (QList<int>{1, 3}));

        // Title clicks: ascending, then descending, on the same conditions.
        auto *header = child<QTableView>(&w, "logGrid")->horizontalHeader();
        emit header->sectionClicked(0);
        QCOMPARE(shownIds(w), (QList<int>{1, 3}));
        emit header->sectionClicked(0);
        QCOMPARE(shownIds(w), (QList<int>{3, 1}));

        child<QCheckBox>(&w, "loginNameCheck")->setChecked(false);
        child<QCheckBox>(&w, "loginLevelCheck")->setChecked(true);
        child<QComboBox>(&w, "loginLevelCombo")->setCurrentIndex(1);
        button(&w, "searchButton")->click();
        QCOMPARE(shownIds(w), (QList<int>{2}));

        child<QComboBox>(&w, "loginLevelCombo")->setCurrentText(QStringLiteral("Operator"));
        child<QCheckBox>(&w, "loginTimeCheck")->setChecked(true);
        child<QDateEdit>(&w, "loginFromDateEdit")->setDate(QDate(2026, 3, 5));
        child<QDateEdit>(&w, "loginToDateEdit")->setDate(QDate(2026, 3, 6));
        button(&w, "searchButton")->click();
        QVERIFY(shownIds(w).isEmpty());
        QVERIFY(!button(&w, "exportButton")->isEnabled() && !button(&w, "clearButton")->isEnabled());
    }

    void logClearKeepsTheRunningSession()
    {
        addSession(1, QStringLiteral("2026-03-01 08:00:00"), QStringLiteral("2026-03-01 17:00:00"), QStringLiteral("ann"), QStringLiteral("Operator"));
        addSession(2, QStringLiteral("2026-03-02 08:00:00"), QStringLiteral("2026-03-02 09:00:00"), QStringLiteral("bob"), QStringLiteral("Administrator"));
        addSession(3, QStringLiteral("2026-03-03 08:00:00"), QString(), QStringLiteral("riradu"), QStringLiteral("Administrator"));
        TInOutLogQuery_Form w;
        w.show();
        button(&w, "searchButton")->click();
        QCOMPARE(shownIds(w), (QList<int>{1, 2, 3}));
        const int before = m_msg->count();
        button(&w, "clearButton")->click();
        QCOMPARE(m_msg->count(), before); // no question
        QCOMPARE(shownIds(w), (QList<int>{3}));
        auto q = store::exec(QStringLiteral("SELECT count(*) FROM LoginHistory"));
        QVERIFY(q.ok && q.value.next());
        QCOMPARE(q.value.value(0).toInt(), 1);
    }

    void logExportWritesTheWorkbook()
    {
        Clock::freezeAt(QDateTime(QDate(2026, 3, 4), QTime(10, 11, 12)));
        addSession(1, QStringLiteral("2026-03-01 08:00:00"), QStringLiteral("2026-03-01 17:00:00"), QStringLiteral("ann"), QStringLiteral("Operator"));
        addSession(2, QStringLiteral("2026-03-03 08:00:00"), QString(), QStringLiteral("riradu"), QStringLiteral("Administrator"));
        TInOutLogQuery_Form w;
        w.show();
        button(&w, "searchButton")->click();
        button(&w, "exportButton")->click();
        QCOMPARE(m_msg->entries().last(), qMakePair(Kind::Information, QStringLiteral("Data has been exported successfully.")));
        QCOMPARE(m_opened.size(), 1);
        QVERIFY(m_opened[0].startsWith(m_dir->path() + QStringLiteral("/exports/Login Log 2026-03-04 101112")));
        const auto book = sheet::WorkbookReader::readFirstSheet(m_opened[0]);
        QVERIFY2(book.ok, qPrintable(book.error));
        const sheet::SheetData &s = book.value;
        QCOMPARE(s.name(), QStringLiteral("Login Log Report"));
        QCOMPARE(s.text(2, 1), QStringLiteral("Print Time: "));
        QCOMPARE(s.text(2, 2), QStringLiteral("2026-03-04 10:11:12"));
        QCOMPARE(s.text(3, 1), QStringLiteral("Login Time"));
        QCOMPARE(s.text(4, 2), QStringLiteral("2026-03-01 17:00:00"));
        QCOMPARE(s.cell(4, 2).numberFormat, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
        QCOMPARE(s.text(5, 3), QStringLiteral("riradu"));
        QVERIFY(s.cell(5, 2).isEmpty());
        QCOMPARE(s.rowCount(), 5);
        for (QWidget *top : QApplication::topLevelWidgets()) // the waiting window is gone
            QVERIFY(top->objectName() != QLatin1String("waitingWindow") || !top->isVisible());
    }
};

CORVANE_GUITEST_MAIN(TestOperatorWindows)
#include "tst_operatorwindows.moc"
