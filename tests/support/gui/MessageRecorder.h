#pragma once

#include "common/MessageService.h"

#include <QList>
#include <QPair>
#include <QQueue>
#include <QStringList>
#include <functional>

// Records every message box instead of showing it, and answers questions
// and file choosers from a script. Installed for its lifetime.
class MessageRecorder : public MessageService
{
public:
    using Entry = QPair<Kind, QString>;

    MessageRecorder();
    ~MessageRecorder() override;

    void show(Kind kind, const QString &text, QWidget *parent) override;
    bool confirm(const QString &text, QWidget *parent) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;

    // Answers for the next questions, in order; when the queue is empty the
    // default answer is given.
    void queueAnswer(bool ok) { m_answers.enqueue(ok); }
    void setDefaultAnswer(bool ok) { m_defaultAnswer = ok; }
    void queueFileName(const QString &path) { m_files.enqueue(path); }
    // Called for every message as it arrives (e.g. to close a dialog).
    void setOnMessage(std::function<void(Kind, const QString &)> f) { m_onMessage = std::move(f); }

    const QList<Entry> &entries() const { return m_entries; }
    QStringList texts() const;
    QString last() const { return m_entries.isEmpty() ? QString() : m_entries.last().second; }
    Kind lastKind() const { return m_entries.isEmpty() ? Kind::Information : m_entries.last().first; }
    int count() const { return static_cast<int>(m_entries.size()); }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
    QQueue<bool> m_answers;
    QQueue<QString> m_files;
    bool m_defaultAnswer = true;
    std::function<void(Kind, const QString &)> m_onMessage;
};

// Describes a kind for test output.
const char *kindName(MessageService::Kind kind);
