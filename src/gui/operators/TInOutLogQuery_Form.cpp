#include "operators/TInOutLogQuery_Form.h"

#include "common/Clock.h"
#include "common/MessageService.h"
#include "common/WindowRegistry.h"
#include "sheet/ExportLayouts.h"
#include "sheet/SheetTransfer.h"
#include "store/DbValue.h"
#include "store/SortQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

REGISTER_WINDOW(TInOutLogQuery_Form)

namespace {

const QStringList kFields = {QStringLiteral("LoginTime"), QStringLiteral("LogoutTime"), QStringLiteral("LoginName"),
                             QStringLiteral("LoginLevel")};

QDateEdit *datePicker(QWidget *parent, const QString &name)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setDate(Clock::now().date());
    return d;
}

QToolButton *toolButton(QWidget *parent, const QString &name, const QString &caption, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumWidth(72);
    return b;
}

} // namespace

TInOutLogQuery_Form::TInOutLogQuery_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Login / Logout Log"));

    // Tool bar
    m_search = toolButton(this, QStringLiteral("searchButton"), QStringLiteral("&Search"), QStringLiteral("Query Record"));
    m_export = toolButton(this, QStringLiteral("exportButton"), QStringLiteral("&Export"),
                          QStringLiteral("Export Record To Excel"));
    m_clear = toolButton(this, QStringLiteral("clearButton"), QStringLiteral("&Clear"), QStringLiteral("Cancel"));
    m_quit = toolButton(this, QStringLiteral("quitButton"), QStringLiteral("&Quit"), QStringLiteral("Quit"));
    m_export->setEnabled(false);
    m_clear->setEnabled(false);
    auto *tools = new QHBoxLayout;
    for (QToolButton *b : {m_search, m_export, m_clear, m_quit})
        tools->addWidget(b);
    tools->addStretch();

    // Query By
    auto *queryBox = new QGroupBox(QStringLiteral("Query By"), this);
    m_byLoginTime = new QCheckBox(QStringLiteral("Login Time"), queryBox);
    m_byLoginTime->setObjectName(QStringLiteral("loginTimeCheck"));
    m_loginFrom = datePicker(queryBox, QStringLiteral("loginFromDateEdit"));
    m_loginTo = datePicker(queryBox, QStringLiteral("loginToDateEdit"));
    m_byLogoutTime = new QCheckBox(QStringLiteral("Logout Time"), queryBox);
    m_byLogoutTime->setObjectName(QStringLiteral("logoutTimeCheck"));
    m_logoutFrom = datePicker(queryBox, QStringLiteral("logoutFromDateEdit"));
    m_logoutTo = datePicker(queryBox, QStringLiteral("logoutToDateEdit"));
    m_byName = new QCheckBox(QStringLiteral("Login Name"), queryBox);
    m_byName->setObjectName(QStringLiteral("loginNameCheck"));
    m_name = new QComboBox(queryBox);
    m_name->setObjectName(QStringLiteral("loginNameCombo"));
    m_byLevel = new QCheckBox(QStringLiteral("Logout Level"), queryBox);
    m_byLevel->setObjectName(QStringLiteral("loginLevelCheck"));
    m_level = new QComboBox(queryBox);
    m_level->setObjectName(QStringLiteral("loginLevelCombo"));
    m_level->addItems({QStringLiteral("Operator"), QStringLiteral("Administrator")});
    m_level->setCurrentIndex(-1);

    auto *q = new QGridLayout(queryBox);
    q->addWidget(m_byLoginTime, 0, 0);
    q->addWidget(m_loginFrom, 0, 1);
    q->addWidget(new QLabel(QStringLiteral("To"), queryBox), 0, 2);
    q->addWidget(m_loginTo, 0, 3);
    q->addWidget(m_byLogoutTime, 1, 0);
    q->addWidget(m_logoutFrom, 1, 1);
    q->addWidget(new QLabel(QStringLiteral("To"), queryBox), 1, 2);
    q->addWidget(m_logoutTo, 1, 3);
    q->addWidget(m_byName, 2, 0);
    q->addWidget(m_name, 2, 1, 1, 3);
    q->addWidget(m_byLevel, 3, 0);
    q->addWidget(m_level, 3, 1, 1, 3);
    q->setColumnStretch(4, 1); // the pickers keep their size when the window widens

    // Order By
    auto *orderBox = new QGroupBox(QStringLiteral("Order By"), this);
    m_orderLoginTime = new QRadioButton(QStringLiteral("Login Time"), orderBox);
    m_orderLoginTime->setObjectName(QStringLiteral("orderLoginTimeRadio"));
    m_orderLoginTime->setChecked(true);
    m_orderLogoutTime = new QRadioButton(QStringLiteral("Logout Time"), orderBox);
    m_orderLogoutTime->setObjectName(QStringLiteral("orderLogoutTimeRadio"));
    m_orderLoginName = new QRadioButton(QStringLiteral("Login Name"), orderBox);
    m_orderLoginName->setObjectName(QStringLiteral("orderLoginNameRadio"));
    m_orderLoginLevel = new QRadioButton(QStringLiteral("Login Level"), orderBox);
    m_orderLoginLevel->setObjectName(QStringLiteral("orderLoginLevelRadio"));
    auto *o = new QVBoxLayout(orderBox);
    for (QRadioButton *r : {m_orderLoginTime, m_orderLogoutTime, m_orderLoginName, m_orderLoginLevel})
        o->addWidget(r);

    auto *boxes = new QHBoxLayout;
    boxes->addWidget(queryBox, 3);
    boxes->addWidget(orderBox, 1);

    // Grid
    m_model = new QStandardItemModel(0, 4, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Login Time"), QStringLiteral("Logout Time"), QStringLiteral("Login Name"), QStringLiteral("Login Level")});
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("logGrid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->verticalHeader()->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(boxes);
    layout->addWidget(m_grid, 1);

    connect(m_search, &QToolButton::clicked, this, &TInOutLogQuery_Form::sbSearchClick);
    connect(m_export, &QToolButton::clicked, this, &TInOutLogQuery_Form::sbExportClick);
    connect(m_clear, &QToolButton::clicked, this, &TInOutLogQuery_Form::sbClearClick);
    connect(m_quit, &QToolButton::clicked, this, &TInOutLogQuery_Form::sbQuitClick);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TInOutLogQuery_Form::DBGrid1TitleClick);

    resize(720, 480);
    FormCreate();
}

void TInOutLogQuery_Form::FormCreate()
{
    m_name->addItems(operators::loginNames());
    m_name->setCurrentIndex(-1);
}

operators::LoginLogQuery TInOutLogQuery_Form::queryFromInputs() const
{
    operators::LoginLogQuery q;
    q.byLoginTime = m_byLoginTime->isChecked();
    q.loginFrom = m_loginFrom->date();
    q.loginTo = m_loginTo->date();
    q.byLogoutTime = m_byLogoutTime->isChecked();
    q.logoutFrom = m_logoutFrom->date();
    q.logoutTo = m_logoutTo->date();
    q.byName = m_byName->isChecked();
    q.name = m_name->currentIndex() >= 0 ? m_name->currentText() : QString();
    q.byLevel = m_byLevel->isChecked();
    q.level = m_level->currentIndex() >= 0 ? m_level->currentText() : QString();
    using Order = operators::LoginLogQuery::Order;
    q.order = m_orderLogoutTime->isChecked() ? Order::LogoutTime
              : m_orderLoginName->isChecked() ? Order::LoginName
              : m_orderLoginLevel->isChecked() ? Order::LoginLevel
                                                : Order::LoginTime;
    return q;
}

void TInOutLogQuery_Form::sbSearchClick()
{
    const operators::LoginLogQuery q = queryFromInputs();
    const QString refusal = q.refusal();
    if (!refusal.isEmpty()) {
        msg::error(refusal, this);
        return;
    }
    runQuery(q.sql(), q.params());
}

void TInOutLogQuery_Form::runQuery(const QString &sql, const QVariantMap &params)
{
    const auto found = operators::searchLoginLog(sql, params);
    if (!found.ok) {
        msg::error(found.error, this);
        return;
    }
    m_sql = sql;
    m_params = params;
    m_rows = found.value;
    m_model->removeRows(0, m_model->rowCount());
    for (const QVariantMap &r : m_rows) {
        QList<QStandardItem *> items;
        for (const QString &f : kFields) {
            const QVariant v = r.value(f);
            QString text = v.toString();
            if (f.endsWith(QLatin1String("Time"))) {
                const QDateTime dt = store::toDateTime(v);
                text = dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
            }
            items.append(new QStandardItem(text));
        }
        m_model->appendRow(items);
    }
    const bool any = !m_rows.isEmpty();
    m_export->setEnabled(any);
    m_clear->setEnabled(any);
}

void TInOutLogQuery_Form::DBGrid1TitleClick(int column)
{
    if (m_sql.isEmpty() || column < 0 || column >= kFields.size())
        return;
    runQuery(store::sortQuerySql(m_sql, kFields.at(column)), m_params);
}

void TInOutLogQuery_Form::sbExportClick()
{
    if (m_rows.isEmpty())
        return;
    const QList<QVariantMap> rows = m_rows;
    sheetgui::exportSheet(this, QStringLiteral("Login Log"),
                          [rows] { return sheet::loginLogSheet(rows, Clock::now()); });
}

void TInOutLogQuery_Form::sbClearClick()
{
    if (m_sql.isEmpty())
        return;
    // Only the finished sessions among the rows shown; then the same search again.
    const auto cleared = operators::clearLoginLog(m_sql, m_params);
    if (!cleared.ok)
        msg::error(cleared.error, this);
    runQuery(m_sql, m_params);
}

void TInOutLogQuery_Form::sbQuitClick()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}
