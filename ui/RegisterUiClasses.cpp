#include "ui/RegisterUiClasses.h"

#include "ui/CAlphaSkinData.h"
#include "ui/CSkinBorder.h"

void RegisterUiClasses()
{
    CSkinBorder::SGetClassInfo();
    CClassicSkinBorder::SGetClassInfo();
    CAlphaSkinBorder::SGetClassInfo();
    CSegmentedImageSkinBorder::SGetClassInfo();
    CAlphaSkinData::SGetClassInfo();
}
