#pragma once
// A frame that is an object of its own data file ("<name>.txt" beside its
// source image) and carries its build options as properties: they choose
// the filter chain it is built with, how its cache is compressed and the
// blit type it is drawn with. While the level editor is open, changing an
// option saves the object, deletes its 16-bit frame record and rebuilds it.

#include "images/CFrame.h"

class CBlitType;

// Option bits of m_Options.
inline constexpr uint32_t kFrameOptionLossLess = 0x1;
inline constexpr uint32_t kFrameOptionRunLength = 0x2;
inline constexpr uint32_t kFrameOptionChangeBitDepth = 0x4;
inline constexpr uint32_t kFrameOptionCropColor0 = 0x8;
inline constexpr uint32_t kFrameOptionDither = 0x10;
inline constexpr uint32_t kFrameOptionRunLengthAllCopy = 0x20;
inline constexpr uint32_t kFrameOptionCenterHotSpot = 0x40;
inline constexpr uint32_t kFrameOptionBlackBiased = 0x80;
inline constexpr uint32_t kFrameOptionBlendedWithBlack = 0x100;

class CStandAloneFrame : public CFrame {
    OMBRISALT_REFLECTED(CStandAloneFrame, CFrame)
public:
    CStandAloneFrame();
    ~CStandAloneFrame() override;

    // Builds the load chain from the options (on a copy of chain, or of the
    // default chain) and loads through it; the cache writer's settings and
    // the run-length minimum fill are restored afterwards.
    bool Load(const char* folder, const char* name, CFrameFilter* chain, uint32_t ignored, uint32_t fileFlags) override;
    void OnLoaded(CUntypedCObjectPointer* pointer) override;
    // A copy of another stand-alone frame's pixels is built from the same
    // kind of picture.
    void CopyFrom(CObject* other) override;

    // The blit type the frame is drawn with.
    CBlitType* GetBlitType() const;
    uint32_t GetOptions() const { return m_Options; }
    bool HasOption(uint32_t bit) const { return (m_Options & bit) != 0; }
    // The blend the frame is built with: never for a PNG, whose reader does
    // not blend, whatever its file says.
    bool BuildsBlendedWithBlack() const { return HasOption(kFrameOptionBlendedWithBlack) && !m_BuiltFromPng; }
    uint32_t GetJPEGQuality() const { return m_JPEGQuality; }
    // The chain Load would use, made on chain (a head of kind 0).
    void BuildLoadChain(CFrameFilter& chain, const CFrameFilter* given) const;

    // Stores an option without asking for a rebuild.
    void SetOptionQuietly(uint32_t bit, bool set) { m_Options = set ? (m_Options | bit) : (m_Options & ~bit); }

    // Option setters: a change stores the value and asks for a rebuild.
    void SetRunLengthEncode(const uint32_t& bits);
    void SetRunLengthAllCopy(const uint32_t& bits);
    void SetCropColor0(const uint32_t& bits);
    void SetDoDither(const uint32_t& bits);
    void SetLossLess(const uint32_t& bits);
    void SetCenterHotSpot(const uint32_t& bits);
    // A frame built from a PNG takes no change: its file keeps the value it
    // holds, and the editor shows the blend clear.
    void SetBlendedWithBlack(const uint32_t& bits);
    // Also selects "Blend Black Bias" (set) or "Transparent Mask" (clear).
    void SetLoadBlackBiased(const uint32_t& bits);
    void SetJPEGQuality(uint32_t quality);
    // Choosing "Blend Black Bias" sets the black-biased option, any other
    // type clears it.
    void SetBlitType(int32_t index);

private:
    void StoreOption(uint32_t bit, bool set);
    void RequestRebuild();

    bool m_bMipmapForNativeVersion = true;
    uint32_t m_Options = 0;
    uint32_t m_JPEGQuality = 80;
    int32_t m_BlitType = 0;
    bool m_BuiltFromPng = false; // by the last load, or the frame copied
};

// Whether option changes rebuild at once: the level editor sets it while
// its window exists. Answers the previous setting.
bool SetStandAloneFrameRebuilds(bool enabled);
