#include "sales/Form_SalesChart.h"

#include "data/Clock.h"
#include "data/Module1.h"
#include "data/Prompt.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace rp {

namespace {

const QString AllShops = QStringLiteral("全店舗");
const QString DateMessage = QStringLiteral("日付を入力してください。年は西暦下２桁で入力(YY/MM/DD or YY/MM or YY)");
const QString DateTip = QStringLiteral(
    "YY・・・入力された２桁の年の売上　YY/MM・・・入力された年月の売上　YY/MM/DD・・・入力された年月日の売上");
const QString Yen = QStringLiteral("円");
// Bars are drawn in units of ten thousand yen, the unit an agency reads its takings in.
constexpr double Man = 10000.0;

double man(Money m) { return double(m.roundedYen()) / Man; }

bool oneMonth(const Period &p) { return p.first.year() == p.last.year() && p.first.month() == p.last.month(); }

// "2026年11月", "2026年", "2026/11/05", or both ends of any other period.
QString periodText(const Period &p)
{
    if (p.first == p.last)
        return p.first.toString(QStringLiteral("yyyy/MM/dd"));
    if (p.first == MonthFirst(p.first.year(), p.first.month()) && oneMonth(p)
        && p.last == MonthLast(p.last.year(), p.last.month()))
        return QStringLiteral("%1年%2月").arg(p.first.year()).arg(p.first.month());
    if (p.first == QDate(p.first.year(), 1, 1) && p.last == QDate(p.first.year(), 12, 31))
        return QStringLiteral("%1年").arg(p.first.year());
    return p.first.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("～") + p.last.toString(QStringLiteral("yyyy/MM/dd"));
}

QStringList categories(const SalesSeries &s, const Period &period)
{
    QStringList out;
    const bool sameYear = period.first.year() == period.last.year();
    for (const Period &step : s.steps) {
        if (s.step == SeriesStep::Month)
            out << (sameYear ? QStringLiteral("%1月").arg(step.first.month()) : step.first.toString(QStringLiteral("yy/MM")));
        else
            out << (oneMonth(period) && s.steps.size() > 1 ? QString::number(step.first.day())
                                                           : step.first.toString(QStringLiteral("M/d")));
    }
    return out;
}

QValueAxis *yenAxis(double low, double high)
{
    auto *axis = new QValueAxis;
    axis->setRange(std::min(0.0, low), std::max(high, 1.0));
    axis->applyNiceNumbers();
    axis->setLabelFormat(high - low < 10 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    axis->setTitleText(QStringLiteral("万円"));
    return axis;
}

QString figuresText(const SalesFigures &f)
{
    return QStringLiteral("総売上 %1円　店舗取り分 %2円　コンパニオン支払 %3円　来客本数 %4")
        .arg(FormatNumber(f.gross), FormatNumber(f.shopShare), FormatNumber(f.pay), FormatNumber(double(f.visits)));
}

} // namespace

Form_SalesChart::Form_SalesChart(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_SalesChart"));
    setWindowTitle(QStringLiteral("売上グラフ"));
    auto *layout = new QVBoxLayout(this);

    auto *controls = new QHBoxLayout;
    layout->addLayout(controls);
    auto *kindCaption = new QLabel(QStringLiteral("表示内容"), this);
    Combo_Chart_Kind = new QComboBox(this);
    Combo_Chart_Kind->setObjectName(QStringLiteral("Combo_Chart_Kind"));
    Combo_Chart_Kind->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Combo_Chart_Kind->addItems({QStringLiteral("売上（店舗別）"), QStringLiteral("店舗取り分とコンパニオン支払"),
                                QStringLiteral("コンパニオン支払　上位１０名")});
    auto *shopCaption = new QLabel(QStringLiteral("店舗"), this);
    Combo_Chart_Shop = new QComboBox(this);
    Combo_Chart_Shop->setObjectName(QStringLiteral("Combo_Chart_Shop"));
    Combo_Chart_Shop->setMinimumWidth(200);
    auto *dateCaption = new QLabel(QStringLiteral("年月日指定"), this);
    Text_Chart_Date = new QLineEdit(this);
    Text_Chart_Date->setObjectName(QStringLiteral("Text_Chart_Date"));
    Text_Chart_Date->setMaxLength(8);
    Text_Chart_Date->setAttribute(Qt::WA_InputMethodEnabled, false);
    Text_Chart_Date->setInputMethodHints(Qt::ImhLatinOnly);
    Text_Chart_Date->setToolTip(DateTip);
    Text_Chart_Date->setFixedWidth(Text_Chart_Date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00")) + 24);
    Cmd_Chart_Disp = new QPushButton(QStringLiteral("表示"), this);
    Cmd_Chart_Disp->setObjectName(QStringLiteral("Cmd_Chart_Disp"));
    for (QLabel *caption : {kindCaption, shopCaption, dateCaption})
        caption->setObjectName(QStringLiteral("Label_Caption_") + caption->text());
    controls->addWidget(kindCaption);
    controls->addWidget(Combo_Chart_Kind);
    controls->addSpacing(16);
    controls->addWidget(shopCaption);
    controls->addWidget(Combo_Chart_Shop);
    controls->addSpacing(16);
    controls->addWidget(dateCaption);
    controls->addWidget(Text_Chart_Date);
    controls->addWidget(Cmd_Chart_Disp);
    controls->addStretch(1);

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    Chart_Sales = new QChartView(chart, this);
    Chart_Sales->setObjectName(QStringLiteral("Chart_Sales"));
    Chart_Sales->setRenderHint(QPainter::Antialiasing);
    Chart_Sales->setMinimumSize(900, 480);
    layout->addWidget(Chart_Sales, 1);

    auto *bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    Label_Chart_Total = new QLabel(this);
    Label_Chart_Total->setObjectName(QStringLiteral("Label_Chart_Total"));
    Label_Chart_Total->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Cmd_Chart_Quit = new QPushButton(QStringLiteral("閉じる"), this);
    Cmd_Chart_Quit->setObjectName(QStringLiteral("Cmd_Chart_Quit"));
    Cmd_Chart_Quit->setMinimumWidth(120);
    bottom->addWidget(Label_Chart_Total, 1);
    bottom->addWidget(Cmd_Chart_Quit);

    // Each button acts only when pressed: Enter in the date box must not close the window.
    for (QPushButton *button : {Cmd_Chart_Disp, Cmd_Chart_Quit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(Cmd_Chart_Disp, &QPushButton::clicked, this, &Form_SalesChart::Cmd_Chart_Disp_Click);
    connect(Text_Chart_Date, &QLineEdit::returnPressed, this, &Form_SalesChart::Cmd_Chart_Disp_Click);
    connect(Combo_Chart_Kind, &QComboBox::activated, this, &Form_SalesChart::Combo_Chart_Click);
    connect(Combo_Chart_Shop, &QComboBox::activated, this, &Form_SalesChart::Combo_Chart_Click);
    connect(Cmd_Chart_Quit, &QPushButton::clicked, this, &Form_SalesChart::Cmd_Chart_Quit_Click);
}

QChart *Form_SalesChart::chart() const { return Chart_Sales->chart(); }

void Form_SalesChart::onShowing() { Form_Activate(); }

void Form_SalesChart::Form_Activate()
{
    // The lists as they are now; the month of the calendar date, as the sales window's 今月.
    Combo_Chart_Shop->clear();
    Combo_Chart_Shop->addItem(AllShops);
    for (int p = 0; p < m_module.ShopCount; ++p)
        Combo_Chart_Shop->addItem(m_module.ShopNames.value(p));
    Combo_Chart_Shop->setCurrentIndex(m_initialShop >= 0 && m_initialShop < m_module.ShopCount ? m_initialShop + 1 : 0);
    Combo_Chart_Kind->setCurrentIndex(Takings);
    const QDate today = Clock::now().date();
    Text_Chart_Date->setText(today.toString(QStringLiteral("yy/MM")));
    display(Period{MonthFirst(today.year(), today.month()), MonthLast(today.year(), today.month())});
}

void Form_SalesChart::Cmd_Chart_Disp_Click()
{
    const std::optional<Period> period = ReadTypedPeriod(Text_Chart_Date->text());
    if (!period) {
        Notice(this, DateMessage);
        return;
    }
    display(*period);
}

void Form_SalesChart::Combo_Chart_Click(int)
{
    // A new choice redraws the period typed, when it reads as one; a wrong text waits for 表示.
    if (const std::optional<Period> period = ReadTypedPeriod(Text_Chart_Date->text()))
        display(*period);
}

void Form_SalesChart::Cmd_Chart_Quit_Click() { hide(); }

QVector<qint32> Form_SalesChart::chosenShops() const
{
    const int item = Combo_Chart_Shop->currentIndex();
    if (item >= 1 && item <= m_module.ShopCount)
        return {m_module.ShopIDs[item - 1]};
    return QVector<qint32>(m_module.ShopIDs.begin(), m_module.ShopIDs.begin() + m_module.ShopCount);
}

QString Form_SalesChart::chosenShopName() const
{
    const int item = Combo_Chart_Shop->currentIndex();
    return item >= 1 ? Combo_Chart_Shop->itemText(item) : AllShops;
}

void Form_SalesChart::display(const Period &period)
{
    try {
        if (Combo_Chart_Kind->currentIndex() == TopCompanions) {
            m_top = TopCompanionsByPay(m_module.AppDatabase, chosenShops(), period, 10);
            drawTop(period);
        } else {
            // A period longer than a month is drawn month by month.
            const SeriesStep step = oneMonth(period) ? SeriesStep::Day : SeriesStep::Month;
            m_series = SalesByStep(m_module.AppDatabase, chosenShops(), period, step);
            drawSeries(period);
        }
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

QChart *Form_SalesChart::emptiedChart()
{
    // One chart for the window's life: emptied and filled again is much cheaper than made anew.
    QChart *chart = Chart_Sales->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    return chart;
}

void Form_SalesChart::drawSeries(const Period &period)
{
    QChart *chart = emptiedChart();
    auto *bars = new QStackedBarSeries;
    const int steps = int(m_series.steps.size());
    if (Combo_Chart_Kind->currentIndex() == Takings) {
        for (int s = 0; s < m_series.shopIds.size(); ++s) {
            const int position = m_module.shopPosition(m_series.shopIds[s]);
            auto *set = new QBarSet(position >= 0 ? m_module.ShopNames.value(position) : QString());
            for (int i = 0; i < steps; ++i)
                *set << man(m_series.byShop[s][i].gross);
            bars->append(set);
        }
        chart->setTitle(periodText(period) + (m_series.step == SeriesStep::Day ? QStringLiteral("　日別売上（") : QStringLiteral("　月別売上（"))
                        + chosenShopName() + QStringLiteral("）"));
    } else {
        auto *share = new QBarSet(QStringLiteral("店舗取り分"));
        auto *pay = new QBarSet(QStringLiteral("コンパニオン支払"));
        for (int i = 0; i < steps; ++i) {
            const SalesFigures f = m_series.total(i);
            *share << man(f.shopShare);
            *pay << man(f.pay);
        }
        bars->append(share);
        bars->append(pay);
        chart->setTitle(periodText(period) + QStringLiteral("　店舗取り分とコンパニオン支払（") + chosenShopName()
                        + QStringLiteral("）"));
    }
    chart->addSeries(bars);

    double low = 0, high = 0;
    for (int i = 0; i < steps; ++i) {
        double up = 0, down = 0;
        for (QBarSet *set : bars->barSets())
            (set->at(i) >= 0 ? up : down) += set->at(i);
        high = std::max(high, up);
        low = std::min(low, down);
    }
    auto *x = new QBarCategoryAxis;
    x->append(categories(m_series, period));
    x->setTitleText(m_series.step == SeriesStep::Day ? QStringLiteral("日") : QStringLiteral("月"));
    QValueAxis *y = yenAxis(low, high);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(x);
    bars->attachAxis(y);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(true);
    Label_Chart_Total->setText(figuresText(m_series.grandTotal()));
}

void Form_SalesChart::drawTop(const Period &period)
{
    QChart *chart = emptiedChart();
    auto *bars = new QHorizontalBarSeries;
    auto *pay = new QBarSet(QStringLiteral("コンパニオン支払"));
    QStringList names;
    Money sum;
    double high = 0;
    // The first of the ranking stands at the top; the rank keeps two equal names apart.
    for (int rank = int(m_top.size()); rank >= 1; --rank) {
        const CompanionPay &p = m_top[rank - 1];
        *pay << man(p.pay);
        high = std::max(high, man(p.pay));
        names << QStringLiteral("%1. %2").arg(rank).arg(p.genjiName.isEmpty() ? QStringLiteral("(ID %1)").arg(p.companionId)
                                                                               : p.genjiName);
        sum += p.pay;
    }
    bars->append(pay);
    bars->setLabelsVisible(true);
    bars->setLabelsFormat(QStringLiteral("@value"));
    bars->setLabelsPrecision(6);
    chart->addSeries(bars);
    chart->setTitle(periodText(period) + QStringLiteral("　コンパニオン支払　上位１０名（") + chosenShopName()
                    + QStringLiteral("）"));
    auto *y = new QBarCategoryAxis;
    y->append(names);
    QValueAxis *x = yenAxis(0, high);
    chart->addAxis(y, Qt::AlignLeft);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(y);
    bars->attachAxis(x);
    chart->legend()->setVisible(false);
    Label_Chart_Total->setText(QStringLiteral("上位%1名の支払合計 %2円").arg(m_top.size()).arg(FormatNumber(sum)));
}

} // namespace rp
