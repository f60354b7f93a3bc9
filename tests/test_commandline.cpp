// Scheduled jobs without a window: the arguments, the job run in-process on a program folder, and one
// run of the built program itself from a folder of its own.
#include "app/CommandLine.h"
#include "sales/HistoryCsv.h"
#include "support/Files.h"
#include "support/PgTest.h"
#include "support/TestApp.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace rp;
using rp::test::readAll;
using rp::test::TestApp;

namespace {

// A closed program folder with a small history around November 2026.
struct Folder
{
    TestApp t;
    QString csv;   // the November export as the sales window writes it

    Folder()
    {
        if (!t.start())
            qFatal("start-up failed");
        const qint32 shop = t.addShop("Ａ店");
        t.module().LoadShopList();
        const qint32 girl = t.addCompanion("ゆき", {"ユキ"});
        for (const char *day : {"2026-10-31", "2026-11-01", "2026-11-15", "2026-11-15", "2026-11-30", "2026-12-01"})
            t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "店売上", "コンパニオン支払"},
                          {1, shop, girl, day, "21:00:00", 10000, 6000});
        csv = t.folder() + "/expected.csv";
        ExportHistoryCsv(t.db(), Period{QDate(2026, 11, 1), QDate(2026, 11, 30)}, std::nullopt, csv);
        if (!t.close())
            qFatal("the program did not end");
    }
    QString path(const QString &name) const { return t.folder() + '/' + name; }
    QStringList files() const { return QDir(t.folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }
};

// The text of a PDF file as poppler's pdftotext reads it; empty when it cannot.
QString pdfText(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return tool.waitForFinished(30000) ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void runs_data();
    void runs();
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
    QTest::newRow("unknown") << QStringList{"--export"} << int(K::Invalid) << "引数が正しくありません: --export";
    QTest::newRow("too few") << QStringList{"--export-csv", "2026-11-01", "out.csv"} << int(K::Invalid)
                             << "--export-csv には 開始日 終了日 出力ファイル の3つを指定してください。";
    QTest::newRow("no such day") << QStringList{"--export-csv", "2026-02-29", "2026-03-01", "a.csv"} << int(K::Invalid)
                                 << "日付が正しくありません: 2026-02-29（yyyy-MM-dd で指定してください）";
    QTest::newRow("one digit month") << QStringList{"--export-csv", "2026-1-01", "2026-11-30", "a.csv"} << int(K::Invalid)
                                     << "日付が正しくありません: 2026-1-01";
    QTest::newRow("backwards") << QStringList{"--export-csv", "2026-11-30", "2026-11-01", "a.csv"} << int(K::Invalid)
                               << "開始日 2026-11-30 が終了日 2026-11-01 より後です。";
    QTest::newRow("empty file") << QStringList{"--export-csv", "2026-11-01", "2026-11-30", ""} << int(K::Invalid)
                                << "出力ファイルを指定してください。";
    QTest::newRow("night close") << QStringList{"--night-close", "2026-11-15", "--pdf", "night.pdf"} << int(K::NightClose) << "";
    QTest::newRow("night close without --pdf") << QStringList{"--night-close", "2026-11-15", "night.pdf"} << int(K::Invalid)
                                               << "--night-close には 営業日 と --pdf 出力ファイル を指定してください。";
    QTest::newRow("night close, no such day") << QStringList{"--night-close", "2026-11-31", "--pdf", "night.pdf"}
                                              << int(K::Invalid) << "日付が正しくありません: 2026-11-31";
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(QString, error);
    const CommandLineJob job = ParseCommandLine(arguments);
    QCOMPARE(int(job.kind), kind);
    QVERIFY2(error.isEmpty() ? job.error.isEmpty() : job.error.startsWith(error), qPrintable(job.error));
    if (job.kind == CommandLineJob::Kind::ExportCsv)
        QCOMPARE(QStringList({IsoDate(job.period.first), IsoDate(job.period.last), job.file}), arguments.mid(1));
    if (job.kind == CommandLineJob::Kind::NightClose)
        QCOMPARE(QStringList({IsoDate(job.period.first), IsoDate(job.period.last), job.file}),
                 QStringList({arguments[1], arguments[1], arguments[3]}));
}

void CommandLineTest::runs_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("arguments");   // OUT stands for the output file in the folder
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QStringList csv{"--export-csv", "2026-11-01", "2026-11-30", "OUT"};
    const QStringList night{"--night-close", "2026-11-15", "--pdf", "OUT"};
    QTest::newRow("the export") << "" << csv << 0 << "";
    QTest::newRow("the night close") << "" << night << 0 << "";
    QTest::newRow("no database") << "no database" << csv << ExitFailed << "データベースを開けませんでした。ファイルが見つかりません。: ";
    QTest::newRow("not a database") << "not a database" << night << ExitFailed << "データベースを開けませんでした。";
    QTest::newRow("no folder for the file") << "no folder" << csv << ExitFailed
                                            << "CSVファイルを書き出せませんでした。ファイルに書き込めません: ";
    QTest::newRow("no folder for the PDF") << "no folder" << night << ExitFailed
                                           << "精算のPDFファイルを書き出せませんでした。PDFファイルを書き込めません: ";
    QTest::newRow("bad date") << "" << QStringList{"--export-csv", "2026-11-01", "2026-11-31", "OUT"} << ExitBadArguments
                              << "日付が正しくありません: 2026-11-31";
}

void CommandLineTest::runs()
{
    QFETCH(QString, how);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (test::OnPostgres() && how.contains("database"))
        QSKIP("the database file alone");
    const bool pdf = arguments.first() == "--night-close";
    if (pdf && QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    Folder f;
    if (how == "no database")
        QVERIFY(QFile::remove(f.path("rosterpad.mdb")));
    if (how == "not a database")
        test::writeFile(f.path("rosterpad.mdb"), "年月日,開始時刻\r\n");
    QStringList files = f.files();
    const QByteArray db = readAll(f.path("rosterpad.mdb"));
    const QString out = f.path(QString(how == "no folder" ? "missing/" : "") + (pdf ? "night.pdf" : "out.csv"));
    arguments.replace(3, out);

    QString err;
    QTextStream stream(&err);
    QCOMPARE(RunCommandLine(arguments, f.t.folder(), stream), std::optional<int>(code));
    QVERIFY2(message.isEmpty() ? err.isEmpty() : err.startsWith(message), qPrintable(err));
    if (code == 0) {
        if (pdf) {
            // Her 源氏名 and her pay of the day, two bookings of 6,000.
            const QString text = pdfText(out);
            QVERIFY2(text.contains("ゆき") && text.contains("12,000"), qPrintable(text));
        } else {
            QCOMPARE(readAll(out), readAll(f.csv));
            QCOMPARE(readAll(f.csv).count("\r\n"), 5);   // the header and four November rows
        }
        files << QFileInfo(out).fileName();
        files.sort();
    }
    // No start-up backup, no lock, nothing written to the database file (its board table included).
    QCOMPARE(f.files(), files);
    QCOMPARE(readAll(f.path("rosterpad.mdb")), db);
}

void CommandLineTest::theBuiltProgram()
{
    Folder f;
    // The program and its database in a folder of their own, as a scheduled job finds them.
    const QString program = QStringLiteral(ROSTERPAD_PROGRAM);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(program, dir.filePath("rosterpad")));
    QVERIFY(QFile::setPermissions(dir.filePath("rosterpad"), QFile::permissions(program)));
    // On a server, the settings file beside the program names it.
    const QString data = test::OnPostgres() ? "rosterpad.ini" : "rosterpad.mdb";
    QVERIFY(QFile::copy(f.path(data), dir.filePath(data)));

    QProcess job;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        env.remove(name);   // as under cron: the program must need no display of its own accord
    job.setProcessEnvironment(env);
    job.setWorkingDirectory(dir.path());
    job.start(dir.filePath("rosterpad"), {"--export-csv", "2026-11-01", "2026-11-30", "out.csv"});
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(job.readAllStandardError()), QString());
    QCOMPARE(job.exitStatus(), QProcess::NormalExit);
    QCOMPARE(job.exitCode(), 0);
    QCOMPARE(readAll(dir.filePath("out.csv")), readAll(f.csv));

    // The night close's PDF needs fonts and a page, still with no display.
    job.start(dir.filePath("rosterpad"), {"--night-close", "2026-11-15", "--pdf", "night.pdf"});
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(job.readAllStandardError()), QString());
    QCOMPARE(job.exitCode(), 0);
    QVERIFY(readAll(dir.filePath("night.pdf")).startsWith("%PDF"));
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty())
        QVERIFY(pdfText(dir.filePath("night.pdf")).contains("ゆき"));

    job.start(dir.filePath("rosterpad"), {"--export-csv", "2026-11-01", "2026-13-01", "bad.csv"});
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(job.exitCode(), ExitBadArguments);
    QVERIFY(QString::fromUtf8(job.readAllStandardError()).startsWith("日付が正しくありません: 2026-13-01"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"night.pdf", "out.csv", "rosterpad", data}));
}

QTEST_MAIN(CommandLineTest)
#include "test_commandline.moc"
