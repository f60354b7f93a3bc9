// Long work with a sign of life: one connection lent to a worker thread, and the progress dialog.
#include "app/WorkProgress.h"
#include "data/AppError.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "support/TestApp.h"

#include <QAction>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace rp;

class ProgressTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void workRunsOnTheConnectionInAWorker_data();
    void workRunsOnTheConnectionInAWorker();
    void maintenanceShowsItsWork_data();
    void maintenanceShowsItsWork();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

void ProgressTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString path = m_dir->filePath("rosterpad.mdb");
    Database::createFile(path);
    m_db = std::make_unique<Database>();
    m_db->open(path);
}

void ProgressTest::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void ProgressTest::workRunsOnTheConnectionInAWorker_data()
{
    QTest::addColumn<QString>("second");   // the second statement of the transaction
    QTest::addColumn<int>("failAt");       // the connection's failure hook
    QTest::newRow("runs through") << "INSERT INTO \"顧客\"(\"TEL\") VALUES('1');" << 0;
    QTest::newRow("the store fails") << "INSERT INTO \"無い表\" VALUES(1);" << 0;
    QTest::newRow("the failure hook of the connection") << "INSERT INTO \"顧客\"(\"TEL\") VALUES('1');" << 2;
}

void ProgressTest::workRunsOnTheConnectionInAWorker()
{
    QFETCH(QString, second);
    QFETCH(int, failAt);
    m_db->failNthWrite(failAt);
    QThread *worker = nullptr;
    bool caught = false;
    // A transaction begun here goes on there: one connection, its hook counting every write.
    m_db->beginTransaction();
    try {
        RunInBackground(*m_db, [&] {
            worker = QThread::currentThread();
            try {
                m_db->exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES(?,?);", {"山田", "0312345678"});
                m_db->exec(second);
                m_db->commit();
            } catch (...) {
                m_db->rollbackQuietly();
                throw;
            }
        });
    } catch (const AppError &) {
        caught = true;
    }
    QVERIFY(worker && worker != QThread::currentThread());
    QCOMPARE(caught, failAt != 0 || second.contains("無い表"));
    if (failAt)
        QCOMPARE(m_db->writesSeen(), failAt);
    m_db->failNthWrite(0);
    QVERIFY(!m_db->inTransaction());
    // Back on this thread, the same connection answers: all of the work, or none of it.
    QCOMPARE(m_db->scalar("SELECT count(*) FROM \"顧客\";").toInt(), caught ? 0 : 2);
}

void ProgressTest::maintenanceShowsItsWork_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("seen");   // label and range of each dialog seen while the work ran
    QTest::newRow("backup: the copy tells how far it got") << "backup" << QStringList{"バックアップしています・・・ 1000"};
    QTest::newRow("restore: the file checked in the background, then copied")
        << "restore" << QStringList{"リストアするファイルを確認しています・・・ 0", "リストアしています・・・ 1000",
                                    "リストアする前のデータベースを保存しています・・・ 1000"};
    QTest::newRow("compaction: busy in the background") << "compact" << QStringList{"データベースファイルを最適化しています・・・ 0"};
    QTest::newRow("purge: busy in the background") << "purge" << QStringList{"履歴データを削除しています・・・ 0"};
}

void ProgressTest::maintenanceShowsItsWork()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, seen);
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
    test::TestApp t;
    QVERIFY(t.start());
    const qint32 shop = t.addShop("Ａ店");
    t.module().LoadShopList();
    const qint32 girl = t.addCompanion("ゆき", {"ユキ"});
    t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻"}, {1, shop, girl, "2026-11-01", "20:00:00"});
    const QString copy = t.folder() + "/copy.mdb";
    QVERIFY(QFile::copy(t.folder() + "/rosterpad.mdb", copy));
    QVERIFY(t.board().warningTimer()->isActive());

    // Whatever shows while the work runs is noted from the events it lets through: the window lives.
    QStringList noted;
    bool warningRan = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *dialog = t.board().findChild<QProgressDialog *>("Dialog_Progress")) {
            const QString line = dialog->labelText() + ' ' + QString::number(dialog->maximum());
            if (!noted.contains(line))
                noted << line;
            warningRan = warningRan || t.board().warningTimer()->isActive();
        }
    });
    watch.start(0);
    if (menu == "backup") {
        t.prompt().answerText(t.folder() + "/backup.mdb");
        t.board().mnuBackup->trigger();
    } else if (menu == "restore") {
        t.prompt().answerText(copy);
        t.prompt().answer(Answer::Ok);
        t.board().mnuRestore->trigger();
    } else if (menu == "compact") {
        t.prompt().answer(Answer::Ok);
        t.board().mnuCompact->trigger();
    } else {
        t.prompt().answerText("26/11/01");
        t.prompt().answer(Answer::Yes);
        t.board().mnuDel->trigger();
    }
    watch.stop();
    QCOMPARE(noted, seen);
    QVERIFY(!warningRan);   // the board's warning does not read the file meanwhile
    QVERIFY(t.board().warningTimer()->isActive());
    QVERIFY(!t.board().findChild<QProgressDialog *>("Dialog_Progress"));
    QVERIFY(!t.prompt().lastMessage().startsWith("Error"));
    QVERIFY(t.prompt().unexpected().isEmpty());
    QCOMPARE(t.db().scalar("SELECT count(*) FROM \"履歴\";").toInt(), menu == "purge" ? 0 : 1);
    Clock::reset();
}

QTEST_MAIN(ProgressTest)
#include "test_progress.moc"
