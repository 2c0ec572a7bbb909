#include "shell/TSystemPassword_Form.h"

#include "common/AppContext.h"
#include "common/MessageService.h"
#include "common/WindowRegistry.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

REGISTER_WINDOW(TSystemPassword_Form)

namespace {

QLineEdit *codeEdit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(6);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    // Only the digits 0-9 (and editing keys) can be typed.
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), e));
    return e;
}

} // namespace

TSystemPassword_Form::TSystemPassword_Form(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Facility Code Setting"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    m_old = codeEdit(this, "oldCodeEdit");
    m_new = codeEdit(this, "newCodeEdit");
    m_confirm = codeEdit(this, "confirmCodeEdit");
    m_ok = new QPushButton(QStringLiteral(" &OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setAutoDefault(false);
    m_close = new QPushButton(QStringLiteral(" &Close"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Old Facility Code:"), m_old);
    form->addRow(QStringLiteral("New Facility Code:"), m_new);
    form->addRow(QStringLiteral("Re-enter New Facility Code:"), m_confirm);
    auto *tip = new QLabel(QStringLiteral("Tips: Facility Code Format: 6 digits, example: 123456"), this);
    tip->setObjectName(QStringLiteral("tipLabel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tip);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QLineEdit *e : {m_old, m_new, m_confirm})
        e->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &TSystemPassword_Form::btnOKClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSystemPassword_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSystemPassword_Form::btnOKClick()
{
    Settings &settings = AppContext::instance().settings;
    const QString oldCode = m_old->text().trimmed();
    const QString newCode = m_new->text().trimmed();
    const QString confirmCode = m_confirm->text().trimmed();
    std::array<uint8_t, 3> oldBcd{}, newBcd{}, confirmBcd{};

    if (oldCode.size() != 6) {
        msg::error(QStringLiteral("Old Password Input Error."), this);
        return;
    }
    if (!facilityCodeFromText(oldCode, oldBcd) || oldBcd != settings.FacilityCode) {
        msg::error(QStringLiteral("Old Password Input Error."), this);
        return;
    }
    if (newCode.size() != 6 || !facilityCodeFromText(newCode, newBcd)) {
        msg::error(QStringLiteral("New Password Input Error."), this);
        return;
    }
    if (confirmCode.size() != 6 || !facilityCodeFromText(confirmCode, confirmBcd)) {
        msg::error(QStringLiteral("Confirm Password Input Error."), this);
        return;
    }
    if (newBcd != confirmBcd) {
        msg::error(QStringLiteral("New Password and Confirm Password are diffrent."), this);
        return;
    }
    if (newCode == Settings::factoryFacilityCode()) {
        msg::error(QStringLiteral("New Password should not be \"482615\"."), this);
        return;
    }
    settings.FacilityCode = newBcd;
    msg::information(QStringLiteral("New System Password is set."), this);
    accept();
}
