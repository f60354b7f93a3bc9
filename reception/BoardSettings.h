#pragma once

#include <QString>
#include <optional>

namespace rp {

// What the board remembers on this PC between runs, kept in a small settings file beside the program
// (never in the database, which may be shared by several PCs one day).
QString BoardSettingsPath(const QString &appPath);   // appPath + "/rosterpad-board.ini"

// The shop the board showed last; nullopt when none was ever shown here.
std::optional<qint32> RememberedShop(const QString &appPath);
void RememberShop(const QString &appPath, qint32 shopId);

} // namespace rp
