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
    // The entry area as a recall leaves it (shop, companion, date, start), without the board's help.
    void fillAsRecalled(const QString &date, const QString &start, const QString &pay)
    {
        b().SelectedBoardRow = 1;
        b().Label_GirlID->setText(QString::number(ai));
        b().Label_Date->setText(date);
        b().Text_Start_Time->setText(start);
        fill("21:00", "自宅", pay);
    }
    int historyRows() { return t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(); }
    // The first row of a query as "a|b|c", NULL written out.
    QString row(const QString &sql, const QVariantList &binds = {})
    {
        const Row r = *t.db().first(sql, binds);
        QStringList out;
        for (int i = 0; i < r.count(); ++i)
            out << (r.value(i).isNull() ? QStringLiteral("NULL") : r.value(i).toString());
        return out.join('|');
    }
    QString status(qint32 shop, const QString &columns)
    {
        return row("SELECT " + columns + " FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;", {shop, ai});
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
    void recallRegisterAgainAndMoveTheStart();
    void cancellationFreesHerEverywhere();
    void cancellationWithoutStartTime();
    void rowNotOutHere_data();
    void rowNotOutHere();
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

    const QString cid = d.row("SELECT \"顧客ID\" FROM \"顧客\";");
    QCOMPARE(d.row("SELECT \"名前\",\"TEL\",\"ランク\" FROM \"顧客\";"), QString("山田|0901234|上"));
    QCOMPARE(d.row("SELECT * FROM \"履歴\";"),
             QString("%1|%2|%3|2026-12-08|21:00:00|22:30:00|ホテルＡ|A..60|NULL|0|NULL|0|0|10000|6000|0")
                 .arg(cid).arg(d.shopA).arg(d.ai));
    // Her row: busy with end, minutes left and place, on the board and in the store.
    QCOMPARE(d.status(d.shopA, "\"出退勤\",\"空\",\"終了予定\",\"場所\",\"顧客ID\""), "1|1|22:30:00|ホテルＡ|" + cid);
    QCOMPARE(d.grid().text(1, 5) + " " + d.grid().text(1, 6), QString("22:30 90"));
    QCOMPARE(d.t.module().WarnState[0][1], 90);
    // The customer is reloaded and the entry area is empty again.
    QCOMPARE(d.b().Label_Total->text(), QString("¥10,000"));
    QVERIFY(d.b().Label_Girl_Name->text().isEmpty());
    QCOMPARE(QString::number(d.b().CurrentCustomerId), cid);
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
    QCOMPARE(d.historyRows(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty()) {
        QCOMPARE(d.row("SELECT \"名前\",\"TEL\" FROM \"顧客\";"), stored);
        QCOMPARE(d.b().Text_Tel->text(), stored.section('|', 1));
    }
}

void RegistrationTest::recallRegisterAgainAndMoveTheStart()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking("22:30", "駅前", "13,000");
    d.regist();
    d.customer("", "");

    // A click on her name brings customer and booking back.
    d.grid().clickCell(1, 0);
    const QStringList shown{d.b().Combo_Name->currentText(), d.b().Text_Tel->text(), d.b().Label_Shop_Name->text(),
                            d.b().Label_Girl_Name->text(), d.b().Label_Date->text(), d.b().Text_Start_Time->text(),
                            d.b().LoadedStartTime, d.b().Text_End_Time->text(), d.b().Text_Place->text(),
                            d.b().Combo_Course->currentText(), d.b().Label_Pay->text(), d.b().Label_GirlPay->text()};
    QCOMPARE(shown.join('|'), QString("山田|0901|Ａ店|アイ|2026/12/08|21:00|21:00|22:30|駅前|A..60|13,000|6,000"));
    QCOMPARE(d.b().SelectedBoardRow, 1);

    // Registered again as it is: the same row, with the new values.
    d.fill("23:00", "ホテルＢ", "15,000");
    d.regist();
    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.row("SELECT \"開始時刻\",\"終了時刻\",\"場所\",\"店売上\" FROM \"履歴\";"), QString("21:00:00|23:00:00|ホテルＢ|15000"));

    // Recalled and moved: still that row, under the new start.
    d.grid().clickCell(1, 0);
    d.b().Text_Start_Time->setText("21:30");
    d.regist();
    QCOMPARE(d.historyRows(), 1);
    QCOMPARE(d.row("SELECT \"開始時刻\" FROM \"履歴\";"), QString("21:30:00"));
    QCOMPARE(d.status(d.shopA, "\"開始時刻\",\"終了予定\""), QString("21:30:00|23:00:00"));
}

void RegistrationTest::cancellationFreesHerEverywhere()
{
    Desk d;
    d.customer("山田", "0901");
    d.takeBooking();
    d.regist();
    QCOMPARE(d.status(d.shopB, "\"空\",\"他店舗\""), QString("1|1"));

    d.grid().clickCell(1, 0);
    d.b().Check_Cancel->setChecked(true);
    d.b().Label_Pay->setText("3,000");
    d.regist();

    QCOMPARE(d.status(d.shopA, "\"空\",\"終了予定\",\"場所\""), QString("0|NULL|NULL"));
    QCOMPARE(d.status(d.shopB, "\"空\",\"他店舗\""), QString("0|0"));
    QCOMPARE(d.grid().text(1, 3) + d.grid().text(1, 5) + d.grid().text(1, 6) + d.grid().text(1, 7), QString("False"));
    QCOMPARE(d.t.module().WarnState[0][1], -1);
    QCOMPARE(d.row("SELECT count(*),max(\"キャンセル\"),max(\"店売上\") FROM \"履歴\";"), QString("1|1|3000"));
}

void RegistrationTest::cancellationWithoutStartTime()
{
    Desk d;
    d.customer("山田", "0901");
    for (const QString &pay : {"3,000", "3,500"}) {
        d.grid().clickCell(1, 3);
        d.b().Text_Start_Time->clear();
        d.b().Check_Cancel->setChecked(true);
        d.b().Label_Pay->setText(pay);
        d.regist();
    }
    // Stored without a start, and found again by it: the second registration is the same row.
    QVERIFY(d.t.prompt().messages().isEmpty());
    QCOMPARE(d.row("SELECT count(*),max(\"開始時刻\"),max(\"店売上\") FROM \"履歴\";"), QString("1|NULL|3500"));
}

void RegistrationTest::rowNotOutHere_data()
{
    QTest::addColumn<bool>("outForA");
    QTest::newRow("free here: four columns") << false;
    QTest::newRow("out for another shop: nothing") << true;
}

void RegistrationTest::rowNotOutHere()
{
    QFETCH(bool, outForA);
    Desk d;
    d.customer("山田", "0901");
    if (outForA) {
        d.takeBooking("22:30");
        d.regist();
        d.choose(1);
    }
    const qint32 shop = outForA ? d.shopB : d.shopA;
    const QString untouched = "\"出退勤\",\"空\",\"他店舗\",\"顧客ID\",\"年月日\"";
    const QString before = d.status(shop, untouched);
    const QString written = d.status(shop, "\"終了予定\",\"場所\",\"選択OP\",\"開始時刻\"");
    d.fillAsRecalled("2026/12/07", "20:00", "3,000");
    d.b().SelectedOptionMask = 2;
    d.b().Check_Cancel->setChecked(outForA);
    d.regist();

    QCOMPARE(d.historyRows(), outForA ? 2 : 1);
    QCOMPARE(d.status(shop, untouched), before);
    QCOMPARE(d.status(shop, "\"終了予定\",\"場所\",\"選択OP\",\"開始時刻\""), outForA ? written : "21:00:00|自宅|2|20:00:00");
    QCOMPARE(d.grid().text(1, 5), QString());
    if (outForA)   // her booking for A runs on
        QCOMPARE(d.status(d.shopA, "\"空\",\"終了予定\""), QString("1|22:30:00"));
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
    QCOMPARE(d.status(d.shopB, "\"空\""), QString("0"));
}

void RegistrationTest::quotesRoundTrip()
{
    Desk d("O'Shop", "ア'イ");
    d.t.db().exec("UPDATE \"店舗\" SET \"C1名\"=?;", {"It's"});
    d.choose(1);
    d.choose(0);
    d.customer("O'Brien", "0901");
    d.b().Text_Note->setText("say \"hi\" ' ; --");
    d.takeBooking("22:00", "Joe's bar");
    d.regist();

    QCOMPARE(d.row("SELECT \"名前\",\"備考\" FROM \"顧客\";"), QString("O'Brien|say \"hi\" ' ; --"));
    QCOMPARE(d.row("SELECT \"コース名\" FROM \"履歴\";"), QString("It's..60"));
    QCOMPARE(d.b().Grid_Rireki->text(1, 0) + d.b().Grid_Rireki->text(1, 1) + d.b().Grid_Rireki->text(1, 6),
             QString("O'Shopア'イJoe's bar"));
    d.grid().clickCell(1, 0);
    QCOMPARE(d.b().Text_Place->text() + d.b().Combo_Course->currentText() + d.b().Text_Note->text(),
             QString("Joe's barIt's..60say \"hi\" ' ; --"));
}

void RegistrationTest::twoCustomersOnOneNumber()
{
    Desk d;
    d.t.db().exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\",\"備考\") VALUES('花子','0901','A'),('桃子','0901','B');");
    d.b().Text_Tel->setText("0901");
    d.b().Cmd_Search_Click();
    d.b().Combo_Name->setCurrentIndex(1);
    d.b().Combo_Name_Click(1);
    d.b().Text_Note->setText("B2");
    d.takeBooking();
    d.regist();

    // Filed under the one chosen; the first on the number keeps her name.
    QStringList customers;
    for (const Row &r : d.t.db().rows("SELECT \"名前\" || '/' || \"備考\" FROM \"顧客\" ORDER BY \"顧客ID\";"))
        customers << r.value(0).toString();
    QCOMPARE(customers.join(','), QString("花子/A,桃子/B2"));
    QCOMPARE(d.row("SELECT c.\"名前\" FROM \"履歴\" h JOIN \"顧客\" c ON c.\"顧客ID\"=h.\"顧客ID\";"), QString("桃子"));
    QCOMPARE(d.b().Combo_Name->currentText() + d.b().Label_Total->text(), QString("桃子¥10,000"));
}

QTEST_MAIN(RegistrationTest)
#include "test_registration.moc"
