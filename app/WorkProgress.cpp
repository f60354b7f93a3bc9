#include "app/WorkProgress.h"

#include "data/Prompt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>

namespace rp {

namespace {

// Quick work never shows the dialog; long work shows it soon enough to be seen as alive.
constexpr int ShowAfterMs = 400;
// Events are let through this often while work reports.
constexpr int EventsEveryMs = 40;
constexpr int Steps = 1000;

} // namespace

WorkProgress::WorkProgress(QWidget *parent, const QString &label, Cancel cancel)
    : m_dialog(new QProgressDialog(parent))
{
    m_dialog->setObjectName(QStringLiteral("Dialog_Progress"));
    m_dialog->setWindowTitle(AppTitle());
    m_dialog->setLabelText(label);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(ShowAfterMs);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(360);
    if (cancel == Cancel::Allowed)
        m_dialog->setCancelButtonText(QStringLiteral("キャンセル"));
    else
        m_dialog->setCancelButton(nullptr);
    m_dialog->setRange(0, Steps);
}

WorkProgress::~WorkProgress()
{
    if (m_dialog) {
        m_dialog->hide();
        delete m_dialog;
    }
}

bool WorkProgress::report(qint64 done, qint64 total)
{
    if (!m_dialog)
        return true;
    if (total <= 0) {
        if (m_dialog->maximum() != 0)
            m_dialog->setRange(0, 0);
        m_dialog->setValue(0);
    } else {
        if (m_dialog->maximum() != Steps)
            m_dialog->setRange(0, Steps);
        m_dialog->setValue(int(std::clamp<qint64>(done * Steps / total, 0, Steps)));
    }
    // The first report lets events through at once (a waiting cancel is seen before any work).
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= EventsEveryMs) {
        // Until the dialog shows (and, modal, keeps the windows behind it still) the operator's clicks
        // wait: a button of the window behind must not start other work in the middle of this one.
        QCoreApplication::processEvents(m_dialog->isVisible() ? QEventLoop::AllEvents
                                                              : QEventLoop::ExcludeUserInputEvents);
        m_sinceEvents.start();
    }
    return !cancelled();
}

ProgressFn WorkProgress::callback()
{
    return [this](qint64 done, qint64 total) { return report(done, total); };
}

QProgressDialog *WorkProgress::dialog() const { return m_dialog; }

bool WorkProgress::cancelled() const { return m_dialog && m_dialog->wasCanceled(); }

void WorkProgress::runInBackground(Database &db, const std::function<void()> &work)
{
    report(0, 0);
    RunInBackground(db, work, [](QThread &worker) {
        QEventLoop loop;
        QObject::connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
        if (!worker.isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    });
}

} // namespace rp
