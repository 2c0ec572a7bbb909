#include "TestDataDir.h"

#include "common/Clock.h"
#include "common/PasswordHash.h"
#include "store/Database.h"

TestDataDir::TestDataDir(bool openDatabase)
{
    PasswordHash::setFastMode(true);
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder");
        return;
    }
    if (!openDatabase) {
        m_ok = true;
        return;
    }
    const Status s = store::Database::open(m_dir.path());
    m_ok = s.ok;
    m_error = s.error;
}

TestDataDir::~TestDataDir()
{
    store::Database::close();
    Clock::reset();
}

QString testDataPath(const QString &name) { return QStringLiteral(CORVANE_TEST_DATA "/") + name; }
