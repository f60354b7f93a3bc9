#include "masters/Form_GirlData.h"

#include "data/AppError.h"
#include "data/Clock.h"
#include "data/Locks.h"
#include "data/Printing.h"
#include "data/Prompt.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "masters/CompanionStore.h"
#include "masters/GirlFieldChecks.h"
#include "masters/OptionSheet.h"
#include "masters/ShopStore.h"

#include "reception/Main_Form.h"

#include <QApplication>
#include <QTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace rp {

namespace {

const char *const TagProperty = "tag";
const QString ClearTag = QStringLiteral("clr");
const QString CheckTag = QStringLiteral("ck");
const QString GenjiPrompt = QStringLiteral("源氏名は？");
const QString ShopPrompt = QStringLiteral("店舗を選択してください");


template<typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// Rows that come and go with the shop list keep their place, so the window does not jump.
void keepPlaceWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// Width of n full-width characters in the widget's font.
int fullWidthRoom(const QWidget *widget, int n)
{
    return widget->fontMetrics().horizontalAdvance(QString(n, QChar(0x3042)));
}

// A caption shown as typed: an "&" in a shop's option name is not a keyboard accelerator.
QString plainCaption(const QString &text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

Form_GirlData::Form_GirlData(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_GirlData"));
    setWindowTitle(QStringLiteral("コンパニオン　データ入力"));
    buildControls();

    QVector<QLabel *> labels;
    QVector<QLineEdit *> names;
    for (int i = 0; i < MaxShops; ++i) {
        labels << Label_Shop[i];
        names << Text_SName[i];
    }
    m_module.addShopList(Combo_Shop_Name);
    m_module.addCompanionList(Combo_Genji);
    m_module.setCompanionShopRows(labels, names);

    connect(Combo_Genji, &QComboBox::activated, this, &Form_GirlData::Combo_Genji_Click);
    connect(Combo_Shop_Name, &QComboBox::activated, this, &Form_GirlData::Combo_Shop_Name_Click);
    for (int k = 0; k < int(Check_Option.size()); ++k)
        connect(Check_Option[k], &QCheckBox::clicked, this, [this, k] { Check_Option_Click(k); });
    connect(Cmd_Regist, &QPushButton::clicked, this, &Form_GirlData::Cmd_Regist_Click);
    connect(Cmd_Del, &QPushButton::clicked, this, &Form_GirlData::Cmd_Del_Click);
    connect(Cmd_OK, &QPushButton::clicked, this, &Form_GirlData::Cmd_OK_Click);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &Form_GirlData::Cmd_Cancel_Click);
    connect(Cmd_Print, &QPushButton::clicked, this, &Form_GirlData::Cmd_Print_Click);

    // Blank from the start, as after every showing.
    ResetCompanionState();
    ResetCompanionForm();
    PromptText = Combo_Genji->currentText();
}

QLineEdit *Form_GirlData::entryBox(const QString &name, int width)
{
    auto *box = named(new QLineEdit(this), name);
    box->setProperty(TagProperty, ClearTag);
    box->setFixedWidth(width);
    box->installEventFilter(this);
    return box;
}

void Form_GirlData::buildControls()
{
    auto *root = new QVBoxLayout(this);

    // The working name.
    auto *genjiRow = new QHBoxLayout;
    genjiRow->addWidget(new QLabel(QStringLiteral("源氏名"), this));
    Combo_Genji = named(new QComboBox(this), QStringLiteral("Combo_Genji"));
    Combo_Genji->setEditable(true);
    // The name is looked up exactly as typed: no completion into another companion's name, and
    // a typed name never becomes a list entry before it is registered.
    Combo_Genji->setCompleter(nullptr);
    Combo_Genji->setInsertPolicy(QComboBox::NoInsert);
    Combo_Genji->setMinimumWidth(200);
    Combo_Genji->installEventFilter(this);
    genjiRow->addWidget(Combo_Genji);
    genjiRow->addStretch(1);
    root->addLayout(genjiRow);

    auto *columns = new QHBoxLayout;
    root->addLayout(columns);

    // Left: her name at each shop, then age and measurements.
    auto *left = new QVBoxLayout;
    columns->addLayout(left);
    auto *shopGrid = new QGridLayout;
    shopGrid->addWidget(new QLabel(QStringLiteral("店　舗"), this), 0, 0);
    shopGrid->addWidget(new QLabel(QStringLiteral("コンパニオン名"), this), 0, 1);
    for (int i = 0; i < MaxShops; ++i) {
        Label_Shop[i] = named(new QLabel(this), QStringLiteral("Label_Shop_%1").arg(i));
        keepPlaceWhenHidden(Label_Shop[i]);
        Text_SName[i] = entryBox(QStringLiteral("Text_SName_%1").arg(i), 150);
        keepPlaceWhenHidden(Text_SName[i]);
        shopGrid->addWidget(Label_Shop[i], i + 1, 0);
        shopGrid->addWidget(Text_SName[i], i + 1, 1);
    }
    // Room for a shop name of ten full-width characters; a longer one widens the window.
    shopGrid->setColumnMinimumWidth(0, fullWidthRoom(this, 10));
    left->addLayout(shopGrid);
    left->addSpacing(12);

    auto *bodyGrid = new QGridLayout;
    auto addMeasure = [&](int row, const QString &caption, QLineEdit *box, const QString &unit) {
        if (!caption.isEmpty())
            bodyGrid->addWidget(new QLabel(caption, this), row, 0);
        bodyGrid->addWidget(box, row, 1);
        bodyGrid->addWidget(new QLabel(unit, this), row, 2);
    };
    Text_Old = entryBox(QStringLiteral("Text_Old"), 60);
    Text_Tall = entryBox(QStringLiteral("Text_Tall"), 60);
    Text_Bust = entryBox(QStringLiteral("Text_Bust"), 60);
    Text_Cup = entryBox(QStringLiteral("Text_Cup"), 40);
    Text_Waist = entryBox(QStringLiteral("Text_Waist"), 60);
    Text_Hip = entryBox(QStringLiteral("Text_Hip"), 60);
    addMeasure(0, QStringLiteral("年齢"), Text_Old, QStringLiteral("才"));
    addMeasure(1, QStringLiteral("身長"), Text_Tall, QStringLiteral("cm"));
    addMeasure(2, QStringLiteral("ﾊﾞｽﾄ"), Text_Bust, QStringLiteral("cm"));
    bodyGrid->addWidget(Text_Cup, 2, 3);
    bodyGrid->addWidget(new QLabel(QStringLiteral("cup"), this), 2, 4);
    addMeasure(3, QStringLiteral("ｳｴｽﾄ"), Text_Waist, QStringLiteral("cm"));
    addMeasure(4, QStringLiteral("ﾋｯﾌﾟ"), Text_Hip, QStringLiteral("cm"));
    bodyGrid->setColumnStretch(5, 1);
    left->addLayout(bodyGrid);
    left->addStretch(1);

    // Middle: the options she offers at the shop chosen in the frame's list.
    Frame2 = named(new QGroupBox(QStringLiteral("オプション"), this), QStringLiteral("Frame2"));
    auto *optionGrid = new QGridLayout(Frame2);
    Combo_Shop_Name = named(new QComboBox(Frame2), QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setPlaceholderText(ShopPrompt);
    Combo_Shop_Name->setMinimumWidth(220);
    optionGrid->addWidget(Combo_Shop_Name, 0, 0, 1, 3);
    for (int k = 0; k < int(Check_Option.size()); ++k) {
        auto *box = named(new QCheckBox(Frame2), QStringLiteral("Check_Option_%1").arg(k));
        box->setProperty(TagProperty, CheckTag);
        keepPlaceWhenHidden(box);
        Check_Option[k] = box;
        // Options 1-5 down the first column, 6-10 the second, 11-15 the third.
        optionGrid->addWidget(box, 1 + k % 5, k / 5);
    }
    // An option name holds at most eight full-width characters: the columns have room for them from
    // the start, so choosing another shop does not reshape the window.
    for (int c = 0; c < 3; ++c)
        optionGrid->setColumnMinimumWidth(c, fullWidthRoom(Frame2, 8) + 30);
    optionGrid->setRowStretch(6, 1);
    Cmd_Print = named(new QPushButton(QStringLiteral("オプション表印刷"), Frame2), QStringLiteral("Cmd_Print"));
    optionGrid->addWidget(Cmd_Print, 7, 2);
    columns->addWidget(Frame2, 1);

    // Right: the surcharges.
    Frame3 = named(new QGroupBox(QStringLiteral("料金割増"), this), QStringLiteral("Frame3"));
    auto *rateGrid = new QGridLayout(Frame3);
    struct RateRow
    {
        QLineEdit **box;
        const char *name;
        QString caption;
    };
    const RateRow rates[] = {
        {&Text_C1_Rate, "Text_C1_Rate", QStringLiteral("コース１")},
        {&Text_C2_Rate, "Text_C2_Rate", QStringLiteral("コース２")},
        {&Text_C3_Rate, "Text_C3_Rate", QStringLiteral("コース３")},
        {&Text_C4_Rate, "Text_C4_Rate", QStringLiteral("コース４")},
        {&Text_Opt_Rate, "Text_Opt_Rate", QStringLiteral("オプション")},
        {&Text_Ext_Rate, "Text_Ext_Rate", QStringLiteral("延　長")},
        {&Text_Shimei_Rate, "Text_Shimei_Rate", QStringLiteral("指　名　料")},
        {&Text_Can_Rate, "Text_Can_Rate", QStringLiteral("キャンセル")},
    };
    int row = 0;
    for (const RateRow &r : rates) {
        *r.box = entryBox(QString::fromLatin1(r.name), 60);
        rateGrid->addWidget(new QLabel(r.caption, Frame3), row, 0);
        rateGrid->addWidget(*r.box, row, 1);
        rateGrid->addWidget(new QLabel(QStringLiteral("％"), Frame3), row, 2);
        ++row;
    }
    auto *note = new QLabel(QStringLiteral("ｺﾝﾊﾟﾆｵﾝに多く支払う場合に、その増分を指定します。"), Frame3);
    note->setWordWrap(true);
    note->setMaximumWidth(200);
    rateGrid->addWidget(note, row, 0, 1, 3);
    rateGrid->setRowStretch(row + 1, 1);
    columns->addWidget(Frame3);

    // The buttons. None is a default button: Enter in a box must not register or leave the window.
    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &caption, const QString &name) {
        auto *b = named(new QPushButton(caption, this), name);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(100);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    Cmd_Regist = button(QStringLiteral("登　録"), QStringLiteral("Cmd_Regist"));
    Cmd_Del = button(QStringLiteral("削　除"), QStringLiteral("Cmd_Del"));
    buttons->addSpacing(30);
    Cmd_OK = button(QStringLiteral("Ｏ　Ｋ"), QStringLiteral("Cmd_OK"));
    Cmd_Cancel = button(QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("Cmd_Cancel"));
    Cmd_Print->setAutoDefault(false);
    root->addLayout(buttons);
}

// ---- State ----

void Form_GirlData::ResetCompanionState()
{
    IsNewCompanion = false;
    ClearOptionBits();
}

void Form_GirlData::ClearOptionBits() { OptionBits.fill(0); }

void Form_GirlData::ResetCompanionForm()
{
    {
        const QSignalBlocker block(Combo_Genji);
        Combo_Genji->setCurrentIndex(-1);
        Combo_Genji->setEditText(GenjiPrompt);
    }
    ClearCompanionFields();
}

void Form_GirlData::ClearCompanionFields()
{
    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(-1);   // shows "店舗を選択してください"
    }
    const auto widgets = findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        const QString tag = w->property(TagProperty).toString();
        if (tag == ClearTag) {
            if (auto *box = qobject_cast<QLineEdit *>(w))
                box->clear();
        } else if (tag == CheckTag) {
            if (auto *check = qobject_cast<QCheckBox *>(w)) {
                check->setVisible(true);
                check->setChecked(false);
                check->setText(QString());
            }
        }
    }
}

int Form_GirlData::selectedCompanion() const
{
    // An editable list keeps its last position while another name is typed over it; only a text
    // that is still that entry's name counts as the selection.
    const int q = Combo_Genji->currentIndex();
    if (q < 0 || q >= m_module.CompanionCount || q >= Combo_Genji->count())
        return -1;
    return Combo_Genji->itemText(q) == Combo_Genji->currentText() ? q : -1;
}

void Form_GirlData::onShowing()
{
    ResetCompanionState();
    ResetCompanionForm();
    PromptText = Combo_Genji->currentText();
    FocusText.clear();
    m_changed = false;
}

// ---- The working name ----

void Form_GirlData::Combo_Genji_GotFocus() { FocusText = Combo_Genji->currentText(); }

bool Form_GirlData::Combo_Genji_LostFocus()
{
    const QString text = Combo_Genji->currentText();
    if (text == PromptText || text == FocusText)
        return true;
    const QScopedValueRollback<bool> guard(m_checking, true);

    const GirlFieldResult check = CheckGenjiName(text);
    if (!check.ok) {
        Notice(this, check.message);
        Combo_Genji->setFocus();
        return false;
    }

    IsNewCompanion = true;
    for (int q = 0; q < Combo_Genji->count() && q < m_module.CompanionCount; ++q) {
        if (Combo_Genji->itemText(q) == text) {
            Combo_Genji_Click(q);
            IsNewCompanion = false;
            return true;
        }
    }

    // A new companion: the operator starts from empty boxes under the typed name.
    ClearOptionBits();
    ClearCompanionFields();
    // Settled: leaving the list again without a change does not clear what was entered since.
    FocusText = text;
    return true;
}

void Form_GirlData::Combo_Genji_Click(int position)
{
    if (position < 0 || position >= m_module.CompanionCount || position >= Combo_Genji->count())
        return;
    if (Combo_Genji->currentIndex() != position || Combo_Genji->currentText() != Combo_Genji->itemText(position)) {
        const QSignalBlocker block(Combo_Genji);
        Combo_Genji->setCurrentIndex(position);
        Combo_Genji->setEditText(Combo_Genji->itemText(position));
    }
    try {
        const std::optional<Row> row = CompanionById(m_module.AppDatabase, m_module.CompanionIDs[position]);
        if (!row)
            return;

        ClearOptionBits();
        for (int i = 0; i < MaxShops; ++i) {
            if (i < m_module.ShopCount) {
                Text_SName[i]->setText(NullToEmpty(row->value(QStringLiteral("名前%1").arg(i + 1))));
                OptionBits[i] = qint16(row->value(QStringLiteral("オプション%1").arg(i + 1)).toInt());
            } else {
                Text_SName[i]->clear();
            }
        }

        const std::pair<QLineEdit *, const char *> fields[] = {
            {Text_Old, "年齢"},          {Text_Tall, "身長"},       {Text_Bust, "バスト"},
            {Text_Cup, "カップ"},        {Text_Waist, "ウエスト"},  {Text_Hip, "ヒップ"},
            {Text_C1_Rate, "C1割増"},    {Text_C2_Rate, "C2割増"},  {Text_C3_Rate, "C3割増"},
            {Text_C4_Rate, "C4割増"},    {Text_Opt_Rate, "OP割増"}, {Text_Ext_Rate, "延長割増"},
            {Text_Shimei_Rate, "指名割増"}, {Text_Can_Rate, "キャンセル割増"},
        };
        for (const auto &[box, column] : fields)
            box->setText(NullToEmpty(row->value(QString::fromUtf8(column))));

        selectShopForOptions(0);
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    FocusText = Combo_Genji->currentText();
    IsNewCompanion = false;
}

// ---- Options ----

void Form_GirlData::selectShopForOptions(int position)
{
    if (position < 0 || position >= m_module.ShopCount || position >= Combo_Shop_Name->count())
        return;
    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(position);
    }
    Combo_Shop_Name_Click(position);
}

void Form_GirlData::Combo_Shop_Name_Click(int position)
{
    if (position < 0 || position >= m_module.ShopCount)
        return;
    QStringList names;
    try {
        QStringList columns;
        for (int k = 1; k <= int(Check_Option.size()); ++k)
            columns << QStringLiteral("OP%1名").arg(k);
        const std::optional<Row> row = ShopColumns(m_module.AppDatabase, m_module.ShopIDs[position], columns);
        for (int k = 0; k < int(Check_Option.size()); ++k)
            names << (row ? NullToEmpty(row->value(k)) : QString());
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    for (int k = 0; k < int(Check_Option.size()); ++k) {
        QCheckBox *box = Check_Option[k];
        const QString &name = names.at(k);
        box->setText(plainCaption(name));
        box->setVisible(!name.isEmpty());
        // setChecked does not emit clicked: the set being edited stays as it is.
        box->setChecked((OptionBits[position] & m_module.BitOn[k]) != 0);
    }
}

void Form_GirlData::Check_Option_Click(int index)
{
    const int p = Combo_Shop_Name->currentIndex();
    if (p < 0 || p >= MaxShops || index < 0 || index >= int(Check_Option.size()))
        return;
    if (Check_Option[index]->isChecked())
        OptionBits[p] = qint16(OptionBits[p] | m_module.BitOn[index]);
    else
        OptionBits[p] = qint16(OptionBits[p] & m_module.BitOff[index]);
}

// ---- Field checks ----

bool Form_GirlData::CheckField(QLineEdit *box)
{
    if (!box || m_checking)
        return true;
    const QScopedValueRollback<bool> guard(m_checking, true);

    GirlFieldResult result{true, box->text(), {}};
    const auto isShopName = std::find(Text_SName.begin(), Text_SName.end(), box) != Text_SName.end();
    const std::pair<QLineEdit *, GirlNumberField> numbers[] = {
        {Text_Old, GirlNumberField::Age},          {Text_Tall, GirlNumberField::Height},
        {Text_Bust, GirlNumberField::Measure},     {Text_Waist, GirlNumberField::Measure},
        {Text_Hip, GirlNumberField::Measure},      {Text_C1_Rate, GirlNumberField::Surcharge},
        {Text_C2_Rate, GirlNumberField::Surcharge}, {Text_C3_Rate, GirlNumberField::Surcharge},
        {Text_C4_Rate, GirlNumberField::Surcharge}, {Text_Opt_Rate, GirlNumberField::Surcharge},
        {Text_Ext_Rate, GirlNumberField::Surcharge}, {Text_Shimei_Rate, GirlNumberField::Surcharge},
        {Text_Can_Rate, GirlNumberField::Surcharge},
    };
    if (isShopName) {
        result = CheckCompanionName(box->text());
    } else if (box == Text_Cup) {
        result = CheckCup(box->text());
    } else {
        for (const auto &[numberBox, field] : numbers)
            if (numberBox == box)
                result = CheckGirlNumber(field, box->text());
    }

    if (result.text != box->text())
        box->setText(result.text);
    if (!result.ok) {
        Notice(this, result.message);
        box->setFocus();
        return false;
    }
    return true;
}

bool Form_GirlData::CheckAllFields()
{
    QVector<QLineEdit *> order;
    for (int i = 0; i < m_module.ShopCount && i < MaxShops; ++i)
        order << Text_SName[i];
    order << Text_Old << Text_Tall << Text_Bust << Text_Cup << Text_Waist << Text_Hip << Text_C1_Rate << Text_C2_Rate
          << Text_C3_Rate << Text_C4_Rate << Text_Opt_Rate << Text_Ext_Rate << Text_Shimei_Rate << Text_Can_Rate;
    for (QLineEdit *box : std::as_const(order))
        if (!CheckField(box))
            return false;
    return true;
}

bool Form_GirlData::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn && watched == Combo_Genji)
        SelectPromptOnFocus(Combo_Genji, GenjiPrompt);
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // The focus going to another window or a drop-down list is not the operator leaving the box.
        const bool passing = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (!passing && !m_checking && !m_leaving) {
            if (watched == Combo_Genji) {
                if (type == QEvent::FocusIn) {
                    Combo_Genji_GotFocus();
                } else {
                    const bool toRegist = QApplication::focusWidget() == Cmd_Regist;
                    m_refusedOnWayToRegist = !Combo_Genji_LostFocus() && toRegist;
                    forgetRefusalAfterThisClick();
                }
            } else if (type == QEvent::FocusOut) {
                if (auto *box = qobject_cast<QLineEdit *>(watched)) {
                    // The focus is already on its new widget while the old one hears that it lost it.
                    const bool toRegist = QApplication::focusWidget() == Cmd_Regist;
                    m_refusedOnWayToRegist = !CheckField(box) && toRegist;
                    forgetRefusalAfterThisClick();
                }
            }
        }
    }
    return ChildWindow::eventFilter(watched, event);
}

// ---- Registration and deletion ----

QVariantList Form_GirlData::measurementValues() const
{
    // Age and measurements are numbers in the store; a box that holds no number fails the registration.
    return {SqlNumber(Text_Old->text()),  SqlNumber(Text_Tall->text()),  SqlNumber(Text_Bust->text()),
            SqlQuote(Text_Cup->text()),   SqlNumber(Text_Waist->text()), SqlNumber(Text_Hip->text())};
}

QVariantList Form_GirlData::surchargeValues() const
{
    return {SqlNumber(Text_C1_Rate->text()),  SqlNumber(Text_C2_Rate->text()),     SqlNumber(Text_C3_Rate->text()),
            SqlNumber(Text_C4_Rate->text()),  SqlNumber(Text_Opt_Rate->text()),    SqlNumber(Text_Ext_Rate->text()),
            SqlNumber(Text_Shimei_Rate->text()), SqlNumber(Text_Can_Rate->text())};
}

namespace {

// Age, measurements and surcharges: every column after the shop slots, in the table's order.
const QStringList &bodyColumns()
{
    static const QStringList columns = ColumnNames(CompanionTable()).mid(3 + 3 * ShopSlots);
    return columns;
}

} // namespace

void Form_GirlData::forgetRefusalAfterThisClick()
{
    // Only the click that took the focus away has been told. When its release never reaches 登録 (the
    // message box took it), the next click must be told again.
    if (m_refusedOnWayToRegist)
        QTimer::singleShot(0, this, [this] { m_refusedOnWayToRegist = false; });
}

void Form_GirlData::Cmd_Regist_Click()
{
    // The click that took the focus from a refused box has told the operator already.
    if (std::exchange(m_refusedOnWayToRegist, false))
        return;
    if (Combo_Genji->currentText() == PromptText)
        return;
    // A name typed but never looked up (the focus did not leave the list) is looked up now, so the
    // registration cannot land on the companion that was shown before it.
    if (Combo_Genji->currentText() != FocusText && !Combo_Genji_LostFocus())
        return;

    const QString genji = Combo_Genji->currentText();
    if (genji.isEmpty()) {
        Notice(this, QStringLiteral("源氏名が入力されていません。"));
        ResetCompanionState();
        return;
    }
    // A value refused on leaving its box is refused here too, whatever the operator did since.
    if (!CheckAllFields())
        return;
    const bool anyShopName = std::any_of(Text_SName.begin(), Text_SName.end(),
                                         [](const QLineEdit *box) { return !box->text().isEmpty(); });
    if (!anyShopName) {
        Notice(this, QStringLiteral("コンパニオン名が入力されていません。"));
        return;
    }

    const int q = IsNewCompanion ? -1 : selectedCompanion();
    if (!IsNewCompanion && q < 0)
        return;
    try {
        if (IsNewCompanion) {
            registerNew(genji);
        } else {
            // Her name stays at the shop she is out for: the booking must end where it started.
            const int out = m_module.OutForShop(m_module.CompanionIDs[q]);
            if (out >= 0 && Text_SName[out]->text().isEmpty()) {
                Notice(this, genji + QStringLiteral("は") + m_module.ShopNames.value(out)
                                 + QStringLiteral("で接客中です。コンパニオン名は接客が終わってから削除してください。"));
                Text_SName[out]->setFocus();
                return;
            }
            registerChange(genji, q);
        }
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        // What the file holds: her stored record, or the typed entry of a new one, ready to retry.
        if (q >= 0)
            Combo_Genji_Click(q);
    }
}

void Form_GirlData::registerNew(const QString &genji)
{
    if (!AskOkCancel(this, genji + QStringLiteral("のデータを登録します。")))
        return;

    // 源氏名, the twenty shop slots, then the body columns: the table's order after its ID and flag.
    const QStringList columns = ColumnNames(CompanionTable()).mid(2);
    QVariantList values{genji};
    for (int slot = 1; slot <= ShopSlots; ++slot) {
        const int p = slot - 1;
        if (p < m_module.ShopCount && p < MaxShops)
            values << m_module.ShopIDs[p] << SqlQuote(Text_SName[p]->text()) << int(OptionBits[p]);
        else
            values << SqlNumber(QString()) << SqlQuote(QString()) << 0;
    }
    values << measurementValues() << surchargeValues();
    Database &db = m_module.AppDatabase;
    // In the register and on the board together, or neither.
    db.atomic([&] {
        const qint32 id = InsertCompanion(db, columns, values);
        m_module.SyncStatusRows(id);
    });
    m_changed = true;

    ResetCompanionState();
    m_module.LoadCompanionList();
    // The reload lists her last; choosing her shows what was stored.
    const int last = m_module.CompanionCount - 1;
    if (last >= 0)
        Combo_Genji_Click(last);
}

void Form_GirlData::registerChange(const QString &genji, int position)
{
    if (!AskOkCancel(this, genji + QStringLiteral("のデータを修正します。")))
        return;

    QStringList assignments;
    QVariantList values;
    // Slots 1 to 5 always name the shops at positions 0 to 4, as an insert leaves them.
    for (int slot = 1; slot <= MaxShops; ++slot) {
        const int p = slot - 1;
        const bool listed = p < m_module.ShopCount;
        assignments << QStringLiteral("店舗%1ID").arg(slot) << QStringLiteral("名前%1").arg(slot)
                    << QStringLiteral("オプション%1").arg(slot);
        values << (listed ? QVariant(m_module.ShopIDs[p]) : SqlNumber(QString()))
               << SqlQuote(listed ? Text_SName[p]->text() : QString()) << (listed ? int(OptionBits[p]) : 0);
    }
    // The slots past the listed shops are emptied.
    for (int slot = MaxShops + 1; slot <= ShopSlots; ++slot) {
        assignments << QStringLiteral("名前%1").arg(slot) << QStringLiteral("オプション%1").arg(slot);
        values << SqlQuote(QString()) << 0;
    }
    assignments << bodyColumns();
    values << measurementValues() << surchargeValues();

    const qint32 id = m_module.CompanionIDs[position];
    Database &db = m_module.AppDatabase;
    db.atomic([&] {
        UpdateCompanion(db, id, assignments, values);
        m_module.SyncStatusRows(id);
    });
    m_changed = true;
}

void Form_GirlData::Cmd_Del_Click()
{
    const int q = selectedCompanion();
    if (q < 0)
        return;
    const QString genji = Combo_Genji->itemText(q);
    const qint32 id = m_module.CompanionIDs[q];
    Database &db = m_module.AppDatabase;
    // Her running booking would be left warning with no one to end it.
    const auto outMessage = [&](int out) {
        return genji + QStringLiteral("は") + m_module.ShopNames.value(out)
            + QStringLiteral("で接客中です。削除は接客が終わってから行ってください。");
    };
    try {
        const int out = m_module.OutForShop(id);
        if (out >= 0) {
            Notice(this, outMessage(out));
            return;
        }
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    if (!AskOkCancel(this, genji + QStringLiteral("のコンパニオンデータを削除します。")))
        return;
    try {
        db.atomic([&] {
            // Another PC may have sent her out while the question was open: asked again under her lock.
            if (SharedDatabase(db)) {
                LockCompanion(db, id);
                const int out = m_module.OutForShop(id);
                if (out >= 0)
                    throw AppError(AppError::ChangedElsewhere, outMessage(out));
            }
            MarkCompanionDeleted(db, id);
            m_module.DeleteStatusRows(1, id);
        });
    } catch (const AppError &error) {
        if (error.number() == AppError::ChangedElsewhere)
            Notice(this, error.description());
        else
            ShowCommonError(this, error);
        Combo_Genji_Click(q);   // she is still registered: show what the file holds
        return;
    }
    m_changed = true;
    try {
        m_module.LoadCompanionList();
        ResetCompanionState();
        ResetCompanionForm();
        // Her name is no longer loaded: typing it again must be looked up afresh.
        FocusText.clear();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

void Form_GirlData::leave()
{
    {
        const QScopedValueRollback<bool> guard(m_leaving, true);
        hide();
    }
    // The board shows her as the register now has her, straight from the file.
    if (std::exchange(m_changed, false))
        if (auto *board = qobject_cast<Main_Form *>(parentWidget())) {
            try {
                board->ReloadShownShop();
            } catch (const AppError &error) {
                ShowCommonError(board, error);
            }
        }
}

void Form_GirlData::Cmd_OK_Click() { leave(); }

void Form_GirlData::Cmd_Cancel_Click() { leave(); }

void Form_GirlData::Cmd_Print_Click()
{
    const int p = Combo_Shop_Name->currentIndex();
    if (p < 0 || p >= m_module.ShopCount) {
        Notice(this, QStringLiteral("オプション表を印刷する店舗を選択してください。"));
        return;
    }
    OptionSheet sheet;
    try {
        sheet = LoadOptionSheet(m_module.AppDatabase, m_module.ShopIDs[p], p + 1, Clock::now().date());
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("オプション表 ") + sheet.shopName);
    SetA4(printer, true);
    if (!Printing().choose(this, printer, QStringLiteral("オプション表の印刷")))
        return;
    if (!PrintOptionSheet(sheet, printer))
        Notice(this, QStringLiteral("印刷できませんでした。"));
}

} // namespace rp
