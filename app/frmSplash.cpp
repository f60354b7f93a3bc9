#include "app/frmSplash.h"

#include "data/Prompt.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace rp {

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    outer->addWidget(Frame1);

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(24);
    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(64, 64));
    lblProductName = new QLabel(AppTitle(), Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblProductName->setFont(big);
    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + AppVersionText(), Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCompany = new QLabel(QStringLiteral("顧客管理・コンパニオン管理"), Frame1);
    lblCompany->setObjectName(QStringLiteral("lblCompany"));
    lblMsg = new QLabel(Frame1);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setMinimumWidth(260);

    grid->addWidget(imgLogo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblProductName, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblCompany, 2, 1);
    grid->addWidget(lblMsg, 3, 0, 1, 2);

    Frame1->installEventFilter(this);
    adjustSize();
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmSplash::setMessage(const QString &text)
{
    lblMsg->setText(text);
    lblMsg->repaint();
}

void frmSplash::keyPressEvent(QKeyEvent *event)
{
    close();
    event->accept();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Frame1 && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rp
