#pragma once

#include <QStringList>
#include <QTextStream>

// corvanectl db init|check [--data DIR]
int runDbCommand(const QStringList &args, QTextStream &out, QTextStream &err);
