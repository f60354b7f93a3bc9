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
#include <QListWidget>
#include <QPrinter>
#include <QSignalBlocker>
#include <QPushButton>
#include <QTextBrowser>
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

    auto *middle = new QHBoxLayout;
    List_Girl = named(new QListWidget(this), QStringLiteral("List_Girl"));
    List_Girl->setFixedWidth(230);
    middle->addWidget(List_Girl);
    Text_Slip = named(new QTextBrowser(this), QStringLiteral("Text_Slip"));
    Text_Slip->setMinimumSize(760, 420);
    middle->addWidget(Text_Slip, 1);
    layout->addLayout(middle, 1);

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
    connect(List_Girl, &QListWidget::currentRowChanged, this, &Form_NightClose::List_Girl_Click);
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
        m_close = std::move(close);
        Label_Day->setText(BusinessDayText(day) + QStringLiteral(" の精算"));
        Label_Total[0]->setText(FormatNumber(m_close.totals.gross));
        Label_Total[1]->setText(FormatNumber(m_close.totals.shopShare));
        Label_Total[2]->setText(FormatNumber(m_close.totals.pay));
        Label_Total[3]->setText(QString::number(m_close.totals.visits));
        {
            const QSignalBlocker block(List_Girl);
            List_Girl->clear();
            List_Girl->addItem(QStringLiteral("全員（%1名）・集計").arg(m_close.companions.size()));
            for (const NightCloseCompanion &her : m_close.companions)
                List_Girl->addItem(QStringLiteral("%1　支払 %2").arg(her.genji, FormatNumber(her.totals.pay)));
            List_Girl->setCurrentRow(0);
        }
        List_Girl_Click(0);
    });
}

void Form_NightClose::List_Girl_Click(int row)
{
    const qint32 id = row >= 1 && row <= m_close.companions.size() ? m_close.companions[row - 1].id : 0;
    Text_Slip->setHtml(id != 0 ? NightCloseHtml(m_close, NightClosePages::Companion, id)
                               : NightCloseHtml(m_close, NightClosePages::Everything));
}

qint32 Form_NightClose::chosenCompanion() const
{
    const int row = List_Girl->currentRow();
    return row >= 1 && row <= m_close.companions.size() ? m_close.companions[row - 1].id : 0;
}

void Form_NightClose::Cmd_Print_Girl_Click()
{
    const qint32 id = chosenCompanion();
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
    printer.setDocName(QStringLiteral("精算 ") + m_close.day.toString(QStringLiteral("yyyy-MM-dd")));
    SetA4(printer);
    if (!Printing().choose(this, printer, QStringLiteral("精算の印刷")))
        return;
    if (!PrintNightClose(m_close, pages, companionId, printer))
        Notice(this, QStringLiteral("印刷できませんでした。"));
}

void Form_NightClose::Cmd_Pdf_Click()
{
    FileDialogSpec spec;
    spec.save = true;
    spec.title = QStringLiteral("精算をPDFで保存");
    spec.filter = QStringLiteral("PDF ファイル(*.pdf)|*.pdf|すべてのファイル(*.*)|*.*");
    spec.defaultSuffix = QStringLiteral("pdf");
    spec.initialPath = QStringLiteral("精算_%1.pdf").arg(m_close.day.toString(QStringLiteral("yyyyMMdd")));
    const std::optional<QString> path = Prompt().fileName(this, spec);
    if (!path || path->isEmpty())
        return;
    QString error;
    if (!WriteHtmlPdf(NightCloseHtml(m_close, NightClosePages::Everything), *path, false, &error))
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
