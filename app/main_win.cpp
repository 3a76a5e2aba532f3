// Entry point of Driftpane.exe: everything else lives in runDriftpane.
#include "app/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    return runDriftpane(instance, showCommand);
}
