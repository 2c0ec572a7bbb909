#pragma once

#include "operators/LoginLog.h"

#include <QList>
#include <QVariantMap>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class QToolButton;

// "Login / Logout Log": searches, exports and clears the recorded operator
// sessions. MDI child, for Administrators.
class TInOutLogQuery_Form : public QWidget
{
    Q_OBJECT

public:
    explicit TInOutLogQuery_Form(QWidget *parent = nullptr);

    // The rows the grid shows, in its order.
    const QList<QVariantMap> &rows() const { return m_rows; }

public slots:
    void sbSearchClick();
    void sbExportClick();
    void sbClearClick();
    void sbQuitClick();
    void DBGrid1TitleClick(int column);

private:
    operators::LoginLogQuery queryFromInputs() const;
    void runQuery(const QString &sql, const QVariantMap &params);
    void FormCreate();

    QCheckBox *m_byLoginTime = nullptr;
    QDateEdit *m_loginFrom = nullptr;
    QDateEdit *m_loginTo = nullptr;
    QCheckBox *m_byLogoutTime = nullptr;
    QDateEdit *m_logoutFrom = nullptr;
    QDateEdit *m_logoutTo = nullptr;
    QCheckBox *m_byName = nullptr;
    QComboBox *m_name = nullptr;
    QCheckBox *m_byLevel = nullptr;
    QComboBox *m_level = nullptr;
    QRadioButton *m_orderLoginTime = nullptr;
    QRadioButton *m_orderLogoutTime = nullptr;
    QRadioButton *m_orderLoginName = nullptr;
    QRadioButton *m_orderLoginLevel = nullptr;
    QToolButton *m_search = nullptr;
    QToolButton *m_export = nullptr;
    QToolButton *m_clear = nullptr;
    QToolButton *m_quit = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_model = nullptr;

    // The statement and conditions of the rows shown.
    QString m_sql;
    QVariantMap m_params;
    QList<QVariantMap> m_rows;
};
