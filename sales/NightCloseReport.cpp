#include "sales/NightCloseReport.h"

#include "data/AppError.h"
#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Printing.h"

#include <QLocale>
#include <QStringList>

namespace rp {

namespace {

QString esc(const QString &text) { return text.toHtmlEscaped(); }
QString yen(Money m) { return FormatNumber(m); }
QString yen(qint64 whole) { return FormatNumber(Money::fromYen(whole)); }

const QString TableStart = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
                                          "style=\"border-collapse: collapse; border-color: #777; font-size: 8pt;\">");

QString cell(const QString &text, const QString &align = {}, const QString &extra = {})
{
    return QStringLiteral("<td%1%2>%3</td>")
        .arg(align.isEmpty() ? QString() : QStringLiteral(" align=\"%1\"").arg(align), extra, text);
}

// Column widths in percent of the page, where the columns are given them.
QString headRow(const QStringList &captions, const QList<int> &widths = {})
{
    // In the table's head, so that a table running over a page shows it again.
    QString row = QStringLiteral("<thead><tr bgcolor=\"#e8e8e8\">");
    for (int i = 0; i < captions.size(); ++i)
        row += (i < widths.size() ? QStringLiteral("<th width=\"%1%\">").arg(widths[i]) : QStringLiteral("<th>")) + esc(captions[i])
            + QStringLiteral("</th>");
    return row + QStringLiteral("</tr></thead>");
}

QString heading(const QString &title) { return QStringLiteral("<h2>%1</h2>").arg(esc(title)); }

QString timeSpan(const NightCloseBooking &b)
{
    if (!b.start)
        return QString();
    return FormatHHMM(*b.start) + QLatin1Char('-') + (b.end ? FormatHHMM(*b.end) : QString());
}

QString explanation(const NightCloseBooking &b)
{
    if (b.charges.isEmpty())
        return esc(TotalsOnlyNote());
    QStringList lines;
    for (const StoredCharge &l : b.charges)
        lines << esc(ChargeText(l));
    return lines.join(QStringLiteral("<br>"));
}

QString slip(const NightClose &close, const NightCloseCompanion &her)
{
    QString html = heading(QStringLiteral("精算書（支払明細）"));
    html += QStringLiteral("<table width=\"100%\"><tr><td>源氏名　<span style=\"font-size: 15pt; font-weight: bold;\">%1</span></td>"
                           "<td align=\"right\">営業日　%2</td></tr></table><p></p>")
                .arg(esc(her.genji), esc(BusinessDayText(close.day)));
    html += TableStart
        + headRow({QStringLiteral("店舗"), QStringLiteral("顧客"), QStringLiteral("時間"), QStringLiteral("コース"),
                   QStringLiteral("オプション"), QStringLiteral("延長"), QStringLiteral("指名"), QStringLiteral("ｷｬﾝｾﾙ"),
                   QStringLiteral("総売上"), QStringLiteral("支払"), QStringLiteral("店売上")},
                  {15, 10, 11, 13, 12, 5, 5, 6, 8, 8, 7});
    for (const NightCloseBooking &b : her.bookings) {
        const QStringList cells = BookingCells(b);
        html += QStringLiteral("<tr>");
        for (int c = 0; c < cells.size(); ++c)
            html += c == 2 ? cell(cells[c], {}, QStringLiteral(" style=\"white-space: nowrap;\""))
                           : cell(esc(cells[c]), c >= 8 || c == 5 ? QStringLiteral("right") : c >= 6 ? QStringLiteral("center") : QString());
        html += QStringLiteral("</tr>");
        html += QStringLiteral("<tr><td></td><td colspan=\"10\" style=\"font-size: 8pt; color: #333;\">%1</td></tr>")
                    .arg(explanation(b));
    }
    html += QStringLiteral("<tr bgcolor=\"#f4f4f4\"><td colspan=\"8\" align=\"right\"><b>合計　%1本</b></td>")
                .arg(her.totals.visits)
        + cell(QStringLiteral("<b>") + yen(her.totals.gross) + QStringLiteral("</b>"), QStringLiteral("right"))
        + cell(QStringLiteral("<b>") + yen(her.totals.pay) + QStringLiteral("</b>"), QStringLiteral("right"))
        + cell(QStringLiteral("<b>") + yen(her.totals.shopShare) + QStringLiteral("</b>"), QStringLiteral("right"))
        + QStringLiteral("</tr></table>");
    html += QStringLiteral("<p align=\"right\" style=\"font-size: 14pt;\">支払合計　<b>%1</b> 円</p>").arg(yen(her.totals.pay));
    html += QStringLiteral("<p align=\"right\">受領印　＿＿＿＿＿＿＿＿＿＿</p>");
    return html;
}

QString figuresCells(const SalesFigures &f, bool bold)
{
    const auto b = [bold](const QString &t) { return bold ? QStringLiteral("<b>") + t + QStringLiteral("</b>") : t; };
    return cell(b(QString::number(f.visits)), QStringLiteral("right")) + cell(b(yen(f.gross)), QStringLiteral("right"))
        + cell(b(yen(f.shopShare)), QStringLiteral("right")) + cell(b(yen(f.pay)), QStringLiteral("right"));
}

QString summary(const NightClose &close)
{
    QString html = heading(QStringLiteral("精算集計"));
    html += QStringLiteral("<p>営業日　%1</p>").arg(esc(BusinessDayText(close.day)));
    const QStringList figures{QStringLiteral("来客本数"), QStringLiteral("総売上"), QStringLiteral("店売上"),
                              QStringLiteral("ｺﾝﾊﾟﾆｵﾝ支払")};
    html += QStringLiteral("<h3>店舗別</h3>") + TableStart + headRow(QStringList{QStringLiteral("店舗")} + figures);
    for (const NightCloseShop &s : close.shops)
        html += QStringLiteral("<tr>") + cell(esc(s.name)) + figuresCells(s.totals, false) + QStringLiteral("</tr>");
    html += QStringLiteral("<tr bgcolor=\"#f4f4f4\">") + cell(QStringLiteral("<b>合計</b>")) + figuresCells(close.totals, true)
        + QStringLiteral("</tr></table>");
    html += QStringLiteral("<h3>コンパニオン別</h3>");
    if (close.companions.isEmpty()) {
        html += QStringLiteral("<p>この日の記録はありません。</p>");
        return html;
    }
    html += TableStart + headRow(QStringList{QStringLiteral("源氏名")} + figures);
    for (const NightCloseCompanion &her : close.companions)
        html += QStringLiteral("<tr>") + cell(esc(her.genji)) + figuresCells(her.totals, false) + QStringLiteral("</tr>");
    html += QStringLiteral("<tr bgcolor=\"#f4f4f4\">") + cell(QStringLiteral("<b>合計</b>")) + figuresCells(close.totals, true)
        + QStringLiteral("</tr></table>");
    return html;
}

} // namespace

QString BusinessDayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("（")
        + QLocale(QLocale::Japanese, QLocale::Japan).dayName(day.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral("）");
}

QString ChargeText(const StoredCharge &l)
{
    // Nomination and cancellation are named by their fee alone; the others by kind and name.
    const bool feeOnly = l.kind == ChargeKindName(ChargeKind::Nomination) || l.kind == ChargeKindName(ChargeKind::Cancellation);
    QString label = feeOnly && !l.name.isEmpty() ? l.name : l.kind;
    if (!feeOnly && !l.name.isEmpty())
        label += QLatin1Char(' ') + l.name;
    QString share = QString::number(SharePercent(l.rate, l.surcharge)) + QLatin1Char('%');
    if (l.surcharge != 0)
        share += QStringLiteral("（割増%1%）").arg(l.surcharge);
    return QStringLiteral("%1 %2 × %3 = %4").arg(label, yen(l.price), share, yen(l.pay));
}

QString TotalsOnlyNote() { return QStringLiteral("※ 明細の記録がない予約です（明細の記録を始める前の登録）。合計のみ表示しています。"); }

QStringList BookingCells(const NightCloseBooking &b)
{
    return {b.shopName,
            b.customerName,
            timeSpan(b),
            b.course,
            b.options.join(QStringLiteral("、")),
            b.extension ? QStringLiteral("%1分").arg(*b.extension) : QString(),
            b.nomination ? QStringLiteral("○") : QString(),
            b.cancelled ? QStringLiteral("○") : QString(),
            yen(b.takings),
            yen(b.pay),
            yen(b.shopShare())};
}

QStringList NightCloseSections(const NightClose &close, NightClosePages pages, qint32 companionId)
{
    QStringList sections;
    if (pages == NightClosePages::Companion) {
        if (const NightCloseCompanion *her = close.companion(companionId))
            sections << slip(close, *her);
        return sections;
    }
    if (pages == NightClosePages::AllCompanions || pages == NightClosePages::Everything) {
        for (const NightCloseCompanion &her : close.companions)
            sections << slip(close, her);
        if (close.companions.isEmpty() && pages == NightClosePages::AllCompanions)
            sections << heading(QStringLiteral("精算書（支払明細）"))
                    + QStringLiteral("<p>営業日　%1　この日の記録はありません。</p>").arg(esc(BusinessDayText(close.day)));
    }
    if (pages == NightClosePages::Summary || pages == NightClosePages::Everything)
        sections << summary(close);
    return sections;
}

QString NightCloseHtml(const NightClose &close, NightClosePages pages, qint32 companionId)
{
    return QStringLiteral("<html><body>") + NightCloseSections(close, pages, companionId).join(QStringLiteral("<hr>"))
        + QStringLiteral("</body></html>");
}

bool PrintNightClose(const NightClose &close, NightClosePages pages, qint32 companionId, QPrinter &printer)
{
    return PrintSections(NightCloseSections(close, pages, companionId), printer);
}

bool WriteNightClosePdf(Database &db, const QDate &day, const QString &path, QString *error)
{
    NightClose close;
    try {
        close = LoadNightClose(db, day, ListedShopIds(db));
    } catch (const AppError &failure) {
        if (error)
            *error = QStringLiteral("精算データを読み込めません: ") + failure.description();
        return false;
    }
    return WritePdf(NightCloseSections(close, NightClosePages::Everything), path, false, error);
}

} // namespace rp
