#include "GuiTest.h"
#include "MessageRecorder.h"
#include "TestDataDir.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/WindowRegistry.h"
#include "ibutton/EmulatedBus.h"
#include "ibutton/VirtualReader.h"
#include "shell/TLogin_Form.h"
#include "shell/TMain_Form.h"
#include "shell/TSystemPassword_Form.h"
#include "store/Database.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

// Stand-ins for task windows, so that the openers can be tested on their own.
class TDummyChild_Form : public QWidget
{
    Q_OBJECT
public:
    explicit TDummyChild_Form(QWidget *parent = nullptr) : QWidget(parent) {}
    static inline bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (refuseClose)
            e->ignore();
        else
            e->accept();
    }
};
REGISTER_WINDOW(TDummyChild_Form)

class TOtherChild_Form : public QWidget
{
    Q_OBJECT
public:
    explicit TOtherChild_Form(QWidget *parent = nullptr) : QWidget(parent) {}
};
REGISTER_WINDOW(TOtherChild_Form)

namespace {

void writeConfig(const QString &dir, const QByteArray &bytes)
{
    QFile f(dir + QStringLiteral("/Config.dat"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Closes the modal dialog of the given class as soon as it is up (polled
// without blocking, since the dialog may process events while it loads).
void closeModalWhenShown(const char *className)
{
    auto *poll = new QTimer(qApp);
    auto *tries = new int(0);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, tries, className] {
        QWidget *modal = QApplication::activeModalWidget();
        if ((modal && modal->inherits(className)) || ++*tries > 250) {
            poll->stop();
            poll->deleteLater();
            delete tries;
            if (modal && modal->inherits(className))
                modal->close();
        }
    });
    poll->start(20);
}

QString lastLogout()
{
    auto q = store::exec(QStringLiteral("SELECT LogoutTime FROM LoginHistory ORDER BY rowid DESC LIMIT 1"));
    return q.ok && q.value.next() ? q.value.value(0).toString() : QStringLiteral("<none>");
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<onewire::EmulatedBus> m_bus;

    // A main window for an operator of the given level, created as at start-up
    // with a non-default facility code (no reminder dialog).
    std::unique_ptr<TMain_Form> startMain(int level, const QByteArray &config = QByteArray::fromHex("000a32010600123456"))
    {
        AppContext &ctx = AppContext::instance();
        ctx.session.OperatorName = QStringLiteral("ann");
        ctx.session.OperatorLevel = level;
        ctx.session.Level = 1;
        if (!config.isNull())
            writeConfig(m_dir->path(), config);
        auto w = std::make_unique<TMain_Form>();
        w->FormCreate();
        w->show();
        QCoreApplication::processEvents(); // the activation after the first show
        return w;
    }

    void quit(TMain_Form &w)
    {
        m_messages->queueAnswer(true);
        w.close();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        QVERIFY(m_dir->ok());
        m_messages = std::make_unique<MessageRecorder>();
        m_bus = std::make_unique<onewire::EmulatedBus>();
        m_bus->attachReaderChip();
        AppContext &ctx = AppContext::instance();
        ctx.reset();
        ctx.dataDir = m_dir->path();
        ctx.setBus(m_bus.get());
        TDummyChild_Form::refuseClose = false;
    }

    void cleanup()
    {
        AppContext::instance().setBus(nullptr);
        m_messages.reset();
        m_dir.reset();
    }

    void loginTries_data()
    {
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<bool>("success");
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<int>("errors");
        QTest::newRow("right at once") << QStringList{"61837294"} << true << false << 0;
        QTest::newRow("two wrong, then right") << QStringList{"x", "y", "61837294"} << true << false << 2;
        QTest::newRow("three wrong end the program") << QStringList{"x", "y", "z"} << false << true << 3;
    }
    void loginTries()
    {
        QFETCH(QStringList, passwords);
        QFETCH(bool, success);
        QFETCH(bool, terminated);
        QFETCH(int, errors);
        TLogin_Form login;
        login.show();
        auto *name = login.findChild<QLineEdit *>(QStringLiteral("userNameEdit"));
        auto *password = login.findChild<QLineEdit *>(QStringLiteral("passwordEdit"));
        auto *ok = login.findChild<QPushButton *>(QStringLiteral("okButton"));
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(name, QStringLiteral("riradu"));
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(password->hasFocus() || !login.isActiveWindow());
        for (const QString &p : passwords) {
            password->clear();
            QTest::keyClicks(password, p);
            QVERIFY(ok->isEnabled());
            QTest::keyClick(password, Qt::Key_Return); // Enter runs OK
        }
        QCOMPARE(login.succeeded(), success);
        QCOMPARE(login.terminated(), terminated);
        QCOMPARE(m_messages->texts(), QStringList(errors, QStringLiteral("Password Error.")));
        if (success) {
            QCOMPARE(AppContext::instance().session.OperatorName, QStringLiteral("riradu"));
            QCOMPARE(AppContext::instance().session.OperatorLevel, 2);
            QCOMPARE(AppContext::instance().session.Title, QStringLiteral("Corvane Lock   (VER 3.5)"));
        }
    }

    void menuTableAndStatusBar()
    {
        auto w = startMain(2);
        QStringList tops;
        for (QAction *a : w->menuBar()->actions())
            tops << a->text();
        QCOMPARE(tops, (QStringList{"Lock Management     ", "User Code Management     ", "History     ", "Other     ",
                                    "Quit     "}));
        QVERIFY(w->menuAction(QStringLiteral("Facility Code"))->isEnabled());
        // Windows this build has open from the menu; the others are shown but disabled.
        for (const char *caption : {"Lock Settings", "User Settings", "Time Shifts", "Holiday Schedule",
                                    "Activation / Expiration Date", "Lock Schedule", "Operator Log",
                                    "Operator Setting", "Change Operator Password"})
            QVERIFY2(w->menuAction(QLatin1String(caption))->isEnabled(), caption);
        for (const char *caption : {"Setup New Lock", "Lock Maintenance", "Read Key", "Lock Audit History"}) {
            QVERIFY2(!w->menuAction(QLatin1String(caption))->isEnabled(), caption);
            QVERIFY(w->menuAction(QLatin1String(caption))->isVisible());
        }
        // The mission submenu is there but hidden.
        QVERIFY(!w->findChild<QMenu *>(QStringLiteral("missionManagementMenu"))->menuAction()->isVisible());
        QCOMPARE(w->statusPanel(1)->text(), QStringLiteral("User Name:  ann"));
        QCOMPARE(w->statusPanel(2)->text(), QStringLiteral("User Level:  Administrator"));
        QVERIFY(w->statusPanel(3)->text().startsWith(QLatin1String("PC Time:  ")));
        QCOMPARE(w->size(), QSize(1024, 768));
        QVERIFY(w->menuAction(QStringLiteral("1024*768"))->isChecked());
        QCOMPARE(AppContext::instance().ReaderId.right(2), QStringLiteral("81"));
        guitest::snapshot(w.get());
        quit(*w);
    }

    void remoteCodeSwitches_data()
    {
        QTest::addColumn<int>("titleLevel");
        QTest::addColumn<int>("lockUserType");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("shown") << 1 << 0 << true << true;
        QTest::newRow("title level 0 hides") << 0 << 0 << false << true;
        QTest::newRow("iButton users disable") << 1 << 1 << true << false;
        QTest::newRow("both") << 0 << 1 << false << false;
    }
    void remoteCodeSwitches()
    {
        QFETCH(int, titleLevel);
        QFETCH(int, lockUserType);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QByteArray cfg = QByteArray::fromHex("000a32010600123456");
        cfg[0] = char(lockUserType);
        AppContext::instance().session.Level = titleLevel;
        writeConfig(m_dir->path(), cfg);
        AppContext::instance().session.OperatorLevel = 2;
        TMain_Form w;
        AppContext::instance().session.Level = titleLevel;
        w.FormCreate();
        w.show();
        for (const char *caption : {"Remote Code", "Access Code History"}) {
            QCOMPARE(w.menuAction(QLatin1String(caption))->isVisible(), visible);
            if (lockUserType == 1)
                QVERIFY(!w.menuAction(QLatin1String(caption))->isEnabled());
        }
        QCOMPARE(w.toolButton(QStringLiteral("Remote Code"))->isVisible(), visible);
        QCOMPARE(w.toolButton(QStringLiteral("Remote Code"))->isEnabled(),
                 enabled && w.menuAction(QStringLiteral("Remote Code"))->isEnabled());
        if (!enabled)
            QVERIFY(!w.toolButton(QStringLiteral("Remote Code"))->isEnabled());
        m_messages->queueAnswer(true);
        w.close();
    }

    void levelGateClosesTheOpenChild()
    {
        auto w = startMain(1);
        QVERIFY(w->openChild(QStringLiteral("TOtherChild_Form"), 0));
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QVERIFY(!w->openChild(QStringLiteral("TDummyChild_Form"), 2));
        QCOMPARE(m_messages->texts(), QStringList{"This funtion need higher user level."});
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 0);
        // Modal windows are gated the same way.
        m_messages->clear();
        w->openModal(QStringLiteral("TSystemPassword_Form"), 2);
        QCOMPARE(m_messages->texts(), QStringList{"This funtion need higher user level."});
        quit(*w);
    }

    void menuItemsOpenTheirWindows()
    {
        auto w = startMain(2);
        w->menuAction(QStringLiteral("Lock Settings"))->trigger();
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QVERIFY(w->mdiArea()->subWindowList().first()->widget()->inherits("TLockManagement_Form"));
        QVERIFY(w->mdiArea()->subWindowList().first()->isMaximized());
        // Opening another task window closes the first.
        w->menuAction(QStringLiteral("User Settings"))->trigger();
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);
        QVERIFY(w->mdiArea()->subWindowList().first()->widget()->inherits("TKeyManagement_Form"));
        // A modal window from the menu is never a picker.
        AppContext::instance().handOver.TimeShiftSelectMode = 1;
        closeModalWhenShown("TTimeShiftSetting_Form");
        w->menuAction(QStringLiteral("Time Shifts"))->trigger();
        QCOMPARE(AppContext::instance().handOver.TimeShiftSelectMode, 0);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1); // modal windows leave the child open
        quit(*w);
    }

    void childThatRefusesToCloseIsShownAgain()
    {
        auto w = startMain(2);
        QWidget *first = w->openChild(QStringLiteral("TDummyChild_Form"), 0);
        QVERIFY(first);
        TDummyChild_Form::refuseClose = true;
        QCOMPARE(w->openChild(QStringLiteral("TDummyChild_Form"), 0), first);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        // Quitting cannot close it either: the program stays.
        m_messages->queueAnswer(true);
        QVERIFY(!w->close());
        TDummyChild_Form::refuseClose = false;
        quit(*w);
    }

    void quitAsksAndRecordsTheLogout()
    {
        Clock::freezeAt(QDateTime(QDate(2026, 7, 1), QTime(9, 0, 0)));
        auto w = startMain(2);
        QCOMPARE(lastLogout(), QString());
        m_messages->queueAnswer(false);
        QVERIFY(!w->close());
        QCOMPARE(m_messages->last(), QStringLiteral("Quit program now?"));
        QCOMPARE(lastLogout(), QString());

        AppContext::instance().settings.SmallScreen = 1;
        Clock::freezeAt(QDateTime(QDate(2026, 7, 1), QTime(9, 30, 0)));
        m_messages->queueAnswer(true);
        QVERIFY(w->close());
        QCOMPARE(lastLogout(), QStringLiteral("2026-07-01 09:30:00"));
        QFile f(m_dir->file(QStringLiteral("Config.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().toHex(), QByteArray("000a32010601123456"));
    }

    void skipLogoutRecord()
    {
        auto w = startMain(2);
        AppContext::instance().SkipLogoutRecord = true;
        quit(*w);
        QCOMPARE(lastLogout(), QString());
    }

    void missingConfigRemindsOfTheFactoryCode()
    {
        closeModalWhenShown("TSystemPassword_Form");
        auto w = startMain(2, QByteArray());
        QCOMPARE(m_messages->texts().mid(0, 2),
                 (QStringList{"CONFIG.DAT is not exist,We will use default parameter.",
                              "You should set a password for your system.This default password is \"482615\"."}));
        QVERIFY(AppContext::instance().settings.isFactoryFacilityCode());
        quit(*w);
    }

    void screenResolutionItems()
    {
        auto w = startMain(1);
        w->menuAction(QStringLiteral("1024*768"))->trigger();
        QCOMPARE(m_messages->count(), 0);
        w->menuAction(QStringLiteral("800*600"))->trigger();
        QCOMPARE(m_messages->last(), QStringLiteral("You have changed the resolution to 800*600,Please restart program now."));
        QCOMPARE(AppContext::instance().settings.SmallScreen, uint8_t(1));
        QVERIFY(w->menuAction(QStringLiteral("800*600"))->isChecked());
        w->menuAction(QStringLiteral("1024*768"))->trigger();
        QCOMPARE(m_messages->last(), QStringLiteral("You have changed the resolution to 1024*768,Please restart program now."));
        QCOMPARE(AppContext::instance().settings.SmallScreen, uint8_t(0));
        quit(*w);
    }

    void facilityCodeChecks_data()
    {
        QTest::addColumn<QString>("oldCode");
        QTest::addColumn<QString>("newCode");
        QTest::addColumn<QString>("confirmCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("old empty") << "" << "111111" << "111111" << "Old Password Input Error.";
        QTest::newRow("old five digits") << "48261" << "111111" << "111111" << "Old Password Input Error.";
        QTest::newRow("old wrong") << "482616" << "111111" << "111111" << "Old Password Input Error.";
        QTest::newRow("new short") << "482615" << "11111" << "111111" << "New Password Input Error.";
        QTest::newRow("confirm short") << "482615" << "111111" << "1111" << "Confirm Password Input Error.";
        QTest::newRow("one digit differs") << "482615" << "111111" << "111112"
                                           << "New Password and Confirm Password are diffrent.";
        QTest::newRow("factory code again") << "482615" << "482615" << "482615"
                                            << "New Password should not be \"482615\".";
        QTest::newRow("accepted") << "482615" << "123456" << "123456" << "New System Password is set.";
        QTest::newRow("letters and blanks are dropped") << "48a26 15" << "1x2y3z4 56" << "123456"
                                                        << "New System Password is set.";
    }
    void facilityCodeChecks()
    {
        QFETCH(QString, oldCode);
        QFETCH(QString, newCode);
        QFETCH(QString, confirmCode);
        QFETCH(QString, message);
        TSystemPassword_Form dlg;
        dlg.show();
        QTest::keyClicks(dlg.findChild<QLineEdit *>(QStringLiteral("oldCodeEdit")), oldCode);
        QTest::keyClicks(dlg.findChild<QLineEdit *>(QStringLiteral("newCodeEdit")), newCode);
        QTest::keyClicks(dlg.findChild<QLineEdit *>(QStringLiteral("confirmCodeEdit")), confirmCode);
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
        QCOMPARE(m_messages->texts(), QStringList{message});
        const bool accepted = message == QLatin1String("New System Password is set.");
        QCOMPARE(int(m_messages->lastKind()),
                 int(accepted ? MessageService::Kind::Information : MessageService::Kind::Error));
        QCOMPARE(AppContext::instance().settings.facilityCodeText(),
                 accepted ? QStringLiteral("123456") : QStringLiteral("482615"));
        QCOMPARE(dlg.isVisible(), !accepted);
    }

    void siteWithoutLocksStartsWithNewLockSetup()
    {
        // Stands in for the New Lock Setup window.
        WindowRegistry::add(QStringLiteral("TLockSetup_Form"), [](QWidget *parent) -> QWidget * {
            auto *w = new TOtherChild_Form(parent);
            w->setObjectName(QStringLiteral("newLockSetup"));
            return w;
        });
        auto w = startMain(1); // no level is needed for it
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w->mdiArea()->subWindowList().first()->widget()->objectName(), QStringLiteral("newLockSetup"));
        quit(*w);

        QVERIFY(store::exec(QStringLiteral("INSERT INTO LockManagement (LockID, SerialID, LockName) VALUES (1, 'A', 'B')")).ok);
        auto again = startMain(1);
        QTest::qWait(20);
        QCOMPARE(again->mdiArea()->subWindowList().size(), 0);
        quit(*again);
    }

    void emulatedReaderIsDockedAndIdentified()
    {
        onewire::VirtualReader reader(m_dir->path());
        AppContext::instance().setBus(&reader.bus());
        AppContext::instance().virtualReader = &reader;
        QVERIFY(reader.createKey(onewire::VirtualKeyKind::DS1977).ok);
        auto w = startMain(2);
        QVERIFY(w->findChild<QDockWidget *>(QStringLiteral("readerDock")));
        QVERIFY(w->findChild<QDockWidget *>(QStringLiteral("lockEmulatorDock")));
        QCOMPARE(AppContext::instance().ReaderId, reader.readerChipId());
        QCOMPARE(m_messages->count(), 0);
        guitest::snapshot(w.get(), QStringLiteral("TMain_Form_reader"));
        quit(*w);
        AppContext::instance().virtualReader = nullptr;
        AppContext::instance().setBus(nullptr);
    }

    void enterMovesToTheNextCodeField()
    {
        TSystemPassword_Form dlg;
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        auto *oldEdit = dlg.findChild<QLineEdit *>(QStringLiteral("oldCodeEdit"));
        oldEdit->setFocus();
        QTest::keyClick(oldEdit, Qt::Key_Return);
        QTRY_VERIFY(dlg.findChild<QLineEdit *>(QStringLiteral("newCodeEdit"))->hasFocus());
        QCOMPARE(m_messages->count(), 0);
    }
};

CORVANE_GUITEST_MAIN(TestShell)
#include "tst_shell.moc"
