#pragma once

#include "data/Printing.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace rp::test {

// Answers the print dialog without showing it: the printer chosen is a PDF file (or the dialog is
// cancelled). Installed for the lifetime of the object; every dialog's title is recorded.
class ScriptedPrinter : public PrintService
{
public:
    ScriptedPrinter() { InstallPrinting(this); }
    ~ScriptedPrinter() override { InstallPrinting(nullptr); }

    QString pdfPath;          // where the next print goes
    bool cancel = false;
    QStringList titles;

    bool choose(QWidget *, QPrinter &printer, const QString &title) override
    {
        titles << title;
        if (cancel)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
};

// The PDF tools of poppler-utils, as a reader sees the file: its page count and its text.
inline bool PdfToolsInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString RunTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int PdfPages(const QString &path)
{
    for (const QString &line : RunTool(QStringLiteral("pdfinfo"), {path}).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The text of one page (1-based), or of the whole file with page 0.
inline QString PdfText(const QString &path, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << QStringLiteral("-layout") << path << QStringLiteral("-");
    return RunTool(QStringLiteral("pdftotext"), args);
}

} // namespace rp::test
