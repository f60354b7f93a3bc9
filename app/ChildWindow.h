#pragma once

#include <QDialog>

namespace rp {

// A window the board opens modally: its Close command is disabled, so it is left only through its own
// buttons; it is hidden, not destroyed, and resets itself every time it is shown.
class ChildWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ChildWindow(QWidget *parent = nullptr);

    // Shows the window modally without blocking the caller (the operator works in it; tests drive it).
    void showModal();
    bool closeCommandEnabled() const;

protected:
    virtual void onShowing() {}
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
};

} // namespace rp
