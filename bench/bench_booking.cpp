// Taking a booking on the real board: the caller's number and history, registration, shop selection.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

using namespace rp;

// Every box is answered at once with its first choice; nothing waits for a person.
class AnsweringPrompt : public PromptService
{
public:
    Answer message(QWidget *, const QString &, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return {}; }
    std::optional<int> choose(QWidget *, const ChoiceSpec &spec) override
    {
        return spec.rows.isEmpty() ? std::nullopt : std::optional<int>(0);
    }
};

RP_BENCH("booking")
{
    const QString folder = bench::Agency::freshFolder(QStringLiteral("booking"));
    const QDate lastDay = QDate::fromString(bench::Agency::lastDay(), Qt::ISODate);
    Clock::set(QDateTime(lastDay, QTime(21, 0)));
    AnsweringPrompt prompt;
    InstallPrompt(&prompt);
    auto app = std::make_unique<Application>(folder);
    app->setSplashWaitMs(0);
    app->setDailyBackups(false);
    if (!app->start())
        qFatal("start-up failed");
    Main_Form &b = *app->mainForm();
    Module1 &m = app->module();
    b.Combo_Shop_Name->setCurrentIndex(0);
    emit b.Combo_Shop_Name->activated(0);

    // The bare statements run on a connection of their own to the same file.
    Database bare;
    bare.open(folder + QStringLiteral("/rosterpad.mdb"));
    const QString historySql = HistorySql();

    for (const QString &tel : {bench::Agency::telWith10Visits(), bench::Agency::telWith500Visits()}) {
        const CustomerRecord who = FindCustomersByTel(bare, tel).first();
        const int visits = bare.scalar(QStringLiteral("SELECT count(*) FROM \"履歴\" WHERE \"顧客ID\"=?;"), {who.id}).toInt();
        bench::Measure(QStringLiteral("telephone search + LoadCustomer, %1 visits").arg(visits), 20,
                       [&] {
                           b.Text_Tel->setText(tel);
                           b.Cmd_Search_Click();
                       },
                       [&] {
                           bare.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"TEL\"=?;"), {tel});
                           bare.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"名前\"=? AND \"TEL\"=?;"), {who.name, tel});
                           bare.rows(historySql, {who.id});
                       },
                       bench::Target{16, 50, 3});
    }

    // Registration: her row on duty and out on a booking for the customer with 10 visits.
    const QString tel = bench::Agency::telWith10Visits();
    const CustomerRecord who = FindCustomersByTel(bare, tel).first();
    Grid &board = *b.Grid_Girl;
    board.editCell(1, 2, QStringLiteral("出勤"));
    if (board.text(1, 3) != QStringLiteral("True"))
        board.clickCell(1, 3);
    const QString gid = board.text(1, 8);
    int minute = 0;
    const auto fill = [&](const QString &start, const QString &loaded) {
        b.Text_Tel->setText(tel);
        b.Combo_Name->setEditText(who.name);
        b.CurrentCustomerId = who.id;
        b.SelectedBoardRow = 1;
        b.Label_Shop_Name->setText(b.Combo_Shop_Name->currentText());
        b.Label_GirlID->setText(gid);
        b.Label_Date->setText(lastDay.toString(QStringLiteral("yyyy/MM/dd")));
        b.Text_Start_Time->setText(start);
        b.LoadedStartTime = loaded;
        b.Text_End_Time->setText(QStringLiteral("23:30"));
        b.Text_Place->setText(QStringLiteral("ホテル"));
        b.Combo_Course->setCurrentIndex(0);
        b.Label_Pay->setText(QStringLiteral("20,000"));
        b.Label_GirlPay->setText(QStringLiteral("12,000"));
    };
    // The bare statements of one registration, then the reload's reads.
    int bareSecond = 0;
    const auto bareRegistration = [&](bool insert) {
        const QString start = QTime(0, 0).addSecs(++bareSecond).toString(QStringLiteral("HH:mm:ss"));
        const QVariantList key{who.id, m.ShopIDs[0], gid.toInt(), IsoDate(lastDay), start};
        bare.beginTransaction();
        bare.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"TEL\"=?;"), {tel});
        bare.exec(QStringLiteral("UPDATE \"顧客\" SET \"名前\"=?,\"TEL\"=?,\"ランク\"=?,\"備考\"=? WHERE \"顧客ID\"=?;"),
                  {who.name, tel, who.rank, who.note, who.id});
        bare.scalar(QStringLiteral("SELECT count(*) FROM \"履歴\" WHERE \"顧客ID\"=? AND \"店舗ID\"=? AND \"コンパニオンID\"=? "
                                   "AND \"年月日\"=? AND \"開始時刻\"=?;"),
                    key);
        if (insert)
            bare.exec(QStringLiteral("INSERT INTO \"履歴\"(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"終了時刻\",\"場所\","
                                     "\"コース名\",\"オプション\",\"延長\",\"指名\",\"キャンセル\",\"店売上\",\"コンパニオン支払\") "
                                     "VALUES(?,?,?,?,?,'23:30:00','ホテル','A..60',0,NULL,0,0,20000,12000);"),
                      key);
        else
            bare.exec(QStringLiteral("UPDATE \"履歴\" SET \"終了時刻\"='23:30:00',\"店売上\"=20000 WHERE \"顧客ID\"=? AND \"店舗ID\"=? "
                                     "AND \"コンパニオンID\"=? AND \"年月日\"=? AND \"開始時刻\"=?;"),
                      key);
        bare.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"他店舗\"=0,\"終了予定\"='23:30:00',\"場所\"='ホテル',"
                                 "\"顧客ID\"=?,\"選択OP\"=0,\"年月日\"=?,\"開始時刻\"=? WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                  {who.id, IsoDate(lastDay), start, m.ShopIDs[0], gid.toInt()});
        bare.commit();
        bare.rows(QStringLiteral("SELECT * FROM \"顧客\" WHERE \"名前\"=? AND \"TEL\"=?;"), {who.name, tel});
        bare.rows(historySql, {who.id});
    };
    bench::Measure(QStringLiteral("registration of a new booking"), 20,
                   [&] {
                       fill(QTime(0, 0).addSecs(60 * ++minute).toString(QStringLiteral("HH:mm")), QString());
                       b.RegisterBooking();
                   },
                   [&] { bareRegistration(true); }, bench::Target{16, 50, 3});
    bench::Measure(QStringLiteral("registration of a recalled booking"), 20,
                   [&] {
                       fill(QStringLiteral("00:01"), QStringLiteral("00:01"));
                       b.RegisterBooking();
                   },
                   [&] { bareRegistration(false); }, bench::Target{16, 50, 3});

    // Shop selection: the shown board written back, the next one read with its tariff.
    int p = 0;
    bench::Measure(QStringLiteral("shop selection on the board"), 20,
                   [&] {
                       p = (p + 1) % m.ShopCount;
                       b.Combo_Shop_Name->setCurrentIndex(p);
                       emit b.Combo_Shop_Name->activated(p);
                   },
                   [&] {
                       const qint32 shown = m.ShopIDs[p];
                       const Rows rows = bare.rows(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"店舗ID\"=? ORDER BY \"コンパニオンID\";"), {shown});
                       bare.beginTransaction();
                       for (const Row &row : rows)
                           bare.exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=?,\"空\"=?,\"他店舗\"=?,\"終了予定\"=?,\"場所\"=?,\"顧客ID\"=?,"
                                                    "\"選択OP\"=? WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                                     {row.value(5), row.value(6), row.value(7), row.value(8), row.value(9), row.value(10),
                                      row.value(11), shown, row.value(1)});
                       bare.commit();
                       bare.rows(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"店舗ID\"=? ORDER BY \"コンパニオンID\";"),
                                 {m.ShopIDs[(p + 1) % m.ShopCount]});
                       bare.first(QStringLiteral("SELECT * FROM \"店舗\" WHERE \"店舗ID\"=?;"), {m.ShopIDs[(p + 1) % m.ShopCount]});
                   },
                   bench::Target{16, 50, 3});

    bare.close();
    app->terminate();
    app.reset();
    InstallPrompt(nullptr);
    Clock::reset();
}

} // namespace
