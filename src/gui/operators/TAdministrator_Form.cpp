#include "operators/TAdministrator_Form.h"

#include "common/MessageService.h"
#include "common/PasswordHash.h"
#include "common/RecordEditor.h"
#include "common/WindowRegistry.h"
#include "operators/OperatorAccounts.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

REGISTER_WINDOW(TAdministrator_Form)

namespace {

// Accounts have no ID: a change is matched on all three values as read.
store::UpdateSql adminSql()
{
    const QString match = QStringLiteral(
        "UserName = :OLD_UserName AND UserPassword = :OLD_UserPassword AND UserLevel = :OLD_UserLevel");
    return {QStringLiteral("INSERT INTO Admin (UserName, UserPassword, UserLevel) VALUES (:UserName, :UserPassword, :UserLevel)"),
            QStringLiteral("UPDATE Admin SET UserName = :UserName, UserPassword = :UserPassword, UserLevel = :UserLevel WHERE ") + match,
            QStringLiteral("DELETE FROM Admin WHERE ") + match};
}

} // namespace

TAdministrator_Form::TAdministrator_Form(QWidget *parent)
    : QWidget(parent), m_master(new store::CachedQuery(this)), m_editor(new RecordEditor(this, m_master))
{
    setWindowTitle(QStringLiteral("Operator Setting"));
    m_master->setUpdateSql(adminSql());
    m_master->setColumns({{QStringLiteral("UserName"), QStringLiteral("User Name")},
                          {QStringLiteral("UserLevel"), QStringLiteral("User Level")}});

    // Tool bar
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    // Print, Export and Search are shown for a familiar tool bar; they have no action here.
    using B = RecordEditor::ToolButton;
    m_editor->buildToolBar(bar, {T::Add, {T::Delete, [this] { sbDeleteClick(); }}, {T::Modify, [this] { sbModifyClick(); }},
                                 T::Save, T::Cancel, B::shownOnly(T::Print), B::shownOnly(T::Export),
                                 B::shownOnly(T::Search), T::Quit});

    // Grid and detail panel
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("operatorGrid"));
    m_editor->bindGrid(m_grid, true, RecordEditor::ReadOnly | RecordEditor::NoRowHeader);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("userNameEdit"));
    m_userName->setMaxLength(20);
    m_userLevel = new QComboBox(this);
    m_userLevel->setObjectName(QStringLiteral("userLevelCombo"));
    m_userLevel->addItems({operators::levelOperator(), operators::levelAdministrator()});
    m_editor->editOnly << m_userName << m_userLevel;
    m_editor->dropKeysOutsideEdit(m_userLevel);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("User Name:"), m_userName);
    form->addRow(QStringLiteral("User Level:"), m_userLevel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_grid, 1);
    layout->addLayout(form);


    m_master->onNewRecord = [this](store::CachedQuery &q) { qyMasterNewRecord(q); };
    m_master->beforePost = [this](store::CachedQuery &q) { return qyMasterBeforePost(q); };
    m_editor->afterInsert = [this] { m_userName->setFocus(); };
    m_editor->afterEdit = [this] { m_userName->setFocus(); };
    connect(m_master, &store::CachedQuery::currentRowChanged, this, [this] { ShowRecord(); });
    connect(m_master, &store::CachedQuery::stateChanged, this, [this] { ShowRecord(); });
    RecordEditor::installEnterAsTab(this);

    m_master->setSql(QStringLiteral("SELECT * FROM Admin"));
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
    if (!m_master->isEmpty())
        m_master->setCurrentRow(m_master->recordCount() - 1);
    m_editor->SetButton();
    resize(560, 420);
}

TAdministrator_Form::~TAdministrator_Form() = default;

void TAdministrator_Form::ShowRecord()
{
    m_userName->setText(m_master->value(QStringLiteral("UserName")).toString());
    const int level = m_userLevel->findText(m_master->value(QStringLiteral("UserLevel")).toString());
    m_userLevel->setCurrentIndex(level >= 0 ? level : 0);
}

bool TAdministrator_Form::isProtected() const
{
    return m_master->value(QStringLiteral("UserName")).toString().compare(operators::protectedAccountName(),
                                                                           Qt::CaseInsensitive) == 0;
}

void TAdministrator_Form::qyMasterNewRecord(store::CachedQuery &q)
{
    q.setValue(QStringLiteral("UserName"), QString());
    q.setValue(QStringLiteral("UserPassword"), PasswordHash::hash(operators::defaultPassword()));
    q.setValue(QStringLiteral("UserLevel"), operators::levelOperator());
}

bool TAdministrator_Form::qyMasterBeforePost(store::CachedQuery &q)
{
    if (!q.isEditing())
        return true;
    const bool isNew = q.state() == store::CachedQuery::State::Insert;
    const QString name = m_userName->text();
    const QString level = m_userLevel->currentText();
    const QString refusal = operators::accountSaveRefusal(isNew, name, level);
    if (!refusal.isEmpty()) {
        msg::warning(refusal, this);
        return false;
    }
    q.setValue(QStringLiteral("UserName"), name);
    q.setValue(QStringLiteral("UserPassword"), PasswordHash::hash(operators::defaultPassword()));
    q.setValue(QStringLiteral("UserLevel"), level);
    return true;
}

void TAdministrator_Form::sbModifyClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse || m_master->isEmpty())
        return;
    if (isProtected()) {
        msg::warning(QStringLiteral("You can not modify this record."), this);
        return;
    }
    m_editor->sbModifyClick();
}

void TAdministrator_Form::sbDeleteClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse || m_master->isEmpty())
        return;
    if (isProtected()) {
        msg::warning(QStringLiteral("You can not delete this record."), this);
        return;
    }
    m_editor->sbDeleteClick();
}

void TAdministrator_Form::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_editor->SetButton();
    QWidget::changeEvent(event);
}

void TAdministrator_Form::closeEvent(QCloseEvent *event)
{
    if (!m_editor->closeQuery()) {
        event->ignore();
        return;
    }
    m_master->close();
    event->accept();
}
