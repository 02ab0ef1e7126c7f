#include <windows.h>

#include "converter/form1.h"
#include "leases/readdhcp.h"
#include "runtime/program.h"
#include "resource.h"
#include "win32_library.h"
#include "win32_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  rt::win32::restrictDllSearch();  // before anything can load a DLL by name
  rt::win32::Win32Services services(instance, u"Tessilo", IDI_PROGRAM);
  return rt::runProgram(services, [&] {
    conv::Form1 form(services, leases::leaseBranch);
    form.Form_Load();
  });
}
