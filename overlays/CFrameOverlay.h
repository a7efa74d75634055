#pragma once
// Frame overlays: designer-made elements (texts, images, gauges, buttons,
// containers, timelines) laid over a frame, gathered in overlay sets. A set
// is one object file "<name>.FOO" in "Resources/Frame Overlay Options"; the
// screen that owns it draws it every frame with a text-substitution list
// that fills "%s[Key]" tokens, and looks overlays up by "ID" (without regard
// to case) to place windows, buttons and markers.
//
// Drawing walks the overlay tree with one draw context. A container that
// changes the context for its children works on a copy; an overlay that puts
// a proxy over the context's target puts the old target back before it
// returns. A set's own "Opacity" rule (multiply unless both are at least 1)
// applies only to the set's entries: containers draw their children as they
// are.
//
// While the level editor is open (the toolkit's CUiHooks) image overlays
// draw at rest: without opacity, translation, scale or rotation.

#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"
#include "shell/CLoadingScreenPresenter.h"

#include <cstdint>
#include <span>

class CBlitType;
class CCodeTableList;
class CFont;
class CFrame;
class CFrameInterface;
class CFrameOverlayOptions;
class CFrameOverlayPositionMarker;
class CJButton;
class CTextSubstitutionList;
struct CFPoint;

// An item the set's owner shows, for one draw, in place of the item an
// overlay of that ID names itself (the shop shows the selected slot's
// upgrades in its close-ups).
struct COverlayShownItem {
    const char* m_ID = nullptr; // matched without regard to case
    int32_t m_Item = 0;         // negative: the overlay's own
};

struct CFrameOverlayDrawContext {
    CFrameInterface* m_pTarget = nullptr;
    CTextSubstitutionList* m_pSubstitutions = nullptr; // may be null
    CFrameOverlayOptions* m_pCurrentSet = nullptr;
    bool m_bShowMarkers = false; // the editor's view: outlines, labels, no animation
    int32_t m_MouseX = -1;       // a negative x: no mouse point
    int32_t m_MouseY = -1;
    float m_Opacity = 1.0f;
    float m_OffsetX = 0.0f;
    float m_OffsetY = 0.0f;
    float m_ScaleX = 1.0f;
    float m_ScaleY = 1.0f;
    float m_Rotation = 0.0f; // degrees
    float m_Time = 0.0f;     // seconds into the enclosing timeline
    bool m_bAnimating = false;
    int32_t m_WindowOffsetX = 0;
    int32_t m_WindowOffsetY = 0;
    CJString m_ToolTip;
    std::span<const COverlayShownItem> m_ShownItems; // not owned; empty: none

    bool HasMouse() const { return m_MouseX >= 0; }
    // The item shown in the overlay of that ID: the owner's, else own.
    int32_t GetShownItem(const CJString& id, int32_t own) const;
    // Opacity not below 1, scale 1, 1, offset 0, 0 and rotation 0.
    bool IsAtRest() const;
    bool IsTransformed() const;
    // The text through the substitution list, when there is one.
    CJString Substitute(const CJString& text) const;
};

// Whether the level editor's window exists (the toolkit's hooks answer).
bool IsOverlayEditorOpen();

class CFrameOverlay : public CObject {
    OMBRISALT_REFLECTED(CFrameOverlay, CObject)
public:
    CFrameOverlay();
    ~CFrameOverlay() override;

    virtual void Draw(CFrameOverlayDrawContext& context) = 0;
    // Moves the overlay's position (containers move their children).
    virtual void MoveBy(int32_t dx, int32_t dy) = 0;
    // This overlay when its ID is the name (case-blind); containers search
    // their children. accumulator, when given, collects the positions of
    // the containers around the overlay found.
    virtual CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions, CPoint* accumulator);
    virtual void SetControlledByTimeline(bool controlled) { m_bControlledByTimeline = controlled; }
    virtual bool IsControlledByTimeline() const { return m_bControlledByTimeline; }

    bool HasID(const CJString& name) const { return m_ID.IsNotEmpty() && m_ID.CompareNoCase(name) == 0; }

    CJString m_ID;
    float m_Opacity = 1.0f;

protected:
    // The class's display name, a space and the detail.
    void Describe(CJString& out, const CJString& detail);

private:
    bool m_bControlledByTimeline = false;
};

// Owned overlays in drawing order; entries may be null.
using COverlayArray = CPropertyArray<CFrameOverlay*>;

class CFrameOverlayOptions : public CObject {
    OMBRISALT_REFLECTED(CFrameOverlayOptions, CObject)
public:
    CFrameOverlayOptions();
    ~CFrameOverlayOptions() override;

    // A fresh context at its initial values; mouse null: no mouse point.
    void DrawOnFrame(CFrameInterface& target, CTextSubstitutionList* substitutions, bool showMarkers,
                     const CPoint* mouse);
    // Draws the entries with the set's opacity rule. A set met again while
    // it is being drawn (a nested set that names itself) draws nothing.
    void Draw(CFrameOverlayDrawContext& context);
    CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions, CPoint* accumulator);
    CFrameOverlayPositionMarker* FindPositionMarker(const CJString& name);
    // The new control of the button overlay of that ID, moved by the
    // positions of the containers around it; null when there is none.
    CJButton* CreateButtonWindow(const CJString& name, CTextSubstitutionList* substitutions);
    // The set's font; null when the index names none.
    CFont* GetTextFont() const;
    void Append(CFrameOverlay* overlay);
    uint32_t GetOverlayCount() const { return m_ListOfOverlays.GetCount(); }
    CFrameOverlay* GetOverlay(uint32_t i) const { return m_ListOfOverlays[i]; }
    // Object text ends with "Unset Picture=!None"; a reader passes it by,
    // and reads each picture's name as that picture.
    void WriteCustomProperties(CObjectStream& stream) override;
    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;

    int32_t m_TextFont = 0;
    int32_t m_PreviewFrame = 0;
    COverlayArray m_ListOfOverlays;
    CTextSubstitutionList* m_pPreviewSubstitutions = nullptr;

private:
    bool m_bDrawing = false;
    bool m_bSearching = false;
};

// The global list of overlay sets ("FOO" files); its folder is set at
// start-up (InitFrameOverlayOptionsList).
class CFrameOverlayOptionsList : public CObjectArrayBaseTemplate<CFrameOverlayOptions> {
public:
    CFrameOverlayOptionsList();
    // CFrameOverlayBrowserItem.
    ImageBrowserItemFactory GetItemFactory() override;
};
CFrameOverlayOptionsList& GetFrameOverlayOptionsList();
// Points the list at "Frame Overlay Options" under "Resources" and enters it
// among the named lists, so that every reset of the lists re-points it.
void InitFrameOverlayOptionsList();
// The set of that name; null when the list has none.
CFrameOverlayOptions* FindFrameOverlayOptions(const char* name);

// A set with its substitutions, drawn over a loading picture.
class CFrameOverlayLoadingScreenOverlay final : public CLoadingScreenOverlay {
public:
    CFrameOverlayLoadingScreenOverlay(CFrameOverlayOptions& set, CTextSubstitutionList* substitutions)
        : m_Set(set)
        , m_pSubstitutions(substitutions)
    {
    }
    void DrawOnFrame(CFrame& frame) override;

private:
    CFrameOverlayOptions& m_Set;
    CTextSubstitutionList* m_pSubstitutions;
};

// The loading progress a loading-screen set shows: "%s[NumThingsLoaded]",
// "%s[TotalThingsToLoad]" and "%s[Key]", the loaded fraction (held to 0..1)
// times 6 in "%g" form. The list is emptied first.
void FillLoadingProgress(CTextSubstitutionList& values, int32_t loaded, int32_t total);

// "Justify Left", "Justify Center", "Justify Right".
enum class OverlayJustification : int32_t { Left = 0, Center = 1, Right = 2 };
CCodeTableList& GetOverlayJustificationList();
// Display text of a localised property: its translation, else its text.
const CJString& ShownText(const CTranslatedText& text);
// Entries of the global lists; null for an index outside the list.
CFont* GetOverlayFont(int32_t index);
CFrame* GetOverlayFrame(int32_t index);
class CSequence;
CSequence* GetOverlaySequence(int32_t index);
// A float read from data, made safe for indices and sizes: NaN gives 0 and
// the value is held to +-1e9.
float ClampDataNumber(float value);
// round(value) held to the int32 range (NaN gives 0).
int32_t RoundToInt(float value);

// The opacity and transform proxies of an image overlay for one draw: put
// over the context's target on construction, taken off on destruction.
// Nothing while the level editor is open.
class COverlayImageProxies {
public:
    COverlayImageProxies(CFrameOverlayDrawContext& context, float pivotX, float pivotY);
    ~COverlayImageProxies();
    COverlayImageProxies(const COverlayImageProxies&) = delete;
    COverlayImageProxies& operator=(const COverlayImageProxies&) = delete;

private:
    struct CProxies;
    CFrameOverlayDrawContext& m_Context;
    CFrameInterface* m_pPrevious;
    CProxies* m_pProxies = nullptr;
};
