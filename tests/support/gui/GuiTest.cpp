#include "GuiTest.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>

namespace guitest {
namespace {

QString snapshotDir() { return qEnvironmentVariable("UI_SNAPSHOT_DIR"); }

// Windows of this program are named T<Role>_Form.
bool isProgramWindow(QObject *o)
{
    const QString name = QString::fromLatin1(o->metaObject()->className());
    return o->isWidgetType() && name.startsWith(QLatin1Char('T')) && name.endsWith(QLatin1String("_Form"));
}

class SnapshotFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && isProgramWindow(watched)) {
            auto *w = static_cast<QWidget *>(watched);
            // At once (a test may close it before the event loop runs), and
            // again once the window has settled.
            snapshot(w);
            QPointer<QWidget> p(w);
            QTimer::singleShot(0, this, [p] {
                if (p && p->isVisible())
                    snapshot(p);
            });
        }
        return false;
    }
};

} // namespace

void installSnapshots()
{
    if (snapshotDir().isEmpty())
        return;
    QDir().mkpath(snapshotDir());
    qApp->installEventFilter(new SnapshotFilter(qApp));
}

void snapshot(QWidget *w, const QString &name)
{
    const QString dir = snapshotDir();
    if (dir.isEmpty() || !w)
        return;
    const QString file = name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name;
    w->grab().save(QDir(dir).filePath(file + QLatin1String(".png")));
}

} // namespace guitest
