#include "overlays/CFrameOverlay.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CStaticContentsList.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFileListList.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "overlays/ImageOverlays.h"
#include "render/COpacityProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/UiHooks.h"

#include <cmath>
#include <cstdio>

namespace {

// Clears a flag on leaving the scope.
class CFlagScope {
public:
    explicit CFlagScope(bool& flag)
        : m_Flag(flag)
    {
        m_Flag = true;
    }
    ~CFlagScope() { m_Flag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    bool& m_Flag;
};

} // namespace

bool IsOverlayEditorOpen()
{
    return GetUiHooks().IsLevelEditorOpen();
}

bool CFrameOverlayDrawContext::IsAtRest() const
{
    return !(m_Opacity < 1.0f) && !IsTransformed();
}

bool CFrameOverlayDrawContext::IsTransformed() const
{
    return m_ScaleX != 1.0f || m_ScaleY != 1.0f || m_OffsetX != 0.0f || m_OffsetY != 0.0f || m_Rotation != 0.0f;
}

CJString CFrameOverlayDrawContext::Substitute(const CJString& text) const
{
    return m_pSubstitutions ? m_pSubstitutions->Apply(text) : text;
}

int32_t CFrameOverlayDrawContext::GetShownItem(const CJString& id, int32_t own) const
{
    for (const COverlayShownItem& shown : m_ShownItems)
        if (shown.m_Item >= 0 && shown.m_ID && id.CompareNoCase(shown.m_ID) == 0)
            return shown.m_Item;
    return own;
}

// --- Shared helpers ---

CCodeTableList& GetOverlayJustificationList()
{
    static const CCodeTableRow kRows[]
        = {{0, "Justify Left", nullptr}, {1, "Justify Center", nullptr}, {2, "Justify Right", nullptr}, {}};
    static CCodeTableList list(kRows);
    return list;
}

const CJString& ShownText(const CTranslatedText& text)
{
    return text.GetTranslation().IsEmpty() ? text.GetText() : text.GetTranslation();
}

CFont* GetOverlayFont(int32_t index)
{
    CFontList& list = GetFontList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

CFrame* GetOverlayFrame(int32_t index)
{
    CFrameList& list = GetFrameLibrary();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

CSequence* GetOverlaySequence(int32_t index)
{
    CSequenceList& list = GetSequenceList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

float ClampDataNumber(float value)
{
    if (std::isnan(value))
        return 0.0f;
    return std::fmin(std::fmax(value, -1.0e9f), 1.0e9f);
}

int32_t RoundToInt(float value)
{
    return int32_t(std::lround(double(ClampDataNumber(value))));
}

// --- Image proxies ---

struct COverlayImageProxies::CProxies {
    COpacityProxyFrame opacity;
    COffsetRotateScaleProxyFrame transform;
};

COverlayImageProxies::COverlayImageProxies(CFrameOverlayDrawContext& context, float pivotX, float pivotY)
    : m_Context(context)
    , m_pPrevious(context.m_pTarget)
{
    if (IsOverlayEditorOpen() || (!(context.m_Opacity < 1.0f) && !context.IsTransformed()))
        return;
    m_pProxies = new CProxies;
    if (context.m_Opacity < 1.0f) {
        m_pProxies->opacity.SetFrame(context.m_pTarget);
        m_pProxies->opacity.SetOpacity(context.m_Opacity);
        context.m_pTarget = &m_pProxies->opacity;
    }
    if (context.IsTransformed()) {
        CFPoint pivot{pivotX, pivotY};
        m_pProxies->transform.SetFrame(context.m_pTarget);
        m_pProxies->transform.SetPivot(pivot);
        m_pProxies->transform.SetOffset(CFPoint{context.m_OffsetX, context.m_OffsetY});
        m_pProxies->transform.SetScale(CFPoint{context.m_ScaleX, context.m_ScaleY});
        m_pProxies->transform.SetRotationDegrees(context.m_Rotation);
        context.m_pTarget = &m_pProxies->transform;
    }
}

COverlayImageProxies::~COverlayImageProxies()
{
    m_Context.m_pTarget = m_pPrevious;
    delete m_pProxies;
}

// --- CFrameOverlay ---

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CFrameOverlay, 1.0)

void CFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameOverlay::m_ID, "ID", "");
    d.Add(&CFrameOverlay::m_Opacity, "Opacity", 1.0f).Range(0.0f, 1.0f);
}

CFrameOverlay::CFrameOverlay()
{
    InitDeclaredProperties();
}

CFrameOverlay::~CFrameOverlay()
{
    DestroyDeclaredProperties();
}

CFrameOverlay* CFrameOverlay::FindOverlay(const CJString& name, CTextSubstitutionList*, CPoint*)
{
    return HasID(name) ? this : nullptr;
}

void CFrameOverlay::Describe(CJString& out, const CJString& detail)
{
    out = GetClassInfo()->GetDisplayName();
    out.Append(" ");
    out.Append(detail);
}

// --- CFrameOverlayOptions ---

OMBRISALT_IMPLEMENT_CLASS(CFrameOverlayOptions, 1.0)

void CFrameOverlayOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayOptions;
    d.AddListReference(&C::m_TextFont, "Text Font", &GetFontList(), nullptr).DefaultWhenMissing();
    d.AddListReference(&C::m_PreviewFrame, "Preview/Frame To Preview On", &GetFrameLibrary(), nullptr)
        .DefaultWhenMissing();
    d.AddArray<CTypedPObjectProperty<CFrameOverlay>>(&C::m_ListOfOverlays, "Text Overlays", "Array Item", nullptr);
    d.AddOwned(&C::m_pPreviewSubstitutions, "Preview/Preview Text Substitution List");
}

CFrameOverlayOptions::CFrameOverlayOptions()
{
    InitDeclaredProperties();
}

CFrameOverlayOptions::~CFrameOverlayOptions()
{
    DestroyDeclaredProperties();
}

void CFrameOverlayOptions::DrawOnFrame(CFrameInterface& target, CTextSubstitutionList* substitutions, bool showMarkers,
                                       const CPoint* mouse)
{
    CFrameOverlayDrawContext context;
    context.m_pTarget = &target;
    context.m_pSubstitutions = substitutions;
    context.m_bShowMarkers = showMarkers;
    if (mouse) {
        context.m_MouseX = mouse->x;
        context.m_MouseY = mouse->y;
    }
    Draw(context);
}

void CFrameOverlayOptions::Draw(CFrameOverlayDrawContext& context)
{
    if (m_bDrawing)
        return;
    CFlagScope drawing(m_bDrawing);
    context.m_pCurrentSet = this;
    for (uint32_t i = 0; i < m_ListOfOverlays.GetCount(); ++i) {
        CFrameOverlay* overlay = m_ListOfOverlays[i];
        if (!overlay)
            continue;
        context.m_bAnimating = false;
        const float opacity = context.m_Opacity;
        if (!(overlay->m_Opacity >= 1.0f && context.m_Opacity >= 1.0f))
            context.m_Opacity *= overlay->m_Opacity;
        overlay->Draw(context);
        context.m_Opacity = opacity;
    }
}

CFrameOverlay* CFrameOverlayOptions::FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                                                 CPoint* accumulator)
{
    if (m_bSearching)
        return nullptr;
    CFlagScope searching(m_bSearching);
    for (uint32_t i = 0; i < m_ListOfOverlays.GetCount(); ++i) {
        CFrameOverlay* overlay = m_ListOfOverlays[i];
        if (!overlay)
            continue;
        if (CFrameOverlay* found = overlay->FindOverlay(name, substitutions, accumulator))
            return found;
        if (overlay->HasID(name))
            return overlay;
    }
    return nullptr;
}

CFrameOverlayPositionMarker* CFrameOverlayOptions::FindPositionMarker(const CJString& name)
{
    return dynamic_cast<CFrameOverlayPositionMarker*>(FindOverlay(name, nullptr, nullptr));
}

CFont* CFrameOverlayOptions::GetTextFont() const
{
    return GetOverlayFont(m_TextFont);
}

namespace {

constexpr const char* kUnsetPictureKey = "Unset Picture";

} // namespace

void CFrameOverlayOptions::WriteCustomProperties(CObjectStream& stream)
{
    // Kept for the build before this one, which read a set without the line
    // as one whose first picture meant none.
    CJString line(kUnsetPictureKey);
    line.Append("=");
    line.Append(GetFrameLibrary().NoneEntryName());
    stream.WriteLine(line.GetString());
}

void CFrameOverlayOptions::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream)
{
    // A picture's name is that picture, with the line or without: nothing in
    // a file of the build without a none picture tells the name it wrote for
    // none from a chosen one (README).
    CJString narrow(name);
    if (narrow.IsWide())
        narrow.ToNarrow();
    if (CompareNameNoCase(narrow.GetString(), kUnsetPictureKey) != 0)
        CObject::ReadCustomProperties(name, value, stream);
}

void CFrameOverlayOptions::Append(CFrameOverlay* overlay)
{
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Text Overlays"));
    const uint32_t count = m_ListOfOverlays.GetCount();
    array->ArrayProperty_SetCount(this, count + 1);
    m_ListOfOverlays[count] = overlay;
}

// --- The list of sets ---

CFrameOverlayOptionsList::CFrameOverlayOptionsList()
    : CObjectArrayBaseTemplate<CFrameOverlayOptions>("FOO")
{
}

CFrameOverlayOptionsList& GetFrameOverlayOptionsList()
{
    // Lives to the end of the process, as the registry of lists expects.
    static auto* list = [] {
        auto* made = new CFrameOverlayOptionsList;
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

void InitFrameOverlayOptionsList()
{
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    list.SetSource(nullptr, "Resources/Frame Overlay Options", 0);
    if (CFileListList::SGetInstance().FindIndexOfList(&list) < 0)
        list.RegisterList("Frame Overlay Options", "Resources/Frame Overlay Options");
}

CFrameOverlayOptions* FindFrameOverlayOptions(const char* name)
{
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    const int32_t index = list.Find(name);
    return index < 0 ? nullptr : list.GetObject(index);
}

void FillLoadingProgress(CTextSubstitutionList& values, int32_t loaded, int32_t total)
{
    float fraction = float(loaded) / float(total > 0 ? total : 1);
    fraction = fraction < 0.0f ? 0.0f : fraction > 1.0f ? 1.0f : fraction;
    char key[32];
    std::snprintf(key, sizeof key, "%g", double(fraction * 6.0f));
    values.RemoveAll();
    values.AddNumber("%s[NumThingsLoaded]", loaded);
    values.AddNumber("%s[TotalThingsToLoad]", total);
    values.AddText("%s[Key]", CJString(key));
}

void CFrameOverlayLoadingScreenOverlay::DrawOnFrame(CFrame& frame)
{
    m_Set.DrawOnFrame(frame, m_pSubstitutions, false, nullptr);
}
