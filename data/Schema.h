#pragma once

#include "data/Connection.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace rp {

enum class ColumnType { Counter, Long, Integer, Short, Currency, Bit, Date, Time, Text };

struct ColumnDef
{
    QString name;
    ColumnType type;
    int width = 0;          // text columns only
    bool notNull = false;
};

struct TableDef
{
    QString name;
    QVector<ColumnDef> columns;
};

// The tables of the database file, column by column in their stored order.
const TableDef &CustomerTable();     // 顧客
const TableDef &ShopTable();         // 店舗
const TableDef &CompanionTable();    // コンパニオン
const TableDef &HistoryTable();      // 履歴
const TableDef &StatusTable();       // 現在状況
// 履歴明細: each charge of a booking (course, each option, extension, nomination, cancellation fee) with
// its price, the shop's rate and her surcharge applied and her pay, keyed by the booking's five key
// columns and a line number. Kept beside 履歴, not one of the permanent tables: a file without it gets
// it when opened, and its bookings show totals only.
const TableDef &ChargeTable();
// NG: a customer barred from a companion (コンパニオンID) or, with コンパニオンID NULL, from a whole shop,
// with the reason and the day it was registered. Kept beside the permanent tables like 履歴明細: a file
// without it gets it when opened. Nothing but the operator's own 解除 removes a row.
const TableDef &NgTable();

// The DDL per engine: the same names and meanings on both (see columnSql).
QString CreateTableSql(const TableDef &table, Engine engine = Engine::SQLite);
QStringList PermanentTablesSql(Engine engine = Engine::SQLite);    // 顧客, 店舗, コンパニオン, 履歴 in that order
QString CreateStatusTableSql(Engine engine = Engine::SQLite);
QString CreateChargeTableSql(Engine engine = Engine::SQLite);
QString CreateNgTableSql(Engine engine = Engine::SQLite);
// Lookup indexes for the history and customer searches (kept up to date by the store itself).
QStringList IndexesSql(Engine engine = Engine::SQLite);

// The last TelTailDigits characters of 顧客.TEL, written the way the engine's index on them is written,
// so that a search by the end of a number is one index lookup on either engine.
constexpr int TelTailDigits = 4;
QString TelTailSql(Engine engine);

// PostgreSQL's change notices: the tables a board caches, the trigger function that sends
// "<table>:<shop id>:<companion id>:<customer id>" on the channel "rosterpad" when the writing transaction
// commits (one notice per distinct key, or "<table>:::" when a statement changed more than 50), and a
// table's three statement triggers (dropped first, so that a table with some of them gets all).
QStringList ChangeNoticeTables();
QString ChangeNoticeFunctionSql();
QStringList ChangeNoticeTriggersSql(const QString &table);

// Column lists that several statements share.
QStringList ColumnNames(const TableDef &table);
// Standard double-quoted identifiers: "名前" and "店舗ID","店舗名",...
QString QuotedName(const QString &name);
QString Quoted(const QStringList &names, const QString &separator = QStringLiteral(","));

} // namespace rp
