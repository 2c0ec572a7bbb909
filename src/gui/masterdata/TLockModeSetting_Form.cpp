#include "masterdata/TLockModeSetting_Form.h"

#include "common/AppContext.h"
#include "common/GridDelegates.h"
#include "common/MessageService.h"
#include "common/RecordEditor.h"
#include "common/WindowRegistry.h"
#include "masterdata/MasterDataRules.h"
#include "store/DbValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

REGISTER_WINDOW(TLockModeSetting_Form)

namespace {
const QStringList kModes = {QStringLiteral("Storehouse Mode"), QStringLiteral("Classroom Mode"),
                            QStringLiteral("Lock Mode"), QStringLiteral("Unlock Mode")};
const QStringList kDays = {QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                           QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                           QStringLiteral("Saturday")};
constexpr int kMaxEntries = 32;
} // namespace

TLockModeSetting_Form::TLockModeSetting_Form(QWidget *parent)
    : RecordPickerDialog(parent), m_schedules(new store::CachedQuery(this)), m_entries(new store::CachedQuery(this)),
      m_editor(new RecordEditor(this, m_entries))
{
    setObjectName(QStringLiteral("TLockModeSetting_Form"));
    setWindowTitle(QStringLiteral("Lock Schedule"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_entries->setUpdateSql(masterdata::lockStatusSTSql());
    m_entries->setColumns(masterdata::scheduleEntryColumns());
    m_schedules->setColumns({{QStringLiteral("LockStatusID"), QStringLiteral("ID")},
                             {QStringLiteral("LockStatusName"), QStringLiteral("Lock Schedule")}});
    buildUi();

    m_entries->onNewRecord = [this](store::CachedQuery &q) {
        q.setValue(QStringLiteral("LockStatusSTID"), store::nextId(QStringLiteral("LockStatusST"), QStringLiteral("LockStatusSTID")));
        q.setValue(QStringLiteral("LockStatusID"), currentScheduleId());
        q.setValue(QStringLiteral("BeginTime"), QTime(0, 0));
        q.setValue(QStringLiteral("LockStatus"), kModes[0]);
        for (const QString &d : kDays)
            q.setValue(d, false);
    };
    m_entries->beforePost = [this](store::CachedQuery &q) {
        q.setValue(QStringLiteral("LockStatusID"), currentScheduleId());
        q.setValue(QStringLiteral("BeginTime"), QTime(m_begin->time().hour(), m_begin->time().minute(), m_begin->time().second()));
        q.setValue(QStringLiteral("LockStatus"), m_mode->currentText());
        for (int i = 0; i < 7; ++i)
            q.setValue(kDays[i], m_days[i]->isChecked());
        return true;
    };
    m_editor->afterApply = [this] { OpenEntries(); };
    m_editor->afterSetButton = [this] { SetButton(); };
    m_editor->afterInsert = [this] { m_begin->setFocus(); };
    m_editor->afterEdit = [this] { m_begin->setFocus(); };
    connect(m_entries, &store::CachedQuery::currentRowChanged, this, [this] { EntryToEditors(); });
    connect(m_schedules, &store::CachedQuery::currentRowChanged, this, [this] {
        m_name->setText(m_schedules->value(QStringLiteral("LockStatusName")).toString());
        if (!m_entries->isEditing())
            OpenEntries();
        SetButton();
    });

    m_schedules->setSql(QStringLiteral("SELECT * FROM LockStatus ORDER BY LockStatusID"));
    m_schedules->open();
    if (pickerMode())
        preselect(m_schedules, QStringLiteral("LockStatusID"), AppContext::instance().handOver.SelectedScheduleId);
    OpenEntries();
}

TLockModeSetting_Form::~TLockModeSetting_Form() = default;

bool TLockModeSetting_Form::pickerMode() const { return AppContext::instance().handOver.ScheduleSelectMode != 0; }

int TLockModeSetting_Form::currentScheduleId() const
{
    return m_schedules->value(QStringLiteral("LockStatusID")).toInt();
}

bool TLockModeSetting_Form::protectedSchedule() const
{
    const int id = currentScheduleId();
    return id == 1 || id == 2;
}

void TLockModeSetting_Form::buildUi()
{
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    m_scheduleGrid = new QTableView(this);
    m_scheduleGrid->setObjectName(QStringLiteral("scheduleListGrid"));
    RecordEditor::bindListGrid(m_scheduleGrid, m_schedules);
    connect(m_scheduleGrid, &QTableView::doubleClicked, this, [this] { sbSelectClick(); });
    left->addWidget(m_scheduleGrid);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Lock Status:"), this));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("scheduleNameEdit"));
    m_name->setMaxLength(50);
    connect(m_name, &QLineEdit::editingFinished, this, &TLockModeSetting_Form::SaveName);
    nameRow->addWidget(m_name);
    left->addLayout(nameRow);
    root->addLayout(left, 2);

    auto *right = new QVBoxLayout;
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    m_editor->buildToolBar(bar, {{T::Add, [this] { sbAddClick(); }}, T::Delete, T::Modify, T::Save, T::Cancel,
                                 {T::Select, [this] { sbSelectClick(); }}, {T::Quit, [this] { sbQuitClick(); }}});
    right->addLayout(bar);

    auto *box = new QGroupBox(QStringLiteral("[ Tip: maximum 16 groups for Storehouse/classroom mode and Lock/Unlock mode ]"), this);
    auto *form = new QGridLayout(box);
    m_begin = new QTimeEdit(box);
    m_begin->setObjectName(QStringLiteral("beginTimeEdit"));
    m_begin->setDisplayFormat(QStringLiteral("HH:mm"));
    m_mode = new QComboBox(box);
    m_mode->setObjectName(QStringLiteral("lockModeCombo"));
    m_mode->addItems(kModes);
    form->addWidget(new QLabel(QStringLiteral("Begin Time:"), box), 0, 0);
    form->addWidget(m_begin, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Lock Status:"), box), 1, 0);
    form->addWidget(m_mode, 1, 1);
    auto *days = new QGridLayout;
    for (int i = 0; i < 7; ++i) {
        auto *c = new QCheckBox(kDays[i], box);
        c->setObjectName(kDays[i].toLower() + QStringLiteral("Check"));
        m_days << c;
        days->addWidget(c, i / 3, i % 3);
    }
    form->addLayout(days, 2, 0, 1, 2);
    right->addWidget(box);
    m_editor->editOnly = {m_begin, m_mode};
    for (QCheckBox *c : m_days)
        m_editor->editOnly << c;
    m_editor->dropKeysOutsideEdit(m_mode);

    m_entryGrid = new QTableView(this);
    m_entryGrid->setObjectName(QStringLiteral("entryGrid"));
    m_editor->bindGrid(m_entryGrid, false, RecordEditor::ReadOnly);
    auto *dayCells = new DayCellDelegate(m_entryGrid);
    for (int c = 2; c < 9; ++c) {
        m_entryGrid->setItemDelegateForColumn(c, dayCells);
        m_entryGrid->setColumnWidth(c, 70);
    }
    right->addWidget(m_entryGrid, 1);
    root->addLayout(right, 5);
    resize(980, 520);
    RecordEditor::installEnterAsTab(this);
}

void TLockModeSetting_Form::OpenEntries()
{
    m_entries->setSql(QStringLiteral("SELECT * FROM LockStatusST WHERE LockStatusID = :LockStatusID ORDER BY BeginTime"));
    m_entries->setParams({{QStringLiteral("LockStatusID"), currentScheduleId()}});
    const Status s = m_entries->open();
    if (!s.ok)
        MyError(s.error, this);
}

void TLockModeSetting_Form::EntryToEditors()
{
    if (m_entries->isEmpty() || m_entries->currentRow() < 0) {
        m_begin->setTime(QTime(0, 0));
        m_mode->setCurrentIndex(0);
        for (QCheckBox *c : m_days)
            c->setChecked(false);
        return;
    }
    m_begin->setTime(store::toTime(m_entries->value(QStringLiteral("BeginTime"))));
    const int mode = kModes.indexOf(m_entries->value(QStringLiteral("LockStatus")).toString());
    if (mode >= 0)
        m_mode->setCurrentIndex(mode);
    for (int i = 0; i < 7; ++i)
        m_days[i]->setChecked(store::toBool(m_entries->value(kDays[i])));
}

void TLockModeSetting_Form::SetButton()
{
    using S = store::CachedQuery::State;
    const bool browse = m_entries->state() == S::Browse;
    const bool editing = m_entries->isEditing();
    m_editor->quitButton->setEnabled(browse);
    if (pickerMode()) {
        m_editor->selectButton->setEnabled(browse);
        for (QAbstractButton *b : m_editor->editButtons())
            b->setEnabled(false);
    } else {
        m_editor->selectButton->setEnabled(false);
        m_editor->addButton->setEnabled(browse);
        m_editor->modifyButton->setEnabled(browse && !m_entries->isEmpty());
        m_editor->deleteButton->setEnabled(browse && !m_entries->isEmpty());
        m_editor->saveButton->setEnabled(editing);
        m_editor->cancelButton->setEnabled(editing);
    }
    m_scheduleGrid->setEnabled(!editing);
    const bool locked = protectedSchedule();
    m_name->setEnabled(!locked && !pickerMode());
    if (locked)
        for (QAbstractButton *b : m_editor->editButtons())
            b->setEnabled(false);
}

void TLockModeSetting_Form::sbAddClick()
{
    if (m_entries->state() != store::CachedQuery::State::Browse || protectedSchedule() || pickerMode())
        return;
    if (m_entries->recordCount() >= kMaxEntries) {
        msg::information(QStringLiteral("You can set up to 32 groups for each Timed Operation."), this);
        return;
    }
    m_editor->sbAddClick();
    EntryToEditors();
}

void TLockModeSetting_Form::SaveName()
{
    if (protectedSchedule() || m_schedules->currentRow() < 0)
        return;
    const QString name = m_name->text();
    if (name == m_schedules->value(QStringLiteral("LockStatusName")).toString())
        return;
    const int id = currentScheduleId();
    auto r = store::exec(QStringLiteral("UPDATE LockStatus SET LockStatusName = :LockStatusName WHERE LockStatusID = :LockStatusID"),
                         {{QStringLiteral("LockStatusName"), name}, {QStringLiteral("LockStatusID"), id}});
    if (!r.ok) {
        MyError(store::applyErrorText(store::ApplyError::Other), this);
        return;
    }
    const int row = m_schedules->currentRow();
    m_schedules->open();
    m_schedules->setCurrentRow(row);
}

void TLockModeSetting_Form::sbSelectClick()
{
    if (m_entries->isEditing())
        return;
    auto &h = AppContext::instance().handOver;
    h.SelectedScheduleId = currentScheduleId();
    h.SelectedScheduleName = m_schedules->value(QStringLiteral("LockStatusName")).toString();
    acceptChoice();
}

void TLockModeSetting_Form::leaveWithoutChoice()
{
    auto &h = AppContext::instance().handOver;
    h.SelectedScheduleId = 0;
    h.SelectedScheduleName.clear();
}

void TLockModeSetting_Form::sbQuitClick() { quitWithoutChoice(); }
