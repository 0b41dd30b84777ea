#pragma once

// Resources of vantrel.exe, shared by its resource script and its code.

// The program's icon: the first icon of the program, which the shell shows.
#define IDI_PROGRAM 1
