#pragma once
// A frame window with a grip bar of two bevels at its left or top edge.

#include "ui/CJFrameWindow.h"

class CJToolPalette : public CJFrameWindow {
public:
    // orientation 0: grip at the left; 1: grip at the top.
    CJToolPalette(CJWindow* parent, uint32_t orientation);

    int32_t GetClientTopInset() const override;
    int32_t GetClientLeftInset() const override;
    // The back with the grip, then the children: no front layer.
    void Draw(CFrameInterface& frame) override;
    void DrawSkinBack(CFrameInterface& frame) override;

    uint32_t GetOrientation() const { return m_Orientation; }

private:
    uint32_t m_Orientation = 0;
};
