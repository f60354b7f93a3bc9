#include "app/frmAbout.h"

#include "data/Prompt.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>

namespace rp {

frmAbout::frmAbout(QWidget *parent) : QDialog(parent), m_tools(DefaultSysInfoTools())
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(AppTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
    lblTitle = new QLabel(AppTitle(), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    lblTitle->setFont(bold);
    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + AppVersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(QStringLiteral("顧客管理・コンパニオン管理のための受付台帳です。"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDisclaimer = new QLabel(QStringLiteral("このプログラムのデータはプログラムと同じフォルダの rosterpad.mdb に保存されます。"), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    grid->addWidget(line, 3, 0, 1, 2);
    grid->addWidget(lblDisclaimer, 4, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    grid->addLayout(buttons, 5, 0, 1, 2);
    setMinimumWidth(460);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });
}

QStringList frmAbout::DefaultSysInfoTools()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

bool frmAbout::StartSysInfo()
{
    for (const QString &tool : std::as_const(m_tools)) {
        const QString program = QFileInfo(tool).isAbsolute() ? tool : QStandardPaths::findExecutable(tool);
        if (program.isEmpty() || !QFileInfo(program).isExecutable())
            continue;
        if (QProcess::startDetached(program, {}))
            return true;
    }
    Prompt().message(this, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), Buttons::Ok);
    return false;
}

} // namespace rp
