#include "data/Printing.h"

#include <QBuffer>
#include <cctype>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QHash>
#include <QPrinter>
#include <QRawFont>
#include <QSaveFile>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

namespace rp {

namespace {

PrintService *&installed()
{
    static PrintService *service = nullptr;
    return service;
}

constexpr qreal MarginMm = 14;

QFont paperFont()
{
    QFont font(QStringLiteral("Noto Sans CJK JP"), 9);
    font.setStyleHint(QFont::SansSerif);
    // Shaping would put alternate glyphs for the digits in Latin runs ("A..60"), which the PDF writer
    // cannot name: they would be missing from the file's text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The ideograph that shares its glyph with each radical in the paper font; where the font keeps them
// apart, the radical's compatibility form.
const QHash<ushort, ushort> &radicalIdeographs()
{
    static const QHash<ushort, ushort> map = [] {
        QHash<ushort, ushort> out;
        const QRawFont raw = QRawFont::fromFont(paperFont());
        QHash<quint32, ushort> byGlyph;
        if (raw.isValid()) {
            QString ideographs;
            for (uint u = 0x4E00; u <= 0x9FFF; ++u)
                ideographs += QChar(char16_t(u));
            const QList<quint32> glyphs = raw.glyphIndexesForString(ideographs);
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                if (glyphs[i] != 0 && !byGlyph.contains(glyphs[i]))
                    byGlyph.insert(glyphs[i], ushort(0x4E00 + i));
        }
        for (uint r = 0x2E80; r <= 0x2FDF; ++r) {
            const QString radical = QString(QChar(char16_t(r)));
            const QList<quint32> glyph = raw.isValid() ? raw.glyphIndexesForString(radical) : QList<quint32>();
            if (!glyph.isEmpty() && glyph.first() != 0 && byGlyph.contains(glyph.first())) {
                out.insert(ushort(r), byGlyph.value(glyph.first()));
                continue;
            }
            const QString unified = radical.normalized(QString::NormalizationForm_KC);
            if (unified.size() == 1 && unified != radical)
                out.insert(ushort(r), unified.at(0).unicode());
        }
        return out;
    }();
    return map;
}

bool isHex4(const QByteArray &b, qsizetype at)
{
    if (at + 6 > b.size() || b[at] != '<' || b[at + 5] != '>')
        return false;
    for (int i = 1; i <= 4; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(b[at + i])))
            return false;
    return true;
}

} // namespace

bool DialogPrintService::choose(QWidget *parent, QPrinter &printer, const QString &title)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

PrintService &Printing()
{
    static DialogPrintService real;
    return installed() ? *installed() : real;
}

void InstallPrinting(PrintService *service) { installed() = service; }

void SetA4(QPagedPaintDevice &device, bool landscape)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter));
}

bool PrintSections(const QStringList &sections, QPagedPaintDevice *device)
{
    QPainter painter(device);
    if (!painter.isActive())
        return false;
    // The rich text's sizes (cell padding, borders, points) mean a 96 dpi page; it is laid out so and
    // scaled to the device.
    QImage layoutDevice(1, 1, QImage::Format_RGB32);
    layoutDevice.setDotsPerMeterX(3780);
    layoutDevice.setDotsPerMeterY(3780);
    const qreal scale = qreal(device->logicalDpiY()) / 96.0;
    const QFont footFont = paperFont();
    const qreal footHeight = QFontMetricsF(footFont, &layoutDevice).height() * 2;
    const QSizeF page(device->width() / scale, device->height() / scale - footHeight);
    int pageNo = 0;
    for (const QString &html : sections) {
        // One document per section: each starts a page of its own, and none is laid out with the others.
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&layoutDevice);
        doc.setDefaultFont(paperFont());
        doc.setHtml(html);
        doc.setPageSize(page);
        for (int i = 0; i < doc.pageCount(); ++i) {
            if (pageNo++ > 0 && !device->newPage())
                return false;
            // The page number in the device's own units (its font is sized for the device already).
            painter.setFont(footFont);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, page.height() * scale, device->width(), footHeight * scale), Qt::AlignCenter,
                             QString::number(pageNo));
            painter.save();
            painter.scale(scale, scale);
            painter.translate(0, -i * page.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(0, i * page.height(), page.width(), page.height());
            context.palette.setColor(QPalette::Text, Qt::black);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    return painter.end();
}

bool PrintSections(const QStringList &sections, QPrinter &printer)
{
    if (!PrintSections(sections, static_cast<QPagedPaintDevice *>(&printer)))
        return false;
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return true;
    QFile file(printer.outputFileName());
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray pdf = file.readAll();
    if (pdf.isEmpty())
        return false;
    FixPdfText(pdf);
    file.seek(0);
    return file.write(pdf) == pdf.size() && file.flush();
}

bool WritePdf(const QStringList &sections, const QString &path, bool landscape, QString *error)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("rosterpad"));
        writer.setResolution(300);
        SetA4(writer, landscape);
        PrintSections(sections, &writer);
    }
    FixPdfText(pdf);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("PDFファイルを書き込めません: ") + path + QStringLiteral(" (") + file.errorString()
                + QLatin1Char(')');
        return false;
    }
    return true;
}

void FixPdfText(QByteArray &pdf)
{
    // Only the destinations inside the ToUnicode maps' bfrange arrays and bfchar pairs are touched;
    // each is replaced by a code of the same four hex digits.
    qsizetype from = 0;
    for (;;) {
        const qsizetype begin = pdf.indexOf("beginbf", from);
        if (begin < 0)
            return;
        const bool ranges = pdf.mid(begin, 12) == "beginbfrange";
        const qsizetype end = pdf.indexOf(ranges ? "endbfrange" : "endbfchar", begin);
        if (end < 0)
            return;
        bool inArray = false;
        int onLine = 0;   // hex codes seen on the current line (bfchar: the second is the destination)
        for (qsizetype i = begin; i < end; ++i) {
            const char c = pdf[i];
            if (c == '\n') {
                onLine = 0;
                continue;
            }
            if (c == '[')
                inArray = true;
            else if (c == ']')
                inArray = false;
            if (!isHex4(pdf, i))
                continue;
            ++onLine;
            const bool destination = ranges ? inArray : onLine == 2;
            if (destination) {
                const ushort code = ushort(pdf.mid(i + 1, 4).toUShort(nullptr, 16));
                if (const ushort unified = radicalIdeographs().value(code))
                    pdf.replace(i + 1, 4, QByteArray::number(unified, 16).toUpper().rightJustified(4, '0'));
            }
            i += 5;
        }
        from = end;
    }
}

} // namespace rp
