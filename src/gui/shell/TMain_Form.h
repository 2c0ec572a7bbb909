#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolButton;

// The main window: MDI frame with menus, the left tool bar, status bar and
// clock. It opens every task window (gated by the operator's level), keeps the
// login record and the settings file, and identifies the reader at start.
class TMain_Form : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMain_Form(QWidget *parent = nullptr);
    ~TMain_Form() override;

    // The start-up steps after the window is built: login record, settings
    // file, size, facility-code reminder, remote-code switches, reader check.
    void FormCreate();

    enum class Opening { Child, Modal };
    struct MenuItem
    {
        QString caption;
        QString className;
        Opening opening;
        int levelNeeded; // 0 any, 2 Administrator
        QString selectModeFlag;
    };

    // Opens a task window as its menu item does. Returns the window (null
    // when refused or not available).
    QWidget *openChild(const QString &className, int levelNeeded, bool alwaysMaximised = false);
    void openModal(const QString &className, int levelNeeded, const QString &selectModeFlag = QString());
    // Asks every open task window to close; false when one refuses.
    bool CloseMyMDI();

    QAction *menuAction(const QString &caption) const; // by caption, e.g. "Lock Settings"
    QToolButton *toolButton(const QString &caption) const;
    QLabel *statusPanel(int index) const;
    QMdiArea *mdiArea() const { return m_mdi; }
    QWidget *openWindow(const QString &className) const;

    // Adds a dock widget on the right (the emulated reader's panels).
    void addSideDock(const QString &title, QWidget *panel, const QString &objectName);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction *addItem(QMenu *menu, const MenuItem &item);
    void FormActivate();
    void updateClock();
    void setSmallScreen(bool small);

    QMdiArea *m_mdi = nullptr;
    QLabel *m_panels[4] = {};
    QTimer *m_clock = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QToolButton *> m_toolButtons;
    QHash<QString, QAction *> m_toolActions;
    QHash<QString, QPointer<QWidget>> m_windows;
    QAction *m_res1024 = nullptr;
    QAction *m_res800 = nullptr;
    QMenu *m_missionMenu = nullptr;
    bool m_activated = false;
    bool m_quitConfirmed = false;
};
