// The charge lines of a booking (履歴明細) in step with its 履歴 row: registration, a recalled booking
// registered again, deletion, purge, and a file that comes without the table.
#include "data/Clock.h"
#include "data/Schema.h"
#include "maintenance/Maintenance.h"
#include "reception/ChargeStore.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/PgTest.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// Ａ店: course A..60 at 10,000 (rate 40), option 泡 at 1,001 (its own 50), nomination 2,000 at 50,
// cancellation 3,000 at 50. あい (アイ at Ａ店) offers 泡 and has 5 points on course 1; on duty.
struct Desk
{
    TestApp t;
    qint32 shop = 0, ai = 0;

    Desk()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shop = t.addShop("Ａ店", 10);
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"='泡',\"OP1料金\"=1001,\"OP1割合\"=50;");
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {"アイ"}, {1});
        t.db().exec("UPDATE \"コンパニオン\" SET \"C1割増\"=5;");
        t.module().LoadCompanionList();
        t.module().SyncStatusRows(ai);
        b().Combo_Shop_Name->setCurrentIndex(0);
        emit b().Combo_Shop_Name->activated(0);
        grid().editCell(1, 2, "出勤");
    }
    ~Desk() { Clock::reset(); }

    Main_Form &b() { return t.board(); }
    Grid &grid() { return *t.board().Grid_Girl; }
    // She goes out at 21:00 for 山田 on A..60 with 泡 and a nomination, priced by the board.
    void takePricedBooking()
    {
        b().Combo_Name->setEditText("山田");
        b().Text_Tel->setText("0901");
        grid().clickCell(1, 3);
        b().Combo_Course->setCurrentIndex(0);
        emit b().Combo_Course->activated(0);
        b().Check_Option[0]->click();
        b().Check_Shimei->click();
    }
    QStringList lines(const QString &start = "21:00:00")
    {
        const HistoryKey key{b().CurrentCustomerId, shop, ai, QDate(2026, 12, 8), QTime::fromString(start, "HH:mm:ss")};
        QStringList out;
        for (const StoredCharge &l : LoadCharges(t.db(), key))
            out << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(l.kind, l.name).arg(l.price).arg(l.rate).arg(l.surcharge).arg(l.pay);
        return out;
    }
    int allLines() { return t.db().scalar("SELECT count(*) FROM \"履歴明細\";").toInt(); }
    QString amounts() { return t.db().first("SELECT \"店売上\" || '|' || \"コンパニオン支払\" FROM \"履歴\";")->value(0).toString(); }
};

// 10,000 x 0.65f = 6,499.9995; 泡 1,001 x 0.5 = 500.5; nomination 1,000: her 7,999.9995 + 0.5 shows as 8,000.
const QStringList PricedLines{"コース|A..60|10000|40|5|6500", "オプション|泡|1001|50|0|500", "指名|指名料|2000|50|0|1000"};

} // namespace

class TestChargeLines : public QObject
{
    Q_OBJECT
private slots:
    void registrationKeepsTheLinesBesideTheRow();
    void recalledBookingRegisteredAgain();
    void bookingWithoutPricingHasNoLines();
    void registrationWithLinesIsAllOrNothing();
    void deletionAndPurgeTakeTheLines();
    void fileWithoutTheTableGetsItOnOpening();
};

void TestChargeLines::registrationKeepsTheLinesBesideTheRow()
{
    Desk d;
    d.takePricedBooking();
    QCOMPARE(d.b().Label_Pay->text() + " " + d.b().Label_GirlPay->text(), QString("13,001 8,000"));
    d.b().RegisterBooking();
    QCOMPARE(d.amounts(), QString("13001|8000"));
    QCOMPARE(d.lines(), PricedLines);
}

void TestChargeLines::recalledBookingRegisteredAgain()
{
    Desk d;
    d.takePricedBooking();
    d.b().RegisterBooking();

    // Recalled and moved without a priced change: the stored amounts stand, the lines follow the start.
    d.grid().clickCell(1, 0);
    d.b().Text_Start_Time->setText("21:15");
    d.b().RegisterBooking();
    QCOMPARE(d.lines("21:00:00"), QStringList());
    QCOMPARE(d.lines("21:15:00"), PricedLines);

    // Recalled and re-priced (the nomination taken off): the new lines replace the old ones.
    d.grid().clickCell(1, 0);
    d.b().Check_Shimei->click();
    d.b().RegisterBooking();
    QCOMPARE(d.amounts(), QString("11001|7000"));
    QCOMPARE(d.lines("21:15:00"), PricedLines.mid(0, 2));

    // Recalled when the shop's tariff has changed since: the stored amounts are shown and kept, and
    // so are the lines that explain them; a cancellation then is priced and explained anew.
    d.t.db().exec("UPDATE \"店舗\" SET \"C1料金1\"=12000;");
    d.b().Combo_Shop_Name->setCurrentIndex(0);
    emit d.b().Combo_Shop_Name->activated(0);
    d.grid().clickCell(1, 0);
    d.b().RegisterBooking();
    QCOMPARE(d.lines("21:15:00"), PricedLines.mid(0, 2));
    d.grid().clickCell(1, 0);
    d.b().Check_Cancel->click();
    d.b().RegisterBooking();
    QCOMPARE(d.amounts(), QString("3000|1500"));
    QCOMPARE(d.lines("21:15:00"), QStringList{"キャンセル|キャンセル料|3000|50|0|1500"});
    QCOMPARE(d.allLines(), 1);
}

void TestChargeLines::bookingWithoutPricingHasNoLines()
{
    Desk d;
    d.takePricedBooking();
    // Amounts that no pricing gave (as a row written before the lines were kept): totals only.
    d.b().Label_Pay->setText("9,999");
    d.b().RegisterBooking();
    QCOMPARE(d.amounts(), QString("9999|8000"));
    QCOMPARE(d.allLines(), 0);

    // Stray lines under the key of a row that has none are not taken for its own.
    const HistoryKey key{d.b().CurrentCustomerId, d.shop, d.ai, QDate(2026, 12, 8), QTime(21, 0)};
    d.t.db().exec("INSERT INTO \"履歴明細\"(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"行番号\",\"種別\",\"料金\",\"支払\") "
                  "VALUES(?,?,?,'2026-12-08','21:00:00',1,'コース',9999,8000);",
                  {key.customerId, key.shopId, key.companionId});
    d.grid().clickCell(1, 0);
    d.b().Label_Pay->setText("9,000");
    d.b().RegisterBooking();
    QCOMPARE(d.allLines(), 0);
}

void TestChargeLines::registrationWithLinesIsAllOrNothing()
{
    Desk d;
    const auto arrange = [&] {
        d.t.prompt().clear();
        d.b().ResetBookingEntry();
        d.grid().setText(1, 3, "False");
        d.takePricedBooking();
    };
    const int writes = test::ForEachFailedWrite(d.t.db(), arrange, [&] { d.b().RegisterBooking(); }, [&](int) {
        QVERIFY(d.t.prompt().lastMessage().startsWith("Error!!  "));
        QCOMPARE(d.allLines(), 0);
    });
    // Customer, history row, its lines in one statement, her status row, the commit.
    QCOMPARE(writes, 5);
    QCOMPARE(d.lines(), PricedLines);
}

void TestChargeLines::deletionAndPurgeTakeTheLines()
{
    Desk d;
    d.takePricedBooking();
    d.b().RegisterBooking();
    const HistoryKey today{d.b().CurrentCustomerId, d.shop, d.ai, QDate(2026, 12, 8), QTime(21, 0)};
    const HistoryKey earlier{today.customerId, d.shop, d.ai, QDate(2026, 12, 1), QTime(20, 0)};
    d.t.db().exec("INSERT INTO \"履歴\"(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"店売上\",\"コンパニオン支払\") "
                  "VALUES(?,?,?,'2026-12-01','20:00:00',10000,6000);",
                  {earlier.customerId, earlier.shopId, earlier.companionId});
    StoreCharges(d.t.db(), earlier, earlier, QVector<StoredCharge>{{"コース", "A..60", 10000, 40, 0, 6000}}, 10000, 6000, false);
    QCOMPARE(d.allLines(), 4);

    // The purge up to 12/05 takes the first of December with its line.
    maintenance::PurgeHistory(d.t.db(), QDate(2026, 12, 5));
    QCOMPARE(d.allLines(), 3);

    // 削除 on the history line: the booking and its lines go.
    d.b().LoadCustomer();
    d.b().Grid_Rireki->select(1, 0);
    d.t.prompt().answer(Answer::Yes);
    d.b().mnuRDel_Click();
    QCOMPARE(d.t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(), 0);
    QCOMPARE(d.allLines(), 0);
}

void TestChargeLines::fileWithoutTheTableGetsItOnOpening()
{
    if (rp::test::OnPostgres())
        QSKIP("the file operations are SQLite's");
    Desk d;
    d.takePricedBooking();
    d.b().RegisterBooking();
    // A backup as a file from before the lines were kept: the same bookings, no 履歴明細.
    const QString older = d.t.folder() + "/older.mdb";
    d.t.db().compactInto(older);
    {
        Database file;
        file.open(older);
        file.exec("DROP TABLE \"履歴明細\";");
        file.close();
    }
    d.t.prompt().clear();
    d.t.prompt().answerText(older);
    d.t.prompt().answer(Answer::Ok);   // the file's contents are replaced
    d.b().mnuRestore_Click();
    QVERIFY2(d.t.prompt().unexpected().isEmpty() && !d.t.prompt().lastMessage().startsWith("Error!!"),
             qPrintable(d.t.prompt().messages().join('\n')));
    QVERIFY(d.t.db().tableExists("履歴明細"));
    QCOMPARE(d.allLines(), 0);
    QCOMPARE(d.amounts(), QString("13001|8000"));

    // Compaction keeps the table and its lines.
    d.grid().clickCell(1, 0);
    d.b().Check_Shimei->click();
    d.b().RegisterBooking();
    d.t.prompt().answer(Answer::Ok);
    d.b().mnuCompact_Click();
    QCOMPARE(d.allLines(), 2);
}

QTEST_MAIN(TestChargeLines)
#include "test_chargelines.moc"
