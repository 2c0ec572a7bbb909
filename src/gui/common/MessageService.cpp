#include "common/MessageService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class BoxMessageService : public MessageService
{
public:
    void show(Kind kind, const QString &text, QWidget *parent) override
    {
        const QString title = QApplication::applicationDisplayName();
        switch (kind) {
        case Kind::Information:
            QMessageBox::information(parent, title, text);
            break;
        case Kind::Warning:
            QMessageBox::warning(parent, title, text);
            break;
        case Kind::Error:
            QMessageBox::critical(parent, title, text);
            break;
        case Kind::Confirmation:
            confirm(text, parent);
            break;
        }
    }

    bool confirm(const QString &text, QWidget *parent) override
    {
        return QMessageBox::question(parent, QApplication::applicationDisplayName(), text,
                                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
    }

    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }

    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
};

MessageService *g_installed = nullptr;

} // namespace

MessageService &MessageService::instance()
{
    static BoxMessageService boxes;
    return g_installed ? *g_installed : boxes;
}

void MessageService::install(MessageService *service) { g_installed = service; }

namespace msg {
void information(const QString &text, QWidget *parent)
{
    MessageService::instance().show(MessageService::Kind::Information, text, parent);
}
void warning(const QString &text, QWidget *parent)
{
    MessageService::instance().show(MessageService::Kind::Warning, text, parent);
}
void error(const QString &text, QWidget *parent)
{
    MessageService::instance().show(MessageService::Kind::Error, text, parent);
}
bool confirm(const QString &text, QWidget *parent) { return MessageService::instance().confirm(text, parent); }
} // namespace msg

bool MyConfirmation(const QString &text, QWidget *parent) { return msg::confirm(text, parent); }
void MyError(const QString &text, QWidget *parent) { msg::error(text, parent); }
