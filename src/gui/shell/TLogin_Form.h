#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The login dialog: three tries, then the program ends.
class TLogin_Form : public QDialog
{
    Q_OBJECT

public:
    explicit TLogin_Form(QWidget *parent = nullptr);

    bool succeeded() const { return m_success; }
    // True after the third failed try: the application must end.
    bool terminated() const { return m_terminated; }
    int failedTries() const { return m_failedTries; }

    static constexpr int kMaxTries = 3;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void btnOKClick();
    void btnCancelClick();

private:
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    int m_failedTries = 0;
    bool m_success = false;
    bool m_terminated = false;
};
