#include "ui/RegisterUiClasses.h"

void RegisterUiClasses()
{
}
