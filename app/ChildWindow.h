#pragma once

#include <QDialog>

class QComboBox;

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

    // A list box that starts with a prompt as its text: when it takes the focus showing the prompt,
    // the prompt is selected whole, so that typing replaces it instead of adding to it.
    static void SelectPromptOnFocus(QComboBox *combo, const QString &prompt);

protected:
    virtual void onShowing() {}
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
};

} // namespace rp
