#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Facility Code Setting: changes the six-digit site code every key carries.
class TSystemPassword_Form : public QDialog
{
    Q_OBJECT

public:
    explicit TSystemPassword_Form(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void btnOKClick();

private:
    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_confirm;
    QPushButton *m_ok;
    QPushButton *m_close;
};
