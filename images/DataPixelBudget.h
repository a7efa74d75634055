#pragma once
// What one data set's frames hold in decoded pixels, all together: the
// per-image cap (CFrameImageIO.h) bounds each image, this bounds their sum,
// so that a handful of images at the per-image cap cannot take gigabytes.
//
// The frames of sequences and of frame lists are charged when they are read
// (at four bytes a pixel, whatever depth they end at) and give their share
// back when they are destroyed. A frame that would pass the budget is
// refused as an image past the per-image cap is: a report naming its file,
// and no frame in its place; the data goes on loading.

#include <cstdint>

class CFrame;

// 256 MB: the demo holds about 26 MB; a data set may hold about ten times
// that, or one image at the per-image cap.
inline constexpr uint64_t kMaxDataPixelBytes = uint64_t(256) << 20;

// Charges a frame just read for its width x height pixels, once; false,
// with a report naming file, when they would take the data past its budget.
bool ChargeDataPixels(CFrame& frame, const char* file);
// Whether pixels more would still fit, before a frame is made for them;
// false with a report naming file.
bool DataPixelsFit(uint64_t pixels, const char* file);

// While one lives on a thread, the images read there are read for a frame
// that will be charged: each reader asks the budget with the size its header
// gives before decoding, so an image past the budget is never decoded (it
// would be on every start: a sequence missing it is never cached).
class CChargedImageScope {
public:
    // file names the frame in reports.
    explicit CChargedImageScope(const char* file);
    ~CChargedImageScope();
    CChargedImageScope(const CChargedImageScope&) = delete;
    CChargedImageScope& operator=(const CChargedImageScope&) = delete;
    // Whether the budget refused an image read in the scope.
    bool Refused() const { return m_Refused; }

private:
    friend bool DataPixelsFitBeforeDecode(uint32_t, uint32_t);
    const char* m_File;
    CChargedImageScope* m_Outer;
    bool m_Refused = false;
};

// For the readers, from an image's header: true outside a
// CChargedImageScope, else DataPixelsFit with the scope's file.
bool DataPixelsFitBeforeDecode(uint32_t width, uint32_t height);
// Gives back the frame's share; the frame's destructor does so.
void ReleaseDataPixels(const CFrame& frame);
// Decoded bytes held by every charged frame.
uint64_t GetDataPixelBytesHeld();

// Sets the budget in bytes (tests use small ones); answers the one before.
uint64_t SetDataPixelBudget(uint64_t bytes);
