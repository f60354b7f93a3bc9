#include "masters/OptionSheet.h"

#include "data/Printing.h"

#include <QPrinter>

#include <algorithm>

namespace rp {

namespace {

QString esc(const QString &text) { return text.toHtmlEscaped(); }

QString tableStart(int widthPercent)
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"%1%\" "
                          "style=\"border-collapse: collapse; border-color: #777; font-size: 10pt;\">")
        .arg(widthPercent);
}

} // namespace

QString OptionSheetHtml(const OptionSheet &sheet)
{
    QString html = QStringLiteral("<html><body><h2>オプション表　%1</h2><p>作成日　%2</p>")
                       .arg(esc(sheet.shopName), sheet.made.toString(QStringLiteral("yyyy/MM/dd")));
    if (sheet.options.isEmpty())
        return html + QStringLiteral("<p>この店舗にはオプションがありません。</p></body></html>");
    // One table: a column per option headed by its number, name and price (repeated on every page),
    // a line per companion. As wide as the options need, up to the page.
    html += tableStart(std::min(100, 30 + 7 * int(sheet.options.size())))
        + QStringLiteral("<thead><tr bgcolor=\"#e8e8e8\"><th>源氏名</th><th>店での名前</th>");
    for (const OptionSheet::Option &o : sheet.options)
        html += QStringLiteral("<th>%1<br>%2<br>%3円</th>").arg(o.number).arg(esc(o.name), FormatNumber(o.price));
    html += QStringLiteral("</tr></thead>");
    for (const OptionSheet::Companion &c : sheet.companions) {
        html += QStringLiteral("<tr><td>%1</td><td>%2</td>").arg(esc(c.genji), esc(c.name));
        for (const OptionSheet::Option &o : sheet.options)
            html += QStringLiteral("<td align=\"center\">%1</td>").arg(c.offers(o.number) ? QStringLiteral("○") : QString());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (sheet.companions.isEmpty())
        html += QStringLiteral("<p>この店舗のコンパニオンはいません。</p>");
    return html + QStringLiteral("</body></html>");
}

bool PrintOptionSheet(const OptionSheet &sheet, QPrinter &printer) { return PrintSections({OptionSheetHtml(sheet)}, printer); }

} // namespace rp
