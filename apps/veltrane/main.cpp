#include "win32_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { app::runForm1(instance, u"Veltrane"); }
