// The sales charts and the CSV export on ten years of history.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/Main_Form.h"
#include "sales/Form_Sales.h"
#include "sales/Form_SalesChart.h"
#include "sales/HistoryCsv.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextStream>

namespace {

using namespace rp;

class PrintedPrompt : public PromptService
{
public:
    Answer message(QWidget *, const QString &text, Buttons buttons, const QString &) override
    {
        QTextStream(stderr) << "message: " << text << Qt::endl;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return {}; }
    std::optional<int> choose(QWidget *, const ChoiceSpec &) override { return {}; }
};

// The grouped statement the charts need, run bare on the connection: days along the shop-date index,
// then the days' groups by key.
void bareGrouped(Database &db, const QString &key, const QString &first, const QString &last)
{
    QSqlQuery q(db.handle());
    q.prepare(QStringLiteral("SELECT \"店舗ID\",") + key
              + QStringLiteral(",SUM(\"売上\"),SUM(\"支払\"),SUM(\"本数\") FROM (SELECT \"店舗ID\",\"年月日\" AS \"日\","
                               "SUM(\"店売上\") AS \"売上\",SUM(\"コンパニオン支払\") AS \"支払\",COUNT(*) AS \"本数\" "
                               "FROM \"履歴\" WHERE \"店舗ID\" IN (1,2,3,4,5) AND \"年月日\" BETWEEN ? AND ? "
                               "GROUP BY \"店舗ID\",\"年月日\") d GROUP BY \"店舗ID\",")
              + key);
    q.addBindValue(first);
    q.addBindValue(last);
    q.exec();
    while (q.next()) {
    }
}

void pick(QComboBox *combo, int position)
{
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

RP_BENCH("charts")
{
    const QString folder = bench::Agency::freshFolder(QStringLiteral("charts"));
    PrintedPrompt prompt;
    InstallPrompt(&prompt);
    Clock::set(QDateTime(QDate(2026, 11, 30), QTime(21, 0)));
    {
        Application app(folder);
        app.setSplashWaitMs(0);
        if (!app.start()) {
            QTextStream(stderr) << "start-up failed" << Qt::endl;
            return;
        }
        Database &db = app.database();
        app.mainForm()->Cmd_Sales->click();
        Form_Sales &sales = *app.salesForm();
        sales.Cmd_Chart->click();
        Form_SalesChart &w = *sales.chartForm();

        for (const QString &sql :
             {QStringLiteral("EXPLAIN QUERY PLAN SELECT \"店舗ID\",\"年月日\",SUM(\"店売上\") FROM \"履歴\" "
                             "WHERE \"店舗ID\" IN (1,2,3,4,5) AND \"年月日\" BETWEEN '2025-01-01' AND '2025-12-31' "
                             "GROUP BY \"店舗ID\",\"年月日\";"),
              QStringLiteral("EXPLAIN QUERY PLAN SELECT \"コンパニオンID\",SUM(\"コンパニオン支払\") AS \"支払\" FROM \"履歴\" "
                             "WHERE \"店舗ID\" IN (1,2,3,4,5) AND \"年月日\" BETWEEN '2025-01-01' AND '2025-12-31' "
                             "GROUP BY \"コンパニオンID\" ORDER BY \"支払\" DESC LIMIT 10;")}) {
            QSqlQuery q(db.handle());
            q.exec(sql);
            while (q.next())
                QTextStream(stderr) << "plan: " << q.value(3).toString() << Qt::endl;
        }

        const int runs = 25;
        pick(w.Combo_Chart_Shop, 0);
        w.Text_Chart_Date->setText(QStringLiteral("25"));
        bench::Measure(QStringLiteral("chart: a year by month, all shops stacked"), runs, [&] { w.Cmd_Chart_Disp->click(); },
                       [&] { bareGrouped(db, QStringLiteral("SUBSTR(\"日\",1,7)"), QStringLiteral("2025-01-01"),
                                         QStringLiteral("2025-12-31")); },
                       bench::Target{50});
        w.Text_Chart_Date->setText(QStringLiteral("26/10"));
        bench::Measure(QStringLiteral("chart: a month by day, all shops stacked"), runs, [&] { w.Cmd_Chart_Disp->click(); },
                       [&] { bareGrouped(db, QStringLiteral("\"日\""), QStringLiteral("2026-10-01"),
                                         QStringLiteral("2026-10-31")); },
                       bench::Target{50});
        pick(w.Combo_Chart_Kind, Form_SalesChart::ShareAndPay);
        w.Text_Chart_Date->setText(QStringLiteral("25"));
        bench::Measure(QStringLiteral("chart: a year, shop share and companion pay"), runs,
                       [&] { w.Cmd_Chart_Disp->click(); }, {}, bench::Target{50});
        pick(w.Combo_Chart_Kind, Form_SalesChart::TopCompanions);
        bench::Measure(QStringLiteral("chart: a year's ten companions with the most pay"), runs,
                       [&] { w.Cmd_Chart_Disp->click(); }, {}, bench::Target{50});

        // RP_CHART_SHOT=file.png: the year's chart as the owner sees it, for a look at its layout.
        const QString shot = qEnvironmentVariable("RP_CHART_SHOT");
        if (!shot.isEmpty()) {
            pick(w.Combo_Chart_Kind, Form_SalesChart::Takings);
            w.Cmd_Chart_Disp->click();
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
            w.grab().save(shot);
        }
        w.Cmd_Chart_Quit->click();

        // A year of history to a file, as the export writes it.
        const QString out = folder + QStringLiteral("/year.csv");
        const Period year{QDate(2025, 1, 1), QDate(2025, 12, 31)};
        qint64 rows = 0;
        bench::Measure(QStringLiteral("CSV export: a year of history (all shops)"), 3,
                       [&] { rows = ExportHistoryCsv(db, year, std::nullopt, out, [](qint64, qint64) { return true; }).rows; },
                       {}, bench::Target{2000});
        QTextStream(stderr) << "CSV export: " << rows << " rows, " << QFile(out).size() << " bytes" << Qt::endl;
        sales.Cmd_Quit->click();
        app.terminate();
    }
    Clock::reset();
    InstallPrompt(nullptr);
}

} // namespace
