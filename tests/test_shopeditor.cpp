#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::TestApp;

class TestShopEditor : public QObject
{
    Q_OBJECT

private slots:
    void controlsAndShowing();
    void okAndCancelOnlyHide();
    void fieldChecksOnTheBoxes_data();
    void fieldChecksOnTheBoxes();
    void focusMovesRunTheChecks();

    void typingAnExistingNameLoadsIt();
    void typingANewNameClearsTheBoxes();
    void comboLostFocusRefusesLongNamesAndIgnoresUnchangedText();

    void registerWhilePromptShowsDoesNothing();
    void registerWithoutName();
    void registrationChecks_data();
    void registrationChecks();
    void onlyCourseThreeRegisters();
    void insertThenReRegisterUpdates();
    void storeFailureShowsCommonError_data();
    void storeFailureShowsCommonError();
    void quotesRoundTrip();
    void sixthShopRefused();
    void registeredShopAppearsInOtherWindows();

    void deleteShiftsCompanionSlots_data();
    void deleteShiftsCompanionSlots();
    void deleteFailureLeavesCompanionsUnchanged();
    void deleteNeedsAListedShopAndOk();

    void windowFitsTheScreen();
};

namespace {

const QString ShopPrompt = QStringLiteral("店舗名を選択、または入力");

Form_ShopData *openEditor(TestApp &t)
{
    Form_ShopData *f = t.app().shopForm();
    f->showModal();
    QApplication::processEvents();
    return f;
}

QLineEdit *box(Form_ShopData *f, const QString &name)
{
    auto *b = f->findChild<QLineEdit *>(name);
    if (!b)
        qWarning("no entry box %s", qPrintable(name));
    return b;
}

// A tariff that passes every registration check: course 1 with one row, the fees and the rates.
void fillValidTariff(Form_ShopData *f)
{
    f->Text_Course[0]->setText(QStringLiteral("スタンダード"));
    f->Text_Minute[0]->setText(QStringLiteral("60"));
    f->Text_Money[0]->setText(QStringLiteral("10,000"));
    f->Text_C1_Rate->setText(QStringLiteral("40"));
    f->Text_Ext_Minute->setText(QStringLiteral("30"));
    f->Text_Ext_Money->setText(QStringLiteral("5,000"));
    f->Text_Shimei_Money->setText(QStringLiteral("2,000"));
    f->Text_Can_Money->setText(QStringLiteral("3,000"));
    f->Text_WarningTime->setText(QStringLiteral("10"));
    f->Text_Opt_Rate->setText(QStringLiteral("40"));
    f->Text_Ext_Rate->setText(QStringLiteral("40"));
    f->Text_Shimei_Rate->setText(QStringLiteral("50"));
    f->Text_Can_Rate->setText(QStringLiteral("50"));
}

// "Box=value" edits on top of a form.
void applyEdits(Form_ShopData *f, const QStringList &edits)
{
    for (const QString &edit : edits) {
        const qsizetype eq = edit.indexOf(QLatin1Char('='));
        QLineEdit *b = box(f, edit.left(eq));
        QVERIFY2(b, qPrintable(edit));
        b->setText(edit.mid(eq + 1));
    }
}

// The operator enters the shop list, types a name and leaves it.
void typeShopName(Form_ShopData *f, const QString &name)
{
    f->Combo_Shop_Name_GotFocus();
    f->Combo_Shop_Name->setEditText(name);
    f->Combo_Shop_Name_LostFocus();
}

// The operator picks the entry at position p from the list.
void chooseShop(Form_ShopData *f, int p)
{
    f->Combo_Shop_Name->setCurrentIndex(p);
    emit f->Combo_Shop_Name->activated(p);
}

QList<QLineEdit *> entryBoxes(Form_ShopData *f)
{
    QList<QLineEdit *> boxes;
    for (QLineEdit *b : f->findChildren<QLineEdit *>())
        if (f->fieldOf(b))
            boxes << b;
    return boxes;
}

bool allEntryBoxesEmpty(Form_ShopData *f)
{
    for (QLineEdit *b : entryBoxes(f))
        if (!b->text().isEmpty())
            return false;
    return true;
}

int shopRowCount(TestApp &t)
{
    return t.db().scalar(QStringLiteral("SELECT count(*) FROM \"店舗\";")).toInt();
}

Row shopRow(TestApp &t, const QString &name)
{
    const std::optional<Row> row = t.db().first(QStringLiteral("SELECT * FROM \"店舗\" WHERE \"店舗名\"=?;"), {name});
    return row ? *row : Row();
}

// One companion slot as "店舗ID|名前|オプション", NULL spelt out.
QString slotText(TestApp &t, qint32 companion, int s)
{
    const std::optional<Row> row = t.db().first(
        QStringLiteral("SELECT \"店舗%1ID\",\"名前%1\",\"オプション%1\" FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?;").arg(s),
        {companion});
    if (!row)
        return QStringLiteral("no row");
    QStringList parts;
    for (int i = 0; i < 3; ++i)
        parts << (row->value(i).isNull() ? QStringLiteral("NULL") : row->value(i).toString());
    return parts.join(QLatin1Char('|'));
}

QList<QStringList> companionTable(TestApp &t)
{
    QList<QStringList> out;
    for (const Row &row : t.db().rows(QStringLiteral("SELECT * FROM \"コンパニオン\" ORDER BY \"コンパニオンID\";"))) {
        QStringList values;
        for (int i = 0; i < row.count(); ++i)
            values << (row.value(i).isNull() ? QStringLiteral("NULL") : row.value(i).toString());
        out << values;
    }
    return out;
}

int statusRows(TestApp &t, qint32 shopId)
{
    return t.db().scalar(QStringLiteral("SELECT count(*) FROM \"現在状況\" WHERE \"店舗ID\"=?;"), {shopId}).toInt();
}

} // namespace

// --- The window --------------------------------------------------------------------------------

void TestShopEditor::controlsAndShowing()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = t.app().shopForm();
    QVERIFY(f);
    QVERIFY(!f->isVisible());
    QCOMPARE(f->windowTitle(), QStringLiteral("店データ入力"));
    QVERIFY(!f->closeCommandEnabled());

    // Every control under the name the board and the tests use.
    QStringList names{QStringLiteral("Text_Ext_Minute"), QStringLiteral("Text_Ext_Money"), QStringLiteral("Text_Ext_Rate"),
                      QStringLiteral("Text_Shimei_Money"), QStringLiteral("Text_Shimei_Rate"),
                      QStringLiteral("Text_Can_Money"), QStringLiteral("Text_Can_Rate"), QStringLiteral("Text_WarningTime"),
                      QStringLiteral("Text_Opt_Rate"), QStringLiteral("Text_C1_Rate"), QStringLiteral("Text_C2_Rate"),
                      QStringLiteral("Text_C3_Rate"), QStringLiteral("Text_C4_Rate")};
    for (int i = 0; i < 4; ++i)
        names << QStringLiteral("Text_Course_%1").arg(i);
    for (int x = 0; x < 24; ++x)
        names << QStringLiteral("Text_Minute_%1").arg(x) << QStringLiteral("Text_Money_%1").arg(x);
    for (int k = 0; k < 15; ++k)
        names << QStringLiteral("Text_Opt_Name_%1").arg(k) << QStringLiteral("Text_Opt_Money_%1").arg(k)
              << QStringLiteral("Text_OneOpt_Rate_%1").arg(k);
    QCOMPARE(names.size(), 110);   // every column of 店舗 but the ID, the flag and the name
    for (const QString &name : names) {
        QLineEdit *b = box(f, name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->property("tag").toString(), QStringLiteral("clr"));
        QVERIFY2(f->fieldOf(b).has_value(), qPrintable(name));
    }
    QCOMPARE(entryBoxes(f).size(), 110);
    QCOMPARE(f->Text_Minute[23], box(f, QStringLiteral("Text_Minute_23")));
    QCOMPARE(f->Text_OneOpt_Rate[14], box(f, QStringLiteral("Text_OneOpt_Rate_14")));

    QComboBox *combo = f->findChild<QComboBox *>(QStringLiteral("Combo_Shop_Name"));
    QCOMPARE(combo, f->Combo_Shop_Name);
    QVERIFY(combo->isEditable());
    const QStringList courseCaptions{QStringLiteral("コース１"), QStringLiteral("コース２"), QStringLiteral("コース３"),
                                     QStringLiteral("コース４")};
    for (int i = 0; i < 4; ++i) {
        auto *frame = f->findChild<QGroupBox *>(QStringLiteral("Frame1_%1").arg(i));
        QVERIFY(frame);
        QCOMPARE(frame->title(), courseCaptions[i]);
        QVERIFY(frame->isAncestorOf(f->Text_Minute[i * 6 + 5]));
    }
    QCOMPARE(f->findChild<QGroupBox *>(QStringLiteral("Frame2"))->title(), QStringLiteral("オプション"));
    QCOMPARE(f->findChild<QGroupBox *>(QStringLiteral("Frame3"))->title(), QStringLiteral("料金割合"));
    QVERIFY(f->Frame3->isAncestorOf(f->Text_C4_Rate));
    QVERIFY(f->Frame3->isAncestorOf(f->Text_Opt_Rate));
    QVERIFY(f->Frame2->isAncestorOf(f->Text_OneOpt_Rate[14]));
    const QList<std::pair<QString, QString>> buttons{{QStringLiteral("Cmd_Regist"), QStringLiteral("登　録")},
                                                     {QStringLiteral("Cmd_Del"), QStringLiteral("削　除")},
                                                     {QStringLiteral("Cmd_OK"), QStringLiteral("Ｏ　Ｋ")},
                                                     {QStringLiteral("Cmd_Cancel"), QStringLiteral("ｷｬﾝｾﾙ")}};
    for (const auto &[name, caption] : buttons) {
        auto *b = f->findChild<QPushButton *>(name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), caption);
    }
    QStringList labelTexts;
    for (QLabel *l : f->findChildren<QLabel *>())
        labelTexts << l->text();
    for (const QString &text : {QStringLiteral("指　名　料"), QStringLiteral("キャンセル料"), QStringLiteral("分前になったら知らせる")})
        QVERIFY2(labelTexts.contains(text), qPrintable(text));
    QCOMPARE(labelTexts.count(QStringLiteral("分")), 24 + 1);
    QCOMPARE(labelTexts.count(QStringLiteral("円")), 24 + 15 + 3);
    QCOMPARE(labelTexts.count(QStringLiteral("％")), 15 + 8);

    // Start-up has made the per-option rates visible.
    for (int k = 0; k < 15; ++k) {
        QVERIFY(!f->Text_OneOpt_Rate[k]->isHidden());
        QVERIFY(!f->Label_OneOpt_Rate_Unit[k]->isHidden());
    }

    // Every showing starts blank with the prompt, whatever the window held when it was left.
    t.addShop(QStringLiteral("本店"));
    t.module().LoadShopList();
    openEditor(t);
    chooseShop(f, 0);
    QCOMPARE(f->Text_Money[0]->text(), QStringLiteral("10,000"));
    f->IsNewShop = true;
    f->Cmd_OK->click();
    QVERIFY(!f->isVisible());
    openEditor(t);
    QVERIFY(f->isVisible());
    QCOMPARE(f->Combo_Shop_Name->currentText(), ShopPrompt);
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), -1);
    QCOMPARE(f->Combo_Shop_Name->count(), 1);
    QCOMPARE(f->PromptText, ShopPrompt);
    QVERIFY(!f->IsNewShop);
    QVERIFY(allEntryBoxesEmpty(f));
    QVERIFY(t.prompt().messages().isEmpty());
}

void TestShopEditor::okAndCancelOnlyHide()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    for (QPushButton *leave : {f->Cmd_OK, f->Cmd_Cancel}) {
        openEditor(t);
        typeShopName(f, QStringLiteral("新しい店"));
        fillValidTariff(f);
        leave->click();
        QVERIFY(!f->isVisible());
        QCOMPARE(shopRowCount(t), 0);
    }
    // Neither Escape nor the close command leaves the window.
    openEditor(t);
    QTest::keyClick(f, Qt::Key_Escape);
    QVERIFY(!f->close());
    QVERIFY(f->isVisible());
    QVERIFY(t.prompt().messages().isEmpty());
}

void TestShopEditor::fieldChecksOnTheBoxes_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString ok;
    const QString numeric = QStringLiteral("数値を入力してください。");
    const QString range = QStringLiteral("０～１００の数値を入力してください。");
    const QString six = QStringLiteral("６桁の金額を入力してください。");
    const QString five = QStringLiteral("５桁の金額を入力してください。");
    auto row = [](const char *name, const char *boxName, const QString &input, const QString &text, const QString &message) {
        QTest::newRow(name) << QString::fromUtf8(boxName) << input << text << message;
    };
    row("course name 9 full-width", "Text_Course_2", "ロングコース名前だ", "ロングコース名前だ",
        QStringLiteral("コース名は全角８文字以内で入力してください。"));
    row("course name 8 full-width", "Text_Course_3", "ロングコース名前", "ロングコース名前", ok);
    row("duration 5 full-width", "Text_Minute_23", "１２０００", "１２０００",
        QStringLiteral("コース時間は全角４文字以内で入力してください。"));
    row("duration kept as typed", "Text_Minute_0", "６０分", "６０分", ok);
    row("option name 9 full-width", "Text_Opt_Name_14", "コスチューム変更可", "コスチューム変更可",
        QStringLiteral("オプション名は全角８文字以内で入力してください。"));
    row("course price full-width", "Text_Money_5", "１，２００", "1,200", ok);
    row("course price 7 digits", "Text_Money_23", "1000000", "1000000", six);
    row("option price 7 digits", "Text_Opt_Money_0", "1000000", "1000000", six);
    row("option price negative", "Text_Opt_Money_14", "-500", "-500", ok);
    row("extension price 6 digits", "Text_Ext_Money", "100000", "100000", five);
    row("extension price 5 digits", "Text_Ext_Money", "99999", "99,999", ok);
    row("nomination 6 digits", "Text_Shimei_Money", "100000", "100000", five);
    row("cancellation 6 digits", "Text_Can_Money", "１０００００", "100000", five);
    row("cancellation letters", "Text_Can_Money", "abc", "abc", numeric);
    for (const char *rate : {"Text_C1_Rate", "Text_C2_Rate", "Text_C3_Rate", "Text_C4_Rate", "Text_Opt_Rate", "Text_Ext_Rate",
                             "Text_Shimei_Rate", "Text_Can_Rate", "Text_OneOpt_Rate_0", "Text_OneOpt_Rate_14"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 101").arg(QString::fromUtf8(rate))))
            << QString::fromUtf8(rate) << QStringLiteral("101") << QStringLiteral("101") << range;
        QTest::newRow(qPrintable(QStringLiteral("%1 100").arg(QString::fromUtf8(rate))))
            << QString::fromUtf8(rate) << QStringLiteral("１００") << QStringLiteral("100") << ok;
    }
    row("rate -1", "Text_C2_Rate", "-1", "-1", range);
    row("rate 0", "Text_C2_Rate", "０", "0", ok);
    row("rate letters", "Text_Opt_Rate", "abc", "abc", numeric);
    row("extension minutes letters", "Text_Ext_Minute", "abc", "abc", numeric);
    row("warning time full-width", "Text_WarningTime", "１５", "15", ok);
    row("warning time with unit", "Text_WarningTime", "１５分", "15分", numeric);
}

void TestShopEditor::fieldChecksOnTheBoxes()
{
    QFETCH(QString, boxName);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(QString, message);

    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    QLineEdit *b = box(f, boxName);
    QVERIFY(b);
    f->Text_Course[0]->setFocus();
    b->setText(input);
    const bool accepted = f->CheckField(b);
    QCOMPARE(accepted, message.isEmpty());
    QCOMPARE(b->text(), text);
    if (message.isEmpty()) {
        QVERIFY(t.prompt().messages().isEmpty());
    } else {
        QCOMPARE(t.prompt().messages(), QStringList{message});
        QCOMPARE(f->focusWidget(), b);   // the focus is put back into the box
    }
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::focusMovesRunTheChecks()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    QLineEdit *money = f->Text_Money[3];

    // A real move of the focus to the next box.
    money->setFocus(Qt::TabFocusReason);
    money->setText(QStringLiteral("1000000"));
    f->Text_Money[4]->setFocus(Qt::TabFocusReason);
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("６桁の金額を入力してください。")});
    QCOMPARE(f->focusWidget(), money);
    QCOMPARE(money->text(), QStringLiteral("1000000"));

    // The window losing activation (a message box, a popup) is not the operator leaving the box.
    t.prompt().clear();
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(money, &deactivated);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(money, &popup);
    QVERIFY(t.prompt().messages().isEmpty());

    // Leaving it with a good amount formats it.
    money->setText(QStringLiteral("２５００"));
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(money, &tab);
    QCOMPARE(money->text(), QStringLiteral("2,500"));
    QVERIFY(t.prompt().messages().isEmpty());

    // The shop list: entering it remembers its text, leaving it with a new name starts a new shop.
    f->Text_Course[0]->setText(QStringLiteral("残る?"));
    f->Combo_Shop_Name->setFocus(Qt::TabFocusReason);
    QCOMPARE(f->FocusText, ShopPrompt);
    f->Combo_Shop_Name->setEditText(QStringLiteral("新店"));
    f->Text_Course[0]->setFocus(Qt::TabFocusReason);
    QVERIFY(f->IsNewShop);
    QVERIFY(f->Text_Course[0]->text().isEmpty());
    QCOMPARE(f->Combo_Shop_Name->currentText(), QStringLiteral("新店"));
    QVERIFY(t.prompt().messages().isEmpty());
}

// --- The shop list -----------------------------------------------------------------------------

void TestShopEditor::typingAnExistingNameLoadsIt()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("Alpha"), 10);
    t.addShop(QStringLiteral("Beta"), 25);
    t.module().LoadShopList();
    Form_ShopData *f = openEditor(t);

    f->Text_Opt_Name[0]->setText(QStringLiteral("消える"));
    typeShopName(f, QStringLiteral("Beta"));
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), 1);
    QVERIFY(!f->IsNewShop);
    QCOMPARE(f->FocusText, QStringLiteral("Beta"));
    QCOMPARE(f->Text_Course[0]->text(), QStringLiteral("A"));
    QCOMPARE(f->Text_Minute[0]->text(), QStringLiteral("60"));
    QCOMPARE(f->Text_Money[0]->text(), QStringLiteral("10,000"));
    QCOMPARE(f->Text_C1_Rate->text(), QStringLiteral("40"));
    QCOMPARE(f->Text_Ext_Money->text(), QStringLiteral("5,000"));
    QCOMPARE(f->Text_Can_Money->text(), QStringLiteral("3,000"));
    QCOMPARE(f->Text_WarningTime->text(), QStringLiteral("25"));
    QVERIFY(f->Text_Money[1]->text().isEmpty());   // NULL shows as empty
    QVERIFY(f->Text_Opt_Name[0]->text().isEmpty());

    // The match is exact: another case is another shop.
    typeShopName(f, QStringLiteral("beta"));
    QVERIFY(f->IsNewShop);
    QVERIFY(allEntryBoxesEmpty(f));

    // Choosing from the list loads the shop at that position.
    chooseShop(f, 0);
    QVERIFY(!f->IsNewShop);
    QCOMPARE(f->Text_WarningTime->text(), QStringLiteral("10"));
    QCOMPARE(f->FocusText, QStringLiteral("Alpha"));
    QVERIFY(t.prompt().messages().isEmpty());
}

void TestShopEditor::typingANewNameClearsTheBoxes()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 alpha = t.addShop(QStringLiteral("Alpha"));
    t.module().LoadShopList();
    Form_ShopData *f = openEditor(t);
    chooseShop(f, 0);
    QVERIFY(!f->Text_Money[0]->text().isEmpty());

    typeShopName(f, QStringLiteral("Gamma"));
    QVERIFY(f->IsNewShop);
    QVERIFY(allEntryBoxesEmpty(f));
    QCOMPARE(f->Combo_Shop_Name->currentText(), QStringLiteral("Gamma"));

    fillValidTariff(f);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("Gammaのデータを登録します。")});
    QCOMPARE(shopRowCount(t), 2);
    QCOMPARE(shopRow(t, QStringLiteral("Gamma")).value(QStringLiteral("C1料金1")).toInt(), 10000);
    const Row untouched = *t.db().first(QStringLiteral("SELECT * FROM \"店舗\" WHERE \"店舗ID\"=?;"), {alpha});
    QCOMPARE(untouched.value(QStringLiteral("店舗名")).toString(), QStringLiteral("Alpha"));
    QCOMPARE(untouched.value(QStringLiteral("C1名")).toString(), QStringLiteral("A"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::comboLostFocusRefusesLongNamesAndIgnoresUnchangedText()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    f->Text_Course[1]->setText(QStringLiteral("残す"));

    // Leaving the prompt as it is does nothing.
    typeShopName(f, ShopPrompt);
    QVERIFY(!f->IsNewShop);
    QCOMPARE(f->Text_Course[1]->text(), QStringLiteral("残す"));

    // 16 full-width characters are 32 bytes: refused, nothing cleared.
    f->Text_Course[1]->setFocus();
    typeShopName(f, QString(16, QChar(0x5E97)));
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("店舗名は全角１５文字以内で入力してください。")});
    QVERIFY(!f->IsNewShop);
    QCOMPARE(f->Text_Course[1]->text(), QStringLiteral("残す"));
    QCOMPARE(f->focusWidget(), f->Combo_Shop_Name);
    QCOMPARE(f->Combo_Shop_Name->currentText(), QString(16, QChar(0x5E97)));

    // 15 full-width characters or 30 half-width ones fit.
    t.prompt().clear();
    typeShopName(f, QString(15, QChar(0x5E97)));
    QVERIFY(f->IsNewShop);
    QVERIFY(t.prompt().messages().isEmpty());
    typeShopName(f, QString(30, QLatin1Char('s')));
    QVERIFY(f->IsNewShop);
    QVERIFY(t.prompt().messages().isEmpty());

    // Leaving the list with the text it had on entering does nothing, even for a new name.
    f->Text_Course[1]->setText(QStringLiteral("入力中"));
    f->Combo_Shop_Name_GotFocus();
    f->Combo_Shop_Name_LostFocus();
    QCOMPARE(f->Text_Course[1]->text(), QStringLiteral("入力中"));
}

// --- Registering -------------------------------------------------------------------------------

void TestShopEditor::registerWhilePromptShowsDoesNothing()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    fillValidTariff(f);
    QCOMPARE(f->Combo_Shop_Name->currentText(), ShopPrompt);
    f->Cmd_Regist->click();
    QVERIFY(t.prompt().shown().isEmpty());
    QCOMPARE(shopRowCount(t), 0);
}

void TestShopEditor::registerWithoutName()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    typeShopName(f, QStringLiteral("仮"));
    QVERIFY(f->IsNewShop);
    fillValidTariff(f);
    f->Combo_Shop_Name->setEditText(QString());
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("店舗名が入力されていません。")});
    QVERIFY(!f->IsNewShop);
    QCOMPARE(shopRowCount(t), 0);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::registrationChecks_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");

    const QString rows = QStringLiteral("コース情報の入力が正しくありません。");
    const QString noCourse = QStringLiteral("コース情報が入力されていません。");
    const QString terms = QStringLiteral("延長時間・延長金額、指名料、キャンセル料、警告時間は必ず設定してください。");
    const QString courseRate = QStringLiteral("コース料金割合が入力されていません。");
    const QString rates = QStringLiteral("料金割合は必ず設定してください。");
    const QString asks = QStringLiteral("検査店のデータを登録します。");

    QTest::newRow("complete: asks") << QStringList{} << asks;
    QTest::newRow("duration without price in an unnamed course") << QStringList{"Text_Minute_13=60"} << rows;
    QTest::newRow("price without duration") << QStringList{"Text_Money_23=1,000"} << rows;
    QTest::newRow("rows before courses") << QStringList{"Text_Course_0=", "Text_Minute_1=90"} << rows;
    QTest::newRow("no named course") << QStringList{"Text_Course_0="} << noCourse;
    QTest::newRow("named course without durations")
        << QStringList{"Text_Course_0=", "Text_Course_1=ショート"} << noCourse;
    QTest::newRow("named course, durations only in another")
        << QStringList{"Text_Course_0=", "Text_Course_3=ロング", "Text_C4_Rate=40"} << noCourse;
    for (const char *required : {"Text_Ext_Minute", "Text_Ext_Money", "Text_Shimei_Money", "Text_Can_Money", "Text_WarningTime"})
        QTest::newRow(qPrintable(QStringLiteral("no %1").arg(QString::fromUtf8(required))))
            << QStringList{QString::fromUtf8(required) + QLatin1Char('=')} << terms;
    QTest::newRow("terms before rates") << QStringList{"Text_WarningTime=", "Text_C1_Rate=", "Text_Opt_Rate="} << terms;
    QTest::newRow("no course rate") << QStringList{"Text_C1_Rate="} << courseRate;
    QTest::newRow("second named course without rate")
        << QStringList{"Text_Course_1=ロング", "Text_Minute_6=90", "Text_Money_6=15,000"} << courseRate;
    QTest::newRow("course rate before other rates") << QStringList{"Text_C1_Rate=", "Text_Can_Rate="} << courseRate;
    for (const char *required : {"Text_Opt_Rate", "Text_Ext_Rate", "Text_Shimei_Rate", "Text_Can_Rate"})
        QTest::newRow(qPrintable(QStringLiteral("no %1").arg(QString::fromUtf8(required))))
            << QStringList{QString::fromUtf8(required) + QLatin1Char('=')} << rates;
    QTest::newRow("unnamed course needs no rate: asks") << QStringList{"Text_Minute_18=45", "Text_Money_18=7,000"} << asks;
    QTest::newRow("options never required: asks")
        << QStringList{"Text_Opt_Name_0=コスプレ", "Text_OneOpt_Rate_3=", "Text_Opt_Money_9=1,000"} << asks;
}

void TestShopEditor::registrationChecks()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);

    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    typeShopName(f, QStringLiteral("検査店"));
    QVERIFY(f->IsNewShop);
    fillValidTariff(f);
    applyEdits(f, edits);
    const bool asks = message.endsWith(QStringLiteral("のデータを登録します。"));
    if (asks)
        t.prompt().answer(Answer::Cancel);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{message});
    QCOMPARE(t.prompt().shown().constFirst().buttons, asks ? Buttons::OkCancel : Buttons::Ok);
    QVERIFY(t.prompt().unexpected().isEmpty());
    QCOMPARE(shopRowCount(t), 0);
    QVERIFY(f->IsNewShop);
}

void TestShopEditor::onlyCourseThreeRegisters()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    typeShopName(f, QStringLiteral("長時間店"));
    fillValidTariff(f);
    applyEdits(f, {"Text_Course_0=", "Text_Minute_0=", "Text_Money_0=", "Text_C1_Rate=", "Text_Course_2=ロング",
                   "Text_Minute_12=90", "Text_Money_12=15000", "Text_Minute_13=120", "Text_Money_13=20,000",
                   "Text_C3_Rate=45"});
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("長時間店のデータを登録します。")});
    QVERIFY(t.prompt().unexpected().isEmpty());

    const Row row = shopRow(t, QStringLiteral("長時間店"));
    QVERIFY(!row.isEmpty());
    for (const int course : {1, 2, 4}) {
        for (const QString &suffix : {QStringLiteral("名"), QStringLiteral("割合")})
            QVERIFY(row.value(QStringLiteral("C%1").arg(course) + suffix).isNull());
        for (int j = 1; j <= 6; ++j) {
            QVERIFY(row.value(QStringLiteral("C%1時間%2").arg(course).arg(j)).isNull());
            QVERIFY(row.value(QStringLiteral("C%1料金%2").arg(course).arg(j)).isNull());
        }
    }
    QCOMPARE(row.value(QStringLiteral("C3名")).toString(), QStringLiteral("ロング"));
    QCOMPARE(row.value(QStringLiteral("C3時間1")).toString(), QStringLiteral("90"));
    QCOMPARE(row.value(QStringLiteral("C3料金1")).toInt(), 15000);
    QCOMPARE(row.value(QStringLiteral("C3時間2")).toString(), QStringLiteral("120"));
    QCOMPARE(row.value(QStringLiteral("C3料金2")).toInt(), 20000);
    QVERIFY(row.value(QStringLiteral("C3時間3")).isNull());
    QCOMPARE(row.value(QStringLiteral("C3割合")).toInt(), 45);
    QCOMPARE(row.value(QStringLiteral("削除FLAG")).toInt(), 0);

    // The new shop is listed last, selected, and read back from the store.
    QCOMPARE(t.module().ShopCount, 1);
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), 0);
    QCOMPARE(f->Combo_Shop_Name->currentText(), QStringLiteral("長時間店"));
    QVERIFY(!f->IsNewShop);
    QCOMPARE(f->Text_Money[12]->text(), QStringLiteral("15,000"));
}

void TestShopEditor::insertThenReRegisterUpdates()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 first = t.addShop(QStringLiteral("一号店"));
    t.addShop(QStringLiteral("二号店"));
    t.module().LoadShopList();
    Form_ShopData *f = openEditor(t);
    typeShopName(f, QStringLiteral("本店"));

    // Every box filled, each with a text of its own as the box would show it.
    for (int i = 0; i < 4; ++i) {
        f->Text_Course[i]->setText(QStringLiteral("コース%1").arg(i + 1));
        for (int j = 0; j < 6; ++j) {
            f->Text_Minute[i * 6 + j]->setText(QString::number((i + 1) * 100 + (j + 1) * 10));
            f->Text_Money[i * 6 + j]->setText(QStringLiteral("%1,%2").arg(i + 1).arg((j + 1) * 100 + i, 3, 10, QLatin1Char('0')));
        }
    }
    for (int k = 0; k < 15; ++k) {
        f->Text_Opt_Name[k]->setText(QStringLiteral("OP%1").arg(k + 1));
        f->Text_Opt_Money[k]->setText(QStringLiteral("%1,%2").arg(k + 1).arg(k * 10, 3, 10, QLatin1Char('0')));
        f->Text_OneOpt_Rate[k]->setText(QString::number(k + 1));
    }
    const QList<std::pair<QLineEdit *, QString>> singles{
        {f->Text_C1_Rate, "41"},       {f->Text_C2_Rate, "42"},      {f->Text_C3_Rate, "43"},
        {f->Text_C4_Rate, "44"},       {f->Text_Opt_Rate, "30"},     {f->Text_Ext_Minute, "30"},
        {f->Text_Ext_Money, "5,500"},  {f->Text_Ext_Rate, "35"},     {f->Text_Shimei_Money, "2,200"},
        {f->Text_Shimei_Rate, "55"},   {f->Text_Can_Money, "3,300"}, {f->Text_Can_Rate, "65"},
        {f->Text_WarningTime, "12"}};
    for (const auto &[b, text] : singles)
        b->setText(text);
    QHash<QString, QString> typed;
    for (QLineEdit *b : entryBoxes(f))
        typed.insert(b->objectName(), b->text());
    QCOMPARE(typed.size(), 110);

    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("本店のデータを登録します。"));
    QCOMPARE(shopRowCount(t), 3);
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), 2);
    QVERIFY(!f->IsNewShop);
    // Read back into every box exactly as typed.
    for (QLineEdit *b : entryBoxes(f))
        QCOMPARE(b->text(), typed.value(b->objectName()));
    Row row = shopRow(t, QStringLiteral("本店"));
    QCOMPARE(row.value(QStringLiteral("C2料金3")).toInt(), 2301);
    QCOMPARE(row.value(QStringLiteral("C4時間6")).toString(), QStringLiteral("460"));
    QCOMPARE(row.value(QStringLiteral("OP15料金")).toInt(), 15140);
    QCOMPARE(row.value(QStringLiteral("OP15割合")).toInt(), 15);
    QCOMPARE(row.value(QStringLiteral("延長料金")).toInt(), 5500);
    QCOMPARE(row.value(QStringLiteral("キャンセル割合")).toInt(), 65);
    QCOMPARE(row.value(QStringLiteral("警告時間")).toInt(), 12);

    // The loaded shop is registered again: a change, not a second shop.
    t.prompt().clear();
    applyEdits(f, {"Text_Money_0=11,000", "Text_Opt_Name_3=", "Text_WarningTime=15", "Text_OneOpt_Rate_2=50.5",
                   "Text_OneOpt_Rate_3=51.5", "Text_Opt_Money_5=-500"});
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("本店のデータを修正します。")});
    QCOMPARE(shopRowCount(t), 3);
    row = shopRow(t, QStringLiteral("本店"));
    QCOMPARE(row.value(QStringLiteral("C1料金1")).toInt(), 11000);
    QVERIFY(row.value(QStringLiteral("OP4名")).isNull());
    QCOMPARE(row.value(QStringLiteral("警告時間")).toInt(), 15);
    QCOMPARE(row.value(QStringLiteral("OP3割合")).toInt(), 50);   // halves to even
    QCOMPARE(row.value(QStringLiteral("OP4割合")).toInt(), 52);
    QCOMPARE(row.value(QStringLiteral("OP6料金")).toInt(), -500);
    QCOMPARE(row.value(QStringLiteral("C4料金6")).toInt(), 4603);
    QCOMPARE(row.value(QStringLiteral("削除FLAG")).toInt(), 0);
    QCOMPARE(t.module().ShopWarnMinutes[2], qint16(15));
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), 2);
    QCOMPARE(f->Text_OneOpt_Rate[2]->text(), QStringLiteral("50"));   // reloaded from the store
    QCOMPARE(f->Text_Opt_Money[5]->text(), QStringLiteral("-500"));
    // The other shops are untouched.
    QCOMPARE(t.db().scalar(QStringLiteral("SELECT \"C1料金1\" FROM \"店舗\" WHERE \"店舗ID\"=?;"), {first}).toInt(), 10000);

    // Cancel writes nothing.
    t.prompt().clear();
    f->Text_Money[0]->setText(QStringLiteral("12,000"));
    t.prompt().answer(Answer::Cancel);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("本店のデータを修正します。")});
    QCOMPARE(shopRow(t, QStringLiteral("本店")).value(QStringLiteral("C1料金1")).toInt(), 11000);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::storeFailureShowsCommonError_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("error");   // what the common error box starts with

    // Values the store cannot take are refused by the field checks before anything is written, so
    // the store's own failure is injected here.
    QTest::newRow("new: the insert fails") << false << QStringList{"Text_Money_0=1200"} << QStringLiteral("Error!!  ");
    QTest::newRow("existing: the update fails") << true << QStringList{"Text_Can_Rate=40"} << QStringLiteral("Error!!  ");
}

void TestShopEditor::storeFailureShowsCommonError()
{
    QFETCH(bool, existing);
    QFETCH(QStringList, edits);
    QFETCH(QString, error);

    TestApp t;
    QVERIFY(t.start());
    if (existing) {
        t.addShop(QStringLiteral("既存店"));
        t.module().LoadShopList();
    }
    Form_ShopData *f = openEditor(t);
    if (existing) {
        chooseShop(f, 0);
    } else {
        typeShopName(f, QStringLiteral("検査店"));
        fillValidTariff(f);
    }
    applyEdits(f, edits);
    t.prompt().answer(Answer::Ok);
    t.db().failNthWrite(1);
    f->Cmd_Regist->click();
    t.db().failNthWrite(0);
    const QStringList messages = t.prompt().messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0], existing ? QStringLiteral("既存店のデータを修正します。") : QStringLiteral("検査店のデータを登録します。"));
    QVERIFY2(messages[1].startsWith(error), qPrintable(messages[1]));
    QVERIFY(messages[1].contains(QStringLiteral("  Error No.= ")));
    QVERIFY(t.prompt().unexpected().isEmpty());
    QCOMPARE(shopRowCount(t), existing ? 1 : 0);
    if (existing)
        QCOMPARE(shopRow(t, QStringLiteral("既存店")).value(QStringLiteral("キャンセル割合")).toInt(), 50);
}

void TestShopEditor::quotesRoundTrip()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    const QString name = QStringLiteral("Bob's \"Bar\"");
    typeShopName(f, name);
    fillValidTariff(f);
    applyEdits(f, {"Text_Course_0=It's", "Text_Minute_0=60'", "Text_Opt_Name_4=O'Neil's'); --"});
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{name + QStringLiteral("のデータを登録します。")});

    Row row = shopRow(t, name);
    QVERIFY(!row.isEmpty());
    QCOMPARE(row.value(QStringLiteral("C1名")).toString(), QStringLiteral("It's"));
    QCOMPARE(row.value(QStringLiteral("C1時間1")).toString(), QStringLiteral("60'"));
    QCOMPARE(row.value(QStringLiteral("OP5名")).toString(), QStringLiteral("O'Neil's'); --"));
    QCOMPARE(t.module().ShopNames, QStringList{name});
    QCOMPARE(f->Text_Opt_Name[4]->text(), QStringLiteral("O'Neil's'); --"));

    // Changed and stored again under the same name.
    t.prompt().clear();
    f->Text_Course[0]->setText(QStringLiteral("a'b"));
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{name + QStringLiteral("のデータを修正します。")});
    QCOMPARE(shopRow(t, name).value(QStringLiteral("C1名")).toString(), QStringLiteral("a'b"));

    // And deleted by it.
    t.prompt().clear();
    t.prompt().answer(Answer::Ok);
    f->Cmd_Del->click();
    QCOMPARE(t.prompt().messages(), QStringList{name + QStringLiteral("の店舗データを削除します。")});
    QCOMPARE(shopRow(t, name).value(QStringLiteral("削除FLAG")).toInt(), 1);
    QCOMPARE(t.module().ShopCount, 0);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::sixthShopRefused()
{
    TestApp t;
    QVERIFY(t.start());
    for (int i = 1; i <= MaxShops; ++i)
        t.addShop(QStringLiteral("店%1").arg(i));
    t.module().LoadShopList();
    QCOMPARE(t.module().ShopCount, MaxShops);
    Form_ShopData *f = openEditor(t);

    typeShopName(f, QStringLiteral("六番目"));
    QVERIFY(f->IsNewShop);
    fillValidTariff(f);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("登録できる店舗は５店舗までです。")});
    QVERIFY(t.prompt().unexpected().isEmpty());
    QCOMPARE(shopRowCount(t), MaxShops);

    // The shops there are can still be changed.
    t.prompt().clear();
    chooseShop(f, MaxShops - 1);
    f->Text_WarningTime->setText(QStringLiteral("20"));
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("店5のデータを修正します。")});
    QCOMPARE(shopRow(t, QStringLiteral("店5")).value(QStringLiteral("警告時間")).toInt(), 20);

    // Once one is deleted, a new one fits again.
    t.prompt().clear();
    chooseShop(f, 0);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Del->click();
    typeShopName(f, QStringLiteral("六番目"));
    fillValidTariff(f);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QCOMPARE(t.prompt().lastMessage(), QStringLiteral("六番目のデータを登録します。"));
    QCOMPARE(t.module().ShopCount, MaxShops);
    QCOMPARE(t.module().ShopNames.constLast(), QStringLiteral("六番目"));
    QVERIFY(t.prompt().unexpected().isEmpty());
}

void TestShopEditor::registeredShopAppearsInOtherWindows()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("既存"));
    t.module().LoadShopList();
    Form_ShopData *f = openEditor(t);
    typeShopName(f, QStringLiteral("新店"));
    fillValidTariff(f);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Regist->click();
    QVERIFY(t.prompt().unexpected().isEmpty());

    QComboBox *board = t.board().Combo_Shop_Name;
    QCOMPARE(board->count(), 2);
    QCOMPARE(board->itemText(1), QStringLiteral("新店"));
    Form_GirlData *girls = t.app().girlForm();
    QCOMPARE(girls->Label_Shop[1]->text(), QStringLiteral("新店"));
    QVERIFY(!girls->Label_Shop[1]->isHidden());
    QVERIFY(girls->Label_Shop[2]->isHidden());
    QCOMPARE(t.module().ShopIDs[1], shopRow(t, QStringLiteral("新店")).value(QStringLiteral("店舗ID")).toInt());
}

// --- Deleting ----------------------------------------------------------------------------------

void TestShopEditor::deleteShiftsCompanionSlots_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("first shop") << 0;
    QTest::newRow("middle shop") << 2;
    QTest::newRow("last shop") << MaxShops - 1;
}

void TestShopEditor::deleteShiftsCompanionSlots()
{
    QFETCH(int, position);

    TestApp t;
    QVERIFY(t.start());
    const QStringList shopNames{QStringLiteral("A店"), QStringLiteral("B店"), QStringLiteral("C店"), QStringLiteral("D店"),
                                QStringLiteral("E店")};
    QVector<qint32> ids;
    for (const QString &n : shopNames)
        ids << t.addShop(n);
    t.module().LoadShopList();
    const QVector<QString> names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                                 QStringLiteral("e")};
    const QVector<int> options{1, 2, 4, 8, 16};
    const qint32 everywhere = t.addCompanion(QStringLiteral("全店"), names, options);
    const qint32 elsewhere = t.addCompanion(QStringLiteral("他店"), names, options);
    t.db().exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"店舗%1ID\"=NULL,\"名前%1\"=NULL,\"オプション%1\"=0 WHERE \"コンパニオンID\"=?;")
                    .arg(position + 1),
                {elsewhere});
    const qint32 deleted = t.addCompanion(QStringLiteral("退店"), names, options);
    t.db().exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"削除FLAG\"=1 WHERE \"コンパニオンID\"=?;"), {deleted});
    t.module().LoadCompanionList();
    for (const qint32 c : {everywhere, elsewhere})
        t.module().SyncStatusRows(c);
    QCOMPARE(statusRows(t, ids[position]), 1);
    const QList<QStringList> before = companionTable(t);
    const QString beyond = slotText(t, everywhere, MaxShops + 1);

    Form_ShopData *f = openEditor(t);
    chooseShop(f, position);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Del->click();
    QCOMPARE(t.prompt().messages(), QStringList{shopNames[position] + QStringLiteral("の店舗データを削除します。")});
    QVERIFY(t.prompt().unexpected().isEmpty());

    // Marked, not removed.
    QCOMPARE(shopRowCount(t), MaxShops);
    QCOMPARE(shopRow(t, shopNames[position]).value(QStringLiteral("削除FLAG")).toInt(), 1);

    // The later slots moved down one place; the last became empty.
    QStringList expected;
    for (int s = 0; s < MaxShops; ++s)
        if (s != position)
            expected << QStringLiteral("%1|%2|%3").arg(ids[s]).arg(names[s]).arg(options[s]);
    expected << QStringLiteral("NULL|NULL|0");
    QStringList actual;
    for (int s = 1; s <= MaxShops; ++s)
        actual << slotText(t, everywhere, s);
    QCOMPARE(actual, expected);
    QCOMPARE(slotText(t, everywhere, MaxShops + 1), beyond);

    // Companions without the shop, and deleted ones, are left alone.
    const QList<QStringList> after = companionTable(t);
    QCOMPARE(after[1], before[1]);
    QCOMPARE(after[2], before[2]);

    // The remaining shops take positions 0 onwards and still match the slots.
    QCOMPARE(t.module().ShopCount, MaxShops - 1);
    for (int p = 0; p < t.module().ShopCount; ++p)
        QCOMPARE(slotText(t, everywhere, p + 1).section(QLatin1Char('|'), 0, 0), QString::number(t.module().ShopIDs[p]));
    QCOMPARE(t.board().Combo_Shop_Name->count(), MaxShops - 1);

    // The shop's rows of the status table are gone, the others stay.
    QCOMPARE(statusRows(t, ids[position]), 0);
    QCOMPARE(statusRows(t, ids[(position + 1) % MaxShops]), 2);

    // The window starts over.
    QCOMPARE(f->Combo_Shop_Name->currentText(), ShopPrompt);
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), -1);
    QVERIFY(!f->IsNewShop);
    QVERIFY(allEntryBoxesEmpty(f));
}

void TestShopEditor::deleteFailureLeavesCompanionsUnchanged()
{
    TestApp t;
    QVERIFY(t.start());
    const qint32 a = t.addShop(QStringLiteral("A店"));
    const qint32 b = t.addShop(QStringLiteral("B店"));
    t.module().LoadShopList();
    const qint32 first = t.addCompanion(QStringLiteral("一"), {QStringLiteral("a1"), QStringLiteral("b1")}, {1, 2});
    const qint32 second = t.addCompanion(QStringLiteral("二"), {QStringLiteral("a2"), QStringLiteral("b2")}, {3, 4});
    t.addCompanion(QStringLiteral("三"), {QStringLiteral("a3"), QString()}, {5, 0});
    t.module().LoadCompanionList();
    t.module().SyncStatusRows(first);
    QCOMPARE(statusRows(t, a), 1);
    // The second companion's row cannot be changed: the first one is changed before it fails.
    if (rp::test::OnPostgres()) {
        t.db().exec(QStringLiteral("CREATE FUNCTION shop_test_block() RETURNS trigger LANGUAGE plpgsql AS "
                                   "$$ BEGIN RAISE EXCEPTION 'locked for test'; END $$;"));
        t.db().exec(QStringLiteral("CREATE TRIGGER shop_test_block BEFORE UPDATE ON \"コンパニオン\" FOR EACH ROW "
                                   "WHEN (OLD.\"コンパニオンID\"=%1) EXECUTE FUNCTION shop_test_block();")
                        .arg(second));
    } else {
        t.db().exec(QStringLiteral("CREATE TRIGGER shop_test_block BEFORE UPDATE ON \"コンパニオン\" WHEN OLD.\"コンパニオンID\"=%1 "
                                   "BEGIN SELECT RAISE(ABORT,'locked for test'); END;")
                        .arg(second));
    }
    const QList<QStringList> before = companionTable(t);

    Form_ShopData *f = openEditor(t);
    chooseShop(f, 0);
    t.prompt().answer(Answer::Ok);
    f->Cmd_Del->click();
    const QStringList messages = t.prompt().messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0], QStringLiteral("A店の店舗データを削除します。"));
    QVERIFY2(messages[1].startsWith(QStringLiteral("Error!!  ")) && messages[1].contains(QStringLiteral("locked for test"))
                 && messages[1].contains(QStringLiteral("  Error No.= ")),
             qPrintable(messages[1]));
    QVERIFY(t.prompt().unexpected().isEmpty());

    QCOMPARE(companionTable(t), before);
    QVERIFY(!t.db().inTransaction());
    // The deletion is one action: nothing of it is left, and the window still shows the shop.
    QCOMPARE(shopRow(t, QStringLiteral("A店")).value(QStringLiteral("削除FLAG")).toInt(), 0);
    QCOMPARE(statusRows(t, a), 1);
    QCOMPARE(t.module().ShopCount, 2);
    QCOMPARE(t.module().ShopIDs[1], b);
    QCOMPARE(f->Combo_Shop_Name->currentText(), QStringLiteral("A店"));
}

void TestShopEditor::deleteNeedsAListedShopAndOk()
{
    TestApp t;
    QVERIFY(t.start());
    t.addShop(QStringLiteral("A店"));
    t.module().LoadShopList();
    Form_ShopData *f = openEditor(t);

    f->Cmd_Del->click();                        // the prompt
    typeShopName(f, QStringLiteral("新店"));   // a typed name
    f->Cmd_Del->click();
    chooseShop(f, 0);                           // a shop whose name was then typed over
    f->Combo_Shop_Name->setEditText(QStringLiteral("A店2"));
    f->Cmd_Del->click();
    QVERIFY(t.prompt().shown().isEmpty());

    chooseShop(f, 0);
    t.prompt().answer(Answer::Cancel);
    f->Cmd_Del->click();
    QCOMPARE(t.prompt().messages(), QStringList{QStringLiteral("A店の店舗データを削除します。")});
    QCOMPARE(shopRow(t, QStringLiteral("A店")).value(QStringLiteral("削除FLAG")).toInt(), 0);
    QCOMPARE(t.module().ShopCount, 1);
    QCOMPARE(f->Combo_Shop_Name->currentIndex(), 0);
    QVERIFY(t.prompt().unexpected().isEmpty());
}

// --- Layout ------------------------------------------------------------------------------------

void TestShopEditor::windowFitsTheScreen()
{
    TestApp t;
    QVERIFY(t.start());
    Form_ShopData *f = openEditor(t);
    f->Combo_Shop_Name->setEditText(QString(15, QChar(0x5E97)));
    f->adjustSize();
    QApplication::processEvents();
    QVERIFY2(f->width() <= 1340 && f->height() <= 700,
             qPrintable(QStringLiteral("%1x%2").arg(f->width()).arg(f->height())));

    // No caption is cut.
    for (QLabel *l : f->findChildren<QLabel *>())
        if (l->isVisible())
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->objectName()));
    for (QPushButton *b : f->findChildren<QPushButton *>())
        QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
    for (QGroupBox *g : f->findChildren<QGroupBox *>())
        QVERIFY2(g->width() >= g->fontMetrics().horizontalAdvance(g->title()), qPrintable(g->objectName()));

    // Every box shows the widest text it accepts.
    for (QLineEdit *b : entryBoxes(f)) {
        QString widest;
        switch (*f->fieldOf(b)) {
        case ShopField::CourseName:
        case ShopField::OptionName: widest = QString(8, QChar(0x5E97)); break;
        case ShopField::Duration: widest = QString(4, QChar(0x5E97)); break;
        case ShopField::CoursePrice: widest = QStringLiteral("999,999"); break;
        case ShopField::Fee: widest = QStringLiteral("99,999"); break;
        case ShopField::Rate: widest = QStringLiteral("100"); break;
        case ShopField::Minutes: widest = QStringLiteral("999"); break;
        }
        b->setText(widest);
        QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
        QVERIFY2(b->contentsRect().width() - 4 >= b->fontMetrics().horizontalAdvance(widest), qPrintable(b->objectName()));
    }
    QVERIFY(f->Combo_Shop_Name->width() >= f->fontMetrics().horizontalAdvance(QString(15, QChar(0x5E97))));

    // The lead's screenshots: written only when asked for.
    const QString shots = qEnvironmentVariable("ROSTERPAD_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        QVERIFY(f->grab().save(QDir(shots).filePath(QStringLiteral("Form_ShopData.png"))));
}

QTEST_MAIN(TestShopEditor)
#include "test_shopeditor.moc"
