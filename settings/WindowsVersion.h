#pragma once

// Classifies the running Windows version: 0 to 5. Only 5 (Windows 6.x and
// later, as a program without a compatibility manifest is told) changes
// behaviour: the database editors then write the per-user key.
namespace WindowsVersion {

enum PlatformFamily { OtherFamily = 0, Windows95Family = 1, NtFamily = 2 };

int classify(bool queryOk, int major, int minor, PlatformFamily family);

// The class of the system we run on; 0 where there is no Windows.
int currentClass();

} // namespace WindowsVersion
