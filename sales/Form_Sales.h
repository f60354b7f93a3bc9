#pragma once

#include "app/ChildWindow.h"
#include "sales/SalesRules.h"

#include <array>
#include <functional>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rp {

class Module1;
class Form_SalesChart;

// The sales window: takings per shop and for all shops, and one companion's pay. Its lists follow the
// shop and companion registers from start-up on; it reads the store and never writes it.
class Form_Sales : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_Sales(Module1 &module, QWidget *parent = nullptr);

    void showCompanionFrame();   // start-up makes the companion frame visible

    // Event handlers, public so that tests drive them as the operator would.
    void Form_Activate();
    void Combo_Shop_Name_Click(int index);
    void Cmd_Disp_Click();
    void Cmd_Disp_All_Click();
    void Cmd_Quit_Click();
    void Combo_GirlName_Click(int index);
    void Combo_SName_Girl_Click(int index);
    void Cmd_Gir_Disp_Click();
    void Cmd_Chart_Click();   // the charts, for the shop picked above (or all shops)
    void Cmd_Csv_Click();     // the history of a period, of all shops or one, as a CSV file

    QComboBox *Combo_Shop_Name = nullptr;
    QComboBox *Combo_SName_Girl = nullptr;
    QComboBox *Combo_GirlName = nullptr;
    QGroupBox *Frame5 = nullptr;
    QPushButton *Cmd_Quit = nullptr;
    QPushButton *Cmd_Chart = nullptr;
    QPushButton *Cmd_Csv = nullptr;
    Form_SalesChart *chartForm() const { return m_chartForm; }

    // Elements 0-3 belong to the chosen shop, 4-7 to all shops.
    std::array<QLabel *, 8> Label_Today{};
    std::array<QLabel *, 8> Label_Yesterday{};
    std::array<QLabel *, 8> Label_ThisMonth{};
    std::array<QLabel *, 8> Label_LastMonth{};
    std::array<QLabel *, 8> Label_TargetDate{};
    // 0 today's pay, 1 this month's, 2 today's jobs; 3 yesterday's pay, 4 last month's, 5 yesterday's
    // jobs; 6 and 7 pay and jobs of the typed period.
    std::array<QLabel *, 8> Label_Girl_Sales{};

    QLineEdit *Text_Date = nullptr;
    QLineEdit *Text_Date_All = nullptr;
    QLineEdit *Text_Girl_Date = nullptr;
    QPushButton *Cmd_Disp = nullptr;
    QPushButton *Cmd_Disp_All = nullptr;
    QPushButton *Cmd_Gir_Disp = nullptr;

protected:
    void onShowing() override;

private:
    // A period's four rows; the value labels are elements base..base+3 of the control array.
    QGroupBox *periodGroup(QWidget *parent, const QString &caption, const QString &arrayName,
                           std::array<QLabel *, 8> &labels, int base, QWidget *header = nullptr);
    void addFixedPeriods(QWidget *frame, QGridLayout *grid, int base);
    QLineEdit *dateBox(QWidget *parent, const QString &name);

    // Position of the shop or companion the combo shows, or -1 when the shown text is not a pick.
    int pickedShop(const QComboBox *combo) const;
    int pickedCompanion() const;
    QVector<qint32> listedShops() const;
    // The shops the companion frame sums over: the picked shop, or every listed shop.
    QVector<qint32> companionScope() const;
    std::optional<Period> typedPeriod(const QLineEdit *box);
    void showCompanionPeriods(qint32 companionId, const QVector<qint32> &shops);
    // Runs a computation; a store failure is told with the common error box.
    void guarded(const std::function<void()> &action);

    Module1 &m_module;
    Form_SalesChart *m_chartForm = nullptr;
    QString m_csvFileName;   // the export's file dialog offers the name chosen last
};

} // namespace rp
