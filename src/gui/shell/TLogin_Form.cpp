#include "shell/TLogin_Form.h"

#include "common/AppContext.h"
#include "common/MessageService.h"
#include "session/OperatorLogin.h"
#include "store/Database.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TLogin_Form::TLogin_Form(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("loginDialog"));
    setWindowTitle(QStringLiteral("Login"));
    // Fixed size, and the close box is the only title-bar button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("userNameEdit"));
    m_userName->setMaxLength(20);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_password->setMaxLength(8);

    m_ok = new QPushButton(QStringLiteral(" &OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setEnabled(false);
    m_ok->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral(" &Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);

    auto *note = new QLabel(QStringLiteral("Note: The administrator password is set to the\n"
                                           " factory default. It  is recommended that  you\n"
                                           " change it as soon as possible."),
                            this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setStyleSheet(QStringLiteral("color: red;"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("User Name:"), m_userName);
    form->addRow(QStringLiteral("Password:"), m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_userName->installEventFilter(this);
    m_password->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &TLogin_Form::btnOKClick);
    connect(m_cancel, &QPushButton::clicked, this, &TLogin_Form::btnCancelClick);

    // The session starts empty; the installation's caption and switches come from TitleName.
    Session &s = AppContext::instance().session;
    s.OperatorLevel = 0;
    s.OperatorName.clear();
    const session::TitleInfo title = session::readTitle();
    s.Title = title.title;
    s.Level = title.level;
}

bool TLogin_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_userName && enter) {
            m_password->setFocus();
            return true;
        }
        if (watched == m_password) {
            m_ok->setEnabled(true);
            if (enter) {
                btnOKClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLogin_Form::btnOKClick()
{
    m_success = false;
    auto any = store::exec(QStringLiteral("Select * from Admin"));
    if (!any.ok || !any.value.next())
        return;
    const session::LoginMatch match = session::checkLogin(m_userName->text(), m_password->text());
    if (match.matched) {
        Session &s = AppContext::instance().session;
        s.OperatorName = match.operatorName;
        s.OperatorLevel = match.operatorLevel;
        m_success = true;
        accept();
        return;
    }
    msg::error(QStringLiteral("Password Error."), this);
    if (++m_failedTries >= kMaxTries) {
        m_terminated = true;
        reject();
    }
}

void TLogin_Form::btnCancelClick()
{
    m_success = false;
    reject();
}
