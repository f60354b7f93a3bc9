// Scheduled jobs without a window: the arguments, the job run in-process on a folder, and one run of
// the built program itself from a folder of its own.
#include "app/CommandLine.h"
#include "data/Clock.h"
#include "sales/HistoryCsv.h"
#include "support/AllOrNothing.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace rp;
using rp::test::readAll;
using rp::test::TestApp;

namespace {

const QString Program = QStringLiteral(ROSTERPAD_PROGRAM);

// A closed program folder with a small history in November 2026.
struct Folder
{
    TestApp t;
    QString csv;   // the November export as the sales window writes it

    Folder()
    {
        if (!t.start())
            qFatal("start-up failed");
        const qint32 shop = t.addShop(QStringLiteral("Ａ店"));
        t.module().LoadShopList();
        const qint32 girl = t.addCompanion(QStringLiteral("ゆき"), {QStringLiteral("ユキ")});
        for (const char *day : {"2026-10-31", "2026-11-01", "2026-11-15", "2026-11-30", "2026-12-01"})
            t.db().insert(QStringLiteral("履歴"), {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上", "コンパニオン支払"},
                          {1, shop, girl, QString::fromLatin1(day), QStringLiteral("21:00:00"), 10000, 6000});
        csv = t.folder() + QStringLiteral("/expected.csv");
        ExportHistoryCsv(t.db(), Period{QDate(2026, 11, 1), QDate(2026, 11, 30)}, std::nullopt, csv);
        if (!t.close())
            qFatal("the program did not end");
    }
    QString path(const QString &name) const { return t.folder() + '/' + name; }
    QStringList files() const { return QDir(t.folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }
};

struct Run
{
    int code;
    QString err;
};

Run runInProcess(const QStringList &arguments, const QString &folder)
{
    QString err;
    QTextStream stream(&err);
    const std::optional<int> code = RunCommandLine(arguments, folder, stream);
    return {code.value_or(-1), err};
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void exportInProcess();
    void failuresWriteNothing_data();
    void failuresWriteNothing();
    void theBuiltProgram();
};

void CommandLineTest::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("kind");       // CommandLineJob::Kind
    QTest::addColumn<QString>("error");  // the start of the message

    using K = CommandLineJob::Kind;
    QTest::newRow("none: the windows") << QStringList() << int(K::Windows) << "";
    QTest::newRow("export") << QStringList{"--export-csv", "2026-11-01", "2026-11-30", "out.csv"} << int(K::ExportCsv) << "";
    QTest::newRow("one day") << QStringList{"--export-csv", "2026-11-01", "2026-11-01", "a.csv"} << int(K::ExportCsv) << "";
    QTest::newRow("unknown") << QStringList{"--export"} << int(K::Invalid) << "引数が正しくありません: --export";
    QTest::newRow("too few") << QStringList{"--export-csv", "2026-11-01", "out.csv"} << int(K::Invalid)
                             << "--export-csv には 開始日 終了日 出力ファイル の3つを指定してください。";
    QTest::newRow("too many") << QStringList{"--export-csv", "2026-11-01", "2026-11-30", "a.csv", "b.csv"} << int(K::Invalid)
                              << "--export-csv には";
    QTest::newRow("no such day") << QStringList{"--export-csv", "2026-02-29", "2026-03-01", "a.csv"} << int(K::Invalid)
                                 << "日付が正しくありません: 2026-02-29（yyyy-MM-dd で指定してください）";
    QTest::newRow("slashes") << QStringList{"--export-csv", "2026/11/01", "2026-11-30", "a.csv"} << int(K::Invalid)
                             << "日付が正しくありません: 2026/11/01";
    QTest::newRow("one digit month") << QStringList{"--export-csv", "2026-1-01", "2026-11-30", "a.csv"} << int(K::Invalid)
                                     << "日付が正しくありません: 2026-1-01";
    QTest::newRow("backwards") << QStringList{"--export-csv", "2026-11-30", "2026-11-01", "a.csv"} << int(K::Invalid)
                               << "開始日 2026-11-30 が終了日 2026-11-01 より後です。";
    QTest::newRow("empty file") << QStringList{"--export-csv", "2026-11-01", "2026-11-30", ""} << int(K::Invalid)
                                << "出力ファイルを指定してください。";
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(QString, error);
    const CommandLineJob job = ParseCommandLine(arguments);
    QCOMPARE(int(job.kind), kind);
    if (error.isEmpty())
        QCOMPARE(job.error, QString());
    else
        QVERIFY2(job.error.startsWith(error), qPrintable(job.error));
    if (job.kind == CommandLineJob::Kind::ExportCsv) {
        QCOMPARE(IsoDate(job.period.first), arguments[1]);
        QCOMPARE(IsoDate(job.period.last), arguments[2]);
        QCOMPARE(job.file, arguments[3]);
    }
}

void CommandLineTest::exportInProcess()
{
    Folder f;
    const QStringList before = f.files();
    const QByteArray db = readAll(f.path("rosterpad.mdb"));
    const Run run = runInProcess({"--export-csv", "2026-11-01", "2026-11-30", f.path("out.csv")}, f.t.folder());
    QCOMPARE(run.err, QString());
    QCOMPARE(run.code, 0);
    QCOMPARE(readAll(f.path("out.csv")), readAll(f.csv));
    QCOMPARE(readAll(f.csv).count("\r\n"), 4);   // the header and three November rows
    // No start-up backup, no lock, no change to the file (its board table included).
    QStringList after = before;
    after << "out.csv";
    after.sort();
    QCOMPARE(f.files(), after);
    QCOMPARE(readAll(f.path("rosterpad.mdb")), db);

    // Without arguments the windows start: nothing is run here.
    QCOMPARE(runInProcess({}, f.t.folder()).code, -1);
}

void CommandLineTest::failuresWriteNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database") << "no database" << ExitFailed << "データベースを開けませんでした。ファイルが見つかりません。: ";
    QTest::newRow("not a database") << "not a database" << ExitFailed << "データベースを開けませんでした。";
    QTest::newRow("no such folder for the file") << "no folder" << ExitFailed << "CSVファイルを書き出せませんでした。ファイルに書き込めません: ";
    QTest::newRow("bad date") << "bad date" << ExitBadArguments << "日付が正しくありません: 2026-11-31";
}

void CommandLineTest::failuresWriteNothing()
{
    QFETCH(QString, how);
    QFETCH(int, code);
    QFETCH(QString, message);
    Folder f;
    QString out = f.path("out.csv");
    QString last = "2026-11-30";
    if (how == "no database")
        QVERIFY(QFile::remove(f.path("rosterpad.mdb")));
    if (how == "not a database")
        test::writeFile(f.path("rosterpad.mdb"), "年月日,開始時刻\r\n");
    if (how == "no folder")
        out = f.path("missing/out.csv");
    if (how == "bad date")
        last = "2026-11-31";
    const QStringList before = f.files();

    const Run run = runInProcess({"--export-csv", "2026-11-01", last, out}, f.t.folder());
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QCOMPARE(f.files(), before);
}

void CommandLineTest::theBuiltProgram()
{
    Folder f;
    // The program and its database in a folder of their own, as a scheduled job finds them.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(Program, dir.filePath("rosterpad")));
    QVERIFY(QFile::setPermissions(dir.filePath("rosterpad"), QFile::permissions(Program)));
    QVERIFY(QFile::copy(f.path("rosterpad.mdb"), dir.filePath("rosterpad.mdb")));

    QProcess job;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");   // the program must need no display of its own accord
    env.remove("XDG_RUNTIME_DIR");   // as under cron
    job.setProcessEnvironment(env);
    job.setWorkingDirectory(dir.path());
    job.start(dir.filePath("rosterpad"), {"--export-csv", "2026-11-01", "2026-11-30", "out.csv"});
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(job.readAllStandardError()), QString());
    QCOMPARE(job.exitStatus(), QProcess::NormalExit);
    QCOMPARE(job.exitCode(), 0);
    QCOMPARE(readAll(dir.filePath("out.csv")), readAll(f.csv));

    job.start(dir.filePath("rosterpad"), {"--export-csv", "2026-11-01", "2026-13-01", "bad.csv"});
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(job.exitCode(), ExitBadArguments);
    QVERIFY(QString::fromUtf8(job.readAllStandardError()).startsWith("日付が正しくありません: 2026-13-01"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"out.csv", "rosterpad", "rosterpad.mdb"}));
}

QTEST_MAIN(CommandLineTest)
#include "test_commandline.moc"
