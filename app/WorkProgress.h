#pragma once

#include "data/Background.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace rp {

class Database;

// A sign of life for long work: a modal progress dialog (objectName "Dialog_Progress") that appears
// when the work lasts, showing how far it got, or busy where the work cannot tell. Work done in steps
// on the window's thread reports through report() or callback(); one long statement runs in the
// background through runInBackground() while the window stays alive.
class WorkProgress
{
public:
    enum class Cancel { NotAllowed, Allowed };
    WorkProgress(QWidget *parent, const QString &label, Cancel cancel = Cancel::NotAllowed);
    ~WorkProgress();
    WorkProgress(const WorkProgress &) = delete;
    WorkProgress &operator=(const WorkProgress &) = delete;

    // done of total (total 0: busy); lets events flow; false once the operator has cancelled.
    bool report(qint64 done, qint64 total);
    ProgressFn callback();
    bool cancelled() const;

    // RunInBackground with the dialog busy: the window keeps painting until the work has ended.
    void runInBackground(Database &db, const std::function<void()> &work);

    QProgressDialog *dialog() const;

private:
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceEvents;
};

} // namespace rp
