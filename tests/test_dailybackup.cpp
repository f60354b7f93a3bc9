// The copies the program keeps by itself: one checked copy per business day (the newest 14 kept), and the
// database as it was before each restore, offered first when the operator restores.
#include "data/Clock.h"
#include "data/Database.h"
#include "maintenance/DailyBackup.h"
#include "support/AllOrNothing.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace rp;
using rp::test::DumpStore;
using rp::test::TestApp;

namespace {

QStringList names(const QVector<dailybackup::Entry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out << QFileInfo(e.path).fileName();
    return out;
}

} // namespace

class DailyBackupTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void fifteenDaysKeepTheNewestFourteen();
    void surplusCountsEachKindApart();
    void theProgramKeepsADayAndTellsAFailureOnce();
    void restoreOffersTheKeptCopiesAndCanBeUndone();
};

void DailyBackupTest::fifteenDaysKeepTheNewestFourteen()
{
    QTemporaryDir dir;
    const QString db = dir.filePath("rosterpad.mdb");
    Database::createFile(db);
    const QString folder = dailybackup::Folder(db);
    const QDate first(2026, 11, 20);
    for (int d = 0; d < 16; ++d) {   // fifteen good days and a failed one
        const QDate day = first.addDays(d);
        if (d == 7) {
            // A failed day: its place is taken. Nothing older goes, and it is said what went wrong.
            QVERIFY(QDir().mkpath(dailybackup::DailyPath(folder, day) + ".tmp"));
            const dailybackup::Outcome failed = dailybackup::MakeDaily(db, day);
            QVERIFY(!failed.made);
            QVERIFY2(failed.failure.contains("rosterpad_20261127.mdb"), qPrintable(failed.failure));
            QCOMPARE(dailybackup::List(folder).size(), 7);
            QDir(dailybackup::DailyPath(folder, day) + ".tmp").removeRecursively();
            continue;
        }
        const dailybackup::Outcome made = dailybackup::MakeDaily(db, day);
        QVERIFY2(made.made && made.failure.isEmpty(), qPrintable(made.failure));
        // A second call on the same day finds its copy there and does nothing.
        QCOMPARE(dailybackup::MakeDaily(db, day).made, false);
    }
    const QVector<dailybackup::Entry> kept = dailybackup::List(folder);
    QCOMPARE(kept.size(), 14);
    QCOMPARE(names(kept).first(), QString("rosterpad_20261205.mdb"));
    QCOMPARE(names(kept).last(), QString("rosterpad_20261121.mdb"));   // the 20th went, the 27th never was
    QVERIFY(!names(kept).contains("rosterpad_20261127.mdb"));
    for (const auto &e : kept)
        Database::checkFile(e.path);
}

void DailyBackupTest::surplusCountsEachKindApart()
{
    QVector<dailybackup::Entry> entries;
    const QDateTime t0(QDate(2026, 1, 1), QTime(12, 0));
    for (int i = 0; i < 16; ++i)
        entries << dailybackup::Entry{QString("d%1").arg(i), dailybackup::Kind::Daily, t0.addDays(-i)};
    for (int i = 0; i < 15; ++i)
        entries << dailybackup::Entry{QString("r%1").arg(i), dailybackup::Kind::BeforeRestore, t0.addSecs(-i * 60)};
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.made > b.made; });
    QStringList surplus = dailybackup::Surplus(entries);
    surplus.sort();
    QCOMPARE(surplus, QStringList({"d14", "d15", "r14"}));
}

void DailyBackupTest::theProgramKeepsADayAndTellsAFailureOnce()
{
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
    TestApp t;
    t.app().setDailyBackups(true);
    QVERIFY(t.start());
    const QString folder = dailybackup::Folder(t.app().DbPath);
    QCOMPARE(names(dailybackup::List(folder)), QStringList{"rosterpad_20261208.mdb"});

    // Still the same business day at 04:59; the new one begins at 05:00, and the running program sees it.
    const auto tick = [&] {
        QMetaObject::invokeMethod(t.board().warningTimer(), "timeout");
        t.app().waitForDailyBackup();
    };
    Clock::set(QDateTime(QDate(2026, 12, 9), QTime(4, 59)));
    tick();
    QCOMPARE(dailybackup::List(folder).size(), 1);
    Clock::set(QDateTime(QDate(2026, 12, 9), QTime(5, 0)));
    tick();
    QCOMPARE(names(dailybackup::List(folder)), QStringList({"rosterpad_20261209.mdb", "rosterpad_20261208.mdb"}));

    // The next day's copy cannot be written: told once, however many ticks follow that day.
    Clock::set(QDateTime(QDate(2026, 12, 10), QTime(6, 0)));
    QVERIFY(QDir().mkpath(dailybackup::DailyPath(folder, QDate(2026, 12, 10)) + ".tmp"));
    t.prompt().clear();
    tick();
    tick();
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY(t.prompt().lastMessage().contains("rosterpad_20261210.mdb"));
    QCOMPARE(dailybackup::List(folder).size(), 2);
    t.prompt().answer(Answer::No);
    QVERIFY(t.close());
}

void DailyBackupTest::restoreOffersTheKeptCopiesAndCanBeUndone()
{
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
    TestApp t;
    t.app().setDailyBackups(true);
    QVERIFY(t.start());
    t.addShop("本店");
    t.module().LoadShopList();
    // Yesterday's copy holds one shop and no booking; today's file has a second shop and a booking.
    const QString folder = dailybackup::Folder(t.app().DbPath);
    QVERIFY(dailybackup::MakeDaily(t.app().DbPath, QDate(2026, 12, 7)).made);
    t.addShop("二号店");
    t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日"}, {1, 1, 1, "2026-12-08"});
    const QStringList today = DumpStore(t.db());

    t.prompt().clear();
    t.prompt().answerChoice(1);          // the second line: yesterday's
    t.prompt().answer(Answer::Ok);       // replace
    t.board().mnuRestore->trigger();
    const auto offered = t.prompt().shown().first();
    QCOMPARE(offered.kind, QString("choice"));
    QCOMPARE(offered.rows.size(), 2);
    QCOMPARE(offered.rows[0].mid(0, 3), QStringList({"2026/12/08", "日ごとの自動バックアップ", "0"}));
    QCOMPARE(offered.rows[1].mid(0, 3), QStringList({"2026/12/07", "日ごとの自動バックアップ", "0"}));
    QCOMPARE(t.module().ShopNames, QStringList{"本店"});
    QVERIFY(t.prompt().lastMessage().contains("置き換える前のデータベースは"));

    // The file as it was before the restore is offered first now, and brings today's state back.
    t.prompt().clear();
    t.prompt().answerChoice(0);
    t.prompt().answer(Answer::Ok);
    t.board().mnuRestore->trigger();
    const auto again = t.prompt().shown().first();
    QCOMPARE(again.rows[0].mid(0, 3), QStringList({"2026/12/08 21:00:00", "リストア前の保存", "1"}));
    QCOMPARE(DumpStore(t.db()), today);
    QCOMPARE(t.module().ShopNames, QStringList({"本店", "二号店"}));

    // Another file is still a click away.
    t.prompt().clear();
    t.prompt().answerChoice(OtherChoice);
    t.prompt().answerCancel();
    t.board().mnuRestore->trigger();
    QCOMPARE(t.prompt().shown().size(), 2);
    QCOMPARE(t.prompt().shown().last().kind, QString("file"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(DailyBackupTest)
#include "test_dailybackup.moc"
