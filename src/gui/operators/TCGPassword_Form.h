#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Change Operator Password": anyone who knows an account's old password
// sets a new one. Modal.
class TCGPassword_Form : public QDialog
{
    Q_OBJECT

public:
    explicit TCGPassword_Form(QWidget *parent = nullptr);

public slots:
    void sbOKClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void clearPasswords();

    QLineEdit *m_userName = nullptr;
    QLineEdit *m_oldPassword = nullptr;
    QLineEdit *m_newPassword = nullptr;
    QLineEdit *m_confirmPassword = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_close = nullptr;
};
