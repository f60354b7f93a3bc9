#include "reception/Main_Form.h"

#include "app/Application.h"
#include "app/EnterKey.h"
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/TextUtil.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Grid.h"
#include "sales/Form_NightClose.h"
#include "sales/Form_Sales.h"

#include <QAction>
#include <QCursor>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace rp {

const QColor Main_Form::WarningColour = QColor(240, 90, 40);

namespace {

template<typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel *caption(const QString &text, QWidget *parent, const QString &name = {})
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

// A label that shows a value in a sunken box, as the entry area's read-only fields do.
QLabel *valueLabel(QWidget *parent, const QString &name, int minWidth)
{
    auto *label = named(new QLabel(parent), name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(minWidth);
    return label;
}

} // namespace

Main_Form::Main_Form(Application &app, QWidget *parent)
    : QMainWindow(parent), m_app(app), m_module(app.module())
{
    setObjectName(QStringLiteral("Main_Form"));
    setWindowTitle(AppTitle() + QStringLiteral(" － 受付"));
    buildLayout();
    buildMenus();
    wireBoard();
    wireEntry();
    wireKeys();
    InstallEnterPressesButtons(this);

    Timer_Warning = named(new QTimer(this), QStringLiteral("Timer_Warning"));
    Timer_Warning->setInterval(TimerIntervalMs);
    connect(Timer_Warning, &QTimer::timeout, this, &Main_Form::TimerWarningTick);
    // A program left running through the night makes the new business day's copy by itself.
    connect(Timer_Warning, &QTimer::timeout, &m_app, &Application::keepDailyBackup);

    m_module.setBoardShopList(Combo_Shop_Name, [this](int p) { SelectShop(p); });
    wireChangeFeed();
}

Main_Form::~Main_Form()
{
    // The boxes' checks must not run on a board that is half gone: a box that has the focus when its
    // window is destroyed loses it, and the watch would check it against members already destroyed.
    delete m_entryWatch;
    delete m_customerWatch;
    delete centralWidget();
}

void Main_Form::buildLayout()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(6, 4, 6, 4);
    columns->setSpacing(8);

    // Left: the shop, its three windows, the status board and the warning box.
    auto *left = new QVBoxLayout;
    auto *shopRow = new QHBoxLayout;
    shopRow->addWidget(caption(QStringLiteral("店舗名"), central));
    Combo_Shop_Name = named(new QComboBox(central), QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setPlaceholderText(ShopPrompt());
    Combo_Shop_Name->setMinimumWidth(220);
    shopRow->addWidget(Combo_Shop_Name, 1);
    Cmd_ShopData = named(new QPushButton(QStringLiteral("店データ"), central), QStringLiteral("Cmd_ShopData"));
    Cmd_GirlData = named(new QPushButton(QStringLiteral("コンパニオンデータ"), central), QStringLiteral("Cmd_GirlData"));
    Cmd_Sales = named(new QPushButton(QStringLiteral("売上情報"), central), QStringLiteral("Cmd_Sales"));
    shopRow->addWidget(Cmd_ShopData);
    shopRow->addWidget(Cmd_GirlData);
    Cmd_NightClose = named(new QPushButton(QStringLiteral("精算"), central), QStringLiteral("Cmd_NightClose"));
    shopRow->addWidget(Cmd_Sales);
    shopRow->addWidget(Cmd_NightClose);
    left->addLayout(shopRow);

    // Said on the board, not in a box: the PC keeps trying by itself and the operator keeps working.
    Label_Server = named(new QLabel(central), QStringLiteral("Label_Server"));
    Label_Server->setStyleSheet(QStringLiteral("QLabel { background: rgb(255,235,160); color: rgb(150,0,0); font-weight: bold; padding: 2px; }"));
    Label_Server->setWordWrap(true);
    Label_Server->setVisible(false);
    left->addWidget(Label_Server);

    Grid_Girl = named(new Grid(12, central), QStringLiteral("Grid_Girl"));
    Grid_Girl->setFormatString(QStringLiteral("コンパニオン|　源 氏 名　|^出退勤|^空|^他店|^終了予定|^残り|　　　場　　　所　　　|コンパニオンID|顧客ID|OPTION|選択OP"));
    const int girlWidths[] = {110, 100, 62, 34, 40, 70, 48, 150};
    for (int c = 0; c < 8; ++c)
        Grid_Girl->setColumnWidth(c, girlWidths[c]);
    Grid_Girl->setMinimumWidth(640);
    Grid_Girl->horizontalHeader()->setStretchLastSection(true);
    left->addWidget(Grid_Girl, 1);

    Text_Warning = named(new QPlainTextEdit(central), QStringLiteral("Text_Warning"));
    Text_Warning->setReadOnly(true);
    Text_Warning->setFixedHeight(96);
    Text_Warning->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(240,90,40); color: white; font-weight: bold; font-size: 15pt; }"));
    Text_Warning->setVisible(false);
    left->addWidget(Text_Warning);
    columns->addLayout(left, 1);

    // Right: the customer area and the booking entry.
    auto *right = new QVBoxLayout;
    auto *customer = named(new QGroupBox(QStringLiteral("顧客情報"), central), QStringLiteral("Frame_Customer"));
    auto *cg = new QGridLayout(customer);
    cg->setVerticalSpacing(4);
    cg->addWidget(caption(QStringLiteral("ＴＥＬ"), customer, QStringLiteral("L_Tel")), 0, 0);
    Text_Tel = named(new QLineEdit(customer), QStringLiteral("Text_Tel"));
    Text_Tel->setMaxLength(13);
    cg->addWidget(Text_Tel, 0, 1);
    Cmd_Search = named(new QPushButton(QStringLiteral("検 索"), customer), QStringLiteral("Cmd_Search"));
    cg->addWidget(Cmd_Search, 0, 2);
    cg->addWidget(caption(QStringLiteral("ランク"), customer, QStringLiteral("L_Rank")), 0, 3);
    Combo_Rank = named(new QComboBox(customer), QStringLiteral("Combo_Rank"));
    Combo_Rank->setEditable(true);
    Combo_Rank->setInsertPolicy(QComboBox::NoInsert);   // the list is fixed; other ranks are typed
    Combo_Rank->addItems({QStringLiteral("上"), QStringLiteral("並"), QStringLiteral("下"), QStringLiteral("危険")});
    Combo_Rank->setCurrentIndex(-1);
    Combo_Rank->setEditText(QString());
    cg->addWidget(Combo_Rank, 0, 4);
    cg->addWidget(caption(QStringLiteral("名　前"), customer, QStringLiteral("L_Name")), 1, 0);
    Combo_Name = named(new QComboBox(customer), QStringLiteral("Combo_Name"));
    Combo_Name->setEditable(true);
    Combo_Name->setInsertPolicy(QComboBox::NoInsert);
    cg->addWidget(Combo_Name, 1, 1, 1, 2);
    Cmd_UserUpdate = named(new QPushButton(QStringLiteral("顧客データ修正"), customer), QStringLiteral("Cmd_UserUpdate"));
    cg->addWidget(Cmd_UserUpdate, 1, 3);
    Cmd_NG = named(new QPushButton(QStringLiteral("NG登録"), customer), QStringLiteral("Cmd_NG"));
    Cmd_NG->setToolTip(QStringLiteral("このお客様のNG（コンパニオン・店舗）を登録・解除します"));
    cg->addWidget(Cmd_NG, 1, 4);
    cg->addWidget(caption(QStringLiteral("備　考"), customer, QStringLiteral("L_Note")), 2, 0);
    Text_Note = named(new QLineEdit(customer), QStringLiteral("Text_Note"));
    Text_Note->setMaxLength(50);
    cg->addWidget(Text_Note, 2, 1, 1, 4);
    cg->setColumnStretch(1, 1);

    Grid_Rireki = named(new Grid(10, customer), QStringLiteral("Grid_Rireki"));
    Grid_Rireki->setFormatString(QStringLiteral("　　　　店　　　　　名　　　　|コンパニオン|　源 氏 名　|^指名|^　年　月　日|^　　時　間　　|　　　場　　　　所　　　|>　支　払　|^ｷｬﾝｾﾙ|オプション"));
    // Every column up to ｷｬﾝｾﾙ fits the half of a 1366-pixel screen; the options take what is left.
    const QFontMetrics fm = Grid_Rireki->fontMetrics();
    const auto wide = [&fm](const QString &sample) { return fm.horizontalAdvance(sample) + 8; };
    const int historyWidths[] = {wide(QStringLiteral("池袋ガーデン")), wide(QStringLiteral("コンパニオン")),
                                 wide(QStringLiteral("あいうえ")), wide(QStringLiteral("指名")),
                                 wide(QStringLiteral("2026/12/08")), wide(QStringLiteral("00:00 - 00:00")),
                                 wide(QStringLiteral("ホテル桜805")), wide(QStringLiteral("¥999,999")),
                                 wide(QStringLiteral("ｷｬﾝｾﾙ"))};
    for (int c = 0; c < 9; ++c)
        Grid_Rireki->setColumnWidth(c, historyWidths[c]);
    Grid_Rireki->horizontalHeader()->setStretchLastSection(true);
    Grid_Rireki->setMinimumHeight(150);
    cg->addWidget(Grid_Rireki, 3, 0, 1, 5);
    auto *totalRow = new QHBoxLayout;
    // Said on the screen, not in a box: the operator is on the telephone and keeps typing.
    Label_NewCaller = named(new QLabel(NewCallerText(), customer), QStringLiteral("Label_NewCaller"));
    Label_NewCaller->setStyleSheet(QStringLiteral("QLabel { color: rgb(0,70,160); font-weight: bold; }"));
    Label_NewCaller->setVisible(false);
    totalRow->addWidget(Label_NewCaller);
    totalRow->addStretch();
    totalRow->addWidget(caption(QStringLiteral("トータル金額"), customer, QStringLiteral("L_Total")));
    Label_Total = valueLabel(customer, QStringLiteral("Label_Total"), 110);
    Label_Total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totalRow->addWidget(Label_Total);
    cg->addLayout(totalRow, 4, 0, 1, 5);
    right->addWidget(customer, 1);

    Frame_Entry = named(new QGroupBox(QStringLiteral("今回の情報"), central), QStringLiteral("Frame_Entry"));
    auto *eg = new QGridLayout(Frame_Entry);
    eg->setVerticalSpacing(4);
    eg->addWidget(caption(QStringLiteral("店　舗"), Frame_Entry), 0, 0);
    Label_Shop_Name = valueLabel(Frame_Entry, QStringLiteral("Label_Shop_Name"), 120);
    eg->addWidget(Label_Shop_Name, 0, 1);
    eg->addWidget(caption(QStringLiteral("コンパニオン"), Frame_Entry), 0, 2);
    Label_Girl_Name = valueLabel(Frame_Entry, QStringLiteral("Label_Girl_Name"), 100);
    eg->addWidget(Label_Girl_Name, 0, 3);
    Label_GirlID = named(new QLabel(Frame_Entry), QStringLiteral("Label_GirlID"));
    Label_GirlID->setVisible(false);
    eg->addWidget(caption(QStringLiteral("日　付"), Frame_Entry), 0, 4);
    Label_Date = valueLabel(Frame_Entry, QStringLiteral("Label_Date"), 90);
    eg->addWidget(Label_Date, 0, 5);

    eg->addWidget(caption(QStringLiteral("開始時刻"), Frame_Entry), 1, 0);
    auto *times = new QHBoxLayout;
    Text_Start_Time = named(new QLineEdit(Frame_Entry), QStringLiteral("Text_Start_Time"));
    Text_Start_Time->setMaxLength(5);
    Text_Start_Time->setFixedWidth(60);
    Text_End_Time = named(new QLineEdit(Frame_Entry), QStringLiteral("Text_End_Time"));
    Text_End_Time->setMaxLength(5);
    Text_End_Time->setFixedWidth(60);
    times->addWidget(Text_Start_Time);
    times->addWidget(caption(QStringLiteral("～ 終了"), Frame_Entry));
    times->addWidget(Text_End_Time);
    times->addStretch();
    eg->addLayout(times, 1, 1);
    eg->addWidget(caption(QStringLiteral("場　所"), Frame_Entry), 1, 2);
    Text_Place = named(new QLineEdit(Frame_Entry), QStringLiteral("Text_Place"));
    Text_Place->setMaxLength(24);
    eg->addWidget(Text_Place, 1, 3, 1, 3);

    eg->addWidget(caption(QStringLiteral("コース"), Frame_Entry), 2, 0);
    Combo_Course = named(new QComboBox(Frame_Entry), QStringLiteral("Combo_Course"));
    Combo_Course->setPlaceholderText(CoursePrompt());
    Combo_Course->setMinimumWidth(180);
    eg->addWidget(Combo_Course, 2, 1);
    eg->addWidget(caption(QStringLiteral("延　長"), Frame_Entry), 2, 2);
    auto *ext = new QHBoxLayout;
    ext->setSpacing(0);
    Text_Ext = named(new QLineEdit(Frame_Entry), QStringLiteral("Text_Ext"));
    Text_Ext->setReadOnly(true);
    Text_Ext->setMaxLength(3);
    Text_Ext->setFixedWidth(44);
    Text_Ext->setAlignment(Qt::AlignRight);
    UpDown_Ext = named(new QSpinBox(Frame_Entry), QStringLiteral("UpDown_Ext"));
    UpDown_Ext->setRange(0, 999);
    UpDown_Ext->setFixedWidth(20);
    UpDown_Ext->setFocusPolicy(Qt::NoFocus);
    ext->addWidget(Text_Ext);
    ext->addWidget(UpDown_Ext);
    ext->addWidget(caption(QStringLiteral(" 分"), Frame_Entry));
    ext->addStretch();
    eg->addLayout(ext, 2, 3);
    Check_Shimei = named(new QCheckBox(QStringLiteral("指名"), Frame_Entry), QStringLiteral("Check_Shimei"));
    Check_Cancel = named(new QCheckBox(QStringLiteral("キャンセル"), Frame_Entry), QStringLiteral("Check_Cancel"));
    eg->addWidget(Check_Shimei, 2, 4);
    eg->addWidget(Check_Cancel, 2, 5);

    auto *options = named(new QGroupBox(QStringLiteral("オプション"), Frame_Entry), QStringLiteral("Frame_Option"));
    auto *og = new QGridLayout(options);
    og->setVerticalSpacing(2);
    for (int i = 0; i < 15; ++i) {
        const int n = i + 1;
        const QString designCaption =
            QStringLiteral("オプション") + ToFullWidthDigits(QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        Check_Option[i] = named(new QCheckBox(designCaption, options), QStringLiteral("Check_Option_%1").arg(i));
        // Options a shop does not offer are hidden; the others keep their places.
        QSizePolicy keep = Check_Option[i]->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        Check_Option[i]->setSizePolicy(keep);
        og->addWidget(Check_Option[i], i / 5, i % 5);
    }
    eg->addWidget(options, 3, 0, 1, 6);

    auto *payRow = new QHBoxLayout;
    payRow->addStretch();
    payRow->addWidget(caption(QStringLiteral("金額"), Frame_Entry, QStringLiteral("L_Pay")));
    Label_Pay = valueLabel(Frame_Entry, QStringLiteral("Label_Pay"), 110);
    Label_Pay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont payFont = Label_Pay->font();
    payFont.setBold(true);
    payFont.setPointSize(payFont.pointSize() + 3);
    Label_Pay->setFont(payFont);
    payRow->addWidget(Label_Pay);
    Label_GirlPay = named(new QLabel(Frame_Entry), QStringLiteral("Label_GirlPay"));
    Label_GirlPay->setVisible(false);
    payRow->addSpacing(16);
    Cmd_Regist = named(new QPushButton(QStringLiteral("登　録"), Frame_Entry), QStringLiteral("Cmd_Regist"));
    Cmd_Regist->setMinimumWidth(110);
    Cmd_Regist->setToolTip(RegistTip());
    payRow->addWidget(Cmd_Regist);
    eg->addLayout(payRow, 4, 0, 1, 6);
    right->addWidget(Frame_Entry);

    columns->addLayout(right, 1);
    resize(1360, 700);
}

void Main_Form::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = named(file->addAction(QStringLiteral("終了(&X)")), QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    QMenu *data = menuBar()->addMenu(QStringLiteral("ﾃﾞｰﾀ処理"));
    data->setObjectName(QStringLiteral("mnuData"));
    mnuBackup = named(data->addAction(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ")), QStringLiteral("mnuBackup"));
    mnuRestore = named(data->addAction(QStringLiteral("ﾘｽﾄｱ")), QStringLiteral("mnuRestore"));
    mnuCompact = named(data->addAction(QStringLiteral("最適化")), QStringLiteral("mnuCompact"));
    data->addSeparator();
    mnuDel = named(data->addAction(QStringLiteral("ﾃﾞｰﾀ削除")), QStringLiteral("mnuDel"));
    connect(mnuBackup, &QAction::triggered, this, &Main_Form::mnuBackup_Click);
    connect(mnuRestore, &QAction::triggered, this, &Main_Form::mnuRestore_Click);
    connect(mnuCompact, &QAction::triggered, this, &Main_Form::mnuCompact_Click);
    connect(mnuDel, &QAction::triggered, this, &Main_Form::mnuDel_Click);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = named(help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")), QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, [this] { m_app.showAbout(); });

    mnuRireki = named(new QMenu(QStringLiteral("履歴"), this), QStringLiteral("mnuRireki"));
    mnuRDel = named(mnuRireki->addAction(QStringLiteral("削除")), QStringLiteral("mnuRDel"));
    connect(Grid_Rireki, &Grid::mouseDown, this, [this](int button, int, int) {
        if (button == 2)
            mnuRireki->popup(QCursor::pos());
    });
}

void Main_Form::wireBoard()
{
    connect(Combo_Shop_Name, &QComboBox::activated, this, &Main_Form::Combo_Shop_Name_Click);
    connect(Cmd_ShopData, &QPushButton::clicked, this, &Main_Form::Cmd_ShopData_Click);
    connect(Cmd_GirlData, &QPushButton::clicked, this, &Main_Form::Cmd_GirlData_Click);
    connect(Cmd_Sales, &QPushButton::clicked, this, &Main_Form::Cmd_Sales_Click);
    connect(Cmd_NightClose, &QPushButton::clicked, this, &Main_Form::Cmd_NightClose_Click);
    connect(Grid_Girl, &Grid::beforeEdit, this, &Main_Form::Grid_Girl_BeforeEdit);
    connect(Grid_Girl, &Grid::afterEdit, this, &Main_Form::Grid_Girl_AfterEdit);
    connect(Grid_Girl, &Grid::cellClick, this, &Main_Form::Grid_Girl_Click);
    wireCustomerArea();
}

void Main_Form::PrepareGrids()
{
    using T = Grid::ColumnType;
    const T history[] = {T::Text, T::Text, T::Text, T::Boolean, T::Date, T::Text, T::Text, T::Currency, T::Boolean, T::Text};
    for (int c = 0; c < 10; ++c)
        Grid_Rireki->setColumnType(c, history[c]);
    Grid_Rireki->setColumnFormat(7, QStringLiteral("$#,###"));

    const T board[] = {T::Text, T::Text, T::Text, T::Boolean, T::Boolean, T::DateTime,
                       T::Single, T::Text, T::Long, T::Long, T::Long, T::Long};
    for (int c = 0; c < 12; ++c)
        Grid_Girl->setColumnType(c, board[c]);
    Grid_Girl->setColumnComboList(2, QStringLiteral("出勤|退勤"));
    for (int c = 8; c <= 11; ++c)
        Grid_Girl->setColumnHidden(c, true);
}

void Main_Form::closeEvent(QCloseEvent *event)
{
    if (m_app.shutdown())
        event->accept();
    else
        event->ignore();
}

void Main_Form::Cmd_ShopData_Click() { m_app.shopForm()->showModal(); }

void Main_Form::Cmd_GirlData_Click()
{
    if (m_module.ShopCount == 0) {
        Notice(this, QStringLiteral("店舗データが設定されていません。"));
        return;
    }
    m_app.girlForm()->showModal();
}

void Main_Form::Cmd_Sales_Click()
{
    if (m_module.ShopCount == 0) {
        Notice(this, QStringLiteral("データがありません。"));
        return;
    }
    m_app.salesForm()->showModal();
}

Form_NightClose *Main_Form::nightCloseForm()
{
    if (!m_nightClose)
        m_nightClose = new Form_NightClose(m_module, this);
    return m_nightClose;
}

void Main_Form::Cmd_NightClose_Click()
{
    if (m_module.ShopCount == 0) {
        Notice(this, QStringLiteral("データがありません。"));
        return;
    }
    nightCloseForm()->showModal();
}

void Main_Form::Combo_Shop_Name_Click(int index)
{
    guarded([&] { SelectShop(index); });
}

} // namespace rp
