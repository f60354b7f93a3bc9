#pragma once

#include "data/Money.h"

#include <QDate>
#include <QString>
#include <QVector>

class QPrinter;

namespace rp {

class Database;

// The option sheet of a shop: the shop's options with their prices, and for every companion who works
// there the options she offers at that shop (her オプションn at the shop's slot), as stored.
struct OptionSheet
{
    struct Option
    {
        int number = 0;   // 1..15
        QString name;
        Money price;
    };
    struct Companion
    {
        QString genji, name;   // 源氏名 and her name at this shop
        qint16 mask = 0;
        bool offers(int number) const { return (quint16(mask) >> (number - 1)) & 1u; }
    };
    QString shopName;
    QDate made;
    QVector<Option> options;         // the named options, by number
    QVector<Companion> companions;   // in the register's order
};

// The shop at list position slot - 1 (its companions' slot); throws AppError.
OptionSheet LoadOptionSheet(Database &db, qint32 shopId, int slot, const QDate &made);

QString OptionSheetHtml(const OptionSheet &sheet);
// On a printer set up for it (SetA4 landscape, then the print dialog); false when a PDF file chosen
// as the printer was not written.
bool PrintOptionSheet(const OptionSheet &sheet, QPrinter &printer);

} // namespace rp
