#include "maintenance/Maintenance.h"

#include "app/Application.h"
#include "app/WorkProgress.h"
#include "data/AppError.h"
#include "data/Clock.h"
#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Schema.h"
#include "data/ServerDump.h"
#include "data/Money.h"
#include "maintenance/DailyBackup.h"
#include "reception/Main_Form.h"
#include "reception/StatusStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rp::maintenance {

namespace {

const QString DialogFilter = QStringLiteral("データベース　ファイル(*.mdb)|*.mdb|すべてのファイル(*.*)|*.*");
const QString CompactTargetName = QStringLiteral("comp.mdb");
constexpr qint64 CopyChunk = 1 << 20;

qint64 &failCopiesAfter()
{
    static qint64 bytes = -1;
    return bytes;
}

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

AppError fileError(const QString &what, const QString &path, const QString &detail = {})
{
    return AppError(AppError::PathFileAccess,
                    what + QStringLiteral(": ") + native(path)
                        + (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + QLatin1Char(')')));
}

// A write that failed for want of room is told as such, naming the place the operator knows (the file
// chosen, the database's folder), not a temporary name nor a file that was never touched.
AppError writeError(const QString &place, int error, const QString &folder, qint64 stillNeeded, const QString &detail)
{
    const bool full = error == ENOSPC
        || (stillNeeded > 0 && QStorageInfo(folder).bytesAvailable() < stillNeeded);
    if (full)
        return AppError(AppError::PathFileAccess,
                        QStringLiteral("ディスクの空き容量が足りないため、書き込めませんでした。: ") + place);
    return fileError(QStringLiteral("ファイルを書き込めません"), place,
                     error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : detail);
}

// Straight to the file, not through a buffer: a write that fails says so at once, with the system's
// reason still in errno.
bool writeAll(int fd, const QByteArray &data)
{
    const char *at = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= n;
    }
    return true;
}

// Written data reaches the disk before the file is renamed into place, so a power cut cannot leave a
// complete-looking name over incomplete contents.
void flushToDisk(QFileDevice &file, const QString &place)
{
    errno = 0;
    if (!file.flush())
        throw writeError(place, errno, QFileInfo(file.fileName()).absolutePath(), 0, file.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        throw writeError(place, errno, QFileInfo(file.fileName()).absolutePath(), 0, QString());
#endif
}

void syncFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("ファイルを開けません"), path, file.errorString());
    flushToDisk(file, native(path));
}

// The rename itself is only durable once the folder's entry is.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// Both names lead to one file (links and case folding included).
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists()) {
        std::error_code ec;
        if (std::filesystem::equivalent(fa.filesystemAbsoluteFilePath(), fb.filesystemAbsoluteFilePath(), ec))
            return true;
        return !ec ? false : fa.canonicalFilePath() == fb.canonicalFilePath();
    }
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

// While a long operation keeps the window alive, the board's warning stays still: the connection is
// with the worker or closed, and the board is read again after the operation anyway.
class WarningPaused
{
public:
    explicit WarningPaused(Application &app) : m_timer(app.mainForm() ? app.mainForm()->warningTimer() : nullptr)
    {
        m_wasActive = m_timer && m_timer->isActive();
        if (m_wasActive)
            m_timer->stop();
    }
    ~WarningPaused()
    {
        if (m_wasActive)
            m_timer->start();
    }
    WarningPaused(const WarningPaused &) = delete;
    WarningPaused &operator=(const WarningPaused &) = delete;

private:
    QTimer *m_timer;
    bool m_wasActive = false;
};

// Opens the connection again after a file operation; the first failure is the one reported.
void reopen(Database &db, const QString &path, std::optional<AppError> &failure)
{
    if (db.isOpen())
        return;
    try {
        db.open(path);
    } catch (const AppError &error) {
        if (!failure)
            failure = error;
    }
}

// After a restore the program shows the restored file, never the running board's state.
void ReloadAfterRestore(Application &app, qint32 shownShopId)
{
    Main_Form &board = *app.mainForm();
    Module1 &module = app.module();
    Database &db = app.database();

    // Forget what the board shows before the lists are reloaded: re-selecting a shop writes the board
    // back, and that would put the pre-restore duty state into the restored file.
    board.Tariff.SelectedShopID = 0;
    board.BoardRowCount = 0;
    board.SelectShop(-1);

    module.LoadShopList();
    module.LoadCompanionList();
    module.InitBitMasks();

    if (!StatusTableExists(db)) {
        db.atomic([&] {
            CreateStatusTable(db);
            for (int i = 0; i < module.CompanionCount; ++i)
                module.SyncStatusRows(module.CompanionIDs[i]);
        });
    }

    // The warning tables follow the restored file's running bookings at every shop.
    module.RefreshWarningTables();

    board.ResetBookingEntry();
    board.Tariff.zeroTables();
    // The customer and history shown belonged to the file before the restore.
    board.ForgetCustomer();

    // The shop shown before, now from the restored file (the first shop if it is not there any more);
    // its tariff is loaded again, so a booking is never priced from emptied tables.
    if (shownShopId != 0 && module.ShopCount > 0) {
        const int p = module.shopPosition(shownShopId);
        board.SelectShop(p >= 0 ? p : 0);
    }
    board.TimerWarningTick();
}

// The file operations are SQLite's: a server's database is backed up, restored and compacted by its
// administrator.
bool refusedOnServer(Application &app, QWidget *parent)
{
    if (!app.onServer())
        return false;
    Notice(parent, ServerMaintenanceMessage());
    return true;
}

} // namespace

QString ServerMaintenanceMessage()
{
    return QStringLiteral("データベースサーバー (PostgreSQL) のリストアと最適化は、サーバーの管理者が行います。\r\n"
                          "このコンピューターからは何も変更していません。");
}

FileDialogSpec ServerBackupDialog(const QString &lastFileName, const QString &folder, const QDate &today)
{
    FileDialogSpec dialog;
    dialog.save = true;
    dialog.title = QStringLiteral("データベースをバックアップ");
    dialog.filter = QStringLiteral("PostgreSQL バックアップ(*.dump)|*.dump|すべてのファイル(*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("dump");
    dialog.initialPath = lastFileName;
    if (lastFileName.isEmpty() && !folder.isEmpty())
        dialog.initialPath = folder + QStringLiteral("/rosterpad_") + today.toString(QStringLiteral("yyyyMMdd"))
            + QStringLiteral(".dump");
    dialog.confirmOverwrite = true;
    return dialog;
}

FileDialogSpec BackupDialog(const QString &lastFileName, const QString &dbPath, const QDate &today)
{
    FileDialogSpec dialog;
    dialog.save = true;
    dialog.title = QStringLiteral("データベースファイルをバックアップ");
    dialog.filter = DialogFilter;
    dialog.defaultSuffix = QStringLiteral("mdb");
    dialog.initialPath = lastFileName;
    if (lastFileName.isEmpty() && !dbPath.isEmpty())
        dialog.initialPath = QFileInfo(dbPath).absolutePath() + QStringLiteral("/rosterpad_")
            + (today.isValid() ? today : BusinessDate(Clock::now())).toString(QStringLiteral("yyyyMMdd"))
            + QStringLiteral(".mdb");
    dialog.confirmOverwrite = true;
    return dialog;
}

FileDialogSpec RestoreDialog(const QString &lastFileName, const QString &dbPath)
{
    FileDialogSpec dialog;
    dialog.save = false;
    dialog.title = QStringLiteral("データベースファイルをリストア");
    dialog.filter = DialogFilter;
    dialog.defaultSuffix = QStringLiteral("mdb");
    dialog.initialPath = lastFileName;
    if (lastFileName.isEmpty() && !dbPath.isEmpty()) {
        const QString kept = dailybackup::Folder(dbPath);
        dialog.initialPath = QFileInfo(kept).isDir() ? kept : QFileInfo(dbPath).absolutePath();
    }
    return dialog;
}

namespace {

ChoiceSpec restoreChoice(const QVector<dailybackup::Entry> &backups)
{
    ChoiceSpec spec;
    spec.title = QStringLiteral("データベースファイルをリストア");
    spec.text = QStringLiteral("リストアするバックアップを選んでください。\r\n"
                               "（プログラムが自動で残したバックアップです。ほかのファイルは［他のファイル...］から選べます。）");
    spec.headers = {QStringLiteral("日付"), QStringLiteral("種類"), QStringLiteral("予約件数"), QStringLiteral("ファイル")};
    for (const dailybackup::Entry &e : backups) {
        const bool daily = e.kind == dailybackup::Kind::Daily;
        const std::optional<qint64> bookings = dailybackup::Bookings(e.path);
        spec.rows << QStringList{e.made.toString(daily ? QStringLiteral("yyyy/MM/dd") : QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                                 daily ? QStringLiteral("日ごとの自動バックアップ") : QStringLiteral("リストア前の保存"),
                                 bookings ? FormatNumber(double(*bookings)) : QStringLiteral("読めません"),
                                 QFileInfo(e.path).fileName()};
    }
    spec.otherButton = QStringLiteral("他のファイル...");
    return spec;
}

} // namespace

QString PurgeDateRefusal(const QDate &upTo, const QDate &businessDay)
{
    if (upTo < businessDay)
        return QString();
    return QStringLiteral("本日（%1）以降の履歴データは削除できません。%2 より前の日付を入力してください。")
        .arg(businessDay.toString(QStringLiteral("yyyy/MM/dd")), businessDay.toString(QStringLiteral("yyyy/MM/dd")));
}

QString BackupTargetRefusal(const QString &target, const QString &dbPath)
{
    const QFileInfo info(target);
    if (info.isDir())
        return QStringLiteral("フォルダーにはバックアップできません。ファイル名を指定してください。\r\n") + native(target);
    if (!QFileInfo(info.absolutePath()).isDir())
        return QStringLiteral("バックアップ先のフォルダーがありません。\r\n") + native(info.absolutePath());
    if (sameFile(target, dbPath))
        return QStringLiteral("使用中のデータベースファイルそのものにはバックアップできません。別のファイル名を指定してください。");
    // The engine's own files beside the database, and the program's lock: the engine would delete or
    // overwrite a copy put there at once.
    QStringList reserved = Database::sideFiles(dbPath);
    reserved << QFileInfo(dbPath).absolutePath() + QStringLiteral("/rosterpad.lck");
    for (const QString &name : reserved)
        if (sameFile(target, name))
            return QStringLiteral("%1 はプログラムが使用するファイルの名前のため、バックアップ先にできません。別のファイル名を指定してください。")
                .arg(info.fileName());
    return QString();
}

QString RestoreSourceRefusal(const QString &source, const QString &dbPath)
{
    if (sameFile(source, dbPath))
        return QStringLiteral("使用中のデータベースファイルそのものはリストアできません。");
    try {
        Database::checkFile(source);
    } catch (const AppError &error) {
        return QStringLiteral("このファイルはリストアできません。\r\n") + error.description();
    }
    return QString();
}

StagedCopy::StagedCopy(const QString &source, const QString &destination, const QString &place,
                       const ProgressFn &progress)
    : m_destination(destination)
{
    const QFileInfo target(destination);
    m_file = std::make_unique<QTemporaryFile>(target.absolutePath() + QLatin1Char('/') + target.fileName()
                                              + QStringLiteral(".XXXXXX.part"));
    if (!m_file->open())
        throw fileError(QStringLiteral("一時ファイルを作成できません"), target.absolutePath(), m_file->errorString());

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("ファイルを読み込めません"), source, in.errorString());
    const qint64 expected = in.size();
    qint64 written = 0;
    for (;;) {
        const QByteArray chunk = in.read(CopyChunk);
        if (chunk.isEmpty())
            break;
        const qint64 limit = failCopiesAfter();
        errno = 0;
        if (limit >= 0 && written + chunk.size() > limit) {
            writeAll(m_file->handle(), chunk.left(limit - written));
            errno = ENOSPC;
        } else if (writeAll(m_file->handle(), chunk)) {
            written += chunk.size();
            if (progress)
                progress(written, expected);
            continue;
        }
        throw writeError(place, errno, target.absolutePath(), expected - written, m_file->errorString());
    }
    if (in.error() != QFileDevice::NoError || written != expected)
        throw fileError(QStringLiteral("ファイルを最後まで読み込めません"), source, in.errorString());
    flushToDisk(*m_file, place);
    // A temporary file is private to its owner; the copy gets the permissions of an ordinary file.
    m_file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                           | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    m_file->close();
}

StagedCopy::~StagedCopy() = default;

QString StagedCopy::path() const { return m_file->fileName(); }

void StagedCopy::install()
{
    ReplaceDatabaseFile(m_file->fileName(), m_destination);
    m_file->setAutoRemove(false);
}

void ReplaceFile(const QString &source, const QString &destination)
{
    // rename() replaces the destination in one step: readers see the old file or the new one.
    std::error_code ec;
    std::filesystem::rename(QFileInfo(source).filesystemAbsoluteFilePath(),
                            QFileInfo(destination).filesystemAbsoluteFilePath(), ec);
    if (ec)
        throw fileError(QStringLiteral("ファイルを置き換えられません"), destination, QString::fromStdString(ec.message()));
    syncFolder(QFileInfo(destination).absolutePath());
}

void ReplaceDatabaseFile(const QString &source, const QString &destination)
{
    // Set aside first, so that a failed rename leaves the old file exactly as it was, side files included.
    QVector<std::pair<QString, QString>> setAside;
    const auto putBack = [&setAside] {
        for (const auto &[side, aside] : setAside)
            QFile::rename(aside, side);
    };
    for (const QString &side : Database::sideFiles(destination)) {
        if (!QFileInfo::exists(side))
            continue;
        const QString aside = side + QStringLiteral(".old");
        QFile::remove(aside);
        if (!QFile::rename(side, aside)) {
            putBack();
            throw fileError(QStringLiteral("作業用ファイルを片付けられません"), side);
        }
        setAside.append({side, aside});
    }
    try {
        ReplaceFile(source, destination);
    } catch (...) {
        putBack();
        throw;
    }
    for (const auto &entry : setAside)
        QFile::remove(entry.second);
    syncFolder(QFileInfo(destination).absolutePath());
}

void FailFileCopiesAfter(qint64 bytes) { failCopiesAfter() = bytes; }

namespace {

// The backup file the operator chose: nothing when the dialog was cancelled (outcome Cancelled) or the
// target was refused with a notice (outcome Refused).
std::optional<QString> chooseBackupTarget(QWidget *parent, const FileDialogSpec &dialog, const QString &dbPath,
                                          QString &lastFileName, Outcome &outcome)
{
    const std::optional<QString> chosen = Prompt().fileName(parent, dialog);
    if (!chosen || chosen->isEmpty()) {
        outcome = Outcome::Cancelled;
        return std::nullopt;
    }
    lastFileName = *chosen;
    const QString refusal = BackupTargetRefusal(*chosen, dbPath);
    if (!refusal.isEmpty()) {
        Notice(parent, refusal);
        outcome = Outcome::Refused;
        return std::nullopt;
    }
    return chosen;
}

// On a server the backup is the server's own dump, written by pg_dump beside the chosen file and put in
// its place only when complete.
Outcome serverBackup(Application &app, QWidget *parent, QString &lastFileName)
{
    if (PgDumpProgram().isEmpty()) {
        Notice(parent, PgDumpMissingMessage());
        return Outcome::Refused;
    }
    Outcome outcome = Outcome::Done;
    const std::optional<QString> chosen = chooseBackupTarget(
        parent, ServerBackupDialog(lastFileName, app.AppPath, BusinessDate(Clock::now())), app.DbPath, lastFileName, outcome);
    if (!chosen)
        return outcome;
    try {
        const QFileInfo target(*chosen);
        QTemporaryFile staged(target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX.part"));
        if (!staged.open())
            throw fileError(QStringLiteral("一時ファイルを作成できません"), target.absolutePath(), staged.errorString());
        staged.close();
        {
            WarningPaused paused(app);
            WorkProgress busy(parent, QStringLiteral("バックアップしています・・・"));
            DumpServerDatabase(app.Settings, staged.fileName(), [&busy] { busy.report(0, 0); });
        }
        staged.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                              | QFileDevice::WriteUser);
        ReplaceFile(staged.fileName(), *chosen);
        staged.setAutoRemove(false);
    } catch (const AppError &error) {
        ShowCommonError(parent, error);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

} // namespace

Outcome Backup(Application &app, QWidget *parent, QString &lastFileName)
{
    if (app.onServer())
        return serverBackup(app, parent, lastFileName);
    Outcome outcome = Outcome::Done;
    const std::optional<QString> chosen = chooseBackupTarget(
        parent, BackupDialog(lastFileName, app.DbPath, BusinessDate(Clock::now())), app.DbPath, lastFileName, outcome);
    if (!chosen)
        return outcome;

    Database &db = app.database();
    std::optional<AppError> failure;
    {
        WarningPaused paused(app);
        WorkProgress progress(parent, QStringLiteral("バックアップしています・・・"));
        db.close();
        try {
            StagedCopy copy(app.DbPath, *chosen, native(*chosen), progress.callback());
            copy.install();
        } catch (const AppError &error) {
            failure = error;
        }
        reopen(db, app.DbPath, failure);
    }
    if (failure) {
        ShowCommonError(parent, *failure);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Outcome Restore(Application &app, QWidget *parent, QString &lastFileName)
{
    if (refusedOnServer(app, parent))
        return Outcome::Refused;
    // The copies the program keeps come first, with their dates and bookings; any other file is a click away.
    std::optional<QString> chosen;
    const QVector<dailybackup::Entry> kept = dailybackup::List(dailybackup::Folder(app.DbPath));
    if (!kept.isEmpty()) {
        const std::optional<int> choice = Prompt().choose(parent, restoreChoice(kept));
        if (!choice)
            return Outcome::Cancelled;
        if (*choice >= 0 && *choice < kept.size())
            chosen = kept[*choice].path;
    }
    if (!chosen)
        chosen = Prompt().fileName(parent, RestoreDialog(lastFileName, app.DbPath));
    if (!chosen || chosen->isEmpty())
        return Outcome::Cancelled;
    lastFileName = *chosen;
    QString refusal;
    {
        // The engine reads every page of the chosen file: seconds for a big one.
        WarningPaused paused(app);
        WorkProgress busy(parent, QStringLiteral("リストアするファイルを確認しています・・・"));
        busy.runInBackground(app.database(), [&] { refusal = RestoreSourceRefusal(*chosen, app.DbPath); });
    }
    if (!refusal.isEmpty()) {
        Notice(parent, refusal);
        return Outcome::Refused;
    }
    // Everything registered since that file was made goes: the operator says so, knowing both files.
    if (!AskOkCancel(parent, QStringLiteral("使用中のデータベースファイル\r\n%1\r\nを、次のファイルの内容で置き換えます。\r\n%2\r\n"
                                            "置き換えると、今のデータベースファイルの内容は失われます。よろしいですか？")
                                 .arg(native(app.DbPath), native(*chosen))))
        return Outcome::Cancelled;

    Database &db = app.database();
    Module1 &module = app.module();
    std::unique_ptr<StagedCopy> staged;
    try {
        WarningPaused paused(app);
        WorkProgress progress(parent, QStringLiteral("リストアしています・・・"));
        staged = std::make_unique<StagedCopy>(
            *chosen, app.DbPath, QStringLiteral("データベースのフォルダー ") + native(QFileInfo(app.DbPath).absolutePath()),
            progress.callback());
        // What takes the database's place is the copy itself, checked again.
        Database::checkSchema(staged->path());
    } catch (const AppError &error) {
        ShowCommonError(parent, error);
        return Outcome::Failed;
    }

    const int shown = app.mainForm()->shownShopPosition();
    const qint32 shownShopId = shown >= 0 && shown < module.ShopCount ? module.ShopIDs[shown] : 0;

    std::optional<AppError> failure;
    db.close();
    // The file as it is now is kept first, so that a wrong restore can be undone by another one.
    const QString keptAs = dailybackup::BeforeRestorePath(dailybackup::Folder(app.DbPath), Clock::now());
    try {
        if (!QDir().mkpath(QFileInfo(keptAs).absolutePath()))
            throw fileError(QStringLiteral("フォルダーを作成できません"), QFileInfo(keptAs).absolutePath());
        {
            WarningPaused paused(app);
            WorkProgress progress(parent, QStringLiteral("リストアする前のデータベースを保存しています・・・"));
            StagedCopy(app.DbPath, keptAs, native(keptAs), progress.callback()).install();
        }
        dailybackup::Rotate(QFileInfo(keptAs).absolutePath());
        staged->install();
    } catch (const AppError &error) {
        failure = error;
        reopen(db, app.DbPath, failure);
        ShowCommonError(parent, *failure);
        return Outcome::Failed;
    }
    reopen(db, app.DbPath, failure);
    try {
        if (!failure)
            ReloadAfterRestore(app, shownShopId);
    } catch (const AppError &error) {
        failure = error;
    }
    if (failure) {
        ShowCommonError(parent, *failure);
        return Outcome::Failed;
    }
    Notice(parent, QStringLiteral("リストアが終了しました。\r\n%1 の内容に置き換えました。\r\n置き換える前のデータベースは %2 に保存しました。")
                       .arg(native(*chosen), native(keptAs)));
    return Outcome::Done;
}

Outcome Compact(Application &app, QWidget *parent)
{
    if (refusedOnServer(app, parent))
        return Outcome::Refused;
    if (!AskOkCancel(parent, QStringLiteral("データベースファイルの最適化を行います。")))
        return Outcome::Cancelled;

    const QString target = app.AppPath + QLatin1Char('/') + CompactTargetName;
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        // The database is only ever replaced by a complete, checked copy, so a leftover that is not
        // one is an interrupted run's unfinished work and may go. A complete one is somebody's copy.
        bool complete = true;
        try {
            Database::checkFile(target);
        } catch (const AppError &) {
            complete = false;
        }
        if (complete || !QFileInfo(target).isFile()) {
            Notice(parent, QStringLiteral("前回の最適化のファイルが残っているため、最適化を行いませんでした。\r\n")
                               + native(target)
                               + QStringLiteral("\r\n内容を確かめて移動または削除してから、もう一度実行してください。"));
            return Outcome::Refused;
        }
        bool removed = QFile::remove(target);
        for (const QString &side : Database::sideFiles(target))
            if (QFileInfo::exists(side))
                removed = QFile::remove(side) && removed;
        if (!removed) {
            ShowCommonError(parent, fileError(QStringLiteral("前回の最適化の途中のファイルを削除できません"), target));
            return Outcome::Failed;
        }
        Notice(parent, QStringLiteral("前回中断された最適化の途中のファイルを削除しました。\r\n") + native(target)
                           + QStringLiteral("\r\nデータベースファイルは変更されていません。最適化を続けます。"));
    }

    Database &db = app.database();
    std::optional<AppError> failure;
    try {
        try {
            // The engine tells no progress: it works in the background while the window shows it busy.
            WarningPaused paused(app);
            WorkProgress busy(parent, QStringLiteral("データベースファイルを最適化しています・・・"));
            busy.runInBackground(db, [&] {
                db.compactInto(target);
                syncFile(target);
            });
        } catch (const AppError &error) {
            // The engine tells a full disk without saying which file it was writing.
            throw AppError(error.number(), QStringLiteral("最適化したファイルを書き込めません: ") + native(target)
                                               + QStringLiteral("\r\n") + error.description());
        }
        db.close();
        ReplaceDatabaseFile(target, app.DbPath);
    } catch (const AppError &error) {
        failure = error;
        // Ours alone (it did not exist before): the database file is still the old one.
        QFile::remove(target);
        for (const QString &side : Database::sideFiles(target))
            QFile::remove(side);
    }
    reopen(db, app.DbPath, failure);
    if (failure) {
        ShowCommonError(parent, *failure);
        return Outcome::Failed;
    }
    Notice(parent, QStringLiteral("最適化が終了しました。"));
    return Outcome::Done;
}

Outcome Purge(Application &app, QWidget *parent)
{
    const std::optional<QString> answer =
        Prompt().input(parent, QStringLiteral("履歴データの削除"),
                       QStringLiteral("いつまでの履歴データを削除するか入力してください。\r\n（入力形式：YY/MM/DD）"));
    if (!answer || answer->isEmpty())
        return Outcome::Cancelled;
    // Exactly "YY/MM/DD", in the 2000s.
    const std::optional<QDate> upTo = ReadTwoDigitYearDate(*answer);
    if (!upTo) {
        Notice(parent, QStringLiteral("日付を入力してください。（入力形式：YY/MM/DD）"));
        return Outcome::Refused;
    }
    const QString refusal = PurgeDateRefusal(*upTo, BusinessDate(Clock::now()));
    if (!refusal.isEmpty()) {
        Notice(parent, refusal);
        return Outcome::Refused;
    }
    const QString shown = upTo->toString(QStringLiteral("yyyy/MM/dd"));
    if (Prompt().message(parent, shown + QStringLiteral("までの履歴データを削除します。よろしいですか？"), Buttons::YesNo)
        != Answer::Yes)
        return Outcome::Cancelled;
    try {
        // One big transaction, no progress to tell: in the background, the window alive and busy.
        WarningPaused paused(app);
        WorkProgress busy(parent, QStringLiteral("履歴データを削除しています・・・"));
        busy.runInBackground(app.database(), [&] { PurgeHistory(app.database(), *upTo); });
    } catch (const AppError &error) {
        ShowCommonError(parent, error);
        return Outcome::Failed;
    }
    Notice(parent, shown + QStringLiteral("までの履歴データを削除しました。"));
    return Outcome::Done;
}

} // namespace rp::maintenance
