// NG pairs: which bar applies and which are shown, the reason's check, the store keeping bars through
// a purge, the NG登録 dialog, and the board's marks and question before a barred companion is booked.
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "maintenance/Maintenance.h"
#include "reception/Grid.h"
#include "reception/NgDialog.h"
#include "reception/NgStore.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace rp;
using rp::test::TestApp;

namespace {

NgBar bar(qint32 id, qint32 shop, std::optional<qint32> girl, const QString &reason, const QString &date,
          bool listed = true)
{
    NgBar b;
    b.id = id;
    b.customerId = 1;
    b.shopId = shop;
    b.companionId = girl;
    b.reason = reason;
    b.date = QDate::fromString(date, Qt::ISODate);
    b.shopListed = girl ? true : listed;
    b.companionListed = girl ? listed : false;
    return b;
}

// One customer's bars: her own at shop 1 and a newer one at shop 2, a whole shop 2, a deleted companion
// and a deleted shop.
QVector<NgBar> someBars()
{
    return {bar(1, 1, 10, "A", "2026-01-01"), bar(2, 2, std::nullopt, "B", "2026-02-01"),
            bar(3, 1, 11, "C", "2026-04-01", false), bar(4, 3, std::nullopt, "D", "2026-04-01", false),
            bar(5, 2, 10, "E", "2026-03-01")};
}

struct Board
{
    TestApp t;
    qint32 shop = 0, ai = 0, miki = 0, hanako = 0;

    Board()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shop = t.addShop("Ａ店");
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {"アイ"});
        miki = t.addCompanion("みき", {"ミキ"});
        t.module().LoadCompanionList();
        t.module().SyncStatusRows(ai);
        t.module().SyncStatusRows(miki);
        hanako = t.db().insertReturningId("顧客", {"名前", "TEL"}, {"花子", "0901"}, "顧客ID");
        b().Combo_Shop_Name->setCurrentIndex(0);
        emit b().Combo_Shop_Name->activated(0);
        for (int r = 1; r <= b().BoardRowCount; ++r)
            b().Grid_Girl->editCell(r, 2, "出勤");
    }
    ~Board() { Clock::reset(); }
    Main_Form &b() { return t.board(); }
    int rowOf(qint32 girl)
    {
        for (int r = 1; r <= b().BoardRowCount; ++r)
            if (b().Grid_Girl->text(r, 8) == QString::number(girl))
                return r;
        return 0;
    }
    void search(const QString &tel)
    {
        b().Text_Tel->setText(tel);
        b().Cmd_Search_Click();
    }
    qint32 barFor(qint32 customer, std::optional<qint32> girl, const QString &reason)
    {
        NgBar n;
        n.customerId = customer;
        n.shopId = shop;
        n.companionId = girl;
        n.reason = reason;
        n.date = QDate(2026, 11, 1);
        return AddNgBar(t.db(), n);
    }
    bool marked(qint32 girl)
    {
        const int r = rowOf(girl);
        return b().Grid_Girl->cellBackground(r, 0) == Main_Form::NgColour
            && b().Grid_Girl->cellBackground(r, 1) == Main_Form::NgColour;
    }
};

} // namespace

class NgTest : public QObject
{
    Q_OBJECT
private slots:
    void barFor_data();
    void barFor();
    void shownBarsNewestFirst();
    void reasonCheck_data();
    void reasonCheck();
    void storeKeepsBarsThroughPurge();
    void dialogAddsAndLifts();
    void boardMarksAndAsks();
};

void NgTest::barFor_data()
{
    QTest::addColumn<int>("shop");
    QTest::addColumn<int>("girl");
    QTest::addColumn<QString>("reason");   // empty: not barred

    QTest::newRow("her own bar, the newest") << 1 << 10 << "E";
    QTest::newRow("hers wins over the shop's") << 2 << 10 << "E";
    QTest::newRow("whole shop") << 2 << 12 << "B";
    QTest::newRow("whole shop is that shop only") << 1 << 12 << "";
    QTest::newRow("deleted companion") << 1 << 11 << "";
    QTest::newRow("deleted shop") << 3 << 12 << "";
}

void NgTest::barFor()
{
    QFETCH(int, shop);
    QFETCH(int, girl);
    QFETCH(QString, reason);
    const std::optional<NgBar> found = BarFor(someBars(), shop, girl);
    QCOMPARE(found ? found->reason : QString(), reason);
}

void NgTest::shownBarsNewestFirst()
{
    QStringList reasons;
    for (const NgBar &b : ShownBars(someBars()))
        reasons << b.reason;
    QCOMPARE(reasons, QStringList({"E", "B", "A"}));
}

void NgTest::reasonCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");   // empty: accepted
    QTest::newRow("given") << "遅刻が多い" << "";
    QTest::newRow("25 wide") << QString(25, QChar(0x5C71)) << "";
    QTest::newRow("26 wide") << QString(26, QChar(0x5C71)) << NgReasonTooLongMessage();
    QTest::newRow("empty") << "" << NgReasonMissingMessage();
    QTest::newRow("blanks") << "　 " << NgReasonMissingMessage();
}

void NgTest::reasonCheck()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    const FieldCheck check = CheckNgReason(text);
    QCOMPARE(check.ok, message.isEmpty());
    QCOMPARE(check.message, message);
}

void NgTest::storeKeepsBarsThroughPurge()
{
    Board s;
    const qint32 other = s.t.db().insertReturningId("顧客", {"名前", "TEL"}, {"桃子", "0902"}, "顧客ID");
    s.barFor(s.hanako, s.ai, "あい");
    s.barFor(s.hanako, std::nullopt, "店");
    s.barFor(other, s.miki, "桃子の");
    const auto listed = [&] {
        QStringList out;
        for (const NgBar &b : NgBarsOf(s.t.db(), s.hanako))
            out << QString("%1|%2|%3|%4|%5").arg(b.shopName, b.companionName, b.reason).arg(b.shopListed).arg(b.companionListed);
        return out;
    };
    QCOMPARE(listed(), QStringList({"Ａ店|あい|あい|1|1", "Ａ店||店|1|0"}));

    // Deleted, then purged with every booking: the bar stays stored, and is no longer shown.
    s.t.db().exec("UPDATE \"コンパニオン\" SET \"削除FLAG\"=1 WHERE \"コンパニオンID\"=?;", {s.ai});
    maintenance::PurgeHistory(s.t.db(), QDate(2026, 12, 31));
    QCOMPARE(s.t.db().scalar("SELECT count(*) FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;", {s.ai}).toInt(), 0);
    QCOMPARE(listed(), QStringList({"Ａ店||あい|1|0", "Ａ店||店|1|0"}));
    QCOMPARE(ShownBars(NgBarsOf(s.t.db(), s.hanako)).size(), 1);
    QCOMPARE(s.t.db().scalar("SELECT count(*) FROM \"NG\";").toInt(), 3);
}

void NgTest::dialogAddsAndLifts()
{
    Board s;
    NgDialog d(s.t.module(), {s.hanako, "花子", "0901", {}, {}}, s.shop, BusinessDate(Clock::now()), &s.b());
    QCOMPARE(d.Date_Ng->date(), QDate(2026, 12, 8));
    QCOMPARE(d.Combo_NgGirl->itemText(0), QString("店舗全体"));

    d.Cmd_NgAdd->click();   // no reason: told, nothing stored
    QCOMPARE(s.t.prompt().messages(), QStringList{NgReasonMissingMessage()});
    d.Combo_NgGirl->setCurrentIndex(d.Combo_NgGirl->findText("みき"));
    d.Text_NgReason->setText("約束を守らない");
    d.Cmd_NgAdd->click();
    d.Combo_NgGirl->setCurrentIndex(0);
    d.Text_NgReason->setText("支払いトラブル");
    d.Date_Ng->setDate(QDate(2026, 12, 9));
    d.Cmd_NgAdd->click();
    QCOMPARE(d.List_Ng->topLevelItemCount(), 2);
    const QTreeWidgetItem *top = d.List_Ng->topLevelItem(0);
    QCOMPARE(QStringList({top->text(0), top->text(1), top->text(2), top->text(3)}),
             QStringList({"Ａ店", "店舗全体", "支払いトラブル", "2026/12/09"}));

    const QString shot = qEnvironmentVariable("RP_NG_SHOT_DIR");
    if (!shot.isEmpty()) {
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.grab().save(shot + "/ng-dialog.png");
    }

    // Lifting asks first; Cancel keeps the bar.
    s.t.prompt().answer(Answer::Cancel);
    d.Cmd_NgLift->click();
    QCOMPARE(d.List_Ng->topLevelItemCount(), 2);
    s.t.prompt().answer(Answer::Ok);
    d.Cmd_NgLift->click();
    QCOMPARE(d.List_Ng->topLevelItemCount(), 1);
    QCOMPARE(s.t.db().scalar("SELECT \"理由\" FROM \"NG\";").toString(), QString("約束を守らない"));
    QCOMPARE(s.t.db().scalar("SELECT \"コンパニオンID\" FROM \"NG\";").toInt(), s.miki);
    QVERIFY(s.t.prompt().unexpected().isEmpty());
}

void NgTest::boardMarksAndAsks()
{
    Board s;
    s.barFor(s.hanako, s.ai, "遅刻が多い");
    Main_Form &b = s.b();

    // Marked while she is shown, with the reason on the name.
    s.search("0901");
    QVERIFY(s.marked(s.ai));
    QVERIFY(!s.marked(s.miki));
    QVERIFY(b.Grid_Girl->cellToolTip(s.rowOf(s.ai), 0).contains("遅刻が多い"));
    const QString shot = qEnvironmentVariable("RP_NG_SHOT_DIR");
    if (!shot.isEmpty()) {
        b.resize(1366, 768);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.grab().save(shot + "/ng-board.png");
    }

    // Picking her asks; Cancel leaves her free and the file as it was.
    const QStringList before = test::DumpStore(s.t.db());
    s.t.prompt().answer(Answer::Cancel);
    b.Grid_Girl->clickCell(s.rowOf(s.ai), 3);
    QCOMPARE(s.t.prompt().messages(), QStringList{NgQuestion(NgBarsOf(s.t.db(), s.hanako).first(), "アイ")});
    QCOMPARE(b.Grid_Girl->text(s.rowOf(s.ai), 3), QString("False"));
    QVERIFY(b.Label_GirlID->text().isEmpty());
    QCOMPARE(test::DumpStore(s.t.db()), before);

    // Another caller: the marks go. Picked for nobody, she is not asked about.
    s.search("0999");
    QVERIFY(!s.marked(s.ai));
    s.t.prompt().clear();
    b.Grid_Girl->clickCell(s.rowOf(s.ai), 3);
    QVERIFY(s.t.prompt().shown().isEmpty());
    QCOMPARE(b.Label_GirlID->text(), QString::number(s.ai));

    // Her number typed without a search, then 登録: asked; Cancel stores nothing, OK registers.
    b.Text_Tel->setText("0901");
    b.Combo_Name->setEditText("花子");
    b.Text_End_Time->setText("22:00");
    const QStringList picked = test::DumpStore(s.t.db());
    s.t.prompt().answer(Answer::Cancel);
    b.Cmd_Regist->click();
    QCOMPARE(s.t.prompt().messages().size(), 1);
    QCOMPARE(test::DumpStore(s.t.db()), picked);
    s.t.prompt().answer(Answer::Ok);
    b.Cmd_Regist->click();
    QCOMPARE(s.t.prompt().messages().size(), 2);
    QCOMPARE(s.t.db().scalar("SELECT count(*) FROM \"履歴\" WHERE \"顧客ID\"=? AND \"コンパニオンID\"=?;", {s.hanako, s.ai}).toInt(), 1);
    // Registered, she is shown again, and so are the marks.
    QCOMPARE(b.CurrentCustomerId, s.hanako);
    QVERIFY(s.marked(s.ai));

    // Her booking recalled and cancelled: she goes nowhere, nothing is asked.
    b.Grid_Girl->clickCell(s.rowOf(s.ai), 0);
    b.Check_Cancel->click();
    b.Cmd_Regist->click();
    QCOMPARE(s.t.prompt().messages().size(), 2);
    QCOMPARE(s.t.db().scalar("SELECT \"キャンセル\" FROM \"履歴\" WHERE \"顧客ID\"=?;", {s.hanako}).toInt(), 1);
    QVERIFY(s.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(NgTest)
#include "test_ng.moc"
