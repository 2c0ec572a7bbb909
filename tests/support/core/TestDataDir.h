#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary data folder with a fresh database opened as the shared
// connection. Removed (and the connection closed) when destroyed.
class TestDataDir
{
public:
    explicit TestDataDir(bool openDatabase = true);
    ~TestDataDir();

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
    QString m_error;
};

// Path of a fixture under tests/data.
QString testDataPath(const QString &name);
