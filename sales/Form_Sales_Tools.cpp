// The sales window's way out to the charts and to a CSV file of the history.
#include "app/WorkProgress.h"
#include "data/Clock.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "sales/Form_Sales.h"
#include "sales/Form_SalesChart.h"
#include "sales/HistoryCsv.h"

#include <QDir>
#include <QFileInfo>

namespace rp {

namespace {

const QString CsvTitle = QStringLiteral("CSV出力");
const QString PeriodForms = QStringLiteral("（入力形式：YY/MM/DD、YY/MM、YY、または YY/MM/DD-YY/MM/DD）");

FileDialogSpec csvDialog(const QString &initialPath)
{
    FileDialogSpec dialog;
    dialog.save = true;
    dialog.title = QStringLiteral("履歴をCSVファイルに出力");
    dialog.filter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.initialPath = initialPath;
    dialog.confirmOverwrite = true;
    return dialog;
}

} // namespace

void Form_Sales::Cmd_Chart_Click()
{
    if (!m_chartForm)
        m_chartForm = new Form_SalesChart(m_module, this);
    m_chartForm->setInitialShop(pickedShop(Combo_Shop_Name));
    m_chartForm->showModal();
}

void Form_Sales::Cmd_Csv_Click()
{
    const QDate today = Clock::now().date();
    const std::optional<QString> typed =
        Prompt().input(this, CsvTitle, QStringLiteral("出力する期間を入力してください。\r\n") + PeriodForms,
                       today.toString(QStringLiteral("yy/MM")));
    if (!typed || typed->isEmpty())
        return;
    const std::optional<Period> period = ReadExportPeriod(*typed);
    if (!period) {
        Notice(this, QStringLiteral("期間を入力してください。") + PeriodForms);
        return;
    }

    // All shops, or one of the listed shops.
    ChoiceSpec shops;
    shops.title = CsvTitle;
    shops.text = QStringLiteral("出力する店舗を選んでください。");
    shops.headers = {QStringLiteral("店舗")};
    shops.rows = {{QStringLiteral("全店舗")}};
    for (int p = 0; p < m_module.ShopCount; ++p)
        shops.rows << QStringList{m_module.ShopNames.value(p)};
    const std::optional<int> choice = Prompt().choose(this, shops);
    if (!choice || *choice < 0 || *choice > m_module.ShopCount)
        return;
    const std::optional<qint32> shop =
        *choice == 0 ? std::nullopt : std::optional<qint32>(m_module.ShopIDs[*choice - 1]);

    const QString suggested = m_csvFileName.isEmpty()
        ? QStringLiteral("履歴_%1-%2.csv")
              .arg(period->first.toString(QStringLiteral("yyyyMMdd")), period->last.toString(QStringLiteral("yyyyMMdd")))
        : m_csvFileName;
    const std::optional<QString> path = Prompt().fileName(this, csvDialog(suggested));
    if (!path || path->isEmpty())
        return;
    m_csvFileName = *path;

    ExportResult result;
    try {
        WorkProgress progress(this, QStringLiteral("履歴をCSVファイルに出力しています・・・"), WorkProgress::Cancel::Allowed);
        result = ExportHistoryCsv(m_module.AppDatabase, *period, shop, *path, progress.callback());
    } catch (const AppError &error) {
        ShowCommonError(this, error);
        return;
    }
    if (!result.written) {
        Notice(this, QStringLiteral("CSV出力を中止しました。ファイルは書き込んでいません。"));
        return;
    }
    Notice(this, QStringLiteral("%1件の履歴を出力しました。\r\n%2")
                     .arg(FormatNumber(double(result.rows)), QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath())));
}

} // namespace rp
