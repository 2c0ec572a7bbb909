#pragma once

#include <QObject>

class QWidget;

// Makes Enter behave as Tab in one window: the key is swallowed and the
// focus moves to the next control, so Enter never presses a button. Drop-down
// lists that are open keep their Enter (it picks the entry).
class EnterAsTab : public QObject
{
    Q_OBJECT
public:
    static void install(QWidget *window);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit EnterAsTab(QWidget *window);
    QWidget *m_window;
};
