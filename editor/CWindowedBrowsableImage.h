#pragma once
// A window showing one thumbnail as a preview, centred, animated by the
// window's update; a click the thumbnail does not take notifies the parent.

#include "objects/CImageBrowserItemBridge.h"
#include "ui/CJWindow.h"

#include <memory>

class CWindowedBrowsableImage : public CJWindow {
public:
    explicit CWindowedBrowsableImage(CJWindow* parent);
    ~CWindowedBrowsableImage() override;

    // Replaces the thumbnail (null shows nothing) and sizes the window to
    // its bounds; bounds at -9999 or beyond give a 300 x 300 window with the
    // origin at its centre.
    void SetItem(std::unique_ptr<CImageBrowserItemBridge> item);
    CImageBrowserItemBridge* GetItem() const { return m_Item.get(); }
    CPoint GetImageOrigin() const { return m_ImageOrigin; }

    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    bool OnMouseDown(uint32_t button, CPoint point) override;

private:
    bool BoundsValid() const;
    // The spare room halved, when centring applies.
    CPoint CentringShift() const;

    std::unique_ptr<CImageBrowserItemBridge> m_Item;
    CRect m_Bounds{0, 0, 0, 0};
    CPoint m_ImageOrigin{0, 0};
    bool m_CentreHorizontally = true;
    bool m_CentreVertically = true;
    bool m_NotifyOnClick = true;
};
