#pragma once

#include <QDialog>

class QRadioButton;

// Asks which kind of user is being added: 1 iButton, 2 key code, 3 both;
// 0 when the operator cancels or closes the dialog.
class TSelectUserType_Form : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectUserType_Form(QWidget *parent = nullptr);
    int userType() const { return m_type; }

private:
    QRadioButton *m_button = nullptr;
    QRadioButton *m_code = nullptr;
    QRadioButton *m_complex = nullptr;
    int m_type = 0;
};
