#include "app/StartupBackup.h"

#include "data/AppError.h"
#include "data/Database.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStorageInfo>
#include <QThread>

#include <filesystem>
#include <optional>
#include <system_error>
#include <unistd.h>

namespace rp {

namespace {

struct CopyFailure
{
    bool diskFull = false;
    QString detail;
};

} // namespace

StartupBackup::StartupBackup(const QString &dbPath, const QString &backupPath, QObject *parent)
    : QObject(parent), m_dbPath(dbPath), m_backupPath(backupPath), m_tempPath(backupPath + QStringLiteral(".tmp"))
{
}

StartupBackup::~StartupBackup()
{
    cancel();
    wait();
    delete m_thread;
}

void StartupBackup::start()
{
    m_thread = QThread::create([this] { run(); });
    m_thread->start();
}

void StartupBackup::waitForCopy()
{
    QMutexLocker lock(&m_mutex);
    while (!m_copied)
        m_changed.wait(&m_mutex);
}

void StartupBackup::wait()
{
    if (m_thread)
        m_thread->wait();
}

bool StartupBackup::isFinished() const
{
    QMutexLocker lock(&m_mutex);
    return m_result.outcome != Outcome::Running;
}

StartupBackup::Result StartupBackup::result() const
{
    QMutexLocker lock(&m_mutex);
    return m_result;
}

bool StartupBackup::holdsData(const QString &path)
{
    return Database::holdsData(path);
}

void StartupBackup::markCopied()
{
    QMutexLocker lock(&m_mutex);
    m_copied = true;
    m_changed.wakeAll();
}

void StartupBackup::finish(Result result)
{
    if (result.outcome != Outcome::Refreshed)
        QFile::remove(m_tempPath);
    {
        QMutexLocker lock(&m_mutex);
        m_result = result;
        m_copied = true;
        m_changed.wakeAll();
    }
    emit finished();
}

void StartupBackup::run()
{
    const QString backupName = m_label + QLatin1Char(' ') + QFileInfo(m_backupPath).fileName();
    const QString kept = QStringLiteral("以前のバックアップはそのまま残っています。");
    Result result;
    try {
        copyLocked();
    } catch (const CopyFailure &failure) {
        result.outcome = m_cancel ? Outcome::Cancelled : Outcome::CopyFailed;
        result.diskFull = failure.diskFull;
        result.number = AppError::PathFileAccess;
        result.reason = failure.diskFull
            ? QStringLiteral("ディスクの空き容量が足りないため、%1 を更新できませんでした。").arg(backupName) + kept
            : QStringLiteral("%1 を更新できませんでした（%2）。").arg(backupName, failure.detail) + kept;
        finish(result);
        return;
    }
    markCopied();

    // The copy must be on the disk before it replaces the backup; the file itself is free again.
    QFile written(m_tempPath);
    if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0) {
        result.outcome = Outcome::CopyFailed;
        result.diskFull = QStorageInfo(QFileInfo(m_tempPath).absolutePath()).bytesAvailable() < written.size();
        result.number = AppError::PathFileAccess;
        result.reason = (result.diskFull ? QStringLiteral("ディスクの空き容量が足りないため、%1 を更新できませんでした。").arg(backupName)
                                         : QStringLiteral("%1 を更新できませんでした（%2）。").arg(backupName, written.errorString()))
            + kept;
        written.close();
        finish(result);
        return;
    }
    written.close();
    if (m_cancel) {
        result.outcome = Outcome::Cancelled;
        finish(result);
        return;
    }

    try {
        // The copy holds exactly the bytes of the file, so judging the copy judges the file, without
        // keeping the file itself locked while the board already works on it.
        Database::checkFile(m_tempPath);
    } catch (const AppError &error) {
        result.outcome = Outcome::Damaged;
        result.number = error.number();
        result.reason = QString(error.description()).replace(m_tempPath, m_dbPath)
            + QStringLiteral("（%1 は更新していません。）").arg(backupName);
        finish(result);
        return;
    }

    // A new empty file (made after the file went missing) must not push out the last copy with data.
    if (!holdsData(m_tempPath) && holdsData(m_backupPath)) {
        result.outcome = Outcome::KeptForData;
        result.reason = QStringLiteral("%1 にはデータがないため、データのある%2 は更新せずに残しました。")
                            .arg(QFileInfo(m_dbPath).fileName(), backupName);
        finish(result);
        return;
    }

    // One step from the old backup to the new one: at every moment one complete backup exists.
    std::error_code code;
    std::filesystem::rename(m_tempPath.toStdString(), m_backupPath.toStdString(), code);
    if (code) {
        result.outcome = Outcome::CopyFailed;
        result.number = AppError::PathFileAccess;
        result.reason = QStringLiteral("%1 を置き換えられませんでした（%2）。")
                            .arg(backupName, QString::fromStdString(code.message()))
            + kept;
        finish(result);
        return;
    }
    result.outcome = Outcome::Refreshed;
    finish(result);
}

void StartupBackup::copyLocked()
{
    std::optional<CopyFailure> failure;
    bool copied = false;
    QFile::remove(m_tempPath);
    // A read transaction on a connection of this thread: the engine first rolls back a journal left
    // by a power cut, and no one writes the file until the copy is complete.
    try {
        Database::whileReadLocked(m_dbPath, [&] {
            QFile source(m_dbPath);
            QFile target(m_tempPath);
            if (!source.open(QIODevice::ReadOnly)) {
                failure = CopyFailure{false, source.errorString()};
            } else if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                failure = CopyFailure{false, target.errorString()};
            } else {
                const qint64 size = source.size();
                const qint64 freeAtStart = m_freeSpaceLimit >= 0 ? m_freeSpaceLimit
                                                           : QStorageInfo(QFileInfo(m_tempPath).absolutePath()).bytesAvailable();
                QByteArray chunk;
                qint64 written = 0;
                while (!failure && written < size) {
                    if (m_cancel) {
                        failure = CopyFailure{false, QStringLiteral("中断")};
                        break;
                    }
                    chunk = source.read(4 << 20);
                    if (chunk.isEmpty()) {
                        failure = CopyFailure{false, source.errorString()};
                        break;
                    }
                    const bool room = m_freeSpaceLimit < 0 || written + chunk.size() <= m_freeSpaceLimit;
                    if (!room || target.write(chunk) != chunk.size()) {
                        // A write that fails with less room left than the rest of the file is a full disk.
                        const qint64 left = m_freeSpaceLimit >= 0 ? m_freeSpaceLimit - written
                                                                  : QStorageInfo(QFileInfo(m_tempPath).absolutePath()).bytesAvailable();
                        failure = CopyFailure{!room || left < size - written || freeAtStart < size, target.errorString()};
                        break;
                    }
                    written += chunk.size();
                }
                if (!failure && !target.flush())
                    failure = CopyFailure{QStorageInfo(QFileInfo(m_tempPath).absolutePath()).bytesAvailable() < size,
                                          target.errorString()};
                target.close();
                copied = !failure;
            }
        });
    } catch (const AppError &error) {
        failure = CopyFailure{false, error.description()};
    }
    if (!failure && !copied)
        failure = CopyFailure{false, QStringLiteral("データベースファイルを読めません")};
    if (failure)
        throw *failure;
}

} // namespace rp
