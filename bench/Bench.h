#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace rp::bench {

// The generated agency file: 5 shops, 300 companions, 100,000 customers and 1,000,000 history rows over
// ten years, made with a fixed seed through the program's own schema. Customer 1 has 500 visits and
// customer 2 has 10; their telephone numbers are below.
struct Agency
{
    static constexpr int Shops = 5;
    static constexpr int Companions = 300;
    static constexpr int Customers = 100000;
    static constexpr int HistoryRows = 1000000;
    static QString telWith500Visits() { return QStringLiteral("09000000001"); }
    static QString telWith10Visits() { return QStringLiteral("09000000002"); }
    // The last day of history; the clock of timed actions is set to its evening.
    static QString lastDay() { return QStringLiteral("2026-11-30"); }

    // Path of the generated file (made once and kept beside the benchmark program).
    static QString file();
    // A fresh folder holding a copy of the file as rosterpad.mdb; returns the folder.
    static QString freshFolder(const QString &name);
};

struct Target
{
    double medianMs = 16;
    double worstMs = 0;      // 0: no target for the worst run
    double maxRatio = 0;     // 0: no target for the ratio to the bare statements
};

struct Timing
{
    double medianMs = 0;
    double worstMs = 0;
};

// Times an action: at least `runs` runs after one warm-up, median and worst, beside the median of the
// bare SQLite statements that the action needs (bare may be empty). Prints its row and returns the figures.
Timing Measure(const QString &name, int runs, const std::function<void()> &action,
             const std::function<void()> &bare, Target target);

// Benchmark sections register themselves; main runs those named on the command line, or all.
struct Section
{
    Section(const QString &name, std::function<void()> body);
};

} // namespace rp::bench

#define RP_BENCH_CONCAT2(a, b) a##b
#define RP_BENCH_CONCAT(a, b) RP_BENCH_CONCAT2(a, b)
#define RP_BENCH(name)                                                                                   \
    static void RP_BENCH_CONCAT(benchBody_, __LINE__)();                                                 \
    static const rp::bench::Section RP_BENCH_CONCAT(benchSection_, __LINE__)(QStringLiteral(name),       \
                                                                             &RP_BENCH_CONCAT(benchBody_, __LINE__)); \
    static void RP_BENCH_CONCAT(benchBody_, __LINE__)()
