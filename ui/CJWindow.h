#pragma once
// The base of every window and control of the toolkit.
//
// A window owns a rectangle in its parent's content coordinates and an
// ordered ring of children, front (first) to back (last). The front child
// is drawn last and offered input first; raising a child rotates the ring,
// so Tab order survives raising. The root of the tree is the screen window
// (ui/CScreenWindow.h); every other window hangs under a parent once it is
// added. A window is built unattached: the parent given to the constructor
// only lends its skin theme (which may take the parent's font) and its
// transparent flag. Add<W>(placement, ...) builds a W with this window as
// that parent and attaches it, in one call.
//
// Rectangles: m_Rect is in the parent's content coordinates (the parent's
// scroll offset applies); m_ScreenRect is m_Rect in screen coordinates;
// m_VisibleRect is m_ScreenRect clipped to the parent's visible rectangle,
// all zero when nothing shows. Hit tests use m_VisibleRect, so a window
// scrolled or moved out of its parent is neither drawn nor hit.
//
// Sizes are counted in font units (the font's height / 5) unless a flag
// asks for pixels: placement offsets, margins, spacings, border widths.
//
// Input arrives once per frame from the screen window: presses, releases,
// moves, the wheel and keys travel from the root towards the front children.
// A press that a window takes through its own OnMouseDrag holds the button
// there: every move goes to that window until the button is released, the
// hold is cancelled with Escape, the focus is lost or the window dies.
// Windows behind a modal sibling receive nothing.
//
// Windows come from the small-block pool and are destroyed with Destroy (or
// Close, RequestClose, or their parent's death), never by value.

#include "blit/CColor.h"
#include "foundation/CJString.h"
#include "foundation/CMemoryPool.h"
#include "foundation/CPoint.h"
#include "foundation/CRect.h"

#include <cstdint>
#include <utility>

class CCursorSequence;
class CFont;
class CFrame;
class CFrameInterface;
class CFrameList;
class CSequenceList;
class CSkinTheme;
class CWindowImageCache;
class CJWindow;
class CMessage;

// Where AddChild and Place put a window in its parent's content. A code
// that names a window places against the reference given; its Previous twin
// against the window's previous sibling. Offsets dx, dy count in font units
// unless kPlacePixels; kDefaultOffset takes the parent's edge margin (edge
// codes) or spacing.
enum class EPlace : int32_t {
    // The window keeps its rectangle.
    AsIs = 0,
    // At the client area's edges; TopRightCorner measures dy from the very
    // top, over any title bar.
    TopLeft = 1,
    TopRight = 2,
    TopRightCorner = 3,
    BottomRight = 4,
    // dx, dy into the client area (see kPlaceClampInParent).
    At = 5,
    // In the middle of the parent's visible area.
    Centred = 6,
    // Below it, left or right edges aligned; BelowPrevious is TopLeft for a
    // first child.
    Below = 7,
    BelowPrevious = 8,
    BelowRightAligned = 9,
    BelowPreviousRightAligned = 10,
    // Below it, centred across the parent.
    BelowCentred = 11,
    BelowPreviousCentred = 12,
    // Right of it: top edges aligned, centred on it, bottom edges aligned.
    RightOf = 13,
    RightOfPrevious = 14,
    RightOfCentred = 15,
    RightOfPreviousCentred = 16,
    RightOfBottomAligned = 17,
    RightOfPreviousBottomAligned = 18,
    // Just past the parent's right edge, as tall as the parent.
    OutsideRightFullHeight = 19,
    // Left of it, top edges aligned.
    LeftOf = 20,
    LeftOfPrevious = 21,
    // At the pointer, kept inside the parent; the pointer follows a clamp.
    AtMouse = 22,
    BottomLeft = 23,
    // Above it, then over it, centred on it.
    Above = 24,
    AbovePrevious = 25,
    CentredOn = 26,
    CentredOnPrevious = 27,
};

// Placement and add flags (AddChild, Place): ORed with the parent's
// m_AddChildFlags.
inline constexpr uint32_t kPlaceNoGrow = 1;         // the parent keeps its size
inline constexpr uint32_t kPlacePixels = 2;         // offsets are pixels, not font units
inline constexpr uint32_t kPlaceGrowNoMargin = 4;   // the parent grows to the child's edge
inline constexpr uint32_t kPlaceClampInParent = 8;  // EPlace::At stays inside the parent
// An offset of this value asks for the parent's default margin or spacing.
inline constexpr int32_t kDefaultOffset = -1000;

// A placement with everything AddChild takes besides the child:
// Add<W>({EPlace::Below, label}, ...), Add<W>({.flags = kPlaceNoGrow}, ...).
struct SPlace {
    EPlace code = EPlace::AsIs;
    CJWindow* reference = nullptr;
    int32_t dx = kDefaultOffset;
    int32_t dy = kDefaultOffset;
    uint32_t flags = 0;
};
// Where the window stands; the parent keeps its size.
inline constexpr SPlace kAsIsNoGrow{.flags = kPlaceNoGrow};

// Notification codes (NotifyParent, OnNotify).
inline constexpr int32_t kNotifyClicked = 0;
inline constexpr int32_t kNotifyChanged = 1;
inline constexpr int32_t kNotifyFirstDraw = 2;

// Engine key codes the tree reacts to.
inline constexpr uint32_t kKeyTab = 9;
inline constexpr uint32_t kKeyEnter = 13;
inline constexpr uint32_t kKeyEscape = 27;
// Scan indices of the modifier keys (left and right forms).
inline constexpr uint32_t kScanShiftLeft = 42;
inline constexpr uint32_t kScanShiftRight = 54;
inline constexpr uint32_t kScanControlLeft = 29;
inline constexpr uint32_t kScanControlRight = 285;
inline constexpr uint32_t kScanAltLeft = 56;
inline constexpr uint32_t kScanAltRight = 312;

// Scroll bars are 15 pixels thick.
inline constexpr int32_t kScrollBarThickness = 15;

// The scroll bars a window makes for itself. The scroll bar control fills
// this in; until then (create null) windows scroll without bars. A bar is a
// window whose scroll target is its owner.
struct SScrollBarFactory {
    CJWindow* (*create)(CJWindow& owner, bool vertical) = nullptr;
    void (*getRange)(CJWindow& bar, int32_t& minimum, int32_t& maximum) = nullptr;
    void (*setRange)(CJWindow& bar, int32_t minimum, int32_t maximum) = nullptr;
    int32_t (*getPosition)(CJWindow& bar) = nullptr;
    void (*setPosition)(CJWindow& bar, int32_t position) = nullptr;
};
// Answers the factory it replaces.
SScrollBarFactory SetScrollBarFactory(SScrollBarFactory factory);
const SScrollBarFactory& GetScrollBarFactory();

// Made on first use, freed again as soon as all of its fields are zero.
struct CJWindowScroll {
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    int32_t contentWidth = 0;
    int32_t contentHeight = 0;
    bool barsEnabled = false;
    CJWindow* verticalBar = nullptr;
    CJWindow* horizontalBar = nullptr;

    bool IsAllZero() const
    {
        return scrollX == 0 && scrollY == 0 && contentWidth == 0 && contentHeight == 0 && !barsEnabled &&
               verticalBar == nullptr && horizontalBar == nullptr;
    }
};

class CJWindow : public CPooledClassBase {
public:
    explicit CJWindow(CJWindow* parent);
    CJWindow(CJWindow* parent, const CJString& title);
    CJWindow(CJWindow* parent, const char* title);
    CJWindow(const CJWindow&) = delete;
    CJWindow& operator=(const CJWindow&) = delete;

    // ---- Tree and life cycle ----------------------------------------------
    virtual ~CJWindow();
    virtual void SetSkinTheme(CSkinTheme* theme);
    virtual CSkinTheme* GetSkinTheme() const;
    // Children front to back (each may destroy itself), the scroll bars,
    // then Close when a close was requested.
    virtual void Update(float seconds);
    virtual void RequestClose();
    // Destroy; subclasses may refuse (false).
    virtual bool Close();
    // Ends a hold as Escape does, then deletes the window.
    virtual void Destroy();
    // False as soon as a child refuses to close.
    virtual bool CloseAllChildren();

    // ---- Input (ui/CJWindowInput.cpp) -------------------------------------
    // Buttons are 0-4; points are screen coordinates; true = handled.
    virtual bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag);
    virtual bool OnMouseDown(uint32_t button, CPoint point);
    virtual bool OnMouseUp(uint32_t button, CPoint point);
    virtual void OnMouseRepeat(uint32_t button, CPoint point);
    // cursor: filled with the cursor wanted under the point.
    virtual bool OnMouseMove(CPoint point, CPoint movement, CCursorSequence*& cursor);
    // The window's own press, drag and hold: true takes (keeps) the press.
    virtual bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor);
    virtual void OnMouseRelease(CPoint point, uint32_t buttons);
    virtual void OnMouseCaptureLost(uint32_t buttons);
    // Offers a message (a dropped browser item, say) to every visible,
    // enabled child; true when any took it.
    virtual bool ForwardToChildren(CMessage& message);
    virtual bool OnMouseWheel(int32_t delta, CPoint point);
    virtual bool OnKeyDown(uint32_t key);
    // An Alt+key.
    virtual bool OnHotKey(uint32_t key);
    virtual bool OnHotKeyActivate();
    virtual void SetFocus(bool focus);
    virtual void OnShow(bool visible);
    // The base passes every code but the first-draw notice to its parent.
    virtual void OnNotify(CJWindow* sender, int32_t code);
    virtual bool AcceptsHover() const;
    // arg 1 performs; any other value only asks whether it could.
    using CClipboardQueryType = bool (CJWindow::*)(intptr_t);
    virtual bool ClipboardCut(intptr_t arg);
    virtual bool ClipboardCopy(intptr_t arg);
    virtual bool ClipboardPaste(intptr_t arg);
    virtual bool ClipboardDelete(intptr_t arg);

    // ---- Flags and visibility ---------------------------------------------
    // notify: showing raises the window to its parent's front, hiding raises
    // its next sibling.
    virtual void Show(bool visible, bool notify);
    virtual bool IsVisible() const;
    // Visible, and every parent up to the root too.
    virtual bool IsShownOnScreen() const;
    virtual void UpdateEnabledState();
    virtual bool IsActive() const;

    // ---- Child ring -------------------------------------------------------
    // The window takes the child (null: nothing); prefer Add<W>.
    virtual void AddChild(CJWindow* child, EPlace placement = EPlace::AsIs, CJWindow* reference = nullptr,
                          int32_t dx = kDefaultOffset, int32_t dy = kDefaultOffset, uint32_t flags = 0);
    virtual void AddChildFirst(CJWindow* child, EPlace placement = EPlace::AsIs, CJWindow* reference = nullptr,
                               int32_t dx = kDefaultOffset, int32_t dy = kDefaultOffset, uint32_t flags = 0);
    virtual void RemoveChild(CJWindow* child);
    // True: a child under the mouse is raised on a press.
    virtual bool HasOverlappingChildren() const;
    virtual void BringChildToFront(CJWindow* child);
    virtual void SendChildToBack(CJWindow* child);
    // Called on a child: the next (previous) visible tab stop among its
    // siblings, wrapping; null when none.
    virtual CJWindow* GetNextFocusable();
    virtual CJWindow* GetPreviousFocusable();
    virtual void NotifyParent(int32_t code);
    virtual bool IsScreenWindow() const;

    // ---- Hot keys (ui/CJWindowInput.cpp) ----------------------------------
    virtual void SetHotKeyChar(uint32_t character);
    // The index of the character in the title, or -1.
    virtual int32_t SetHotKeyInTitle(uint32_t character);
    // As SetHotKeyInTitle; a key not in the title is appended as " (name)".
    virtual int32_t SetHotKey(uint32_t key);
    virtual uint8_t GetHotKeyChar() const;
    virtual void ClearHotKey();

    // ---- Geometry ---------------------------------------------------------
    virtual void SetRect(const CRect& rect);
    virtual const CRect& GetRect() const;
    // Keeps the top-left corner.
    virtual void SetSize(int32_t width, int32_t height);
    virtual int32_t GetClientTopInset() const;
    virtual int32_t GetClientLeftInset() const;
    // A code outside EPlace moves nothing.
    virtual void Place(EPlace code, CJWindow* reference, int32_t dx, int32_t dy, uint32_t flags);
    void Place(const SPlace& place) { Place(place.code, place.reference, place.dx, place.dy, place.flags); }
    // margin kDefaultOffset = the edge margin, else font units.
    virtual void GrowToFitChild(CJWindow* child, int32_t margin);
    // A child (searched recursively) other than except at exactly rect.
    virtual bool IsChildAtRect(const CRect& rect, const CJWindow* except) const;
    virtual bool HasChildren() const;
    virtual void ReleaseReplacedWindow();

    virtual CCursorSequence* GetCursor(CPoint point);
    // The base asks the parent; false at the root.
    virtual bool OnHover(CPoint point);
    virtual bool WantsAutoHotKey() const;
    virtual bool IsMenuWindow() const;
    virtual void UpdateScrollBars();

    // ---- Non-virtual helpers ----------------------------------------------
    // A new W(this, args...) made a child of this window, at the back (Add)
    // or the front (AddFirst) of the ring; the tree owns it from here.
    template <typename W, typename... Args>
    W& Add(const SPlace& place, Args&&... args);
    template <typename W, typename... Args>
    W& Add(EPlace code, Args&&... args);
    template <typename W, typename... Args>
    W& AddFirst(const SPlace& place, Args&&... args);
    template <typename W, typename... Args>
    W& AddFirst(EPlace code, Args&&... args);
    void AddChild(CJWindow* child, const SPlace& place)
    {
        AddChild(child, place.code, place.reference, place.dx, place.dy, place.flags);
    }
    void AddChildFirst(CJWindow* child, const SPlace& place)
    {
        AddChildFirst(child, place.code, place.reference, place.dx, place.dy, place.flags);
    }
    // AddChildFirst on the parent (on this window without one).
    void AddSibling(CJWindow* window, EPlace placement);
    void AddModalSibling(CJWindow* window, EPlace placement);
    CJWindow* GetRootWindow();
    // A modal box with an "OK" button, centred in front of this window's
    // parent (ui/CJMessageBox.cpp).
    void ShowMessageBox(const CJString& title, const CJString& text);
    // The first visible child whose rectangle holds the point (this window's
    // content coordinates).
    CJWindow* GetChildAt(CPoint point) const;
    CJWindow* GetDeepestChildAt(CPoint point) const;

    void Enable(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }
    // Own flag and the parent's own flag.
    bool IsEnabledWithParent() const;
    void SetModal(bool modal) { m_Modal = modal; }
    bool IsModal() const { return m_Modal; }
    void SetTopLayer(bool topLayer) { m_TopLayer = topLayer; }
    bool IsTopLayer() const { return m_TopLayer; }
    // Recursive over all descendants.
    void SetTransparent(bool transparent);
    bool IsTransparent() const { return m_Transparent; }
    bool HasFocus() const { return m_HasFocus; }
    void SetTabStop(bool tabStop) { m_TabStop = tabStop; }
    bool IsTabStop() const { return m_TabStop; }
    void SetHoverWithChildren(bool on) { m_HoverWithChildren = on; }
    void SetHotKeyTakesFocus(bool on) { m_HotKeyTakesFocus = on; }
    void SetMoveWhenDisabled(bool on) { m_MoveWhenDisabled = on; }
    void SetDrawOutline(bool on) { m_DrawOutline = on; }
    void SetParseHotKeyMark(bool on) { m_ParseHotKeyMark = on; }
    void SetAddChildFlags(uint32_t flags) { m_AddChildFlags = flags; }
    uint32_t GetHeldButtons() const { return m_HeldButtons; }
    CPoint GetPressPoint() const { return m_PressPoint; }
    uint8_t GetHotKeyIndex() const { return m_HotKeyIndex; }
    uint8_t GetHotKeyLength() const { return m_HotKeyLength; }
    bool IsCloseRequested() const { return m_CloseRequested; }

    CJWindow* GetParent() const { return m_Parent; }
    CJWindow* GetFirstChild() const { return m_FirstChild; }
    CJWindow* GetLastChild() const { return m_LastChild; }
    CJWindow* GetNextSibling() const { return m_NextSibling; }
    CJWindow* GetPrevSibling() const { return m_PrevSibling; }

    const CRect& GetVisibleRect() const { return m_VisibleRect; }
    const CRect& GetScreenRect() const { return m_ScreenRect; }
    const CRect& GetClipRect() const { return m_ClipRect; }
    int32_t GetWidth() const { return m_Rect.GetWidth(); }
    int32_t GetHeight() const { return m_Rect.GetHeight(); }
    int32_t GetContentWidth() const { return m_ContentWidth; }
    int32_t GetContentHeight() const { return m_ContentHeight; }
    void MoveTo(int32_t x, int32_t y);
    void MoveToX(int32_t x);
    void MoveToY(int32_t y);
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    void SetRectXYWH(int32_t x, int32_t y, int32_t width, int32_t height);
    // The font's height / 5.
    int32_t GetFontUnit() const;
    int32_t GetEdgeMargin() const { return m_EdgeMargin; }
    int32_t GetSpacingX() const { return m_SpacingX; }
    int32_t GetSpacingY() const { return m_SpacingY; }
    void SetEdgeMargin(int32_t margin) { m_EdgeMargin = uint8_t(margin < 0 ? 0 : margin > 255 ? 255 : margin); }
    void SetSpacing(int32_t x, int32_t y) { m_SpacingX = x, m_SpacingY = y; }
    // Alignment 0 keeps left edges, 1 centres, 2 keeps right edges.
    void MakeSameWidth(CJWindow* last, int32_t alignment);
    // spacing -999 = m_SpacingX.
    void ArrangeRow(CJWindow* first, CJWindow* last, int32_t xOffset, bool bottomAlign, bool sameWidth,
                    int32_t spacing, bool growParent);
    CPoint ScreenToClient(CPoint point) const;

    // Focus, Tab and hot keys (ui/CJWindowInput.cpp).
    // True when a window was raised.
    bool FocusNext();
    bool FocusPrevious();
    // Pointer back to the press point, capture lost, buttons released.
    void CancelMouseHold();
    // Drag threshold test for OnMouseDrag overrides (see the .cpp).
    bool IsDragBeyond(CPoint point, CPoint movement, CPoint& out, uint32_t thresholdSquared);
    void AssignChildHotKeys();
    // Reads the '&' marks of a title (removing them) into the hot-key
    // fields; SetTitle calls it when m_ParseHotKeyMark is set.
    void ParseHotKeyMark(CJString& title);

    // Scrolling.
    void SetScrollSize(int32_t width, int32_t height);
    void SetScrollPosition(int32_t x, int32_t y);
    void SetScrollX(int32_t x);
    void SetScrollY(int32_t y);
    void EnableScrollBars(bool on);
    int32_t GetScrollOffsetX() const { return m_Scroll ? m_Scroll->scrollX : 0; }
    int32_t GetScrollOffsetY() const { return m_Scroll ? m_Scroll->scrollY : 0; }
    const CJWindowScroll* GetScroll() const { return m_Scroll; }
    // The client area in content coordinates, scrolled and without bars.
    CRect GetScrolledClientRect() const;
    int32_t GetViewWidth() const;
    int32_t GetViewHeight() const;

    // Process-wide state of the tree.
    // Set by keyboard focus moves, cleared by every new press; the focus
    // rectangle shows only while it is set.
    static bool IsKeyboardFocusShown();
    static void SetKeyboardFocusShown(bool shown);
    // Raised when a window dies or hides, so cached window images are
    // drawn afresh; the root's draw clears it.
    static void RaiseFlushCachedWindows();
    static bool IsFlushCachedWindowsRaised();
    static void ClearFlushCachedWindows();

    // ======================================================================
    // Drawing, titles, colours and settings
    // ======================================================================
public:
    // Children only, in two layers; subclasses draw themselves first.
    virtual void Draw(CFrameInterface& frame);
    virtual bool IsGrayed() const;
    // The window's rectangle grown by one pixel, outlined.
    virtual void DrawFocusRect(CFrameInterface& frame, const CColor& colour);
    // Alignment 0 left, 1 centred on x, 2 right-aligned at x.
    virtual void DrawTitle(CFrameInterface& frame, int32_t x, int32_t y, int32_t alignment);
    // The theme's skin frame, else the shared window texture.
    virtual CFrame* GetSkin();

    // Clears and re-reads the hot key (ParseHotKeyMark).
    virtual void SetTitle(const CJString& title);
    virtual const char* GetTitleText() const;
    virtual const CJString& GetTitle() const;
    virtual CFont* GetFont() const;
    virtual void SetFont(CFont* font);
    virtual int32_t GetTitleAsInt() const;
    virtual float GetTitleAsFloat() const;
    virtual void SetTitleFromInt(int32_t value);
    virtual void SetTitleFromFloat(float value);
    virtual void SetColor0(const CColor& colour);
    virtual void SetColor0RGB(uint8_t r, uint8_t g, uint8_t b);
    virtual const CColor& GetColor0() const;
    virtual void SetColor1RGB(uint8_t r, uint8_t g, uint8_t b);
    virtual void SetTextColor(const CColor& colour);
    virtual const CColor& GetTextColor() const;
    virtual void SetFocusColorRGB(uint8_t r, uint8_t g, uint8_t b);
    virtual void SetColor4RGB(uint8_t r, uint8_t g, uint8_t b);
    virtual void SetOutlineColorRGB(uint8_t r, uint8_t g, uint8_t b);
    // key null = the title.
    virtual void LoadWindowSettings(const char* key, bool withSize);
    virtual void SaveWindowSettings(const char* key, bool withSize);

    void DrawChildren(CFrameInterface& frame, int32_t layer);
    void ClearTitle();
    void SetTitleText(const char* text);
    // Also the width of every window built later.
    void SetBorderWidthUnits(int32_t units);
    // This window's only (skins size their controls with it).
    void SetBorderWidth(int32_t pixels);
    int32_t GetBorderWidth() const { return m_BorderWidth; }
    void ShrinkWidthToText(const CJString& text);
    void SetOpacity(float opacity) { m_Opacity = opacity; }
    float GetOpacity() const { return m_Opacity; }
    bool IsFirstDrawDone() const { return m_FirstDrawDone; }
    // Set by LoadWindowSettings; children keep their own settings under it.
    const CJString& GetSettingsKey() const { return m_SettingsKey; }
    bool HasSettingsKey() const { return m_HasSettingsKey; }
    // The window takes the record (null: none) and deletes the old one.
    void SetImageCache(CWindowImageCache* cache);
    CWindowImageCache* GetImageCache() const { return m_ImageCache; }

    // Edge mask: 1 left, 2 top, 4 right, 8 bottom.
    static void DrawBevelBox(CFont* font, CFrameInterface& frame, const CRect& rect, bool raised, uint32_t edges,
                             bool strong);
    // The shared colours DrawBevelBox draws with on screens of more than 8
    // bits.
    enum class BevelColour { Light, StrongLight, Shadow, StrongShadow };
    static CColor& GetBevelColour(BevelColour which);
    // The process-wide font of new windows.
    static void SetDefaultFont(CFont* font);
    static CFont* GetDefaultFont();
    // Handed over by the application at start-up: the interface texture
    // list (kept) and the skin frame list the shared frames come from.
    static void SetSkinResources(CFrameList* textureList, CFrameList* skinFrames);
    // The border width of windows built from now on (pixels).
    static void SetDefaultBorderWidth(int32_t pixels);
    // The settings file windows keep their places in; null (the default):
    // the program's settings file.
    static void SetWindowSettingsFile(const char* fileName);
    static const char* GetWindowSettingsFile();
    static void SetStandardCursor(int32_t id, CCursorSequence* cursor);
    // The named sequence of the list (null: the game's sequence list) as the
    // cursor of id; a name the list lacks leaves the entry empty.
    static void SetStandardCursor(int32_t id, const char* name, CSequenceList* list);
    // Entry 0 when the id's entry is empty.
    static CCursorSequence* GetStandardCursor(int32_t id);

protected:
    // Called by every constructor before the theme sets the window up:
    // colour records, and the shared frames and colours on the first call.
    void InitDrawingState();
    // Called by the destructor: saves the settings when a key was loaded,
    // frees the image cache record.
    void ReleaseDrawingState();

    CColor m_Color0;
    CColor m_Color1;
    CColor m_TextColor;
    CColor m_FocusColor;
    CColor m_Color4;
    CColor m_OutlineColor;
    CJString m_SettingsKey;
    bool m_HasSettingsKey = false;
    bool m_SaveSizeInSettings = false;
    bool m_FirstDrawDone = false;
    bool m_DrawOutline = false;
    float m_Opacity = 1.0f;
    CWindowImageCache* m_ImageCache = nullptr;
    // ======================================================================
    // End of drawing, titles, colours and settings
    // ======================================================================

protected:
    // The window's own press point and hold, for subclasses.
    void SetHeldButtons(uint32_t buttons) { m_HeldButtons = uint8_t(buttons); }

    CRect m_Rect{};
    CRect m_VisibleRect{};
    CRect m_ScreenRect{};
    int32_t m_ContentWidth = 0;
    int32_t m_ContentHeight = 0;
    CRect m_ClipRect{};
    uint32_t m_AddChildFlags = 0;
    CSkinTheme* m_SkinTheme = nullptr;
    CJString m_Title;
    uint8_t m_HotKeyIndex = 255;
    uint8_t m_HotKeyLength = 0;
    uint8_t m_HotKeyChar = 0;
    bool m_HasFocus = false;
    bool m_TabStop = false;
    bool m_HoverWithChildren = false;
    bool m_HotKeyTakesFocus = false;
    bool m_Visible = true;
    bool m_Enabled = true;
    bool m_MoveWhenDisabled = false;
    bool m_Modal = false;
    bool m_Transparent = false;
    bool m_TopLayer = false;
    uint8_t m_HeldButtons = 0;
    CPoint m_PressPoint{0, 0};
    uint32_t m_DragDistanceSquared = 0;
    uint8_t m_EdgeMargin = 0;
    int32_t m_SpacingX = 0;
    int32_t m_SpacingY = 0;
    uint8_t m_BorderWidth = 0;
    bool m_ParseHotKeyMark = true;
    CFont* m_Font = nullptr;
    CJWindow* m_Parent = nullptr;
    CJWindow* m_FirstChild = nullptr;
    CJWindow* m_LastChild = nullptr;
    CJWindow* m_NextSibling = nullptr;
    CJWindow* m_PrevSibling = nullptr;
    bool m_CloseRequested = false;
    CJWindowScroll* m_Scroll = nullptr;

private:
    template <typename W>
    W& Attached(W& child, const SPlace& place, bool front)
    {
        if (front)
            AddChildFirst(&child, place);
        else
            AddChild(&child, place);
        return child;
    }
    void Construct(CJWindow* parent);
    // On a child being added: its front child is made one that can take
    // the focus, then it is placed.
    void FrontChildTakingFocus();
    void PlaceAdded(EPlace placement, CJWindow* reference, int32_t dx, int32_t dy, uint32_t flags);
    void LinkAtBack(CJWindow* child);
    void LinkAtFront(CJWindow* child);
    void Unlink(CJWindow* child);
    CJWindowScroll& TouchScroll();
    void DropScrollIfEmpty();
    void DeleteScrollBar(CJWindow*& bar);
};

template <typename W, typename... Args>
W& CJWindow::Add(const SPlace& place, Args&&... args)
{
    return Attached(*new W(this, std::forward<Args>(args)...), place, false);
}

template <typename W, typename... Args>
W& CJWindow::Add(EPlace code, Args&&... args)
{
    return Add<W>(SPlace{code}, std::forward<Args>(args)...);
}

template <typename W, typename... Args>
W& CJWindow::AddFirst(const SPlace& place, Args&&... args)
{
    return Attached(*new W(this, std::forward<Args>(args)...), place, true);
}

template <typename W, typename... Args>
W& CJWindow::AddFirst(EPlace code, Args&&... args)
{
    return AddFirst<W>(SPlace{code}, std::forward<Args>(args)...);
}

// Greyed drawing: the shared bevel colours at half their alpha while it
// lives; they get back what they had, so greyed draws may nest.
class CScopedHalfBevels {
public:
    CScopedHalfBevels();
    CScopedHalfBevels(const CScopedHalfBevels&) = delete;
    CScopedHalfBevels& operator=(const CScopedHalfBevels&) = delete;
    ~CScopedHalfBevels();

private:
    uint8_t m_Alpha[4]{};
};
