#include "MessageRecorder.h"

MessageRecorder::MessageRecorder() { MessageService::install(this); }

MessageRecorder::~MessageRecorder() { MessageService::install(nullptr); }

void MessageRecorder::show(Kind kind, const QString &text, QWidget *)
{
    m_entries.append({kind, text});
    if (m_onMessage)
        m_onMessage(kind, text);
}

bool MessageRecorder::confirm(const QString &text, QWidget *)
{
    m_entries.append({Kind::Confirmation, text});
    if (m_onMessage)
        m_onMessage(Kind::Confirmation, text);
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.dequeue();
}

QString MessageRecorder::openFileName(QWidget *, const QString &, const QString &, const QString &)
{
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString MessageRecorder::saveFileName(QWidget *, const QString &, const QString &, const QString &)
{
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto &e : m_entries)
        out << e.second;
    return out;
}

const char *kindName(MessageService::Kind kind)
{
    switch (kind) {
    case MessageService::Kind::Information:
        return "information";
    case MessageService::Kind::Warning:
        return "warning";
    case MessageService::Kind::Error:
        return "error";
    case MessageService::Kind::Confirmation:
        return "confirmation";
    }
    return "?";
}
