#include "app/EnterKey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace rp {

namespace {

// Qt presses a focused button with Space, and with Enter only in dialogs and only for "auto-default"
// buttons, which this program turns off so that Enter in a box never presses a button elsewhere.
class EnterPressesButtons : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled() || !button->isVisible())
            return false;
        // Held down, Enter presses once.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void InstallEnterPressesButtons(QObject *owner)
{
    if (auto *app = QCoreApplication::instance())
        app->installEventFilter(new EnterPressesButtons(owner));
}

} // namespace rp
