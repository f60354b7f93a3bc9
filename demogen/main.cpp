// rosterpad_demo <folder>: makes the demo agency in the folder once, and on every later run brings its
// duty state up to now (a few companions out until within the next hour) when it has gone stale.
#include "data/Clock.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "demogen/DemoAgency.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: rosterpad_demo <folder>" << Qt::endl;
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);

    // The program on this folder holds the same lock: its running board is left alone.
    QLockFile lock(folder + QStringLiteral("/rosterpad.lck"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        out << "rosterpad already runs on " << folder << ": the demo is left as it is." << Qt::endl;
        return 0;
    }

    const QString file = folder + QStringLiteral("/rosterpad.mdb");
    const QDateTime now = rp::Clock::now();
    try {
        if (!QFileInfo::exists(file)) {
            out << "Making the demo agency (once): " << file << Qt::endl;
            const rp::demo::Ledger ledger = rp::demo::CreateDemoAgency(folder, now);
            qint64 bookings = 0;
            for (const rp::SalesFigures &f : ledger)
                bookings += f.visits;
            out << bookings << " bookings registered." << Qt::endl;
            return 0;
        }
        rp::Database db;
        db.open(file);
        rp::Module1 module(db);
        module.InitBitMasks();
        module.LoadShopList();
        module.LoadCompanionList();
        if (rp::demo::LiveStateIsFresh(db, now)) {
            out << "The demo's board is current." << Qt::endl;
        } else {
            rp::demo::FreshenDemoAgency(db, module, now);
            out << "The demo's board is brought up to now: companions on duty, a few out until within the hour."
                << Qt::endl;
        }
    } catch (const rp::AppError &error) {
        err << "The demo could not be made: " << error.description() << " (" << error.number() << ")" << Qt::endl;
        return 1;
    }
    return 0;
}
