#include "shell/TMain_Form.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageService.h"
#include "common/WindowRegistry.h"
#include "ibutton/VirtualReader.h"
#include "reader/LockEmulatorPanel.h"
#include "reader/ReaderPanel.h"
#include "session/OperatorLogin.h"
#include "session/ReaderIdentification.h"
#include "shell/LogoArea.h"
#include "shell/ToolIcons.h"
#include "store/Database.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kLevelTooLow = QStringLiteral("This funtion need higher user level.");
constexpr int kAny = 0;
constexpr int kAdmin = Session::kAdministrator;

using Opening = TMain_Form::Opening;

} // namespace

TMain_Form::TMain_Form(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Corvane Lock   (VER 3.5)"));
    m_mdi = new LogoArea(AppContext::instance().dataDir, this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    // A task window larger than the room left is scrolled, never cut off.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    AppContext::instance().mainWindow = this;

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &TMain_Form::updateClock);
    m_clock->start();
    updateClock();
}

TMain_Form::~TMain_Form()
{
    if (AppContext::instance().mainWindow == this)
        AppContext::instance().mainWindow = nullptr;
}

QAction *TMain_Form::addItem(QMenu *menu, const MenuItem &item)
{
    QAction *a = menu->addAction(item.caption);
    a->setObjectName(item.className.isEmpty() ? QString() : item.className + QLatin1String("Action"));
    // A window that this build does not have stays visible but disabled.
    a->setEnabled(WindowRegistry::has(item.className));
    const MenuItem copy = item;
    connect(a, &QAction::triggered, this, [this, copy] {
        if (copy.opening == Opening::Child)
            openChild(copy.className, copy.levelNeeded, copy.className == QLatin1String("TReadCard_Form"));
        else
            openModal(copy.className, copy.levelNeeded, copy.selectModeFlag);
    });
    m_actions.insert(item.caption, a);
    return a;
}

void TMain_Form::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *lock = bar->addMenu(QStringLiteral("Lock Management     "));
    addItem(lock, {QStringLiteral("Lock Settings"), QStringLiteral("TLockManagement_Form"), Opening::Child, kAdmin, {}})
        ->setIcon(toolIcon(ToolGlyph::Lock));
    addItem(lock, {QStringLiteral("Setup New Lock"), QStringLiteral("TLockSetup_Form"), Opening::Child, kAdmin, {}});
    addItem(lock, {QStringLiteral("Lock Schedule"), QStringLiteral("TLockModeSetting_Form"), Opening::Modal, kAdmin,
                   QStringLiteral("ScheduleSelectMode")})
        ->setIcon(toolIcon(ToolGlyph::Schedule));
    addItem(lock, {QStringLiteral("Lock Maintenance"), QStringLiteral("TSingleMissionCard_Form"), Opening::Child, kAny, {}});
    addItem(lock, {QStringLiteral("Copy Lock Settings"), QStringLiteral("TMultiTimeAssignment_Form"), Opening::Child, kAny, {}});

    QMenu *users = bar->addMenu(QStringLiteral("User Code Management     "));
    addItem(users, {QStringLiteral("User Settings"), QStringLiteral("TKeyManagement_Form"), Opening::Child, kAny, {}})
        ->setIcon(toolIcon(ToolGlyph::Users));
    addItem(users, {QStringLiteral("Time Shifts"), QStringLiteral("TTimeShiftSetting_Form"), Opening::Modal, kAdmin,
                    QStringLiteral("TimeShiftSelectMode")})
        ->setIcon(toolIcon(ToolGlyph::Clock));
    addItem(users, {QStringLiteral("Holiday Schedule"), QStringLiteral("TExceptionDateSetting_Form"), Opening::Modal,
                    kAdmin, QStringLiteral("HolidaySelectMode")});
    addItem(users, {QStringLiteral("Activation / Expiration Date"), QStringLiteral("TActExpDateSetting_Form"),
                    Opening::Modal, kAdmin, QStringLiteral("ActExpSelectMode")});

    QMenu *history = bar->addMenu(QStringLiteral("History     "));
    addItem(history, {QStringLiteral("Lock Audit History"), QStringLiteral("TRecordQuery_Form"), Opening::Child, kAdmin, {}})
        ->setIcon(toolIcon(ToolGlyph::Audit));
    addItem(history, {QStringLiteral("Access Code History"), QStringLiteral("TAccessCodeQuery_Form"), Opening::Child, kAdmin, {}});
    addItem(history, {QStringLiteral("Operator Log"), QStringLiteral("TInOutLogQuery_Form"), Opening::Child, kAdmin, {}});

    QMenu *other = bar->addMenu(QStringLiteral("Other     "));
    m_missionMenu = other->addMenu(QStringLiteral("Mission Management     "));
    m_missionMenu->setObjectName(QStringLiteral("missionManagementMenu"));
    addItem(m_missionMenu, {QStringLiteral("Single-Lock Programming"), QStringLiteral("TKeyMission_Form"), Opening::Child, kAny, {}});
    addItem(m_missionMenu, {QStringLiteral("Multi-Lock Programming"), QStringLiteral("TMultiKeyAssignment_Form"), Opening::Child, kAny, {}});
    addItem(m_missionMenu, {QStringLiteral("Read Key"), QStringLiteral("TReadCard_Form"), Opening::Child, kAny, {}});
    addItem(m_missionMenu, {QStringLiteral("Get Audit Trail"), QStringLiteral("TMultiAuditTrail_Form"), Opening::Child, kAdmin, {}});
    addItem(m_missionMenu, {QStringLiteral("Remote Code"), QStringLiteral("TCreatePassword_Form"), Opening::Child, kAny, {}});
    // The whole submenu is hidden; its functions are reached from the tool bar.
    m_missionMenu->menuAction()->setVisible(false);

    QMenu *config = other->addMenu(QStringLiteral("System Configuration     "));
    addItem(config, {QStringLiteral("Facility Code"), QStringLiteral("TSystemPassword_Form"), Opening::Modal, kAdmin, {}});

    QMenu *ops = other->addMenu(QStringLiteral("Operator Information     "));
    addItem(ops, {QStringLiteral("Operator Setting"), QStringLiteral("TAdministrator_Form"), Opening::Child, kAdmin, {}})
        ->setIcon(toolIcon(ToolGlyph::Operator));
    addItem(ops, {QStringLiteral("Change Operator Password"), QStringLiteral("TCGPassword_Form"), Opening::Modal, kAny, {}});

    QMenu *res = other->addMenu(QStringLiteral("Screen Resolution"));
    auto *group = new QActionGroup(this);
    m_res1024 = res->addAction(QStringLiteral("1024*768"));
    m_res800 = res->addAction(QStringLiteral("800*600"));
    for (QAction *a : {m_res1024, m_res800}) {
        a->setCheckable(true);
        group->addAction(a);
        m_actions.insert(a->text(), a);
    }
    m_res1024->setChecked(true);
    connect(m_res1024, &QAction::triggered, this, [this] {
        Settings &s = AppContext::instance().settings;
        if (s.SmallScreen != 0) {
            msg::information(QStringLiteral("You have changed the resolution to 1024*768,Please restart program now."), this);
            s.SmallScreen = 0;
        }
        m_res1024->setChecked(true);
    });
    connect(m_res800, &QAction::triggered, this, [this] {
        Settings &s = AppContext::instance().settings;
        if (s.SmallScreen == 0) {
            msg::information(QStringLiteral("You have changed the resolution to 800*600,Please restart program now."), this);
            s.SmallScreen = 1;
        }
        m_res800->setChecked(true);
    });

    QMenu *help = other->addMenu(QStringLiteral("Help     "));
    for (const char *caption : {"Help Doc", "About"}) {
        QAction *a = help->addAction(QLatin1String(caption));
        a->setEnabled(false); // no help document or about box in this build
        m_actions.insert(a->text(), a);
    }

    QAction *quit = bar->addAction(QStringLiteral("Quit     "));
    quit->setObjectName(QStringLiteral("quitAction"));
    m_actions.insert(QStringLiteral("Quit     "), quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void TMain_Form::buildToolBar()
{
    auto *tb = new QToolBar(QStringLiteral("Tasks"), this);
    tb->setObjectName(QStringLiteral("taskToolBar"));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setIconSize(QSize(48, 48));
    tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tb->setFixedWidth(130);
    addToolBar(Qt::LeftToolBarArea, tb);

    auto addButton = [this, tb](const QString &caption, ToolGlyph glyph) {
        auto *b = new QToolButton(tb);
        // Long captions are broken at the blank nearest the middle.
        QString shown = caption;
        if (b->fontMetrics().horizontalAdvance(caption) > 118) {
            int best = -1;
            for (int i = 0; i < caption.size(); ++i)
                if (caption.at(i) == QLatin1Char(' ') &&
                    (best < 0 || qAbs(i - caption.size() / 2) < qAbs(best - caption.size() / 2)))
                    best = i;
            if (best > 0)
                shown[best] = QLatin1Char('\n');
        }
        b->setText(shown);
        b->setToolTip(caption);
        b->setIcon(toolIcon(glyph));
        b->setIconSize(QSize(48, 48));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFixedSize(127, 82);
        b->setObjectName(caption.simplified().remove(QLatin1Char(' ')).remove(QLatin1Char('-')) + QLatin1String("Button"));
        m_toolActions.insert(caption, tb->addWidget(b));
        m_toolButtons.insert(caption, b);
        return b;
    };
    auto popup = [this](QToolButton *b, const QStringList &captions) {
        auto *menu = new QMenu(b);
        for (const QString &c : captions)
            menu->addAction(m_actions.value(c));
        // Clicking the button shows its pop-up menu.
        connect(b, &QToolButton::clicked, b, [b, menu] { menu->popup(b->mapToGlobal(QPoint(b->width(), 0))); });
    };
    auto same = [this](QToolButton *b, const QString &caption) {
        QAction *a = m_actions.value(caption);
        // The button follows its menu item: enabled, disabled or hidden together.
        const auto follow = [this, a, b, caption] {
            b->setEnabled(a->isEnabled());
            m_toolActions.value(caption)->setVisible(a->isVisible());
        };
        follow();
        connect(a, &QAction::changed, b, follow);
        connect(b, &QToolButton::clicked, a, &QAction::trigger);
    };

    popup(addButton(QStringLiteral("Lock Management"), ToolGlyph::Lock),
          {QStringLiteral("Lock Settings"), QStringLiteral("Setup New Lock"), QStringLiteral("Lock Schedule"),
           QStringLiteral("Lock Maintenance"), QStringLiteral("Copy Lock Settings")});
    popup(addButton(QStringLiteral("User Code Management"), ToolGlyph::Users),
          {QStringLiteral("User Settings"), QStringLiteral("Time Shifts"), QStringLiteral("Holiday Schedule"),
           QStringLiteral("Activation / Expiration Date")});
    same(addButton(QStringLiteral("Single-Lock Programming"), ToolGlyph::Program), QStringLiteral("Single-Lock Programming"));
    same(addButton(QStringLiteral("Multi-Lock Programming"), ToolGlyph::MultiProgram), QStringLiteral("Multi-Lock Programming"));
    same(addButton(QStringLiteral("Get Audit Trail"), ToolGlyph::Audit), QStringLiteral("Get Audit Trail"));
    same(addButton(QStringLiteral("Read Key"), ToolGlyph::ReadKey), QStringLiteral("Read Key"));
    same(addButton(QStringLiteral("Remote Code"), ToolGlyph::RemoteCode), QStringLiteral("Remote Code"));
}

void TMain_Form::buildStatusBar()
{
    const char *captions[4] = {"Status:", "User Name:", "User Level:", "PC Time:"};
    const int widths[4] = {320, 150, 150, 180};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(QLatin1String(captions[i]), this);
        m_panels[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        m_panels[i]->setMinimumWidth(widths[i]);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(m_panels[i], i == 0 ? 1 : 0);
    }
}

void TMain_Form::updateClock()
{
    const QLocale loc = QLocale::system();
    const QDateTime now = Clock::now();
    m_panels[3]->setText(QStringLiteral("PC Time:  ") + loc.toString(now.date(), QLocale::ShortFormat) +
                         QLatin1Char(' ') + loc.toString(now.time(), QLocale::LongFormat));
}

void TMain_Form::FormCreate()
{
    AppContext &ctx = AppContext::instance();
    const Session &s = ctx.session;
    m_panels[1]->setText(QStringLiteral("User Name:  ") + s.OperatorName);
    if (!s.Title.isEmpty())
        setWindowTitle(s.Title);
    if (s.Level == 0) {
        m_actions.value(QStringLiteral("Remote Code"))->setVisible(false);
        m_actions.value(QStringLiteral("Access Code History"))->setVisible(false);
    }
    m_panels[2]->setText(QStringLiteral("User Level:  ") + session::levelName(s.OperatorLevel));

    const Result<int> login = session::recordLogin(s.OperatorName, s.OperatorLevel, Clock::now());
    if (!login.ok)
        msg::error(QStringLiteral("The login could not be recorded: %1").arg(login.error), this);

    const ConfigFile::LoadResult cfg = ConfigFile::load(ctx.dataDir);
    ctx.settings = cfg.settings;
    if (!cfg.message.isEmpty())
        msg::information(cfg.message, this);

    setSmallScreen(ctx.settings.SmallScreen != 0);
    move(0, 0);

    if (ctx.settings.isFactoryFacilityCode()) {
        msg::information(QStringLiteral("You should set a password for your system.This default password is \"482615\"."), this);
        openModal(QStringLiteral("TSystemPassword_Form"), kAny);
    }

    if (ctx.settings.LockUserType == 1) {
        m_actions.value(QStringLiteral("Remote Code"))->setEnabled(false);
        m_actions.value(QStringLiteral("Access Code History"))->setEnabled(false);
    }

    if (ctx.virtualReader && !findChild<QDockWidget *>(QStringLiteral("readerDock"))) {
        auto *panel = new ReaderPanel(ctx.virtualReader, this);
        panel->setObjectName(QStringLiteral("readerPanel"));
        addSideDock(QStringLiteral("Reader (emulated)"), panel, QStringLiteral("readerDock"));
        onewire::VirtualReader *vr = ctx.virtualReader;
        auto *locks = new LockEmulatorPanel(
            ctx.dataDir,
            [vr] {
                // The program key lying on the reader, if any.
                for (const QString &serial : vr->onReader())
                    if (serial.endsWith(QLatin1String("37")))
                        return serial;
                return QString();
            },
            [vr](const QString &serial) { return vr->readImage(serial); },
            [vr](const QString &serial, const QByteArray &image) { return vr->writeImage(serial, image); }, this);
        locks->setObjectName(QStringLiteral("lockEmulatorPanel"));
        locks->setDefaultFacility(ctx.settings.FacilityCode);
        addSideDock(QStringLiteral("Locks (emulated)"), locks, QStringLiteral("lockEmulatorDock"));
        tabifyDockWidget(findChild<QDockWidget *>(QStringLiteral("readerDock")),
                         findChild<QDockWidget *>(QStringLiteral("lockEmulatorDock")));
        auto *readerDock = findChild<QDockWidget *>(QStringLiteral("readerDock"));
        readerDock->raise();
        // Narrow by default, so the task windows keep their room; a button in
        // the status bar shows or hides the emulator panels.
        QTimer::singleShot(0, this, [this, readerDock] { resizeDocks({readerDock}, {280}, Qt::Horizontal); });
        auto *toggle = new QToolButton(this);
        toggle->setObjectName(QStringLiteral("emulatorToggleButton"));
        toggle->setAutoRaise(true);
        toggle->setText(QStringLiteral("Emulated reader"));
        toggle->setToolTip(QStringLiteral("Show or hide the emulated reader and locks"));
        toggle->setCheckable(true);
        toggle->setChecked(true);
        connect(toggle, &QToolButton::toggled, this, [this](bool on) {
            for (const char *name : {"readerDock", "lockEmulatorDock"})
                if (auto *d = findChild<QDockWidget *>(QLatin1String(name)))
                    d->setVisible(on);
            if (on)
                findChild<QDockWidget *>(QStringLiteral("readerDock"))->raise();
        });
        connect(readerDock, &QDockWidget::visibilityChanged, toggle, [toggle, readerDock, this] {
            auto *locksDock = findChild<QDockWidget *>(QStringLiteral("lockEmulatorDock"));
            const QSignalBlocker block(toggle);
            toggle->setChecked(!readerDock->isHidden() || (locksDock && !locksDock->isHidden()));
        });
        statusBar()->addPermanentWidget(toggle);
        const QStringList problems = ctx.virtualReader->loadProblems();
        if (!problems.isEmpty())
            msg::warning(QStringLiteral("Some virtual keys could not be loaded:\n") + problems.join(QLatin1Char('\n')), this);
    }

    ctx.ReaderId.clear();
    if (ctx.bus()) {
        const auto notify = [this](NoticeKind kind, const QString &text) {
            if (kind == NoticeKind::Information)
                msg::information(text, this);
            else if (kind == NoticeKind::Warning)
                msg::warning(text, this);
            else
                msg::error(text, this);
        };
        const session::ReaderIdentification r =
            session::identifyReader(*ctx.bus(), ctx.settings.PortNumber, ctx.settings.PortType, notify);
        ctx.ReaderId = r.readerId;
    }
}

void TMain_Form::setSmallScreen(bool small)
{
    if (small) {
        resize(800, 600);
        m_res800->setChecked(true);
    } else {
        resize(1024, 768);
        m_res1024->setChecked(true);
    }
}

bool TMain_Form::CloseMyMDI()
{
    m_mdi->closeAllSubWindows();
    return m_mdi->subWindowList().isEmpty();
}

QWidget *TMain_Form::openChild(const QString &className, int levelNeeded, bool alwaysMaximised)
{
    CloseMyMDI();
    if (AppContext::instance().session.OperatorLevel < levelNeeded) {
        msg::information(kLevelTooLow, this);
        return nullptr;
    }
    if (QWidget *open = m_windows.value(className)) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(open->parentWidget()))
            sub->showNormal(), sub->raise();
        open->show();
        return open;
    }
    const bool small = AppContext::instance().settings.SmallScreen != 0 && !alwaysMaximised;
    if (!small) {
        m_panels[0]->setText(QStringLiteral("Status: Open windows,please waiting..."));
        m_panels[0]->repaint();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setUpdatesEnabled(false);
    }
    QWidget *w = WindowRegistry::create(className, nullptr);
    QWidget *result = nullptr;
    if (w) {
        w->setAttribute(Qt::WA_DeleteOnClose);
        QMdiSubWindow *sub = m_mdi->addSubWindow(w, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(windowIcon());
        // The frame has no title-bar buttons: a task window closes through its own "Quit".
        sub->setSystemMenu(nullptr);
        connect(w, &QObject::destroyed, sub, &QWidget::close);
        m_windows.insert(className, w);
        result = w;
        if (small) {
            sub->show();
        } else {
            sub->showMaximized();
        }
    }
    if (!small) {
        setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
        m_panels[0]->setText(QStringLiteral("Status: "));
        m_panels[0]->repaint();
    }
    return result;
}

void TMain_Form::openModal(const QString &className, int levelNeeded, const QString &selectModeFlag)
{
    PickerHandOver &h = AppContext::instance().handOver;
    if (selectModeFlag == QLatin1String("TimeShiftSelectMode"))
        h.TimeShiftSelectMode = 0;
    else if (selectModeFlag == QLatin1String("HolidaySelectMode"))
        h.HolidaySelectMode = 0;
    else if (selectModeFlag == QLatin1String("ActExpSelectMode"))
        h.ActExpSelectMode = 0;
    else if (selectModeFlag == QLatin1String("ScheduleSelectMode"))
        h.ScheduleSelectMode = 0;
    if (AppContext::instance().session.OperatorLevel < levelNeeded) {
        msg::information(kLevelTooLow, this);
        return;
    }
    QWidget *w = WindowRegistry::create(className, this);
    if (!w)
        return;
    if (auto *dlg = qobject_cast<QDialog *>(w))
        dlg->exec();
    delete w;
}

QAction *TMain_Form::menuAction(const QString &caption) const { return m_actions.value(caption); }

QToolButton *TMain_Form::toolButton(const QString &caption) const { return m_toolButtons.value(caption); }

QLabel *TMain_Form::statusPanel(int index) const { return index >= 0 && index < 4 ? m_panels[index] : nullptr; }

QWidget *TMain_Form::openWindow(const QString &className) const { return m_windows.value(className); }

void TMain_Form::addSideDock(const QString &title, QWidget *panel, const QString &objectName)
{
    auto *dock = new QDockWidget(title, this);
    dock->setObjectName(objectName);
    dock->setWidget(panel);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                      QDockWidget::DockWidgetClosable);
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

void TMain_Form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        // Once the window is up: a site without locks starts with New Lock Setup.
        QTimer::singleShot(0, this, &TMain_Form::FormActivate);
    }
}

void TMain_Form::FormActivate()
{
    auto q = store::exec(QStringLiteral("SELECT * FROM LockManagement"));
    const bool hasLocks = q.ok && q.value.next();
    CloseMyMDI();
    if (!hasLocks && WindowRegistry::has(QStringLiteral("TLockSetup_Form")))
        openChild(QStringLiteral("TLockSetup_Form"), kAny);
}

void TMain_Form::closeEvent(QCloseEvent *event)
{
    if (!m_quitConfirmed) {
        if (!msg::confirm(QStringLiteral("Quit program now?"), this)) {
            event->ignore();
            return;
        }
        if (!CloseMyMDI()) {
            event->ignore();
            return;
        }
        m_quitConfirmed = true;
    }
    AppContext &ctx = AppContext::instance();
    if (!ctx.SkipLogoutRecord) {
        const Status s = session::recordLogout(Clock::now());
        if (!s.ok)
            msg::error(QStringLiteral("The logout could not be recorded: %1").arg(s.error), this);
    }
    const Status saved = ConfigFile::save(ctx.dataDir, ctx.settings);
    if (!saved.ok)
        msg::error(QStringLiteral("CONFIG.DAT could not be written: %1").arg(saved.error), this);
    m_clock->stop();
    event->accept();
}
