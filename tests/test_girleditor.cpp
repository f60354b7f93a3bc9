#include "masters/Form_GirlData.h"
#include "sales/Form_Sales.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

namespace {

// The editor opened from the board, as the operator opens it.
Form_GirlData *openEditor(TestApp &t)
{
    t.board().Cmd_GirlData->click();
    Form_GirlData *g = t.app().girlForm();
    return g->isVisible() ? g : nullptr;
}

// Typing a working name and leaving the list.
void typeName(Form_GirlData *g, const QString &name)
{
    g->Combo_Genji_GotFocus();
    g->Combo_Genji->setEditText(name);
    g->Combo_Genji_LostFocus();
}

// Choosing from a list as the operator does: the position changes, then the list reports the choice.
void choose(QComboBox *combo, int position)
{
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

std::optional<Row> companionRow(TestApp &t, const QString &genji)
{
    return t.db().first(QStringLiteral("SELECT * FROM \"コンパニオン\" WHERE \"源氏名\"=?;"), {genji});
}

Rows statusRows(TestApp &t, qint32 companionId)
{
    return t.db().rows(QStringLiteral("SELECT * FROM \"現在状況\" WHERE \"コンパニオンID\"=? ORDER BY \"店舗ID\";"), {companionId});
}

int companionCount(TestApp &t) { return t.db().scalar(QStringLiteral("SELECT count(*) FROM \"コンパニオン\";")).toInt(); }

// Names the shop's options 1..n; an empty entry leaves that option without a name.
void nameOptions(TestApp &t, qint32 shopId, const QStringList &names)
{
    for (int k = 0; k < names.size(); ++k)
        t.db().exec(QStringLiteral("UPDATE \"店舗\" SET \"OP%1名\"=? WHERE \"店舗ID\"=?;").arg(k + 1),
                    {names[k].isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(names[k]), shopId});
}

const QString Registering = QStringLiteral("のデータを登録します。");
const QString Changing = QStringLiteral("のデータを修正します。");

} // namespace

class TestGirlEditor : public QObject
{
    Q_OBJECT

private slots:
    // Controls and their reset.
    void controlsAndCaptions();
    void showingStartsBlank();
    void fitsTheScreen();

    // Field checks as the window applies them.
    void fieldChecks_data();
    void fieldChecks();
    void leavingABoxChecksIt();

    // Finding and loading companions.
    void typedNameLoadsOrStartsNew_data();
    void typedNameLoadsOrStartsNew();
    void loadingShowsHerOptionsForTheFirstShop();

    // Registration.
    void newCompanionFillsSlotsAndStatus();
    void optionTicksFollowTheChosenShop();
    void registrationNeedsANameAtSomeShop();
    void registeringLooksUpATypedNameFirst();
    void clearingAShopNameRemovesItsStatusRow();
    void renamingKeepsDutyAndBusyState();
    void changeAfterASecondShopNamesItsSlot();
    void quotesRoundTrip();
    void storeFailureShowsCommonError();
    void cancelWritesNothing();

    // Deletion.
    void deletionMarksAndEmpties();
};

void TestGirlEditor::controlsAndCaptions()
{
    TestApp t;
    QVERIFY(t.start());
    Form_GirlData *g = t.app().girlForm();
    QCOMPARE(g->windowTitle(), QStringLiteral("コンパニオン　データ入力"));
    QVERIFY(!g->closeCommandEnabled());

    const QStringList boxes{"Text_SName_0", "Text_SName_4", "Text_Old", "Text_Tall", "Text_Bust", "Text_Cup",
                            "Text_Waist", "Text_Hip", "Text_C1_Rate", "Text_C2_Rate", "Text_C3_Rate", "Text_C4_Rate",
                            "Text_Opt_Rate", "Text_Ext_Rate", "Text_Shimei_Rate", "Text_Can_Rate"};
    for (const QString &name : boxes) {
        auto *box = g->findChild<QLineEdit *>(name);
        QVERIFY2(box, qPrintable(name));
        QCOMPARE(box->property("tag").toString(), QStringLiteral("clr"));
    }
    for (int k = 0; k < 15; ++k) {
        auto *box = g->findChild<QCheckBox *>(QStringLiteral("Check_Option_%1").arg(k));
        QVERIFY(box);
        QCOMPARE(box, g->Check_Option[k]);
        QCOMPARE(box->property("tag").toString(), QStringLiteral("ck"));
    }
    QCOMPARE(g->findChild<QLabel *>(QStringLiteral("Label_Shop_3")), g->Label_Shop[3]);

    const QList<std::pair<QPushButton *, QString>> buttons{
        {g->Cmd_Regist, QStringLiteral("登　録")}, {g->Cmd_Del, QStringLiteral("削　除")},
        {g->Cmd_OK, QStringLiteral("Ｏ　Ｋ")},     {g->Cmd_Cancel, QStringLiteral("ｷｬﾝｾﾙ")},
        {g->Cmd_Print, QStringLiteral("オプション表印刷")}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->autoDefault());
    }

    QVERIFY(g->Combo_Genji->isEditable());
    QVERIFY(!g->Combo_Shop_Name->isEditable());
    QCOMPARE(g->Combo_Shop_Name->placeholderText(), QStringLiteral("店舗を選択してください"));

    // The captions the operator reads around the boxes.
    QStringList texts;
    for (QLabel *label : g->findChildren<QLabel *>())
        texts << label->text();
    for (const char *caption : {"源氏名", "年齢", "身長", "ﾊﾞｽﾄ", "ｳｴｽﾄ", "ﾋｯﾌﾟ", "才", "cm", "cup", "コース１", "コース４",
                                "オプション", "延　長", "指　名　料", "キャンセル", "％",
                                "ｺﾝﾊﾟﾆｵﾝに多く支払う場合に、その増分を指定します。"})
        QVERIFY2(texts.contains(QString::fromUtf8(caption)), caption);
    QCOMPARE(g->Frame2->title(), QStringLiteral("オプション"));
    QCOMPARE(g->Frame3->title(), QStringLiteral("料金割増"));
}

void TestGirlEditor::showingStartsBlank()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop = t.addShop(QStringLiteral("本店"));
    nameOptions(t, shop, {QStringLiteral("ＯＰ１")});
    t.module().LoadShopList();
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ")}, {1});
    t.module().LoadCompanionList();

    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    choose(g->Combo_Genji, 0);
    QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("ユリ"));
    QVERIFY(g->Check_Option[0]->isChecked());
    g->Text_Old->setText(QStringLiteral("30"));

    g->Cmd_OK->click();
    QVERIFY(!g->isVisible());
    QVERIFY(openEditor(t));

    QCOMPARE(g->Combo_Genji->currentText(), QStringLiteral("源氏名は？"));
    QCOMPARE(g->PromptText, QStringLiteral("源氏名は？"));
    QCOMPARE(g->FocusText, QString());
    QCOMPARE(g->Combo_Genji->currentIndex(), -1);
    QCOMPARE(g->Combo_Shop_Name->currentIndex(), -1);
    QVERIFY(g->Text_SName[0]->text().isEmpty());
    QVERIFY(g->Text_Old->text().isEmpty());
    for (QCheckBox *box : g->Check_Option) {
        QVERIFY(!box->isHidden());
        QVERIFY(!box->isChecked());
        QVERIFY(box->text().isEmpty());
    }
    QVERIFY(!g->IsNewCompanion);
    for (qint16 bits : g->OptionBits)
        QCOMPARE(bits, qint16(0));

    // Registering with the prompt still in the list does nothing at all.
    g->Text_SName[0]->setText(QStringLiteral("ユリ"));
    g->Cmd_Regist->click();
    QVERIFY(t.prompt().messages().isEmpty());

    g->Cmd_Cancel->click();
    QVERIFY(!g->isVisible());
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::fitsTheScreen()
{
    TestApp t;
    QVERIFY(t.start());
    for (int i = 0; i < 5; ++i)
        nameOptions(t, t.addShop(QStringLiteral("店舗名はとても長い名前です%1").arg(i)),
                    QStringList(15, QStringLiteral("ＯＰの名前は八字")));
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    choose(g->Combo_Shop_Name, 0);
    QApplication::processEvents();
    const QSize size = g->sizeHint().expandedTo(g->size());
    QVERIFY2(size.width() <= 1340 && size.height() <= 700,
             qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
    // Every caption is shown whole.
    for (QWidget *w : g->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(g))
            continue;
        if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w))
            QVERIFY2(w->width() >= w->sizeHint().width() || (qobject_cast<QLabel *>(w) && qobject_cast<QLabel *>(w)->wordWrap()),
                     qPrintable(w->objectName() + QLatin1Char(' ') + w->property("text").toString()));
    }
}

void TestGirlEditor::fieldChecks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");   // empty: accepted

    const QString age = QStringLiteral("１０～９０の数値を入力してください。");
    const QString height = QStringLiteral("１００～３００の数値を入力してください。");
    const QString measure = QStringLiteral("５０～２００の数値を入力してください。");
    const QString rate = QStringLiteral("０～１００の数値を入力してください。");
    const QString cup = QStringLiteral("A～Zのアルファベットを入力してください。");

    QTest::newRow("age 9") << "Text_Old" << "9" << "9" << age;
    QTest::newRow("age 91") << "Text_Old" << "91" << "91" << age;
    QTest::newRow("age 10") << "Text_Old" << "10" << "10" << QString();
    QTest::newRow("age full-width 90") << "Text_Old" << "９０" << "90" << QString();
    QTest::newRow("height 99") << "Text_Tall" << "99" << "99" << height;
    QTest::newRow("bust 201") << "Text_Bust" << "201" << "201" << measure;
    QTest::newRow("waist 49") << "Text_Waist" << "49" << "49" << measure;
    QTest::newRow("hip 200") << "Text_Hip" << "200" << "200" << QString();
    QTest::newRow("hip letters") << "Text_Hip" << "x" << "x" << QStringLiteral("数値を入力してください。");
    const char *rates[] = {"Text_C1_Rate", "Text_C2_Rate", "Text_C3_Rate", "Text_C4_Rate",
                           "Text_Opt_Rate", "Text_Ext_Rate", "Text_Shimei_Rate", "Text_Can_Rate"};
    for (const char *r : rates) {
        QTest::addRow("%s 101", r) << r << "101" << "101" << rate;
        QTest::addRow("%s full-width 0", r) << r << "０" << "0" << QString();
    }
    QTest::newRow("cup full-width lower") << "Text_Cup" << "ｃ" << "C" << QString();
    QTest::newRow("cup bracket") << "Text_Cup" << "[" << "[" << cup;
    QTest::newRow("cup digit") << "Text_Cup" << "1" << "1" << cup;
    QTest::newRow("cup two letters") << "Text_Cup" << "ab" << "AB" << cup;
    QTest::newRow("shop name 7 full-width") << "Text_SName_2" << "あいうえおかき" << "あいうえおかき"
                                            << QStringLiteral("コンパニオン名は全角６文字以内で入力してください。");
    QTest::newRow("shop name full-width digits kept") << "Text_SName_0" << "１２" << "１２" << QString();
    QTest::newRow("empty age") << "Text_Old" << "" << "" << QString();
}

void TestGirlEditor::fieldChecks()
{
    QFETCH(QString, box);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QFETCH(QString, message);

    TestApp t;
    QVERIFY(t.start());
    Form_GirlData *g = t.app().girlForm();
    auto *edit = g->findChild<QLineEdit *>(box);
    QVERIFY(edit);
    t.prompt().clear();

    edit->setText(input);
    QCOMPARE(g->CheckField(edit), message.isEmpty());
    QCOMPARE(edit->text(), shown);
    if (message.isEmpty())
        QVERIFY(t.prompt().messages().isEmpty());
    else
        QCOMPARE(t.prompt().messages(), QStringList{message});
}

void TestGirlEditor::leavingABoxChecksIt()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ")});
    t.module().LoadCompanionList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    QApplication::setActiveWindow(g);
    QVERIFY(QTest::qWaitForWindowActive(g));
    t.prompt().clear();

    // Tab from an age of 9 to the height: refused, and the focus goes back.
    g->Text_Old->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), g->Text_Old);
    g->Text_Old->setText(QStringLiteral("９"));
    g->Text_Tall->setFocus(Qt::TabFocusReason);
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("１０～９０の数値を入力してください。")});
    QCOMPARE(g->Text_Old->text(), QStringLiteral("9"));
    QCOMPARE(QApplication::focusWidget(), g->Text_Old);

    // A corrected age lets the focus go on.
    g->Text_Old->setText(QStringLiteral("19"));
    g->Text_Tall->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), g->Text_Tall);
    QCOMPARE(t.prompt().messages().size(), 1);

    // Typing a listed name into the list and leaving it loads her.
    g->Combo_Genji->setFocus(Qt::MouseFocusReason);
    QVERIFY(g->Combo_Genji->hasFocus());
    g->Combo_Genji->setEditText(QStringLiteral("ゆり"));
    g->Text_Old->setFocus(Qt::TabFocusReason);
    QCOMPARE(g->Combo_Genji->currentIndex(), 0);
    QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("ユリ"));
    QVERIFY(!g->IsNewCompanion);

    // A focus lost to a drop-down list is not a leave: nothing is checked.
    g->Text_Tall->setText(QStringLiteral("5"));
    g->Text_Tall->setFocus(Qt::TabFocusReason);
    g->Text_Old->setFocus(Qt::PopupFocusReason);
    QCOMPARE(t.prompt().messages().size(), 1);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::typedNameLoadsOrStartsNew_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("message");

    QTest::newRow("listed name") << QStringLiteral("Aki") << false << QString();
    QTest::newRow("same letters, other case") << QStringLiteral("aki") << true << QString();
    QTest::newRow("leading blank") << QStringLiteral(" Aki") << true << QString();
    QTest::newRow("new name") << QStringLiteral("みさ") << true << QString();
    QTest::newRow("seven full-width") << QStringLiteral("あいうえおかき") << false
                                      << QStringLiteral("源氏名は全角６文字以内で入力してください。");
}

void TestGirlEditor::typedNameLoadsOrStartsNew()
{
    QFETCH(QString, typed);
    QFETCH(bool, isNew);
    QFETCH(QString, message);

    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ")});
    t.addCompanion(QStringLiteral("Aki"), {QStringLiteral("アキ")}, {2});
    t.module().LoadCompanionList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    t.prompt().clear();

    // Start from another companion, so that a new name visibly clears her.
    choose(g->Combo_Genji, 0);
    g->Text_Old->setText(QStringLiteral("22"));
    typeName(g, typed);

    QCOMPARE(g->IsNewCompanion, isNew);
    QCOMPARE(g->Combo_Genji->currentText(), typed);
    if (!message.isEmpty()) {
        QCOMPARE(t.prompt().messages(), QStringList{message});
        QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("ユリ"));   // refused: nothing changed
        return;
    }
    QVERIFY(t.prompt().messages().isEmpty());
    if (isNew) {
        QVERIFY(g->Text_SName[0]->text().isEmpty());
        QVERIFY(g->Text_Old->text().isEmpty());
        QCOMPARE(g->Combo_Shop_Name->currentIndex(), -1);
        QCOMPARE(g->OptionBits[0], qint16(0));
        QCOMPARE(g->selectedCompanion(), -1);
    } else {
        QCOMPARE(g->selectedCompanion(), 1);
        QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("アキ"));
        QCOMPARE(g->OptionBits[0], qint16(2));
        QCOMPARE(g->FocusText, typed);
    }
}

void TestGirlEditor::loadingShowsHerOptionsForTheFirstShop()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop0 = t.addShop(QStringLiteral("本店"));
    const qint32 shop1 = t.addShop(QStringLiteral("二号店"));
    nameOptions(t, shop0, {QStringLiteral("浴衣"), QString(), QStringLiteral("延長無料"), QStringLiteral("写真")});
    nameOptions(t, shop1, {QStringLiteral("別"), QStringLiteral("二")});
    t.module().LoadShopList();
    // Options 1 and 3 at the first shop, plus option 2 that the shop has no name for.
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ"), QStringLiteral("ゆりこ")}, {1 | 2 | 4, 2});
    t.addCompanion(QStringLiteral("はな"), {QStringLiteral("ハナ")}, {8});
    t.db().exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"年齢\"=24,\"身長\"=158,\"バスト\"=84,\"カップ\"='D',\"ウエスト\"=58,\"ヒップ\"=85,"
                               "\"C1割増\"=5,\"C4割増\"=20,\"OP割増\"=1,\"延長割増\"=2,\"指名割増\"=3,\"キャンセル割増\"=4 "
                               "WHERE \"源氏名\"='ゆり';"));
    t.module().LoadCompanionList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);

    choose(g->Combo_Genji, 0);
    QCOMPARE(g->Combo_Shop_Name->currentIndex(), 0);
    QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("ユリ"));
    QCOMPARE(g->Text_SName[1]->text(), QStringLiteral("ゆりこ"));
    const QList<std::pair<QLineEdit *, QString>> fields{
        {g->Text_Old, "24"},    {g->Text_Tall, "158"},     {g->Text_Bust, "84"},    {g->Text_Cup, "D"},
        {g->Text_Waist, "58"},  {g->Text_Hip, "85"},       {g->Text_C1_Rate, "5"},  {g->Text_C2_Rate, ""},
        {g->Text_C3_Rate, ""},  {g->Text_C4_Rate, "20"},   {g->Text_Opt_Rate, "1"}, {g->Text_Ext_Rate, "2"},
        {g->Text_Shimei_Rate, "3"}, {g->Text_Can_Rate, "4"}};
    for (const auto &[box, text] : fields)
        QCOMPARE(box->text(), text);

    const bool visible[15] = {true, false, true, true};
    const bool ticked[15] = {true, true, true, false};
    for (int k = 0; k < 15; ++k) {
        QCOMPARE(g->Check_Option[k]->isHidden(), !visible[k]);
        QCOMPARE(g->Check_Option[k]->isChecked(), ticked[k]);
    }
    QCOMPARE(g->Check_Option[0]->text(), QStringLiteral("浴衣"));
    QCOMPARE(g->Check_Option[1]->text(), QString());
    QCOMPARE(g->Check_Option[3]->text(), QStringLiteral("写真"));

    // The option frame already stands at the first shop: loading another companion still shows hers.
    choose(g->Combo_Genji, 1);
    QCOMPARE(g->Combo_Shop_Name->currentIndex(), 0);
    for (int k = 0; k < 15; ++k)
        QCOMPARE(g->Check_Option[k]->isChecked(), k == 3);
    QVERIFY(g->Text_SName[1]->text().isEmpty());
    QVERIFY(g->Text_Old->text().isEmpty());

    // The second shop's options, by choosing it in the frame.
    choose(g->Combo_Genji, 0);
    choose(g->Combo_Shop_Name, 1);
    QCOMPARE(g->Check_Option[0]->text(), QStringLiteral("別"));
    QVERIFY(!g->Check_Option[0]->isChecked());
    QVERIFY(g->Check_Option[1]->isChecked());
    QVERIFY(g->Check_Option[2]->isHidden());
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::newCompanionFillsSlotsAndStatus()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop0 = t.addShop(QStringLiteral("本店"));
    const qint32 shop1 = t.addShop(QStringLiteral("二号店"));
    nameOptions(t, shop0, {QStringLiteral("浴衣"), QStringLiteral("写真")});
    nameOptions(t, shop1, {QStringLiteral("別"), QStringLiteral("二")});
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);

    for (int i = 0; i < MaxShops; ++i) {
        QCOMPARE(g->Label_Shop[i]->isHidden(), i >= 2);
        QCOMPARE(g->Text_SName[i]->isHidden(), i >= 2);
    }
    QCOMPARE(g->Label_Shop[1]->text(), QStringLiteral("二号店"));

    typeName(g, QStringLiteral("さくら"));
    QVERIFY(g->IsNewCompanion);
    g->Text_SName[0]->setText(QStringLiteral("サクラ"));
    choose(g->Combo_Shop_Name, 0);
    g->Check_Option[1]->click();                  // option 2 at the first shop
    choose(g->Combo_Shop_Name, 1);
    g->Check_Option[0]->click();                  // option 1 at the second, where she has no name
    g->Text_Old->setText(QStringLiteral("20.5"));
    g->Text_Cup->setText(QStringLiteral("E"));
    g->Text_Hip->setText(QStringLiteral("88"));
    g->Text_C2_Rate->setText(QStringLiteral("10"));

    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("さくら") + Registering});

    const std::optional<Row> row = companionRow(t, QStringLiteral("さくら"));
    QVERIFY(row);
    QCOMPARE(row->value(QStringLiteral("店舗1ID")).toInt(), shop0);
    QCOMPARE(row->value(QStringLiteral("名前1")).toString(), QStringLiteral("サクラ"));
    QCOMPARE(row->value(QStringLiteral("オプション1")).toInt(), 2);
    QCOMPARE(row->value(QStringLiteral("店舗2ID")).toInt(), shop1);
    QVERIFY(row->value(QStringLiteral("名前2")).isNull());
    QCOMPARE(row->value(QStringLiteral("オプション2")).toInt(), 1);
    for (int s = 3; s <= ShopSlots; ++s) {
        QVERIFY(row->value(QStringLiteral("店舗%1ID").arg(s)).isNull());
        QVERIFY(row->value(QStringLiteral("名前%1").arg(s)).isNull());
        QCOMPARE(row->value(QStringLiteral("オプション%1").arg(s)).toInt(), 0);
        QVERIFY(!row->value(QStringLiteral("オプション%1").arg(s)).isNull());
    }
    QCOMPARE(row->value(QStringLiteral("削除FLAG")).toInt(), 0);
    QCOMPARE(row->value(QStringLiteral("カップ")).toString(), QStringLiteral("E"));
    QCOMPARE(row->value(QStringLiteral("C2割増")).toInt(), 10);
    QVERIFY(row->value(QStringLiteral("C1割増")).isNull());
    QVERIFY(row->value(QStringLiteral("身長")).isNull());
    // Measurements are numbers in the store; a half rounds to the even neighbour.
    if (rp::test::OnPostgres())
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT \"年齢\"+0.5 FROM \"コンパニオン\";")).toString(), QStringLiteral("20.5"));
    else
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT typeof(\"年齢\") || typeof(\"ヒップ\") FROM \"コンパニオン\";")).toString(),
                 QStringLiteral("integerinteger"));
    QCOMPARE(row->value(QStringLiteral("年齢")).toInt(), 20);

    const qint32 id = row->value(QStringLiteral("コンパニオンID")).toInt();
    const Rows status = statusRows(t, id);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status[0].value(QStringLiteral("店舗ID")).toInt(), shop0);
    QCOMPARE(status[0].value(QStringLiteral("名前")).toString(), QStringLiteral("サクラ"));
    QCOMPARE(status[0].value(QStringLiteral("源氏名")).toString(), QStringLiteral("さくら"));
    QCOMPARE(status[0].value(QStringLiteral("オプション")).toInt(), 2);

    // She is listed everywhere and loaded back from the store.
    QCOMPARE(g->Combo_Genji->count(), 1);
    QCOMPARE(g->Combo_Genji->currentIndex(), 0);
    QCOMPARE(g->Combo_Genji->currentText(), QStringLiteral("さくら"));
    QCOMPARE(t.app().salesForm()->Combo_GirlName->count(), 1);
    QVERIFY(!g->IsNewCompanion);
    QCOMPARE(g->Text_Old->text(), QStringLiteral("20"));
    QCOMPARE(g->Combo_Shop_Name->currentIndex(), 0);
    QVERIFY(g->Check_Option[1]->isChecked());
    QCOMPARE(g->OptionBits[1], qint16(1));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::optionTicksFollowTheChosenShop()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop0 = t.addShop(QStringLiteral("本店"));
    const qint32 shop1 = t.addShop(QStringLiteral("二号店"));
    nameOptions(t, shop0, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    nameOptions(t, shop1, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);

    typeName(g, QStringLiteral("もも"));
    // With no shop chosen in the frame a tick changes no set.
    g->Check_Option[0]->click();
    QCOMPARE(g->OptionBits, (std::array<qint16, MaxShops>{}));

    g->Text_SName[1]->setText(QStringLiteral("モモ"));
    choose(g->Combo_Shop_Name, 1);
    QVERIFY(!g->Check_Option[0]->isChecked());
    g->Check_Option[0]->click();
    g->Check_Option[2]->click();
    QCOMPARE(g->OptionBits[1], qint16(5));
    // Moving between shops sets the ticks but leaves the sets alone.
    choose(g->Combo_Shop_Name, 0);
    QVERIFY(!g->Check_Option[0]->isChecked());
    choose(g->Combo_Shop_Name, 1);
    QVERIFY(g->Check_Option[0]->isChecked() && g->Check_Option[2]->isChecked());
    QCOMPARE(g->OptionBits[0], qint16(0));
    QCOMPARE(g->OptionBits[1], qint16(5));

    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(companionRow(t, QStringLiteral("もも"))->value(QStringLiteral("オプション2")).toInt(), 5);
    QCOMPARE(companionRow(t, QStringLiteral("もも"))->value(QStringLiteral("オプション1")).toInt(), 0);

    // Unticking option 1 of the second shop and registering the change.
    choose(g->Combo_Shop_Name, 1);
    g->Check_Option[0]->click();
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("もも") + Changing);
    QCOMPARE(companionRow(t, QStringLiteral("もも"))->value(QStringLiteral("オプション2")).toInt(), 4);
    const qint32 id = companionRow(t, QStringLiteral("もも"))->value(QStringLiteral("コンパニオンID")).toInt();
    QCOMPARE(statusRows(t, id).value(0).value(QStringLiteral("オプション")).toInt(), 4);
    QCOMPARE(companionCount(t), 1);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::registrationNeedsANameAtSomeShop()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.addShop(QStringLiteral("二号店"));
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    t.prompt().clear();

    typeName(g, QStringLiteral("れな"));
    g->Text_Old->setText(QStringLiteral("25"));
    g->Text_Cup->setText(QStringLiteral("B"));
    g->Text_C1_Rate->setText(QStringLiteral("10"));
    choose(g->Combo_Shop_Name, 0);
    g->Check_Option[0]->click();
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("コンパニオン名が入力されていません。")});
    QCOMPARE(companionCount(t), 0);
    QVERIFY(g->IsNewCompanion);   // she can still be completed and registered

    // An empty working name is refused first.
    t.prompt().clear();
    typeName(g, QString());
    g->Text_SName[0]->setText(QStringLiteral("レナ"));
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("源氏名が入力されていません。")});
    QVERIFY(!g->IsNewCompanion);
    QCOMPARE(companionCount(t), 0);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::registeringLooksUpATypedNameFirst()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ")});
    t.module().LoadCompanionList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    t.prompt().clear();

    // Another name typed over a loaded companion, and 登録 reached without leaving the list:
    // the name is a new companion, not a change of the one shown before.
    choose(g->Combo_Genji, 0);
    g->Combo_Genji->setEditText(QStringLiteral("みき"));
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("コンパニオン名が入力されていません。")});
    QVERIFY(g->IsNewCompanion);
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("名前1")).toString(), QStringLiteral("ユリ"));

    g->Text_SName[0]->setText(QStringLiteral("ミキ"));
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("みき") + Registering);
    QCOMPARE(companionCount(t), 2);
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("名前1")).toString(), QStringLiteral("ユリ"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::clearingAShopNameRemovesItsStatusRow()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop0 = t.addShop(QStringLiteral("本店"));
    t.addShop(QStringLiteral("二号店"));
    t.module().LoadShopList();
    const qint32 id = t.addCompanion(QStringLiteral("あや"), {QStringLiteral("アヤ"), QStringLiteral("あやか")}, {1, 2});
    t.module().LoadCompanionList();
    t.module().SyncStatusRows(id);
    QCOMPARE(statusRows(t, id).size(), 2);

    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    choose(g->Combo_Genji, 0);
    g->Text_SName[1]->clear();
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();

    const Rows status = statusRows(t, id);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status[0].value(QStringLiteral("店舗ID")).toInt(), shop0);
    const std::optional<Row> row = companionRow(t, QStringLiteral("あや"));
    QVERIFY(row->value(QStringLiteral("名前2")).isNull());
    QCOMPARE(row->value(QStringLiteral("オプション2")).toInt(), 2);   // her set there stays as edited
    // A change leaves the list as it was.
    QCOMPARE(g->Combo_Genji->currentIndex(), 0);
    QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("アヤ"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::renamingKeepsDutyAndBusyState()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    const qint32 id = t.addCompanion(QStringLiteral("まい"), {QStringLiteral("マイ")});
    t.module().LoadCompanionList();
    t.module().SyncStatusRows(id);
    t.db().exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"場所\"='駅前' WHERE \"コンパニオンID\"=?;"), {id});

    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    typeName(g, QStringLiteral("まい"));
    QCOMPARE(g->selectedCompanion(), 0);
    g->Text_SName[0]->setText(QStringLiteral("マイコ"));
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();

    const Rows status = statusRows(t, id);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status[0].value(QStringLiteral("名前")).toString(), QStringLiteral("マイコ"));
    QCOMPARE(status[0].value(QStringLiteral("出退勤")).toInt(), 1);
    QCOMPARE(status[0].value(QStringLiteral("空")).toInt(), 1);
    QCOMPARE(status[0].value(QStringLiteral("場所")).toString(), QStringLiteral("駅前"));
    QCOMPARE(companionRow(t, QStringLiteral("まい"))->value(QStringLiteral("名前1")).toString(), QStringLiteral("マイコ"));
    QCOMPARE(companionCount(t), 1);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::changeAfterASecondShopNamesItsSlot()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 shop0 = t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    typeName(g, QStringLiteral("りお"));
    g->Text_SName[0]->setText(QStringLiteral("リオ"));
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QVERIFY(companionRow(t, QStringLiteral("りお"))->value(QStringLiteral("店舗2ID")).isNull());
    g->Cmd_OK->click();

    // Stale values in the slots beyond the shop list are put right by the change.
    t.db().exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"名前7\"='x',\"オプション7\"=3;"));
    const qint32 shop1 = t.addShop(QStringLiteral("二号店"));
    t.module().LoadShopList();
    QVERIFY(openEditor(t));
    typeName(g, QStringLiteral("りお"));
    QVERIFY(!g->Text_SName[1]->isHidden());
    QVERIFY(g->Text_SName[1]->text().isEmpty());
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();

    const std::optional<Row> row = companionRow(t, QStringLiteral("りお"));
    QCOMPARE(row->value(QStringLiteral("店舗1ID")).toInt(), shop0);
    QCOMPARE(row->value(QStringLiteral("店舗2ID")).toInt(), shop1);
    QVERIFY(row->value(QStringLiteral("名前2")).isNull());
    QVERIFY(row->value(QStringLiteral("店舗3ID")).isNull());
    QVERIFY(row->value(QStringLiteral("名前7")).isNull());
    QCOMPARE(row->value(QStringLiteral("オプション7")).toInt(), 0);
    QCOMPARE(row->value(QStringLiteral("源氏名")).toString(), QStringLiteral("りお"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::quotesRoundTrip()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);

    const QString genji = QStringLiteral("Mi'ka\"");
    const QString name = QStringLiteral("O'Hara");
    typeName(g, genji);
    g->Text_SName[0]->setText(name);
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages().value(0), genji + Registering);

    const std::optional<Row> row = companionRow(t, genji);
    QVERIFY(row);
    QCOMPARE(row->value(QStringLiteral("名前1")).toString(), name);
    const qint32 id = row->value(QStringLiteral("コンパニオンID")).toInt();
    QCOMPARE(statusRows(t, id).value(0).value(QStringLiteral("名前")).toString(), name);

    // Read back into a fresh window by typing the same name.
    g->Cmd_OK->click();
    QVERIFY(openEditor(t));
    typeName(g, genji);
    QVERIFY(!g->IsNewCompanion);
    QCOMPARE(g->Text_SName[0]->text(), name);

    // And changed once more with quotes in her shop name.
    g->Text_SName[0]->setText(QStringLiteral("'"));
    t.prompt().answer(Answer::Ok);
    g->Cmd_Regist->click();
    QCOMPARE(companionRow(t, genji)->value(QStringLiteral("名前1")).toString(), QStringLiteral("'"));
    QCOMPARE(companionCount(t), 1);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::storeFailureShowsCommonError()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    t.prompt().clear();

    // Letters in a box that was never left are refused by its check at registration, before the
    // question; a failure of the store itself is shown in the common error box.
    typeName(g, QStringLiteral("なな"));
    g->Text_SName[0]->setText(QStringLiteral("ナナ"));
    g->Text_C3_Rate->setText(QStringLiteral("abc"));
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("数値を入力してください。"));
    QCOMPARE(companionCount(t), 0);

    g->Text_C3_Rate->clear();
    t.prompt().answer(Answer::Ok);
    t.db().failNthWrite(1);
    g->Cmd_Regist->click();
    t.db().failNthWrite(0);
    QVERIFY(t.prompt().lastMessage().startsWith(QStringLiteral("Error!!  ")));
    QCOMPARE(companionCount(t), 0);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::cancelWritesNothing()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ")});
    t.module().LoadCompanionList();
    Form_GirlData *g = openEditor(t);
    QVERIFY(g);

    typeName(g, QStringLiteral("みき"));
    g->Text_SName[0]->setText(QStringLiteral("ミキ"));
    t.prompt().answer(Answer::Cancel);
    g->Cmd_Regist->click();
    QCOMPARE(companionCount(t), 1);

    typeName(g, QStringLiteral("ゆり"));
    g->Text_SName[0]->setText(QStringLiteral("ユリカ"));
    t.prompt().answer(Answer::Cancel);
    g->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("ゆり") + Changing);
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("名前1")).toString(), QStringLiteral("ユリ"));

    t.prompt().answer(Answer::Cancel);
    g->Cmd_Del->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("ゆりのコンパニオンデータを削除します。"));
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("削除FLAG")).toInt(), 0);

    // OK leaves without saving what was typed.
    g->Text_SName[0]->setText(QStringLiteral("ユリエ"));
    g->Cmd_OK->click();
    QVERIFY(!g->isVisible());
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("名前1")).toString(), QStringLiteral("ユリ"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestGirlEditor::deletionMarksAndEmpties()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("本店"));
    t.addShop(QStringLiteral("二号店"));
    t.module().LoadShopList();
    const qint32 yuri = t.addCompanion(QStringLiteral("ゆり"), {QStringLiteral("ユリ"), QStringLiteral("ゆりこ")});
    const qint32 hana = t.addCompanion(QStringLiteral("はな"), {QStringLiteral("ハナ")});
    t.module().LoadCompanionList();
    t.module().SyncStatusRows(yuri);
    t.module().SyncStatusRows(hana);
    QComboBox *salesList = t.app().salesForm()->Combo_GirlName;
    QCOMPARE(salesList->count(), 2);

    Form_GirlData *g = openEditor(t);
    QVERIFY(g);
    // Nothing is deleted while no companion is chosen, nor for a typed name over a chosen one.
    g->Cmd_Del->click();
    choose(g->Combo_Genji, 0);
    g->Combo_Genji->setEditText(QStringLiteral("ゆ"));
    g->Cmd_Del->click();
    QVERIFY(t.prompt().messages().isEmpty());

    choose(g->Combo_Genji, 0);
    t.prompt().answer(Answer::Ok);
    g->Cmd_Del->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("ゆりのコンパニオンデータを削除します。"));
    QCOMPARE(companionRow(t, QStringLiteral("ゆり"))->value(QStringLiteral("削除FLAG")).toInt(), 1);
    QVERIFY(statusRows(t, yuri).isEmpty());
    QCOMPARE(statusRows(t, hana).size(), 1);
    QCOMPARE(g->Combo_Genji->count(), 1);
    QCOMPARE(g->Combo_Genji->itemText(0), QStringLiteral("はな"));
    QCOMPARE(salesList->count(), 1);
    QCOMPARE(g->Combo_Genji->currentText(), QStringLiteral("源氏名は？"));
    QVERIFY(g->Text_SName[0]->text().isEmpty() && g->Text_SName[1]->text().isEmpty());
    QCOMPARE(g->Combo_Shop_Name->currentIndex(), -1);
    QCOMPARE(g->OptionBits[0], qint16(0));
    QVERIFY(!g->IsNewCompanion);

    // The last one leaves both lists empty.
    choose(g->Combo_Genji, 0);
    t.prompt().answer(Answer::Ok);
    g->Cmd_Del->click();
    QCOMPARE(g->Combo_Genji->count(), 0);
    QCOMPARE(salesList->count(), 0);
    QCOMPARE(t.module().CompanionCount, 0);
    QVERIFY(statusRows(t, hana).isEmpty());
    QCOMPARE(companionCount(t), 2);   // marked, not removed
    QVERIFY(t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(TestGirlEditor)
#include "test_girleditor.moc"
