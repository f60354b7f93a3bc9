#include "masters/Form_ShopData.h"

#include "data/Module1.h"
#include "data/Money.h"
#include "data/Prompt.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "data/TextUtil.h"
#include "masters/ShopStore.h"
#include "reception/StatusStore.h"

#include <QApplication>
#include <QTimer>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace rp {

namespace {

const char *const TagProperty = "tag";
const QString ClearTag = QStringLiteral("clr");

QString fullWidthDigits(int n) { return ToFullWidthDigits(QString::number(n)); }

QString courseColumn(int course, const QString &suffix) { return QStringLiteral("C%1").arg(course + 1) + suffix; }
QString optionColumn(int option, const QString &suffix) { return QStringLiteral("OP%1").arg(option + 1) + suffix; }

bool isMoney(ShopField f) { return f == ShopField::CoursePrice || f == ShopField::Fee; }
bool isText(ShopField f)
{
    return f == ShopField::CourseName || f == ShopField::Duration || f == ShopField::OptionName;
}

// A focus change that the window's own activation causes (a message box, a popup list) is not the
// operator leaving the box.
bool leftByOperator(const QEvent *event)
{
    const auto reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

Form_ShopData::Form_ShopData(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_ShopData"));
    setWindowTitle(QStringLiteral("店データ入力"));
    buildControls();
    buildLayout();
    m_module.addShopList(Combo_Shop_Name);
}

QLabel *Form_ShopData::label(const QString &name, const QString &text)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
}

QLineEdit *Form_ShopData::entryBox(const QString &name, ShopField field, const QString &column)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setProperty(TagProperty, ClearTag);
    const QFontMetrics fm = box->fontMetrics();
    const int frame = 14;
    int width = 0;
    switch (field) {
    case ShopField::CourseName:
    case ShopField::OptionName: width = fm.horizontalAdvance(QString(8, QChar(0x5E97))); break;
    case ShopField::Duration: width = fm.horizontalAdvance(QString(4, QChar(0x5E97))); break;
    case ShopField::CoursePrice: width = fm.horizontalAdvance(QStringLiteral("-999,999")); break;
    case ShopField::Fee: width = fm.horizontalAdvance(QStringLiteral("-99,999")); break;
    case ShopField::Rate: width = fm.horizontalAdvance(QStringLiteral("100.0")); break;
    case ShopField::Minutes: width = fm.horizontalAdvance(QStringLiteral("99999")); break;
    }
    box->setFixedWidth(width + frame);
    if (isMoney(field) || field == ShopField::Rate || field == ShopField::Minutes)
        box->setAlignment(Qt::AlignRight);
    box->installEventFilter(this);
    m_fields.insert(box, field);
    m_byColumn.insert(column, box);
    m_tabOrder.append(box);
    return box;
}

void Form_ShopData::buildControls()
{
    // Created in the order the operator tabs through them.
    Label_Shop_Name = label(QStringLiteral("Label_Shop_Name"), QStringLiteral("店舗名"));
    Combo_Shop_Name = new QComboBox(this);
    Combo_Shop_Name->setObjectName(QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setEditable(true);
    // The list is only ever filled by the shop list loader: Enter must not add the typed name, and the
    // typed name must stay as typed (no completion, no case-blind match on Enter).
    Combo_Shop_Name->setInsertPolicy(QComboBox::NoInsert);
    Combo_Shop_Name->setDuplicatesEnabled(true);
    Combo_Shop_Name->setCompleter(nullptr);
    Combo_Shop_Name->setMinimumWidth(Combo_Shop_Name->fontMetrics().horizontalAdvance(QString(16, QChar(0x5E97))) + 40);
    Combo_Shop_Name->installEventFilter(this);
    Combo_Shop_Name->lineEdit()->installEventFilter(this);
    connect(Combo_Shop_Name, &QComboBox::activated, this, &Form_ShopData::Combo_Shop_Name_Click);

    for (int i = 0; i < Courses; ++i) {
        Frame1[i] = new QGroupBox(QStringLiteral("コース") + fullWidthDigits(i + 1), this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        Text_Course[i] = entryBox(QStringLiteral("Text_Course_%1").arg(i), ShopField::CourseName, courseColumn(i, QStringLiteral("名")));
        for (int j = 0; j < RowsPerCourse; ++j) {
            const int x = i * RowsPerCourse + j;
            Text_Minute[x] = entryBox(QStringLiteral("Text_Minute_%1").arg(x), ShopField::Duration,
                                      courseColumn(i, QStringLiteral("時間%1").arg(j + 1)));
            Label_Minute_Unit[x] = label(QStringLiteral("Label_Minute_Unit_%1").arg(x), QStringLiteral("分"));
            Text_Money[x] = entryBox(QStringLiteral("Text_Money_%1").arg(x), ShopField::CoursePrice,
                                     courseColumn(i, QStringLiteral("料金%1").arg(j + 1)));
            Label_Money_Unit[x] = label(QStringLiteral("Label_Money_Unit_%1").arg(x), QStringLiteral("円"));
        }
    }

    Label_Ext_Minute = label(QStringLiteral("Label_Ext_Minute"), QStringLiteral("延長時間"));
    Text_Ext_Minute = entryBox(QStringLiteral("Text_Ext_Minute"), ShopField::Minutes, QStringLiteral("延長時間"));
    Label_Ext_Minute_Unit = label(QStringLiteral("Label_Ext_Minute_Unit"), QStringLiteral("分"));
    Label_Ext_Money = label(QStringLiteral("Label_Ext_Money"), QStringLiteral("延長料金"));
    Text_Ext_Money = entryBox(QStringLiteral("Text_Ext_Money"), ShopField::Fee, QStringLiteral("延長料金"));
    Label_Ext_Money_Unit = label(QStringLiteral("Label_Ext_Money_Unit"), QStringLiteral("円"));
    Label_Shimei = label(QStringLiteral("Label_Shimei"), QStringLiteral("指　名　料"));
    Text_Shimei_Money = entryBox(QStringLiteral("Text_Shimei_Money"), ShopField::Fee, QStringLiteral("指名料"));
    Label_Shimei_Unit = label(QStringLiteral("Label_Shimei_Unit"), QStringLiteral("円"));
    Label_Can = label(QStringLiteral("Label_Can"), QStringLiteral("キャンセル料"));
    Text_Can_Money = entryBox(QStringLiteral("Text_Can_Money"), ShopField::Fee, QStringLiteral("キャンセル料"));
    Label_Can_Unit = label(QStringLiteral("Label_Can_Unit"), QStringLiteral("円"));
    Text_WarningTime = entryBox(QStringLiteral("Text_WarningTime"), ShopField::Minutes, QStringLiteral("警告時間"));
    Label_WarningTime = label(QStringLiteral("Label_WarningTime"), QStringLiteral("分前になったら知らせる"));

    Frame2 = new QGroupBox(QStringLiteral("オプション"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    for (int k = 0; k < Options; ++k) {
        Label_Opt_No[k] = label(QStringLiteral("Label_Opt_No_%1").arg(k), QString::number(k + 1));
        Label_Opt_No[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Text_Opt_Name[k] = entryBox(QStringLiteral("Text_Opt_Name_%1").arg(k), ShopField::OptionName, optionColumn(k, QStringLiteral("名")));
        Text_Opt_Money[k] = entryBox(QStringLiteral("Text_Opt_Money_%1").arg(k), ShopField::CoursePrice, optionColumn(k, QStringLiteral("料金")));
        Label_Opt_Money_Unit[k] = label(QStringLiteral("Label_Opt_Money_Unit_%1").arg(k), QStringLiteral("円"));
        Text_OneOpt_Rate[k] = entryBox(QStringLiteral("Text_OneOpt_Rate_%1").arg(k), ShopField::Rate, optionColumn(k, QStringLiteral("割合")));
        Text_OneOpt_Rate[k]->setToolTip(OptionRateTip());
        Label_OneOpt_Rate_Unit[k] = label(QStringLiteral("Label_OneOpt_Rate_Unit_%1").arg(k), QStringLiteral("％"));
        // Shown by showOptionRates() once the program has started.
        Text_OneOpt_Rate[k]->setHidden(true);
        Label_OneOpt_Rate_Unit[k]->setHidden(true);
    }

    Frame3 = new QGroupBox(QStringLiteral("料金割合"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    const QStringList rateCaptions{QStringLiteral("コース１"), QStringLiteral("コース２"), QStringLiteral("コース３"),
                                   QStringLiteral("コース４"), QStringLiteral("オプション"), QStringLiteral("延長"),
                                   QStringLiteral("指名"),     QStringLiteral("キャンセル")};
    const QStringList rateBoxes{QStringLiteral("Text_C1_Rate"),  QStringLiteral("Text_C2_Rate"),
                                QStringLiteral("Text_C3_Rate"),  QStringLiteral("Text_C4_Rate"),
                                QStringLiteral("Text_Opt_Rate"), QStringLiteral("Text_Ext_Rate"),
                                QStringLiteral("Text_Shimei_Rate"), QStringLiteral("Text_Can_Rate")};
    const QStringList rateColumns{QStringLiteral("C1割合"), QStringLiteral("C2割合"), QStringLiteral("C3割合"),
                                  QStringLiteral("C4割合"), QStringLiteral("OP割合"), QStringLiteral("延長割合"),
                                  QStringLiteral("指名割合"), QStringLiteral("キャンセル割合")};
    std::array<QLineEdit *, 8> rates{};
    for (int r = 0; r < 8; ++r) {
        Label_Rate[r] = label(QStringLiteral("Label_Rate_%1").arg(r), rateCaptions[r]);
        rates[r] = entryBox(rateBoxes[r], ShopField::Rate, rateColumns[r]);
        rates[r]->setToolTip(RateTip());
        Label_Rate_Unit[r] = label(QStringLiteral("Label_Rate_Unit_%1").arg(r), QStringLiteral("％"));
    }
    Text_C1_Rate = rates[0];
    Text_C2_Rate = rates[1];
    Text_C3_Rate = rates[2];
    Text_C4_Rate = rates[3];
    Text_Opt_Rate = rates[4];
    Text_Ext_Rate = rates[5];
    Text_Shimei_Rate = rates[6];
    Text_Can_Rate = rates[7];

    auto button = [this](const QString &name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    Cmd_Regist = button(QStringLiteral("Cmd_Regist"), QStringLiteral("登　録"));
    Cmd_Del = button(QStringLiteral("Cmd_Del"), QStringLiteral("削　除"));
    Cmd_OK = button(QStringLiteral("Cmd_OK"), QStringLiteral("Ｏ　Ｋ"));
    Cmd_Cancel = button(QStringLiteral("Cmd_Cancel"), QStringLiteral("ｷｬﾝｾﾙ"));
    connect(Cmd_Regist, &QPushButton::clicked, this, &Form_ShopData::Cmd_Regist_Click);
    connect(Cmd_Del, &QPushButton::clicked, this, &Form_ShopData::Cmd_Del_Click);
    connect(Cmd_OK, &QPushButton::clicked, this, &Form_ShopData::Cmd_OK_Click);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &Form_ShopData::Cmd_Cancel_Click);
}

void Form_ShopData::buildLayout()
{
    auto *outer = new QVBoxLayout(this);
    outer->setSpacing(6);

    auto *top = new QHBoxLayout;
    top->addWidget(Label_Shop_Name);
    top->addWidget(Combo_Shop_Name);
    top->addStretch(1);
    outer->addLayout(top);

    // The four courses side by side, the fees and the warning time beside them.
    auto *courses = new QHBoxLayout;
    for (int i = 0; i < Courses; ++i) {
        auto *g = new QGridLayout(Frame1[i]);
        g->setHorizontalSpacing(3);
        g->setVerticalSpacing(3);
        g->addWidget(Text_Course[i], 0, 0, 1, 4, Qt::AlignLeft);
        for (int j = 0; j < RowsPerCourse; ++j) {
            const int x = i * RowsPerCourse + j;
            g->addWidget(Text_Minute[x], j + 1, 0);
            g->addWidget(Label_Minute_Unit[x], j + 1, 1);
            g->addWidget(Text_Money[x], j + 1, 2);
            g->addWidget(Label_Money_Unit[x], j + 1, 3);
        }
        g->setRowStretch(RowsPerCourse + 1, 1);
        courses->addWidget(Frame1[i]);
    }
    auto *fees = new QGridLayout;
    fees->setHorizontalSpacing(4);
    fees->setVerticalSpacing(3);
    fees->addWidget(Label_Ext_Minute, 0, 0);
    fees->addWidget(Text_Ext_Minute, 0, 1, Qt::AlignRight);
    fees->addWidget(Label_Ext_Minute_Unit, 0, 2);
    fees->addWidget(Label_Ext_Money, 1, 0);
    fees->addWidget(Text_Ext_Money, 1, 1, Qt::AlignRight);
    fees->addWidget(Label_Ext_Money_Unit, 1, 2);
    fees->addWidget(Label_Shimei, 2, 0);
    fees->addWidget(Text_Shimei_Money, 2, 1, Qt::AlignRight);
    fees->addWidget(Label_Shimei_Unit, 2, 2);
    fees->addWidget(Label_Can, 3, 0);
    fees->addWidget(Text_Can_Money, 3, 1, Qt::AlignRight);
    fees->addWidget(Label_Can_Unit, 3, 2);
    auto *warning = new QHBoxLayout;
    warning->addWidget(Text_WarningTime);
    warning->addWidget(Label_WarningTime);
    warning->addStretch(1);
    fees->addLayout(warning, 5, 0, 1, 3);
    fees->setRowMinimumHeight(4, 10);
    fees->setRowStretch(6, 1);
    auto *feeBox = new QWidget(this);
    auto *feeOuter = new QVBoxLayout(feeBox);
    feeOuter->setContentsMargins(8, 18, 0, 0);
    feeOuter->addLayout(fees);
    courses->addWidget(feeBox);
    courses->addStretch(1);
    outer->addLayout(courses);

    // Options in three columns of five, the rates beside them.
    auto *lower = new QHBoxLayout;
    auto *og = new QGridLayout(Frame2);
    og->setHorizontalSpacing(3);
    og->setVerticalSpacing(3);
    constexpr int perColumn = 5;
    constexpr int cellsPerOption = 7;   // number, name, price, 円, rate, ％, gap
    for (int k = 0; k < Options; ++k) {
        const int row = k % perColumn;
        const int col = (k / perColumn) * cellsPerOption;
        og->addWidget(Label_Opt_No[k], row, col);
        og->addWidget(Text_Opt_Name[k], row, col + 1);
        og->addWidget(Text_Opt_Money[k], row, col + 2);
        og->addWidget(Label_Opt_Money_Unit[k], row, col + 3);
        og->addWidget(Text_OneOpt_Rate[k], row, col + 4);
        og->addWidget(Label_OneOpt_Rate_Unit[k], row, col + 5);
        if (k / perColumn < Options / perColumn - 1)
            og->setColumnMinimumWidth(col + 6, 12);
    }
    lower->addWidget(Frame2);

    auto *rg = new QGridLayout(Frame3);
    rg->setHorizontalSpacing(3);
    rg->setVerticalSpacing(3);
    const std::array<QLineEdit *, 8> rates{Text_C1_Rate,  Text_C2_Rate,  Text_C3_Rate,     Text_C4_Rate,
                                           Text_Opt_Rate, Text_Ext_Rate, Text_Shimei_Rate, Text_Can_Rate};
    for (int r = 0; r < 8; ++r) {
        const int row = r % 4;
        const int col = (r / 4) * 4;
        rg->addWidget(Label_Rate[r], row, col);
        rg->addWidget(rates[r], row, col + 1);
        rg->addWidget(Label_Rate_Unit[r], row, col + 2);
    }
    rg->setColumnMinimumWidth(3, 12);
    rg->setRowStretch(4, 1);
    lower->addWidget(Frame3);
    lower->addStretch(1);
    outer->addLayout(lower);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Cmd_Regist);
    buttons->addWidget(Cmd_Del);
    buttons->addSpacing(24);
    buttons->addWidget(Cmd_OK);
    buttons->addWidget(Cmd_Cancel);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetMinimumSize);
}

void Form_ShopData::showOptionRates()
{
    for (int k = 0; k < Options; ++k) {
        Text_OneOpt_Rate[k]->setVisible(true);
        Label_OneOpt_Rate_Unit[k]->setVisible(true);
    }
}

std::optional<ShopField> Form_ShopData::fieldOf(const QLineEdit *box) const
{
    const auto it = m_fields.constFind(box);
    if (it == m_fields.constEnd())
        return std::nullopt;
    return it.value();
}

int Form_ShopData::selectedPosition() const
{
    const int p = Combo_Shop_Name->currentIndex();
    if (p < 0 || p >= m_module.ShopCount || Combo_Shop_Name->itemText(p) != Combo_Shop_Name->currentText())
        return -1;
    return p;
}

// --- Showing and resetting -------------------------------------------------------------------

void Form_ShopData::onShowing()
{
    ResetNewFlag();
    ResetShopForm();
    PromptText = Combo_Shop_Name->currentText();
    FocusText.clear();
}

void Form_ShopData::ResetNewFlag() { IsNewShop = false; }

void Form_ShopData::ResetShopForm()
{
    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(-1);
        Combo_Shop_Name->setEditText(ShopNamePrompt());
    }
    ClearTaggedFields();
}

void Form_ShopData::ClearTaggedFields()
{
    for (QLineEdit *box : findChildren<QLineEdit *>())
        if (box->property(TagProperty).toString() == ClearTag)
            box->clear();
}

void Form_ShopData::Cmd_OK_Click() { hide(); }

void Form_ShopData::Cmd_Cancel_Click() { hide(); }

// --- Focus ------------------------------------------------------------------------------------

bool Form_ShopData::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return ChildWindow::eventFilter(watched, event);

    if (watched == Combo_Shop_Name || watched == Combo_Shop_Name->lineEdit()) {
        // The combo box passes its focus events on to its line edit: handle them once, at the combo.
        if (watched == Combo_Shop_Name) {
            if (type == QEvent::FocusIn) {
                SelectPromptOnFocus(Combo_Shop_Name, ShopNamePrompt());
                Combo_Shop_Name_GotFocus();
            } else if (!m_checking && leftByOperator(event)) {
                const bool toRegist = QApplication::focusWidget() == Cmd_Regist;
                m_refusedOnWayToRegist = !Combo_Shop_Name_LostFocus() && toRegist;
                forgetRefusalAfterThisClick();
            }
        }
        return false;
    }

    if (type == QEvent::FocusOut && !m_checking && leftByOperator(event))
        if (auto *box = qobject_cast<QLineEdit *>(watched); box && m_fields.contains(box)) {
            // The focus is already on its new widget while the old one hears that it lost it.
            const bool toRegist = QApplication::focusWidget() == Cmd_Regist;
            m_refusedOnWayToRegist = !CheckField(box) && toRegist;
            forgetRefusalAfterThisClick();
        }
    return false;
}

bool Form_ShopData::CheckField(QLineEdit *box)
{
    const std::optional<ShopField> field = fieldOf(box);
    if (!field)
        return true;
    const ShopCheckResult result = CheckShopField(*field, box->text());
    if (result.text != box->text())
        box->setText(result.text);
    if (result.ok)
        return true;
    // While the message is up and the focus is put back, the focus moves are ours, not the operator's.
    m_checking = true;
    Notice(this, result.message);
    box->setFocus(Qt::OtherFocusReason);
    m_checking = false;
    return false;
}

bool Form_ShopData::CheckAllFields()
{
    for (QLineEdit *box : std::as_const(m_tabOrder))
        if (!CheckField(box))
            return false;
    return true;
}

void Form_ShopData::Combo_Shop_Name_GotFocus() { FocusText = Combo_Shop_Name->currentText(); }

bool Form_ShopData::Combo_Shop_Name_LostFocus()
{
    const QString text = Combo_Shop_Name->currentText();
    if (text == PromptText || text == FocusText)
        return true;
    if (ByteLength(text) > ShopNameBytes) {
        m_checking = true;
        Notice(this, ShopMessages::shopName());
        Combo_Shop_Name->setFocus(Qt::OtherFocusReason);
        m_checking = false;
        return false;
    }
    IsNewShop = true;
    for (int p = 0; p < Combo_Shop_Name->count(); ++p) {
        if (Combo_Shop_Name->itemText(p) == text) {
            {
                const QSignalBlocker block(Combo_Shop_Name);
                Combo_Shop_Name->setCurrentIndex(p);
            }
            Combo_Shop_Name_Click(p);
            IsNewShop = false;
            return true;
        }
    }
    // A new shop: its tariff starts blank under the typed name.
    ClearTaggedFields();
    return true;
}

// --- Loading a shop ---------------------------------------------------------------------------

void Form_ShopData::Combo_Shop_Name_Click(int position)
{
    IsNewShop = false;
    if (position < 0 || position >= m_module.ShopCount)
        return;
    try {
        loadShop(m_module.ShopIDs[position]);
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
    FocusText = Combo_Shop_Name->currentText();
}

void Form_ShopData::loadShop(qint32 shopId)
{
    const std::optional<Row> row = ShopById(m_module.AppDatabase, shopId);
    if (!row)
        return;
    for (auto it = m_byColumn.cbegin(); it != m_byColumn.cend(); ++it) {
        const QVariant value = row->value(it.key());
        QString text;
        if (!value.isNull())
            text = isMoney(m_fields.value(it.value())) ? FormatNumber(Money::fromYen(value.toLongLong()))
                                                       : NullToEmpty(value);
        it.value()->setText(text);
    }
}

// --- Registering ------------------------------------------------------------------------------

QString Form_ShopData::registrationRefusal() const
{
    for (int x = 0; x < CourseRows; ++x)
        if (Text_Minute[x]->text().isEmpty() != Text_Money[x]->text().isEmpty())
            return QStringLiteral("コース情報の入力が正しくありません。");

    bool anyCourse = false;
    for (int i = 0; i < Courses && !anyCourse; ++i) {
        if (Text_Course[i]->text().isEmpty())
            continue;
        for (int j = 0; j < RowsPerCourse; ++j)
            if (!Text_Minute[i * RowsPerCourse + j]->text().isEmpty())
                anyCourse = true;
    }
    if (!anyCourse)
        return QStringLiteral("コース情報が入力されていません。");

    for (const QLineEdit *box : {Text_Ext_Minute, Text_Ext_Money, Text_Shimei_Money, Text_Can_Money, Text_WarningTime})
        if (box->text().isEmpty())
            return QStringLiteral("延長時間・延長金額、指名料、キャンセル料、警告時間は必ず設定してください。");

    const auto courseRate = courseRates();
    for (int i = 0; i < Courses; ++i)
        if (!Text_Course[i]->text().isEmpty() && courseRate[i]->text().isEmpty())
            return QStringLiteral("コース料金割合が入力されていません。");

    for (const QLineEdit *box : {Text_Opt_Rate, Text_Ext_Rate, Text_Shimei_Rate, Text_Can_Rate})
        if (box->text().isEmpty())
            return QStringLiteral("料金割合は必ず設定してください。");
    return QString();
}

QStringList Form_ShopData::updateColumns()
{
    QStringList cols;
    for (int i = 0; i < Courses; ++i)
        cols << courseColumn(i, QStringLiteral("名"));
    for (const QString &kind : {QStringLiteral("時間"), QStringLiteral("料金")})
        for (int i = 0; i < Courses; ++i)
            for (int j = 1; j <= RowsPerCourse; ++j)
                cols << courseColumn(i, kind + QString::number(j));
    for (const QString &kind : {QStringLiteral("名"), QStringLiteral("料金"), QStringLiteral("割合")})
        for (int k = 0; k < Options; ++k)
            cols << optionColumn(k, kind);
    cols << QStringLiteral("延長時間") << QStringLiteral("延長料金") << QStringLiteral("指名料") << QStringLiteral("キャンセル料");
    for (int i = 0; i < Courses; ++i)
        cols << courseColumn(i, QStringLiteral("割合"));
    cols << QStringLiteral("OP割合") << QStringLiteral("延長割合") << QStringLiteral("指名割合")
         << QStringLiteral("キャンセル割合") << QStringLiteral("警告時間");
    return cols;
}

QVariantList Form_ShopData::valuesFor(const QStringList &columns) const
{
    // Every value is converted before anything is written: a box that cannot be stored fails the
    // whole registration, not half of it.
    QVariantList values;
    values.reserve(columns.size());
    for (const QString &column : columns) {
        const QLineEdit *box = m_byColumn.value(column);
        const QString text = box->text();
        values << (isText(m_fields.value(box)) ? SqlQuote(text) : SqlNumber(text));
    }
    return values;
}

void Form_ShopData::insertShop(const QString &name)
{
    // Every tariff column after 店舗ID, 削除FLAG and 店舗名, in the table's own order.
    const QStringList columns = ColumnNames(ShopTable()).mid(3);
    QVariantList values{name};
    values << valuesFor(columns);
    InsertShop(m_module.AppDatabase, QStringList{QStringLiteral("店舗名")} + columns, values);
    m_module.LoadShopList();
    // Shops are listed in ascending 店舗ID, so the new one is the last entry.
    const int last = Combo_Shop_Name->count() - 1;
    if (last >= 0) {
        {
            const QSignalBlocker block(Combo_Shop_Name);
            Combo_Shop_Name->setCurrentIndex(last);
        }
        Combo_Shop_Name_Click(last);
    }
    IsNewShop = false;
}

void Form_ShopData::updateShop(int position)
{
    const qint32 shopId = m_module.ShopIDs[position];
    const QStringList columns = updateColumns();
    UpdateShop(m_module.AppDatabase, shopId, columns, valuesFor(columns));
    m_module.LoadShopList();
    const int p = std::min(position, Combo_Shop_Name->count() - 1);
    if (p >= 0) {
        {
            const QSignalBlocker block(Combo_Shop_Name);
            Combo_Shop_Name->setCurrentIndex(p);
        }
        Combo_Shop_Name_Click(p);
    }
}

void Form_ShopData::forgetRefusalAfterThisClick()
{
    // Only the click that took the focus away has been told. When its release never reaches 登録 (the
    // message box took it), the next click must be told again.
    if (m_refusedOnWayToRegist)
        QTimer::singleShot(0, this, [this] { m_refusedOnWayToRegist = false; });
}

void Form_ShopData::Cmd_Regist_Click()
{
    // The click that took the focus from a refused box has told the operator already.
    if (std::exchange(m_refusedOnWayToRegist, false))
        return;
    const QString name = Combo_Shop_Name->currentText();
    if (name == PromptText)
        return;
    if (name.isEmpty()) {
        Notice(this, QStringLiteral("店舗名が入力されていません。"));
        ResetNewFlag();
        return;
    }
    if (ByteLength(name) > ShopNameBytes) {
        Notice(this, ShopMessages::shopName());
        Combo_Shop_Name->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A value refused on leaving its box is refused here too, whatever the operator did since.
    if (!CheckAllFields())
        return;
    // The shop lists, the per-shop tables and the companions' slots hold MaxShops shops: a further
    // shop would be stored but never listed, and its companions' slots would have no place.
    if (IsNewShop && m_module.ShopCount >= MaxShops) {
        Notice(this, QStringLiteral("登録できる店舗は%1店舗までです。").arg(fullWidthDigits(MaxShops)));
        return;
    }
    const QString refusal = registrationRefusal();
    if (!refusal.isEmpty()) {
        Notice(this, refusal);
        return;
    }

    if (IsNewShop) {
        if (!AskOkCancel(this, name + QStringLiteral("のデータを登録します。")))
            return;
        try {
            insertShop(name);
        } catch (const AppError &error) {
            ShowCommonError(this, error);
        }
        return;
    }

    const int p = selectedPosition();
    if (p < 0)
        return;   // neither a listed shop nor a name the operator has typed and left
    if (!AskOkCancel(this, name + QStringLiteral("のデータを修正します。")))
        return;
    try {
        updateShop(p);
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        Combo_Shop_Name_Click(p);   // what the file still holds
    }
}

// --- Deleting ---------------------------------------------------------------------------------

void Form_ShopData::Cmd_Del_Click()
{
    const int p = selectedPosition();
    if (p < 0)
        return;
    const QString name = Combo_Shop_Name->currentText();
    const qint32 shopId = m_module.ShopIDs[p];
    Database &db = m_module.AppDatabase;
    try {
        // A running booking of the shop would be left with no shop to end it at.
        const int out = RunningBookingsAtShop(db, shopId);
        if (out > 0) {
            Notice(this, name + QStringLiteral("で接客中のコンパニオンがいます。削除は接客が終わってから行ってください。"));
            return;
        }
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    if (!AskOkCancel(this, name + QStringLiteral("の店舗データを削除します。")))
        return;
    try {
        // The flag, the companions' slots and the board rows go together, or the slots would pair
        // every companion's names with the wrong shops.
        db.atomic([&] {
            MarkShopDeleted(db, shopId);
            RemoveShopFromCompanions(shopId);
            m_module.DeleteStatusRows(2, shopId);
        });
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        Combo_Shop_Name_Click(p);   // the shop is still there: show what the file holds
        return;
    }
    try {
        m_module.LoadShopList();
        ResetNewFlag();
        ResetShopForm();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

void Form_ShopData::RemoveShopFromCompanions(qint32 shopId)
{
    Database &db = m_module.AppDatabase;
    if (db.inTransaction()) {
        removeShopFromCompanions(shopId);
        return;
    }
    try {
        // All companions or none: a half-shifted register would pair names with the wrong shops.
        db.atomic([&] { removeShopFromCompanions(shopId); });
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

void Form_ShopData::removeShopFromCompanions(qint32 shopId)
{
    RemoveShopFromCompanionSlots(m_module.AppDatabase, shopId, MaxShops);
}

} // namespace rp
