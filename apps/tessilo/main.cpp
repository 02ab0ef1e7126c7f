#include <windows.h>

#include "converter/form1.h"
#include "leases/readdhcp.h"
#include "runtime/program.h"
#include "win32_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  rt::Win32Services services(instance, u"Tessilo", 1);
  return rt::runProgram(services, [&] {
    conv::Form1 form(services, leases::leaseBranch);
    form.Form_Load();
  });
}
