#pragma once
// Readers and writers of source images: TGA (our own code), PNG (libpng,
// reading only) and JPEG (libjpeg). A reader loads the whole file into one
// shared buffer, decodes it into a frame and runs the build-filter chain on
// the result.
//
// Readers are found through a list of one prototype per registered reader
// class, searched in registration order (TGA, then PNG). The JPEG reader is
// never in the list: it is made directly where JPEG is wanted.
//
// Other image formats are not converted: no external converter is run.
//
// Decode bombs: no image is above kMaxImageSide pixels on a side or above
// kMaxImagePixelBytes at four bytes a pixel, and each reader also bounds the
// size a file claims by what its data can hold, before allocating for it.
// A file refused for its size costs less than 64 MB on the way.

#include "foundation/CJString.h"
#include "objects/CObject.h"

#include <cstdint>

class CFile;
class CFrame;
class CFrameFilter;

inline constexpr uint32_t kMaxImageSide = 16384;
inline constexpr uint64_t kMaxImagePixelBytes = uint64_t(256) << 20;

// Whether an image of this size may be decoded at all (0 x 0 may not).
bool ImageSizeAllowed(uint32_t width, uint32_t height);
// Reports a file refused for its size on the debug channel and keeps the
// report for the frame list's load error.
void ReportImageRefused(const char* path, const char* why);
// The same for a file refused for what its data holds.
void ReportDamagedImageRefused(const char* path, const char* why);
// The same for an image that would take its data set past its total
// (DataPixelBudget.h), budgetMB the total.
void ReportDataPixelsRefused(const char* path, unsigned budgetMB);
// The last such report; "" until one is made.
const CJString& GetLastImageRefusal();
void ClearLastImageRefusal();

class CFrameImageIO : public CObject {
    OMBRISALT_REFLECTED(CFrameImageIO, CObject)
public:
    CFrameImageIO();
    ~CFrameImageIO() override;

    // Reads m_Path into the frame and applies the chain (the default chain
    // when null). True when the frame then has pixels.
    virtual bool LoadFrame(CFrame& frame, CFrameFilter* chain, uint32_t openFlags);
    virtual bool WriteImageFile(CFrame& frame, const char* path, uint32_t openFlags);
    virtual const char* GetExtension() const { return ""; }
    // Whether the file must be rewritten in the compressed form.
    virtual bool NeedsRecompress(const char* path);
    // Decodes one whole file held in memory; path names it in reports, depth
    // is the header's depth.
    virtual bool DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t depth);
    // 24 or 32 for a header the reader accepts, else 0.
    virtual uint32_t GetHeaderBitDepth(const uint8_t* data, uint32_t size);

    // WriteImageFile to m_Path.
    bool WriteFrame(CFrame& frame, uint32_t openFlags);

    const CJString& GetPath() const { return m_Path; }
    void SetPath(const char* path) { m_Path = path; }

    static void RegisterReader(CFrameImageIO* prototype);
    static uint32_t GetReaderCount();
    // The extension of reader i (".TGA"); "" outside the list.
    static const char* GetReaderInfo(uint32_t i);
    // A new reader whose extension equals ext, case-blind; null when none.
    static CFrameImageIO* CreateForExtension(const char* ext);
    // CreateForExtension with m_Path = folder/name + the reader's extension
    // (name + extension without a folder).
    static CFrameImageIO* SCreateForFile(const char* folder, const char* name, const char* ext);
    // The one reader whose file exists for folder/name, or null. Two
    // existing files of the same name are a fatal data error.
    static CFrameImageIO* FindImageFile(const char* folder, const char* name, uint32_t openFlags);

protected:
    CJString m_Path;
};

// Registers the reader classes and their prototypes (TGA first, then PNG);
// idempotent.
void RegisterImageReaders();

// The bytes of a whole file in the shared load buffer, which only grows;
// false when the file does not open or reads short.
bool ReadWholeFileIntoLoadBuffer(const char* path, uint32_t openFlags, const uint8_t*& data, uint32_t& size);

// Filter kinds the loaders name.
inline constexpr uint32_t kFilterKindCenterHotSpot = 2;
inline constexpr uint32_t kFilterKindRemoveDeadAlpha = 3;
inline constexpr uint32_t kFilterKindBlackBias = 4;
inline constexpr uint32_t kFilterKindCropColor0 = 6;
inline constexpr uint32_t kFilterKindRemoveBlackBlending = 7;
inline constexpr uint32_t kFilterKindRunLength = 8;
inline constexpr uint32_t kFilterKindBitDepth = 11;
inline constexpr uint32_t kFilterKindBitDepthDither = 12;
