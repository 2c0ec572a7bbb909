#pragma once

#include <QString>
#include <functional>

class QWidget;

// Task windows register a factory under their class name
// (REGISTER_WINDOW(TLockManagement_Form)); the main window enables a menu item
// only when its window is registered, and creates windows through it.
class WindowRegistry
{
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    static bool add(const QString &className, Factory factory);
    static bool has(const QString &className);
    static QWidget *create(const QString &className, QWidget *parent);
};

#define REGISTER_WINDOW(Class)                                                                                  \
    namespace {                                                                                                 \
    const bool registered_##Class =                                                                             \
        WindowRegistry::add(QStringLiteral(#Class), [](QWidget *parent) -> QWidget * { return new Class(parent); }); \
    }
