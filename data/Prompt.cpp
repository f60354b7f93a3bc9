#include "data/Prompt.h"

#include "data/AppError.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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
