#pragma once

#include <QString>
#include <QStringList>

// The data folder: --data DIR when given, otherwise the per-user application
// data location (the same default the application uses).
QString defaultDataDir();
// Removes "--data DIR" from args and returns DIR (or the default).
QString takeDataDir(QStringList &args);
