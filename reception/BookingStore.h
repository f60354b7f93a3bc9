#pragma once

#include "data/FieldCheck.h"
#include "data/Money.h"
#include "reception/CallerSearch.h"
#include "reception/Pricing.h"
#include "reception/StatusStore.h"

#include <QDate>
#include <QSqlRecord>
#include <QString>
#include <QTime>
#include <QVector>
#include <optional>

namespace rp {

class Database;

// Customers, their visit history and the registration of a booking, as store operations on plain
// records. The reception board reads its controls into these records and shows what comes back.

struct CustomerRecord
{
    qint32 id = 0;
    QString name, tel, rank, note;   // NULL reads as empty
};

// The five columns that identify a booking. A null start is a booking stored without a start time
// (a cancellation registered before one was set).
struct HistoryKey
{
    qint32 customerId = 0;
    qint32 shopId = 0;
    qint32 companionId = 0;
    QDate date;
    std::optional<QTime> start;
};

// One visit-history line, names resolved; a shop or companion no longer in the store leaves them empty.
struct HistoryLine
{
    HistoryKey key;
    QString shopName, companionName, genjiName;
    bool nomination = false, cancelled = false;
    std::optional<QTime> end;
    QString place;
    Money pay;
    QString options;   // the shop's current names of the booked options, each followed by three blanks
};

struct CustomerHistory
{
    QVector<HistoryLine> lines;   // by date, then start time
    Money total;                  // every row's takings, cancelled ones included
};

// Every customer stored under the number, in the store's order.
QVector<CustomerRecord> FindCustomersByTel(Database &db, const QString &tel);
// The customer with this name and number; an empty name looks up by number alone. Among several that
// fit, preferId wins when it is one of them, otherwise the first.
std::optional<CustomerRecord> FindCustomer(Database &db, const QString &name, const QString &tel, qint32 preferId = 0);
std::optional<CustomerRecord> CustomerById(Database &db, qint32 id);
// Every customer whose number ends with the key (the last TelTailDigits digits typed), with the day of
// the last visit: one lookup in the index on the numbers' ends, then one per customer found.
QVector<CallerMatch> CustomersByTelTail(Database &db, const QString &key);
// One query for the whole history, however long.
CustomerHistory LoadHistory(Database &db, qint32 customerId);
// That query's text (one bound value: the customer's id).
QString HistorySql();
void UpdateCustomer(Database &db, const CustomerRecord &customer);
// The stored history row of a booking shown on the board (the date always compared, the start matched as
// NULL when there is none); every column.
std::optional<QSqlRecord> StoredBookingRow(Database &db, qint32 customerId, qint32 shopId, const QVariant &companionId,
                                           const QDate &date, const std::optional<QTime> &start);
// Deletes every history row with exactly this key, and their charge lines; returns how many rows went.
int DeleteHistoryRow(Database &db, const HistoryKey &key);

// "¥12,345": the total as the customer area shows it.
QString FormatTotal(Money total);
// "2026/12/08", the short date of the history and the entry area.
QString ShortDate(const QDate &date);

// --- Field checks of the customer area (on leaving a box) ---
enum class CustomerField { Tel, Name, Note, Place };
constexpr int CustomerNameBytes = 24;
constexpr int CustomerNoteBytes = 50;
constexpr int PlaceBytes = 24;
QString TelMessage();     // digits only
QString NameMessage();
QString NoteMessage();
QString PlaceMessage();
FieldCheck CheckCustomerText(CustomerField field, const QString &text);

// --- Registration ---
QString NoCustomerMessage();     // neither name nor number
QString MissingDataMessage();    // shop, companion, start or end missing
QString TelPlaceholder();        // "00000"

// The name and number a booking is filed under: an empty number becomes "00000", and then an empty
// name becomes "00000" too.
void ApplyPlaceholders(QString &name, QString &tel);

struct BookingRecord
{
    CustomerRecord customer;           // name, number (placeholders applied), rank, note
    qint32 chosenCustomerId = 0;       // the customer the operator loaded on the board; 0 when none
    qint32 shopId = 0;
    QVector<qint32> otherShopIds;      // every other listed shop
    qint32 companionId = 0;
    QDate date;
    std::optional<QTime> start, end;
    std::optional<QTime> loadedStart;  // the start under which a recalled booking is stored
    QString place, course;
    qint16 options = 0;
    std::optional<int> extension;
    bool nomination = false, cancelled = false;
    qint64 pay = 0, girlPay = 0;       // whole yen as shown
    // The charge lines behind those amounts (ChargesBehind); nullopt when the amounts were not priced
    // now, as for a recalled booking shown with its stored amounts: its lines then stay as they are.
    std::optional<QVector<StoredCharge>> charges;
    // The companion's row on the status board.
    bool onDuty = false, busy = false, otherShop = false;
    // What the board read of that row. On a server the registration goes ahead only while her row
    // still holds it (another PC may have changed it); none when she is not on the board shown.
    std::optional<BoardRowState> shownRow;
    QTime now;
};

// OutForOtherShop: her row here shows her out for another shop's booking, which this one must not
// end or overwrite; only the customer and the history row are stored.
enum class StatusBranch { BusyCancelled, Busy, NotBusy, OutForOtherShop };

struct BookingResult
{
    qint32 customerId = 0;
    bool inserted = false;
    StatusBranch branch = StatusBranch::NotBusy;
    int minutesLeft = 0;   // Busy only
};

StatusBranch BranchOf(const BookingRecord &booking);
// Customer, history row with its charge lines, and status rows in one transaction: all of it is
// stored, or none.
BookingResult RegisterBooking(Database &db, const BookingRecord &booking);

} // namespace rp
