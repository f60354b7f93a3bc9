#pragma once

#include "sales/NightCloseStore.h"

#include <QDate>
#include <QString>

class QPrinter;

namespace rp {

class Database;

// The night close on screen and on paper: one payout slip per companion (each on a page of its own on
// paper), and the day's summary per shop and per companion with the day's totals.
enum class NightClosePages {
    Companion,       // one companion's slip
    AllCompanions,   // every companion's slip
    Summary,         // the day's summary
    Everything       // every slip, then the summary
};

// "2026/12/08（火）"
QString BusinessDayText(const QDate &day);

// How her pay came out of one charge: "コース A..60 20,000 × 65% = 13,000" (her share; a surcharge is
// named: "× 65%（割増5%）").
QString ChargeText(const StoredCharge &line);
// Said on the slip of a booking whose charges were not kept (registered before they were).
QString TotalsOnlyNote();

// A booking's line on the slip: shop, customer, start-end, course, options, extension, nomination (○),
// cancellation (○), takings, her pay, the shop's share.
QStringList BookingCells(const NightCloseBooking &booking);

// The pages in HTML, a section per slip and one for the summary (each starts a page on paper);
// companionId picks the slip for NightClosePages::Companion.
QStringList NightCloseSections(const NightClose &close, NightClosePages pages, qint32 companionId = 0);
// The same sections as one HTML text.
QString NightCloseHtml(const NightClose &close, NightClosePages pages, qint32 companionId = 0);

// Prints the pages on a printer set up for them (SetA4, then the print dialog); a PDF file as the
// printer gets real text. False when that file was not written.
bool PrintNightClose(const NightClose &close, NightClosePages pages, qint32 companionId, QPrinter &printer);

// The night close of a business day, every slip and the summary, as a PDF file on A4 (each companion's
// 源氏名 and her pay total "#,##0" in its text). Over the listed shops, as the sales window counts. The
// file is written completely or not at all; false with a Japanese message in error otherwise.
bool WriteNightClosePdf(Database &db, const QDate &day, const QString &path, QString *error);

} // namespace rp
