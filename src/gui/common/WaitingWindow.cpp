#include "common/WaitingWindow.h"

#include "common/AppContext.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

WaitingWindow::WaitingWindow(const QString &text, const QString &caption, QWidget *over)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("waitingWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto *lay = new QVBoxLayout(frame);
    if (!caption.isEmpty()) {
        auto *title = new QLabel(caption, frame);
        QFont f = title->font();
        f.setBold(true);
        title->setFont(f);
        lay->addWidget(title);
    }
    auto *label = new QLabel(text, frame);
    label->setObjectName(QStringLiteral("waitingLabel"));
    lay->addWidget(label);
    lay->setContentsMargins(24, 16, 24, 16);
    adjustSize();
    QWidget *anchor = over ? over : AppContext::instance().mainWindow;
    const QRect area = anchor ? QRect(anchor->mapToGlobal(QPoint(0, 0)), anchor->size())
                              : (QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry()
                                                               : QRect(0, 0, 800, 600));
    move(area.center() - rect().center());
    show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

WaitingWindow::~WaitingWindow() = default;
