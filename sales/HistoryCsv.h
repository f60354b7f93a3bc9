#pragma once

#include "data/Background.h"
#include "data/DateUtil.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

namespace rp {

class Database;

// The history as a spreadsheet reads it: one CSV line per 履歴 row, UTF-8 with a byte-order mark,
// RFC 4180 quoting, lines ended by CR LF.

// One 履歴 row with its names resolved; a shop, companion or customer no longer stored leaves its names
// empty, and an empty amount or extension reads as 0.
struct HistoryExportRow
{
    QDate date;
    std::optional<QTime> start, end;
    QString shopName, genjiName, customerName, tel, course;
    QString options;   // the shop's current names of the booked options, OptionSeparator between them
    qint64 extension = 0;
    bool nomination = false, cancelled = false;
    qint64 gross = 0, pay = 0;   // 店売上 and コンパニオン支払, whole yen
};

// Between two option names in one field: clear in a spreadsheet cell and no cause for quoting.
QString OptionSeparator();   // "、"
// The names of the options in mask (bit k is option k+1), in option order; empty names are left out.
QString OptionNames(const QStringList &shopOptionNames, int mask);

QString HistoryCsvHeader();                       // the first line, without its line end
QString CsvField(const QString &text);            // quoted with doubled quotes where it must be
QString HistoryCsvLine(const HistoryExportRow &row);   // without its line end

// The rows of the period (business days, both included), of one shop or of all, by date and start time.
qint64 CountHistoryRows(Database &db, const Period &period, std::optional<qint32> shopId);
// One query for the whole period, visited row by row without a copy of the result.
void ForEachHistoryExportRow(Database &db, const Period &period, std::optional<qint32> shopId,
                             const std::function<void(const HistoryExportRow &)> &visit);

struct ExportResult
{
    bool written = false;   // false: cancelled through progress, and no file was left
    qint64 rows = 0;
};
// Writes the export to path: the file appears complete at the end or not at all (a failure or a
// cancel leaves whatever stood under that name before). progress hears of every few hundred rows.
// Throws AppError.
ExportResult ExportHistoryCsv(Database &db, const Period &period, std::optional<qint32> shopId, const QString &path,
                              const ProgressFn &progress = {});

// The period asked for an export: the sales window's typed forms (YY/MM/DD, YY/MM, YY), or two of them
// joined by "-" or "～" (from the first day of the first to the last day of the second).
std::optional<Period> ReadExportPeriod(const QString &text);

} // namespace rp
