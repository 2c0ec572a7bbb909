#include "masterdata/TLockManagement_Form.h"

#include "common/AppContext.h"
#include "common/GridDelegates.h"
#include "common/MessageService.h"
#include "common/PickerCalls.h"
#include "common/RecordEditor.h"
#include "sheet/SheetTransfer.h"
#include "common/WindowRegistry.h"
#include "common/Clock.h"
#include "masterdata/KeyLockReport.h"
#include "masterdata/MasterDataRules.h"
#include "masterdata/SerialKeyFilter.h"
#include "store/DbValue.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

REGISTER_WINDOW(TLockManagement_Form)

namespace {

const QString kNoLimit = QStringLiteral("No Limit Classroom Mode");

QString scheduleName(const QVariant &id)
{
    auto q = store::exec(QStringLiteral("SELECT * FROM LockStatus WHERE LockStatusID = :LockStatusID"),
                         {{QStringLiteral("LockStatusID"), id}});
    return q.ok && q.value.next() ? q.value.value(QStringLiteral("LockStatusName")).toString() : QString();
}

} // namespace

TLockManagement_Form::TLockManagement_Form(QWidget *parent)
    : QWidget(parent), m_master(new store::CachedQuery(this)), m_keys(new store::CachedQuery(this)),
      m_schedule(new store::CachedQuery(this)), m_editor(new RecordEditor(this, m_master))
{
    setWindowTitle(QStringLiteral("Lock Management"));
    setObjectName(QStringLiteral("TLockManagement_Form"));
    m_master->setUpdateSql(masterdata::lockManagementSql());
    m_master->setColumns({{QStringLiteral("SerialID"), QStringLiteral("Serial ID")},
                          {QStringLiteral("LockName"), QStringLiteral("Lock Name")},
                          {QStringLiteral("LockLocation"), QStringLiteral("Lock Location")}});
    m_keys->setColumns({{QStringLiteral("FirstName"), QStringLiteral("First Name")},
                        {QStringLiteral("LastName"), QStringLiteral("Last Name")},
                        {QStringLiteral("UserType"), QStringLiteral("User Type")},
                        {QStringLiteral("SerialID"), QStringLiteral("Serial ID")},
                        {QStringLiteral("KeyCode"), QStringLiteral("Key Code")},
                        {QStringLiteral("Status"), QStringLiteral("Status")},
                        {QStringLiteral("Department"), QStringLiteral("Department")},
                        {QStringLiteral("Title"), QStringLiteral("Title")},
                        {QStringLiteral("Address"), QStringLiteral("Address")}});
    m_schedule->setColumns(masterdata::scheduleEntryColumns());
    buildUi();

    m_master->onNewRecord = [this](store::CachedQuery &q) { qyMasterNewRecord(q); };
    m_master->beforePost = [this](store::CachedQuery &q) { return qyMasterBeforePost(q); };
    m_editor->deleteQuestion = QStringLiteral("Do you want delete this lock?\n\r\n\r");
    m_editor->cascadeOnDelete = [this] { return qyMasterBeforeDelete(); };
    m_editor->afterApply = [this] {
        OpenSchedule(m_master->value(QStringLiteral("LockStatusID")));
        DisplayKeys();
        FillLocations();
        RefreshDetail();
    };
    m_editor->afterInsert = [this] { m_name->setFocus(); };
    m_editor->afterEdit = [this] { m_name->setFocus(); };
    connect(m_master, &store::CachedQuery::currentRowChanged, this, [this] { qyMasterAfterScroll(); });

    FillLocations();
    m_master->setSql(QStringLiteral("SELECT * FROM LockManagement"));
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
    m_editor->SetButton();
}

TLockManagement_Form::~TLockManagement_Form() = default;

void TLockManagement_Form::buildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    m_editor->buildToolBar(bar, {{T::Add, QStringLiteral("&Add Lock"),
                                  [this] {
                                      m_name->setEnabled(true);
                                      m_name->setFocus();
                                      m_editor->sbAddClick();
                                  }},
                                 {T::Delete, QStringLiteral("&Delete Lock")},
                                 T::Modify,
                                 T::Save,
                                 T::Cancel,
                                 {T::Export, QStringLiteral("E&xport Lock List"), [this] { sbExportLockListClick(); },
                                  QStringLiteral("exportLockListButton")},
                                 {T::Import, [this] { sbImportClick(); }},
                                 T::Quit});
    root->addLayout(bar);

    auto *top = new QHBoxLayout;
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("lockGrid"));
    m_editor->bindGrid(m_grid, true, RecordEditor::ReadOnly | RecordEditor::StretchLastColumn);
    top->addWidget(m_grid, 3);

    auto *side = new QVBoxLayout;
    auto *info = new QGroupBox(QStringLiteral("Lock Information"), this);
    auto *form = new QGridLayout(info);
    m_serial = new QLineEdit(info);
    m_serial->setObjectName(QStringLiteral("serialIdEdit"));
    m_serial->setMaxLength(16);
    m_serial->setValidator(new masterdata::SerialKeyFilter(m_serial));
    m_name = new QLineEdit(info);
    m_name->setObjectName(QStringLiteral("lockNameEdit"));
    m_name->setMaxLength(20);
    m_location = new QComboBox(info);
    m_location->setObjectName(QStringLiteral("lockLocationCombo"));
    m_location->setEditable(true);
    m_location->setInsertPolicy(QComboBox::NoInsert);
    m_statusLabel = new QLabel(QStringLiteral("<u>Lock Status:</u>"), info);
    m_statusLabel->setObjectName(QStringLiteral("lockStatusLabel"));
    m_statusLabel->setCursor(Qt::PointingHandCursor);
    m_statusLabel->installEventFilter(this);
    m_status = new QLineEdit(info);
    m_status->setObjectName(QStringLiteral("lockStatusEdit"));
    m_status->setReadOnly(true);
    m_status->installEventFilter(this);
    m_statusId = new QLabel(info);
    m_statusId->setObjectName(QStringLiteral("lockStatusIdLabel"));
    m_statusId->hide();
    m_type = new QComboBox(info);
    m_type->setObjectName(QStringLiteral("lockTypeCombo"));
    m_type->addItems({QStringLiteral("iButton"), QStringLiteral("Access Code")});
    form->addWidget(new QLabel(QStringLiteral("Serial ID:"), info), 0, 0);
    form->addWidget(m_serial, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Lock Name:"), info), 1, 0);
    form->addWidget(m_name, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("Lock Location:"), info), 2, 0);
    form->addWidget(m_location, 2, 1);
    form->addWidget(m_statusLabel, 3, 0);
    form->addWidget(m_status, 3, 1);
    form->addWidget(m_statusId, 3, 2);
    form->addWidget(new QLabel(QStringLiteral("Lock Type:"), info), 4, 0);
    form->addWidget(m_type, 4, 1);
    side->addWidget(info);
    m_editor->editOnly = {m_serial, m_name, m_location, m_status, m_type};
    m_editor->dropKeysOutsideEdit(m_location);
    m_editor->dropKeysOutsideEdit(m_type);

    auto *search = new QGroupBox(QStringLiteral("Search By"), this);
    auto *sform = new QGridLayout(search);
    m_byName = new QCheckBox(QStringLiteral("Lock Name"), search);
    m_byName->setObjectName(QStringLiteral("searchLockNameCheck"));
    m_searchName = new QLineEdit(search);
    m_searchName->setObjectName(QStringLiteral("searchLockNameEdit"));
    m_byLocation = new QCheckBox(QStringLiteral("Lock Location"), search);
    m_byLocation->setObjectName(QStringLiteral("searchLockLocationCheck"));
    m_searchLocation = new QComboBox(search);
    m_searchLocation->setObjectName(QStringLiteral("searchLockLocationCombo"));
    m_searchLocation->setEditable(true);
    m_searchLocation->setInsertPolicy(QComboBox::NoInsert);
    m_byType = new QCheckBox(QStringLiteral("Lock Type:"), search);
    m_byType->setObjectName(QStringLiteral("searchLockTypeCheck"));
    m_searchType = new QComboBox(search);
    m_searchType->setObjectName(QStringLiteral("searchLockTypeCombo"));
    m_searchType->addItems({QStringLiteral("iButton"), QStringLiteral("Access Code")});
    m_editor->searchButton = RecordEditor::makeButton(search, QStringLiteral("S&earch"), QStringLiteral("Query Record"), QStringLiteral("searchButton"));
    connect(m_editor->searchButton, &QAbstractButton::clicked, this, &TLockManagement_Form::sbSearchClick);
    sform->addWidget(m_byName, 0, 0);
    sform->addWidget(m_searchName, 0, 1);
    sform->addWidget(m_byLocation, 1, 0);
    sform->addWidget(m_searchLocation, 1, 1);
    sform->addWidget(m_byType, 2, 0);
    sform->addWidget(m_searchType, 2, 1);
    sform->addWidget(m_editor->searchButton, 3, 1, Qt::AlignRight);
    side->addWidget(search);
    side->addStretch();
    m_editor->browseOnly = {m_byName, m_searchName, m_byLocation, m_searchLocation, m_byType, m_searchType};
    top->addLayout(side, 2);
    root->addLayout(top, 3);

    auto *assigned = new QGroupBox(QStringLiteral("Assigned Key List "), this);
    auto *alay = new QVBoxLayout(assigned);
    m_tabs = new QTabWidget(assigned);
    m_tabs->setObjectName(QStringLiteral("assignedTabs"));
    auto *keyPage = new QWidget(m_tabs);
    auto *klay = new QVBoxLayout(keyPage);
    m_keyGrid = new QTableView(keyPage);
    m_keyGrid->setObjectName(QStringLiteral("keyListGrid"));
    m_keyGrid->setModel(m_keys);
    connect(m_keys, &QAbstractItemModel::modelReset, m_keyGrid, [this] { m_keyGrid->resizeColumnsToContents(); });
    m_keyGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_keyGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    klay->addWidget(m_keyGrid);
    auto *kbar = new QHBoxLayout;
    m_printKeys = RecordEditor::makeButton(keyPage, QStringLiteral(" &Print"), QStringLiteral("Print Record"), QStringLiteral("printButton"));
    m_exportKeys = RecordEditor::makeButton(keyPage, QStringLiteral(" &Export Key List"), QStringLiteral("Export Record To Excel"), QStringLiteral("exportKeyListButton"));
    connect(m_printKeys, &QAbstractButton::clicked, this, &TLockManagement_Form::sbPrintClick);
    kbar->addStretch();
    kbar->addWidget(m_printKeys);
    kbar->addWidget(m_exportKeys);
    klay->addLayout(kbar);
    m_tabs->addTab(keyPage, QStringLiteral("Key List"));
    m_scheduleGrid = new QTableView(m_tabs);
    m_scheduleGrid->setObjectName(QStringLiteral("scheduleGrid"));
    m_scheduleGrid->setModel(m_schedule);
    m_scheduleGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *days = new DayCellDelegate(m_scheduleGrid);
    for (int c = 2; c < 9; ++c)
        m_scheduleGrid->setItemDelegateForColumn(c, days);
    m_tabs->addTab(m_scheduleGrid, QStringLiteral("Timed Operation Setting"));
    alay->addWidget(m_tabs);
    root->addWidget(assigned, 2);
    m_editor->browseOnly << m_printKeys << m_exportKeys;

    connect(m_exportKeys, &QAbstractButton::clicked, this, &TLockManagement_Form::sbExportKeyListClick);
    RecordEditor::installEnterAsTab(this);
}

void TLockManagement_Form::FillLocations()
{
    QStringList seen;
    auto q = store::exec(QStringLiteral("SELECT * FROM LockManagement"));
    while (q.ok && q.value.next()) {
        const QVariant v = q.value.value(QStringLiteral("LockLocation"));
        if (!v.isNull() && !seen.contains(v.toString()))
            seen << v.toString();
    }
    const QString detail = m_location->currentText();
    const QString searched = m_searchLocation->currentText();
    m_location->clear();
    m_location->addItems(seen);
    m_location->setEditText(detail);
    m_searchLocation->clear();
    m_searchLocation->addItems(seen);
    m_searchLocation->setEditText(searched);
}

void TLockManagement_Form::OpenSchedule(const QVariant &lockStatusId)
{
    m_schedule->setSql(QStringLiteral("SELECT * FROM LockStatusST WHERE LockStatusID = :LockStatusID ORDER BY BeginTime"));
    m_schedule->setParams({{QStringLiteral("LockStatusID"), lockStatusId}});
    m_schedule->open();
}

void TLockManagement_Form::RefreshDetail()
{
    const QVariant id = m_master->value(QStringLiteral("LockID"));
    if (m_master->recordCount() > 0 && m_master->currentRow() >= 0 && id.toInt() != 0) {
        m_serial->setText(m_master->value(QStringLiteral("SerialID")).toString());
        m_name->setText(m_master->value(QStringLiteral("LockName")).toString());
        m_location->setEditText(m_master->value(QStringLiteral("LockLocation")).toString());
        const QVariant statusId = m_master->value(QStringLiteral("LockStatusID"));
        if (!statusId.isNull()) {
            m_lockStatusId = statusId.toInt();
            m_status->setText(scheduleName(statusId));
        }
        m_statusId->setText(QString::number(m_lockStatusId));
        const QVariant type = m_master->value(QStringLiteral("LockType"));
        m_type->setCurrentIndex(type.isNull() || type.toString() == QLatin1String("iButton") ? 0 : 1);
        OpenSchedule(statusId);
    } else {
        m_serial->clear();
        m_name->clear();
        m_location->setEditText(QString());
        m_status->setText(kNoLimit);
        m_schedule->close();
    }
}

void TLockManagement_Form::qyMasterAfterScroll()
{
    m_editor->SetButton();
    RefreshDetail();
    DisplayKeys();
}

void TLockManagement_Form::DisplayKeys()
{
    const QVariant id = m_master->value(QStringLiteral("LockID"));
    if (id.isNull()) {
        m_keys->close();
        return;
    }
    m_keys->setSql(QStringLiteral("SELECT * FROM LockKeyManagement WHERE LockID = :LockID"));
    m_keys->setParams({{QStringLiteral("LockID"), id}});
    m_keys->open();
}

void TLockManagement_Form::qyMasterNewRecord(store::CachedQuery &q)
{
    q.setValue(QStringLiteral("LockID"), store::nextId(QStringLiteral("LockManagement"), QStringLiteral("LockID")));
    q.setValue(QStringLiteral("SerialID"), QString());
    q.setValue(QStringLiteral("LockName"), QString());
    q.setValue(QStringLiteral("LockLocation"), QString());
    q.setValue(QStringLiteral("LockStatusID"), 1);
    q.setValue(QStringLiteral("LockType"), QStringLiteral("iButton"));
    m_lockStatusId = 1;
    m_statusId->setText(QStringLiteral("1"));
    m_status->setText(scheduleName(1));
    m_serial->clear();
    m_name->clear();
    m_location->setEditText(QString());
}

bool TLockManagement_Form::qyMasterBeforePost(store::CachedQuery &q)
{
    masterdata::LockInput in;
    in.lockId = q.value(QStringLiteral("LockID")).toInt();
    in.serial = m_serial->text();
    in.name = m_name->text();
    in.location = m_location->currentText();
    in.inserting = q.state() == store::CachedQuery::State::Insert;
    const QString problem = masterdata::checkLock(in);
    if (!problem.isEmpty()) {
        msg::warning(problem, this);
        return false;
    }
    const QString serial = in.serial.toUpper();
    q.setValue(QStringLiteral("SerialID"), serial);
    q.setValue(QStringLiteral("LockName"), in.name);
    q.setValue(QStringLiteral("LockLocation"), in.location);
    q.setValue(QStringLiteral("LockStatusID"), m_statusId->text().toInt());
    q.setValue(QStringLiteral("LockType"), m_type->currentText());
    // The remote codes of the lock carry its name; written with the lock.
    q.addCompanion(QStringLiteral("UPDATE AccessCode SET LockName = :LockName WHERE SerialID = :SerialID"),
                   {{QStringLiteral("LockName"), in.name}, {QStringLiteral("SerialID"), serial}});
    return true;
}

bool TLockManagement_Form::qyMasterBeforeDelete()
{
    // Written in the same transaction as the delete itself.
    m_master->addCompanion(QStringLiteral("DELETE FROM LockKeyManagement WHERE LockID = :LockID"),
                           {{QStringLiteral("LockID"), m_master->value(QStringLiteral("LockID"))}}, true);
    m_master->addCompanion(QStringLiteral("DELETE FROM AccessCode WHERE SerialID = :SerialID"),
                           {{QStringLiteral("SerialID"), m_master->value(QStringLiteral("SerialID"))}}, true);
    return true;
}

void TLockManagement_Form::sbSearchClick()
{
    if (m_master->isEditing())
        return;
    QString sql = QStringLiteral("SELECT * FROM LockManagement WHERE LockID <> :LockID");
    QVariantMap params{{QStringLiteral("LockID"), 0}};
    if (m_byName->isChecked()) {
        sql += QStringLiteral(" AND LockName LIKE :LockName");
        params.insert(QStringLiteral("LockName"), m_searchName->text());
    }
    if (m_byLocation->isChecked()) {
        sql += QStringLiteral(" AND LockLocation LIKE :LockLocation");
        params.insert(QStringLiteral("LockLocation"), QLatin1Char('%') + m_searchLocation->currentText() + QLatin1Char('%'));
    }
    if (m_byType->isChecked()) {
        sql += QStringLiteral(" AND LockType = :LockType");
        params.insert(QStringLiteral("LockType"), m_searchType->currentText());
    }
    m_master->setSql(sql);
    m_master->setParams(params);
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
}

KeyLockReportData TLockManagement_Form::reportData() const
{
    KeyLockReportData d;
    d.lockName = m_master->value(QStringLiteral("LockName")).toString();
    d.lockLocation = m_master->value(QStringLiteral("LockLocation")).toString();
    d.printTime = Clock::now();
    const char *fields[] = {"SerialID", "FirstName", "LastName", "Department", "Title",
                            "Address",  "ContactInfor", "Status", "UserType", "KeyCode"};
    for (int r = 0; r < m_keys->recordCount(); ++r) {
        QStringList row;
        for (const char *f : fields)
            row << m_keys->valueAt(r, QLatin1String(f)).toString();
        d.rows << row;
    }
    return d;
}

void TLockManagement_Form::sbPrintClick()
{
    if (m_master->isEmpty()) {
        msg::information(QStringLiteral("No Data to print!"), this);
        return;
    }
    const KeyLockReportData data = reportData();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("reportPreview"));
    preview.setWindowTitle(QStringLiteral("Key / Lock Assignment Report"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&data](QPrinter *p) { printKeyLockReport(p, data); });
    preview.exec();
}

void TLockManagement_Form::sbExportLockListClick() { sheetgui::exportLockList(this, *m_master); }

void TLockManagement_Form::sbExportKeyListClick()
{
    sheetgui::exportLockKeyList(this, m_master->value(QStringLiteral("LockName")).toString(),
                                m_master->value(QStringLiteral("LockLocation")).toString(), *m_keys);
}

void TLockManagement_Form::sbImportClick()
{
    if (m_master->state() != store::CachedQuery::State::Browse)
        return;
    if (sheetgui::importSheet(this, sheetgui::ImportKind::Locks)) {
        FillLocations();
        sbSearchClick();
    }
}

void TLockManagement_Form::SelectSchedule()
{
    if (!m_master->isEditing())
        return;
    const picker::Choice c = picker::lockSchedule(m_master->value(QStringLiteral("LockStatusID")).toInt(), this);
    if (!c.chosen())
        return;
    m_status->setText(c.text);
    m_lockStatusId = c.id;
    m_statusId->setText(QString::number(c.id));
    m_master->setValue(QStringLiteral("LockStatusID"), c.id);
}

bool TLockManagement_Form::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_statusLabel || watched == m_status) &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick)) {
        if (watched == m_statusLabel && event->type() == QEvent::MouseButtonDblClick)
            return false;
        SelectSchedule();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TLockManagement_Form::closeEvent(QCloseEvent *event)
{
    if (!m_editor->closeQuery()) {
        event->ignore();
        return;
    }
    m_master->close();
    m_keys->close();
    m_schedule->close();
    event->accept();
}
