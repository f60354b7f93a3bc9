#pragma once

#include <QtGlobal>
#include <functional>

class QThread;

namespace rp {

class Database;

// Long work tells how far it got (total 0: it cannot tell); false back means the operator cancelled
// and the work stops without leaving anything half done.
using ProgressFn = std::function<bool(qint64 done, qint64 total)>;

// Runs work on a worker thread. The database's connection, when open, belongs to the worker meanwhile:
// one long statement (VACUUM INTO, a big DELETE) then leaves the calling thread free to keep its window
// alive, and the statement still runs on the one connection (its transaction, its failure hook). The
// calling thread must not use the connection until this returns, and work must not close or reopen it.
// waitFor is called on the calling thread once the worker runs and returns when the worker has ended
// (a window keeps its events flowing meanwhile); without it the caller simply blocks. A failure of work
// is raised again here.
void RunInBackground(Database &db, const std::function<void()> &work,
                     const std::function<void(QThread &worker)> &waitFor = {});

} // namespace rp
