#pragma once
// The name of the data file being read, named by every data-error report.
// Readers set it while they run and restore the previous name afterwards;
// readers of nested values append ":" and the value's name to it. It holds
// "Program.EXE" while no file is being read.

#include "foundation/CJString.h"

CJString& GetCurrentLoadFileName();
