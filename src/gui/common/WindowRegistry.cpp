#include "common/WindowRegistry.h"

#include <QHash>

namespace {
QHash<QString, WindowRegistry::Factory> &factories()
{
    static QHash<QString, WindowRegistry::Factory> f;
    return f;
}
} // namespace

bool WindowRegistry::add(const QString &className, Factory factory)
{
    factories().insert(className, std::move(factory));
    return true;
}

bool WindowRegistry::has(const QString &className) { return factories().contains(className); }

QWidget *WindowRegistry::create(const QString &className, QWidget *parent)
{
    const auto it = factories().constFind(className);
    return it == factories().cend() ? nullptr : (*it)(parent);
}
