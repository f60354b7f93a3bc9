#include "data/Background.h"

#include "data/Database.h"

#include <QSqlDriver>
#include <QThread>
#include <exception>

namespace rp {

void RunInBackground(Database &db, const std::function<void()> &work,
                     const std::function<void(QThread &worker)> &waitFor)
{
    QThread *const home = QThread::currentThread();
    // The engine refuses a connection to any thread but its driver's; the driver is handed over for the
    // time of the work and handed back by the worker itself (an object can only be pushed away).
    QSqlDriver *driver = db.isOpen() ? db.handle().driver() : nullptr;
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        if (driver)
            driver->moveToThread(home);
    }));
    if (driver)
        driver->moveToThread(worker.get());
    worker->start();
    if (waitFor)
        waitFor(*worker);
    // An event loop left early (the program being ended) still waits for the work to end.
    worker->wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace rp
