// Start-up on the ten-year file: from launch (with the real one-second splash) to a usable board, and
// until the start-up backup is checked and in place, beside the bare cost of the same file work.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Database.h"
#include "data/Prompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

using namespace rp;

// No box may wait for a person here; any box shown is printed, as it would spoil the figures.
class QuietPrompt : public PromptService
{
public:
    Answer message(QWidget *, const QString &text, Buttons buttons, const QString &) override
    {
        QTextStream(stdout) << "  (box shown: " << text << ")" << Qt::endl;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return {}; }
    std::optional<int> choose(QWidget *, const rp::ChoiceSpec &) override { return {}; }
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void row(const QString &name, const QVector<double> &ms, double bareMedian, double medianTarget, double worstTarget)
{
    const double med = median(ms);
    const double worst = *std::max_element(ms.begin(), ms.end());
    QString goal = QStringLiteral("-");
    QString met;
    if (medianTarget > 0) {
        goal = QStringLiteral("median ≤ %1 ms, worst ≤ %2 ms").arg(medianTarget).arg(worstTarget);
        met = med <= medianTarget && worst <= worstTarget ? QStringLiteral("met") : QStringLiteral("**missed**");
    }
    QTextStream(stdout) << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 |")
                               .arg(name)
                               .arg(ms.size())
                               .arg(med, 0, 'f', 2)
                               .arg(worst, 0, 'f', 2)
                               .arg(bareMedian > 0 ? QString::number(bareMedian, 'f', 2) : QStringLiteral("-"))
                               .arg(bareMedian > 0 ? QString::number(med / bareMedian, 'f', 1) + QLatin1Char('x')
                                                   : QStringLiteral("-"))
                               .arg(goal, met)
                        << Qt::endl;
}

RP_BENCH("startup")
{
    QuietPrompt prompt;
    InstallPrompt(&prompt);
    const QString folder = bench::Agency::freshFolder(QStringLiteral("startup"));
    const QString file = folder + QStringLiteral("/rosterpad.mdb");
    constexpr int Runs = 20;

    // The bare work on the same file, one after the other: both halves of the check, and the byte copy.
    QVector<double> bareCheck, bareCopy;
    for (int i = 0; i <= 5; ++i) {
        QElapsedTimer t;
        t.start();
        Database::checkSchema(file);
        Database::checkIntegrity(file);
        const double check = t.nsecsElapsed() / 1e6;
        t.restart();
        QFile::remove(folder + QStringLiteral("/copy.tmp"));
        QFile::copy(file, folder + QStringLiteral("/copy.tmp"));
        const double copy = t.nsecsElapsed() / 1e6;
        if (i > 0) {   // the first run warms the page cache
            bareCheck << check;
            bareCopy << copy;
        }
    }
    QFile::remove(folder + QStringLiteral("/copy.tmp"));
    const double bareMedian = median(bareCheck) + median(bareCopy);

    QVector<double> toBoard, toBackup;
    for (int i = 0; i <= Runs; ++i) {
        QElapsedTimer t;
        t.start();
        auto app = std::make_unique<Application>(folder);
        app->setDailyBackups(false);   // a copy of its own, timed apart from start-up
        const bool started = app->start();
        const double board = t.nsecsElapsed() / 1e6;
        app->waitForStartupBackup();
        const double backup = t.nsecsElapsed() / 1e6;
        if (!started)
            QTextStream(stdout) << "  (start-up failed in run " << i << ")" << Qt::endl;
        // Ended as the system ends it: the file stays as it was for the next run.
        app->terminate();
        app.reset();
        if (i > 0) {
            toBoard << board;
            toBackup << backup;
        }
    }
    row(QStringLiteral("start-up to usable board, 1000 ms splash (bare: schema + integrity check + byte copy)"),
        toBoard, bareMedian, 1200, 1200);
    row(QStringLiteral("start-up until the backup is checked and in place (same bare)"), toBackup, bareMedian, 0, 0);
    row(QStringLiteral("bare file check alone (schema + integrity)"), bareCheck, 0, 0, 0);
    row(QStringLiteral("bare byte copy alone"), bareCopy, 0, 0, 0);
    InstallPrompt(nullptr);
    QDir(folder).removeRecursively();
}

} // namespace
