#pragma once
// The palette an 8-bit frame carries of its own (one copied from a source
// frame). It hangs on the frame as the value of the frame's unsaved
// "Palette Holder" dynamic property, made by EnsurePaletteHolder and dropped
// when the frame's pixels are reloaded or the frame goes; frames without one
// use the game palette.

#include "blit/CPalette.h"
#include "objects/CObject.h"

class CFrame;
class CProperty;

class CPaletteHolder : public CObject {
    OMBRISALT_REFLECTED(CPaletteHolder, CObject)
public:
    CPaletteHolder();
    ~CPaletteHolder() override;

    CPalette& GetPalette() { return m_Palette; }

private:
    CPalette m_Palette;
};

// The frame's holder, made when it has none.
CPaletteHolder& EnsurePaletteHolder(CFrame& frame);
// The frame's holder's palette; null without a holder.
CPalette* GetFramePalette(const CFrame& frame);
// Drops the frame's holder, if any.
void RemovePaletteHolder(CFrame& frame);
// The dynamic property holding it (declared on CFrame by
// RegisterImagesClasses).
CProperty* GetPaletteHolderProperty();

// The image extensions a frame folder is enumerated for, and the extension
// of a frame list's own object file.
inline const char* GetFrameImageTypes()
{
    return "TGA,RLA,PNG";
}
inline const char* GetFrameListFileExtension()
{
    return "txt";
}
