#pragma once
// Controls drawn by another object. The window tree owns such a control and
// routes input to it, but its own drawing pass draws nothing for it: the
// owner (a button overlay) calls DrawProxy at a moment of its choosing,
// into a frame that may move, scale and fade it. Until the owner marks it
// active the control takes no presses, releases, repeats or keys (it still
// swallows Enter), though the pointer may hover it.
//
// Outside holders keep a CProxyDrawPointer to the mix-in: it turns null when
// the control dies.

#include "foundation/CFPoint.h"
#include "objects/CPointerToBeNulledArray.h"
#include "render/CProxyFrame.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"

#include <cstdint>
#include <type_traits>

class CJWindowControlProxyDrawMixIn;

struct SProxyDrawPointerAccess {
    static CPointerToBeNulledArray& Get(CJWindowControlProxyDrawMixIn& mixIn);
};
using CProxyDrawPointer
    = CSmartPointerToBeNulledTemplate<CJWindowControlProxyDrawMixIn, CPointerToBeNulledArray, SProxyDrawPointerAccess>;

class CJWindowControlProxyDrawMixIn {
public:
    CJWindowControlProxyDrawMixIn() = default;
    CJWindowControlProxyDrawMixIn(const CJWindowControlProxyDrawMixIn&) = delete;
    CJWindowControlProxyDrawMixIn& operator=(const CJWindowControlProxyDrawMixIn&) = delete;
    // Nulls every outside pointer to the mix-in.
    virtual ~CJWindowControlProxyDrawMixIn();

    // target: the owner's frame; its offset and clip come back unchanged.
    virtual void DrawProxy(COffsetClippedProxyFrame& target) = 0;
    // The centre of the control's rectangle (parent content coordinates),
    // halved in integers.
    virtual CFPoint GetProxyCenter() = 0;
    virtual bool IsProxyActive() { return m_ProxyActive; }
    // Answers the flag.
    virtual bool SetProxyActive(bool active)
    {
        m_ProxyActive = active;
        return active;
    }

    // Made on first use.
    CPointerToBeNulledArray& GetPointerToBeNulledArray();
    bool HasPointerToBeNulledArray() const { return m_WeakReference != nullptr; }

protected:
    // Deletes the array, so outside pointers are nulled while the control is
    // still whole.
    void ReleaseWeakReference();
    // Draws the control into target the way the tree's pass would: target
    // moved to the control's origin and clip for draw, then back.
    static void DrawAtControl(CJWindow& control, COffsetClippedProxyFrame& target,
                              void (*draw)(CJWindow& control, CFrameInterface& frame));
    static CFPoint CenterOf(const CRect& rect);

private:
    CPointerToBeNulledArray* m_WeakReference = nullptr;
    bool m_ProxyActive = false;
};

// T: CJButton, CJCheckBox or CJImageCheckBox.
template <typename T>
class CJButtonProxyDrawTemplate : public T, public CJWindowControlProxyDrawMixIn {
public:
    CJButtonProxyDrawTemplate(CJWindow* parent, const CJString& title, CJButton* partner = nullptr)
        : T(parent, title, partner)
    {
    }
    CJButtonProxyDrawTemplate(CJWindow* parent, const char* title, CJButton* partner = nullptr)
        : T(parent, title, partner)
    {
    }
    // Both bases have virtual destructors, so deleting through either frees
    // the whole object's size to the pool.
    ~CJButtonProxyDrawTemplate() override { ReleaseWeakReference(); }

    // The tree's pass draws nothing for the control.
    void Draw(CFrameInterface&) override {}
    void DrawFocusRect(CFrameInterface&, const CColor&) override {}

    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override
    {
        return IsProxyActive() && T::OnMouseDoubleClick(button, point, flag);
    }
    bool OnMouseDown(uint32_t button, CPoint point) override
    {
        return IsProxyActive() && T::OnMouseDown(button, point);
    }
    bool OnMouseUp(uint32_t button, CPoint point) override { return IsProxyActive() && T::OnMouseUp(button, point); }
    void OnMouseRepeat(uint32_t button, CPoint point) override
    {
        if (IsProxyActive())
            T::OnMouseRepeat(button, point);
    }
    bool OnKeyDown(uint32_t key) override
    {
        if (!IsProxyActive())
            return key == kKeyEnter;
        return T::OnKeyDown(key);
    }

    void DrawProxy(COffsetClippedProxyFrame& target) override
    {
        DrawAtControl(*this, target, &DrawAsT);
        if (!IsProxyActive())
            return;
        if (this->m_HasFocus && CJWindow::IsKeyboardFocusShown())
            CJWindow::DrawFocusRect(target, this->m_FocusColor);
        else if (this->m_DrawOutline)
            CJWindow::DrawFocusRect(target, this->m_OutlineColor);
    }
    CFPoint GetProxyCenter() override { return CenterOf(this->m_Rect); }

private:
    static void DrawAsT(CJWindow& control, CFrameInterface& frame)
    {
        static_cast<CJButtonProxyDrawTemplate&>(control).DrawOwnFace(frame);
    }
    // Check boxes of both kinds draw as check boxes.
    void DrawOwnFace(CFrameInterface& frame)
    {
        if constexpr (std::is_base_of_v<CJCheckBox, T>)
            CJCheckBox::Draw(frame);
        else
            CJButton::Draw(frame);
    }
};

extern template class CJButtonProxyDrawTemplate<CJButton>;
extern template class CJButtonProxyDrawTemplate<CJCheckBox>;
extern template class CJButtonProxyDrawTemplate<CJImageCheckBox>;
