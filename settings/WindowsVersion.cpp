#include "settings/WindowsVersion.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace WindowsVersion {

int classify(bool queryOk, int major, int minor, PlatformFamily family)
{
    if (!queryOk)
        return 0;
    if (major == 5)
        return minor == 0 ? 3 : 4;
    if (major == 6)
        return 5;
    return int(family);
}

int currentClass()
{
#ifdef Q_OS_WIN
    OSVERSIONINFOW info {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma warning(suppress : 4996)
    if (!GetVersionExW(&info))
        return classify(false, 0, 0, OtherFamily);
    const PlatformFamily family = info.dwPlatformId == VER_PLATFORM_WIN32_NT ? NtFamily
        : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS                    ? Windows95Family
                                                                             : OtherFamily;
    return classify(true, int(info.dwMajorVersion), int(info.dwMinorVersion), family);
#else
    return classify(false, 0, 0, OtherFamily);
#endif
}

} // namespace WindowsVersion
