#include "app/ChildWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QShowEvent>

namespace rp {

ChildWindow::ChildWindow(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
}

void ChildWindow::showModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

bool ChildWindow::closeCommandEnabled() const { return windowFlags().testFlag(Qt::WindowCloseButtonHint); }

void ChildWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onShowing();
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    // Hiding through the window's own buttons goes through hide(), not close().
    event->ignore();
}

void ChildWindow::SelectPromptOnFocus(QComboBox *combo, const QString &prompt)
{
    QLineEdit *edit = combo->lineEdit();
    if (!edit || combo->currentText() != prompt)
        return;
    edit->selectAll();
    // A click that gave the focus then places the cursor: select again once the click is done.
    QTimer::singleShot(0, edit, [edit = QPointer<QLineEdit>(edit), prompt] {
        if (edit && edit->hasFocus() && edit->text() == prompt)
            edit->selectAll();
    });
}

void ChildWindow::reject()
{
    // Escape does not leave the window either.
}

} // namespace rp
