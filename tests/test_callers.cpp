// The caller found by the last digits of the number: which digits are searched, who is offered in which
// order, the store's lookup through its index, and the list on the board.
#include "data/Schema.h"
#include "reception/BookingStore.h"
#include "reception/CallerSearch.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

struct Callers
{
    TestApp t;
    qint32 shop = 0, girl = 0;

    Callers()
    {
        if (!t.start())
            qFatal("start-up failed");
        shop = t.addShop("Ａ店");
        t.module().LoadShopList();
        girl = t.addCompanion("あい", {"アイ"});
        t.module().LoadCompanionList();
    }
    qint32 customer(const QString &name, const QString &tel, const QString &rank = {})
    {
        return t.db().insertReturningId("顧客", {"名前", "TEL", "ランク"}, {name, tel, rank}, "顧客ID");
    }
    void visit(qint32 cid, const QString &date)
    {
        t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上"},
                      {cid, shop, girl, date, "20:00:00", 10000});
    }
    // Five callers: three end in 5678, one of them never booked; 江藤's number is the 5679 that 土井's ends with.
    void arrange()
    {
        const qint32 a = customer("青木", "09011115678", "上");
        const qint32 b = customer("馬場", "08022225678", "並");
        customer("千葉", "07033335678");
        const qint32 d = customer("土井", "09044445679");
        customer("江藤", "5679");
        visit(a, "2026-01-10");
        visit(a, "2026-05-01");
        visit(b, "2026-03-01");
        visit(d, "2026-06-01");
    }
    QStringList offered(const QString &digits)
    {
        QStringList out;
        for (const CallerMatch &c : OfferedCallers(CustomersByTelTail(t.db(), TailKey(digits)), digits))
            out << c.name + "|" + c.tel + "|" + c.rank + "|" + ShortDate(c.lastVisit);
        return out;
    }
};

CallerMatch match(qint32 id, const QString &tel, const QString &lastVisit)
{
    return CallerMatch{id, {}, tel, {}, QDate::fromString(lastVisit, Qt::ISODate)};
}

} // namespace

class CallersTest : public QObject
{
    Q_OBJECT
private slots:
    void searchedDigits_data();
    void searchedDigits();
    void offeredOrder();
    void storeLookup_data();
    void storeLookup();
    void storeUsesTheIndex();
    void listOfCallersOnTheBoard();
};

void CallersTest::searchedDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("tel");
    QTest::addColumn<QString>("digits");    // empty: no search by the end
    QTest::addColumn<bool>("offered");      // tel offered for what was typed

    QTest::newRow("four digits") << "5678" << "09012345678" << "5678" << true;
    QTest::newRow("three digits") << "678" << "09012345678" << "" << false;
    QTest::newRow("seven digits") << "2345678" << "09012345678" << "2345678" << true;
    QTest::newRow("other end") << "5678" << "09012345679" << "5678" << false;
    QTest::newRow("the number itself") << "5678" << "5678" << "5678" << false;
    QTest::newRow("no number") << "0000" << "00000" << "0000" << false;
    QTest::newRow("not digits") << "56x8" << "0905678" << "" << false;
    QTest::newRow("empty") << "" << "0905678" << "" << false;
}

void CallersTest::searchedDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, tel);
    QFETCH(QString, digits);
    QFETCH(bool, offered);
    QCOMPARE(TailSearchDigits(typed).value_or(QString()), digits);
    QCOMPARE(!digits.isEmpty() && OfferedForTail(tel, digits), offered);
    if (!digits.isEmpty())
        QCOMPARE(TailKey(digits), digits.right(TelTailDigits));
}

void CallersTest::offeredOrder()
{
    // Newest visit first, never booked last, then by customer number; others and the too many dropped.
    QVector<CallerMatch> in{match(1, "0901115678", "2026-01-01"), match(2, "0902225678", ""),
                            match(3, "0903335678", "2026-09-01"), match(4, "0904445679", "2026-12-01"),
                            match(5, "0905555678", "2026-01-01")};
    QVector<qint32> ids;
    for (const CallerMatch &c : OfferedCallers(in, "5678"))
        ids << c.id;
    QCOMPARE(ids, QVector<qint32>({3, 1, 5, 2}));

    QVector<CallerMatch> many;
    for (int i = 1; i <= MaxCallerMatches + 5; ++i)
        many << match(i, QString("090%1").arg(i, 4, 10, QLatin1Char('0')) + "5678", "2026-01-01");
    const QVector<CallerMatch> kept = OfferedCallers(many, "5678");
    QCOMPARE(kept.size(), MaxCallerMatches);
    QCOMPARE(kept.last().id, MaxCallerMatches);
}

void CallersTest::storeLookup_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("four") << "5678"
                          << QStringList{"青木|09011115678|上|2026/05/01", "馬場|08022225678|並|2026/03/01",
                                         "千葉|07033335678||"};
    QTest::newRow("five") << "15678" << QStringList{"青木|09011115678|上|2026/05/01"};
    QTest::newRow("the end of one") << "45679" << QStringList{"土井|09044445679||2026/06/01"};
    QTest::newRow("nobody") << "9999" << QStringList{};
}

void CallersTest::storeLookup()
{
    QFETCH(QString, digits);
    QFETCH(QStringList, offered);
    Callers c;
    c.arrange();
    QCOMPARE(c.offered(digits), offered);
}

void CallersTest::storeUsesTheIndex()
{
    Callers c;
    Database &db = c.t.db();
    const QString where = TelTailSql(db.engine()) + "='5678';";
    QStringList plan;
    if (db.engine() == Engine::PostgreSQL) {
        // A table this small is read whole by choice; the index must be there to be chosen at all.
        db.exec("SET enable_seqscan = off;");
        for (const Row &row : db.rows("EXPLAIN SELECT \"顧客ID\" FROM \"顧客\" WHERE " + where))
            plan << row.value(0).toString();
        db.exec("SET enable_seqscan = on;");
    } else {
        for (const Row &row : db.rows("EXPLAIN QUERY PLAN SELECT \"顧客ID\" FROM \"顧客\" WHERE " + where))
            plan << row.value(3).toString();
    }
    QVERIFY2(plan.join(' ').contains("顧客_TEL末尾"), qPrintable(plan.join(' ')));
}

void CallersTest::listOfCallersOnTheBoard()
{
    Callers c;
    c.arrange();
    Main_Form &b = c.t.board();
    const auto search = [&](const QString &tel) {
        b.Text_Tel->setText(tel);
        b.Cmd_Search_Click();
    };

    // Not digits: no list, a new caller.
    search("5678x");
    QVERIFY(c.t.prompt().shown().isEmpty());
    QVERIFY(b.Label_NewCaller->isVisibleTo(&b));

    // Chosen from the list: loaded as the full number would load her.
    c.t.prompt().answerChoice(1);
    search("5678");
    QCOMPARE(c.t.prompt().shown().size(), 1);
    QCOMPARE(c.t.prompt().shown().last().kind, QString("choice"));
    QCOMPARE(c.t.prompt().shown().last().rows,
             QVector<QStringList>({{"青木", "09011115678", "上", "2026/05/01"}, {"馬場", "08022225678", "並", "2026/03/01"},
                                   {"千葉", "07033335678", "", ""}}));
    QCOMPARE(b.Text_Tel->text(), QString("08022225678"));
    QCOMPARE(b.Combo_Name->currentText(), QString("馬場"));
    QCOMPARE(b.Combo_Rank->currentText(), QString("並"));
    QCOMPARE(b.HistoryKeys.size(), 1);
    QCOMPARE(b.CurrentCustomerId, c.t.db().scalar("SELECT \"顧客ID\" FROM \"顧客\" WHERE \"TEL\"='08022225678';").toInt());
    QVERIFY(!b.Label_NewCaller->isVisibleTo(&b));

    // Cancelled: the board is left as for a number nobody has.
    c.t.prompt().clear();
    c.t.prompt().answerCancel();
    search("15678");
    QCOMPARE(c.t.prompt().shown().size(), 1);
    QCOMPARE(b.Text_Tel->text(), QString("15678"));
    QCOMPARE(b.CurrentCustomerId, 0);
    QCOMPARE(b.Combo_Name->currentText(), QString());
    QCOMPARE(b.HistoryKeys.size(), 0);
    QVERIFY(b.Label_NewCaller->isVisibleTo(&b));

    // A number stored as typed: no list, exactly as before, though another number ends with it.
    c.t.prompt().clear();
    search("5679");
    QVERIFY(c.t.prompt().shown().isEmpty());
    QCOMPARE(b.Combo_Name->currentText(), QString("江藤"));
    QVERIFY(c.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(CallersTest)
#include "test_callers.moc"
