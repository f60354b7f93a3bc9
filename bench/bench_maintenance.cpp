// The whole-file operations of the ﾃﾞｰﾀ処理 menu on the ten-year agency file.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Database.h"
#include "maintenance/Maintenance.h"
#include "reception/Main_Form.h"

#include <QFile>

namespace {

using namespace rp;

// Answers every box as an operator going ahead would.
struct GoAhead : PromptService
{
    QString answer;
    GoAhead() { InstallPrompt(this); }
    ~GoAhead() override { InstallPrompt(nullptr); }
    Answer message(QWidget *, const QString &text, Buttons b, const QString &) override
    {
        if (text.startsWith(QStringLiteral("Error!!")))
            qFatal("%s", qPrintable(text));
        return b == Buttons::YesNo || b == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override { return answer; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return answer; }
    std::optional<int> choose(QWidget *, const ChoiceSpec &) override { return OtherChoice; }
};

RP_BENCH("maintenance")
{
    const QString folder = bench::Agency::freshFolder(QStringLiteral("maintenance"));
    GoAhead prompt;
    Application app(folder);
    app.setSplashWaitMs(0);
    app.setDailyBackups(false);
    if (!app.start())
        qFatal("start-up failed");
    Main_Form &board = *app.mainForm();
    const QString copy = folder + QStringLiteral("/save.mdb");

    prompt.answer = copy;
    bench::Measure(QStringLiteral("backup (139 MB)"), 3, [&] { board.mnuBackup_Click(); },
                   [&] { QFile::remove(copy + QStringLiteral(".bare")); QFile::copy(app.DbPath, copy + QStringLiteral(".bare")); },
                   bench::Target{3000, 6000, 3});
    bench::Measure(QStringLiteral("restore (139 MB, checked)"), 3, [&] { board.mnuRestore_Click(); }, {},
                   bench::Target{10000, 15000});
    bench::Measure(QStringLiteral("compaction (139 MB)"), 3, [&] { board.mnuCompact_Click(); }, {},
                   bench::Target{15000, 20000});

    // Each run purges one more year of about 100,000 bookings.
    int year = 16;
    bench::Measure(QStringLiteral("purge one year of history"), 3, [&] {
        prompt.answer = QStringLiteral("%1/11/30").arg(year++);
        board.mnuDel_Click();
    }, {}, bench::Target{5000, 8000});
    QFile::remove(copy);
    QFile::remove(copy + QStringLiteral(".bare"));
}

} // namespace
