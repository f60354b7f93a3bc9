// The night close (精算): its figures against the sales window's, the slips and the option sheet on
// paper (PDF read back with poppler's tools), and the window as the operator uses it.
#include "data/Clock.h"
#include "masters/Form_GirlData.h"
#include "reception/ChargeStore.h"
#include "sales/Form_NightClose.h"
#include "sales/Form_Sales.h"
#include "sales/NightCloseReport.h"
#include "support/ScriptedPrinter.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTreeView>
#include <QTest>

using namespace rp;
using namespace rp::test;

namespace {

// Business day 2026/12/08 at Ａ店 and Ｂ店 (Ｃ店 deleted). 美月: A 21:00 priced with lines, A 23:00
// cancelled with its line, B 02:00 (the small hours of the same business day) from before the lines
// were kept. あい: B 20:00 without lines, and one booking the day before. 花子: only at Ｃ店.
struct Night
{
    TestApp t;
    qint32 a = 0, b = 0, c = 0, mizuki = 0, ai = 0, hanako = 0, yamada = 0;
    const QDate day{2026, 12, 8};

    Night()
    {
        Clock::set(QDateTime(QDate(2026, 12, 9), QTime(1, 0)));   // still the 8th's business day
        if (!t.start())
            qFatal("start-up failed");
        a = t.addShop("Ａ店");
        b = t.addShop("Ｂ店");
        c = t.addShop("Ｃ店");
        t.db().exec("UPDATE \"店舗\" SET \"OP1名\"='泡',\"OP1料金\"=1001,\"OP1割合\"=50,\"OP2名\"='氷',\"OP2料金\"=3000;");
        t.db().exec("UPDATE \"店舗\" SET \"削除FLAG\"=1 WHERE \"店舗ID\"=?;", {c});
        t.module().LoadShopList();
        mizuki = t.addCompanion("美月", {"ミヅキ", "ミー"}, {1, 0});
        ai = t.addCompanion("あい", {"アイ", "アイコ"}, {0, 0});
        hanako = t.addCompanion("花子", {"", "", "ハナ"});
        t.module().LoadCompanionList();
        t.db().exec("INSERT INTO \"顧客\"(\"名前\",\"TEL\") VALUES('山田','0901');");
        yamada = t.db().scalar("SELECT max(\"顧客ID\") FROM \"顧客\";").toInt();

        book(a, mizuki, day, "21:00:00", "22:00:00", 13001, 8000, 1, false,
             {{"コース", "A..60", 10000, 40, 5, 6500}, {"オプション", "泡", 1001, 50, 0, 500}, {"指名", "指名料", 2000, 50, 0, 1000}});
        book(a, mizuki, day, "23:00:00", "00:00:00", 3000, 1500, 0, true, {{"キャンセル", "キャンセル料", 3000, 50, 0, 1500}});
        book(b, mizuki, day, "02:00:00", "03:00:00", 10000, 6000, 0, false, {});
        book(b, ai, day, "20:00:00", "21:30:00", 12000, 7000, 2, false, {});
        book(a, ai, day.addDays(-1), "20:00:00", "21:00:00", 10000, 6000, 0, false, {});
        book(c, hanako, day, "20:00:00", "21:00:00", 5000, 3000, 0, false, {});
    }
    ~Night() { Clock::reset(); }

    void book(qint32 shop, qint32 girl, const QDate &date, const QString &start, const QString &end, int pay,
              int girlPay, int options, bool cancelled, const QVector<StoredCharge> &lines)
    {
        t.db().exec("INSERT INTO \"履歴\"(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"終了時刻\",\"コース名\",\"オプション\","
                    "\"指名\",\"キャンセル\",\"店売上\",\"コンパニオン支払\") VALUES(?,?,?,?,?,?,'A..60',?,?,?,?,?);",
                    {yamada, shop, girl, date.toString(Qt::ISODate), start, end, options, lines.size() == 3 ? 1 : 0,
                     cancelled ? 1 : 0, pay, girlPay});
        const HistoryKey key{yamada, shop, girl, date, QTime::fromString(start, "HH:mm:ss")};
        if (!lines.isEmpty())
            StoreCharges(t.db(), key, key, lines, pay, girlPay, false);
    }
    QVector<qint32> listed() { return {a, b}; }
    NightClose close() { return LoadNightClose(t.db(), day, listed()); }
};

QString figures(const SalesFigures &f)
{
    return QStringLiteral("%1|%2|%3|%4").arg(FormatNumber(f.gross), FormatNumber(f.shopShare), FormatNumber(f.pay)).arg(f.visits);
}

} // namespace

class TestNightClose : public QObject
{
    Q_OBJECT
private slots:
    void figuresEqualTheSalesWindow();
    void slipsOnPaper_data();
    void slipsOnPaper();
    void nightClosePdfForScheduledJobs();
    void optionSheet();
    void windowScenario();
};

void TestNightClose::figuresEqualTheSalesWindow()
{
    Night n;
    const NightClose close = n.close();
    const Period day{n.day, n.day};
    QCOMPARE(figures(close.totals), figures(SumSales(n.t.db(), n.listed(), std::nullopt, day)));
    QCOMPARE(figures(close.totals), QString("38,001|15,501|22,500|4"));
    QCOMPARE(close.shops.size(), 2);
    for (const NightCloseShop &s : close.shops)
        QCOMPARE(figures(s.totals), figures(SumSales(n.t.db(), {s.id}, std::nullopt, day)));
    QCOMPARE(close.companions.size(), 2);
    for (const NightCloseCompanion &her : close.companions)
        QCOMPARE(figures(her.totals), figures(SumSales(n.t.db(), n.listed(), her.id, day)));

    // Her evening in the order of the business day; the row from before the lines has none.
    const NightCloseCompanion &mizuki = close.companions.first();
    QCOMPARE(mizuki.genji, QString("美月"));
    QStringList evening;
    for (const NightCloseBooking &bk : mizuki.bookings)
        evening << FormatHHMM(*bk.start) + " " + bk.shopName + " " + bk.options.join("/") + " " + QString::number(bk.charges.size());
    QCOMPARE(evening, QStringList({"21:00 Ａ店 泡 3", "23:00 Ａ店  1", "02:00 Ｂ店  0"}));
    QCOMPARE(close.companions.last().bookings.first().options, QStringList({"氷"}));
}

void TestNightClose::slipsOnPaper_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("absent");

    const QString note = TotalsOnlyNote();
    QTest::newRow("her slip") << int(NightClosePages::Companion) << 1
                              << QStringList{"美月", "2026/12/08（火）", "コース A..60 10,000 × 65%（割増5%） = 6,500",
                                             "オプション 泡 1,001 × 50% = 500", "指名料 2,000 × 50% = 1,000",
                                             "キャンセル料 3,000 × 50% = 1,500", note, "15,500", "山田"}
                              << QStringList{"あい"};
    QTest::newRow("every slip") << int(NightClosePages::AllCompanions) << 2 << QStringList{"美月", "15,500", "あい", "7,000"}
                                << QStringList{"花子", "精算集計"};
    QTest::newRow("summary") << int(NightClosePages::Summary) << 1
                             << QStringList{"精算集計", "Ａ店", "Ｂ店", "38,001", "15,501", "22,500", "美月", "あい"}
                             << QStringList{"Ｃ店", "花子"};
    QTest::newRow("everything") << int(NightClosePages::Everything) << 3 << QStringList{"美月", "あい", "精算集計"}
                                << QStringList{"花子"};
}

void TestNightClose::slipsOnPaper()
{
    QFETCH(int, pages);
    QFETCH(int, count);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, absent);
    if (!PdfToolsInstalled())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    Night n;
    QTemporaryDir dir;
    const QString path = dir.filePath("slip.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetA4(printer);
    QVERIFY(PrintNightClose(n.close(), NightClosePages(pages), n.mizuki, printer));
    QCOMPARE(PdfPages(path), count);
    const QString text = PdfText(path);
    for (const QString &expected : texts)
        QVERIFY2(text.contains(expected), qPrintable(expected + "\n" + text));
    for (const QString &unexpected : absent)
        QVERIFY2(!text.contains(unexpected), qPrintable(unexpected));
    // One companion to a page.
    if (NightClosePages(pages) == NightClosePages::AllCompanions)
        QVERIFY(PdfText(path, 1).contains("美月") && !PdfText(path, 1).contains("あい") && PdfText(path, 2).contains("あい"));
}

void TestNightClose::nightClosePdfForScheduledJobs()
{
    if (!PdfToolsInstalled())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    Night n;
    QTemporaryDir dir;
    const QString path = dir.filePath("night.pdf");
    QString error;
    QVERIFY2(WriteNightClosePdf(n.t.db(), n.day, path, &error), qPrintable(error));
    QCOMPARE(PdfPages(path), 3);
    const QString text = PdfText(path);
    for (const char *expected : {"美月", "15,500", "あい", "7,000", "22,500"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

    // A file that cannot be written: told why, and nothing left behind.
    const QString nowhere = dir.filePath("missing/night.pdf");
    error.clear();
    QVERIFY(!WriteNightClosePdf(n.t.db(), n.day, nowhere, &error));
    QVERIFY(error.contains(nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

void TestNightClose::optionSheet()
{
    if (!PdfToolsInstalled())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    Night n;
    QTemporaryDir dir;
    ScriptedPrinter printer;
    printer.pdfPath = dir.filePath("options.pdf");
    Form_GirlData *g = n.t.app().girlForm();
    n.t.board().Cmd_GirlData->click();

    // No shop chosen yet: nothing to print.
    g->Cmd_Print->click();
    QCOMPARE(n.t.prompt().lastMessage(), QString("オプション表を印刷する店舗を選択してください。"));
    QVERIFY(printer.titles.isEmpty());

    g->Combo_Shop_Name->setCurrentIndex(0);
    emit g->Combo_Shop_Name->activated(0);
    g->Cmd_Print->click();
    QCOMPARE(printer.titles, QStringList({"オプション表の印刷"}));
    QCOMPARE(PdfPages(printer.pdfPath), 1);
    const QString text = PdfText(printer.pdfPath);
    for (const char *expected : {"オプション表", "Ａ店", "泡", "1,001円", "氷", "3,000円", "美月", "ミヅキ", "あい", "アイ"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(QString::fromUtf8(expected) + "\n" + text));
    QVERIFY(!text.contains("花子"));
    QCOMPARE(text.count(QStringLiteral("○")), 1);   // 美月 offers 泡 at Ａ店; あい nothing

    // Ｂ店's sheet: her slot there (ミー, nothing offered).
    printer.pdfPath = dir.filePath("options-b.pdf");
    g->Combo_Shop_Name->setCurrentIndex(1);
    emit g->Combo_Shop_Name->activated(1);
    g->Cmd_Print->click();
    const QString b = PdfText(printer.pdfPath);
    QVERIFY(b.contains("Ｂ店") && b.contains("ミー") && b.contains("アイコ"));
    QCOMPARE(b.count(QStringLiteral("○")), 0);
    g->Cmd_Cancel->click();
}

void TestNightClose::windowScenario()
{
    if (!PdfToolsInstalled())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    Night n;
    QTemporaryDir dir;
    ScriptedPrinter printer;

    // The sales window's all-shop today at 01:00 is the 8th; the night close shows the same.
    n.t.board().Cmd_Sales->click();
    Form_Sales *sales = n.t.app().salesForm();
    QStringList salesToday;
    for (int i = 4; i < 8; ++i)
        salesToday << sales->Label_Today[i]->text();
    sales->Cmd_Quit->click();

    n.t.board().Cmd_NightClose->click();
    Form_NightClose *w = n.t.board().nightCloseForm();
    QVERIFY(w->isVisible());
    QCOMPARE(w->Label_Day->text(), QString("2026/12/08（火） の精算"));
    QStringList totals;
    for (QLabel *l : w->Label_Total)
        totals << l->text();
    QCOMPARE(totals, salesToday);
    QCOMPARE(totals, QStringList({"38,001", "15,501", "22,500", "4"}));
    QCOMPARE(w->Grid_Shops->rowCount(), 3);
    QCOMPARE(w->Grid_Shops->item(2, 0)->text() + " " + w->Grid_Shops->item(2, 2)->text(), QString("合計 38,001"));

    // A section per companion: her totals, her bookings, and under each how her pay came out of it.
    const QAbstractItemModel *m = w->Tree_Slips->model();
    const auto text = [m](const QModelIndex &parent, int row, int column) { return m->index(row, column, parent).data().toString(); };
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(QStringList({text({}, 0, 0), text({}, 0, 1), text({}, 0, 8), text({}, 0, 9), text({}, 0, 10)}),
             QStringList({"美月", "3本", "26,001", "15,500", "10,501"}));
    const QModelIndex mizuki = m->index(0, 0);
    QCOMPARE(m->rowCount(mizuki), 3);
    QCOMPARE(text(mizuki, 0, 2) + " " + text(mizuki, 0, 4) + " " + text(mizuki, 0, 9), QString("21:00-22:00 泡 8,000"));
    const QModelIndex first = m->index(0, 0, mizuki);
    QCOMPARE(QStringList({text(first, 0, 0), text(first, 1, 0), text(first, 2, 0)}),
             QStringList({"コース A..60 10,000 × 65%（割増5%） = 6,500", "オプション 泡 1,001 × 50% = 500",
                          "指名料 2,000 × 50% = 1,000"}));
    QVERIFY(w->Tree_Slips->isFirstColumnSpanned(2, first));
    QVERIFY(w->Tree_Slips->isExpanded(first));
    QCOMPARE(text(m->index(2, 0, mizuki), 0, 0), TotalsOnlyNote());

    // Her slip on paper through the print dialog: the companion picked, from any line of her section.
    w->Tree_Slips->setCurrentIndex(m->index(0, 3, m->index(1, 0)));
    printer.pdfPath = dir.filePath("ai.pdf");
    w->Cmd_Print_Girl->click();
    QCOMPARE(PdfPages(printer.pdfPath), 1);
    QVERIFY(PdfText(printer.pdfPath).contains("あい") && !PdfText(printer.pdfPath).contains("美月"));
    w->Tree_Slips->setCurrentIndex(m->index(0, 0, first));
    printer.pdfPath = dir.filePath("mizuki.pdf");
    w->Cmd_Print_Girl->click();
    QCOMPARE(PdfPages(printer.pdfPath), 1);
    QVERIFY(PdfText(printer.pdfPath).contains("美月"));
    printer.pdfPath = dir.filePath("all.pdf");
    w->Cmd_Print_All->click();
    QCOMPARE(PdfPages(printer.pdfPath), 2);
    printer.pdfPath = dir.filePath("summary.pdf");
    printer.cancel = true;
    w->Cmd_Print_Summary->click();
    QVERIFY(!QFile::exists(printer.pdfPath));
    QCOMPARE(printer.titles.size(), 4);

    // Saved as PDF: every slip and the summary.
    const QString saved = dir.filePath("精算.pdf");
    n.t.prompt().answerText(saved);
    w->Cmd_Pdf->click();
    QCOMPARE(PdfPages(saved), 3);

    // An earlier day on request; a wrong date is told and changes nothing.
    w->Text_Date->setText("26/13/07");
    w->Cmd_Disp->click();
    QCOMPARE(n.t.prompt().lastMessage(), QString("日付を入力してください。（入力形式：YY/MM/DD）"));
    QCOMPARE(w->Label_Total[0]->text(), QString("38,001"));
    w->Text_Date->setText("26/12/07");
    w->Cmd_Disp->click();
    QCOMPARE(w->Label_Day->text(), QString("2026/12/07（月） の精算"));
    QCOMPARE(w->Label_Total[0]->text() + "|" + w->Label_Total[3]->text(), QString("10,000|1"));
    QCOMPARE(m->rowCount(), 1);

    // Left and shown again: today once more.
    const QString shot = qEnvironmentVariable("RP_NIGHT_CLOSE_SHOT");
    if (!shot.isEmpty())
        w->grab().save(shot);
    w->Cmd_Quit->click();
    QVERIFY(!w->isVisible());
    n.t.board().Cmd_NightClose->click();
    QCOMPARE(w->Label_Total[0]->text(), QString("38,001"));
    QVERIFY(w->Text_Date->text().isEmpty());
    QVERIFY(n.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(TestNightClose)
#include "test_nightclose.moc"
