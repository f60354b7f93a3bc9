#pragma once

#include <QWidget>

class QFrame;
class QLabel;

namespace rp {

// The window shown while the program starts: title, version and what start-up is doing.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    void setMessage(const QString &text);

    QFrame *Frame1 = nullptr;
    QLabel *lblMsg = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblCompany = nullptr;
    QLabel *imgLogo = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace rp
