#pragma once

#include "data/Prompt.h"

#include <QQueue>
#include <QStringList>
#include <QVariant>

namespace rp::test {

// Answers the program's message boxes, input boxes and file dialogs from a queue, and records every
// one of them. A box that appears with no queued answer is recorded as unexpected and answered with
// its most cautious choice (Cancel, No, OK for a notice); tests check unexpected() at the end.
class ScriptedPrompt : public PromptService
{
public:
    struct Shown
    {
        QString kind;      // "message", "input", "file"
        QString text;      // message text, input prompt, dialog title
        QString title;
        Buttons buttons = Buttons::Ok;
        QVector<QStringList> rows;   // the lines offered by a choice
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    void answer(Answer a) { m_answers.enqueue(QVariant::fromValue(int(a))); }
    void answerText(const QString &text) { m_answers.enqueue(text); }
    void answerCancel() { m_answers.enqueue(QVariant()); }
    // The next choice takes this line (or OtherChoice).
    void answerChoice(int index) { m_answers.enqueue(QVariant::fromValue<qlonglong>(index)); }
    // Notices (OK-only boxes) are acknowledged without a queued answer.
    void setAutoAcknowledgeNotices(bool on) { m_autoNotices = on; }

    Answer message(QWidget *parent, const QString &text, Buttons buttons, const QString &title = {}) override;
    std::optional<QString> input(QWidget *parent, const QString &title, const QString &prompt,
                                 const QString &initial = {}) override;
    std::optional<QString> fileName(QWidget *parent, const FileDialogSpec &spec) override;
    std::optional<int> choose(QWidget *parent, const ChoiceSpec &spec) override;

    const QList<Shown> &shown() const { return m_shown; }
    QStringList messages() const;             // texts of the message boxes, in order
    QString lastMessage() const;
    const QStringList &unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return m_answers.size(); }
    void clear();

private:
    QQueue<QVariant> m_answers;
    QList<Shown> m_shown;
    QStringList m_unexpected;
    bool m_autoNotices = true;
};

} // namespace rp::test
