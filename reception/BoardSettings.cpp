#include "reception/BoardSettings.h"

#include <QSettings>

namespace rp {

namespace {
const QString ShopKey = QStringLiteral("Board/ShopID");
} // namespace

QString BoardSettingsPath(const QString &appPath) { return appPath + QStringLiteral("/rosterpad-board.ini"); }

std::optional<qint32> RememberedShop(const QString &appPath)
{
    const QSettings settings(BoardSettingsPath(appPath), QSettings::IniFormat);
    bool ok = false;
    const qint32 id = settings.value(ShopKey).toInt(&ok);
    return ok && id > 0 ? std::optional<qint32>(id) : std::nullopt;
}

void RememberShop(const QString &appPath, qint32 shopId)
{
    QSettings settings(BoardSettingsPath(appPath), QSettings::IniFormat);
    if (settings.value(ShopKey).toInt() != shopId)
        settings.setValue(ShopKey, shopId);
}

} // namespace rp
