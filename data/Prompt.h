#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class QWidget;

namespace rp {

class AppError;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogSpec
{
    bool save = true;              // save dialog, else open dialog
    QString title;
    QString filter;                // "name(*.ext)|*.ext|..." pairs, as the menus give them
    QString defaultSuffix;         // without the dot
    QString initialPath;
    bool confirmOverwrite = true;  // save only
};

// A choice from a list of lines, each shown in columns.
struct ChoiceSpec
{
    QString title;                 // empty: the application's title
    QString text;                  // what is asked, above the list
    QStringList headers;           // one caption per column
    QVector<QStringList> rows;     // one line per choice
    QString otherButton;           // when set, a button that stands for "none of these, something else"
};
// What choose() returns for the other button.
constexpr int OtherChoice = -2;

// Every message box, input box and file dialog of the program goes through the installed service,
// so that tests can answer them and see what the operator would have been told.
class PromptService
{
public:
    virtual ~PromptService() = default;
    // title empty: the application's title
    virtual Answer message(QWidget *parent, const QString &text, Buttons buttons, const QString &title = {}) = 0;
    // nullopt: cancelled
    virtual std::optional<QString> input(QWidget *parent, const QString &title, const QString &prompt,
                                         const QString &initial = {}) = 0;
    // nullopt: cancelled
    virtual std::optional<QString> fileName(QWidget *parent, const FileDialogSpec &spec) = 0;
    // nullopt: cancelled; otherwise the index of the line chosen, or OtherChoice
    virtual std::optional<int> choose(QWidget *parent, const ChoiceSpec &spec) = 0;
};

// The real dialogs: application title, Japanese standard buttons.
class DialogPromptService : public PromptService
{
public:
    Answer message(QWidget *parent, const QString &text, Buttons buttons, const QString &title = {}) override;
    std::optional<QString> input(QWidget *parent, const QString &title, const QString &prompt,
                                 const QString &initial = {}) override;
    std::optional<QString> fileName(QWidget *parent, const FileDialogSpec &spec) override;
    std::optional<int> choose(QWidget *parent, const ChoiceSpec &spec) override;
};

PromptService &Prompt();
void InstallPrompt(PromptService *service);   // nullptr puts the real dialogs back

// Short forms used everywhere.
inline void Notice(QWidget *parent, const QString &text) { Prompt().message(parent, text, Buttons::Ok); }
inline bool AskOkCancel(QWidget *parent, const QString &text)
{
    return Prompt().message(parent, text, Buttons::OkCancel) == Answer::Ok;
}

// "Error!!  " + description + "  Error No.= " + number, OK only, application title.
QString CommonErrorText(const AppError &error);
void ShowCommonError(QWidget *parent, const AppError &error);

QString AppTitle();
QString AppVersionText();   // "major.minor.revision"

} // namespace rp
