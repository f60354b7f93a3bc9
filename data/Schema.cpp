#include "data/Schema.h"

namespace rp {

namespace {

ColumnDef col(const QString &name, ColumnType type, int width = 0, bool notNull = false)
{
    return ColumnDef{name, type, width, notNull};
}

QString n(int i) { return QString::number(i); }

// The store keeps what the program expects: 32/16-bit ranges, bit values, ISO dates and times, and text
// widths are checked by the table itself, so a wrong value is refused instead of being stored or cut.
QString columnSql(const ColumnDef &c)
{
    const QString b = QLatin1Char('[') + c.name + QLatin1Char(']');
    QString sql = b + QLatin1Char(' ');
    switch (c.type) {
    case ColumnType::Counter:
        return sql + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Long:
    case ColumnType::Integer:
        sql += QStringLiteral("INTEGER CHECK(%1 IS NULL OR (typeof(%1)='integer' AND %1 BETWEEN -2147483648 AND 2147483647))").arg(b);
        break;
    case ColumnType::Short:
        sql += QStringLiteral("INTEGER CHECK(%1 IS NULL OR (typeof(%1)='integer' AND %1 BETWEEN -32768 AND 32767))").arg(b);
        break;
    case ColumnType::Currency:
        sql += QStringLiteral("INTEGER CHECK(%1 IS NULL OR typeof(%1)='integer')").arg(b);
        break;
    case ColumnType::Bit:
        return sql + QStringLiteral("INTEGER NOT NULL DEFAULT 0 CHECK(%1 IN (0,1))").arg(b);
    case ColumnType::Date:
        sql += QStringLiteral("TEXT CHECK(%1 IS NULL OR (%1 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' AND date(%1,'+0 days') = %1))").arg(b);
        break;
    case ColumnType::Time:
        sql += QStringLiteral("TEXT CHECK(%1 IS NULL OR (%1 GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]' AND %1 < '24'))").arg(b);
        break;
    case ColumnType::Text:
        sql += QStringLiteral("TEXT");
        if (c.notNull)
            sql += QStringLiteral(" NOT NULL");
        sql += QStringLiteral(" CHECK(%1 IS NULL OR length(%1) <= %2)").arg(b).arg(c.width);
        return sql;
    }
    if (c.notNull)
        sql += QStringLiteral(" NOT NULL");
    return sql;
}

TableDef makeCustomer()
{
    return {QStringLiteral("顧客"),
            {col(QStringLiteral("顧客ID"), ColumnType::Counter), col(QStringLiteral("名前"), ColumnType::Text, 24),
             col(QStringLiteral("TEL"), ColumnType::Text, 13, true), col(QStringLiteral("ランク"), ColumnType::Text, 6),
             col(QStringLiteral("備考"), ColumnType::Text, 50)}};
}

TableDef makeShop()
{
    TableDef t{QStringLiteral("店舗"),
               {col(QStringLiteral("店舗ID"), ColumnType::Counter), col(QStringLiteral("削除FLAG"), ColumnType::Bit),
                col(QStringLiteral("店舗名"), ColumnType::Text, 30, true)}};
    for (int k = 1; k <= 4; ++k) {
        const QString c = QStringLiteral("C") + n(k);
        t.columns << col(c + QStringLiteral("名"), ColumnType::Text, 16);
        for (int j = 1; j <= 6; ++j) {
            t.columns << col(c + QStringLiteral("時間") + n(j), ColumnType::Text, 8);
            t.columns << col(c + QStringLiteral("料金") + n(j), ColumnType::Currency);
        }
        t.columns << col(c + QStringLiteral("割合"), ColumnType::Short);
    }
    for (int k = 1; k <= 15; ++k) {
        const QString o = QStringLiteral("OP") + n(k);
        t.columns << col(o + QStringLiteral("名"), ColumnType::Text, 16) << col(o + QStringLiteral("料金"), ColumnType::Currency)
                  << col(o + QStringLiteral("割合"), ColumnType::Short);
    }
    t.columns << col(QStringLiteral("延長時間"), ColumnType::Short) << col(QStringLiteral("延長料金"), ColumnType::Currency)
              << col(QStringLiteral("延長割合"), ColumnType::Short) << col(QStringLiteral("指名料"), ColumnType::Currency)
              << col(QStringLiteral("指名割合"), ColumnType::Short) << col(QStringLiteral("キャンセル料"), ColumnType::Currency)
              << col(QStringLiteral("キャンセル割合"), ColumnType::Short) << col(QStringLiteral("OP割合"), ColumnType::Short)
              << col(QStringLiteral("警告時間"), ColumnType::Short);
    return t;
}

TableDef makeCompanion()
{
    TableDef t{QStringLiteral("コンパニオン"),
               {col(QStringLiteral("コンパニオンID"), ColumnType::Counter), col(QStringLiteral("削除FLAG"), ColumnType::Bit),
                col(QStringLiteral("源氏名"), ColumnType::Text, 12, true)}};
    for (int s = 1; s <= 20; ++s) {
        t.columns << col(QStringLiteral("店舗") + n(s) + QStringLiteral("ID"), ColumnType::Long)
                  << col(QStringLiteral("名前") + n(s), ColumnType::Text, 12)
                  << col(QStringLiteral("オプション") + n(s), ColumnType::Integer);
    }
    t.columns << col(QStringLiteral("年齢"), ColumnType::Short) << col(QStringLiteral("身長"), ColumnType::Short)
              << col(QStringLiteral("バスト"), ColumnType::Short) << col(QStringLiteral("カップ"), ColumnType::Text, 1)
              << col(QStringLiteral("ウエスト"), ColumnType::Short) << col(QStringLiteral("ヒップ"), ColumnType::Short);
    for (int k = 1; k <= 4; ++k)
        t.columns << col(QStringLiteral("C") + n(k) + QStringLiteral("割増"), ColumnType::Short);
    t.columns << col(QStringLiteral("OP割増"), ColumnType::Short) << col(QStringLiteral("延長割増"), ColumnType::Short)
              << col(QStringLiteral("指名割増"), ColumnType::Short) << col(QStringLiteral("キャンセル割増"), ColumnType::Short);
    return t;
}

TableDef makeHistory()
{
    return {QStringLiteral("履歴"),
            {col(QStringLiteral("顧客ID"), ColumnType::Long), col(QStringLiteral("店舗ID"), ColumnType::Long),
             col(QStringLiteral("コンパニオンID"), ColumnType::Long), col(QStringLiteral("年月日"), ColumnType::Date),
             col(QStringLiteral("開始時刻"), ColumnType::Time), col(QStringLiteral("終了時刻"), ColumnType::Time),
             col(QStringLiteral("場所"), ColumnType::Text, 24), col(QStringLiteral("コース名"), ColumnType::Text, 26),
             col(QStringLiteral("コース時間"), ColumnType::Text, 8), col(QStringLiteral("オプション"), ColumnType::Integer),
             col(QStringLiteral("延長"), ColumnType::Short), col(QStringLiteral("指名"), ColumnType::Bit),
             col(QStringLiteral("キャンセル"), ColumnType::Bit), col(QStringLiteral("店売上"), ColumnType::Currency),
             col(QStringLiteral("コンパニオン支払"), ColumnType::Currency), col(QStringLiteral("未入力"), ColumnType::Bit)}};
}

TableDef makeStatus()
{
    return {QStringLiteral("現在状況"),
            {col(QStringLiteral("店舗ID"), ColumnType::Long), col(QStringLiteral("コンパニオンID"), ColumnType::Long),
             col(QStringLiteral("源氏名"), ColumnType::Text, 12), col(QStringLiteral("名前"), ColumnType::Text, 12),
             col(QStringLiteral("オプション"), ColumnType::Integer), col(QStringLiteral("出退勤"), ColumnType::Bit),
             col(QStringLiteral("空"), ColumnType::Bit), col(QStringLiteral("他店舗"), ColumnType::Bit),
             col(QStringLiteral("終了予定"), ColumnType::Time), col(QStringLiteral("場所"), ColumnType::Text, 24),
             col(QStringLiteral("顧客ID"), ColumnType::Long), col(QStringLiteral("選択OP"), ColumnType::Integer),
             col(QStringLiteral("年月日"), ColumnType::Date), col(QStringLiteral("開始時刻"), ColumnType::Time)}};
}

TableDef makeCharge()
{
    return {QStringLiteral("履歴明細"),
            {col(QStringLiteral("顧客ID"), ColumnType::Long), col(QStringLiteral("店舗ID"), ColumnType::Long),
             col(QStringLiteral("コンパニオンID"), ColumnType::Long), col(QStringLiteral("年月日"), ColumnType::Date),
             col(QStringLiteral("開始時刻"), ColumnType::Time), col(QStringLiteral("行番号"), ColumnType::Short),
             col(QStringLiteral("種別"), ColumnType::Text, 8), col(QStringLiteral("名称"), ColumnType::Text, 26),
             col(QStringLiteral("料金"), ColumnType::Currency), col(QStringLiteral("割合"), ColumnType::Short),
             col(QStringLiteral("割増"), ColumnType::Short), col(QStringLiteral("支払"), ColumnType::Currency)}};
}

} // namespace

const TableDef &CustomerTable() { static const TableDef t = makeCustomer(); return t; }
const TableDef &ShopTable() { static const TableDef t = makeShop(); return t; }
const TableDef &CompanionTable() { static const TableDef t = makeCompanion(); return t; }
const TableDef &HistoryTable() { static const TableDef t = makeHistory(); return t; }
const TableDef &StatusTable() { static const TableDef t = makeStatus(); return t; }
const TableDef &ChargeTable() { static const TableDef t = makeCharge(); return t; }

QString CreateTableSql(const TableDef &table)
{
    QStringList parts;
    for (const ColumnDef &c : table.columns)
        parts << columnSql(c);
    return QStringLiteral("CREATE TABLE ") + table.name + QLatin1Char('(') + parts.join(QLatin1Char(','))
        + QStringLiteral(");");
}

QStringList PermanentTablesSql()
{
    return {CreateTableSql(CustomerTable()), CreateTableSql(ShopTable()), CreateTableSql(CompanionTable()),
            CreateTableSql(HistoryTable())};
}

QString CreateStatusTableSql() { return CreateTableSql(StatusTable()); }
QString CreateChargeTableSql() { return CreateTableSql(ChargeTable()); }

QStringList IndexesSql()
{
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS [履歴_顧客] ON 履歴([顧客ID],[年月日]);"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS [履歴_年月日] ON 履歴([年月日]);"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS [顧客_TEL] ON 顧客([TEL]);"),
            // The sales sums read the amounts from these alone, without visiting the table: a year of
            // every shop is one range per shop, a companion's month one range.
            QStringLiteral("CREATE INDEX IF NOT EXISTS [履歴_店舗売上] ON 履歴([店舗ID],[年月日],[店売上],[コンパニオン支払]);"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS [履歴_コンパニオン売上] "
                           "ON 履歴([コンパニオンID],[年月日],[店舗ID],[店売上],[コンパニオン支払]);"),
            // A day's charge lines for the night close, a booking's for its registration.
            QStringLiteral("CREATE INDEX IF NOT EXISTS \"履歴明細_キー\" "
                           "ON \"履歴明細\"(\"年月日\",\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"開始時刻\");")};
}

QStringList ColumnNames(const TableDef &table)
{
    QStringList names;
    for (const ColumnDef &c : table.columns)
        names << c.name;
    return names;
}

QString Bracketed(const QStringList &names, const QString &separator)
{
    QStringList out;
    out.reserve(names.size());
    for (const QString &name : names)
        out << QLatin1Char('[') + name + QLatin1Char(']');
    return out.join(separator);
}

} // namespace rp
