#include "masterdata/DateGroupSettingForm.h"

#include "common/AppContext.h"
#include "common/MessageService.h"
#include "common/RecordEditor.h"
#include "common/WaitingWindow.h"
#include "masterdata/MasterDataRules.h"
#include "store/DbValue.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

// The system's short date and long time; the time left out at midnight.
QString moment(const QDateTime &dt)
{
    const QLocale l = QLocale::system();
    QString text = l.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0)) {
        QString fmt = l.timeFormat(QLocale::LongFormat);
        fmt.remove(QLatin1Char('t')); // no time zone
        text += QLatin1Char(' ') + dt.time().toString(fmt.trimmed());
    }
    return text;
}

QString shown(const QVariant &v)
{
    const QDateTime dt = store::toDateTime(v);
    return dt.isValid() ? QLocale::system().toString(dt, QLocale::ShortFormat) : QString();
}

} // namespace

DateGroupSettingForm::DateGroupSettingForm(const Config &config, QWidget *parent)
    : RecordPickerDialog(parent), m_config(config), m_master(new store::CachedQuery(this)),
      m_editor(new RecordEditor(this, m_master))
{
    WaitingWindow loading(QStringLiteral("Loading data, please wait..."), QStringLiteral("Loading"));
    setWindowTitle(config.caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_master->setUpdateSql(config.table == QLatin1String("ActExpDateST") ? masterdata::actExpDateSql()
                                                                        : masterdata::exceptionDateSql());
    const Qt::Alignment titles = config.centredTitles ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
    m_master->setColumns({{QStringLiteral("GroupID"), QStringLiteral("Group ID"), {}, false, titles},
                          {config.fromColumn, config.fromTitle, shown, false, titles},
                          {config.toColumn, config.toTitle, shown, false, titles}});
    buildUi();

    m_master->beforePost = [this](store::CachedQuery &q) {
        const QDateTime from(m_fromDate->date(), m_fromTime->time());
        const QDateTime to(m_toDate->date(), m_toTime->time());
        if (from > to) {
            msg::information(m_config.orderMessage, this);
            return false;
        }
        q.setValue(QStringLiteral("GroupID"), m_groupId->text().toInt());
        q.setValue(m_config.fromColumn, from);
        q.setValue(m_config.toColumn, to);
        return true;
    };
    m_editor->afterSetButton = [this] { SetButton(); };
    connect(m_master, &store::CachedQuery::currentRowChanged, this, [this] { RowToInputs(); });

    m_master->setSql(QStringLiteral("SELECT * FROM %1").arg(config.table));
    const Status s = m_master->open();
    if (!s.ok)
        MyError(s.error, this);
    if (pickerMode())
        preselect(m_master, QStringLiteral("GroupID"), *config.selectedGroup);
    if (AppContext::instance().session.OperatorLevel < Session::kAdministrator)
        for (QAbstractButton *b : m_editor->editButtons())
            b->hide();
    RowToInputs();
}

DateGroupSettingForm::~DateGroupSettingForm() = default;

void DateGroupSettingForm::buildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    using T = RecordEditor::Tool;
    m_editor->buildToolBar(bar, {T::Modify,
                                 {T::Save,
                                  [this] {
                                      m_grid->setFocus(); // commits a picker being typed in
                                      m_editor->sbSaveClick();
                                  }},
                                 T::Cancel,
                                 {T::Select, [this] { sbSelectClick(); }},
                                 {T::Quit, [this] { sbQuitClick(); }}});
    root->addLayout(bar);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("groupGrid"));
    m_editor->bindGrid(m_grid, false,
                       RecordEditor::ReadOnly | RecordEditor::StretchLastColumn | RecordEditor::NoRowHeader);
    connect(m_grid, &QTableView::doubleClicked, this, [this] { sbSelectClick(); });
    root->addWidget(m_grid, 1);

    auto *form = new QGridLayout;
    m_groupId = new QLineEdit(this);
    m_groupId->setObjectName(QStringLiteral("groupIdEdit"));
    m_groupId->setReadOnly(true);
    m_groupId->setEnabled(false);
    auto date = [this](const char *name) {
        auto *d = new QDateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
        return d;
    };
    auto time = [this](const char *name) {
        auto *t = new QTimeEdit(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return t;
    };
    m_fromDate = date("fromDateEdit");
    m_fromTime = time("fromTimeEdit");
    m_toDate = date("toDateEdit");
    m_toTime = time("toTimeEdit");
    m_pickers = {m_fromDate, m_fromTime, m_toDate, m_toTime};
    form->addWidget(new QLabel(QStringLiteral("Group ID:"), this), 0, 0);
    form->addWidget(m_groupId, 0, 1);
    form->addWidget(new QLabel(m_config.fromCaption, this), 1, 0);
    form->addWidget(m_fromDate, 1, 1);
    form->addWidget(m_fromTime, 1, 2);
    form->addWidget(new QLabel(m_config.toCaption, this), 2, 0);
    form->addWidget(m_toDate, 2, 1);
    form->addWidget(m_toTime, 2, 2);
    auto *note = new QLabel(QStringLiteral("Group one is unlimited"), this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setStyleSheet(QStringLiteral("color: blue"));
    form->addWidget(note, 3, 0, 1, 3);
    root->addLayout(form);
    for (QWidget *p : m_pickers)
        m_editor->editOnly << p;
    resize(560, 460);
    RecordEditor::installEnterAsTab(this);
}

void DateGroupSettingForm::RowToInputs()
{
    if (m_master->isEditing())
        return;
    const int group = m_master->value(QStringLiteral("GroupID")).toInt();
    if (m_master->currentRow() < 0)
        return;
    if (group == 1) {
        for (QWidget *p : m_pickers)
            p->hide();
        m_groupId->setText(QStringLiteral("1"));
    } else {
        for (QWidget *p : m_pickers)
            p->show();
        m_groupId->setText(QString::number(group));
        const QDateTime from = store::toDateTime(m_master->value(m_config.fromColumn));
        const QDateTime to = store::toDateTime(m_master->value(m_config.toColumn));
        m_fromDate->setDate(from.date());
        m_fromTime->setTime(from.time());
        m_toDate->setDate(to.date());
        m_toTime->setTime(to.time());
    }
    SetButton();
}

void DateGroupSettingForm::SetButton()
{
    const bool browse = m_master->state() == store::CachedQuery::State::Browse;
    const bool editing = m_master->state() == store::CachedQuery::State::Edit;
    m_editor->selectButton->setEnabled(browse);
    m_editor->quitButton->setEnabled(browse);
    if (pickerMode() && m_config.pickerLocksEditing) {
        m_editor->cancelButton->setEnabled(false);
        m_editor->modifyButton->setEnabled(false);
        m_editor->saveButton->setEnabled(false);
    } else {
        m_editor->cancelButton->setEnabled(editing);
        m_editor->saveButton->setEnabled(editing);
        m_editor->modifyButton->setEnabled(browse && !m_master->isEmpty());
    }
    // Group 1 has no dates to change.
    if (m_master->value(QStringLiteral("GroupID")).toInt() == 1)
        m_editor->modifyButton->setEnabled(false);
}

QString DateGroupSettingForm::selectionText() const
{
    if (m_master->value(QStringLiteral("GroupID")).toInt() == 1)
        return QStringLiteral("No Limit");
    return moment(store::toDateTime(m_master->value(m_config.fromColumn))) + QStringLiteral(" To ") +
           moment(store::toDateTime(m_master->value(m_config.toColumn)));
}

void DateGroupSettingForm::sbSelectClick()
{
    if (m_master->isEditing() || m_master->currentRow() < 0)
        return;
    *m_config.selectedGroup = m_master->value(QStringLiteral("GroupID")).toInt();
    *m_config.selectedText = selectionText();
    acceptChoice();
}

void DateGroupSettingForm::leaveWithoutChoice()
{
    *m_config.selectedGroup = 0;
    m_config.selectedText->clear();
}

void DateGroupSettingForm::sbQuitClick() { quitWithoutChoice(); }
