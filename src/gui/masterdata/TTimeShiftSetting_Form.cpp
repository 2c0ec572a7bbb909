#include "masterdata/TTimeShiftSetting_Form.h"

#include "common/AppContext.h"
#include "common/MessageService.h"
#include "common/RecordEditor.h"
#include "common/WaitingWindow.h"
#include "common/WindowRegistry.h"
#include "masterdata/MasterDataRules.h"
#include "store/DbValue.h"

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

REGISTER_WINDOW(TTimeShiftSetting_Form)

namespace {
const QStringList kDays = {QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                           QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                           QStringLiteral("Saturday")};
constexpr int kMaxPeriods = 7;

QString hhmm(const QVariant &v)
{
    const QTime t = store::toTime(v);
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString();
}

QTime timeOfDay(const QTimeEdit *e)
{
    const QTime t = e->time();
    return QTime(t.hour(), t.minute(), t.second());
}
} // namespace

TTimeShiftSetting_Form::TTimeShiftSetting_Form(QWidget *parent)
    : RecordPickerDialog(parent), m_groups(new store::CachedQuery(this)), m_periods(new store::CachedQuery(this)),
      m_editor(new RecordEditor(this, m_periods))
{
    WaitingWindow loading(QStringLiteral("Loading data, please wait..."), QStringLiteral("Loading"));
    setObjectName(QStringLiteral("TTimeShiftSetting_Form"));
    setWindowTitle(QStringLiteral("Time Shifts"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_periods->setUpdateSql(masterdata::timeShiftSql());
    m_periods->setColumns({{QStringLiteral("BeginTime"), QStringLiteral("Begin Time"), hhmm},
                           {QStringLiteral("EndTime"), QStringLiteral("End Time"), hhmm},
                           {QStringLiteral("DayOfWeek"), QStringLiteral("Day Of Week")}});
    buildUi();

    m_periods->onNewRecord = [this](store::CachedQuery &q) {
        q.setValue(QStringLiteral("TimeShiftID"), store::nextId(QStringLiteral("TimeShift"), QStringLiteral("TimeShiftID")));
        m_begin->setTime(QTime(0, 0));
        m_end->setTime(QTime(0, 0));
        q.setValue(QStringLiteral("GroupID"), currentGroupId());
        q.setValue(QStringLiteral("BeginTime"), QTime(0, 0));
        q.setValue(QStringLiteral("EndTime"), QTime(0, 0));
        q.setValue(QStringLiteral("DayOfWeek"), kDays[0]);
        m_day->setCurrentIndex(0);
    };
    m_periods->beforePost = [this](store::CachedQuery &q) {
        m_day->setFocus();
        const QTime begin = timeOfDay(m_begin);
        const QTime end = timeOfDay(m_end);
        const masterdata::Refusal r = masterdata::checkPeriod(currentGroupId(), begin, end, m_day->currentText());
        if (r.refused()) {
            msg::information(r.text, this);
            return false;
        }
        q.setValue(QStringLiteral("GroupID"), currentGroupId());
        q.setValue(QStringLiteral("BeginTime"), begin);
        q.setValue(QStringLiteral("EndTime"), end);
        q.setValue(QStringLiteral("DayOfWeek"), m_day->currentText());
        return true;
    };
    m_editor->afterApply = [this] { OpenPeriods(); };
    m_editor->afterSetButton = [this] { SetButton(); };
    m_editor->afterInsert = [this] { m_begin->setFocus(); };
    m_editor->afterEdit = [this] { m_begin->setFocus(); };
    connect(m_periods, &store::CachedQuery::currentRowChanged, this, [this] { PeriodToInputs(); });
    connect(m_groups, &store::CachedQuery::currentRowChanged, this, [this] {
        m_groupName->setText(m_groups->value(QStringLiteral("GroupName")).toString());
        if (m_periods->state() == store::CachedQuery::State::Browse || !m_periods->isActive())
            OpenPeriods();
        SetButton();
    });

    m_groups->setSql(QStringLiteral("SELECT * FROM TimeGroup"));
    m_groups->open();
    if (pickerMode())
        preselect(m_groups, QStringLiteral("GroupID"), AppContext::instance().handOver.SelectedTimeShiftGroup);
    OpenPeriods();
    if (AppContext::instance().session.OperatorLevel < Session::kAdministrator)
        for (QAbstractButton *b : m_editor->editButtons())
            b->hide();
}

TTimeShiftSetting_Form::~TTimeShiftSetting_Form() = default;

bool TTimeShiftSetting_Form::pickerMode() const { return AppContext::instance().handOver.TimeShiftSelectMode == 1; }

int TTimeShiftSetting_Form::currentGroupId() const { return m_groups->value(QStringLiteral("GroupID")).toInt(); }

void TTimeShiftSetting_Form::buildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    m_editor->buildToolBar(bar, {{T::Add, [this] { sbAddClick(); }}, T::Delete, T::Modify, T::Save, T::Cancel,
                                 {T::Select, QStringLiteral("S&elect"), [this] { sbSelectClick(); }},
                                 {T::Quit, [this] { sbQuitClick(); }}});
    root->addLayout(bar);

    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    m_groupGrid = new QTableView(this);
    m_groupGrid->setObjectName(QStringLiteral("groupGrid"));
    RecordEditor::bindListGrid(m_groupGrid, m_groups, [this] { SaveGroupName(); });
    connect(m_groupGrid, &QTableView::doubleClicked, this, [this] { sbSelectClick(); });
    left->addWidget(m_groupGrid);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Time Group Name:"), this));
    m_groupName = new QLineEdit(this);
    m_groupName->setObjectName(QStringLiteral("groupNameEdit"));
    m_groupName->setMaxLength(50);
    connect(m_groupName, &QLineEdit::editingFinished, this, &TTimeShiftSetting_Form::SaveGroupName);
    nameRow->addWidget(m_groupName);
    left->addLayout(nameRow);
    body->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    auto *tip = new QGroupBox(QStringLiteral("[ Tip: maximum 7 groups per each time shift ]"), this);
    auto *tlay = new QVBoxLayout(tip);
    m_periodGrid = new QTableView(tip);
    m_periodGrid->setObjectName(QStringLiteral("periodGrid"));
    m_editor->bindGrid(m_periodGrid, false, RecordEditor::ReadOnly | RecordEditor::StretchLastColumn);
    tlay->addWidget(m_periodGrid);
    right->addWidget(tip, 1);
    auto *inputs = new QGridLayout;
    m_begin = new QTimeEdit(this);
    m_begin->setObjectName(QStringLiteral("beginTimeEdit"));
    m_begin->setDisplayFormat(QStringLiteral("HH:mm"));
    m_end = new QTimeEdit(this);
    m_end->setObjectName(QStringLiteral("endTimeEdit"));
    m_end->setDisplayFormat(QStringLiteral("HH:mm"));
    m_day = new QComboBox(this);
    m_day->setObjectName(QStringLiteral("dayOfWeekCombo"));
    m_day->addItems(kDays);
    inputs->addWidget(new QLabel(QStringLiteral("Begin Time:"), this), 0, 0);
    inputs->addWidget(m_begin, 0, 1);
    inputs->addWidget(new QLabel(QStringLiteral("End Time:"), this), 1, 0);
    inputs->addWidget(m_end, 1, 1);
    inputs->addWidget(new QLabel(QStringLiteral("Date Of Week:"), this), 2, 0);
    inputs->addWidget(m_day, 2, 1);
    right->addLayout(inputs);
    body->addLayout(right, 1);
    root->addLayout(body, 1);
    m_editor->editOnly = {m_begin, m_end, m_day};
    m_editor->dropKeysOutsideEdit(m_day);
    resize(760, 460);
    RecordEditor::installEnterAsTab(this);
}

void TTimeShiftSetting_Form::OpenPeriods()
{
    m_periods->setSql(QStringLiteral("SELECT A.TimeShiftID,A.GroupID,A.BeginTime,A.EndTime,A.DayOfWeek,"
                                     "B.DayNo,B.DayName FROM TimeShift A,TempWeek B WHERE A.GroupID = :GroupID "
                                     "AND A.DayOfWeek = B.DayName ORDER BY DayNo,BeginTime"));
    m_periods->setParams({{QStringLiteral("GroupID"), currentGroupId()}});
    const Status s = m_periods->open();
    if (!s.ok)
        MyError(s.error, this);
}

void TTimeShiftSetting_Form::PeriodToInputs()
{
    if (m_periods->isEditing())
        return;
    if (m_periods->isEmpty() || m_periods->currentRow() < 0) {
        m_begin->setTime(QTime(0, 0));
        m_end->setTime(QTime(0, 0));
        m_day->setCurrentIndex(0);
        return;
    }
    m_begin->setTime(store::toTime(m_periods->value(QStringLiteral("BeginTime"))));
    m_end->setTime(store::toTime(m_periods->value(QStringLiteral("EndTime"))));
    const int d = kDays.indexOf(m_periods->value(QStringLiteral("DayOfWeek")).toString());
    if (d >= 0)
        m_day->setCurrentIndex(d);
}

void TTimeShiftSetting_Form::SetButton()
{
    const bool browse = m_periods->state() == store::CachedQuery::State::Browse;
    const bool editing = m_periods->isEditing();
    m_editor->selectButton->setEnabled(browse);
    m_editor->quitButton->setEnabled(browse);
    const QList<QAbstractButton *> edits = m_editor->editButtons();
    if (pickerMode()) {
        for (auto *b : edits)
            b->setEnabled(false);
    } else {
        m_groupGrid->setEnabled(browse);
        m_editor->cancelButton->setEnabled(editing);
        m_editor->saveButton->setEnabled(editing);
        m_editor->addButton->setEnabled(browse);
        m_editor->modifyButton->setEnabled(browse && !m_periods->isEmpty());
        m_editor->deleteButton->setEnabled(browse && !m_periods->isEmpty());
    }
    const bool groupOne = currentGroupId() == 1;
    m_groupName->setEnabled(!groupOne && !pickerMode());
    if (groupOne)
        for (auto *b : edits)
            b->setEnabled(false);
}

void TTimeShiftSetting_Form::sbAddClick()
{
    if (m_periods->state() != store::CachedQuery::State::Browse || currentGroupId() == 1 || pickerMode())
        return;
    if (m_periods->recordCount() >= kMaxPeriods) {
        msg::information(QStringLiteral("You can set up to 7 groups for each Time Shift."), this);
        return;
    }
    m_editor->sbAddClick();
}

void TTimeShiftSetting_Form::SaveGroupName()
{
    if (currentGroupId() == 1 || m_groups->currentRow() < 0)
        return;
    const QString name = m_groupName->text();
    if (name == m_groups->value(QStringLiteral("GroupName")).toString())
        return;
    const int id = currentGroupId();
    const int row = m_groups->currentRow();
    auto r = store::exec(QStringLiteral("UPDATE TimeGroup SET GroupName = :GroupName WHERE GroupID = :GroupID"),
                         {{QStringLiteral("GroupName"), name}, {QStringLiteral("GroupID"), id}});
    if (!r.ok) {
        MyError(store::applyErrorText(store::ApplyError::Other), this);
        return;
    }
    const QSignalBlocker block(m_groups);
    m_groups->open();
    m_groups->setCurrentRow(row);
}

void TTimeShiftSetting_Form::sbSelectClick()
{
    if (m_periods->isEditing())
        return;
    SaveGroupName();
    auto &h = AppContext::instance().handOver;
    h.SelectedTimeShiftGroup = currentGroupId();
    h.SelectedTimeShiftName = m_groups->value(QStringLiteral("GroupName")).toString();
    acceptChoice();
}

void TTimeShiftSetting_Form::leaveWithoutChoice()
{
    AppContext::instance().handOver.SelectedTimeShiftGroup = 0;
    AppContext::instance().handOver.SelectedTimeShiftName.clear();
}

void TTimeShiftSetting_Form::sbQuitClick() { quitWithoutChoice(); }
