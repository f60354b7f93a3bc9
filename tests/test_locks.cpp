// Several reception PCs on one server database: who wins a tick, what a board that is behind is told,
// random work on two PCs at once, and who clears the night.
#include "data/Clock.h"
#include "data/Locks.h"
#include "data/SqlText.h"
#include "masters/Form_GirlData.h"
#include "reception/Grid.h"
#include "reception/StatusStore.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <latch>
#include <thread>

using namespace rp;
using rp::test::TestApp;

Q_DECLARE_METATYPE(rp::BoardRowState)

namespace {

BoardRowState state(int duty, int busy, int other, const QVariant &end = {}, const QVariant &customer = {})
{
    return {duty, busy, other, end, QVariant(), customer, QVariant()};
}

// Two shops, four companions named at both; Ａ店 on the board. With server set, a second PC on the
// same database joins once the first has made it.
struct Agency
{
    TestApp t;
    qint32 shopA = 0, shopB = 0;
    QVector<qint32> girls;

    Agency()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(20, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop("Ａ店");
        shopB = t.addShop("Ｂ店");
        t.module().LoadShopList();
        for (const char *g : {"あい", "まい", "みい", "りい"})
            girls << t.addCompanion(g, {QString(g) + "A", QString(g) + "B"});
        t.module().LoadCompanionList();
        for (qint32 id : girls)
            t.module().SyncStatusRows(id);
        t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1;");
    }
    ~Agency() { Clock::reset(); }
};

// A second program on the first one's database, from a folder of its own.
struct SecondPC
{
    QTemporaryDir dir;
    std::unique_ptr<TestApp> t;
    explicit SecondPC(TestApp &first)
    {
        WriteSettings(dir.path(), first.server()->settings());
        t = std::make_unique<TestApp>(dir.path());
        if (!t->start())
            qFatal("second PC: start-up failed");
    }
};

void choose(TestApp &t, int p)
{
    t.board().Combo_Shop_Name->setCurrentIndex(p);
    emit t.board().Combo_Shop_Name->activated(p);
}

int rowOf(TestApp &t, qint32 girl)
{
    for (int r = 1; r <= t.board().BoardRowCount; ++r)
        if (t.board().Grid_Girl->text(r, 8) == QString::number(girl))
            return r;
    return 0;
}

// A row's cells as compared: id, duty, busy, other shop, end, place, customer. A booking registered for a
// companion shown free stores its end and place while the board that registered it leaves her cells as
// they were, so a free row's end and place are not part of what the boards must agree on.
QString shownState(QStringList cells)
{
    if (cells[2] == "0" && cells[3] == "0")
        cells[4].clear(), cells[5].clear();
    return cells.join('|');
}

// The board's rows as the database holds them for its shop: duty, busy, other shop, end, place, customer.
QStringList boardShown(TestApp &t)
{
    QStringList out;
    const Grid &g = *t.board().Grid_Girl;
    for (int r = 1; r <= t.board().BoardRowCount; ++r)
        out << shownState({g.text(r, 8), g.text(r, 2) == "出勤" ? "1" : "0", g.text(r, 3) == "True" ? "1" : "0",
                           g.text(r, 4) == "True" ? "1" : "0", g.text(r, 5), g.text(r, 7), g.text(r, 9)});
    return out;
}

QStringList boardStored(TestApp &t)
{
    QStringList out;
    for (const Row &row : StatusRowsOfShop(t.db(), t.board().Tariff.SelectedShopID))
        out << shownState({row.value("コンパニオンID").toString(), row.value("出退勤").toString(), row.value("空").toString(),
                           row.value("他店舗").toString(), NullToEmpty(row.value("終了予定")).left(5),
                           NullToEmpty(row.value("場所")), NullToEmpty(row.value("顧客ID"))});
    return out;
}

// Each board shows what the database holds within one second: the server's change notices make it
// follow the other PC without anything read here.
void expectBoardFollows(TestApp &t)
{
    if (t.board().Tariff.SelectedShopID == 0)
        return;
    QElapsedTimer waited;
    waited.start();
    while (boardShown(t) != boardStored(t) && waited.elapsed() < 1000)
        QTest::qWait(10);
    QCOMPARE(boardShown(t), boardStored(t));
}

// Scripted answers, with something another PC does while the operator reads the next OK/Cancel question.
struct MeanwhilePrompt : rp::test::ScriptedPrompt
{
    std::function<void()> meanwhile;
    Answer message(QWidget *parent, const QString &text, Buttons buttons, const QString &title = {}) override
    {
        if (buttons == Buttons::OkCancel && meanwhile)
            std::exchange(meanwhile, {})();
        return ScriptedPrompt::message(parent, text, buttons, title);
    }
};

} // namespace

class LocksTest : public QObject
{
    Q_OBJECT
private slots:
    void boardActionRefusal_data();
    void boardActionRefusal();
    void twoConnectionsTickAtTheSameInstant_data();
    void twoConnectionsTickAtTheSameInstant();
    void aBoardThatIsBehindIsToldAndReadsAgain();
    void randomWorkOnTwoPCs_data();
    void randomWorkOnTwoPCs();
    void onlyTheLastPCClearsTheNight();
    void noDeleteOfACompanionSentOutMeanwhile();
};

// The rule a PC's action meets on her rows as the database holds them (Ａ店 = 1, Ｂ店 = 2).
void LocksTest::boardActionRefusal_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<BoardRowState>("atA");
    QTest::addColumn<BoardRowState>("atB");
    QTest::addColumn<BoardRowState>("read");   // what the board at Ａ店 read
    QTest::addColumn<QString>("refusal");
    const BoardRowState free = state(1, 0, 0), outHere = state(1, 1, 0, "21:00:00", 7), outThere = state(1, 1, 1);
    const int start = int(BoardAction::Start), change = int(BoardAction::Change);
    QTest::newRow("start, free as read") << start << free << free << free << QString();
    QTest::newRow("start, another PC sent her out here") << start << outHere << outThere << free << TakenElsewhereMessage();
    QTest::newRow("start, another PC sent her out at Ｂ店") << start << outThere << outHere << free << TakenElsewhereMessage();
    QTest::newRow("start, off duty meanwhile") << start << state(0, 0, 0) << free << free << ChangedElsewhereMessage();
    QTest::newRow("end, as read") << change << outHere << outThere << outHere << QString();
    QTest::newRow("end, already ended elsewhere") << change << free << free << outHere << ChangedElsewhereMessage();
    QTest::newRow("end, booking changed elsewhere") << change << state(1, 1, 0, "22:00:00", 7) << outThere << outHere
                                                    << ChangedElsewhereMessage();
}

void LocksTest::boardActionRefusal()
{
    QFETCH(int, action);
    QFETCH(BoardRowState, atA);
    QFETCH(BoardRowState, atB);
    QFETCH(BoardRowState, read);
    QFETCH(QString, refusal);
    QCOMPARE(BoardActionRefusal(BoardAction(action), 1, {{1, atA}, {2, atB}}, read), refusal);
    // Her row gone (an editor took her off the shop) is a change too.
    QCOMPARE(BoardActionRefusal(BoardAction(action), 1, {{2, state(1, 0, 0)}}, read).isEmpty(), false);
}

void LocksTest::twoConnectionsTickAtTheSameInstant_data()
{
    QTest::addColumn<bool>("sameShop");
    QTest::newRow("same shop") << true;
    QTest::newRow("two shops") << false;
}

// Two connections of their own, released together: one tick wins, the other is told, every time.
void LocksTest::twoConnectionsTickAtTheSameInstant()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG: on SQLite one program owns the file");
    QFETCH(bool, sameShop);
    Agency f;
    const qint32 girl = f.girls[0];
    for (int round = 0; round < 10; ++round) {
        f.t.db().exec("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=0,\"他店舗\"=0;");
        std::latch ready(2);
        QString outcome[2];
        const auto tick = [&](int pc) {
            const qint32 shop = (sameShop || pc == 0) ? f.shopA : f.shopB;
            const qint32 other = shop == f.shopA ? f.shopB : f.shopA;
            Database db;
            db.connect(f.t.server()->settings());
            ready.arrive_and_wait();
            try {
                db.atomic([&] { WriteTick(db, BoardAction::Start, shop, {other}, girl, state(1, 1, 0), state(1, 0, 0)); });
                outcome[pc] = "won";
            } catch (const AppError &error) {
                outcome[pc] = error.description();
            }
        };
        std::thread first(tick, 0), second(tick, 1);
        first.join();
        second.join();
        const QStringList outcomes{outcome[0], outcome[1]};
        QCOMPARE(outcomes.count("won"), 1);
        QVERIFY(outcomes.contains(TakenElsewhereMessage()));
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"コンパニオンID\"=? AND \"空\"=1 AND \"他店舗\"=0;",
                                 {girl}).toInt(), 1);
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"コンパニオンID\"=? AND \"空\"=1;", {girl}).toInt(), 2);
    }
}

// PC 2's board still shows her free when PC 1 sends her out: its tick is refused with a message and its
// board shows her out. PC 1 registers; PC 2's board, behind again, holds a cell it never wrote: its
// write-back on a shop switch leaves PC 1's newer row alone.
void LocksTest::aBoardThatIsBehindIsToldAndReadsAgain()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG: on SQLite one program owns the file");
    Agency f;
    SecondPC pc2(f.t);
    TestApp &two = *pc2.t;
    const qint32 girl = f.girls[1];
    choose(f.t, 0);
    choose(two, 0);
    const int row = rowOf(two, girl);
    f.t.board().Grid_Girl->clickCell(rowOf(f.t, girl), 3);
    QCOMPARE(f.t.board().Label_GirlID->text(), QString::number(girl));

    QCOMPARE(two.board().Grid_Girl->text(row, 3), QString("False"));   // behind
    two.board().Grid_Girl->clickCell(row, 3);
    QCOMPARE(two.prompt().lastMessage(), TakenElsewhereMessage());
    QCOMPARE(two.board().Grid_Girl->text(row, 3), QString("True"));
    QVERIFY(two.board().Label_GirlID->text().isEmpty());
    QCOMPARE(boardShown(two), boardStored(two));

    f.t.board().Text_Tel->setText("0311112222");
    f.t.board().Text_End_Time->setText("21:00");
    f.t.board().Text_Place->setText("ホテル");
    f.t.board().Combo_Course->setCurrentIndex(0);
    f.t.board().RegisterBooking();
    two.board().Grid_Girl->setText(row, 7, "メモ");
    choose(two, 1);
    const Row stored = *StatusRowOf(f.t.db(), f.shopA, girl);
    QCOMPARE(stored.value("空").toInt(), 1);
    QCOMPARE(stored.value("終了予定").toString(), QString("21:00:00"));
    QCOMPARE(stored.value("場所").toString(), QString("ホテル"));
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(), 1);
    QVERIFY(f.t.prompt().unexpected().isEmpty() && two.prompt().unexpected().isEmpty());
}

void LocksTest::randomWorkOnTwoPCs_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 2026u})
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
}

// Ticks, registrations, recalls, duty and shop changes on two PCs in random order on shared companions.
// After every step: nobody out for two shops, no booking stored twice, every registration the PC took
// present, and both boards showing what the database holds.
void LocksTest::randomWorkOnTwoPCs()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG");
    QFETCH(quint32, seed);
    QRandomGenerator dice(seed);
    Agency f;
    SecondPC pc2(f.t);
    TestApp *pcs[2] = {&f.t, pc2.t.get()};
    choose(f.t, 0);
    choose(*pcs[1], 0);
    QStringList confirmed;   // "customer|shop|companion|start" of every registration taken
    int registered = 0, refused = 0;   // refused: told that the other PC was first
    QDateTime now = Clock::now();

    const auto checkStore = [&] {
        // Nobody out for two shops; when out for one, busy at every other.
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM (SELECT \"コンパニオンID\" FROM \"現在状況\" WHERE \"空\"=1 AND \"他店舗\"=0 "
                                 "GROUP BY \"コンパニオンID\" HAVING count(*)>1) AS twice;").toInt(), 0);
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\" AS o JOIN \"現在状況\" AS h ON h.\"コンパニオンID\"=o.\"コンパニオンID\" "
                                 "AND h.\"店舗ID\"<>o.\"店舗ID\" WHERE o.\"空\"=1 AND o.\"他店舗\"=0 AND h.\"空\"=0;").toInt(), 0);
        // No booking stored twice, and every one taken stored.
        QCOMPARE(f.t.db().scalar("SELECT count(*) FROM (SELECT \"顧客ID\" FROM \"履歴\" GROUP BY \"顧客ID\",\"店舗ID\",\"コンパニオンID\","
                                 "\"年月日\",\"開始時刻\" HAVING count(*)>1) AS twice;").toInt(), 0);
        QStringList stored;
        for (const Row &r : f.t.db().rows("SELECT c.\"TEL\",s.\"店舗名\",h.\"コンパニオンID\",h.\"開始時刻\" FROM \"履歴\" AS h "
                                          "JOIN \"顧客\" AS c ON c.\"顧客ID\"=h.\"顧客ID\" JOIN \"店舗\" AS s ON s.\"店舗ID\"=h.\"店舗ID\";"))
            stored << QStringList{r.value(0).toString(), r.value(1).toString(), r.value(2).toString(),
                                  r.value(3).toString().left(5)}.join('|');
        for (const QString &key : std::as_const(confirmed))
            QVERIFY2(stored.contains(key), qPrintable(key));
    };
    for (int step = 0; step < 120; ++step) {
        now = now.addSecs(60);   // every booking starts at its own minute
        Clock::set(now);
        // Both PCs act on one companion from boards read at the same moment, in either order.
        const qint32 girl = f.girls[dice.bounded(f.girls.size())];
        const int firstPc = dice.bounded(2);
        for (int turn = 0; turn < 2; ++turn) {
            TestApp &t = *pcs[(firstPc + turn) % 2];
            Main_Form &b = t.board();
            const int messagesBefore = pcs[1]->prompt().messages().size();
            const int row = rowOf(t, girl);
            switch (dice.bounded(8)) {
            case 0:
                choose(t, dice.bounded(2));
                break;
            case 1:
                b.Grid_Girl->editCell(row, 2, dice.bounded(3) == 0 ? "退勤" : "出勤");
                break;
            case 2:
            case 3: {
                // A tick that starts a booking on a board showing her free while the database has her out
                // somewhere must not start one: that would be a second booking for her.
                const bool start = row > 0 && b.Grid_Girl->text(row, 2) == "出勤" && b.Grid_Girl->text(row, 3) == "False";
                const bool outAlready =
                    f.t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"コンパニオンID\"=? AND \"空\"=1;", {girl}).toInt() > 0;
                b.Grid_Girl->clickCell(row, 3);
                if (start && outAlready)
                    QVERIFY2(b.Label_GirlID->text().isEmpty(), "a second booking for a companion already out");
                break;
            }
            case 4:
                b.Grid_Girl->clickCell(row, 0);   // recall
                break;
            default: {
                if (b.Label_GirlID->text().isEmpty() || b.Text_Start_Time->text().isEmpty())
                    break;
                if (b.Text_Tel->text().isEmpty())
                    b.Text_Tel->setText(QStringLiteral("03%1").arg(dice.bounded(3)));
                b.Text_End_Time->setText("23:59");
                b.Combo_Course->setCurrentIndex(0);
                const QString key = QStringList{b.Text_Tel->text(), b.Label_Shop_Name->text(), b.Label_GirlID->text(),
                                                b.Text_Start_Time->text()}.join('|');
                b.RegisterBooking();
                if (pcs[1]->prompt().messages().size() == messagesBefore) {
                    confirmed << key;
                    ++registered;
                }
                break;
            }
            }
            for (const QString &m : pcs[1]->prompt().messages().mid(messagesBefore))
                refused += (m == TakenElsewhereMessage() || m == ChangedElsewhereMessage()) ? 1 : 0;
            checkStore();
            if (QTest::currentTestFailed())
                return;
        }
        for (TestApp *pc : pcs)
            expectBoardFollows(*pc);
    }
    qInfo("seed %u: %d registrations stored, %d actions refused as changed elsewhere", seed, registered, refused);
    QVERIFY(registered > 0);
    QVERIFY(refused > 0);
    QVERIFY(f.t.prompt().unexpected().isEmpty() && pcs[1]->prompt().unexpected().isEmpty());
}

// The exit question is the last PC's: another PC closes without it and without clearing; the last
// one asks and clears. On SQLite the one program is always the last.
void LocksTest::onlyTheLastPCClearsTheNight()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG");
    Agency f;
    SecondPC pc2(f.t);
    TestApp &two = *pc2.t;
    QVERIFY(!LastReceptionPC(f.t.db()));
    QVERIFY(two.close());
    QVERIFY(two.prompt().messages().isEmpty());
    QVERIFY(StatusTableExists(f.t.db()));
    QCOMPARE(OnDutyCount(f.t.db()), 8);

    // Cancel keeps the last PC running, and others may join again.
    two.prompt().answer(Answer::Cancel);
    QVERIFY(!f.t.close());
    {
        Database third;
        third.connect(f.t.server()->settings());
        JoinReceptionPCs(third);
        QVERIFY(!LastReceptionPC(f.t.db()));
    }
    two.prompt().answer(Answer::Yes);
    QVERIFY(f.t.close());
    QCOMPARE(two.prompt().messages(), QStringList(2, "まだ勤務中のコンパニオンがいます。勤務状態をクリアして終了しますか？"));
    QCOMPARE(f.t.server()->value("SELECT count(*) FROM information_schema.tables WHERE table_name='現在状況';").toInt(), 0);
}

// PC 2's companion editor asks before it deletes her; meanwhile PC 1 sends her out. The delete is
// refused with the editor's own message, and she stays registered with her rows.
void LocksTest::noDeleteOfACompanionSentOutMeanwhile()
{
    if (!rp::test::OnPostgres())
        QSKIP("needs ROSTERPAD_TEST_PG");
    Agency f;
    SecondPC pc2(f.t);
    TestApp &two = *pc2.t;
    const qint32 girl = f.girls[0];
    choose(f.t, 0);
    two.board().Cmd_GirlData->click();
    Form_GirlData *editor = two.app().girlForm();
    QVERIFY(editor->isVisible());
    editor->Combo_Genji->setCurrentIndex(0);
    emit editor->Combo_Genji->activated(0);
    QStringList told;
    {
        MeanwhilePrompt prompt;
        prompt.meanwhile = [&] { f.t.board().Grid_Girl->clickCell(rowOf(f.t, girl), 3); };
        prompt.answer(Answer::Ok);
        editor->Cmd_Del->click();
        told = prompt.messages();
    }
    InstallPrompt(&two.prompt());
    QCOMPARE(told, QStringList({"あいのコンパニオンデータを削除します。", "あいはＡ店で接客中です。削除は接客が終わってから行ってください。"}));
    QCOMPARE(f.t.db().scalar("SELECT \"削除FLAG\" FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;", {girl}).toInt(), 0);
    QCOMPARE(f.t.db().scalar("SELECT count(*) FROM \"現在状況\" WHERE \"コンパニオンID\"=?;", {girl}).toInt(), 2);
}

QTEST_MAIN(LocksTest)
#include "test_locks.moc"
