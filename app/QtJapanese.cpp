#include "app/QtJapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QVariant>

namespace rp {

bool LoadQtTranslations()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    static const char *const Loaded = "rosterpadQtTranslations";
    if (app->property(Loaded).toBool())
        return true;
    auto *translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    app->setProperty(Loaded, true);
    return true;
}

} // namespace rp
