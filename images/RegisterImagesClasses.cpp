#include "images/CFrame.h"

#include "images/CFont.h"
#include "images/CFrameAsMipMapTexture.h"
#include "images/CFrameImageIO.h"
#include "images/CFrameProperties.h"
#include "images/CJPEGFileIO.h"
#include "images/CPaletteHolder.h"
#include "images/CStandAloneFrame.h"

void RegisterImagesClasses()
{
    RegisterBlitClasses();
    CFrame::SGetClassInfo();
    CPaletteHolder::SGetClassInfo();
    GetPaletteHolderProperty();
    RegisterFramePropertyClasses();
    RegisterImageReaders();
    CJPEGFileIO::SGetClassInfo();
    CStandAloneFrame::SGetClassInfo();
    CFrameAsMipMapTexture::SGetClassInfo();
    RegisterFontClasses();
}
