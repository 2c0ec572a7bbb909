#include "GuiTest.h"
#include "KeyImageBuilders.h"
#include "MessageRecorder.h"
#include "common/Clock.h"
#include "keyformat/LockReadBack.h"
#include "keyformat/LockSetupMission.h"
#include "keyformat/SystemSetupMission.h"
#include "lockemu/LockStore.h"
#include "reader/LockEmulatorPanel.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace keyformat;

class TestLockEmulatorPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QMap<QString, QByteArray> m_keys; // the emulated reader's keys
    QString m_onReader;
    bool m_writeFails = false;
    const QDateTime m_now{QDate(2026, 12, 3), QTime(12, 30)};

    LockEmulatorPanel *makePanel()
    {
        auto *p = new LockEmulatorPanel(
            m_dir.path(), [this] { return m_onReader; },
            [this](const QString &s) {
                return m_keys.contains(s) ? Result<QByteArray>::success(m_keys.value(s))
                                          : Result<QByteArray>::failure(QStringLiteral("Key not found."));
            },
            [this](const QString &s, const QByteArray &img) {
                if (m_writeFails)
                    return Status::failure(QStringLiteral("Write DS1977 Error."));
                m_keys[s] = img;
                return Status::success();
            });
        p->setDefaultFacility(keytest::facility());
        return p;
    }
    template <typename T> T *child(QWidget *w, const char *name) { return w->findChild<T *>(QLatin1String(name)); }

private slots:
    void init()
    {
        Clock::freezeAt(m_now);
        m_keys.clear();
        m_onReader.clear();
        m_writeFails = false;
    }
    void cleanup() { Clock::reset(); }

    void createsTouchesAndOpens()
    {
        MessageRecorder rec;
        std::unique_ptr<LockEmulatorPanel> panel(makePanel());
        panel->show();
        const QString serial = keytest::serial(0x2D, 0x55);
        child<QLineEdit>(panel.get(), "serialEdit")->setText(serial);
        child<QPushButton>(panel.get(), "newLockButton")->click();
        QCOMPARE(rec.count(), 0);
        QCOMPARE(panel->selectedSerial(), serial);
        QVERIFY(
            child<QListWidget>(panel.get(), "lockList")->currentItem()->text().contains(QStringLiteral("set-up mode")));

        // The same number twice is refused.
        child<QLineEdit>(panel.get(), "serialEdit")->setText(serial);
        child<QPushButton>(panel.get(), "newLockButton")->click();
        QCOMPARE(rec.lastKind(), MessageService::Kind::Warning);
        QVERIFY(rec.last().contains(QStringLiteral("exists already")));

        // No key on the reader.
        child<QPushButton>(panel.get(), "touchKeyButton")->click();
        QCOMPARE(rec.last(), QStringLiteral("Put a program key on the reader first."));

        // A system setup key on the reader: the lock takes it and leaves its serial ID.
        const QString key = keytest::serial(0x37, 1);
        SystemSetupMission s;
        s.facility = keytest::facility();
        s.clock = m_now;
        m_keys[key] = keytest::imageOf(encodeSystemSetup(s).value);
        m_onReader = key;
        child<QPushButton>(panel.get(), "touchKeyButton")->click();
        QCOMPARE(decodeNewLockList(m_keys[key]).serials, QStringList{serial});
        QVERIFY(child<QLabel>(panel.get(), "decisionLabel")->text().contains(QStringLiteral("initialised")));

        // Program a user, then present the user's key.
        LockSetupMission m;
        m.facility = keytest::facility();
        m.lockSerials = {serial};
        LockUser u;
        u.userType = QStringLiteral("iButton");
        u.serialId = keytest::serial(0x01, 0x99);
        m.users = {u};
        m_keys[key] = keytest::imageOf(encodeLockSetup(m).value);
        child<QPushButton>(panel.get(), "touchKeyButton")->click();
        child<QDateTimeEdit>(panel.get(), "atEdit")->setDateTime(m_now);
        child<QLineEdit>(panel.get(), "userKeyEdit")->setText(u.serialId);
        child<QPushButton>(panel.get(), "presentKeyButton")->click();
        QVERIFY(child<QLabel>(panel.get(), "decisionLabel")->text().startsWith(QStringLiteral("Opened")));
        child<QLineEdit>(panel.get(), "codeEdit")->setText(QStringLiteral("999"));
        child<QPushButton>(panel.get(), "enterCodeButton")->click();
        QVERIFY(child<QLabel>(panel.get(), "decisionLabel")->text().startsWith(QStringLiteral("Refused")));
        QVERIFY(child<QPlainTextEdit>(panel.get(), "stateView")
                    ->toPlainText()
                    .contains(QStringLiteral("Invalid Code(08)")));
        guitest::snapshot(panel.get(), QStringLiteral("LockEmulatorPanel"));

        // What the panel did is kept in the data folder.
        const auto kept = lockemu::LockStore(m_dir.path()).load(serial);
        QVERIFY(kept.ok);
        QCOMPARE(kept.value.users().size(), 1);
        QCOMPARE(kept.value.auditLog().size(), 4); // initialise, programming, opening, wrong code
    }

    void failedKeyWriteLeavesLockUnchanged()
    {
        MessageRecorder rec;
        std::unique_ptr<LockEmulatorPanel> panel(makePanel());
        const QString serial = keytest::serial(0x2D, 0x56);
        child<QLineEdit>(panel.get(), "serialEdit")->setText(serial);
        child<QPushButton>(panel.get(), "newLockButton")->click();
        const QString key = keytest::serial(0x37, 2);
        SystemSetupMission s;
        s.facility = keytest::facility();
        s.clock = m_now;
        m_keys[key] = keytest::imageOf(encodeSystemSetup(s).value);
        m_onReader = key;
        m_writeFails = true;
        child<QPushButton>(panel.get(), "touchKeyButton")->click();
        QCOMPARE(rec.lastKind(), MessageService::Kind::Error);
        QCOMPARE(rec.last(), QStringLiteral("Write DS1977 Error."));
        QVERIFY(lockemu::LockStore(m_dir.path()).load(serial).value.inSetupMode());
    }
};

CORVANE_GUITEST_MAIN(TestLockEmulatorPanel)
#include "tst_lockemulatorpanel.moc"
