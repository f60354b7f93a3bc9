#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace rp {

// Title and version of the program, and a way to the machine's system information tool.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    // The programs tried, in order, as the system information tool (names on PATH or full paths).
    static QStringList DefaultSysInfoTools();
    void setSysInfoTools(const QStringList &tools) { m_tools = tools; }
    // Starts the tool detached; false (after the message) when none can be started.
    bool StartSysInfo();

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

private:
    QStringList m_tools;
};

} // namespace rp
