#pragma once
#include <string>

#include "converter/form1.h"

namespace leases {

// Searches every listing named in the list file for the search text and
// reports each lease line found to the clipboard and to c:\temp\findout.txt.
// The window lives meanwhile (leases/lookup_progress.h). However it ends,
// it leaves what leases/lookup_run.h says. When an event ends the program,
// the lookup stops after the record it is writing and throws rt::Stopped.
void readdhcp(conv::Form1& form, const std::u16string& wert);

// The start-up branch that hands a "/dhcp<" command line to readdhcp.
bool leaseBranch(conv::Form1& form, const std::u16string& commandLine);

}  // namespace leases
