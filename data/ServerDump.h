#pragma once

#include "data/Connection.h"

#include <QString>
#include <functional>

namespace rp {

// The server's own backup program (pg_dump), found on the PATH; empty when it is not installed.
QString PgDumpProgram();

// The operator's message when pg_dump is not installed.
QString PgDumpMissingMessage();

// Runs pg_dump on the database of settings and writes its dump (custom format, for pg_restore) to
// path, which must be a file of the caller's own: on failure it holds nothing of use. The password is
// never asked for: pg_dump reads PGPASSFILE or ~/.pgpass itself, as the program's connection does.
// whileRunning is called every few milliseconds until pg_dump ends. Throws AppError.
void DumpServerDatabase(const ConnectionSettings &settings, const QString &path,
                        const std::function<void()> &whileRunning = {});

} // namespace rp
