#pragma once
// The record a window may carry to draw from a cached image of itself. The
// toolkit only calls it around the window's drawing; who makes the record,
// and how it records and replays, is the maker's (a batched proxy frame
// recording into the image is the intended form). The window owns and
// deletes it.

class CJWindow;
class COffsetClippedProxyFrame;

class CWindowImageCache {
public:
    virtual ~CWindowImageCache() = default;
    // Before the window draws: may put its recorder in front of the
    // target's source. The target holds the parent's origin and clip.
    virtual void BeginWindow(CJWindow& window, COffsetClippedProxyFrame& target) = 0;
    // After the window and its focus rectangle: the target has the parent's
    // origin, clip and source back; draws the cached image onto it.
    virtual void EndWindow(CJWindow& window, COffsetClippedProxyFrame& target) = 0;
};

// The process-wide switch; on by default.
void SetWindowImageCacheEnabled(bool enabled);
bool IsWindowImageCacheEnabled();
