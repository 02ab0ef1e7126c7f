#pragma once
// Resource identifiers shared by program.rc and the entry points.
#define IDI_PROGRAM 1
