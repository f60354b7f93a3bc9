#include "sales/Form_NightClose.h"

#include "data/AppError.h"
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Printing.h"
#include "data/Prompt.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace rp {

namespace {

const QString DateMessage = QStringLiteral("日付を入力してください。（入力形式：YY/MM/DD）");

template<typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

Form_NightClose::Form_NightClose(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_NightClose"));
    setWindowTitle(QStringLiteral("精算"));
    auto *layout = new QVBoxLayout(this);

    auto *dayRow = new QHBoxLayout;
    dayRow->addWidget(new QLabel(QStringLiteral("営業日"), this));
    Text_Date = named(new QLineEdit(this), QStringLiteral("Text_Date"));
    Text_Date->setMaxLength(8);
    Text_Date->setAttribute(Qt::WA_InputMethodEnabled, false);
    Text_Date->setToolTip(QStringLiteral("YY/MM/DD・・・入力された年月日の精算（空欄で本日）"));
    Text_Date->setFixedWidth(Text_Date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00")) + 24);
    dayRow->addWidget(Text_Date);
    Cmd_Disp = named(new QPushButton(QStringLiteral("表示"), this), QStringLiteral("Cmd_Disp"));
    dayRow->addWidget(Cmd_Disp);
    dayRow->addSpacing(16);
    Label_Day = named(new QLabel(this), QStringLiteral("Label_Day"));
    QFont dayFont = Label_Day->font();
    dayFont.setBold(true);
    dayFont.setPointSize(dayFont.pointSize() + 2);
    Label_Day->setFont(dayFont);
    dayRow->addWidget(Label_Day);
    dayRow->addStretch(1);
    layout->addLayout(dayRow);

    m_model = new NightCloseModel(this);
    Tree_Slips = named(new QTreeView(this), QStringLiteral("Tree_Slips"));
    Tree_Slips->setModel(m_model);
    const int widths[] = {150, 100, 96, 110, 130, 50, 40, 44, 80, 80, 80};
    for (int c = 0; c < NightCloseModel::Columns; ++c)
        Tree_Slips->setColumnWidth(c, widths[c]);
    Tree_Slips->setUniformRowHeights(true);
    Tree_Slips->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree_Slips->setMinimumSize(980, 330);
    layout->addWidget(Tree_Slips, 1);

    Grid_Shops = named(new QTableWidget(0, 5, this), QStringLiteral("Grid_Shops"));
    Grid_Shops->setHorizontalHeaderLabels({QStringLiteral("店舗"), QStringLiteral("来客本数"), QStringLiteral("総売上"),
                                           QStringLiteral("店売上"), QStringLiteral("ｺﾝﾊﾟﾆｵﾝ支払")});
    Grid_Shops->verticalHeader()->setVisible(false);
    Grid_Shops->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Shops->horizontalHeader()->setStretchLastSection(true);
    Grid_Shops->setColumnWidth(0, 220);
    for (int c = 1; c < 4; ++c)
        Grid_Shops->setColumnWidth(c, 130);
    // Room for every shop of the list and the total line, in rows no taller than the text needs.
    Grid_Shops->verticalHeader()->setDefaultSectionSize(Grid_Shops->fontMetrics().height() + 8);
    Grid_Shops->setFixedHeight(Grid_Shops->horizontalHeader()->sizeHint().height()
                               + (MaxShops + 1) * Grid_Shops->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(Grid_Shops);

    auto *totals = named(new QGroupBox(QStringLiteral("この日の合計"), this), QStringLiteral("Frame_Total"));
    auto *tg = new QHBoxLayout(totals);
    static const char *const captions[] = {"総　売　上", "店　売　上", "ｺﾝﾊﾟﾆｵﾝ支払", "来 客 本 数"};
    for (int i = 0; i < 4; ++i) {
        tg->addWidget(new QLabel(QString::fromUtf8(captions[i]), totals));
        Label_Total[i] = named(new QLabel(totals), QStringLiteral("Label_Total_%1").arg(i));
        Label_Total[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Label_Total[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Label_Total[i]->setMinimumWidth(Label_Total[i]->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999")) + 10);
        tg->addWidget(Label_Total[i]);
        tg->addWidget(new QLabel(i < 3 ? QStringLiteral("円") : QString(), totals));
        tg->addSpacing(12);
    }
    tg->addStretch(1);
    layout->addWidget(totals);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &caption, const QString &name) {
        auto *b = named(new QPushButton(caption, this), name);
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
        return b;
    };
    Cmd_Print_Girl = button(QStringLiteral("個別伝票印刷"), QStringLiteral("Cmd_Print_Girl"));
    Cmd_Print_All = button(QStringLiteral("全員伝票印刷"), QStringLiteral("Cmd_Print_All"));
    Cmd_Print_Summary = button(QStringLiteral("集計表印刷"), QStringLiteral("Cmd_Print_Summary"));
    Cmd_Pdf = button(QStringLiteral("PDF保存"), QStringLiteral("Cmd_Pdf"));
    buttons->addStretch(1);
    Cmd_Quit = button(QStringLiteral("Ｏ　Ｋ"), QStringLiteral("Cmd_Quit"));
    Cmd_Quit->setMinimumWidth(120);
    Cmd_Disp->setAutoDefault(false);
    layout->addLayout(buttons);

    connect(Cmd_Disp, &QPushButton::clicked, this, &Form_NightClose::Cmd_Disp_Click);
    connect(Text_Date, &QLineEdit::returnPressed, this, &Form_NightClose::Cmd_Disp_Click);
    connect(Cmd_Print_Girl, &QPushButton::clicked, this, &Form_NightClose::Cmd_Print_Girl_Click);
    connect(Cmd_Print_All, &QPushButton::clicked, this, &Form_NightClose::Cmd_Print_All_Click);
    connect(Cmd_Print_Summary, &QPushButton::clicked, this, &Form_NightClose::Cmd_Print_Summary_Click);
    connect(Cmd_Pdf, &QPushButton::clicked, this, &Form_NightClose::Cmd_Pdf_Click);
    connect(Cmd_Quit, &QPushButton::clicked, this, &Form_NightClose::Cmd_Quit_Click);
}

void Form_NightClose::onShowing() { Form_Activate(); }

void Form_NightClose::Form_Activate()
{
    Text_Date->clear();
    showDay(BusinessDate(Clock::now()));
}

void Form_NightClose::Cmd_Disp_Click()
{
    if (Text_Date->text().isEmpty()) {
        showDay(BusinessDate(Clock::now()));
        return;
    }
    const std::optional<QDate> day = ReadTwoDigitYearDate(Text_Date->text());
    if (!day) {
        Notice(this, DateMessage);
        return;
    }
    showDay(*day);
}

void Form_NightClose::showDay(const QDate &day)
{
    guarded([&] {
        const QVector<qint32> shops(m_module.ShopIDs.begin(), m_module.ShopIDs.begin() + m_module.ShopCount);
        // Read whole before anything shown changes: a failure leaves the window as it was.
        NightClose close = LoadNightClose(m_module.AppDatabase, day, shops);
        m_model->setClose(std::move(close));
        const NightClose &shown = m_model->close();
        Label_Day->setText(BusinessDayText(day) + QStringLiteral(" の精算"));
        Label_Total[0]->setText(FormatNumber(shown.totals.gross));
        Label_Total[1]->setText(FormatNumber(shown.totals.shopShare));
        Label_Total[2]->setText(FormatNumber(shown.totals.pay));
        Label_Total[3]->setText(QString::number(shown.totals.visits));
        // Every section open, each charge's line across the columns.
        Tree_Slips->expandAll();
        for (int c = 0; c < shown.companions.size(); ++c)
            for (int b = 0; b < shown.companions[c].bookings.size(); ++b) {
                const QModelIndex booking = m_model->parent(m_model->chargeRow(c, b, 0));
                for (int line = 0; line < m_model->rowCount(booking); ++line)
                    Tree_Slips->setFirstColumnSpanned(line, booking, true);
            }
        if (!shown.companions.isEmpty())
            Tree_Slips->setCurrentIndex(m_model->index(0, 0));
        fillShops();
    });
}

void Form_NightClose::fillShops()
{
    Grid_Shops->setRowCount(int(m_model->close().shops.size()) + 1);
    const auto put = [this](int row, const QString &name, const SalesFigures &f, bool bold) {
        const QStringList texts{name, QString::number(f.visits), FormatNumber(f.gross), FormatNumber(f.shopShare),
                                FormatNumber(f.pay)};
        for (int c = 0; c < texts.size(); ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (bold) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            Grid_Shops->setItem(row, c, item);
        }
    };
    for (int r = 0; r < m_model->close().shops.size(); ++r)
        put(r, m_model->close().shops[r].name, m_model->close().shops[r].totals, false);
    put(int(m_model->close().shops.size()), QStringLiteral("合計"), m_model->close().totals, true);
}

void Form_NightClose::Cmd_Print_Girl_Click()
{
    const qint32 id = m_model->companionOf(Tree_Slips->currentIndex());
    if (id == 0) {
        Notice(this, QStringLiteral("印刷するコンパニオンを選択してください。"));
        return;
    }
    print(NightClosePages::Companion, id);
}

void Form_NightClose::Cmd_Print_All_Click() { print(NightClosePages::AllCompanions, 0); }

void Form_NightClose::Cmd_Print_Summary_Click() { print(NightClosePages::Summary, 0); }

void Form_NightClose::print(NightClosePages pages, qint32 companionId)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("精算 ") + m_model->close().day.toString(QStringLiteral("yyyy-MM-dd")));
    SetA4(printer);
    if (!Printing().choose(this, printer, QStringLiteral("精算の印刷")))
        return;
    if (!PrintNightClose(m_model->close(), pages, companionId, printer))
        Notice(this, QStringLiteral("印刷できませんでした。"));
}

void Form_NightClose::Cmd_Pdf_Click()
{
    FileDialogSpec spec;
    spec.save = true;
    spec.title = QStringLiteral("精算をPDFで保存");
    spec.filter = QStringLiteral("PDF ファイル(*.pdf)|*.pdf|すべてのファイル(*.*)|*.*");
    spec.defaultSuffix = QStringLiteral("pdf");
    spec.initialPath = QStringLiteral("精算_%1.pdf").arg(m_model->close().day.toString(QStringLiteral("yyyyMMdd")));
    const std::optional<QString> path = Prompt().fileName(this, spec);
    if (!path || path->isEmpty())
        return;
    QString error;
    if (!WritePdf(NightCloseSections(m_model->close(), NightClosePages::Everything), *path, false, &error))
        Notice(this, error);
}

void Form_NightClose::Cmd_Quit_Click() { hide(); }

void Form_NightClose::guarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

} // namespace rp
