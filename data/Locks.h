#pragma once

#include "data/Database.h"

#include <QString>

namespace rp {

// Guards for several reception PCs on one server database. On SQLite one program owns the file (its
// lock file keeps a second copy out), so every guard here is empty there and nothing changes.

// True when other programs may write the same database at the same moment (a server).
bool SharedDatabase(const Database &db);

// Appended to a SELECT of rows the transaction goes on to write: " FOR UPDATE" on a server, where the
// rows stay locked until commit; empty on SQLite, which has no row locks (its one writer needs none).
QString ForUpdate(const Database &db);

// Holds a lock on a text (a customer's telephone number) until the transaction ends, so that two PCs
// never both find no customer under one number and both create one. Nothing on SQLite.
void LockTextForTransaction(Database &db, const QString &text);

// Start-up's changes to the board's table (creating it, filling it) run one PC at a time. Nothing on SQLite.
void LockStartupForTransaction(Database &db);

// Every PC holds a shared lock for as long as it is connected; a PC that crashes loses it with its
// connection. Nothing on SQLite.
void JoinReceptionPCs(Database &db);
// True when no other PC holds the shared lock: this PC is the last one connected. Then it holds the
// lock alone until StayAmongReceptionPCs() or the end of its connection, so no PC starts meanwhile.
// Always true on SQLite.
bool LastReceptionPC(Database &db);
// The close was cancelled after LastReceptionPC(): other PCs may start again.
void StayAmongReceptionPCs(Database &db);

} // namespace rp
