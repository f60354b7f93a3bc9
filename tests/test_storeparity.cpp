// The same figures from either engine: money sums (past 32 bits, negative, empty), date periods across
// month and year ends, the 05:00 business day, and the history's order. Run on SQLite, and on
// PostgreSQL as test_storeparity_pg; both compare against the same figures worked out here.
#include "data/Clock.h"
#include "reception/BookingStore.h"
#include "sales/SalesRules.h"
#include "support/TestApp.h"

#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

struct Booking
{
    int shop;        // 0 = A, 1 = B
    int companion;   // 0 = X, 1 = Y
    QString date;
    std::optional<qint64> gross, pay;
};

// Amounts past 2^31 and 2^32, a refund, a visit with no amount, and dates on every edge the periods have.
const QVector<Booking> Bookings = {
    {0, 0, "2025-12-31", 20000, 10000},
    {1, 1, "2026-01-01", 8000, 5000},
    {0, 0, "2026-02-28", 12000, 7000},
    {0, 0, "2026-03-01", 15000, 9000},
    {1, 1, "2026-03-01", std::nullopt, std::nullopt},
    {1, 0, "2026-03-31", 4000000000LL, 2500000000LL},
    {1, 0, "2026-03-31", 6000000000LL, 2500000000LL},
    {0, 1, "2026-04-01", -3000, -1000},
};

SalesFigures expected(const QVector<int> &shops, std::optional<int> companion, const Period &period)
{
    qint64 gross = 0, pay = 0, visits = 0;
    for (const Booking &b : Bookings) {
        const QDate d = QDate::fromString(b.date, Qt::ISODate);
        if (!shops.contains(b.shop) || (companion && *companion != b.companion) || d < period.first || d > period.last)
            continue;
        gross += b.gross.value_or(0);
        pay += b.pay.value_or(0);
        ++visits;
    }
    return {Money::fromYen(gross), Money::fromYen(gross - pay), Money::fromYen(pay), visits};
}

} // namespace

class StoreParity : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestApp> m_t;
    qint32 m_shop[2] = {}, m_companion[2] = {};

private slots:
    void initTestCase()
    {
        m_t = std::make_unique<TestApp>();
        QVERIFY(m_t->start());
        m_shop[0] = m_t->addShop(QStringLiteral("Ａ店"));
        m_shop[1] = m_t->addShop(QStringLiteral("Ｂ店"));
        m_t->module().LoadShopList();
        m_companion[0] = m_t->addCompanion(QStringLiteral("ゆき"), {QStringLiteral("ユキ"), QStringLiteral("ユキ")});
        m_companion[1] = m_t->addCompanion(QStringLiteral("はな"), {QStringLiteral("ハナ"), QStringLiteral("ハナ")});
        const QVariant none = QVariant(QMetaType(QMetaType::LongLong));
        for (const Booking &b : Bookings)
            m_t->db().insert(QStringLiteral("履歴"),
                             {QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"),
                              QStringLiteral("年月日"), QStringLiteral("開始時刻"), QStringLiteral("店売上"),
                              QStringLiteral("コンパニオン支払")},
                             {1, m_shop[b.shop], m_companion[b.companion], b.date, QStringLiteral("20:00:00"),
                              b.gross ? QVariant(*b.gross) : none, b.pay ? QVariant(*b.pay) : none});
    }

    void cleanupTestCase()
    {
        Clock::reset();
        m_t.reset();
    }

    // The window's fixed periods at a given moment, for each scope, summed by the store.
    void fixedPeriods_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("today");
        QTest::newRow("04:59 on the 1st is still the last day") << QDateTime(QDate(2026, 3, 1), QTime(4, 59)) << QDate(2026, 2, 28);
        QTest::newRow("05:00 on the 1st") << QDateTime(QDate(2026, 3, 1), QTime(5, 0)) << QDate(2026, 3, 1);
        QTest::newRow("after midnight at the month's end") << QDateTime(QDate(2026, 4, 1), QTime(0, 30)) << QDate(2026, 3, 31);
        QTest::newRow("new year's small hours") << QDateTime(QDate(2026, 1, 1), QTime(4, 0)) << QDate(2025, 12, 31);
    }
    void fixedPeriods()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDate, today);
        const FixedPeriods periods = SalesPeriods(now);
        QCOMPARE(periods.today.first, today);
        const QVector<QVector<int>> scopes = {{0}, {1}, {0, 1}};
        for (const Period &period : {periods.today, periods.yesterday, periods.thisMonth, periods.lastMonth})
            for (const QVector<int> &scope : scopes) {
                QVector<qint32> ids;
                for (int s : scope)
                    ids << m_shop[s];
                QCOMPARE(SumSales(m_t->db(), ids, std::nullopt, period), expected(scope, std::nullopt, period));
                for (int c : {0, 1})
                    QCOMPARE(SumSales(m_t->db(), ids, m_companion[c], period), expected(scope, c, period));
            }
    }

    // Periods typed in the window: a day, a month, a year.
    void typedPeriods_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("gross");
        QTest::newRow("day past 2^32") << "26/03/31" << qint64(10000000000LL);
        QTest::newRow("month") << "26/03" << qint64(10000015000LL);
        QTest::newRow("year with a refund") << "26" << qint64(10000032000LL);
        QTest::newRow("last year") << "25" << qint64(20000);
    }
    void typedPeriods()
    {
        QFETCH(QString, typed);
        QFETCH(qint64, gross);
        const std::optional<Period> period = ReadTypedPeriod(typed);
        QVERIFY(period);
        const SalesFigures all = SumSales(m_t->db(), {m_shop[0], m_shop[1]}, std::nullopt, *period);
        QCOMPARE(all, expected({0, 1}, std::nullopt, *period));
        QCOMPARE(all.gross, Money::fromYen(gross));
    }

    // A booking stored without a start time comes first on its day, on both engines; the total counts
    // every row.
    void historyOrder()
    {
        const QVariant noTime = QVariant(QMetaType(QMetaType::QString));
        const QStringList columns{QStringLiteral("顧客ID"), QStringLiteral("店舗ID"), QStringLiteral("コンパニオンID"),
                                  QStringLiteral("年月日"), QStringLiteral("開始時刻"), QStringLiteral("店売上")};
        m_t->db().insert(QStringLiteral("履歴"), columns, {7, m_shop[0], m_companion[0], "2026-03-02", "10:00:00", 3000000000LL});
        m_t->db().insert(QStringLiteral("履歴"), columns, {7, m_shop[1], m_companion[1], "2026-03-02", noTime, 1});
        m_t->db().insert(QStringLiteral("履歴"), columns, {7, m_shop[0], m_companion[1], "2026-03-01", "23:00:00", 2});
        const CustomerHistory history = LoadHistory(m_t->db(), 7);
        QCOMPARE(history.lines.size(), 3);
        QCOMPARE(history.lines[0].key.date, QDate(2026, 3, 1));
        QVERIFY(!history.lines[1].key.start);
        QCOMPARE(history.lines[1].genjiName, QStringLiteral("はな"));
        QCOMPARE(history.lines[2].key.start, std::optional<QTime>(QTime(10, 0)));
        QCOMPARE(history.total, Money::fromYen(3000000003LL));
    }
};

QTEST_MAIN(StoreParity)
#include "test_storeparity.moc"
