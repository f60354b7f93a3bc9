#pragma once

#include "data/Database.h"

#include <QStringList>
#include <functional>

namespace rp::test {

// Every row of every table of the open file, as text, table by table in a fixed order.
QStringList DumpStore(Database &db);

// Runs an operator action once for each write it makes, failing that write (and, last, the commit);
// after each failed run the file must hold exactly what it held before, and check(n) may look at the
// window. arrange() puts the window back where the action starts. Returns the number of writes of the
// action when it finally runs through, or -1 when a failed run left the file changed (a QTest failure
// is recorded too).
int ForEachFailedWrite(Database &db, const std::function<void()> &arrange, const std::function<void()> &act,
                       const std::function<void(int n)> &check = {});

} // namespace rp::test
