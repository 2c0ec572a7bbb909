#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class QPagedPaintDevice;
class QTextDocument;

// "Key / Lock Assignment Report": the users programmed into one lock.
struct KeyLockReportData
{
    QString lockName;
    QString lockLocation;
    QDateTime printTime;
    // One row per user: SerialID, FirstName, LastName, Department, Title,
    // Address, ContactInfor, Status, UserType, KeyCode.
    QVector<QStringList> rows;
};

// The report as a document (header, title lines, table).
void buildKeyLockReport(QTextDocument &doc, const KeyLockReportData &data);
// Paints the report onto a printer or a PDF writer, A4 landscape.
void printKeyLockReport(QPagedPaintDevice *device, const KeyLockReportData &data);
