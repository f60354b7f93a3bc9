#include "support/ScriptedPrompt.h"

namespace rp::test {

namespace {
// Several programs in one test (two reception PCs) each have their own: the newest answers, and when it
// goes the one before it answers again.
QVector<ScriptedPrompt *> &installedOnes()
{
    static QVector<ScriptedPrompt *> stack;
    return stack;
}
} // namespace

ScriptedPrompt::ScriptedPrompt()
{
    installedOnes().append(this);
    InstallPrompt(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    installedOnes().removeOne(this);
    InstallPrompt(installedOnes().isEmpty() ? nullptr : installedOnes().last());
}

Answer ScriptedPrompt::message(QWidget *, const QString &text, Buttons buttons, const QString &title)
{
    m_shown.append({QStringLiteral("message"), text, title, buttons});
    if (buttons == Buttons::Ok && (m_autoNotices || m_answers.isEmpty())) {
        if (!m_autoNotices)
            m_unexpected << text;
        return Answer::Ok;
    }
    if (m_answers.isEmpty() || m_answers.head().typeId() != QMetaType::Int) {
        m_unexpected << text;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    return Answer(m_answers.dequeue().toInt());
}

std::optional<QString> ScriptedPrompt::input(QWidget *, const QString &title, const QString &prompt, const QString &)
{
    m_shown.append({QStringLiteral("input"), prompt, title, Buttons::OkCancel});
    if (m_answers.isEmpty() || (m_answers.head().isValid() && m_answers.head().typeId() != QMetaType::QString)) {
        m_unexpected << prompt;
        return std::nullopt;
    }
    const QVariant v = m_answers.dequeue();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

std::optional<QString> ScriptedPrompt::fileName(QWidget *, const FileDialogSpec &spec)
{
    m_shown.append({QStringLiteral("file"), spec.title, spec.title, Buttons::OkCancel});
    if (m_answers.isEmpty() || (m_answers.head().isValid() && m_answers.head().typeId() != QMetaType::QString)) {
        m_unexpected << spec.title;
        return std::nullopt;
    }
    const QVariant v = m_answers.dequeue();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

std::optional<int> ScriptedPrompt::choose(QWidget *, const ChoiceSpec &spec)
{
    m_shown.append({QStringLiteral("choice"), spec.text, spec.title, Buttons::OkCancel, spec.rows});
    if (m_answers.isEmpty() || (m_answers.head().isValid() && m_answers.head().typeId() != QMetaType::LongLong)) {
        m_unexpected << spec.text;
        return std::nullopt;
    }
    const QVariant v = m_answers.dequeue();
    if (!v.isValid())
        return std::nullopt;
    return int(v.toLongLong());
}

QStringList ScriptedPrompt::messages() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        if (s.kind == QLatin1String("message"))
            out << s.text;
    return out;
}

QString ScriptedPrompt::lastMessage() const
{
    const QStringList all = messages();
    return all.isEmpty() ? QString() : all.constLast();
}

void ScriptedPrompt::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_unexpected.clear();
}

} // namespace rp::test
