#include "masterdata/TSelectUserType_Form.h"

#include "common/RecordEditor.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

TSelectUserType_Form::TSelectUserType_Form(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSelectUserType_Form"));
    setWindowTitle(QStringLiteral("Select User Type"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *root = new QVBoxLayout(this);
    m_button = new QRadioButton(QStringLiteral("iButton User"), this);
    m_button->setObjectName(QStringLiteral("iButtonUserRadio"));
    m_code = new QRadioButton(QStringLiteral("Key Code User"), this);
    m_code->setObjectName(QStringLiteral("keyCodeUserRadio"));
    m_complex = new QRadioButton(QStringLiteral("Complex User"), this);
    m_complex->setObjectName(QStringLiteral("complexUserRadio"));
    m_button->setChecked(true);
    root->addWidget(m_button);
    root->addWidget(m_code);
    root->addWidget(m_complex);
    auto *bar = new QHBoxLayout;
    QAbstractButton *ok = RecordEditor::makeButton(this, QStringLiteral(" &OK"), QString(), QStringLiteral("okButton"));
    QAbstractButton *cancel = RecordEditor::makeButton(this, QStringLiteral(" &Cancel"), QString(), QStringLiteral("cancelButton"));
    bar->addStretch();
    bar->addWidget(ok);
    bar->addWidget(cancel);
    root->addLayout(bar);
    connect(ok, &QAbstractButton::clicked, this, [this] {
        m_type = m_code->isChecked() ? 2 : m_complex->isChecked() ? 3 : 1;
        accept();
    });
    connect(cancel, &QAbstractButton::clicked, this, [this] {
        m_type = 0;
        reject();
    });
}
