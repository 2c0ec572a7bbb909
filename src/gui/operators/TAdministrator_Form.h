#pragma once

#include "store/CachedQuery.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableView;
class RecordEditor;

// "Operator Setting": the operator accounts (Admin). Every saved account
// gets the default password, which its owner then changes. The account
// "riradu" can be neither modified nor deleted. MDI child, for Administrators.
class TAdministrator_Form : public QWidget
{
    Q_OBJECT

public:
    explicit TAdministrator_Form(QWidget *parent = nullptr);
    ~TAdministrator_Form() override;

    RecordEditor *editor() const { return m_editor; }
    store::CachedQuery *master() const { return m_master; }

    void sbModifyClick();
    void sbDeleteClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void qyMasterNewRecord(store::CachedQuery &q);
    bool qyMasterBeforePost(store::CachedQuery &q);
    void ShowRecord();
    bool isProtected() const;

    store::CachedQuery *m_master;
    RecordEditor *m_editor;
    QTableView *m_grid = nullptr;
    QLineEdit *m_userName = nullptr;
    QComboBox *m_userLevel = nullptr;
};
