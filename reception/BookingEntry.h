#pragma once

#include "data/Money.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace rp {

// A booking as it was registered, ready to be shown in the entry area again. The amounts are the
// stored ones: showing the booking never re-prices it, so the operator sees what was charged until
// a priced control is changed.
struct StoredEntry
{
    QString shopName, companionName, companionId, date, start, end, place, course;
    std::optional<int> extension;
    bool nomination = false, cancelled = false;
    qint16 offeredMask = 0, selectedMask = 0;
    Money pay, girlPay;
};

// The entry area's start and end times and its extension, as the end-time rules see them. The end
// follows start, course and extension so that end - start stays what they and any manual edit made it.
struct EntryTimes
{
    QString start;              // the start box as typed
    QString end;                // the end box
    QString validStart;         // the start the end was last placed from: never a refused text
    int extension = 0;          // the spinner's value
    qint16 previousExtension = 0;   // the spinner value the end already counts

    // The box gets the focus: a time it holds now was accepted (or set by the program).
    void startFocused();
    // The start box loses the focus: half-width, then checked; a new start moves the end by as much
    // as the start moved. False when the text is not a time (the box keeps its half-width text).
    bool startLeft();
    // The end box loses the focus: half-width, then checked. False when the text is not a time.
    bool endLeft();
    // A course line of `minutes` chosen: end = start + course + extension. Minutes 0 (a duration that
    // is not a number) or a start that is not a time leave the end as it is.
    void courseChosen(int minutes);
    // The spinner moved to `value`: the end moves by the change since the last counted value.
    // Without a start time nothing is counted yet.
    void extensionChanged(int value);
};

// "時刻を２４時制で入力してください。(PM10:00 --> 22:00)"
QString TimeMessage();

} // namespace rp
