#include "sheet/TExporting_Form.h"

#include "common/AppContext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TExporting_Form::TExporting_Form(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("exportingWindow"));
    setWindowTitle(QStringLiteral("Exporting"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(24, 18, 24, 18);
    m_label = new QLabel(QStringLiteral("Exporting data, please wait..."), frame);
    m_label->setObjectName(QStringLiteral("exportingLabel"));
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
    auto *busy = new QProgressBar(frame);
    busy->setObjectName(QStringLiteral("exportingProgressBar"));
    busy->setRange(0, 0); // no known length: a moving bar
    busy->setTextVisible(false);
    layout->addWidget(busy);
}

void TExporting_Form::showNow()
{
    adjustSize();
    QWidget *anchor = AppContext::instance().mainWindow ? AppContext::instance().mainWindow : parentWidget();
    if (anchor) {
        const QRect r = anchor->frameGeometry();
        move(r.center() - rect().center());
    }
    show();
    raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
