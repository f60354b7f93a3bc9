// The history as a CSV file: quoting, option names, the byte-exact file for a small history, a file
// that is complete or absent, and the sales window's export with its progress dialog.
#include "data/Clock.h"
#include "sales/Form_Sales.h"
#include "sales/HistoryCsv.h"
#include "support/Files.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>

using namespace rp;
using rp::test::readAll;
using rp::test::TestApp;

namespace {

const QVariant Null = QVariant(QMetaType(QMetaType::QString));

QByteArray golden(const QString &name) { return readAll(QStringLiteral(ROSTERPAD_TESTS_DIR "/golden/") + name); }

// Names with quotes, commas, line breaks and full-width text; a row without start, one without amounts,
// one whose shop and customer are no longer stored, and rows just outside November 2026.
struct History
{
    TestApp t;
    qint32 a = 0, b = 0;

    History()
    {
        Clock::set(QDateTime(QDate(2026, 11, 20), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        a = t.addShop(QStringLiteral("Ａ店"));
        b = t.addShop(QStringLiteral("Ｂ店, 本館"));
        t.db().exec(QStringLiteral("UPDATE \"店舗\" SET \"OP1名\"=?,\"OP2名\"=? WHERE \"店舗ID\"=?;"),
                    {QStringLiteral("写真"), QStringLiteral("コス,プレ"), a});
        t.db().exec(QStringLiteral("UPDATE \"店舗\" SET \"OP1名\"=? WHERE \"店舗ID\"=?;"), {QStringLiteral("ＳＭ"), b});
        t.module().LoadShopList();
        const qint32 yuki = t.addCompanion(QStringLiteral("ゆき"), {QStringLiteral("ユキ")});
        const qint32 hana = t.addCompanion(QStringLiteral("は\"な\""), {QStringLiteral("ハナ")});
        const qint32 saki = t.addCompanion(QStringLiteral("さ\nき"), {QString(), QStringLiteral("サキ")});
        t.module().LoadCompanionList();
        t.db().insert(QStringLiteral("顧客"), {QStringLiteral("名前"), QStringLiteral("TEL")},
                      {QStringLiteral("山田　太郎"), QStringLiteral("09012345678")});
        t.db().insert(QStringLiteral("顧客"), {QStringLiteral("名前"), QStringLiteral("TEL")},
                      {QStringLiteral("鈴木, 一郎"), QStringLiteral("0312345678")});
        const QString course = QStringLiteral("６０分コース");
        add(1, a, yuki, "2026-11-01", "20:00:00", "21:00:00", course, 3, 30, 1, 0, 23000, 12000);
        add(2, a, hana, "2026-11-01", Null, Null, Null, 0, QVariant(QMetaType(QMetaType::Int)), 0, 1, 3000, 1500);
        add(2, b, saki, "2026-11-01", "19:30:00", "20:30:00", QStringLiteral("90分,特別"), 1, 0, 0, 0,
            QVariant(QMetaType(QMetaType::LongLong)), QVariant(QMetaType(QMetaType::LongLong)));
        add(99, 999, yuki, "2026-11-30", "23:30:00", "00:30:00", course, 4, 0, 0, 0, 15000, 9000);
        add(1, a, yuki, "2026-11-30", "22:00:00", "23:00:00", course, 5, 0, 0, 0, 12000, 7000);
        add(1, a, yuki, "2026-10-31", "23:00:00", "23:30:00", course, 0, 0, 0, 0, 1, 1);
        add(1, a, yuki, "2026-12-01", "05:00:00", "06:00:00", course, 0, 0, 0, 0, 1, 1);
    }
    ~History() { Clock::reset(); }

    void add(qint32 customer, qint32 shop, qint32 girl, const char *date, const QVariant &start, const QVariant &end,
             const QVariant &course, int options, const QVariant &extension, int nominated, int cancelled,
             const QVariant &gross, const QVariant &pay)
    {
        t.db().insert(QStringLiteral("履歴"),
                      {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "終了時刻", "コース名", "オプション", "延長",
                       "指名", "キャンセル", "店売上", "コンパニオン支払"},
                      {customer, shop, girl, QString::fromLatin1(date), start, end, course, options, extension, nominated,
                       cancelled, gross, pay});
    }
    QString path(const QString &name) const { return t.folder() + '/' + name; }
    QStringList files() const { return QDir(t.folder()).entryList(QDir::Files | QDir::Hidden); }
};

const Period November{QDate(2026, 11, 1), QDate(2026, 11, 30)};

} // namespace

class CsvExportTest : public QObject
{
    Q_OBJECT
private slots:
    void fields_data();
    void fields();
    void optionNames_data();
    void optionNames();
    void exportPeriod_data();
    void exportPeriod();
    void goldenFiles_data();
    void goldenFiles();
    void completeOrAbsent_data();
    void completeOrAbsent();
    void fromTheSalesWindow();
};

void CsvExportTest::fields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "山田　太郎" << "山田　太郎";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("comma") << "a,b" << "\"a,b\"";
    QTest::newRow("quotes doubled") << "は\"な\"" << "\"は\"\"な\"\"\"";
    QTest::newRow("line feed") << "さ\nき" << "\"さ\nき\"";
    QTest::newRow("carriage return") << "a\r\nb" << "\"a\r\nb\"";
    QTest::newRow("full-width comma and quote need nothing") << "Ａ，”Ｂ”" << "Ａ，”Ｂ”";
}

void CsvExportTest::fields()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CsvField(text), field);
}

void CsvExportTest::optionNames_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("names");
    QTest::newRow("none") << 0 << "";
    QTest::newRow("first and second") << 3 << "写真、コス,プレ";
    QTest::newRow("an option without a name is left out") << 5 << "写真";
    QTest::newRow("the fifteenth") << 0x4000 << "十五";
    QTest::newRow("bit 15 is never an option") << 0x8000 << "";
}

void CsvExportTest::optionNames()
{
    QFETCH(int, mask);
    QFETCH(QString, names);
    QStringList shop(15);
    shop[0] = "写真";
    shop[1] = "コス,プレ";
    shop[14] = "十五";
    QCOMPARE(OptionNames(shop, mask), names);
}

void CsvExportTest::exportPeriod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("first");   // invalid: refused
    QTest::addColumn<QDate>("last");
    QTest::newRow("a day") << "26/11/05" << QDate(2026, 11, 5) << QDate(2026, 11, 5);
    QTest::newRow("a month") << "26/11" << QDate(2026, 11, 1) << QDate(2026, 11, 30);
    QTest::newRow("a year") << "26" << QDate(2026, 1, 1) << QDate(2026, 12, 31);
    QTest::newRow("day to day") << "26/10/15-26/11/14" << QDate(2026, 10, 15) << QDate(2026, 11, 14);
    QTest::newRow("month to month, wave dash") << "26/10～26/12" << QDate(2026, 10, 1) << QDate(2026, 12, 31);
    QTest::newRow("backwards") << "26/11/14-26/10/15" << QDate() << QDate();
    QTest::newRow("a wrong end") << "26/10/15-26/13" << QDate() << QDate();
    QTest::newRow("four digits") << "2026/11" << QDate() << QDate();
}

void CsvExportTest::exportPeriod()
{
    QFETCH(QString, text);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const std::optional<Period> p = ReadExportPeriod(text);
    QCOMPARE(p.has_value(), first.isValid());
    if (p) {
        QCOMPARE(p->first, first);
        QCOMPARE(p->last, last);
    }
}

void CsvExportTest::goldenFiles_data()
{
    QTest::addColumn<bool>("oneShop");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::newRow("all shops") << false << "history.csv" << 5;
    QTest::newRow("Ａ店 alone") << true << "history-one-shop.csv" << 3;
}

void CsvExportTest::goldenFiles()
{
    QFETCH(bool, oneShop);
    QFETCH(QString, file);
    QFETCH(int, rows);

    History h;
    const QString out = h.path("out.csv");
    const ExportResult result =
        ExportHistoryCsv(h.t.db(), November, oneShop ? std::optional<qint32>(h.a) : std::nullopt, out);
    QVERIFY(result.written);
    QCOMPARE(result.rows, rows);
    QCOMPARE(CountHistoryRows(h.t.db(), November, oneShop ? std::optional<qint32>(h.a) : std::nullopt), qint64(rows));
    const QByteArray bytes = readAll(out);
    QCOMPARE(bytes, golden(file));

    // A spreadsheet knows the encoding by the mark, and the rest is clean UTF-8.
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes.mid(3));
    QVERIFY(!utf8.hasError());
    QVERIFY(text.startsWith(HistoryCsvHeader() + "\r\n"));
}

void CsvExportTest::completeOrAbsent_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled before the first row") << "cancel at start";
    QTest::newRow("cancelled after the last row") << "cancel at end";
    QTest::newRow("folder missing") << "no folder";
    QTest::newRow("a folder under the name") << "folder";
}

void CsvExportTest::completeOrAbsent()
{
    QFETCH(QString, how);
    History h;
    QString target = h.path("out.csv");
    if (how == "no folder")
        target = h.path("missing/out.csv");
    if (how == "folder")
        QVERIFY(QDir(h.t.folder()).mkdir("out.csv"));
    else if (how.startsWith("cancel"))
        test::writeFile(target, "an earlier export");
    const QStringList before = h.files();
    const QByteArray old = readAll(target);

    QList<qint64> heard;
    const ProgressFn progress = [&](qint64 done, qint64 total) {
        heard << done << total;
        return !(how == "cancel at start" || (how == "cancel at end" && done == total));
    };
    bool failed = false;
    ExportResult result;
    try {
        result = ExportHistoryCsv(h.t.db(), November, std::nullopt, target, progress);
    } catch (const AppError &error) {
        failed = true;
        QVERIFY2(error.description().startsWith("ファイルに書き込めません: "), qPrintable(error.description()));
    }
    QCOMPARE(failed, !how.startsWith("cancel"));
    QVERIFY(!result.written);
    if (how == "cancel at start")
        QCOMPARE(heard, QList<qint64>({0, 5}));
    if (how == "cancel at end")
        QCOMPARE(heard, QList<qint64>({0, 5, 5, 5}));
    QCOMPARE(h.files(), before);   // no temporary file left beside it
    QCOMPARE(readAll(target), old);
    QVERIFY(!QFileInfo::exists(h.path("missing")));
}

void CsvExportTest::fromTheSalesWindow()
{
    History h;
    Form_Sales &w = *h.t.app().salesForm();
    h.t.board().Cmd_Sales->click();
    QVERIFY(w.isVisible());
    w.Combo_Shop_Name->setCurrentIndex(0);
    emit w.Combo_Shop_Name->activated(0);

    // A wrong period is told; a cancelled one ends silently.
    h.t.prompt().answerText("26/13");
    w.Cmd_Csv->click();
    h.t.prompt().answerCancel();
    w.Cmd_Csv->click();
    QCOMPARE(h.t.prompt().messages(),
             QStringList({"期間を入力してください。（入力形式：YY/MM/DD、YY/MM、YY、または YY/MM/DD-YY/MM/DD）"}));
    QCOMPARE(h.t.prompt().shown().first().kind, QString("input"));
    QCOMPARE(h.t.prompt().shown().first().title, QString("CSV出力"));
    h.t.prompt().clear();

    // November, Ａ店 alone.
    const QString out = h.path("11月.csv");
    h.t.prompt().answerText("26/11");
    h.t.prompt().answer(Answer::Yes);
    h.t.prompt().answerText(out);
    w.Cmd_Csv->click();
    QCOMPARE(readAll(out), golden("history-one-shop.csv"));
    QCOMPARE(h.t.prompt().messages(),
             QStringList({"「Ａ店」の履歴だけを出力しますか？\r\n［はい］Ａ店 だけ　［いいえ］全店舗",
                          "3件の履歴を出力しました。\r\n" + QDir::toNativeSeparators(out)}));
    QCOMPARE(h.t.prompt().shown().at(2).kind, QString("file"));
    QCOMPARE(h.t.prompt().shown().at(2).text, QString("履歴をCSVファイルに出力"));
    h.t.prompt().clear();

    // All shops, cancelled through the progress dialog as soon as it lets events through: no file.
    const QString cancelled = h.path("cancelled.csv");
    bool found = false;
    QTimer::singleShot(0, &w, [&] {
        if (auto *dialog = w.findChild<QProgressDialog *>("Dialog_Progress")) {
            found = true;
            dialog->cancel();
        }
    });
    h.t.prompt().answerText("26/11");
    h.t.prompt().answer(Answer::No);
    h.t.prompt().answerText(cancelled);
    w.Cmd_Csv->click();
    QVERIFY(found);
    QVERIFY(!QFileInfo::exists(cancelled));
    QCOMPARE(h.t.prompt().lastMessage(), QString("CSV出力を中止しました。ファイルは書き込んでいません。"));
    QVERIFY(!w.findChild<QProgressDialog *>("Dialog_Progress"));   // gone with the export
    QCOMPARE(h.files().filter("cancelled"), QStringList());

    // Without a shop picked nothing is asked about shops: the whole history of the period.
    h.t.prompt().clear();
    w.Cmd_Quit->click();
    h.t.board().Cmd_Sales->click();
    const QString all = h.path("all.csv");
    h.t.prompt().answerText("26/11");
    h.t.prompt().answerText(all);
    w.Cmd_Csv->click();
    QCOMPARE(readAll(all), golden("history.csv"));
    QCOMPARE(h.t.prompt().shown().size(), 3);   // period, file, done
    QVERIFY(h.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(CsvExportTest)
#include "test_csvexport.moc"
