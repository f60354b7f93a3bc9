#include "reception/BookingStore.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Locks.h"
#include "data/Module1.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "data/TextUtil.h"
#include "reception/ChargeStore.h"

#include <QStringList>
#include <QWidget>

namespace rp {

namespace {

const QVariant NullText = QVariant(QMetaType(QMetaType::QString));
const QVariant NullNumber = QVariant(QMetaType(QMetaType::Int));

QVariant dateValue(const QDate &d) { return d.isValid() ? QVariant(IsoDate(d)) : NullText; }
QVariant timeValue(const std::optional<QTime> &t) { return t && t->isValid() ? QVariant(IsoTime(*t)) : NullText; }

std::optional<QTime> readTime(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    const QTime t = QTime::fromString(v.toString(), QStringLiteral("HH:mm:ss"));
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

CustomerRecord readCustomer(const Row &row)
{
    return {row.value(QStringLiteral("顧客ID")).toInt(), NullToEmpty(row.value(QStringLiteral("名前"))),
            NullToEmpty(row.value(QStringLiteral("TEL"))), NullToEmpty(row.value(QStringLiteral("ランク"))),
            NullToEmpty(row.value(QStringLiteral("備考")))};
}

// The WHERE clause that finds a booking by its five key columns; a missing date or start is matched as NULL.
QString keyWhere(const HistoryKey &key, QVariantList &binds)
{
    binds << key.customerId << key.shopId << key.companionId;
    QString sql = QStringLiteral(" WHERE \"顧客ID\"=? AND \"店舗ID\"=? AND \"コンパニオンID\"=?");
    if (key.date.isValid()) {
        sql += QStringLiteral(" AND \"年月日\"=?");
        binds << IsoDate(key.date);
    } else {
        sql += QStringLiteral(" AND \"年月日\" IS NULL");
    }
    if (key.start && key.start->isValid()) {
        sql += QStringLiteral(" AND \"開始時刻\"=?");
        binds << IsoTime(*key.start);
    } else {
        sql += QStringLiteral(" AND \"開始時刻\" IS NULL");
    }
    return sql;
}

// The customer a booking is filed under; 0 means a new one. The operator's choice on the board decides,
// so that a second customer on the same number is never renamed into the first.
qint32 resolveCustomer(Database &db, const BookingRecord &b)
{
    const QVector<CustomerRecord> onNumber = FindCustomersByTel(db, b.customer.tel);
    QVector<qint32> sameName;
    bool chosenOnNumber = false;
    for (const CustomerRecord &c : onNumber) {
        if (c.name == b.customer.name)
            sameName << c.id;
        chosenOnNumber = chosenOnNumber || (b.chosenCustomerId != 0 && c.id == b.chosenCustomerId);
    }
    if (!sameName.isEmpty())
        return sameName.contains(b.chosenCustomerId) ? b.chosenCustomerId : sameName.first();
    // Without a number, the name is the customer: another name is another customer.
    if (b.customer.tel == TelPlaceholder())
        return 0;
    // A name typed for the customer on the board, or for the only one on the number, renames her.
    if (chosenOnNumber)
        return b.chosenCustomerId;
    if (onNumber.size() == 1)
        return onNumber.first().id;
    return 0;
}

QVariantList customerValues(const CustomerRecord &c)
{
    return {SqlQuote(c.name), SqlQuote(c.tel), SqlQuote(c.rank), SqlQuote(c.note)};
}

} // namespace

QVector<CustomerRecord> FindCustomersByTel(Database &db, const QString &tel)
{
    QVector<CustomerRecord> out;
    for (const Row &row : db.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"TEL\"=? ORDER BY \"顧客ID\";"), {tel}))
        out << readCustomer(row);
    return out;
}

std::optional<CustomerRecord> FindCustomer(Database &db, const QString &name, const QString &tel, qint32 preferId)
{
    const Rows rows = name.isEmpty()
        ? db.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"TEL\"=? ORDER BY \"顧客ID\";"), {tel})
        : db.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"名前\"=? AND \"TEL\"=? ORDER BY \"顧客ID\";"), {name, tel});
    if (rows.isEmpty())
        return std::nullopt;
    for (const Row &row : rows)
        if (preferId != 0 && row.value(QStringLiteral("顧客ID")).toInt() == preferId)
            return readCustomer(row);
    return readCustomer(rows.first());
}

std::optional<CustomerRecord> CustomerById(Database &db, qint32 id)
{
    const std::optional<Row> row = db.first(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"顧客ID\"=?;"), {id});
    if (!row)
        return std::nullopt;
    return readCustomer(*row);
}

QVector<CallerMatch> CustomersByTelTail(Database &db, const QString &key)
{
    QVector<CallerMatch> out;
    const QString sql = QStringLiteral("SELECT \"顧客ID\",\"名前\",\"TEL\",\"ランク\","
                                       "(SELECT max(h.\"年月日\") FROM \"履歴\" h WHERE h.\"顧客ID\"=\"顧客\".\"顧客ID\") "
                                       "FROM \"顧客\" WHERE ")
        + TelTailSql(db.engine()) + QStringLiteral("=?;");
    db.forEachRow(sql, {key}, [&out](const std::function<QVariant(int)> &value) {
        out << CallerMatch{value(0).toInt(), NullToEmpty(value(1)), NullToEmpty(value(2)), NullToEmpty(value(3)),
                           QDate::fromString(value(4).toString(), Qt::ISODate)};
    });
    return out;
}

QString HistorySql()
{
    // Every name is resolved in the query, so a long history costs one statement and narrow rows.
    QStringList optionNames, slotCases;
    for (int n = 1; n <= 15; ++n)
        optionNames << QStringLiteral("CASE WHEN (h.\"オプション\" & %1)<>0 THEN COALESCE(s.\"OP%2名\",'') || '   ' ELSE '' END")
                           .arg(1 << (n - 1))
                           .arg(n);
    // Her name for the row's shop is the one in the first slot that belongs to it.
    for (int n = 1; n <= ShopSlots; ++n)
        slotCases << QStringLiteral("WHEN c.\"店舗%1ID\"=h.\"店舗ID\" THEN c.\"名前%1\"").arg(n);
    return QStringLiteral("SELECT h.\"顧客ID\",h.\"店舗ID\",h.\"コンパニオンID\",h.\"年月日\",h.\"開始時刻\",h.\"終了時刻\",h.\"場所\","
                          "h.\"指名\",h.\"キャンセル\",h.\"店売上\",s.\"店舗名\",c.\"源氏名\",CASE ")
        + slotCases.join(QLatin1Char(' ')) + QStringLiteral(" END,") + optionNames.join(QStringLiteral(" || "))
        + QStringLiteral(" FROM (\"履歴\" h LEFT JOIN \"店舗\" s ON s.\"店舗ID\"=h.\"店舗ID\")"
                         " LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=h.\"コンパニオンID\""
                         " WHERE h.\"顧客ID\"=? ORDER BY h.\"年月日\" NULLS FIRST,h.\"開始時刻\" NULLS FIRST;");
}

CustomerHistory LoadHistory(Database &db, qint32 customerId)
{
    static const QString sql = HistorySql();
    CustomerHistory history;
    // A long history is read straight from the result, without a copy of every row.
    db.forEachRow(sql, {customerId}, [&history](const std::function<QVariant(int)> &value) {
        HistoryLine line;
        line.key.customerId = value(0).toInt();
        line.key.shopId = value(1).toInt();
        line.key.companionId = value(2).toInt();
        line.key.date = QDate::fromString(value(3).toString(), Qt::ISODate);
        line.key.start = readTime(value(4));
        line.end = readTime(value(5));
        line.place = NullToEmpty(value(6));
        line.nomination = value(7).toInt() != 0;
        line.cancelled = value(8).toInt() != 0;
        const QVariant pay = value(9);
        line.pay = pay.isNull() ? Money() : Money::fromYen(pay.toLongLong());
        line.shopName = NullToEmpty(value(10));
        line.genjiName = NullToEmpty(value(11));
        line.companionName = NullToEmpty(value(12));
        line.options = NullToEmpty(value(13));
        history.total += line.pay;
        history.lines << line;
    });
    return history;
}

void UpdateCustomer(Database &db, const CustomerRecord &c)
{
    QVariantList binds = customerValues(c);
    binds << c.id;
    db.exec(QStringLiteral("UPDATE \"顧客\" SET \"名前\"=?,\"TEL\"=?,\"ランク\"=?,\"備考\"=? WHERE \"顧客ID\"=?;"), binds);
}

std::optional<QSqlRecord> StoredBookingRow(Database &db, qint32 customerId, qint32 shopId, const QVariant &companionId,
                                           const QDate &date, const std::optional<QTime> &start)
{
    QString sql = QStringLiteral("SELECT * FROM \"履歴\" WHERE \"顧客ID\"=? AND \"店舗ID\"=? AND \"コンパニオンID\"=? AND \"年月日\"=?");
    QVariantList binds{customerId, shopId, companionId, IsoDate(date)};
    if (start) {
        sql += QStringLiteral(" AND \"開始時刻\"=?;");
        binds << IsoTime(*start);
    } else {
        sql += QStringLiteral(" AND \"開始時刻\" IS NULL;");
    }
    return db.first(sql, binds);
}

int DeleteHistoryRow(Database &db, const HistoryKey &key)
{
    QVariantList binds;
    const QString where = keyWhere(key, binds);
    int deleted = 0;
    db.atomic([&] {
        deleted = db.exec(QStringLiteral("DELETE FROM \"履歴\"") + where + QLatin1Char(';'), binds);
        DeleteCharges(db, key);
    });
    return deleted;
}

QString FormatTotal(Money total)
{
    const QString digits = FormatNumber(total);
    if (digits.startsWith(QLatin1Char('-')))
        return QStringLiteral("-¥") + digits.mid(1);
    return QStringLiteral("¥") + digits;
}

QString ShortDate(const QDate &date) { return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString(); }

// --- Field checks ---

QString TelMessage() { return QStringLiteral("数字のみ入力してください。ハイフンは除く(090-1234-5678 --> 09012345678)"); }
QString NameMessage() { return QStringLiteral("名前は全角１２文字以内で入力してください。"); }
QString NoteMessage() { return QStringLiteral("備考は全角２５文字以内で入力してください。"); }
QString PlaceMessage() { return QStringLiteral("場所は全角１２文字（半角２４文字）以内で入力してください。"); }

FieldCheck CheckCustomerText(CustomerField field, const QString &text)
{
    if (text.isEmpty())
        return {true, text, {}};
    switch (field) {
    case CustomerField::Tel: {
        // Typed with the IME on, digits arrive full-width: the number is kept in ASCII, as it is searched.
        const QString half = ToHalfWidth(text);
        if (!IsNumeric(half))
            return {false, text, TelMessage()};
        return {true, half, {}};
    }
    case CustomerField::Name: return CheckTextWidth(text, CustomerNameBytes, NameMessage());
    case CustomerField::Note: return CheckTextWidth(text, CustomerNoteBytes, NoteMessage());
    case CustomerField::Place: return CheckTextWidth(text, PlaceBytes, PlaceMessage());
    }
    return {true, text, {}};
}

// --- Registration ---

QString NoCustomerMessage() { return QStringLiteral("顧客の名前か電話番号のどちらかの入力が必要です。"); }
QString MissingDataMessage()
{
    return QStringLiteral("登録に必要なデータが設定されていません。（最低、店舗名・コンパニオン名・開始時刻・終了時刻が必要！）");
}
QString TelPlaceholder() { return QStringLiteral("00000"); }

void ApplyPlaceholders(QString &name, QString &tel)
{
    if (tel.isEmpty())
        tel = TelPlaceholder();
    if (name.isEmpty() && tel == TelPlaceholder())
        name = TelPlaceholder();
}

StatusBranch BranchOf(const BookingRecord &b)
{
    if (b.otherShop)
        return StatusBranch::OutForOtherShop;
    if (!b.busy)
        return StatusBranch::NotBusy;
    return b.cancelled ? StatusBranch::BusyCancelled : StatusBranch::Busy;
}

BookingResult RegisterBooking(Database &db, const BookingRecord &b)
{
    BookingResult result;
    result.branch = BranchOf(b);
    db.atomic([&] {
        // With several PCs, her rows are locked first: registrations and recalls of her bookings take
        // turns, so one booking never gets two history rows, and a board that is behind is told so.
        if (SharedDatabase(db)) {
            const QVector<StatusCell> her = LockCompanionStatus(db, b.companionId);
            const QString refusal = b.shownRow ? BoardActionRefusal(BoardAction::Change, b.shopId, her, *b.shownRow) : QString();
            if (!refusal.isEmpty())
                throw AppError(AppError::ChangedElsewhere, refusal);
        }
        // The customer. Two PCs never both find no customer under one number and both add one.
        LockTextForTransaction(db, b.customer.tel);
        CustomerRecord customer = b.customer;
        customer.id = resolveCustomer(db, b);
        if (customer.id == 0) {
            customer.id = db.insertReturningId(QStringLiteral("顧客"), {QStringLiteral("名前"), QStringLiteral("TEL"), QStringLiteral("ランク"), QStringLiteral("備考")},
                                               customerValues(customer), QStringLiteral("顧客ID"));
        } else {
            UpdateCustomer(db, customer);
        }
        result.customerId = customer.id;

        // The history row: the same booking (by the start it was stored under) is updated, not added again.
        const HistoryKey key{customer.id, b.shopId, b.companionId, b.date, b.loadedStart ? b.loadedStart : b.start};
        QVariantList keyBinds;
        const QString where = keyWhere(key, keyBinds);
        const QVariant extension = b.extension ? QVariant(*b.extension) : NullNumber;
        const int stored = db.scalar(QStringLiteral("SELECT count(*) FROM \"履歴\"") + where + QLatin1Char(';'), keyBinds).toInt();
        // A recalled booking that is no longer stored under its start was changed or deleted on another
        // PC meanwhile: adding it again would give the booking a second row.
        if (stored == 0 && b.loadedStart && SharedDatabase(db))
            throw AppError(AppError::ChangedElsewhere, ChangedElsewhereMessage());
        // Without new lines, the stored ones still explain the booking only while its amounts stay.
        bool amountsKept = false;
        if (stored != 0 && !b.charges) {
            const std::optional<Row> before = db.first(
                QStringLiteral("SELECT \"店売上\",\"コンパニオン支払\" FROM \"履歴\"") + where + QLatin1Char(';'), keyBinds);
            amountsKept = before && !before->value(0).isNull() && !before->value(1).isNull()
                && before->value(0).toLongLong() == b.pay && before->value(1).toLongLong() == b.girlPay;
        }
        if (stored == 0) {
            db.insert(QStringLiteral("履歴"),
                      {QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"), QStringLiteral("年月日"),
                       QStringLiteral("開始時刻"), QStringLiteral("終了時刻"), QStringLiteral("場所"), QStringLiteral("コース名"),
                       QStringLiteral("オプション"), QStringLiteral("延長"), QStringLiteral("指名"), QStringLiteral("キャンセル"),
                       QStringLiteral("店売上"), QStringLiteral("コンパニオン支払")},
                      {customer.id, b.shopId, b.companionId, dateValue(b.date), timeValue(b.start), timeValue(b.end),
                       SqlQuote(b.place), SqlQuote(b.course), int(b.options), extension, SqlBool(b.nomination),
                       SqlBool(b.cancelled), b.pay, b.girlPay});
            result.inserted = true;
        } else {
            QVariantList binds{timeValue(b.start), timeValue(b.end), SqlQuote(b.place), SqlQuote(b.course), int(b.options),
                               extension, SqlBool(b.nomination), SqlBool(b.cancelled), b.pay, b.girlPay};
            binds += keyBinds;
            db.exec(QStringLiteral("UPDATE \"履歴\" SET \"開始時刻\"=?,\"終了時刻\"=?,\"場所\"=?,\"コース名\"=?,\"オプション\"=?,\"延長\"=?,"
                                   "\"指名\"=?,\"キャンセル\"=?,\"店売上\"=?,\"コンパニオン支払\"=?")
                        + where + QLatin1Char(';'),
                    binds);
        }
        StoreCharges(db, key, HistoryKey{customer.id, b.shopId, b.companionId, b.date, b.start}, b.charges, b.pay,
                     b.girlPay, amountsKept);

        // Her status rows.
        const auto writeRow = [&](bool busy, const QVariant &end, const QVariant &place) {
            db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=?,\"空\"=?,\"他店舗\"=?,\"終了予定\"=?,\"場所\"=?,\"顧客ID\"=?,"
                                   "\"選択OP\"=?,\"年月日\"=?,\"開始時刻\"=? WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                    {SqlBool(b.onDuty), SqlBool(busy), SqlBool(b.otherShop), end, place, customer.id, int(b.options),
                     dateValue(b.date), timeValue(b.start), b.shopId, b.companionId});
        };
        switch (result.branch) {
        case StatusBranch::BusyCancelled:
            writeRow(false, NullText, NullText);
            for (qint32 other : b.otherShopIds)
                db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"空\"=0,\"他店舗\"=0 WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                        {other, b.companionId});
            break;
        case StatusBranch::Busy:
            result.minutesLeft = b.end ? RemainingMinutes(*b.end, b.now) : 0;
            writeRow(true, timeValue(b.end), SqlQuote(b.place));
            break;
        case StatusBranch::NotBusy:
            db.exec(QStringLiteral("UPDATE \"現在状況\" SET \"終了予定\"=?,\"場所\"=?,\"選択OP\"=?,\"開始時刻\"=? "
                                   "WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                    {timeValue(b.end), SqlQuote(b.place), int(b.options), timeValue(b.start), b.shopId, b.companionId});
            break;
        case StatusBranch::OutForOtherShop:
            break;
        }
    });
    return result;
}

} // namespace rp
