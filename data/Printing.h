#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace rp {

// The print dialog goes through the installed service, as message boxes go through Prompt(), so that
// tests choose a printer (a PDF file) without a dialog on the screen.
class PrintService
{
public:
    virtual ~PrintService() = default;
    // Lets the operator choose the printer and its settings; false when cancelled.
    virtual bool choose(QWidget *parent, QPrinter &printer, const QString &title) = 0;
};

// Qt's print dialog (with its "print to file" choice for a PDF).
class DialogPrintService : public PrintService
{
public:
    bool choose(QWidget *parent, QPrinter &printer, const QString &title) override;
};

PrintService &Printing();
void InstallPrinting(PrintService *service);   // nullptr puts the real dialog back

// Paper: A4, portrait or landscape, with the margins the pages are laid out in.
void SetA4(QPagedPaintDevice &device, bool landscape = false);

// Prints pages described in HTML, in the Japanese paper font: each section starts a page of its own
// and runs on over as many as it needs; the page number stands at the foot. False when the device
// could not be painted on.
bool PrintSections(const QStringList &sections, QPagedPaintDevice *device);

// The same on a printer set up by the dialog. A PDF file chosen in the dialog gets its text put right
// (FixPdfText); false when that file was not written.
bool PrintSections(const QStringList &sections, QPrinter &printer);

// The sections as a PDF file on A4: written completely under the name, or not at all (error says why).
bool WritePdf(const QStringList &sections, const QString &path, bool landscape, QString *error);

// Qt's PDF writer names the glyph of an ideograph by the first character that has it, and the Japanese
// fonts share their glyphs with the Kangxi radicals: 氏 would be copied or searched as ⽒ (U+2F52), 日
// as ⽇. The text map of every font is put back to the ideographs, in place (the file keeps its length).
void FixPdfText(QByteArray &pdf);

} // namespace rp
