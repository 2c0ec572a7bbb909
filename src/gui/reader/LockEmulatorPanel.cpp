#include "LockEmulatorPanel.h"

#include "common/Clock.h"
#include "common/MessageService.h"
#include "keyformat/AuditTrail.h"
#include "keyformat/KeyEncoding.h"
#include "keyformat/MissionHeader.h"
#include "settings/Settings.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using lockemu::EmulatedLock;

LockEmulatorPanel::LockEmulatorPanel(const QString &dataDir, KeyOnReaderFn keyOnReader, ReadImageFn readImage,
                                     WriteImageFn writeImage, QWidget *parent)
    : QWidget(parent), m_store(dataDir), m_keyOnReader(std::move(keyOnReader)), m_readImage(std::move(readImage)),
      m_writeImage(std::move(writeImage))
{
    setObjectName(QStringLiteral("lockEmulatorPanel"));
    auto *outer = new QVBoxLayout(this);
    auto *box = new QGroupBox(tr("Emulated Locks (simulation, not real locks)"), this);
    outer->addWidget(box);
    auto *v = new QVBoxLayout(box);

    auto *note = new QLabel(tr("These locks exist only on this PC, for training and tests."), box);
    note->setWordWrap(true);
    v->addWidget(note);

    m_lockList = new QListWidget(box);
    m_lockList->setObjectName(QStringLiteral("lockList"));
    v->addWidget(m_lockList, 1);

    auto *create = new QFormLayout;
    m_serialEdit = new QLineEdit(box);
    m_serialEdit->setObjectName(QStringLiteral("serialEdit"));
    m_serialEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,16}")), m_serialEdit));
    m_facilityEdit = new QLineEdit(QStringLiteral("000000"), box);
    m_facilityEdit->setObjectName(QStringLiteral("facilityEdit"));
    m_facilityEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), m_facilityEdit));
    create->addRow(tr("Lock &Serial ID:"), m_serialEdit);
    create->addRow(tr("&Facility Code:"), m_facilityEdit);
    v->addLayout(create);

    auto *buttons = new QHBoxLayout;
    m_newLockButton = new QPushButton(tr("&New Lock"), box);
    m_newLockButton->setObjectName(QStringLiteral("newLockButton"));
    m_resetButton = new QPushButton(tr("&Reset Button"), box);
    m_resetButton->setObjectName(QStringLiteral("resetButton"));
    m_resetButton->setToolTip(tr("Puts the lock into set-up mode, ready for a system setup key."));
    buttons->addWidget(m_newLockButton);
    buttons->addWidget(m_resetButton);
    v->addLayout(buttons);

    m_touchKeyButton = new QPushButton(tr("&Touch Key On Reader To Lock"), box);
    m_touchKeyButton->setObjectName(QStringLiteral("touchKeyButton"));
    v->addWidget(m_touchKeyButton);

    auto *openBox = new QGroupBox(tr("Simulate An Opening"), box);
    auto *of = new QFormLayout(openBox);
    m_atEdit = new QDateTimeEdit(Clock::now(), openBox);
    m_atEdit->setObjectName(QStringLiteral("atEdit"));
    m_atEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_atEdit->setCalendarPopup(true);
    of->addRow(tr("Lock &Time:"), m_atEdit);
    auto *keyRow = new QHBoxLayout;
    m_userKeyEdit = new QLineEdit(openBox);
    m_userKeyEdit->setObjectName(QStringLiteral("userKeyEdit"));
    m_userKeyEdit->setPlaceholderText(tr("iButton serial ID"));
    m_presentKeyButton = new QPushButton(tr("Present &iButton"), openBox);
    m_presentKeyButton->setObjectName(QStringLiteral("presentKeyButton"));
    keyRow->addWidget(m_userKeyEdit, 1);
    keyRow->addWidget(m_presentKeyButton);
    auto *keyLabel = new QLabel(tr("&User Key:"), openBox);
    keyLabel->setBuddy(m_userKeyEdit);
    of->addRow(keyLabel, keyRow);
    auto *codeRow = new QHBoxLayout;
    m_codeEdit = new QLineEdit(openBox);
    m_codeEdit->setObjectName(QStringLiteral("codeEdit"));
    m_codeEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), m_codeEdit));
    m_enterCodeButton = new QPushButton(tr("&Enter Code"), openBox);
    m_enterCodeButton->setObjectName(QStringLiteral("enterCodeButton"));
    codeRow->addWidget(m_codeEdit, 1);
    codeRow->addWidget(m_enterCodeButton);
    auto *codeLabel = new QLabel(tr("&Code:"), openBox);
    codeLabel->setBuddy(m_codeEdit);
    of->addRow(codeLabel, codeRow);
    m_decisionLabel = new QLabel(openBox);
    m_decisionLabel->setObjectName(QStringLiteral("decisionLabel"));
    m_decisionLabel->setWordWrap(true);
    of->addRow(tr("Lock Says:"), m_decisionLabel);
    v->addWidget(openBox);

    m_stateView = new QPlainTextEdit(box);
    m_stateView->setObjectName(QStringLiteral("stateView"));
    m_stateView->setReadOnly(true);
    m_stateView->setMaximumBlockCount(400);
    v->addWidget(m_stateView, 1);

    connect(m_newLockButton, &QPushButton::clicked, this, &LockEmulatorPanel::newLockClick);
    connect(m_resetButton, &QPushButton::clicked, this, &LockEmulatorPanel::resetClick);
    connect(m_touchKeyButton, &QPushButton::clicked, this, &LockEmulatorPanel::touchKeyClick);
    connect(m_presentKeyButton, &QPushButton::clicked, this, &LockEmulatorPanel::presentKeyClick);
    connect(m_userKeyEdit, &QLineEdit::returnPressed, this, &LockEmulatorPanel::presentKeyClick);
    connect(m_enterCodeButton, &QPushButton::clicked, this, &LockEmulatorPanel::enterCodeClick);
    connect(m_codeEdit, &QLineEdit::returnPressed, this, &LockEmulatorPanel::enterCodeClick);
    connect(m_lockList, &QListWidget::currentRowChanged, this, [this] { showState(); });

    reload();
}

void LockEmulatorPanel::setDefaultFacility(const keyformat::FacilityBytes &fc)
{
    m_facilityEdit->setText(keyformat::facilityText(fc));
}

QString LockEmulatorPanel::selectedSerial() const
{
    const QListWidgetItem *item = m_lockList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void LockEmulatorPanel::selectLock(const QString &serialId)
{
    for (int i = 0; i < m_lockList->count(); ++i)
        if (m_lockList->item(i)->data(Qt::UserRole).toString() == serialId)
            m_lockList->setCurrentRow(i);
}

void LockEmulatorPanel::reload()
{
    const QString keep = selectedSerial();
    m_lockList->clear();
    for (const QString &s : m_store.serials()) {
        const auto lock = m_store.load(s);
        QString text = s;
        if (!lock)
            text += tr("  (damaged file)");
        else if (lock.value.inSetupMode())
            text += tr("  (set-up mode)");
        else
            text += tr("  facility %1").arg(keyformat::facilityText(lock.value.facility()));
        auto *item = new QListWidgetItem(text, m_lockList);
        item->setData(Qt::UserRole, s);
    }
    if (!keep.isEmpty())
        selectLock(keep);
    if (!m_lockList->currentItem() && m_lockList->count() > 0)
        m_lockList->setCurrentRow(0);
    m_serialEdit->setText(m_store.unusedSerial());
    showState();
}

Result<EmulatedLock> LockEmulatorPanel::selectedLock()
{
    const QString s = selectedSerial();
    if (s.isEmpty())
        return Result<EmulatedLock>::failure(tr("Choose an emulated lock first."));
    return m_store.load(s);
}

void LockEmulatorPanel::saveLock(const EmulatedLock &lock)
{
    const Status s = m_store.save(lock);
    if (!s)
        msg::error(s.error, this);
}

void LockEmulatorPanel::newLockClick()
{
    keyformat::FacilityBytes fc{};
    if (!facilityCodeFromText(m_facilityEdit->text(), fc)) {
        msg::warning(tr("The facility code has six digits."), this);
        return;
    }
    const auto made = m_store.create(m_serialEdit->text(), fc);
    if (!made) {
        msg::warning(made.error, this);
        return;
    }
    reload();
    selectLock(made.value.serialId());
}

void LockEmulatorPanel::resetClick()
{
    auto lock = selectedLock();
    if (!lock) {
        msg::warning(lock.error, this);
        return;
    }
    lock.value.pressReset();
    saveLock(lock.value);
    reload();
}

void LockEmulatorPanel::touchKeyClick()
{
    auto lock = selectedLock();
    if (!lock) {
        msg::warning(lock.error, this);
        return;
    }
    const QString key = m_keyOnReader ? m_keyOnReader() : QString();
    if (key.isEmpty()) {
        msg::warning(tr("Put a program key on the reader first."), this);
        return;
    }
    const auto image = m_readImage ? m_readImage(key) : Result<QByteArray>::failure(tr("No reader."));
    if (!image) {
        msg::error(image.error, this);
        return;
    }
    QByteArray img = image.value;
    const QByteArray before = img;
    const lockemu::LockAnswer a = lock.value.touch(img, key, Clock::now());
    if (img != before) {
        const Status w = m_writeImage ? m_writeImage(key, img) : Status::failure(tr("No reader."));
        if (!w) {
            // The lock's own state is kept unchanged: nothing reached the key.
            msg::error(w.error, this);
            return;
        }
    }
    saveLock(lock.value);
    showDecision(a.text, a.accepted);
    reload();
}

void LockEmulatorPanel::presentKeyClick()
{
    auto lock = selectedLock();
    if (!lock) {
        msg::warning(lock.error, this);
        return;
    }
    const QString serial = m_userKeyEdit->text().trimmed().toUpper();
    if (!onewire::isValidSerialText(serial)) {
        msg::warning(tr("Type the iButton's 16-digit serial ID."), this);
        return;
    }
    const lockemu::LockAnswer a = lock.value.presentKey(serial, m_atEdit->dateTime());
    saveLock(lock.value);
    showDecision(a.text, a.accepted);
    showState();
}

void LockEmulatorPanel::enterCodeClick()
{
    auto lock = selectedLock();
    if (!lock) {
        msg::warning(lock.error, this);
        return;
    }
    const QString code = m_codeEdit->text().trimmed();
    if (code.isEmpty()) {
        msg::warning(tr("Type a code first."), this);
        return;
    }
    const lockemu::LockAnswer a = lock.value.enterCode(code, m_atEdit->dateTime());
    saveLock(lock.value);
    showDecision(a.text, a.accepted);
    showState();
}

void LockEmulatorPanel::showDecision(const QString &text, bool opened)
{
    m_decisionLabel->setText(text);
    m_decisionLabel->setStyleSheet(opened ? QStringLiteral("color: darkgreen;") : QStringLiteral("color: darkred;"));
}

void LockEmulatorPanel::showState()
{
    const bool any = !selectedSerial().isEmpty();
    for (QWidget *w : {static_cast<QWidget *>(m_resetButton), static_cast<QWidget *>(m_touchKeyButton),
                       static_cast<QWidget *>(m_presentKeyButton), static_cast<QWidget *>(m_enterCodeButton)})
        w->setEnabled(any);
    m_stateView->clear();
    if (!any)
        return;
    const auto lock = m_store.load(selectedSerial());
    if (!lock) {
        m_stateView->setPlainText(lock.error);
        return;
    }
    const EmulatedLock &l = lock.value;
    QStringList lines;
    lines << tr("Emulated lock %1").arg(l.serialId());
    lines << (l.inSetupMode() ? tr("In set-up mode: waiting for a system setup key.")
                              : tr("Facility code %1, clock %2")
                                    .arg(keyformat::facilityText(l.facility()),
                                         l.lockTime(Clock::now()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    lines << tr("Mode: %1; lockout: %2; door %3")
                 .arg(l.classroomMode() ? tr("Classroom") : tr("Storehouse"),
                      l.lockout() == EmulatedLock::Lockout::None
                          ? tr("none")
                          : (l.lockout() == EmulatedLock::Lockout::HeldClosed ? tr("held closed") : tr("held open")),
                      l.doorHeldOpen() ? tr("held open") : tr("closed"));
    lines << tr("%1 users, %2 one-off codes, %3 audit records")
                 .arg(l.users().size())
                 .arg(l.oneOffCodes().size())
                 .arg(l.auditLog().size());
    const int from = qMax(0, l.auditLog().size() - 20);
    if (from < l.auditLog().size())
        lines << tr("Latest events:");
    for (int i = l.auditLog().size() - 1; i >= from; --i) {
        const keyformat::AuditRecord r = keyformat::decodeAuditRecord(l.auditLog().at(i));
        lines << QStringLiteral("  %1  %2  %3")
                     .arg(r.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), r.serialId, r.eventText);
    }
    m_stateView->setPlainText(lines.join(QLatin1Char('\n')));
}
