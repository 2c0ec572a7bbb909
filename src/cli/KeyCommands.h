#pragma once

#include <QStringList>
#include <QTextStream>

// corvanectl key decode FILE [--json] [--facility DIGITS]
//
// Exit codes: 0 the image holds a mission and is described; 1 the file
// cannot be read; 2 usage; 3 the file is not a 32768-byte DS1977 image;
// 4 the image holds no mission (page 0 begins neither "WRITE" nor "READ");
// 5 described, but its facility code is not the one given with --facility.
namespace keycli {
constexpr int kOk = 0;
constexpr int kUnreadable = 1;
constexpr int kUsage = 2;
constexpr int kWrongSize = 3;
constexpr int kNotAMission = 4;
constexpr int kOtherFacility = 5;
} // namespace keycli

int runKeyCommand(const QStringList &args, QTextStream &out, QTextStream &err);
