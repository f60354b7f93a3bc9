#pragma once

#include "app/ChildWindow.h"
#include "sales/NightCloseReport.h"

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace rp {

class Module1;

// The night close (精算): one business day's payout slips and summary, read from the store; printed
// through the print dialog or saved as a PDF. It never writes the store.
class Form_NightClose : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_NightClose(Module1 &module, QWidget *parent = nullptr);

    // The handlers, public so that tests drive them as the operator would.
    void Form_Activate();             // today's business day
    void Cmd_Disp_Click();            // the day typed in Text_Date (YY/MM/DD); empty: today
    void List_Girl_Click(int row);    // 0: everyone and the summary; r: the r-th companion's slip
    void Cmd_Print_Girl_Click();
    void Cmd_Print_All_Click();
    void Cmd_Print_Summary_Click();
    void Cmd_Pdf_Click();
    void Cmd_Quit_Click();

    const NightClose &shown() const { return m_close; }

    QLineEdit *Text_Date = nullptr;
    QPushButton *Cmd_Disp = nullptr;
    QLabel *Label_Day = nullptr;
    QListWidget *List_Girl = nullptr;
    QTextBrowser *Text_Slip = nullptr;
    // 0 総売上, 1 店売上, 2 ｺﾝﾊﾟﾆｵﾝ支払, 3 来客本数 of the day, as the sales window shows them.
    std::array<QLabel *, 4> Label_Total{};
    QPushButton *Cmd_Print_Girl = nullptr;
    QPushButton *Cmd_Print_All = nullptr;
    QPushButton *Cmd_Print_Summary = nullptr;
    QPushButton *Cmd_Pdf = nullptr;
    QPushButton *Cmd_Quit = nullptr;

protected:
    void onShowing() override;

private:
    void showDay(const QDate &day);
    // The companion of the list's current row; 0 for the everyone row or none.
    qint32 chosenCompanion() const;
    void print(NightClosePages pages, qint32 companionId);
    void guarded(const std::function<void()> &action);

    Module1 &m_module;
    NightClose m_close;
};

} // namespace rp
