#include "common/EnterAsTab.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

EnterAsTab::EnterAsTab(QWidget *window) : QObject(window), m_window(window) {}

void EnterAsTab::install(QWidget *window)
{
    if (window->findChild<EnterAsTab *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    qApp->installEventFilter(new EnterAsTab(window));
}

bool EnterAsTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    if ((ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter) ||
        (ke->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *w = static_cast<QWidget *>(watched);
    // Only this window's own controls (a list that pops up is another window).
    if (w != m_window && !m_window->isAncestorOf(w))
        return false;
    // A cell editor of a grid: Enter commits it and moves to the next cell, as Tab does there.
    if (QWidget *viewport = w->parentWidget()) {
        auto *view = qobject_cast<QAbstractItemView *>(viewport->parentWidget());
        if (view && view->viewport() == viewport) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(w, &tab);
            return true;
        }
    }
    QWidget *next = w->nextInFocusChain();
    while (next && next != w && (!next->isEnabled() || !next->isVisible() || !(next->focusPolicy() & Qt::TabFocus) ||
                                 !m_window->isAncestorOf(next)))
        next = next->nextInFocusChain();
    if (next && next != w)
        next->setFocus(Qt::TabFocusReason);
    return true;
}
