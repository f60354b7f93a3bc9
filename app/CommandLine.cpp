#include "app/CommandLine.h"

#include "data/AppError.h"
#include "data/Database.h"
#include "sales/HistoryCsv.h"
#include "sales/NightCloseReport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <cstring>

namespace rp {

namespace {

const QString ExportCsvOption = QStringLiteral("--export-csv");
const QString NightCloseOption = QStringLiteral("--night-close");
const QString PdfOption = QStringLiteral("--pdf");

QString usage()
{
    return QStringLiteral("使い方: rosterpad --export-csv 開始日 終了日 出力ファイル\n"
                          "       rosterpad --night-close 営業日 --pdf 出力ファイル\n"
                          "  日付は yyyy-MM-dd（営業日、履歴の出力は両端を含む）。引数なしで起動すると画面が開きます。\n");
}

std::optional<QDate> readDate(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

CommandLineJob invalid(const QString &error)
{
    CommandLineJob job;
    job.kind = CommandLineJob::Kind::Invalid;
    job.error = error;
    return job;
}

} // namespace

CommandLineJob ParseCommandLine(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    const bool csv = arguments.first() == ExportCsvOption;
    const bool night = arguments.first() == NightCloseOption;
    if (!csv && !night)
        return invalid(QStringLiteral("引数が正しくありません: ") + arguments.join(QLatin1Char(' ')));
    if (csv && arguments.size() != 4)
        return invalid(QStringLiteral("--export-csv には 開始日 終了日 出力ファイル の3つを指定してください。"));
    if (night && (arguments.size() != 4 || arguments[2] != PdfOption))
        return invalid(QStringLiteral("--night-close には 営業日 と --pdf 出力ファイル を指定してください。"));
    const QStringList dates = csv ? arguments.mid(1, 2) : arguments.mid(1, 1);
    QVector<QDate> read;
    for (const QString &text : dates) {
        const std::optional<QDate> date = readDate(text);
        if (!date)
            return invalid(QStringLiteral("日付が正しくありません: %1（yyyy-MM-dd で指定してください）").arg(text));
        read << *date;
    }
    if (read.last() < read.first())
        return invalid(QStringLiteral("開始日 %1 が終了日 %2 より後です。").arg(dates.first(), dates.last()));
    if (arguments[3].isEmpty())
        return invalid(QStringLiteral("出力ファイルを指定してください。"));
    CommandLineJob job;
    job.kind = csv ? CommandLineJob::Kind::ExportCsv : CommandLineJob::Kind::NightClose;
    job.period = Period{read.first(), read.last()};
    job.file = arguments[3];
    return job;
}

bool RunsWithoutWindow(int argc, char **argv)
{
    if (argc <= 1)
        return false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--export-csv") == 0 || std::strcmp(argv[i], "--night-close") == 0)
            return true;
    // Any other argument is told about on standard error; without a display, not even a window system
    // must be needed for that.
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int RunJob(const CommandLineJob &job, const QString &appPath, QTextStream &err)
{
    switch (job.kind) {
    case CommandLineJob::Kind::Windows:
        return 0;
    case CommandLineJob::Kind::Invalid:
        err << job.error << '\n' << usage();
        err.flush();
        return ExitBadArguments;
    case CommandLineJob::Kind::ExportCsv:
    case CommandLineJob::Kind::NightClose:
        break;
    }

    // The database is reached as start-up reaches it (the file beside the program, or the server its
    // rosterpad.ini names), but only read: no start-up backup, no lock taken from a running board, and
    // the board's working table stays as it is.
    const QString folder = QDir::cleanPath(QDir(appPath).absolutePath());
    const ConnectionSettings settings = ReadSettings(folder);
    const QString dbPath = folder + QStringLiteral("/rosterpad.mdb");
    Database db;
    try {
        if (settings.engine == Engine::PostgreSQL) {
            db.connect(settings);
        } else {
            if (!QFileInfo(dbPath).isFile())
                throw AppError(AppError::FileNotFound,
                               QStringLiteral("ファイルが見つかりません。: ") + QDir::toNativeSeparators(dbPath));
            Database::checkSchema(dbPath);
            db.open(dbPath);
        }
    } catch (const AppError &error) {
        err << QStringLiteral("データベースを開けませんでした。") << error.description() << '\n';
        err.flush();
        return ExitFailed;
    }
    if (job.kind == CommandLineJob::Kind::NightClose) {
        // Written completely or not at all by the night close itself.
        QString error;
        if (!WriteNightClosePdf(db, job.period.first, job.file, &error)) {
            err << QStringLiteral("精算のPDFファイルを書き出せませんでした。") << error << '\n';
            err.flush();
            return ExitFailed;
        }
        return 0;
    }
    try {
        ExportHistoryCsv(db, job.period, std::nullopt, job.file);
    } catch (const AppError &error) {
        err << QStringLiteral("CSVファイルを書き出せませんでした。") << error.description() << '\n';
        err.flush();
        return ExitFailed;
    }
    return 0;
}

std::optional<int> RunCommandLine(const QStringList &arguments, const QString &appPath, QTextStream &err)
{
    const CommandLineJob job = ParseCommandLine(arguments);
    if (job.kind == CommandLineJob::Kind::Windows)
        return std::nullopt;
    return RunJob(job, appPath, err);
}

} // namespace rp
