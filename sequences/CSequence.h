#pragma once
// CSequence, one animation: the frames built from the images of one folder
// ("<list folder>/-<name>/", TGA and PNG, played in the order of their names
// without extension, case-blind), with its settings in that folder's
// "Properties.txt" (the object text form of the sequence).
//
// A built sequence is kept in one cache file, "Cache/<list folder>/<name>.Sequence":
//   a compressed block (foundation/CompressedBlock.h) of object text holding
//     the CSequence and then a CSequenceFrameInfoList (CSequenceFrameInfoList.h);
//   then, when any frame has pixels, the atlas: one 32-bit frame holding every
//     frame's pixels, in the frame-cache body form (images/FrameCache.h).
// Frames sit left to right in play order on one row; a row that would pass
// 65,535 pixels starts a new row below the tallest frame so far. Readers only
// copy the recorded rectangles, so any layout reads back. The cache holds the
// frames at 32 bits before depth conversion and run-length encoding, which
// every load redoes, so one file serves every screen depth.
//
// The cache is used while no source image, no "Properties.txt" and (at 8
// bits) no game palette is newer; a cache inside a mounted archive is always
// used. It is replaced, atomically, only by a build that produced frames: a
// folder that lost its images keeps its cache and plays from it. An edit that
// rebuilds the frames writes nothing, so the next start plays what was last
// saved. A save replaces "Properties.txt" and the cache as one, the cache
// written last so that it is never the older: built again from the images,
// or, kept alone, rewritten with the settings over its pixels.

#include "foundation/CJString.h"
#include "foundation/CRect.h"
#include "objects/CObject.h"

#include <cstdint>
#include <string>
#include <vector>

class CBlitType;
class CFile;
class CFrame;
class CFrameFilter;
class CFrameInterface;

// Bits of the flag word, one property each.
inline constexpr uint32_t kSequenceCenterHotSpot = 0x1;
inline constexpr uint32_t kSequenceBlendedWithBlack = 0x2;
inline constexpr uint32_t kSequenceCropColor0 = 0x4;
inline constexpr uint32_t kSequenceUse8BitAlpha = 0x8;
inline constexpr uint32_t kSequenceRunLength = 0x10;
inline constexpr uint32_t kSequenceDoDither = 0x20;
inline constexpr uint32_t kSequenceLossLess = 0x40;

// A cache holds at most this many frames, where sequences have tens: the
// writer writes none for a longer sequence (it is built from its pictures at
// every start) and a longer list is damaged. However short its file (an empty
// frame packs to a few bytes), a list that long costs some 30 MB and a tenth
// of a second to read.
inline constexpr uint32_t kMaxSequenceCacheFrames = 100000;

enum class CropColor0 { No, Yes };
enum class CentreHotSpot { No, Yes };

class CSequence : public CObject {
    OMBRISALT_REFLECTED(CSequence, CObject)
public:
    CSequence();
    ~CSequence() override;
    // The playback preview and the "File" menu (CustomEditorHooks).
    void AddCustomEditors(CObjectEditor* editor) override;

    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;
    // Binary form: after the properties the bounds, then per frame slot a
    // byte (1: a frame with pixels follows as a frame record).
    void WriteExtraBinary(CObjectStream& stream) override;
    bool ReadExtraBinary(CObjectStream& stream) override;
    // With the loading flag set, so that no setter reloads.
    void ResetToDefaults() override;
    uint32_t GetMemorySize() override;

    // Reads the cache when it is trusted, else builds from the images; true
    // when the sequence has its frames (possibly none) from one or the other.
    bool Load(const char* folder, const char* name, CFrameFilter* chain);
    virtual bool BuildFromImages(const char* folder, const char* name, CFrameFilter* chain);
    // Writes every frame as a 24-bit BMP on black under GetVideoFolder();
    // false when a frame was not written. No AVI is made of them here: the
    // tool that made one is not part of this system.
    virtual bool SaveAsAVI();
    // "AVIs/<the sequence's folder name>"; empty without a file of its own.
    std::string GetVideoFolder();
    virtual bool LoadFromCache(const char* folder, const char* name);
    virtual bool SaveToCache(const char* folder, const char* name, uint32_t jpegQuality, bool lossLess,
                             bool wasRunLength);

    // Moves every frame's upper-left offset by (-dx, -dy).
    virtual void OffsetFrames(int32_t dx, int32_t dy);
    // Null past the end or for a frame that could not be read.
    virtual CFrame* GetFrame(uint32_t index);
    // The frame of the shared wall clock: all sequences of one rate run in step.
    virtual CFrame* GetCurrentFrame();
    virtual void DrawCurrentFrame(CFrameInterface& destination, int32_t x, int32_t y);
    virtual void DrawFrameAtPosition(CFrameInterface& destination, float position, int32_t x, int32_t y);
    virtual void DrawFrame(CFrameInterface& destination, int32_t index, int32_t x, int32_t y);
    // Position 0 is the first frame; 1 or more (or below 0) the last.
    virtual CFrame* GetFrameAtPosition(float position);
    virtual uint32_t GetFrameCount() const { return uint32_t(m_Frames.size()); }
    // The rate after skipping: "Frames Per Second" / "Use Every".
    virtual float GetFramesPerSecond() const;
    // 0 when the frame is not one of the sequence's.
    virtual uint32_t IndexOfFrame(const CFrame* frame) const;
    virtual CRect GetBounds() const { return m_Bounds; }
    virtual void RecomputeBounds();
    virtual void ApplyOffsets();

    // The index GetCurrentFrame shows; 0 without frames.
    uint32_t GetCurrentFrameIndex() const;
    // The sequence owns the frame (which may be null) from now on.
    void AppendFrame(CFrame* frame, CropColor0 crop, CentreHotSpot centre);
    void DeleteFrames();
    // The blit type the sequence draws with ("Transparent Mask" when the
    // index names none).
    CBlitType& GetBlitType() const;
    int32_t GetBlitTypeIndex() const { return m_BlitType; }
    // Adds and removes kinds on chain (the default sequence chain when null)
    // by the sequence's settings; returns the chain changed.
    CFrameFilter& BuildFilterChain(CFrameFilter* chain);
    static void GetCachePath(CJString& out, const char* folder, const char* name);
    bool IsCacheStale(const char* folder, const char* name);
    // Reads "Properties.txt"; without one writes the defaults there. Neither
    // possible is fatal.
    void ReadOrCreateProperties(const char* folder, const char* name);
    // The object a "Properties.txt" holds (null when it cannot be read, with
    // the reason in *error). Damage a designer made is fatal with a report
    // that names the file and the line.
    static CObject* LoadPropertiesFile(const char* path, CJString* error);
    // The ending the list looks for among cache files; null for an unknown depth.
    static const char* GetCacheExtension();

    uint32_t GetFlags() const { return m_Flags; }
    bool HasFlag(uint32_t bit) const { return (m_Flags & bit) != 0; }
    // The blend the frames are built with: never from PNG images alone,
    // whose reader does not blend, whatever the settings say.
    bool BuildsBlendedWithBlack() const { return HasFlag(kSequenceBlendedWithBlack) && !m_BuiltFromPng; }
    uint32_t GetUseEvery() const { return m_UseEvery; }
    int32_t GetXOffset() const { return m_XOffset; }
    int32_t GetYOffset() const { return m_YOffset; }

    // Setters of the properties: the "reload" ones rebuild when the value
    // changes (not while properties load).
    void SetBlitTypeIndex(int32_t index);
    void SetXOffset(int32_t offset);
    void SetYOffset(int32_t offset);
    void SetUseEvery(uint32_t every);
    void SetJPEGQuality(uint32_t quality);
    void SetCenterHotSpot(const uint32_t& bits) { StoreFlag(kSequenceCenterHotSpot, bits != 0); }
    // A sequence of PNG images takes no change but from its files: they keep
    // the value they hold, and the editor shows the blend clear.
    void SetBlendedWithBlack(const uint32_t& bits);
    void SetCropColor0(const uint32_t& bits) { StoreFlag(kSequenceCropColor0, bits != 0); }
    void SetUse8BitAlpha(const uint32_t& bits) { StoreFlag(kSequenceUse8BitAlpha, bits != 0); }
    void SetRunLength(const uint32_t& bits) { StoreFlag(kSequenceRunLength, bits != 0); }
    void SetDoDither(const uint32_t& bits) { StoreFlag(kSequenceDoDither, bits != 0); }
    void SetLossLess(const uint32_t& bits) { StoreFlag(kSequenceLossLess, bits != 0); }

    // Builds the frames again from the images of the sequence's own folder,
    // under the settings it holds now (an archived cache is left as it is);
    // no file is written.
    void Reload();
    // Writes the settings to the sequence's "Properties.txt" and brings its
    // cache in step, both or neither, so that the next start reads them from
    // either; false when they cannot be kept: no file of its own, a cache
    // inside an archive (its copy of the settings is the one read), a failed
    // write (its file in *failedFile, as the data names it; when the two
    // could not be saved together, the cause noted as the save's reason).
    bool SaveSettings(CJString* failedFile = nullptr);
    // Whether the cache the sequence is read from can take saved settings:
    // not inside a mounted archive, and a file that may be written when
    // there is one. True without a file of its own.
    bool IsCacheWritable();
    // The cache read from an open file: false for a damaged block, or for a
    // missing atlas when it is required.
    bool ReadCacheFrom(CFile& file, bool atlasRequired);

private:
    // Why the frames are built: a load reads "Properties.txt" and keeps a
    // cache it reads back; an edit builds under the settings held and writes
    // nothing; a save builds under them and writes the cache into the save's
    // group of files, where it cannot be read back before the group commits.
    enum class BuildFor { Load, Edit, Save };
    // True when there were images.
    bool Build(const char* folder, const char* name, CFrameFilter* chain, BuildFor purpose);
    // Stores a "reload" setting; a change rebuilds.
    template <typename T>
    void StoreAndReload(T& field, T value);
    void StoreFlag(uint32_t bit, bool set);
    void WidenBounds(CFrame& frame);
    // The frames from the cache; a loose cache must have its atlas.
    bool ReadCache(const char* folder, const char* name, bool atlasRequired);
    // "<list folder>" and "<name>" of the file ".../<list folder>/-<name>/Properties.txt"
    // that the sequence is saved to; false when it has none.
    bool FindOwnFolder(std::string& listFolder, std::string& name, CJString* file = nullptr);
    bool IsCacheArchived();
    // Rewrites the cache's settings and frame offsets from the sequence,
    // keeping its pixels; a cache that holds other frames is left alone.
    bool UpdateCacheSettings(const char* folder, const char* name);

    std::vector<CFrame*> m_Frames; // owned; an entry may be null
    CRect m_Bounds{};
    // Whether m_Bounds is the union of the frames' bounds, so that an added
    // frame only widens it.
    bool m_bBoundsCurrent = false;
    // The cache last read was sound but longer than this build reads (one an
    // older build wrote): its pictures may stand in for it, even in a zip.
    bool m_CachePastBound = false;
    // Every image in the sequence's folder is a PNG, as the last load found.
    bool m_BuiltFromPng = false;
    uint32_t m_Flags = 0;
    int32_t m_BlitType = 0;
    float m_FramesPerSecond = 15.0f;
    uint32_t m_FrameCount = 0; // binary form only: the slots ReadExtraBinary reads
    uint32_t m_UseEvery = 1;
    bool m_bAlwaysIncludeLastFrame = false;
    int32_t m_XOffset = 0;
    int32_t m_YOffset = 0;
    uint32_t m_JPEGQuality = 80;
    bool m_bMipmapForNativeVersion = true;
};

// Set while properties are read or reset and while a cache is read: setters
// then never reload.
bool IsLoadingSequenceProperties();

// The default sequence chain: one process-wide head, emptied and refilled
// with kinds 3, 6, 7, 11 and 8 on every call.
CFrameFilter& GetDefaultFrameFilters();

// The frame picked by the skipping rule: images i x every of n, plus the last
// one when asked and not already kept.
std::vector<uint32_t> PickSequenceImages(uint32_t imageCount, uint32_t useEvery, bool alwaysIncludeLast);
