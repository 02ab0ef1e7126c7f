#include "leases/readdhcp.h"
#include "win32_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  app::runForm1(instance, u"Tessilo", leases::leaseBranch);
}
