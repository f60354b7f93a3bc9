// Registration of a booking (登録) and its recall from the board, end to end through the real board.
#include "data/Clock.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// Shops Ａ店 and Ｂ店; あい works at both (アイ at A, アイコ at B), on duty at A.
struct Desk
{
    TestApp t;
    qint32 shopA = 0, shopB = 0, ai = 0;

    explicit Desk(const QString &shopName = QStringLiteral("Ａ店"), const QString &nameAtA = QStringLiteral("アイ"))
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop(shopName, 10);
        shopB = t.addShop("Ｂ店", 10);
        t.module().LoadShopList();
        ai = t.addCompanion("あい", {nameAtA, "アイコ"}, {3, 0});
        t.module().LoadCompanionList();
        t.module().SyncStatusRows(ai);
        choose(0);
        grid().editCell(1, 2, "出勤");
    }
    ~Desk() { Clock::reset(); }

    Main_Form &b() { return t.board(); }
    Grid &grid() { return *t.board().Grid_Girl; }
    void choose(int p)
    {
        b().Combo_Shop_Name->setCurrentIndex(p);
        emit b().Combo_Shop_Name->activated(p);
    }
    // Ticks 空 on her row (the entry area gets shop, companion, date and now as start) and fills the rest.
    void takeBooking(const QString &end = "22:00", const QString &place = "ホテルＡ", const QString &pay = "10,000")
    {
        grid().clickCell(1, 3);
        fill(end, place, pay);
    }
    void fill(const QString &end, const QString &place, const QString &pay)
    {
        b().Text_End_Time->setText(end);
        b().Text_Place->setText(place);
        b().Combo_Course->setCurrentIndex(0);
        b().Label_Pay->setText(pay);
        b().Label_GirlPay->setText("6,000");
    }
    void customer(const QString &name, const QString &tel)
    {
        b().Combo_Name->setEditText(name);
        b().Text_Tel->setText(tel);
    }
    void regist() { b().RegisterBooking(); }
    QVariant at(const QString &sql, const QVariantList &binds = {}) { return t.db().scalar(sql, binds); }
    int historyRows() { return at("SELECT count(*) FROM 履歴;").toInt(); }
    QString status(qint32 shop, const QString &columns)
    {
        const Row r = *t.db().first("SELECT " + columns + " FROM 現在状況 WHERE [店舗ID]=? AND [コンパニオンID]=?;", {shop, ai});
        QStringList out;
        for (int i = 0; i < r.count(); ++i)
            out << (r.value(i).isNull() ? QStringLiteral("NULL") : r.value(i).toString());
        return out.join('|');
    }
};

} // namespace

class RegistrationTest : public QObject
{
    Q_OBJECT
private slots:
    void newCustomerByNumber();
    void customerFields_data();
    void customerFields();
    void sameBookingTwiceIsOneRow();
    void recallAndMoveTheStart();
    void cancellationFreesHerEverywhere();
    void cancellationWithoutStartTime();
    void notBusyWritesOnlyItsFourColumns();
    void cancelElsewhereKeepsHerOut();
    void failureWritesNothing();
    void quotesRoundTrip();
    void twoCustomersOnOneNumber();
};

void RegistrationTest::newCustomerByNumber()
{
    Desk d;
    d.customer("山田", "0901234");
    d.b().Combo_Rank->setEditText("上");
    d.takeBooking("22:30");
    d.regist();

    const Row c = *d.t.db().first("SELECT * FROM 顧客;");
    QCOMPARE(c.value("名前").toString(), QString("山田"));
    QCOMPARE(c.value("TEL").toString(), QString("0901234"));
    QCOMPARE(c.value("ランク").toString(), QString("上"));
    const Row h = *d.t.db().first("SELECT * FROM 履歴;");
    QCOMPARE(h.value("顧客ID").toInt(), c.value("顧客ID").toInt());
    QCOMPARE(h.value("年月日").toString(), QString("2026-12-08"));
    QCOMPARE(h.value("開始時刻").toString(), QString("21:00:00"));
    QCOMPARE(h.value("終了時刻").toString(), QString("22:30:00"));
    QCOMPARE(h.value("コース名").toString(), QString("A..60"));
    QCOMPARE(h.value("店売上").toInt(), 10000);
    QCOMPARE(h.value("コンパニオン支払").toInt(), 6000);
    QVERIFY(h.value("延長").isNull());
    QVERIFY(h.value("コース時間").isNull());
    QCOMPARE(h.value("未入力").toInt(), 0);   // never written: a bit reads False

    // Her row: busy with end, minutes left and place, on the board and in the store.
    QCOMPARE(d.status(d.shopA, "[出退勤],[空],[終了予定],[場所],[顧客ID]"),
             QString("1|1|22:30:00|ホテルＡ|%1").arg(c.value("顧客ID").toInt()));
    QCOMPARE(d.grid().text(1, 5), QString("22:30"));
    QCOMPARE(d.grid().text(1, 6), QString("90"));
    QCOMPARE(d.t.module().WarnState[0][1], 90);
    // The customer is reloaded and the entry area is empty again.
    QCOMPARE(d.b().Grid_Rireki->text(1, 0), QString("Ａ店"));
    QCOMPARE(d.b().Label_Total->text(), QString("¥10,000"));
    QVERIFY(d.b().Label_Girl_Name->text().isEmpty());
    QCOMPARE(d.b().CurrentCustomerId, c.value("顧客ID").toInt());
}

void RegistrationTest::customerFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tel");
    QTest::addColumn<bool>("withStart");
    QTest::addColumn<QString>("message");   // empty: registered
    QTest::addColumn<QString>("stored");    // name|tel

    QTest::newRow("name only") << "佐藤" << "" << true << "" << "佐藤|00000";
    QTest::newRow("placeholder number only") << "" << "00000" << true << "" << "00000|00000";
    QTest::newRow("number only") << "" << "0905" << true << "" << "NULL|0905";
    QTest::newRow("neither") << "" << "" << true << "顧客の名前か電話番号のどちらかの入力が必要です。" << "";
    QTest::newRow("no start time")
        << "佐藤" << "0905" << false
        << "登録に必要なデータが設定されていません。（最低、店舗名・コンパニオン名・開始時刻・終了時刻が必要！）" << "";
}

void RegistrationTest::customerFields()
{
    QFETCH(QString, name);
    QFETCH(QString, tel);
    QFETCH(bool, withStart);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    Desk d;
    d.customer(name, tel);
    d.takeBooking();
    if (!withStart)
        d.b().Text_Start_Time->clear();
    d.regist();

    QCOMPARE(d.t.prompt().lastMessage(), message);
    if (message.isEmpty()) {
        const Row c = *d.t.db().first("SELECT [名前],[TEL] FROM 顧客;");
        QCOMPARE((c.value(0).isNull() ? "NULL" : c.value(0).toString()) + "|" + c.value(1).toString(), stored);
        QCOMPARE(d.b().Text_Tel->text(), stored.section('|', 1));
        QCOMPARE(d.historyRows(), 1);
    } else {
        QCOMPARE(d.at("SELECT count(*) FROM 顧客;").toInt(), 0);
        QCOMPARE(d.historyRows(), 0);
    }
}

void RegistrationTest::sameBookingTwiceIsOneRow()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking("22:00", "駅前", "10,000");
    d.b().RegisterBooking();
    // The same booking again (same start), with other values.
    d.b().ResetBookingEntry();
    d.grid().clickCell(1, 0);   // recall fills shop, companion, date and start
    d.fill("23:00", "ホテルＢ", "15,000");
    d.b().LoadedStartTime.clear();
    d.regist();

    QCOMPARE(d.historyRows(), 1);
    const Row h = *d.t.db().first("SELECT [終了時刻],[場所],[店売上] FROM 履歴;");
    QCOMPARE(h.value(0).toString(), QString("23:00:00"));
    QCOMPARE(h.value(1).toString(), QString("ホテルＢ"));
    QCOMPARE(h.value(2).toInt(), 15000);
    QCOMPARE(d.at("SELECT count(*) FROM 顧客;").toInt(), 1);
}

void RegistrationTest::recallAndMoveTheStart()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking("22:30", "駅前", "13,000");
    d.regist();
    d.customer("", "");
    d.b().Combo_Name->clear();

    // A click on her name brings customer and booking back.
    d.grid().clickCell(1, 0);
    QCOMPARE(d.b().Combo_Name->currentText(), QString("山田"));
    QCOMPARE(d.b().Text_Tel->text(), QString("0901"));
    QCOMPARE(d.b().Label_Shop_Name->text(), QString("Ａ店"));
    QCOMPARE(d.b().Label_Girl_Name->text(), QString("アイ"));
    QCOMPARE(d.b().Label_Date->text(), QString("2026/12/08"));
    QCOMPARE(d.b().Text_Start_Time->text(), QString("21:00"));
    QCOMPARE(d.b().LoadedStartTime, QString("21:00"));
    QCOMPARE(d.b().Text_End_Time->text(), QString("22:30"));
    QCOMPARE(d.b().Text_Place->text(), QString("駅前"));
    QCOMPARE(d.b().Combo_Course->currentText(), QString("A..60"));
    QCOMPARE(d.b().Label_Pay->text(), QString("13,000"));
    QCOMPARE(d.b().Label_GirlPay->text(), QString("6,000"));
    QCOMPARE(d.b().SelectedBoardRow, 1);

    d.b().Text_Start_Time->setText("21:30");
    d.b().Text_End_Time->setText("23:00");
    d.regist();
    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.at("SELECT [開始時刻] FROM 履歴;").toString(), QString("21:30:00"));
    QCOMPARE(d.status(d.shopA, "[開始時刻],[終了予定]"), QString("21:30:00|23:00:00"));
}

void RegistrationTest::cancellationFreesHerEverywhere()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking();
    d.regist();
    QCOMPARE(d.status(d.shopB, "[空],[他店舗]"), QString("1|1"));

    d.grid().clickCell(1, 0);
    d.b().Check_Cancel->setChecked(true);
    d.b().Label_Pay->setText("3,000");
    d.regist();

    QCOMPARE(d.status(d.shopA, "[空],[終了予定],[場所]"), QString("0|NULL|NULL"));
    QCOMPARE(d.status(d.shopB, "[空],[他店舗]"), QString("0|0"));
    QCOMPARE(d.grid().text(1, 3), QString("False"));
    QCOMPARE(d.grid().text(1, 5) + d.grid().text(1, 6) + d.grid().text(1, 7), QString());
    QCOMPARE(d.t.module().WarnState[0][1], -1);
    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.at("SELECT [キャンセル] FROM 履歴;").toInt(), 1);
    QCOMPARE(d.at("SELECT [店売上] FROM 履歴;").toInt(), 3000);
}

void RegistrationTest::cancellationWithoutStartTime()
{
    Desk d;
    d.customer("山田", "0901");
    d.grid().clickCell(1, 3);
    d.b().Text_Start_Time->clear();
    d.b().Check_Cancel->setChecked(true);
    d.b().Label_Pay->setText("3,000");
    d.regist();
    QVERIFY(d.t.prompt().messages().isEmpty());
    QCOMPARE(d.historyRows(), 1);
    QVERIFY(d.at("SELECT [開始時刻] FROM 履歴;").isNull());

    // The same cancellation registered again is the same row, found by its empty start.
    d.grid().editCell(1, 2, "出勤");
    d.grid().clickCell(1, 3);
    d.b().Text_Start_Time->clear();
    d.b().Check_Cancel->setChecked(true);
    d.b().Label_Pay->setText("3,500");
    d.regist();
    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.at("SELECT [店売上] FROM 履歴;").toInt(), 3500);
}

void RegistrationTest::notBusyWritesOnlyItsFourColumns()
{
    Desk d;
    d.customer("山田", "0901");
    const QString before = d.status(d.shopA, "[出退勤],[空],[他店舗],[顧客ID],[年月日]");
    // The entry area as a recall leaves it, for a companion whose row is free.
    d.b().SelectedBoardRow = 1;
    d.b().Label_Shop_Name->setText("Ａ店");
    d.b().Label_GirlID->setText(QString::number(d.ai));
    d.b().Label_Date->setText("2026/12/08");
    d.b().Text_Start_Time->setText("20:00");
    d.fill("21:00", "自宅", "10,000");
    d.b().SelectedOptionMask = 2;
    d.regist();

    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.status(d.shopA, "[出退勤],[空],[他店舗],[顧客ID],[年月日]"), before);
    QCOMPARE(d.status(d.shopA, "[終了予定],[場所],[選択OP],[開始時刻]"), QString("21:00:00|自宅|2|20:00:00"));
    QCOMPARE(d.grid().text(1, 5), QString());
    QCOMPARE(d.grid().text(1, 11), QString("2"));
}

void RegistrationTest::cancelElsewhereKeepsHerOut()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking("22:30");
    d.regist();
    // At shop B she shows out for A; an old B booking of hers is cancelled there.
    d.choose(1);
    QCOMPARE(d.grid().text(1, 4), QString("True"));
    const QString before = d.status(d.shopB, "*");
    d.b().SelectedBoardRow = 1;
    d.b().Label_Shop_Name->setText("Ｂ店");
    d.b().Label_GirlID->setText(QString::number(d.ai));
    d.b().Label_Date->setText("2026/12/07");
    d.b().Text_Start_Time->setText("20:00");
    d.fill("21:00", "自宅", "3,000");
    d.b().Check_Cancel->setChecked(true);
    d.regist();

    QCOMPARE(d.historyRows(), 2);
    QCOMPARE(d.status(d.shopA, "[空],[終了予定]"), QString("1|22:30:00"));
    QCOMPARE(d.status(d.shopB, "*"), before);
    QCOMPARE(d.grid().text(1, 3), QString("True"));
}

void RegistrationTest::failureWritesNothing()
{
    Desk d;
    // A known customer, so the run covers the customer update, the history insert and the status writes.
    d.customer("山田", "0901");
    d.takeBooking();
    d.regist();
    d.grid().clickCell(1, 0);
    const auto arrange = [&] {
        d.t.prompt().clear();
        d.customer("山田", "0901");
        d.b().Text_Note->setText("常連");
        d.b().LoadedStartTime.clear();
        d.b().Text_Start_Time->setText("21:45");
        d.b().Check_Cancel->setChecked(true);
    };
    const int writes = rp::test::ForEachFailedWrite(d.t.db(), arrange, [&] { d.regist(); }, [&](int) {
        QVERIFY(d.t.prompt().lastMessage().startsWith("Error!!  "));
        // The board still shows her out, as the file does.
        QCOMPARE(d.grid().text(1, 3), QString("True"));
        QCOMPARE(d.b().Label_Girl_Name->text(), QString("アイ"));
    });
    QVERIFY2(writes >= 5, qPrintable(QString::number(writes)));
    QCOMPARE(d.historyRows(), 2);
    QCOMPARE(d.status(d.shopB, "[空]"), QString("0"));
}

void RegistrationTest::quotesRoundTrip()
{
    Desk d("O'Shop", "ア'イ");
    d.t.db().exec("UPDATE 店舗 SET [C1名]=?;", {"It's"});
    d.choose(1);
    d.choose(0);
    d.grid().editCell(1, 2, "出勤");
    d.customer("O'Brien", "0901");
    d.b().Text_Note->setText("say \"hi\" ' ; --");
    d.takeBooking("22:00", "Joe's bar");
    d.regist();

    const Row c = *d.t.db().first("SELECT [名前],[備考] FROM 顧客;");
    QCOMPARE(c.value(0).toString(), QString("O'Brien"));
    QCOMPARE(c.value(1).toString(), QString("say \"hi\" ' ; --"));
    QCOMPARE(d.at("SELECT [コース名] FROM 履歴;").toString(), QString("It's..60"));
    QCOMPARE(d.b().Grid_Rireki->text(1, 0), QString("O'Shop"));
    QCOMPARE(d.b().Grid_Rireki->text(1, 1), QString("ア'イ"));
    QCOMPARE(d.b().Grid_Rireki->text(1, 6), QString("Joe's bar"));
    d.grid().clickCell(1, 0);
    QCOMPARE(d.b().Text_Place->text(), QString("Joe's bar"));
    QCOMPARE(d.b().Combo_Course->currentText(), QString("It's..60"));
    QCOMPARE(d.b().Text_Note->text(), QString("say \"hi\" ' ; --"));
}

void RegistrationTest::twoCustomersOnOneNumber()
{
    Desk d;
    d.t.db().exec("INSERT INTO 顧客([名前],[TEL],[備考]) VALUES('花子','0901','A'),('桃子','0901','B');");
    d.b().Text_Tel->setText("0901");
    d.b().Cmd_Search_Click();
    QCOMPARE(d.b().Combo_Name->count(), 2);
    d.b().Combo_Name->setCurrentIndex(1);
    d.b().Combo_Name_Click(1);
    d.b().Text_Note->setText("B2");
    d.takeBooking();
    d.regist();

    QCOMPARE(d.at("SELECT [名前] FROM 顧客 WHERE [備考]='A';").toString(), QString("花子"));
    QCOMPARE(d.at("SELECT [備考] FROM 顧客 WHERE [名前]='桃子';").toString(), QString("B2"));
    QCOMPARE(d.at("SELECT c.[名前] FROM 履歴 h JOIN 顧客 c ON c.[顧客ID]=h.[顧客ID];").toString(), QString("桃子"));
    QCOMPARE(d.b().Combo_Name->currentText(), QString("桃子"));
    QCOMPARE(d.b().Label_Total->text(), QString("¥10,000"));
    QCOMPARE(d.at("SELECT count(*) FROM 顧客;").toInt(), 2);
}

QTEST_MAIN(RegistrationTest)
#include "test_registration.moc"
