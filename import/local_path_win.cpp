// The one part of the path rule that needs Windows: whether the drive is a network drive.
#include "import/local_path.h"

#include <windows.h>

bool isLocalDrivePath(const std::wstring& path) {
    // A mapped network drive looks like any other drive letter; only the system knows. A
    // letter it does not know is accepted here and fails when the file is read.
    return hasDrivePathShape(path) && GetDriveTypeW(driveRootOf(path).c_str()) != DRIVE_REMOTE;
}
