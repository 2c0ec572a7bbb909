#include "shell/LogoArea.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>

LogoArea::LogoArea(const QString &dataDir, QWidget *parent) : QMdiArea(parent)
{
    setBackground(QColor(0xe9, 0xed, 0xf1));
    const QString custom = QDir(dataDir).filePath(QStringLiteral("logo.bmp"));
    if (!dataDir.isEmpty() && QFileInfo::exists(custom))
        m_logo.load(custom);
    if (m_logo.isNull()) {
        QSvgRenderer svg(QStringLiteral(":/logo.svg"));
        if (svg.isValid()) {
            m_logo = QPixmap(600, 300);
            m_logo.fill(Qt::transparent);
            QPainter p(&m_logo);
            svg.render(&p);
        }
    }
}

void LogoArea::paintEvent(QPaintEvent *event)
{
    QMdiArea::paintEvent(event);
    if (m_logo.isNull())
        return;
    QPainter p(viewport());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // A 600 x 300 box in the middle, the picture scaled into it keeping its proportions.
    const QSize box = QSize(600, 300).boundedTo(viewport()->size());
    const QSize pic = m_logo.size().scaled(box, Qt::KeepAspectRatio);
    const QRect target(QPoint((viewport()->width() - pic.width()) / 2, (viewport()->height() - pic.height()) / 2), pic);
    p.drawPixmap(target, m_logo);
}
