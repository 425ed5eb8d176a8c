#pragma once

#include <QString>

// Where TempAudioFile lives: audio/temp.wav beside the program, the folder
// created when missing; when the program directory cannot be written (an
// installed program), audio/temp.wav under the user's cache folder, so that
// live listening keeps working in every installation.
namespace AudioFileLocation {

// The file under the program directory, whether usable or not.
QString programFile(const QString &programDirectory);
// The file under the per-user cache folder.
QString cacheFile();
// Creates the folder and opens the file for writing (without truncating it)
// to learn whether a clip can be stored there.
bool isWritable(const QString &filePath);
// The program file when writable, else the cache file when writable, else
// the program file (clips are then dropped until one of them becomes usable).
QString resolve(const QString &programDirectory);

} // namespace AudioFileLocation
