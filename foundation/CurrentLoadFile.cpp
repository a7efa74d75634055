#include "foundation/CurrentLoadFile.h"

CJString& GetCurrentLoadFileName()
{
    static CJString name("Program.EXE");
    return name;
}
