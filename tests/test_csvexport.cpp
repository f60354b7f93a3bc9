// The history as a CSV file: the byte-exact file for a small history, quoting, periods, a file that
// is complete or absent, and the sales window's export with its progress dialog.
#include "data/Clock.h"
#include "sales/Form_Sales.h"
#include "sales/HistoryCsv.h"
#include "support/Files.h"
#include "support/TestApp.h"

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

QByteArray golden(const QString &name) { return readAll(QStringLiteral(ROSTERPAD_TESTS_DIR "/golden/") + name); }

const Period November{QDate(2026, 11, 1), QDate(2026, 11, 30)};

// Names with quotes, commas, line breaks and full-width text; a row without start, one without amounts,
// one whose shop and customer are no longer stored, and rows just outside November 2026.
struct History
{
    TestApp t;
    qint32 a = 0;

    History()
    {
        Clock::set(QDateTime(QDate(2026, 11, 20), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        a = t.addShop("Ａ店");
        const qint32 b = t.addShop("Ｂ店, 本館");
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"=?,\"OP2名\"=? WHERE \"店舗ID\"=?;", {"写真", "コス,プレ", a});
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"=? WHERE \"店舗ID\"=?;", {"ＳＭ", b});
        t.module().LoadShopList();
        const qint32 yuki = t.addCompanion("ゆき", {"ユキ"});
        const qint32 hana = t.addCompanion("は\"な\"", {"ハナ"});
        const qint32 saki = t.addCompanion("さ\nき", {"", "サキ"});
        t.db().insert("顧客", {"名前", "TEL"}, {"山田　太郎", "09012345678"});
        t.db().insert("顧客", {"名前", "TEL"}, {"鈴木, 一郎", "0312345678"});
        const QVariant none = QVariant(QMetaType(QMetaType::QString)), noAmount = QVariant(QMetaType(QMetaType::LongLong));
        const QVariantList rows[] = {
            {1, a, yuki, "2026-11-01", "20:00:00", "21:00:00", "６０分コース", 3, 30, 1, 0, 23000, 12000},
            {2, a, hana, "2026-11-01", none, none, none, 0, QVariant(QMetaType(QMetaType::Int)), 0, 1, 3000, 1500},
            {2, b, saki, "2026-11-01", "19:30:00", "20:30:00", "90分,特別", 1, 0, 0, 0, noAmount, noAmount},
            {99, 999, yuki, "2026-11-30", "23:30:00", "00:30:00", "６０分コース", 4, 0, 0, 0, 15000, 9000},
            {1, a, yuki, "2026-11-30", "22:00:00", "23:00:00", "６０分コース", 5, 0, 0, 0, 12000, 7000},
            {1, a, yuki, "2026-10-31", "23:00:00", "23:30:00", "６０分コース", 0, 0, 0, 0, 1, 1},
            {1, a, yuki, "2026-12-01", "05:00:00", "06:00:00", "６０分コース", 0, 0, 0, 0, 1, 1},
        };
        for (const QVariantList &row : rows)
            t.db().insert("履歴", {"顧客ID", "店舗ID", "コンパニオンID", "年月日", "開始時刻", "終了時刻", "コース名", "オプション",
                                   "延長", "指名", "キャンセル", "店売上", "コンパニオン支払"},
                          row);
    }
    ~History() { Clock::reset(); }

    QString path(const QString &name) const { return t.folder() + '/' + name; }
    QStringList files() const { return QDir(t.folder()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

class CsvExportTest : public QObject
{
    Q_OBJECT
private slots:
    void goldenFiles_data();
    void goldenFiles();
    void readsAsTyped_data();
    void readsAsTyped();
    void completeOrAbsent_data();
    void completeOrAbsent();
    void fromTheSalesWindow();
};

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
    const std::optional<qint32> shop = oneShop ? std::optional<qint32>(h.a) : std::nullopt;
    const ExportResult result = ExportHistoryCsv(h.t.db(), November, shop, h.path("out.csv"));
    QVERIFY(result.written);
    QCOMPARE(result.rows, rows);
    QCOMPARE(CountHistoryRows(h.t.db(), November, shop), qint64(rows));
    const QByteArray bytes = readAll(h.path("out.csv"));
    QCOMPARE(bytes, golden(file));

    // A spreadsheet knows the encoding by the mark, and the rest is clean UTF-8.
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QVERIFY(QString(utf8.decode(bytes.mid(3))).startsWith(HistoryCsvHeader() + "\r\n"));
    QVERIFY(!utf8.hasError());
}

void CsvExportTest::readsAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("read");   // a field, or a period "yyyy-MM-dd yyyy-MM-dd" ("" refused)
    // Commas, quotes and line feeds are in the golden files.
    QTest::newRow("field: carriage return") << "a\r\nb" << "\"a\r\nb\"";
    QTest::newRow("field: full-width comma and quote") << "Ａ，”Ｂ”" << "Ａ，”Ｂ”";
    QTest::newRow("period: a year") << "26" << "2026-01-01 2026-12-31";
    QTest::newRow("period: day to day") << "26/10/15-26/11/14" << "2026-10-15 2026-11-14";
    QTest::newRow("period: months, wave dash") << "26/10～26/12" << "2026-10-01 2026-12-31";
    QTest::newRow("period: backwards") << "26/11/14-26/10/15" << "";
    QTest::newRow("period: a wrong end") << "26/10/15-26/13" << "";
}

void CsvExportTest::readsAsTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, read);
    if (QString(QTest::currentDataTag()).startsWith("field")) {
        QCOMPARE(CsvField(text), read);
        return;
    }
    const std::optional<Period> p = ReadExportPeriod(text);
    QCOMPARE(p ? IsoDate(p->first) + ' ' + IsoDate(p->last) : QString(""), read);
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
    const QString target = h.path(how == "no folder" ? "missing/out.csv" : "out.csv");
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
    ExportResult result;
    try {
        result = ExportHistoryCsv(h.t.db(), November, std::nullopt, target, progress);
        QVERIFY(how.startsWith("cancel"));
    } catch (const AppError &error) {
        QVERIFY2(error.description().startsWith("ファイルに書き込めません: "), qPrintable(error.description()));
    }
    QVERIFY(!result.written);
    QCOMPARE(heard, how == "cancel at end" ? QList<qint64>({0, 5, 5, 5}) : QList<qint64>({0, 5}));
    QCOMPARE(h.files(), before);   // no temporary file left beside it
    QCOMPARE(readAll(target), old);
}

void CsvExportTest::fromTheSalesWindow()
{
    History h;
    Form_Sales &w = *h.t.app().salesForm();
    h.t.board().Cmd_Sales->click();

    // A wrong period is told; a cancelled one ends silently.
    h.t.prompt().answerText("26/13");
    w.Cmd_Csv->click();
    h.t.prompt().answerCancel();
    w.Cmd_Csv->click();
    QCOMPARE(h.t.prompt().messages(),
             QStringList({"期間を入力してください。（入力形式：YY/MM/DD、YY/MM、YY、または YY/MM/DD-YY/MM/DD）"}));
    h.t.prompt().clear();

    // November, Ａ店 alone.
    const QString out = h.path("11月.csv");
    h.t.prompt().answerText("26/11");
    h.t.prompt().answerChoice(1);
    h.t.prompt().answerText(out);
    w.Cmd_Csv->click();
    QCOMPARE(readAll(out), golden("history-one-shop.csv"));
    QCOMPARE(h.t.prompt().messages(), QStringList({"3件の履歴を出力しました。\r\n" + QDir::toNativeSeparators(out)}));
    QCOMPARE(h.t.prompt().shown().at(1).rows, QVector<QStringList>({{"全店舗"}, {"Ａ店"}, {"Ｂ店, 本館"}}));
    QCOMPARE(h.t.prompt().shown().at(2).text, QString("履歴をCSVファイルに出力"));   // the file dialog
    h.t.prompt().clear();

    // All shops, cancelled through the progress dialog as soon as it lets events through: no file.
    bool found = false;
    QTimer::singleShot(0, &w, [&] {
        if (auto *dialog = w.findChild<QProgressDialog *>("Dialog_Progress")) {
            found = true;
            dialog->cancel();
        }
    });
    h.t.prompt().answerText("26/11");
    h.t.prompt().answerChoice(0);
    h.t.prompt().answerText(h.path("cancelled.csv"));
    w.Cmd_Csv->click();
    QVERIFY(found);
    QCOMPARE(h.t.prompt().lastMessage(), QString("CSV出力を中止しました。ファイルは書き込んでいません。"));
    QCOMPARE(h.files().filter("cancelled"), QStringList());
    QVERIFY(h.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(CsvExportTest)
#include "test_csvexport.moc"
