// A crash inside a commit, for real: each write action of the board runs in a program of its own that is
// killed at every step the engine takes on the file (see tools/killshim.cpp). The next start must open
// the file by itself, show the state from before the action (or after it, once the commit is through),
// and make an intact start-up backup of it.
#include "data/Clock.h"
#include "data/Database.h"
#include "maintenance/Maintenance.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace rp;
using rp::test::DumpStore;
using rp::test::TestApp;

namespace {

const QString Db = QStringLiteral("/rosterpad.mdb");
const QString Journal = QStringLiteral("/rosterpad.mdb-journal");
const QString Backup = QStringLiteral("/rosterpad.md_");

// Ａ店 and Ｂ店; あい (row 1) out for 山田 since 21:00, まい (row 2) on duty; 山田 has visits in 2025 and 2026.
void makeAgency(const QString &folder)
{
    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
    TestApp t(folder);
    QVERIFY(t.start());
    const qint32 a = t.addShop(QStringLiteral("Ａ店"));
    t.addShop(QStringLiteral("Ｂ店"));
    t.module().LoadShopList();
    const qint32 ai = t.addCompanion(QStringLiteral("あい"), {QStringLiteral("アイ"), QStringLiteral("アイコ")});
    const qint32 mai = t.addCompanion(QStringLiteral("まい"), {QStringLiteral("マイ"), QString()});
    t.module().LoadCompanionList();
    t.module().SyncStatusRows(ai);
    t.module().SyncStatusRows(mai);
    t.db().exec(QStringLiteral("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES('山田','0312345678');"));
    for (const auto &[day, girl] : {std::pair{"2025-01-10", ai}, std::pair{"2026-12-01", mai}})
        t.db().insert(QStringLiteral("履歴"), {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上"},
                      {1, a, girl, QString::fromLatin1(day), QStringLiteral("20:00:00"), 10000});
    Main_Form &b = t.board();
    b.Combo_Shop_Name->setCurrentIndex(0);
    emit b.Combo_Shop_Name->activated(0);
    b.Grid_Girl->editCell(1, 2, QStringLiteral("出勤"));
    b.Grid_Girl->editCell(2, 2, QStringLiteral("出勤"));
    b.Text_Tel->setText(QStringLiteral("0312345678"));
    b.Cmd_Search->click();
    b.Grid_Girl->clickCell(1, 3);
    b.Combo_Course->setCurrentIndex(0);
    emit b.Combo_Course->activated(0);
    b.RegisterBooking();
    t.prompt().answer(Answer::No);   // keep the duty state at the end
    QVERIFY(t.close());
    QVERIFY(t.prompt().unexpected().isEmpty());
    Clock::reset();
}

// The folder's database and start-up backup, as they are in from; nothing else of an earlier run stays.
void copyFolder(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString &name : {Db, Backup})
        if (QFile::exists(from + name))
            QVERIFY(QFile::copy(from + name, to + name));
}

// A journal the engine will play back: its header is written, magic number first, only once the
// pages it saves are on the disk. One that is still all zeros at the start is ignored by the engine.
bool hotJournal(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray::fromHex("d9d505f920a163d7");
}

struct Run
{
    bool killed = false;
    int exitCode = -1;
    int steps = -1;
};

Run runChild(const QString &folder, const QString &action, int killAt, bool arrangeOnly = false)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KILLSHIM_PATH));
    env.insert(QStringLiteral("ROSTERPAD_KILL_AT"), QString::number(killAt));
    child.setProcessEnvironment(env);
    QStringList args{folder, action};
    if (arrangeOnly)
        args << QStringLiteral("arrange");
    child.start(QStringLiteral(CRASH_CHILD_PATH), args);
    Run run;
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    run.killed = child.exitStatus() == QProcess::CrashExit;
    run.exitCode = child.exitCode();
    const QByteArray out = child.readAllStandardOutput();
    if (out.startsWith("steps "))
        run.steps = out.mid(6).trimmed().toInt();
    return run;
}

QStringList dumpOf(const QString &file)
{
    Database db;
    db.open(file);
    return DumpStore(db);
}

} // namespace

class CrashRecoveryTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killInsideEachWriteStartsWithTheStateBefore_data();
    void killInsideEachWriteStartsWithTheStateBefore();
    void restoreAfterACrashIsNeverUndone();

private:
    QTemporaryDir m_root;
    QString m_pristine;
};

void CrashRecoveryTest::initTestCase()
{
    m_pristine = m_root.path() + QStringLiteral("/pristine");
    QDir().mkpath(m_pristine);
    makeAgency(m_pristine);
}

void CrashRecoveryTest::killInsideEachWriteStartsWithTheStateBefore_data()
{
    QTest::addColumn<QString>("action");
    for (const char *action : {"new", "existing", "recalled", "cancelled", "rdel", "update", "purge"})
        QTest::newRow(action) << QString::fromLatin1(action);
}

void CrashRecoveryTest::killInsideEachWriteStartsWithTheStateBefore()
{
    QFETCH(QString, action);
    const QString work = m_root.path() + QStringLiteral("/") + action;

    // The state the action starts from, and the state it leaves when nothing goes wrong.
    copyFolder(m_pristine, work);
    QCOMPARE(runChild(work, action, 0, true).exitCode, 0);
    const QStringList before = dumpOf(work + Db);
    copyFolder(m_pristine, work);
    const Run whole = runChild(work, action, 0);
    QCOMPARE(whole.exitCode, 0);
    QVERIFY(whole.steps > 0);
    const QStringList after = dumpOf(work + Db);
    QVERIFY(after != before);

    int hotJournals = 0, rolledBack = 0;
    for (int n = 1; n <= whole.steps; ++n) {
        copyFolder(m_pristine, work);
        const Run killed = runChild(work, action, n);
        QVERIFY2(killed.killed, qPrintable(QStringLiteral("step %1 of %2 was not reached").arg(n).arg(whole.steps)));
        const bool journalLeft = hotJournal(work + Journal);

        auto next = std::make_unique<TestApp>(work);
        QVERIFY2(next->start(), qPrintable(QStringLiteral("no start after a kill at step %1").arg(n)));
        QVERIFY2(next->prompt().messages().isEmpty(), qPrintable(next->prompt().messages().join('\n')));
        const QStringList found = DumpStore(next->db());
        QVERIFY2(found == before || found == after, qPrintable(QStringLiteral("half an action after step %1").arg(n)));
        if (journalLeft) {
            ++hotJournals;
            QVERIFY2(found == before, qPrintable(QStringLiteral("step %1").arg(n)));
        }
        rolledBack += found == before;
        next.reset();

        // The start-up backup holds the recovered file and is whole.
        Database::checkFile(work + Backup);
        QCOMPARE(dumpOf(work + Backup), found);
        QVERIFY(!hotJournal(work + Journal));
    }
    // The kills did hit the commit where only the journal can bring the file back.
    QVERIFY(hotJournals > 0);
    QVERIFY(rolledBack >= hotJournals);
}

void CrashRecoveryTest::restoreAfterACrashIsNeverUndone()
{
    const QString work = m_root.path() + QStringLiteral("/restore");
    const QString saved = m_root.path() + QStringLiteral("/saved.mdb");
    QFile::remove(saved);
    QVERIFY(QFile::copy(m_pristine + Db, saved));
    const QStringList savedRows = dumpOf(saved);

    // A registration killed where it leaves a journal behind.
    const Run whole = [&] { copyFolder(m_pristine, work); return runChild(work, QStringLiteral("new"), 0); }();
    int n = 1;
    for (; n <= whole.steps; ++n) {
        copyFolder(m_pristine, work);
        runChild(work, QStringLiteral("new"), n);
        if (hotJournal(work + Journal))
            break;
    }
    QVERIFY(n <= whole.steps);

    // Replaced while its journal still lies beside it, the file is not rolled back into the old one.
    const QString aside = m_root.path() + QStringLiteral("/aside");
    copyFolder(work, aside);
    QVERIFY(QFile::copy(work + Journal, aside + Journal));
    const QString staged = aside + QStringLiteral("/staged.mdb");
    QVERIFY(QFile::copy(saved, staged));
    maintenance::ReplaceDatabaseFile(staged, aside + Db);
    QVERIFY(!QFile::exists(aside + Journal));
    QCOMPARE(dumpOf(aside + Db), savedRows);

    // Through the menu after the start that recovered the file: told, and still there at the next start.
    {
        TestApp t(work);
        QVERIFY(t.start());
        t.prompt().answerText(saved);
        t.prompt().answer(Answer::Ok);
        t.board().mnuRestore->trigger();
        QVERIFY(t.prompt().lastMessage().startsWith(QStringLiteral("リストアが終了しました。")));
        QVERIFY(t.prompt().lastMessage().contains(saved));
        t.prompt().answer(Answer::No);
        QVERIFY(t.close());
    }
    for (const QString &side : Database::sideFiles(work + Db))
        QVERIFY2(!QFile::exists(side), qPrintable(side));
    TestApp again(work);
    QVERIFY(again.start());
    QCOMPARE(DumpStore(again.db()), savedRows);
}

QTEST_MAIN(CrashRecoveryTest)
#include "test_crash_recovery.moc"
