#include "masterdata/KeyLockReport.h"

#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QTextDocument>

namespace {
const char *const kColumns[] = {"Serial ID", "First Name", "Last Name", "Department", "Title",
                                "Address",   "Contact",    "Status",    "UserType",   "KeyCode"};
}

void buildKeyLockReport(QTextDocument &doc, const KeyLockReportData &data)
{
    const QString when = QLocale::system().toString(data.printTime, QLocale::ShortFormat);
    QString html;
    html += QStringLiteral("<table width=\"100%\"><tr><td><b>TavolixLock System</b></td>"
                           "<td align=\"right\" style=\"white-space: pre\">%1</td></tr></table><hr/>")
                .arg((QStringLiteral("Print Time:  ") + when).toHtmlEscaped());
    html += QStringLiteral("<h2 align=\"center\">Key / Lock Assignment Report</h2>");
    html += QStringLiteral("<p style=\"white-space: pre\">%1<br/>%2</p>")
                .arg((QStringLiteral("Lock Name:  ") + data.lockName).toHtmlEscaped(),
                     (QStringLiteral("Lock Location:  ") + data.lockLocation).toHtmlEscaped());
    html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    for (const char *c : kColumns)
        html += QStringLiteral("<th>%1</th>").arg(QLatin1String(c));
    html += QStringLiteral("</tr>");
    for (const QStringList &row : data.rows) {
        html += QStringLiteral("<tr>");
        for (int i = 0; i < 10; ++i)
            html += QStringLiteral("<td>%1</td>").arg(row.value(i).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    doc.setHtml(html);
}

void printKeyLockReport(QPagedPaintDevice *device, const KeyLockReportData &data)
{
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
    QTextDocument doc;
    buildKeyLockReport(doc, data);
    doc.print(device);
}
