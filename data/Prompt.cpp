#include "data/Prompt.h"

#include "data/AppError.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace rp {

namespace {

PromptService *&installed()
{
    static PromptService *service = nullptr;
    return service;
}

QMessageBox::StandardButtons toStandard(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// "a|b|c|d" pairs become Qt's "a;;c" name filters (the names already carry their patterns).
QString toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        names << parts.at(i);
    return names.join(QStringLiteral(";;"));
}

} // namespace

Answer DialogPromptService::message(QWidget *parent, const QString &text, Buttons buttons, const QString &title)
{
    QMessageBox box(buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question,
                    title.isEmpty() ? AppTitle() : title, text, toStandard(buttons), parent);
    const struct { QMessageBox::StandardButton button; const char *text; } captions[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "キャンセル"},
        {QMessageBox::Yes, "はい(&Y)"},
        {QMessageBox::No, "いいえ(&N)"},
    };
    for (const auto &c : captions)
        if (QAbstractButton *b = box.button(c.button))
            b->setText(QString::fromUtf8(c.text));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> DialogPromptService::input(QWidget *parent, const QString &title, const QString &prompt,
                                                  const QString &initial)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title.isEmpty() ? AppTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> DialogPromptService::fileName(QWidget *parent, const FileDialogSpec &spec)
{
    QFileDialog dialog(parent, spec.title, spec.initialPath, toQtFilter(spec.filter));
    dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    if (spec.save && !spec.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<int> DialogPromptService::choose(QWidget *parent, const ChoiceSpec &spec)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ChoiceDialog"));
    dialog.setWindowTitle(spec.title.isEmpty() ? AppTitle() : spec.title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(spec.text, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *list = new QTreeWidget(&dialog);
    list->setObjectName(QStringLiteral("ChoiceList"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels(spec.headers);
    list->setAllColumnsShowFocus(true);
    for (const QStringList &row : spec.rows)
        list->addTopLevelItem(new QTreeWidgetItem(row));
    for (int c = 0; c < spec.headers.size(); ++c)
        list->resizeColumnToContents(c);
    list->setMinimumWidth(std::min(900, list->header()->length() + 40));
    if (!spec.rows.isEmpty())
        list->setCurrentItem(list->topLevelItem(0));
    layout->addWidget(list);

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    bool other = false;
    if (!spec.otherButton.isEmpty()) {
        QPushButton *more = buttons->addButton(spec.otherButton, QDialogButtonBox::ActionRole);
        QObject::connect(more, &QPushButton::clicked, &dialog, [&] {
            other = true;
            dialog.accept();
        });
    }
    ok->setDefault(true);
    ok->setEnabled(!spec.rows.isEmpty());
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (other)
        return OtherChoice;
    const int chosen = list->indexOfTopLevelItem(list->currentItem());
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
}

PromptService &Prompt()
{
    static DialogPromptService real;
    return installed() ? *installed() : real;
}

void InstallPrompt(PromptService *service) { installed() = service; }

QString CommonErrorText(const AppError &error)
{
    return QStringLiteral("Error!!  ") + error.description() + QStringLiteral("  Error No.= ")
        + QString::number(error.number());
}

void ShowCommonError(QWidget *parent, const AppError &error)
{
    Prompt().message(parent, CommonErrorText(error), Buttons::Ok);
}

QString AppTitle() { return QStringLiteral("rosterpad"); }

QString AppVersionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(ROSTERPAD_VERSION_MAJOR)
        .arg(ROSTERPAD_VERSION_MINOR)
        .arg(ROSTERPAD_VERSION_PATCH);
}

} // namespace rp
