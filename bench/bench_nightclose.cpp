// The night close (精算) of the busiest day of ten years: opening the window, the store's reads alone,
// and the whole day as a PDF.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/Main_Form.h"
#include "sales/Form_NightClose.h"
#include "sales/Form_Sales.h"
#include "sales/NightCloseReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTreeView>
#include <QPixmap>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextStream>

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
    std::optional<int> choose(QWidget *, const ChoiceSpec &) override { return {}; }
};

void runBare(Database &db, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(db.handle());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant &v : binds)
        q.addBindValue(v);
    q.exec();
    while (q.next())
        q.value(0);
}

RP_BENCH("nightclose")
{
    const QString folder = bench::Agency::freshFolder(QStringLiteral("nightclose"));
    PrintedPrompt prompt;
    InstallPrompt(&prompt);

    // The busiest day, with three charge lines for each of its bookings (the file was made before the
    // lines were kept): the course, an option of 2,000 and a nomination of 1,000, adding up to its amounts.
    QString busiest;
    int bookings = 0;
    {
        Database db;
        db.open(folder + QStringLiteral("/rosterpad.mdb"));
        const std::optional<Row> row = db.first(QStringLiteral(
            "SELECT \"年月日\", count(*) FROM \"履歴\" GROUP BY \"年月日\" ORDER BY count(*) DESC, \"年月日\" DESC LIMIT 1;"));
        busiest = row->value(0).toString();
        bookings = row->value(1).toInt();
        const QString columns = QStringLiteral("\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\"");
        db.exec(QStringLiteral("INSERT INTO \"履歴明細\"(") + columns
                    + QStringLiteral(",\"行番号\",\"種別\",\"名称\",\"料金\",\"割合\",\"割増\",\"支払\") "
                                     "SELECT ") + columns + QStringLiteral(",1,'コース',\"コース名\",\"店売上\"-3000,40,0,\"コンパニオン支払\"-1800 "
                                     "FROM \"履歴\" WHERE \"年月日\"=? UNION ALL SELECT ") + columns
                    + QStringLiteral(",2,'オプション','OP2',2000,40,0,1200 FROM \"履歴\" WHERE \"年月日\"=? UNION ALL SELECT ")
                    + columns + QStringLiteral(",3,'指名','指名料',1000,40,0,600 FROM \"履歴\" WHERE \"年月日\"=?;"),
                {busiest, busiest, busiest});
    }
    const QDate day = QDate::fromString(busiest, Qt::ISODate);
    Clock::set(QDateTime(day, QTime(23, 30)));
    {
        Application app(folder);
        app.setSplashWaitMs(0);
        if (!app.start()) {
            QTextStream(stderr) << "start-up failed" << Qt::endl;
            return;
        }
        Module1 &m = app.module();
        Main_Form &board = *app.mainForm();
        const QVector<qint32> shops(m.ShopIDs.begin(), m.ShopIDs.begin() + m.ShopCount);
        board.Cmd_NightClose->click();
        Form_NightClose *w = board.nightCloseForm();
        const int companions = w->Tree_Slips->model()->rowCount();

        Database bare;
        bare.open(folder + QStringLiteral("/rosterpad.mdb"));
        QVariantList shopBinds;
        QString marks;
        for (qint32 id : shops) {
            shopBinds << id;
            marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        }
        const auto bareReads = [&] {
            QString options;
            for (int n = 1; n <= 15; ++n)
                options += QStringLiteral(",\"OP%1名\"").arg(n);
            runBare(bare, QStringLiteral("SELECT \"店舗ID\",\"店舗名\"") + options + QStringLiteral(" FROM \"店舗\" WHERE \"店舗ID\" IN (") + marks + QStringLiteral(");"), shopBinds);
            runBare(bare, QStringLiteral("SELECT \"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"開始時刻\",\"種別\",\"名称\",\"料金\",\"割合\",\"割増\",\"支払\" "
                                         "FROM \"履歴明細\" WHERE \"年月日\"=? ORDER BY \"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"開始時刻\",\"行番号\";"),
                    {busiest});
            QVariantList binds{busiest};
            binds += shopBinds;
            runBare(bare, QStringLiteral("SELECT h.\"顧客ID\",h.\"店舗ID\",h.\"コンパニオンID\",h.\"開始時刻\",h.\"終了時刻\",h.\"コース名\",h.\"オプション\","
                                         "h.\"延長\",h.\"指名\",h.\"キャンセル\",h.\"店売上\",h.\"コンパニオン支払\",c.\"源氏名\",k.\"名前\" "
                                         "FROM (\"履歴\" h LEFT JOIN \"コンパニオン\" c ON c.\"コンパニオンID\"=h.\"コンパニオンID\") "
                                         "LEFT JOIN \"顧客\" k ON k.\"顧客ID\"=h.\"顧客ID\" WHERE h.\"年月日\"=? AND h.\"店舗ID\" IN (") + marks
                        + QStringLiteral(") ORDER BY h.\"コンパニオンID\",h.\"開始時刻\";"),
                    binds);
        };

        const QString what = QStringLiteral("%1 bookings, %2 companions").arg(bookings).arg(companions);
        // As the sales window is measured (the records read and shown in the controls), and once more
        // with the first paint of the window.
        bench::Measure(QStringLiteral("night close: opening the window on the busiest day (%1)").arg(what), 20,
                       [&] {
                           w->Cmd_Quit->click();
                           board.Cmd_NightClose->click();
                       },
                       bareReads, bench::Target{50});
        bench::Measure(QStringLiteral("night close: the same, first paint included"), 20,
                       [&] {
                           w->Cmd_Quit->click();
                           board.Cmd_NightClose->click();
                           QCoreApplication::processEvents();
                       },
                       bareReads, bench::Target{50});
        // What showing a child window with its first paint costs whatever it shows: the sales window.
        w->Cmd_Quit->click();
        bench::Measure(QStringLiteral("for comparison: the sales window, first paint included"), 20,
                       [&] {
                           app.salesForm()->Cmd_Quit->click();
                           board.Cmd_Sales->click();
                           QCoreApplication::processEvents();
                       },
                       {}, bench::Target{50});
        app.salesForm()->Cmd_Quit->click();
        board.Cmd_NightClose->click();
        bench::Measure(QStringLiteral("night close: the store's records alone (LoadNightClose)"), 20,
                       [&] { LoadNightClose(app.database(), day, shops); }, bareReads, bench::Target{50});
        const QString pdf = QDir::temp().filePath(QStringLiteral("rosterpad-bench-nightclose.pdf"));
        bench::Measure(QStringLiteral("night close: the whole day as a PDF (%1 slips and the summary)").arg(companions), 5,
                       [&] {
                           QString error;
                           if (!WriteNightClosePdf(app.database(), day, pdf, &error))
                               QTextStream(stderr) << error << Qt::endl;
                       },
                       {}, bench::Target{10000});
        QFile::remove(pdf);

        // RP_NIGHT_CLOSE_SHOT=file.png: the window on the busy day with a slip picked, for a look at its layout.
        const QString shot = qEnvironmentVariable("RP_NIGHT_CLOSE_SHOT");
        if (!shot.isEmpty()) {
            w->Tree_Slips->setCurrentIndex(w->Tree_Slips->model()->index(0, 0));
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
            w->grab().save(shot);
        }
        w->Cmd_Quit->click();
        app.terminate();
    }
    Clock::reset();
    InstallPrompt(nullptr);
}

} // namespace
