#include "sales/HistoryCsv.h"

#include "data/AppError.h"
#include "data/Database.h"
#include "data/SqlText.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <cstdio>

namespace rp {

namespace {

constexpr int OptionCount = 15;
// Rows between two reports: often enough for a live dialog, rarely enough to cost nothing.
constexpr qint64 ReportEvery = 500;
constexpr qsizetype WriteChunk = 1 << 16;

// Thrown through the row visit when the operator cancels; never leaves this file.
struct ExportCancelled
{
};

// A year of history is 100,000 dates and 200,000 times: they are read and written by hand, since
// Qt's format-string parser costs more than everything else of the export together.
int twoDigits(const QString &s, int at)
{
    const QChar a = s[at], b = s[at + 1];
    if (!a.isDigit() || !b.isDigit() || a.unicode() > '9' || b.unicode() > '9')
        return -1;
    return (a.unicode() - '0') * 10 + (b.unicode() - '0');
}

std::optional<QTime> readTime(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    const QString s = v.toString();   // "HH:mm:ss"
    if (s.size() != 8 || s[2] != QLatin1Char(':') || s[5] != QLatin1Char(':'))
        return std::nullopt;
    const int h = twoDigits(s, 0), m = twoDigits(s, 3), sec = twoDigits(s, 6);
    if (!QTime::isValid(h, m, sec))
        return std::nullopt;
    return QTime(h, m, sec);
}

QString timeText(const std::optional<QTime> &t)
{
    if (!t)
        return QString();
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", t->hour(), t->minute());
    return QString::fromLatin1(text, 5);
}

QString dateText(const QDate &d)
{
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return QString();
    char text[12];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", d.year(), d.month(), d.day());
    return QString::fromLatin1(text, 10);
}

QString periodWhere(const Period &period, std::optional<qint32> shopId, QVariantList &binds)
{
    binds << IsoDate(period.first) << IsoDate(period.last);
    QString where = QStringLiteral(" WHERE h.\"年月日\" BETWEEN ? AND ?");
    if (shopId) {
        where += QStringLiteral(" AND h.\"店舗ID\"=?");
        binds << *shopId;
    }
    return where;
}

// Every shop's option names by shop, read once: the history rows carry only the mask.
QHash<qint32, QStringList> shopOptionNames(Database &db)
{
    QStringList columns;
    for (int n = 1; n <= OptionCount; ++n)
        columns << QStringLiteral("\"OP%1名\"").arg(n);
    QHash<qint32, QStringList> names;
    db.forEachRow(QStringLiteral("SELECT \"店舗ID\",") + columns.join(QLatin1Char(',')) + QStringLiteral(" FROM \"店舗\";"),
                  {}, [&names](const std::function<QVariant(int)> &value) {
                      QStringList list;
                      for (int n = 1; n <= OptionCount; ++n)
                          list << NullToEmpty(value(n));
                      names.insert(value(0).toInt(), list);
                  });
    return names;
}

AppError writeError(const QString &path, const QString &detail)
{
    return AppError(AppError::PathFileAccess, QStringLiteral("ファイルに書き込めません: ") + QDir::toNativeSeparators(path)
                                                  + QStringLiteral(" (") + detail + QLatin1Char(')'));
}

} // namespace

QString OptionSeparator() { return QStringLiteral("、"); }

QString OptionNames(const QStringList &shopOptionNames, int mask)
{
    QStringList names;
    for (int k = 0; k < OptionCount && k < shopOptionNames.size(); ++k)
        if ((mask & (1 << k)) != 0 && !shopOptionNames[k].isEmpty())
            names << shopOptionNames[k];
    return names.join(OptionSeparator());
}

QString HistoryCsvHeader()
{
    return QStringLiteral("年月日,開始時刻,終了時刻,店舗名,源氏名,顧客名,TEL,コース名,オプション,延長,指名,キャンセル,"
                          "店売上,コンパニオン支払,店舗取り分");
}

QString CsvField(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char(',') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            QString quoted = text;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    }
    return text;
}

QString HistoryCsvLine(const HistoryExportRow &r)
{
    const QStringList fields{
        dateText(r.date),
        timeText(r.start),
        timeText(r.end),
        CsvField(r.shopName),
        CsvField(r.genjiName),
        CsvField(r.customerName),
        CsvField(r.tel),
        CsvField(r.course),
        CsvField(r.options),
        QString::number(r.extension),
        QString::number(r.nomination ? 1 : 0),
        QString::number(r.cancelled ? 1 : 0),
        QString::number(r.gross),
        QString::number(r.pay),
        QString::number(r.gross - r.pay),
    };
    return fields.join(QLatin1Char(','));
}

qint64 CountHistoryRows(Database &db, const Period &period, std::optional<qint32> shopId)
{
    QVariantList binds;
    const QString where = periodWhere(period, shopId, binds);
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"履歴\" h") + where + QLatin1Char(';'), binds).toLongLong();
}

void ForEachHistoryExportRow(Database &db, const Period &period, std::optional<qint32> shopId,
                             const std::function<void(const HistoryExportRow &)> &visit)
{
    const QHash<qint32, QStringList> optionNames = shopOptionNames(db);
    // The names of a shop's option set, worked out once per set.
    QHash<qint64, QString> optionsText;
    QVariantList binds;
    const QString where = periodWhere(period, shopId, binds);
    const QString sql =
        QStringLiteral("SELECT h.\"年月日\",h.\"開始時刻\",h.\"終了時刻\",s.\"店舗名\",c.\"源氏名\",k.\"名前\",k.\"TEL\","
                       "h.\"コース名\",h.\"店舗ID\",h.\"オプション\",h.\"延長\",h.\"指名\",h.\"キャンセル\","
                       "h.\"店売上\",h.\"コンパニオン支払\""
                       " FROM \"履歴\" h"
                       " LEFT JOIN \"店舗\" s ON s.\"店舗ID\"=h.\"店舗ID\""
                       " LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=h.\"コンパニオンID\""
                       " LEFT JOIN \"顧客\" k ON k.\"顧客ID\"=h.\"顧客ID\"")
        + where
        + QStringLiteral(" ORDER BY h.\"年月日\",h.\"開始時刻\" NULLS FIRST,h.\"店舗ID\",h.\"コンパニオンID\",h.\"顧客ID\";");
    HistoryExportRow row;
    db.forEachRow(sql, binds, [&](const std::function<QVariant(int)> &value) {
        row.date = QDate::fromString(value(0).toString(), Qt::ISODate);
        row.start = readTime(value(1));
        row.end = readTime(value(2));
        row.shopName = NullToEmpty(value(3));
        row.genjiName = NullToEmpty(value(4));
        row.customerName = NullToEmpty(value(5));
        row.tel = NullToEmpty(value(6));
        row.course = NullToEmpty(value(7));
        const qint32 shop = value(8).toInt();
        const int mask = value(9).toInt() & 0x7fff;
        const qint64 key = (qint64(shop) << 16) | mask;
        auto known = optionsText.constFind(key);
        if (known == optionsText.constEnd())
            known = optionsText.insert(key, OptionNames(optionNames.value(shop), mask));
        row.options = *known;
        row.extension = value(10).toLongLong();
        row.nomination = value(11).toInt() != 0;
        row.cancelled = value(12).toInt() != 0;
        row.gross = value(13).toLongLong();
        row.pay = value(14).toLongLong();
        visit(row);
    });
}

ExportResult ExportHistoryCsv(Database &db, const Period &period, std::optional<qint32> shopId, const QString &path,
                              const ProgressFn &progress)
{
    ExportResult result;
    const qint64 total = progress ? CountHistoryRows(db, period, shopId) : 0;
    if (progress && !progress(0, total))
        return result;

    // Written beside the target under a temporary name and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(path, file.errorString());
    QByteArray buffer;
    buffer.reserve(WriteChunk + 4096);
    auto flush = [&] {
        if (file.write(buffer) != buffer.size())
            throw writeError(path, file.errorString());
        buffer.clear();
    };
    buffer += "\xEF\xBB\xBF";
    buffer += HistoryCsvHeader().toUtf8();
    buffer += "\r\n";
    try {
        ForEachHistoryExportRow(db, period, shopId, [&](const HistoryExportRow &row) {
            buffer += HistoryCsvLine(row).toUtf8();
            buffer += "\r\n";
            if (buffer.size() >= WriteChunk)
                flush();
            ++result.rows;
            if (progress && result.rows % ReportEvery == 0 && !progress(result.rows, total))
                throw ExportCancelled{};
        });
        flush();
        if (progress && !progress(result.rows, total))
            throw ExportCancelled{};
    } catch (const ExportCancelled &) {
        file.cancelWriting();
        return ExportResult{false, result.rows};
    }
    if (!file.commit())
        throw writeError(path, file.errorString());
    result.written = true;
    return result;
}

std::optional<Period> ReadExportPeriod(const QString &text)
{
    for (const QChar separator : {QChar(u'-'), QChar(u'～'), QChar(u'〜')}) {
        const int at = text.indexOf(separator);
        if (at < 0)
            continue;
        const std::optional<Period> from = ReadTypedPeriod(text.left(at).trimmed());
        const std::optional<Period> to = ReadTypedPeriod(text.mid(at + 1).trimmed());
        if (!from || !to || to->last < from->first)
            return std::nullopt;
        return Period{from->first, to->last};
    }
    return ReadTypedPeriod(text.trimmed());
}

} // namespace rp
