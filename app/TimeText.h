#pragma once

#include <QString>
#include <optional>

// Every time text of the program (call durations, the connection time, the
// maximum call time) is written and read in one fixed 24-hour format,
// two digits each: hh:mm:ss.
namespace TimeText {

// Reads "h:m:s" (or "h:m") as a time of day; each part may have blanks
// around it and one or two digits. Hours 0-23, minutes and seconds 0-59.
// Returns the seconds since midnight, or nothing when the text is no time.
std::optional<int> parseTimeOfDay(const QString &text);

// Seconds since midnight (0 .. 86399) as hh:mm:ss.
QString formatTimeOfDay(int seconds);

// The duration counters' text: the counter parts put together as
// "h:m:s" without leading zeros, read back as a time of day and written in
// the fixed format. Nothing when the counter is a day or more.
std::optional<QString> formatCounter(int hours, int minutes, int seconds);

// The current time of day, as the event log shows it.
QString now();

} // namespace TimeText
