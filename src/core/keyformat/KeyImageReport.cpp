#include "KeyImageReport.h"

#include "AuditTrail.h"
#include "KeyEncoding.h"
#include "LockReadBack.h"
#include "LockSetupMission.h"
#include "MaintenanceMissions.h"
#include "MissionHeader.h"
#include "MultipleMission.h"

#include <QJsonArray>

namespace keyformat {

namespace {

QString hexByte(uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QJsonArray strings(const QStringList &l)
{
    return QJsonArray::fromStringList(l);
}

QJsonObject userJson(const LockUser &u)
{
    QJsonObject o;
    o[QStringLiteral("userType")] = u.userType;
    if (u.hasCode())
        o[QStringLiteral("keyCode")] = u.keyCode;
    if (u.hasKey())
        o[QStringLiteral("serialId")] = u.serialId;
    o[QStringLiteral("timeShiftId")] = u.timeShiftId;
    o[QStringLiteral("actExpDateId")] = u.actExpDateId;
    o[QStringLiteral("holiday")] = u.holiday;
    return o;
}

QString timeText(const QTime &t)
{
    return t.toString(QStringLiteral("HH:mm"));
}

QString dtText(const QDateTime &dt)
{
    return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QJsonObject tablesJson(const DecodedScheduleBlock &t)
{
    QJsonObject o;
    QJsonArray ts;
    for (int i = 0; i < t.timeShifts.size(); ++i) {
        const TimeShiftRow &r = t.timeShifts.at(i);
        ts.append(QStringLiteral("group %1 %2-%3 %4")
                      .arg(r.groupId)
                      .arg(timeText(r.beginTime), timeText(r.endTime),
                           r.dayOfWeek.isEmpty() ? QStringLiteral("day code ") + hexByte(t.timeShiftDayCodes.at(i))
                                                 : r.dayOfWeek));
    }
    o[QStringLiteral("timeShifts")] = ts;
    QJsonArray sc;
    for (const DecodedScheduleEntry &e : t.schedule)
        sc.append(QStringLiteral("%1 %2 days %3").arg(timeText(e.beginTime), e.lockStatus, hexByte(e.dayMask)));
    o[QStringLiteral("schedule")] = sc;
    auto dates = [](const QVector<DateGroupRow> &rows) {
        QJsonArray a;
        for (const DateGroupRow &r : rows)
            a.append(r.from.isValid()
                         ? QStringLiteral("group %1 %2 to %3").arg(r.groupId).arg(dtText(r.from), dtText(r.to))
                         : QStringLiteral("group %1 no dates").arg(r.groupId));
        return a;
    };
    o[QStringLiteral("activationExpiration")] = dates(t.actExpDates);
    o[QStringLiteral("holidays")] = dates(t.holidays);
    if (!t.problems.isEmpty())
        o[QStringLiteral("problems")] = strings(t.problems);
    return o;
}

QJsonObject runJson(const AuditRun &run)
{
    QJsonObject o;
    QJsonArray recs;
    for (const AuditRecord &r : run.records) {
        QJsonObject j;
        j[QStringLiteral("time")] = dtText(r.time);
        j[QStringLiteral("serialId")] = r.serialId;
        j[QStringLiteral("event")] = r.eventText;
        if (!r.codeType.isNull())
            j[QStringLiteral("codeType")] = r.codeType;
        if (!r.firstName.isEmpty()) {
            j[QStringLiteral("firstName")] = r.firstName;
            j[QStringLiteral("lastName")] = r.lastName;
            j[QStringLiteral("status")] = r.status;
        }
        recs.append(j);
    }
    o[QStringLiteral("records")] = recs;
    o[QStringLiteral("skippedRecords")] = run.skippedByRules + run.skippedUnrealDate;
    if (run.skippedUnrealDate)
        o[QStringLiteral("skippedNoRealDate")] = run.skippedUnrealDate;
    return o;
}

void describeWrite(const MissionHeader &h, const QByteArray &image, QJsonObject &o)
{
    const QByteArray p0 = pageOf(image, 0);
    switch (h.type) {
    case mission::kNewLockSetup: {
        o[QStringLiteral("motorPulseTenths")] = byteAt(p0, 6);
        o[QStringLiteral("lockBackDelayTenths")] = byteAt(p0, 7);
        o[QStringLiteral("daylightSaving")] = isOn(byteAt(p0, 19));
        o[QStringLiteral("blink")] = isOn(byteAt(p0, 27));
        const NewLockList l = decodeNewLockList(image);
        o[QStringLiteral("timeInLock")] = l.timeInLockText;
        o[QStringLiteral("defaultSchedule")] =
            l.classroomDefault ? QStringLiteral("No Limit Classroom Mode") : QStringLiteral("No Limit Storehouse Mode");
        o[QStringLiteral("locksTaken")] = l.locksTaken;
        o[QStringLiteral("lockSerials")] = strings(l.serials);
        o[QStringLiteral("skippedEntries")] = l.skippedEntries;
        break;
    }
    case mission::kLockout: {
        const LockoutOrder l = decodeLockout(image);
        o[QStringLiteral("door")] = l.closeDoor ? QStringLiteral("Close Door") : QStringLiteral("Open Door");
        o[QStringLiteral("lockSerials")] = strings(l.lockSerials);
        break;
    }
    case mission::kLockSetup: {
        const LockSetupContents c = decodeLockSetup(image);
        o[QStringLiteral("contentFlags")] = hexByte(c.flags);
        o[QStringLiteral("classroomSchedule")] = c.classroomSchedule;
        o[QStringLiteral("lockSerials")] = strings(c.lockSerials);
        if (c.flags & content::kTables)
            o[QStringLiteral("tables")] = tablesJson(decodeScheduleBlock(c.scheduleBlock));
        if (c.flags & content::kUsers) {
            QJsonArray us;
            for (const LockUser &u : c.users)
                us.append(userJson(u));
            o[QStringLiteral("users")] = us;
        }
        if (c.flags & content::kOneOffCodes)
            o[QStringLiteral("oneOffCodes")] = strings(c.oneOffCodes);
        break;
    }
    case mission::kMultiple: {
        const MultipleMissionContents c = decodeMultipleMission(image);
        o[QStringLiteral("blockCount")] = c.blockCount;
        QJsonArray blocks;
        for (const MissionBlock &b : c.blocks) {
            QJsonObject j;
            j[QStringLiteral("block")] = b.index;
            j[QStringLiteral("page")] = b.headerPage;
            j[QStringLiteral("lockSerial")] = b.lockSerial;
            j[QStringLiteral("kind")] = b.kindText;
            if (b.kind == block::kSchedule)
                j[QStringLiteral("tables")] = tablesJson(decodeScheduleBlock(b.scheduleBlock));
            if (b.kind == block::kUsers || b.kind == block::kContinuation) {
                QJsonArray us;
                for (const LockUser &u : b.users)
                    us.append(userJson(u));
                j[QStringLiteral("users")] = us;
            }
            if (b.kind == block::kDeleteCodes || b.kind == block::kDeleteCodesClear) {
                j[QStringLiteral("clearMemory")] = b.clearMemory;
                QJsonArray cs;
                for (const DeleteCodeEntry &d : b.codes)
                    cs.append(QStringLiteral("%1 to %2, %3, version %4")
                                  .arg(dtText(d.startDate), dtText(d.endDate),
                                       d.once ? QStringLiteral("once") : QStringLiteral("not once"))
                                  .arg(d.version));
                j[QStringLiteral("codes")] = cs;
            }
            blocks.append(j);
        }
        o[QStringLiteral("blocks")] = blocks;
        break;
    }
    case mission::kSystemCode:
        o[QStringLiteral("systemCodeIntact")] = systemCodeIsIntact(p0);
        break;
    default:
        break;
    }
}

void describeRead(const MissionHeader &h, const QByteArray &image, QJsonObject &o,
                  const std::function<bool(const QString &)> &reg)
{
    const QByteArray p0 = pageOf(image, 0);
    switch (h.type) {
    case mission::kGetInformation: {
        const LockInformation i = decodeLockInformation(image);
        o[QStringLiteral("touchedByLock")] = i.touched;
        if (!i.touched)
            break;
        QJsonObject f;
        f[QStringLiteral("Key List Status")] = i.keyListStatus;
        f[QStringLiteral("Manual Setup Status")] = i.manualSetupStatus;
        f[QStringLiteral("DayLight Saving Status")] = i.daylightSavingStatus;
        f[QStringLiteral("DayLight Saving")] = i.daylightSaving;
        f[QStringLiteral("Lock Serial ID")] = i.lockSerial;
        f[QStringLiteral("Blink")] = i.blink;
        f[QStringLiteral("Lock Mode")] = i.lockMode;
        f[QStringLiteral("Lock Hardware Version")] = i.hardwareVersion;
        f[QStringLiteral("Lock Software Version")] = i.softwareVersion;
        f[QStringLiteral("User Number")] = i.userNumber;
        f[QStringLiteral("Time In Lock")] = i.timeInLockText;
        f[QStringLiteral("Audit Trial Number")] = i.auditTrailNumber;
        f[QStringLiteral("Battery Voltage")] = i.batteryVoltage;
        f[QStringLiteral("Lock Level")] = i.lockLevel;
        o[QStringLiteral("lockInformation")] = f;
        QJsonArray us;
        for (const InfoUserEntry &u : i.users) {
            QJsonObject j;
            if (u.hasCode)
                j[QStringLiteral("code")] = u.code;
            if (u.hasKey)
                j[QStringLiteral("keyDigits")] = u.keyDigits;
            j[QStringLiteral("timeShiftId")] = u.timeShiftId;
            j[QStringLiteral("actExpDateId")] = u.actExpDateId;
            j[QStringLiteral("holidaysApply")] = u.holidaysApply;
            us.append(j);
        }
        o[QStringLiteral("users")] = us;
        o[QStringLiteral("tables")] = tablesJson(i.tables);
        break;
    }
    case mission::kAuditOneKey:
    case mission::kAuditFirstKey:
    case mission::kAuditSecondKey: {
        o[QStringLiteral("recordsWanted")] = getU16(p0, 8);
        const SingleLockAudit a = decodeSingleLockAudit(image, reg);
        o[QStringLiteral("touchedByLock")] = a.touched;
        if (!a.touched)
            break;
        o[QStringLiteral("lockSerial")] = a.lockSerial;
        o[QStringLiteral("recordInLock")] = a.recordsInLock;
        o[QStringLiteral("recordsInKey")] = a.recordsInKey;
        o[QStringLiteral("timeInLock")] = a.lockClockText;
        const QJsonObject run = runJson(a.run);
        for (auto it = run.begin(); it != run.end(); ++it)
            o[it.key()] = it.value();
        break;
    }
    case mission::kMultiAudit: {
        const MultiLockAudit m = decodeMultiLockAudit(image, reg);
        o[QStringLiteral("recordsPerLock")] = m.recordsPerLock;
        o[QStringLiteral("pagesPerLock")] = m.pagesPerLock;
        o[QStringLiteral("locksAudited")] = m.locksAudited;
        if (!m.problem.isEmpty())
            o[QStringLiteral("problem")] = m.problem;
        QJsonArray blocks;
        for (const AuditBlock &b : m.blocks) {
            QJsonObject j = runJson(b.run);
            j[QStringLiteral("lockSerial")] = b.lockSerial;
            j[QStringLiteral("page")] = b.firstPage;
            j[QStringLiteral("recordsInBlock")] = b.recordsInBlock;
            blocks.append(j);
        }
        o[QStringLiteral("blocks")] = blocks;
        break;
    }
    case mission::kParameter: {
        const ParameterOrder p = decodeParameterKey(p0);
        if (p.timeFunctionActive)
            break;
        o[QStringLiteral("changeMask")] = hexByte(p.mask);
        if (p.values.motorPulseTenths)
            o[QStringLiteral("motorPulseTenths")] = *p.values.motorPulseTenths;
        o[QStringLiteral("lockBackDelayTenths")] = p.values.lockBackDelayTenths;
        if (p.values.daylightSaving)
            o[QStringLiteral("daylightSaving")] = *p.values.daylightSaving;
        if (p.values.clock)
            o[QStringLiteral("clock")] = dtText(*p.values.clock);
        if (p.values.blink)
            o[QStringLiteral("blink")] = *p.values.blink;
        if (!p.values.newLockSerial.isEmpty())
            o[QStringLiteral("newLockSerial")] = p.values.newLockSerial;
        break;
    }
    case mission::kOneOffKey: {
        const OneOffOrder p = decodeOneOffKey(image);
        o[QStringLiteral("headerCrcOk")] = p.crcOk;
        o[QStringLiteral("lockSerials")] = strings(p.lockSerials);
        break;
    }
    default:
        break;
    }
}

void renderText(const QJsonValue &v, const QString &indent, QString &out);

// "lockSerial" -> "Lock serial"; labels that already have blanks stay as they are.
QString label(const QString &key)
{
    if (key.contains(QLatin1Char(' ')))
        return key;
    QString s;
    for (int i = 0; i < key.size(); ++i) {
        const QChar c = key.at(i);
        if (i == 0)
            s += c.toUpper();
        else if (c.isUpper() && !key.at(i - 1).isUpper())
            s += QLatin1Char(' ') + c.toLower();
        else
            s += c;
    }
    return s;
}

QString scalarText(const QJsonValue &v)
{
    return v.isBool() ? (v.toBool() ? QStringLiteral("yes") : QStringLiteral("no")) : v.toVariant().toString();
}

// One audit record on one line: time, event, identity, code type, person.
QString recordLine(const QJsonObject &r)
{
    QString line = r.value(QStringLiteral("time")).toString() + QStringLiteral("  ") +
                   r.value(QStringLiteral("event")).toString() + QStringLiteral("  ") +
                   r.value(QStringLiteral("serialId")).toString();
    if (r.contains(QStringLiteral("codeType")))
        line += QStringLiteral("  [") + r.value(QStringLiteral("codeType")).toString() + QLatin1Char(']');
    if (r.contains(QStringLiteral("firstName")))
        line += QStringLiteral("  %1 %2 (%3)")
                    .arg(r.value(QStringLiteral("firstName")).toString(),
                         r.value(QStringLiteral("lastName")).toString(), r.value(QStringLiteral("status")).toString());
    return line;
}

void renderObject(const QJsonObject &o, const QString &indent, QString &out)
{
    // Plain values first, then lists and groups.
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!it.value().isObject() && !it.value().isArray())
            out += indent + label(it.key()) + QStringLiteral(": ") + scalarText(it.value()) + QLatin1Char('\n');
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QJsonValue v = it.value();
        if (!v.isObject() && !v.isArray())
            continue;
        const int n = v.isArray() ? v.toArray().size() : -1;
        out += indent + label(it.key()) + (n >= 0 ? QStringLiteral(" (%1):").arg(n) : QStringLiteral(":")) +
               QLatin1Char('\n');
        renderText(v, indent + QStringLiteral("  "), out);
    }
}

void renderText(const QJsonValue &v, const QString &indent, QString &out)
{
    if (v.isObject()) {
        renderObject(v.toObject(), indent, out);
        return;
    }
    const QJsonArray a = v.toArray();
    for (int i = 0; i < a.size(); ++i) {
        const QJsonValue e = a.at(i);
        const QString number = QStringLiteral("%1. ").arg(i + 1);
        if (!e.isObject()) {
            out += indent + number + scalarText(e) + QLatin1Char('\n');
            continue;
        }
        const QJsonObject o = e.toObject();
        if (o.contains(QStringLiteral("event")) && o.contains(QStringLiteral("time"))) {
            out += indent + number + recordLine(o) + QLatin1Char('\n');
            continue;
        }
        bool nested = false;
        for (auto it = o.begin(); it != o.end(); ++it)
            nested = nested || it.value().isArray() || it.value().isObject();
        if (nested) {
            out += indent + QStringLiteral("[%1]\n").arg(i + 1);
            renderObject(o, indent + QStringLiteral("  "), out);
            continue;
        }
        QStringList parts;
        for (auto it = o.begin(); it != o.end(); ++it)
            parts << it.key() + QLatin1Char('=') + scalarText(it.value());
        out += indent + number + parts.join(QStringLiteral(", ")) + QLatin1Char('\n');
    }
}

} // namespace

Result<QJsonObject> describeKeyImage(const QByteArray &image, const std::function<bool(const QString &)> &reg)
{
    if (image.size() != kImageSize)
        return Result<QJsonObject>::failure(
            QStringLiteral("A DS1977 image is %1 bytes; this one is %2 bytes.").arg(kImageSize).arg(image.size()));
    const MissionHeader h = parseHeader(pageOf(image, 0));
    QJsonObject o;
    o[QStringLiteral("mission")] = h.isMission();
    o[QStringLiteral("kind")] = h.kind;
    if (!h.isMission())
        return Result<QJsonObject>::success(o);
    o[QStringLiteral("form")] = h.form == HeaderForm::Write ? QStringLiteral("WRITE") : QStringLiteral("READ");
    o[QStringLiteral("type")] = hexByte(h.type);
    o[QStringLiteral("name")] = h.name;
    if (h.facilityOffset >= 0)
        o[QStringLiteral("facilityCode")] = facilityText(h.facility);
    QJsonObject details;
    if (h.form == HeaderForm::Write)
        describeWrite(h, image, details);
    else
        describeRead(h, image, details, reg);
    if (!details.isEmpty())
        o[QStringLiteral("contents")] = details;
    return Result<QJsonObject>::success(o);
}

QString describeKeyImageText(const QJsonObject &d)
{
    QString out;
    if (!d.value(QStringLiteral("mission")).toBool())
        return QStringLiteral("Not a mission: page 0 begins neither with \"WRITE\" nor with \"READ\".\n");
    const QString name = d.value(QStringLiteral("name")).toString();
    out +=
        QStringLiteral("Mission: %1 (%2 type %3)\n")
            .arg(name.isEmpty() ? d.value(QStringLiteral("kind")).toString() + QStringLiteral(", not named by Read Key")
                                : name,
                 d.value(QStringLiteral("form")).toString(), d.value(QStringLiteral("type")).toString());
    if (d.contains(QStringLiteral("facilityCode")))
        out += QStringLiteral("Facility code: %1\n").arg(d.value(QStringLiteral("facilityCode")).toString());
    if (d.contains(QStringLiteral("contents")))
        renderObject(d.value(QStringLiteral("contents")).toObject(), QString(), out);
    return out;
}

} // namespace keyformat
