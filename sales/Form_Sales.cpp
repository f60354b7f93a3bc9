#include "sales/Form_Sales.h"

#include "data/Clock.h"
#include "data/Module1.h"
#include "data/Prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rp {

namespace {

const QString ShopPrompt = QStringLiteral("店舗名を選択してください。");
const QString CompanionPrompt = QStringLiteral("源氏名を選択");
const QString DateMessage = QStringLiteral("日付を入力してください。年は西暦下２桁で入力(YY/MM/DD or YY/MM or YY)");
const QString DateTip = QStringLiteral(
    "YY・・・入力された２桁の年の売上　YY/MM・・・入力された年月の売上　YY/MM/DD・・・入力された年月日の売上");
const QString Yen = QStringLiteral("円");

QLabel *valueLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Room for a year of an agency's takings with every digit.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999,999")) + 10);
    return label;
}

QComboBox *pickList(QWidget *parent, const QString &name, const QString &designText)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Enter must never add the typed text as an item: every item stands for an entry of the ID lists.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setPlaceholderText(designText);
    combo->setMinimumWidth(220);
    return combo;
}

void showPrompt(QComboBox *combo, const QString &prompt)
{
    combo->setCurrentIndex(-1);
    combo->setEditText(prompt);
}

QString countText(qint64 n) { return FormatNumber(double(n)); }

// A date box and its button on one line, as one widget for the typed-period group.
QWidget *sideBySide(QWidget *parent, QWidget *box, QWidget *button)
{
    auto *row = new QWidget(parent);
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(box);
    line->addWidget(button);
    return row;
}

void setFigures(std::array<QLabel *, 8> &labels, int base, const SalesFigures &f)
{
    labels[base]->setText(FormatNumber(f.gross));
    labels[base + 1]->setText(FormatNumber(f.shopShare));
    labels[base + 2]->setText(FormatNumber(f.pay));
    labels[base + 3]->setText(countText(f.visits));
}

void clear(std::array<QLabel *, 8> &labels, int from, int to)
{
    for (int i = from; i <= to; ++i)
        labels[i]->clear();
}

} // namespace

Form_Sales::Form_Sales(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    // Form_Load: the window's Close command is already disabled by ChildWindow; it is left through Ｏ　Ｋ.
    setObjectName(QStringLiteral("Form_Sales"));
    setWindowTitle(QStringLiteral("売上情報"));
    auto *layout = new QVBoxLayout(this);
    auto *upper = new QHBoxLayout;
    layout->addLayout(upper);

    // One shop.
    auto *shopFrame = new QGroupBox(QStringLiteral("店　舗　毎"), this);
    shopFrame->setObjectName(QStringLiteral("Frame_Shop"));
    auto *shopLayout = new QGridLayout(shopFrame);
    Combo_Shop_Name = pickList(shopFrame, QStringLiteral("Combo_Shop_Name"), QStringLiteral("店舗名を選択してください"));
    shopLayout->addWidget(Combo_Shop_Name, 0, 0, Qt::AlignLeft);
    addFixedPeriods(shopFrame, shopLayout, 0);
    Text_Date = dateBox(shopFrame, QStringLiteral("Text_Date"));
    Cmd_Disp = new QPushButton(QStringLiteral("表示"), shopFrame);
    Cmd_Disp->setObjectName(QStringLiteral("Cmd_Disp"));
    QWidget *shopTyped = sideBySide(shopFrame, Text_Date, Cmd_Disp);
    shopLayout->addWidget(
        periodGroup(shopFrame, QStringLiteral("年月日指定"), QStringLiteral("Label_TargetDate"), Label_TargetDate, 0, shopTyped),
        3, 0);
    upper->addWidget(shopFrame, 1);

    // All shops, laid out like the one-shop frame so that the same period stands at the same height.
    auto *allFrame = new QGroupBox(QStringLiteral("全店舗合計"), this);
    allFrame->setObjectName(QStringLiteral("Frame_All"));
    auto *allLayout = new QGridLayout(allFrame);
    // An empty grid row gets no spacing, so the combo's row is held by a blank of its height.
    auto *comboRow = new QWidget(allFrame);
    comboRow->setFixedHeight(Combo_Shop_Name->sizeHint().height());
    allLayout->addWidget(comboRow, 0, 0);
    addFixedPeriods(allFrame, allLayout, 4);
    Text_Date_All = dateBox(allFrame, QStringLiteral("Text_Date_All"));
    Cmd_Disp_All = new QPushButton(QStringLiteral("表示"), allFrame);
    Cmd_Disp_All->setObjectName(QStringLiteral("Cmd_Disp_All"));
    QWidget *allTyped = sideBySide(allFrame, Text_Date_All, Cmd_Disp_All);
    allLayout->addWidget(
        periodGroup(allFrame, QStringLiteral("年月日指定"), QStringLiteral("Label_TargetDate"), Label_TargetDate, 4, allTyped),
        3, 0);
    upper->addWidget(allFrame, 1);

    // One companion.
    Frame5 = new QGroupBox(QStringLiteral("コンパニオン"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setVisible(false);
    auto *girlLayout = new QGridLayout(Frame5);
    Combo_GirlName = pickList(Frame5, QStringLiteral("Combo_GirlName"), CompanionPrompt);
    Combo_SName_Girl = pickList(Frame5, QStringLiteral("Combo_SName_Girl"), QStringLiteral("店舗名を選択してください"));
    Text_Girl_Date = dateBox(Frame5, QStringLiteral("Text_Girl_Date"));
    Cmd_Gir_Disp = new QPushButton(QStringLiteral("表示"), Frame5);
    Cmd_Gir_Disp->setObjectName(QStringLiteral("Cmd_Gir_Disp"));
    Cmd_Gir_Disp->setFixedWidth(Cmd_Gir_Disp->sizeHint().width());
    // Three columns of caption, value and unit, with a gap between them.
    girlLayout->addWidget(Combo_GirlName, 0, 0, 1, 3);
    girlLayout->addWidget(Combo_SName_Girl, 0, 4, 1, 3);
    auto *girlTypedRow = new QHBoxLayout;
    girlTypedRow->addWidget(Text_Girl_Date);
    girlTypedRow->addWidget(Cmd_Gir_Disp);
    girlTypedRow->addStretch(1);
    girlLayout->addLayout(girlTypedRow, 0, 8, 1, 3);
    for (int gap : {3, 7})
        girlLayout->setColumnMinimumWidth(gap, 24);
    girlLayout->setColumnStretch(11, 1);
    struct GirlCell { int element; const char *caption; bool yen; int row; int column; };
    const GirlCell cells[] = {
        {0, "本日支払", true, 1, 0}, {1, "今月支払", true, 2, 0}, {2, "本日本数", false, 3, 0},
        {3, "昨日支払", true, 1, 4}, {4, "先月支払", true, 2, 4}, {5, "昨日本数", false, 3, 4},
        {6, "支　払", true, 1, 8},   {7, "本　数", false, 2, 8},
    };
    for (const GirlCell &cell : cells) {
        auto *caption = new QLabel(QString::fromUtf8(cell.caption), Frame5);
        Label_Girl_Sales[cell.element] = valueLabel(Frame5, QStringLiteral("Label_Girl_Sales_%1").arg(cell.element));
        girlLayout->addWidget(caption, cell.row, cell.column);
        girlLayout->addWidget(Label_Girl_Sales[cell.element], cell.row, cell.column + 1);
        girlLayout->addWidget(new QLabel(cell.yen ? Yen : QString(), Frame5), cell.row, cell.column + 2);
    }
    layout->addWidget(Frame5);

    Cmd_Quit = new QPushButton(QStringLiteral("Ｏ　Ｋ"), this);
    Cmd_Quit->setObjectName(QStringLiteral("Cmd_Quit"));
    Cmd_Quit->setMinimumWidth(120);
    layout->addWidget(Cmd_Quit, 0, Qt::AlignRight);

    // A dialog would make its first button the default, so Enter in the all-shops or the companion date
    // box would run the one-shop 表示 and ask for a shop. Each button acts only when it is pressed.
    for (QPushButton *button : {Cmd_Disp, Cmd_Disp_All, Cmd_Gir_Disp, Cmd_Quit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(Combo_Shop_Name, &QComboBox::activated, this, &Form_Sales::Combo_Shop_Name_Click);
    connect(Combo_GirlName, &QComboBox::activated, this, &Form_Sales::Combo_GirlName_Click);
    connect(Combo_SName_Girl, &QComboBox::activated, this, &Form_Sales::Combo_SName_Girl_Click);
    connect(Cmd_Disp, &QPushButton::clicked, this, &Form_Sales::Cmd_Disp_Click);
    connect(Cmd_Disp_All, &QPushButton::clicked, this, &Form_Sales::Cmd_Disp_All_Click);
    connect(Cmd_Gir_Disp, &QPushButton::clicked, this, &Form_Sales::Cmd_Gir_Disp_Click);
    connect(Cmd_Quit, &QPushButton::clicked, this, &Form_Sales::Cmd_Quit_Click);
    // Enter in a date box is its own 表示.
    connect(Text_Date, &QLineEdit::returnPressed, this, &Form_Sales::Cmd_Disp_Click);
    connect(Text_Date_All, &QLineEdit::returnPressed, this, &Form_Sales::Cmd_Disp_All_Click);
    connect(Text_Girl_Date, &QLineEdit::returnPressed, this, &Form_Sales::Cmd_Gir_Disp_Click);

    m_module.addShopList(Combo_Shop_Name);
    m_module.addShopList(Combo_SName_Girl);
    m_module.addCompanionList(Combo_GirlName);
}

void Form_Sales::addFixedPeriods(QWidget *frame, QGridLayout *grid, int base)
{
    grid->addWidget(periodGroup(frame, QStringLiteral("本　日"), QStringLiteral("Label_Today"), Label_Today, base), 1, 0);
    grid->addWidget(periodGroup(frame, QStringLiteral("昨　日"), QStringLiteral("Label_Yesterday"), Label_Yesterday, base),
                    1, 1);
    grid->addWidget(periodGroup(frame, QStringLiteral("今　月"), QStringLiteral("Label_ThisMonth"), Label_ThisMonth, base),
                    2, 0);
    grid->addWidget(periodGroup(frame, QStringLiteral("先　月"), QStringLiteral("Label_LastMonth"), Label_LastMonth, base),
                    2, 1);
}

QGroupBox *Form_Sales::periodGroup(QWidget *parent, const QString &caption, const QString &arrayName,
                                   std::array<QLabel *, 8> &labels, int base, QWidget *header)
{
    static const char *const rowCaptions[] = {"総　売　上", "店　売　上", "ｺﾝﾊﾟﾆｵﾝ支払", "来 客 本 数"};
    auto *group = new QGroupBox(caption, parent);
    auto *grid = new QGridLayout(group);
    int row = 0;
    if (header)
        grid->addWidget(header, row++, 0, 1, 3);
    for (int i = 0; i < 4; ++i, ++row) {
        labels[base + i] = valueLabel(group, QStringLiteral("%1_%2").arg(arrayName).arg(base + i));
        grid->addWidget(new QLabel(QString::fromUtf8(rowCaptions[i]), group), row, 0);
        grid->addWidget(labels[base + i], row, 1);
        // Visits are a count: no unit, but the column keeps its width so the values line up.
        grid->addWidget(new QLabel(i < 3 ? Yen : QString(), group), row, 2);
    }
    grid->setColumnStretch(1, 1);
    return group;
}

QLineEdit *Form_Sales::dateBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(8);
    // Digits and slashes only: the Japanese input method would hand over full-width characters.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setInputMethodHints(Qt::ImhLatinOnly);
    box->setToolTip(DateTip);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00")) + 24);
    return box;
}

void Form_Sales::showCompanionFrame() { Frame5->setVisible(true); }

void Form_Sales::onShowing() { Form_Activate(); }

void Form_Sales::Form_Activate()
{
    // Everything of an earlier showing goes first, so that a failure below cannot leave old figures
    // standing as if they were today's.
    showPrompt(Combo_Shop_Name, ShopPrompt);
    showPrompt(Combo_SName_Girl, ShopPrompt);
    showPrompt(Combo_GirlName, CompanionPrompt);
    Text_Date->clear();
    Text_Date_All->clear();
    Text_Girl_Date->clear();
    for (auto *labels : {&Label_Today, &Label_Yesterday, &Label_ThisMonth, &Label_LastMonth, &Label_TargetDate,
                         &Label_Girl_Sales})
        clear(*labels, 0, 7);

    guarded([this] {
        const FixedPeriods periods = SalesPeriods(Clock::now());
        const QVector<qint32> shops = listedShops();
        const SalesFigures today = SumSales(m_module.AppDatabase, shops, std::nullopt, periods.today);
        const SalesFigures yesterday = SumSales(m_module.AppDatabase, shops, std::nullopt, periods.yesterday);
        const SalesFigures thisMonth = SumSales(m_module.AppDatabase, shops, std::nullopt, periods.thisMonth);
        const SalesFigures lastMonth = SumSales(m_module.AppDatabase, shops, std::nullopt, periods.lastMonth);
        setFigures(Label_Today, 4, today);
        setFigures(Label_Yesterday, 4, yesterday);
        setFigures(Label_ThisMonth, 4, thisMonth);
        setFigures(Label_LastMonth, 4, lastMonth);
    });
}

void Form_Sales::Combo_Shop_Name_Click(int)
{
    const int position = pickedShop(Combo_Shop_Name);
    if (position < 0)
        return;
    guarded([this, position] {
        const FixedPeriods periods = SalesPeriods(Clock::now());
        const QVector<qint32> shop{m_module.ShopIDs[position]};
        const SalesFigures today = SumSales(m_module.AppDatabase, shop, std::nullopt, periods.today);
        const SalesFigures yesterday = SumSales(m_module.AppDatabase, shop, std::nullopt, periods.yesterday);
        const SalesFigures thisMonth = SumSales(m_module.AppDatabase, shop, std::nullopt, periods.thisMonth);
        const SalesFigures lastMonth = SumSales(m_module.AppDatabase, shop, std::nullopt, periods.lastMonth);
        setFigures(Label_Today, 0, today);
        setFigures(Label_Yesterday, 0, yesterday);
        setFigures(Label_ThisMonth, 0, thisMonth);
        setFigures(Label_LastMonth, 0, lastMonth);
    });
}

void Form_Sales::Cmd_Disp_Click()
{
    // The figures must belong to the name shown: a typed name is not a pick.
    const int position = pickedShop(Combo_Shop_Name);
    if (position < 0) {
        Notice(this, QStringLiteral("表示する店舗を選択してください。"));
        return;
    }
    const std::optional<Period> period = typedPeriod(Text_Date);
    if (!period)
        return;
    guarded([this, position, &period] {
        setFigures(Label_TargetDate, 0,
                   SumSales(m_module.AppDatabase, {m_module.ShopIDs[position]}, std::nullopt, *period));
    });
}

void Form_Sales::Cmd_Disp_All_Click()
{
    const std::optional<Period> period = typedPeriod(Text_Date_All);
    if (!period)
        return;
    guarded([this, &period] {
        setFigures(Label_TargetDate, 4, SumSales(m_module.AppDatabase, listedShops(), std::nullopt, *period));
    });
}

void Form_Sales::Cmd_Quit_Click() { hide(); }

void Form_Sales::Combo_GirlName_Click(int)
{
    const int companion = pickedCompanion();
    if (companion < 0)
        return;
    showCompanionPeriods(m_module.CompanionIDs[companion], companionScope());
}

void Form_Sales::Combo_SName_Girl_Click(int)
{
    const int companion = pickedCompanion();
    const int shop = pickedShop(Combo_SName_Girl);
    if (companion < 0 || shop < 0)
        return;
    showCompanionPeriods(m_module.CompanionIDs[companion], {m_module.ShopIDs[shop]});
}

void Form_Sales::Cmd_Gir_Disp_Click()
{
    const int companion = pickedCompanion();
    if (companion < 0) {
        Notice(this, QStringLiteral("表示するコンパニオンを選択してください。"));
        return;
    }
    const std::optional<Period> period = typedPeriod(Text_Girl_Date);
    if (!period)
        return;
    guarded([this, companion, &period] {
        const SalesFigures f =
            SumSales(m_module.AppDatabase, companionScope(), m_module.CompanionIDs[companion], *period);
        Label_Girl_Sales[6]->setText(FormatNumber(f.pay));
        Label_Girl_Sales[7]->setText(countText(f.visits));
    });
}

void Form_Sales::showCompanionPeriods(qint32 companionId, const QVector<qint32> &shops)
{
    guarded([&] {
        const FixedPeriods periods = SalesPeriods(Clock::now());
        const SalesFigures today = SumSales(m_module.AppDatabase, shops, companionId, periods.today);
        const SalesFigures yesterday = SumSales(m_module.AppDatabase, shops, companionId, periods.yesterday);
        const SalesFigures thisMonth = SumSales(m_module.AppDatabase, shops, companionId, periods.thisMonth);
        const SalesFigures lastMonth = SumSales(m_module.AppDatabase, shops, companionId, periods.lastMonth);
        // Jobs are shown for the days only.
        Label_Girl_Sales[0]->setText(FormatNumber(today.pay));
        Label_Girl_Sales[2]->setText(countText(today.visits));
        Label_Girl_Sales[3]->setText(FormatNumber(yesterday.pay));
        Label_Girl_Sales[5]->setText(countText(yesterday.visits));
        Label_Girl_Sales[1]->setText(FormatNumber(thisMonth.pay));
        Label_Girl_Sales[4]->setText(FormatNumber(lastMonth.pay));
    });
}

int Form_Sales::pickedShop(const QComboBox *combo) const
{
    const int position = combo->currentIndex();
    if (position < 0 || position >= m_module.ShopCount || position >= combo->count())
        return -1;
    return combo->currentText() == combo->itemText(position) ? position : -1;
}

int Form_Sales::pickedCompanion() const
{
    const int position = Combo_GirlName->currentIndex();
    if (position < 0 || position >= m_module.CompanionCount || position >= Combo_GirlName->count())
        return -1;
    return Combo_GirlName->currentText() == Combo_GirlName->itemText(position) ? position : -1;
}

QVector<qint32> Form_Sales::listedShops() const
{
    return QVector<qint32>(m_module.ShopIDs.begin(), m_module.ShopIDs.begin() + m_module.ShopCount);
}

QVector<qint32> Form_Sales::companionScope() const
{
    const int shop = pickedShop(Combo_SName_Girl);
    return shop < 0 ? listedShops() : QVector<qint32>{m_module.ShopIDs[shop]};
}

std::optional<Period> Form_Sales::typedPeriod(const QLineEdit *box)
{
    const std::optional<Period> period = ReadTypedPeriod(box->text());
    if (!period)
        Notice(this, DateMessage);
    return period;
}

void Form_Sales::guarded(const std::function<void()> &action)
{
    // Every figure of an action is computed before the first label changes, so a failure leaves the
    // window as it was.
    try {
        action();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

} // namespace rp
