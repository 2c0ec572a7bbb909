#pragma once

// Sample rows shared by the master-data window tests.

#include "MessageRecorder.h"
#include "TestDataDir.h"
#include "common/AppContext.h"
#include "ibutton/Checksums.h"
#include "store/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace samples {

// A registration number text with a valid CRC-8 (family, then serial n).
inline QString serial(int n, uint8_t family = 0x01)
{
    onewire::RomBytes b{family, uint8_t(n), uint8_t(n >> 8), 0x12, 0x34, 0x56, 0x00, 0};
    b[7] = onewire::crc8(b.data(), 7);
    return onewire::serialTextFromBus(b);
}

// The same number with its CRC byte wrong.
inline QString badSerial(int n)
{
    QString s = serial(n);
    s[1] = s[1] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

inline bool run(const QString &sql, const QVariantMap &params = {}) { return store::exec(sql, params).ok; }

inline int count(const QString &sql, const QVariantMap &params = {})
{
    auto q = store::exec(sql, params);
    return q.ok && q.value.next() ? q.value.value(0).toInt() : -1;
}

inline QString text(const QString &sql, const QVariantMap &params = {})
{
    auto q = store::exec(sql, params);
    return q.ok && q.value.next() ? q.value.value(0).toString() : QStringLiteral("<none>");
}

inline void addLock(int id, const QString &serialText, const QString &name, const QString &location,
                    int statusId = 1, const QString &type = QStringLiteral("iButton"))
{
    run(QStringLiteral("INSERT INTO LockManagement VALUES (:a, :b, :c, :d, :e, :f)"),
        {{"a", id}, {"b", serialText}, {"c", name}, {"d", location}, {"e", statusId}, {"f", type}});
}

inline void addUser(int id, const QString &first, const QString &last, const QString &type, const QString &serialText,
                    const QString &code, const QString &department = QString())
{
    run(QStringLiteral("INSERT INTO KeyManagement (KeyID, SerialID, FirstName, LastName, TimeShiftID, Department, "
                       "UserType, KeyCode, Status, ActExpDateID, ExpDateID) VALUES (:id, :s, :f, :l, 1, :d, :t, :k, "
                       "'Active', 1, 1)"),
        {{"id", id}, {"s", serialText}, {"f", first}, {"l", last}, {"d", department}, {"t", type}, {"k", code}});
}

inline void assign(int lockId, int keyId, const QString &first, const QString &last)
{
    run(QStringLiteral("INSERT INTO LockKeyManagement (LockID, KeyID, FirstName, LastName, Status, UserType) "
                       "VALUES (:l, :k, :f, :n, 'Active', 'iButton')"),
        {{"l", lockId}, {"k", keyId}, {"f", first}, {"n", last}});
}

inline void loginAs(int level)
{
    AppContext::instance().reset();
    AppContext::instance().session.OperatorName = QStringLiteral("tester");
    AppContext::instance().session.OperatorLevel = level;
}

template <typename T>
T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

// Runs `act` on the modal dialog of type T as soon as it is up (a dialog
// may process events while it loads, before its modal loop starts).
template <typename T>
void whenModal(QObject *context, std::function<void(T *)> act)
{
    auto *timer = new QTimer(context);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, context, [timer, act] {
        if (auto *dlg = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
        }
    });
    timer->start();
}

inline QAbstractButton *button(QWidget *w, const char *name) { return child<QAbstractButton>(w, name); }

// The base of a window test: each test runs on a fresh data folder, with
// every message recorded and an operator of the given level logged in.
class WindowTest : public QObject
{
protected:
    // False when the data folder could not be made.
    bool openSession(int level)
    {
        m_dir = std::make_unique<TestDataDir>();
        if (!m_dir->ok())
            return false;
        m_msg = std::make_unique<MessageRecorder>();
        loginAs(level);
        return true;
    }
    void closeSession()
    {
        m_msg.reset();
        m_dir.reset();
    }

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<MessageRecorder> m_msg;
};

} // namespace samples
