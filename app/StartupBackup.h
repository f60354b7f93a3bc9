#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>
#include <atomic>

class QThread;

namespace rp {

// The start-up backup, made beside the splash second so that a big file starts quickly. A worker thread
// takes a byte copy of the database into a temporary file while holding a read lock (so nothing changes
// under it and a journal left by a power cut is rolled back first), lets the engine read every page of
// that copy, and only then puts it in place of the backup. The old backup is never touched on any
// failure, and a file without any data never replaces a backup that holds some.
class StartupBackup : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Running,
        Refreshed,       // the backup now holds the file as it was at start
        KeptForData,     // the file holds no data while the backup does: the backup was kept
        CopyFailed,      // no room or no access for the copy: the old backup was kept
        Damaged,         // the engine found damage: the old backup was kept
        Cancelled,
    };
    struct Result
    {
        Outcome outcome = Outcome::Running;
        bool diskFull = false;
        int number = 0;        // the failure's number (Damaged, CopyFailed)
        QString reason;        // what went wrong, for the operator
    };

    StartupBackup(const QString &dbPath, const QString &backupPath, QObject *parent = nullptr);
    ~StartupBackup() override;   // cancels and waits

    // What the operator calls this backup in messages ("起動時のバックアップ" unless set).
    void setLabel(const QString &label) { m_label = label; }
    // For tests: the copy finds only this many bytes free on the disk (negative: the disk's own).
    void setFreeSpaceLimit(qint64 bytes) { m_freeSpaceLimit = bytes; }

    void start();
    // Returns once the copy is taken (or failed): from then on the database file may be written.
    void waitForCopy();
    // Returns once all is done.
    void wait();
    // Stops as soon as possible; the temporary copy is removed and the old backup kept.
    void cancel() { m_cancel = true; }
    bool isFinished() const;
    Result result() const;

    QString tempPath() const { return m_tempPath; }

    // Whether a database file holds any customer, shop, companion or history row (false when unreadable).
    static bool holdsData(const QString &path);

signals:
    // Emitted from the worker thread when the work is over.
    void finished();

private:
    void run();
    void copyLocked();
    void finish(Result result);
    void markCopied();

    QString m_dbPath;
    QString m_backupPath;
    QString m_tempPath;
    QString m_label = QStringLiteral("起動時のバックアップ");
    qint64 m_freeSpaceLimit = -1;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    bool m_copied = false;
    Result m_result;
};

} // namespace rp
