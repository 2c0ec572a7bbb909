#include "masterdata/TKeyManagement_Form.h"

#include "common/AppContext.h"
#include "common/GridDelegates.h"
#include "common/MessageService.h"
#include "common/RecordEditor.h"
#include "sheet/SheetTransfer.h"
#include "common/WindowRegistry.h"
#include "ibutton/KeyCheck.h"
#include "masterdata/MasterDataRules.h"
#include "masterdata/TSelectUserType_Form.h"
#include "store/SortQuery.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

REGISTER_WINDOW(TKeyManagement_Form)

namespace {

const QString kOrder = QStringLiteral(" ORDER BY LastName,Status");

// Null as an empty text (stored as '' rather than NULL).
QString plain(const QVariant &v)
{
    const QString s = v.toString();
    return s.isNull() ? QStringLiteral("") : s;
}

// The key on the PC reader, through the program's bus.
QString readFromReader()
{
    AppContext &app = AppContext::instance();
    onewire::KeyTransferContext ctx;
    ctx.bus = app.bus();
    ctx.portNumber = app.settings.PortNumber;
    ctx.portType = app.settings.PortType;
    return onewire::ReadButtonID(ctx, app.ReaderId);
}

} // namespace

std::function<QString()> &TKeyManagement_Form::readButtonOnReader()
{
    static std::function<QString()> reader;
    return reader;
}

TKeyManagement_Form::TKeyManagement_Form(QWidget *parent)
    : QWidget(parent), m_master(new store::CachedQuery(this)), m_locks(new store::CachedQuery(this)),
      m_editor(new RecordEditor(this, m_master))
{
    setObjectName(QStringLiteral("TKeyManagement_Form"));
    setWindowTitle(QStringLiteral("User Management"));
    m_master->setUpdateSql(masterdata::keyManagementSql());
    using C = store::CachedQuery::Column;
    m_master->setColumns({C{QStringLiteral("FirstName"), QStringLiteral("*First Name"), {}, true},
                          C{QStringLiteral("LastName"), QStringLiteral("*Last Name"), {}, true},
                          C{QStringLiteral("UserType"), QStringLiteral("*User Type"), {}, false},
                          C{QStringLiteral("SerialID"), QStringLiteral("*Serial ID"), {}, true},
                          C{QStringLiteral("KeyCode"), QStringLiteral("*Key Code"), {}, true},
                          C{QStringLiteral("Status"), QStringLiteral("*Status"), {}, true},
                          C{QStringLiteral("Department"), QStringLiteral("Department"), {}, true},
                          C{QStringLiteral("Title"), QStringLiteral("Title"), {}, true},
                          C{QStringLiteral("Address"), QStringLiteral("Address"), {}, true}});
    m_locks->setColumns({{QStringLiteral("SerialID"), QStringLiteral("Serial ID")},
                         {QStringLiteral("LockName"), QStringLiteral("Lock Name")},
                         {QStringLiteral("LockLocation"), QStringLiteral("Lock Location")}});
    buildUi();

    m_master->onNewRecord = [this](store::CachedQuery &q) { qyMasterNewRecord(q); };
    m_master->beforePost = [this](store::CachedQuery &q) { return qyMasterBeforePost(q); };
    m_editor->deleteQuestion = QStringLiteral("Do you want to delete this key?\n\r\n\r");
    m_editor->cascadeOnDelete = [this] { return qyMasterBeforeDelete(); };
    m_editor->afterApply = [this] {
        DisplayLocks();
        FillDepartments();
    };
    connect(m_master, &store::CachedQuery::currentRowChanged, this, [this] { DisplayLocks(); });

    FillDepartments();
    m_master->setSql(QStringLiteral("SELECT * FROM KeyManagement") + kOrder);
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
    m_editor->SetButton();
}

TKeyManagement_Form::~TKeyManagement_Form() = default;

void TKeyManagement_Form::buildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    m_editor->buildToolBar(bar, {{T::Add, QStringLiteral("&Add User"), [this] { sbAddClick(); }},
                                 {T::Delete, QStringLiteral("&Delete User")},
                                 {T::Modify, [this] { sbModifyClick(); }},
                                 {T::Save,
                                  [this] {
                                      // A cell still being typed in is committed first.
                                      m_editor->saveButton->setFocus();
                                      m_editor->sbSaveClick();
                                  }},
                                 T::Cancel,
                                 {T::Export, [this] { sheetgui::exportUserList(this, *m_master); }},
                                 {T::Import,
                                  [this] {
                                      if (m_master->state() == store::CachedQuery::State::Browse
                                          && sheetgui::importSheet(this, sheetgui::ImportKind::Users))
                                          sbSearchClick();
                                  }},
                                 T::Quit});
    root->addLayout(bar);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("userGrid"));
    m_editor->bindGrid(m_grid, true);
    m_grid->setItemDelegateForColumn(5, new PickListDelegate({QStringLiteral("Active"), QStringLiteral("Inactive")}, m_grid));
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    connect(m_grid, &QTableView::clicked, this, &TKeyManagement_Form::DBGrid1CellClick);
    connect(m_grid, &QTableView::doubleClicked, this, &TKeyManagement_Form::DBGrid1CellClick);
    root->addWidget(m_grid, 3);

    auto *bottom = new QHBoxLayout;
    auto *search = new QGroupBox(QStringLiteral("Search By"), this);
    auto *sform = new QGridLayout(search);
    m_byFirst = new QCheckBox(QStringLiteral("First Name"), search);
    m_byFirst->setObjectName(QStringLiteral("searchFirstNameCheck"));
    m_first = new QLineEdit(search);
    m_first->setObjectName(QStringLiteral("searchFirstNameEdit"));
    m_byLast = new QCheckBox(QStringLiteral("Last Name"), search);
    m_byLast->setObjectName(QStringLiteral("searchLastNameCheck"));
    m_last = new QLineEdit(search);
    m_last->setObjectName(QStringLiteral("searchLastNameEdit"));
    m_byDepartment = new QCheckBox(QStringLiteral("Department"), search);
    m_byDepartment->setObjectName(QStringLiteral("searchDepartmentCheck"));
    m_department = new QComboBox(search);
    m_department->setObjectName(QStringLiteral("searchDepartmentCombo"));
    m_byStatus = new QCheckBox(QStringLiteral("Status"), search);
    m_byStatus->setObjectName(QStringLiteral("searchStatusCheck"));
    m_status = new QComboBox(search);
    m_status->setObjectName(QStringLiteral("searchStatusCombo"));
    m_status->addItems({QStringLiteral("Active"), QStringLiteral("Inactive")});
    m_editor->searchButton = RecordEditor::makeButton(search, QStringLiteral("S&earch"), QStringLiteral("Query Record"),
                                                      QStringLiteral("searchButton"));
    connect(m_editor->searchButton, &QAbstractButton::clicked, this, &TKeyManagement_Form::sbSearchClick);
    sform->addWidget(m_byFirst, 0, 0);
    sform->addWidget(m_first, 0, 1);
    sform->addWidget(m_byLast, 1, 0);
    sform->addWidget(m_last, 1, 1);
    sform->addWidget(m_byDepartment, 2, 0);
    sform->addWidget(m_department, 2, 1);
    sform->addWidget(m_byStatus, 3, 0);
    sform->addWidget(m_status, 3, 1);
    sform->addWidget(m_editor->searchButton, 4, 1, Qt::AlignRight);
    m_editor->browseOnly = {m_byFirst, m_first, m_byLast, m_last, m_byDepartment, m_department, m_byStatus, m_status};
    bottom->addWidget(search, 1);

    auto *assigned = new QGroupBox(QStringLiteral("Assigned Lock"), this);
    auto *alay = new QVBoxLayout(assigned);
    m_lockGrid = new QTableView(assigned);
    m_lockGrid->setObjectName(QStringLiteral("assignedLockGrid"));
    m_lockGrid->setModel(m_locks);
    connect(m_locks, &QAbstractItemModel::modelReset, m_lockGrid, [this] { m_lockGrid->resizeColumnsToContents(); });
    m_lockGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lockGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lockGrid->horizontalHeader()->setStretchLastSection(true);
    connect(m_lockGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const QString field = m_locks->fieldOfColumn(column);
        if (field.isEmpty() || !m_locks->isActive())
            return;
        m_locks->setSql(store::sortQuerySql(m_locks->sql(), field));
        m_locks->open();
    });
    alay->addWidget(m_lockGrid);
    bottom->addWidget(assigned, 2);
    root->addLayout(bottom, 2);
    RecordEditor::installEnterAsTab(this);
}

void TKeyManagement_Form::FillDepartments()
{
    QStringList seen;
    auto q = store::exec(QStringLiteral("SELECT * FROM KeyManagement"));
    while (q.ok && q.value.next()) {
        const QVariant v = q.value.value(QStringLiteral("Department"));
        if (!v.isNull() && !seen.contains(v.toString()))
            seen << v.toString();
    }
    const QString current = m_department->currentText();
    m_department->clear();
    m_department->addItems(seen);
    m_department->setCurrentIndex(std::max(0, static_cast<int>(seen.indexOf(current))));
}

void TKeyManagement_Form::DisplayLocks()
{
    const QVariant id = m_master->value(QStringLiteral("KeyID"));
    if (id.isNull()) {
        m_locks->close();
        return;
    }
    m_locks->setSql(QStringLiteral("SELECT A.KeyID,A.LockID,B.LockID,B.LockName,B.LockLocation,B.SerialID "
                                   "FROM LockKeyManagement AS A,LockManagement AS B WHERE A.KeyID = :KeyID "
                                   "AND A.LockID = B.LockID"));
    m_locks->setParams({{QStringLiteral("KeyID"), id}});
    m_locks->open();
}

void TKeyManagement_Form::sbAddClick()
{
    if (m_master->state() == store::CachedQuery::State::Browse)
        m_master->append();
    if (m_master->state() != store::CachedQuery::State::Insert)
        return;
    TSelectUserType_Form dlg(this);
    dlg.exec();
    switch (dlg.userType()) {
    case 1:
        m_master->setValue(QStringLiteral("UserType"), QStringLiteral("iButton"));
        break;
    case 2:
        m_master->setValue(QStringLiteral("UserType"), QStringLiteral("KeyCode"));
        break;
    case 3:
        m_master->setValue(QStringLiteral("UserType"), QStringLiteral("Complex"));
        break;
    default:
        return; // the new row stays, of type "iButton", until it is cancelled
    }
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_master->index(m_master->currentRow(), 0));
}

void TKeyManagement_Form::sbModifyClick()
{
    if (AppContext::instance().ReaderId.isEmpty()) {
        msg::information(QStringLiteral("Please Check USB Connection."), this);
        return;
    }
    m_editor->sbModifyClick();
}

void TKeyManagement_Form::DBGrid1CellClick(const QModelIndex &index)
{
    if (!m_master->isEditing() || !index.isValid() || index.row() != m_master->currentRow())
        return;
    if (m_master->fieldOfColumn(index.column()) != QLatin1String("SerialID"))
        return;
    const QString type = m_master->value(QStringLiteral("UserType")).toString();
    if (type != QLatin1String("iButton") && type != QLatin1String("Complex"))
        return;
    const QString serial = readButtonOnReader() ? readButtonOnReader()() : readFromReader();
    if (serial.isEmpty())
        return;
    m_master->setValue(QStringLiteral("SerialID"), serial);
    auto q = store::exec(QStringLiteral("SELECT * FROM KeyManagement WHERE SerialID = :SerialID"),
                         {{QStringLiteral("SerialID"), serial}});
    if (!q.ok || !q.value.next())
        return;
    QString text = QStringLiteral("This Serial ID already exists.\n\r\n\r");
    for (const char *field : {"SerialID", "FirstName", "LastName"}) {
        const QVariant v = q.value.value(QLatin1String(field));
        if (!v.isNull())
            // Field name, a full-width colon, and the value in brackets.
            text += QLatin1String(field) + QChar(0xFF1A) + QLatin1Char('[') + v.toString() + QStringLiteral("]\n\r");
    }
    msg::warning(text, this);
}

void TKeyManagement_Form::qyMasterNewRecord(store::CachedQuery &q)
{
    q.setValue(QStringLiteral("KeyID"), store::nextId(QStringLiteral("KeyManagement"), QStringLiteral("KeyID")));
    for (const char *f : {"SerialID", "FirstName", "LastName", "Department", "Title", "Address", "ContactInfor", "KeyCode"})
        q.setValue(QLatin1String(f), QString());
    q.setValue(QStringLiteral("TimeShiftID"), 1);
    q.setValue(QStringLiteral("ActExpDateID"), 1);
    q.setValue(QStringLiteral("ExpDateID"), 1);
    q.setValue(QStringLiteral("Status"), QStringLiteral("Active"));
    q.setValue(QStringLiteral("UserType"), QStringLiteral("iButton"));
    q.setValue(QStringLiteral("ExpDate"), false);
}

bool TKeyManagement_Form::qyMasterBeforePost(store::CachedQuery &q)
{
    masterdata::UserInput in;
    in.keyId = q.value(QStringLiteral("KeyID")).toInt();
    in.serial = plain(q.value(QStringLiteral("SerialID")));
    in.keyCode = plain(q.value(QStringLiteral("KeyCode")));
    in.firstName = plain(q.value(QStringLiteral("FirstName")));
    in.lastName = plain(q.value(QStringLiteral("LastName")));
    in.status = plain(q.value(QStringLiteral("Status")));
    in.userType = plain(q.value(QStringLiteral("UserType")));
    in.inserting = q.state() == store::CachedQuery::State::Insert;
    const masterdata::Refusal r = masterdata::checkUser(in);
    if (r.refused()) {
        if (r.kind == masterdata::Refusal::Kind::Warning)
            msg::warning(r.text, this);
        else
            msg::information(r.text, this);
        return false;
    }
    // The user's lock assignments carry a copy of these fields; written with the user.
    QVariantMap copy;
    for (const char *f : {"SerialID", "FirstName", "LastName", "Status", "Department", "Title", "Address", "UserType", "KeyCode"})
        copy.insert(QLatin1String(f), plain(q.value(QLatin1String(f))));
    copy.insert(QStringLiteral("KeyID"), in.keyId);
    q.addCompanion(QStringLiteral("UPDATE LockKeyManagement SET SerialID = :SerialID,FirstName = :FirstName,"
                                  "LastName = :LastName,Status = :Status,Department = :Department,Title = :Title,"
                                  "Address = :Address,UserType = :UserType,KeyCode = :KeyCode WHERE KeyID = :KeyID"),
                   copy);
    return true;
}

bool TKeyManagement_Form::qyMasterBeforeDelete()
{
    m_master->addCompanion(QStringLiteral("DELETE FROM LockKeyManagement WHERE KeyID = :KeyID"),
                           {{QStringLiteral("KeyID"), m_master->value(QStringLiteral("KeyID"))}}, true);
    return true;
}

void TKeyManagement_Form::sbSearchClick()
{
    if (m_master->isEditing())
        return;
    QString sql = QStringLiteral("SELECT * FROM KeyManagement WHERE KeyID <> :KeyID");
    QVariantMap params{{QStringLiteral("KeyID"), 0}};
    if (m_byFirst->isChecked()) {
        sql += QStringLiteral(" AND FirstName = :FirstName");
        params.insert(QStringLiteral("FirstName"), m_first->text());
    }
    if (m_byLast->isChecked()) {
        sql += QStringLiteral(" AND LastName = :LastName");
        params.insert(QStringLiteral("LastName"), m_last->text());
    }
    if (m_byDepartment->isChecked()) {
        sql += QStringLiteral(" AND Department = :Department");
        params.insert(QStringLiteral("Department"), m_department->currentText());
    }
    if (m_byStatus->isChecked()) {
        sql += QStringLiteral(" AND Status = :Status");
        params.insert(QStringLiteral("Status"), m_status->currentText());
    }
    m_master->setSql(sql + kOrder);
    m_master->setParams(params);
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
}

void TKeyManagement_Form::closeEvent(QCloseEvent *event)
{
    if (!m_editor->closeQuery()) {
        event->ignore();
        return;
    }
    m_master->close();
    m_locks->close();
    event->accept();
}
