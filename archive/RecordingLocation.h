#pragma once

#include <QString>

// Where a stored recording path is found on this computer: the directory
// level named by the year marks where the recordings directory takes over.
namespace RecordingLocation {

int CountWords(const QString &text, const QString &separators);
QString NthWord(int n, const QString &text, const QString &separators);
bool ContainsWord(const QString &word, const QString &text, const QString &separators);

// The location handed to the player, recorder-side separators kept;
// empty when no directory level is a year from 2010 to 2020.
QString map(const QString &storedPath, const QString &recordingsDirectory);

// The text after the last "\" or ":".
QString fileNamePart(const QString &location);

// A location the player on this system can open: "/" separators.
QString forThisSystem(const QString &location);

} // namespace RecordingLocation
