#pragma once

#include "app/ChildWindow.h"
#include "sales/SalesSeries.h"

#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rp {

class Module1;

// The sales as pictures, opened from the sales window: takings per day of a month or per month of a
// year, stacked by shop; the shop's share beside the companions' pay; the ten companions with the most
// pay. It reads the same sums as the sales window and never writes the store.
class Form_SalesChart : public ChildWindow
{
    Q_OBJECT
public:
    enum Kind { Takings = 0, ShareAndPay = 1, TopCompanions = 2 };

    explicit Form_SalesChart(Module1 &module, QWidget *parent = nullptr);

    // The shop shown first on the next showing (a position in the shop lists; -1: all shops).
    void setInitialShop(int position) { m_initialShop = position; }

    // Event handlers, public so that tests drive them as the operator would.
    void Form_Activate();
    void Cmd_Chart_Disp_Click();
    void Combo_Chart_Click(int index);
    void Cmd_Chart_Quit_Click();

    QComboBox *Combo_Chart_Kind = nullptr;
    QComboBox *Combo_Chart_Shop = nullptr;   // item 0 "全店舗", then the listed shops
    QLineEdit *Text_Chart_Date = nullptr;
    QPushButton *Cmd_Chart_Disp = nullptr;
    QPushButton *Cmd_Chart_Quit = nullptr;
    QChartView *Chart_Sales = nullptr;
    QLabel *Label_Chart_Total = nullptr;

    // What the chart shows now.
    QChart *chart() const;
    const SalesSeries &shownSeries() const { return m_series; }
    const QVector<CompanionPay> &shownTop() const { return m_top; }

protected:
    void onShowing() override;

private:
    QVector<qint32> chosenShops() const;
    QString chosenShopName() const;
    // Computes the figures for the period and, only when that succeeded, draws them.
    void display(const Period &period);
    QChart *emptiedChart();
    void drawSeries(const Period &period);
    void drawTop(const Period &period);

    Module1 &m_module;
    int m_initialShop = -1;
    SalesSeries m_series;
    QVector<CompanionPay> m_top;
};

} // namespace rp
