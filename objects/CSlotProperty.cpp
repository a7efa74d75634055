#include "objects/CSlotProperty.h"

#include "foundation/CFile.h"

#include <cstring>
#include <vector>
