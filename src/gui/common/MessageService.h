#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every information, warning, error and OK/Cancel question of the program,
// and every file chooser, goes through this one service. The application
// installs the QMessageBox implementation; tests install a recorder that
// keeps the texts and answers questions from a script.
class MessageService
{
public:
    enum class Kind { Information, Warning, Error, Confirmation };

    virtual ~MessageService() = default;

    virtual void show(Kind kind, const QString &text, QWidget *parent) = 0;
    // OK/Cancel question; true on OK.
    virtual bool confirm(const QString &text, QWidget *parent) = 0;
    // Empty text when the operator cancels.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;

    // The service in use (the QMessageBox one unless another was installed).
    static MessageService &instance();
    // Installs a service (not owned); nullptr restores the default.
    static void install(MessageService *service);
};

// Short calls used by the windows.
namespace msg {
void information(const QString &text, QWidget *parent = nullptr);
void warning(const QString &text, QWidget *parent = nullptr);
void error(const QString &text, QWidget *parent = nullptr);
bool confirm(const QString &text, QWidget *parent = nullptr);
} // namespace msg

// The two helpers every record-editing window has.
bool MyConfirmation(const QString &text, QWidget *parent = nullptr);
void MyError(const QString &text, QWidget *parent = nullptr);
