#include "sheet/XlsxReader.h"

#include "sheet/ZipArchive.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace sheet {

namespace {

using Sheets = QVector<SheetData>;

// Reads one part of the package; a missing or damaged part gives false.
bool readPart(const ZipArchive &zip, const QString &name, QByteArray &out)
{
    auto r = zip.read(name);
    if (!r.ok)
        return false;
    out = std::move(r.value);
    return true;
}

QString builtInFormat(int id)
{
    static const QHash<int, QString> formats = {
        {1, QStringLiteral("0")},           {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")},       {4, QStringLiteral("#,##0.00")},
        {9, QStringLiteral("0%")},          {10, QStringLiteral("0.00%")},
        {11, QStringLiteral("0.00E+00")},   {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?\?/?\?")},    {14, QStringLiteral("mm-dd-yy")},
        {15, QStringLiteral("d-mmm-yy")},   {16, QStringLiteral("d-mmm")},
        {17, QStringLiteral("mmm-yy")},     {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")}, {20, QStringLiteral("h:mm")},
        {21, QStringLiteral("h:mm:ss")},    {22, QStringLiteral("m/d/yy h:mm")},
        {37, QStringLiteral("#,##0 ;(#,##0)")}, {38, QStringLiteral("#,##0 ;[Red](#,##0)")},
        {39, QStringLiteral("#,##0.00;(#,##0.00)")}, {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")},
        {45, QStringLiteral("mm:ss")},      {46, QStringLiteral("[h]:mm:ss")},
        {47, QStringLiteral("mmss.0")},     {48, QStringLiteral("##0.0E+0")},
        {49, QStringLiteral("@")},
    };
    return formats.value(id);
}

// True for a format that shows a number as a date or time.
bool isDateFormat(const QString &code)
{
    if (code.isEmpty())
        return false;
    QString s = code;
    s.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"")));   // quoted text
    s.remove(QRegularExpression(QStringLiteral("\\\\.")));        // escaped characters
    s.remove(QRegularExpression(QStringLiteral("\\[(?![hms]+\\])[^\\]]*\\]"))); // colours, locales
    s.remove(QRegularExpression(QStringLiteral("_.|\\*.")));      // padding
    return s.contains(QRegularExpression(QStringLiteral("[ydhsYDHS]|[mM]")));
}

QDateTime fromSerial(double serial)
{
    const qint64 secs = qRound64(serial * 86400.0);
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0)).addSecs(secs);
}

// The largest sheet a spreadsheet program makes.
constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;

// "BC12" -> row 12, column 55.
bool parseRef(const QString &ref, int &row, int &col)
{
    int c = 0;
    int i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i) {
        const int letter = ref.at(i).toUpper().unicode() - 'A' + 1;
        if (letter < 1 || letter > 26 || c > kMaxColumn)
            return false;
        c = c * 26 + letter;
    }
    bool ok = false;
    const int r = QStringView(ref).mid(i).toInt(&ok);
    if (!ok || c < 1 || c > kMaxColumn || r < 1 || r > kMaxRow)
        return false;
    row = r;
    col = c;
    return true;
}

// Text of the element the reader stands on, joining the <t> runs and
// leaving out phonetic hints.
QString richText(QXmlStreamReader &xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

struct Styles
{
    QVector<QString> cellFormats; // by style index: the number format code
};

Styles parseStyles(const QByteArray &data)
{
    Styles st;
    QHash<int, QString> custom;
    QXmlStreamReader xml(data);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                custom.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                st.cellFormats.append(custom.contains(id) ? custom.value(id) : builtInFormat(id));
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return st;
}

bool parseSharedStrings(const QByteArray &data, QStringList &out, QString &error)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            out.append(richText(xml));
    }
    if (xml.hasError()) {
        error = xml.errorString();
        return false;
    }
    return true;
}

bool parseSheet(const QByteArray &data, const QStringList &shared, const Styles &styles, SheetData &sd,
                QString &error)
{
    QXmlStreamReader xml(data);
    int rowNo = 0;
    int nextCol = 1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            rowNo = ok ? r : rowNo + 1;
            if (rowNo < 1 || rowNo > kMaxRow) {
                error = QStringLiteral("bad row number %1").arg(rowNo);
                return false;
            }
            nextCol = 1;
            continue;
        }
        if (xml.name() != QLatin1String("c"))
            continue;
        const auto a = xml.attributes();
        int row = rowNo, col = nextCol;
        const QString ref = a.value(QLatin1String("r")).toString();
        if (!ref.isEmpty() && !parseRef(ref, row, col)) {
            error = QStringLiteral("bad cell reference %1").arg(ref);
            return false;
        }
        if (col > kMaxColumn) {
            error = QStringLiteral("too many columns");
            return false;
        }
        nextCol = col + 1;
        const QString type = a.value(QLatin1String("t")).toString();
        const int styleIndex = a.value(QLatin1String("s")).toInt();
        const QString format = styleIndex >= 0 && styleIndex < styles.cellFormats.size()
                                   ? styles.cellFormats.at(styleIndex) : QString();

        QString raw;
        bool haveValue = false;
        QString inlineText;
        bool haveInline = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
                raw = xml.readElementText();
                haveValue = true;
            } else if (xml.isStartElement() && xml.name() == QLatin1String("is")) {
                inlineText = richText(xml);
                haveInline = true;
            } else if (xml.isStartElement()) {
                xml.skipCurrentElement(); // formulas and extensions
            } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
                break;
            }
        }

        QVariant value;
        if (type == QLatin1String("inlineStr")) {
            if (haveInline)
                value = inlineText;
        } else if (!haveValue) {
            // a styled blank cell
        } else if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = raw.toInt(&ok);
            if (!ok || i < 0 || i >= shared.size()) {
                error = QStringLiteral("cell %1 refers to a missing string").arg(ref);
                return false;
            }
            value = shared.at(i);
        } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
            value = raw;
        } else if (type == QLatin1String("b")) {
            value = raw.trimmed() == QLatin1String("1");
        } else if (type == QLatin1String("d")) {
            const QDateTime dt = QDateTime::fromString(raw, Qt::ISODate);
            value = dt.isValid() ? QVariant(dt) : QVariant(raw);
        } else {
            bool ok = false;
            const double d = raw.toDouble(&ok);
            if (!ok) {
                error = QStringLiteral("cell %1 holds no number").arg(ref);
                return false;
            }
            value = isDateFormat(format) ? QVariant(fromSerial(d)) : QVariant(d);
        }
        if (value.isValid() || !format.isEmpty())
            sd.set(row, col, value, format);
    }
    if (xml.hasError()) {
        error = xml.errorString();
        return false;
    }
    return true;
}

QString relationshipsNamespace()
{
    return QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
}

} // namespace

Result<Sheets> XlsxReader::read(const QString &path, bool firstSheetOnly)
{
    const auto fail = [&](const QString &why) {
        return Result<Sheets>::failure(QStringLiteral("Cannot read the workbook %1: %2").arg(path, why));
    };
    const auto opened = ZipArchive::open(path);
    if (!opened.ok)
        return fail(opened.error);
    const ZipArchive &zip = opened.value;

    QByteArray workbook, rels, sharedXml, stylesXml;
    if (!readPart(zip, QStringLiteral("xl/workbook.xml"), workbook))
        return fail(QStringLiteral("no workbook part"));
    if (!readPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), rels))
        return fail(QStringLiteral("no workbook relationships"));

    // Relationship id -> part name.
    QHash<QString, QString> targets;
    {
        QXmlStreamReader xml(rels);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
                const auto a = xml.attributes();
                QString target = a.value(QLatin1String("Target")).toString();
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
                targets.insert(a.value(QLatin1String("Id")).toString(), target);
            }
        }
        if (xml.hasError())
            return fail(xml.errorString());
    }

    Sheets sheets;
    QStringList parts;
    {
        QXmlStreamReader xml(workbook);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("sheet")) {
                const auto a = xml.attributes();
                QString id = a.value(relationshipsNamespace(), QLatin1String("id")).toString();
                if (id.isEmpty())
                    id = a.value(QLatin1String("r:id")).toString();
                sheets.append(SheetData(a.value(QLatin1String("name")).toString()));
                parts.append(targets.value(id));
            }
        }
        if (xml.hasError())
            return fail(xml.errorString());
    }
    if (sheets.isEmpty())
        return fail(QStringLiteral("no worksheet"));

    QStringList shared;
    QString error;
    const QString sharedPart = QStringLiteral("xl/sharedStrings.xml");
    if (zip.contains(sharedPart)) {
        if (!readPart(zip, sharedPart, sharedXml))
            return fail(QStringLiteral("the shared strings are damaged"));
        if (!parseSharedStrings(sharedXml, shared, error))
            return fail(error);
    }
    Styles styles;
    const QString stylesPart = QStringLiteral("xl/styles.xml");
    if (zip.contains(stylesPart)) {
        if (!readPart(zip, stylesPart, stylesXml))
            return fail(QStringLiteral("the styles are damaged"));
        styles = parseStyles(stylesXml);
    }

    for (int i = 0; i < sheets.size(); ++i) {
        if (firstSheetOnly && i > 0)
            break;
        QByteArray data;
        if (parts.at(i).isEmpty() || !readPart(zip, parts.at(i), data))
            return fail(QStringLiteral("worksheet \"%1\" is missing").arg(sheets.at(i).name()));
        if (!parseSheet(data, shared, styles, sheets[i], error))
            return fail(error);
    }
    return Result<Sheets>::success(sheets);
}

} // namespace sheet
