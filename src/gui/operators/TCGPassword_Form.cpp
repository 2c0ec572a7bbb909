#include "operators/TCGPassword_Form.h"

#include "common/MessageService.h"
#include "common/WindowRegistry.h"
#include "operators/OperatorAccounts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

REGISTER_WINDOW(TCGPassword_Form)

namespace {

QLineEdit *passwordEdit(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(8);
    return e;
}

} // namespace

TCGPassword_Form::TCGPassword_Form(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Change Operator Password"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("userNameEdit"));
    m_userName->setMaxLength(20);
    m_oldPassword = passwordEdit(this, QStringLiteral("oldPasswordEdit"));
    m_newPassword = passwordEdit(this, QStringLiteral("newPasswordEdit"));
    m_confirmPassword = passwordEdit(this, QStringLiteral("confirmPasswordEdit"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("User Name:"), m_userName);
    form->addRow(QStringLiteral("Old Password:"), m_oldPassword);
    form->addRow(QStringLiteral("New Password:"), m_newPassword);
    form->addRow(QStringLiteral("Confirm Password:"), m_confirmPassword);

    m_ok = new QPushButton(QStringLiteral(" &OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_close = new QPushButton(QStringLiteral(" &Close"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton *b : {m_ok, m_close}) {
        b->setAutoDefault(false); // Enter moves between fields, it never presses a button
        b->setDefault(false);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_ok, &QPushButton::clicked, this, &TCGPassword_Form::sbOKClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    m_userName->setFocus();
}

void TCGPassword_Form::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TCGPassword_Form::clearPasswords()
{
    m_oldPassword->clear();
    m_newPassword->clear();
    m_confirmPassword->clear();
}

void TCGPassword_Form::sbOKClick()
{
    QString error;
    const auto outcome = operators::changePassword(m_userName->text(), m_oldPassword->text(), m_newPassword->text(),
                                                   m_confirmPassword->text(), &error);
    switch (outcome) {
    case operators::PasswordChange::ConfirmMismatch:
        msg::error(QStringLiteral("New password and Confirm password are diffrent!"), this);
        clearPasswords();
        break;
    case operators::PasswordChange::NoSuchAccount:
        msg::error(QStringLiteral("The User Name has been inputed is not exist."), this);
        break;
    case operators::PasswordChange::WrongOldPassword:
        msg::error(QStringLiteral("Old password is not correct!"), this);
        clearPasswords();
        break;
    case operators::PasswordChange::Changed:
        msg::information(QStringLiteral("Password has been changed!"), this);
        clearPasswords();
        break;
    case operators::PasswordChange::StoreFailed:
        msg::error(error, this);
        break;
    }
}
