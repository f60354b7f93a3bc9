#pragma once

#include "data/DateUtil.h"

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace rp {

// The program's scheduled jobs, run on the database of the program's folder without any window:
//   rosterpad --export-csv FROM TO FILE    the history of the business days FROM to TO (yyyy-MM-dd,
//                                          both included) as a CSV file
//   rosterpad --night-close DAY --pdf FILE the night close of the business day DAY (yyyy-MM-dd), every
//                                          slip and the summary, as a PDF file
// Without arguments the program starts its windows as always.
struct CommandLineJob
{
    enum class Kind { Windows, ExportCsv, NightClose, Invalid };
    Kind kind = Kind::Windows;
    Period period;   // NightClose: the day, first and last
    QString file;
    QString error;   // Invalid: what is wrong, in Japanese
};

constexpr int ExitFailed = 1;         // the job could not be done; no file was written
constexpr int ExitBadArguments = 2;   // the arguments ask for nothing the program knows

// arguments: without the program's name (Qt has taken its own options out).
CommandLineJob ParseCommandLine(const QStringList &arguments);

// Before the application object exists: true when the program runs a job (or has arguments and no
// display to show a window on), so that it needs no display.
bool RunsWithoutWindow(int argc, char **argv);

// Runs a job on the database in appPath; messages go to err in Japanese. Returns the exit status.
int RunJob(const CommandLineJob &job, const QString &appPath, QTextStream &err);

// Parses and runs; nullopt when the arguments ask for the windows.
std::optional<int> RunCommandLine(const QStringList &arguments, const QString &appPath, QTextStream &err);

} // namespace rp
