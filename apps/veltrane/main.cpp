#include "win32_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return app::runForm1(instance, u"Veltrane"); }
