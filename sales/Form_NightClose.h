#pragma once

#include "app/ChildWindow.h"
#include "sales/NightCloseModel.h"
#include "sales/NightCloseReport.h"

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTreeView;

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
    void Cmd_Print_Girl_Click();
    void Cmd_Print_All_Click();
    void Cmd_Print_Summary_Click();
    void Cmd_Pdf_Click();
    void Cmd_Quit_Click();

    const NightClose &shown() const { return m_model->close(); }

    QLineEdit *Text_Date = nullptr;
    QPushButton *Cmd_Disp = nullptr;
    QLabel *Label_Day = nullptr;
    // One section per companion: her totals; under it her bookings; under each its charges, as the slip
    // explains her pay. The slip printed alone is the one of the companion picked here.
    QTreeView *Tree_Slips = nullptr;
    // The shops, each with its visits, takings, share and pay, and the day's total line.
    QTableWidget *Grid_Shops = nullptr;
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
    void fillShops();
    void print(NightClosePages pages, qint32 companionId);
    void guarded(const std::function<void()> &action);

    Module1 &m_module;
    NightCloseModel *m_model = nullptr;
};

} // namespace rp
