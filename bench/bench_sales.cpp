// The sales window on ten years of history: showing it, picking a shop or a companion, typed periods.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/Main_Form.h"
#include "sales/Form_Sales.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPixmap>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

namespace {

using namespace rp;

// No person answers here: every box is printed, so that a failure cannot pass for a quick run.
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
    std::optional<int> choose(QWidget *, const rp::ChoiceSpec &) override { return {}; }
};

// The statements the window needs, run on the connection with nothing around them.
struct Bare
{
    Database &db;

    void sum(const QVector<qint32> &shops, std::optional<qint32> companion, const QString &first, const QString &last)
    {
        QString marks;
        for (int i = 0; i < shops.size(); ++i)
            marks += i ? QStringLiteral(",?") : QStringLiteral("?");
        QSqlQuery q(db.handle());
        q.prepare(QStringLiteral("SELECT COALESCE(SUM(\"店売上\"),0),COALESCE(SUM(\"コンパニオン支払\"),0),COUNT(*) "
                                 "FROM \"履歴\" WHERE \"店舗ID\" IN (")
                  + marks + QStringLiteral(")") + (companion ? QStringLiteral(" AND \"コンパニオンID\"=?") : QString())
                  + QStringLiteral(" AND \"年月日\" BETWEEN ? AND ?;"));
        for (qint32 id : shops)
            q.addBindValue(id);
        if (companion)
            q.addBindValue(*companion);
        q.addBindValue(first);
        q.addBindValue(last);
        q.exec();
        q.next();
    }
    // Today, yesterday, this month and last month at 2026-11-30 21:00.
    void fixed(const QVector<qint32> &shops, std::optional<qint32> companion)
    {
        sum(shops, companion, QStringLiteral("2026-11-30"), QStringLiteral("2026-11-30"));
        sum(shops, companion, QStringLiteral("2026-11-29"), QStringLiteral("2026-11-29"));
        sum(shops, companion, QStringLiteral("2026-11-01"), QStringLiteral("2026-11-30"));
        sum(shops, companion, QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"));
    }
};

void pick(QComboBox *combo, int position)
{
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

RP_BENCH("sales")
{
    const QString folder = bench::Agency::freshFolder(QStringLiteral("sales"));
    PrintedPrompt prompt;
    InstallPrompt(&prompt);
    Clock::set(QDateTime(QDate(2026, 11, 30), QTime(21, 0)));
    {
        Application app(folder);
        app.setSplashWaitMs(0);
        app.setDailyBackups(false);
        if (!app.start()) {
            QTextStream(stderr) << "start-up failed" << Qt::endl;
            return;
        }
        Form_Sales &w = *app.salesForm();
        Module1 &m = app.module();
        Bare bare{app.database()};
        const QVector<qint32> all(m.ShopIDs.begin(), m.ShopIDs.begin() + m.ShopCount);
        const QVector<qint32> shop{m.ShopIDs[0]};
        const qint32 girl = m.CompanionIDs[0];

        // How the store answers the heaviest sums (for the record).
        for (const QString &sql : {QStringLiteral("EXPLAIN QUERY PLAN SELECT COALESCE(SUM(\"店売上\"),0),COALESCE(SUM(\"コンパニオン支払\"),0),COUNT(*) "
                                                  "FROM \"履歴\" WHERE \"店舗ID\" IN (1,2,3,4,5) AND \"年月日\" BETWEEN '2025-01-01' AND '2025-12-31';"),
                                   QStringLiteral("EXPLAIN QUERY PLAN SELECT COALESCE(SUM(\"店売上\"),0),COALESCE(SUM(\"コンパニオン支払\"),0),COUNT(*) "
                                                  "FROM \"履歴\" WHERE \"店舗ID\" IN (1,2,3,4,5) AND \"コンパニオンID\"=1 AND \"年月日\" BETWEEN '2025-01-01' AND '2025-12-31';")}) {
            QSqlQuery q(app.database().handle());
            q.exec(sql);
            while (q.next())
                QTextStream(stderr) << "plan: " << q.value(3).toString() << Qt::endl;
        }

        const int runs = 25;
        bench::Measure(QStringLiteral("sales: showing the window (four all-shop periods)"), runs, [&] {
            w.Cmd_Quit->click();
            app.mainForm()->Cmd_Sales->click();
        }, [&] { bare.fixed(all, std::nullopt); }, bench::Target{16});

        bench::Measure(QStringLiteral("sales: picking a shop"), runs, [&] { pick(w.Combo_Shop_Name, 0); },
                       [&] { bare.fixed(shop, std::nullopt); }, bench::Target{16});

        bench::Measure(QStringLiteral("sales: picking a companion (all shops)"), runs, [&] { pick(w.Combo_GirlName, 0); },
                       [&] { bare.fixed(all, girl); }, bench::Target{16});

        struct Typed { const char *label; QString text; QString first; QString last; double target; };
        const Typed typed[] = {
            {"day", QStringLiteral("26/11/30"), QStringLiteral("2026-11-30"), QStringLiteral("2026-11-30"), 16},
            {"month", QStringLiteral("26/10"), QStringLiteral("2026-10-01"), QStringLiteral("2026-10-31"), 16},
            {"year", QStringLiteral("25"), QStringLiteral("2025-01-01"), QStringLiteral("2025-12-31"), 16},
        };
        for (const Typed &t : typed) {
            w.Text_Date->setText(t.text);
            bench::Measure(QStringLiteral("sales: typed %1, one shop").arg(QLatin1String(t.label)), runs,
                           [&] { w.Cmd_Disp->click(); }, [&] { bare.sum(shop, std::nullopt, t.first, t.last); },
                           bench::Target{t.target});
        }
        for (const Typed &t : typed) {
            w.Text_Date_All->setText(t.text);
            const double target = QLatin1String(t.label) == QLatin1String("year") ? 50 : 16;
            bench::Measure(QStringLiteral("sales: typed %1, all shops").arg(QLatin1String(t.label)), runs,
                           [&] { w.Cmd_Disp_All->click(); }, [&] { bare.sum(all, std::nullopt, t.first, t.last); },
                           bench::Target{target});
        }
        // RP_SALES_SHOT=file.png: the window as the owner sees it at month end, for a look at its layout.
        const QString shot = qEnvironmentVariable("RP_SALES_SHOT");
        if (!shot.isEmpty()) {
            w.Cmd_Quit->click();
            app.mainForm()->Cmd_Sales->click();
            pick(w.Combo_Shop_Name, 0);
            pick(w.Combo_GirlName, 0);
            pick(w.Combo_SName_Girl, 0);
            for (QLineEdit *box : {w.Text_Date, w.Text_Date_All, w.Text_Girl_Date})
                box->setText(QStringLiteral("26/10"));
            w.Cmd_Disp->click();
            w.Cmd_Disp_All->click();
            w.Cmd_Gir_Disp->click();
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
            w.grab().save(shot);
        }
        w.Cmd_Quit->click();
        app.terminate();
    }
    Clock::reset();
    InstallPrompt(nullptr);
}

} // namespace
