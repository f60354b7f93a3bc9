#pragma once

#include <QString>
#include <exception>

namespace rp {

// A failure of an operation, carried to the handler that reports it with the common error box.
// Store failures keep the engine's own code and text; conversion failures use the classic runtime numbers.
class AppError : public std::exception
{
public:
    AppError(int number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8()) {}

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    static constexpr int TypeMismatch = 13;
    static constexpr int Overflow = 6;
    static constexpr int FileNotFound = 53;
    static constexpr int PathFileAccess = 75;
    static constexpr int NotADatabase = 3343;
    // Another PC changed what this one showed before this one could write: nothing was written, and the
    // description is the operator's message.
    static constexpr int ChangedElsewhere = 3197;

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace rp
