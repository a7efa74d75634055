#include "render/CProxyFrame.h"

#include "blit/LineClip.h"
#include "render/SurfaceHelpers.h"

OMBRISALT_IMPLEMENT_CLASS(CProxyFrame, 1.0)
void CProxyFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(COffsetProxyFrame, 0.0)
void COffsetProxyFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(CClippedProxyFrame, 0.0)
void CClippedProxyFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(COffsetClippedProxyFrame, 1.0)
void COffsetClippedProxyFrame::DeclareProperties(CPropertyDeclarer&) {}

bool RenderMoved(CFrameInterface& target, CRenderableObject& renderable, float dx, float dy)
{
    const float x = renderable.m_X, y = renderable.m_Y;
    renderable.m_X = x + dx, renderable.m_Y = y + dy;
    const bool drawn = target.Render(renderable);
    renderable.m_X = x, renderable.m_Y = y;
    return drawn;
}

// ---- CProxyFrame: everything forwarded.

CProxyFrame::CProxyFrame()
{
    InitDeclaredProperties();
}

CProxyFrame::CProxyFrame(CFrameInterface* source)
    : m_Source(source)
{
    InitDeclaredProperties();
}

CProxyFrame::~CProxyFrame()
{
    DestroyDeclaredProperties();
}

uint32_t CProxyFrame::GetMemorySize()
{
    return m_Source->GetMemorySize() + 4;
}

bool CProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    return m_Source->Blit(source, s, d, blitType);
}

bool CProxyFrame::Render(CRenderableObject& renderable)
{
    return m_Source->Render(renderable);
}

void CProxyFrame::ClearRect(const CRect& rect)
{
    m_Source->ClearRect(rect);
}

void CProxyFrame::Clear()
{
    m_Source->Clear();
}

void CProxyFrame::Fill(CColor& colour)
{
    m_Source->Fill(colour);
}

void CProxyFrame::FillBytes(uint8_t value)
{
    m_Source->FillBytes(value);
}

void CProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    m_Source->FillRect(rect, colour);
}

uint32_t CProxyFrame::GetBitDepth() const
{
    return m_Source->GetBitDepth();
}

uint32_t CProxyFrame::GetBytesPerPixel() const
{
    return m_Source->GetBytesPerPixel();
}

uint8_t* CProxyFrame::GetPixels() const
{
    return m_Source->GetPixels();
}

uint8_t* CProxyFrame::GetRLEBlock(uint32_t n) const
{
    return m_Source->GetRLEBlock(n);
}

const uint32_t* CProxyFrame::GetRLERowTable(uint32_t n) const
{
    return m_Source->GetRLERowTable(n);
}

void CProxyFrame::GetBounds(CRect& out) const
{
    m_Source->GetBounds(out);
}

CFrameInterface* CProxyFrame::GetRealFrame()
{
    return m_Source->GetRealFrame();
}

uint32_t CProxyFrame::GetFlags() const
{
    return m_Source->GetFlags();
}

uint32_t CProxyFrame::GetWidth() const
{
    return m_Source->GetWidth();
}

uint32_t CProxyFrame::GetHeight() const
{
    return m_Source->GetHeight();
}

uint32_t CProxyFrame::GetPitch() const
{
    return m_Source->GetPitch();
}

uint32_t CProxyFrame::GetWidthLog2() const
{
    return m_Source->GetWidthLog2();
}

uint32_t CProxyFrame::GetHeightLog2() const
{
    return m_Source->GetHeightLog2();
}

int32_t CProxyFrame::GetOffsetX() const
{
    return m_Source->GetOffsetX();
}

int32_t CProxyFrame::GetOffsetY() const
{
    return m_Source->GetOffsetY();
}

const uint32_t* CProxyFrame::GetRowTable() const
{
    return m_Source->GetRowTable();
}

void CProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    m_Source->DrawLine(x1, y1, x2, y2, colour);
}

void CProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    m_Source->DrawLineFloat(x1, y1, x2, y2, colour, width);
}

bool CProxyFrame::GetPixel(int32_t x, int32_t y, CColor& out) const
{
    return m_Source->GetPixel(x, y, out);
}

uint32_t CProxyFrame::GetRawPixel(int32_t x, int32_t y) const
{
    return m_Source->GetRawPixel(x, y);
}

void CProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    m_Source->SetPixel(x, y, colour);
}

bool CProxyFrame::HitTest(int32_t x, int32_t y) const
{
    return m_Source->HitTest(x, y);
}

void CProxyFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    m_Source->RemapRect(rect, table);
}

uint8_t CProxyFrame::GetDrawFlag() const
{
    return m_Source->GetDrawFlag();
}

void CProxyFrame::SetDrawFlag(uint8_t flag)
{
    m_Source->SetDrawFlag(flag);
}

bool CProxyFrame::GetMipmapForNative() const
{
    return m_Source->GetMipmapForNative();
}

void CProxyFrame::SetMipmapForNative(bool flag)
{
    m_Source->SetMipmapForNative(flag);
}

CPalette* CProxyFrame::GetPalette() const
{
    return m_Source->GetPalette();
}

bool CProxyFrame::HasPalette() const
{
    return m_Source->HasPalette();
}

// ---- COffsetProxyFrame.

COffsetProxyFrame::COffsetProxyFrame()
{
    InitDeclaredProperties();
}

COffsetProxyFrame::COffsetProxyFrame(CFrameInterface* source, int32_t x, int32_t y)
    : CProxyFrame(source)
    , m_OffsetX(x)
    , m_OffsetY(y)
{
    InitDeclaredProperties();
}

COffsetProxyFrame::~COffsetProxyFrame()
{
    DestroyDeclaredProperties();
}

CRect COffsetProxyFrame::Moved(const CRect& rect) const
{
    return MoveRectBack(rect, m_OffsetX, m_OffsetY);
}

void COffsetProxyFrame::ClearMappedRect(const CRect& rect)
{
    m_Source->ClearRect(Moved(rect));
}

bool COffsetProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    return m_Source->Blit(source, s, Moved(d), blitType);
}

bool COffsetProxyFrame::Render(CRenderableObject& renderable)
{
    return RenderMoved(*m_Source, renderable, -float(m_OffsetX), -float(m_OffsetY));
}

void COffsetProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    m_Source->FillRect(Moved(rect), colour);
}

void COffsetProxyFrame::GetBounds(CRect& out) const
{
    m_Source->GetBounds(out);
    out = MoveRect(out, m_OffsetX, m_OffsetY);
}

void COffsetProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    m_Source->DrawLine(SaturatingSub(x1, m_OffsetX), SaturatingSub(y1, m_OffsetY), SaturatingSub(x2, m_OffsetX),
                       SaturatingSub(y2, m_OffsetY), colour);
}

void COffsetProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    const float ox = float(m_OffsetX), oy = float(m_OffsetY);
    m_Source->DrawLineFloat(x1 - ox, y1 - oy, x2 - ox, y2 - oy, colour, width);
}

bool COffsetProxyFrame::GetPixel(int32_t x, int32_t y, CColor& out) const
{
    return m_Source->GetPixel(SaturatingSub(x, m_OffsetX), SaturatingSub(y, m_OffsetY), out);
}

uint32_t COffsetProxyFrame::GetRawPixel(int32_t x, int32_t y) const
{
    return m_Source->GetRawPixel(SaturatingSub(x, m_OffsetX), SaturatingSub(y, m_OffsetY));
}

void COffsetProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    m_Source->SetPixel(SaturatingSub(x, m_OffsetX), SaturatingSub(y, m_OffsetY), colour);
}

bool COffsetProxyFrame::HitTest(int32_t x, int32_t y) const
{
    return m_Source->HitTest(SaturatingSub(x, m_OffsetX), SaturatingSub(y, m_OffsetY));
}

void COffsetProxyFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    m_Source->RemapRect(Moved(rect), table);
}

// ---- CClippedProxyFrame.

bool CClippedProxyFrame::ClipBlit(CFrameInterface& target, const CRect& clip, CFrameInterface& source, CRect s, CRect d,
                                  CBlitType& blitType)
{
    if (!ClipRectPair(clip, s, d))
        return false;
    return target.Blit(source, s, d, blitType);
}

bool CClippedProxyFrame::ClipRender(CFrameInterface& target, const CRect& clip, CRenderableObject& renderable)
{
    const CRect oldClip = renderable.m_ClipRect;
    const bool oldEnabled = renderable.m_ClipEnabled;
    renderable.m_ClipRect = clip;
    renderable.m_ClipEnabled = true;
    const bool drawn = target.Render(renderable);
    renderable.m_ClipRect = oldClip;
    renderable.m_ClipEnabled = oldEnabled;
    return drawn;
}

void CClippedProxyFrame::ClipDrawLine(CFrameInterface& target, const CRect& clip, int32_t x1, int32_t y1, int32_t x2,
                                      int32_t y2, CColor& colour)
{
    if (ClipLine(clip, x1, y1, x2, y2))
        target.DrawLine(x1, y1, x2, y2, colour);
}

void CClippedProxyFrame::ClipDrawLineFloat(CFrameInterface& target, const CRect& clip, float x1, float y1, float x2,
                                           float y2, CColor& colour, float width)
{
    if (ClipLineFloat(float(clip.left), float(clip.top), float(clip.right), float(clip.bottom), x1, y1, x2, y2))
        target.DrawLineFloat(x1, y1, x2, y2, colour, width);
}

CClippedProxyFrame::CClippedProxyFrame()
{
    InitDeclaredProperties();
}

CClippedProxyFrame::CClippedProxyFrame(CFrameInterface* source)
    : CProxyFrame(source)
{
    InitDeclaredProperties();
    if (source)
        source->GetBounds(m_Clip);
}

CClippedProxyFrame::~CClippedProxyFrame()
{
    DestroyDeclaredProperties();
}

void CClippedProxyFrame::SetFrame(CFrameInterface* source)
{
    CProxyFrame::SetFrame(source);
    if (source)
        source->GetBounds(m_Clip);
}

void CClippedProxyFrame::ClearMappedRect(const CRect& rect)
{
    CRect r = rect;
    if (ClipRect(m_Clip, r))
        m_Source->ClearRect(r);
}

bool CClippedProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    return ClipBlit(*m_Source, m_Clip, source, s, d, blitType);
}

bool CClippedProxyFrame::Render(CRenderableObject& renderable)
{
    return ClipRender(*m_Source, m_Clip, renderable);
}

void CClippedProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    CRect r = rect;
    if (ClipRect(m_Clip, r))
        m_Source->FillRect(r, colour);
}

void CClippedProxyFrame::GetBounds(CRect& out) const
{
    CRect source;
    m_Source->GetBounds(source);
    if (!IntersectRects(out, m_Clip, source))
        out.right = out.left, out.bottom = out.top;
}

uint32_t CClippedProxyFrame::GetWidth() const
{
    return uint32_t(m_Clip.GetWidth());
}

uint32_t CClippedProxyFrame::GetHeight() const
{
    return uint32_t(m_Clip.GetHeight());
}

void CClippedProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    ClipDrawLine(*m_Source, m_Clip, x1, y1, x2, y2, colour);
}

void CClippedProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    ClipDrawLineFloat(*m_Source, m_Clip, x1, y1, x2, y2, colour, width);
}

bool CClippedProxyFrame::GetPixel(int32_t x, int32_t y, CColor& out) const
{
    return m_Clip.ContainsPoint(x, y) && m_Source->GetPixel(x, y, out);
}

uint32_t CClippedProxyFrame::GetRawPixel(int32_t x, int32_t y) const
{
    return m_Clip.ContainsPoint(x, y) ? m_Source->GetRawPixel(x, y) : 0;
}

void CClippedProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    if (m_Clip.ContainsPoint(x, y))
        m_Source->SetPixel(x, y, colour);
}

bool CClippedProxyFrame::HitTest(int32_t x, int32_t y) const
{
    return m_Clip.ContainsPoint(x, y) && m_Source->HitTest(x, y);
}

void CClippedProxyFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    CRect r = rect;
    if (ClipRect(m_Clip, r))
        m_Source->RemapRect(r, table);
}

// ---- COffsetClippedProxyFrame.

COffsetClippedProxyFrame::COffsetClippedProxyFrame()
{
    InitDeclaredProperties();
    m_OffsetStage.SetFrame(&m_ClipStage);
}

COffsetClippedProxyFrame::COffsetClippedProxyFrame(CFrameInterface* source)
    : CProxyFrame(source)
{
    InitDeclaredProperties();
    m_OffsetStage.SetFrame(&m_ClipStage);
    m_ClipStage.SetFrame(source);
}

COffsetClippedProxyFrame::~COffsetClippedProxyFrame()
{
    DestroyDeclaredProperties();
}

void COffsetClippedProxyFrame::SetFrame(CFrameInterface* source)
{
    m_OffsetStage.SetFrame(&m_ClipStage);
    m_ClipStage.SetFrame(source);
    CProxyFrame::SetFrame(source);
}

void COffsetClippedProxyFrame::SetClipRect(const CRect& rect)
{
    m_ClipStage.SetClipRect(MoveRectBack(rect, Ox(), Oy()));
}

CRect COffsetClippedProxyFrame::Clip() const
{
    CRect clip;
    m_ClipStage.GetBounds(clip);
    return clip;
}

void COffsetClippedProxyFrame::ClearMappedRect(const CRect& rect)
{
    CRect r = MoveRectBack(rect, Ox(), Oy());
    if (ClipRect(Clip(), r))
        m_Source->ClearRect(r);
}

bool COffsetClippedProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    return CClippedProxyFrame::ClipBlit(*m_Source, Clip(), source, s, MoveRectBack(d, Ox(), Oy()), blitType);
}

bool COffsetClippedProxyFrame::Render(CRenderableObject& renderable)
{
    return RenderMoved(m_ClipStage, renderable, -float(Ox()), -float(Oy()));
}

void COffsetClippedProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    CRect r = MoveRectBack(rect, Ox(), Oy());
    if (ClipRect(Clip(), r))
        m_Source->FillRect(r, colour);
}

void COffsetClippedProxyFrame::GetBounds(CRect& out) const
{
    out = Clip();
    out = MoveRect(out, Ox(), Oy());
}

int32_t COffsetClippedProxyFrame::GetOffsetX() const
{
    return SaturatingAdd(m_Source->GetOffsetX(), Ox());
}

int32_t COffsetClippedProxyFrame::GetOffsetY() const
{
    return SaturatingAdd(m_Source->GetOffsetY(), Oy());
}

void COffsetClippedProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    CClippedProxyFrame::ClipDrawLine(*m_Source, Clip(), SaturatingSub(x1, Ox()), SaturatingSub(y1, Oy()),
                                     SaturatingSub(x2, Ox()), SaturatingSub(y2, Oy()), colour);
}

void COffsetClippedProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    const float ox = float(Ox()), oy = float(Oy());
    CClippedProxyFrame::ClipDrawLineFloat(*m_Source, Clip(), x1 - ox, y1 - oy, x2 - ox, y2 - oy, colour, width);
}

bool COffsetClippedProxyFrame::GetPixel(int32_t x, int32_t y, CColor& out) const
{
    x = SaturatingSub(x, Ox()), y = SaturatingSub(y, Oy());
    return Clip().ContainsPoint(x, y) && m_Source->GetPixel(x, y, out);
}

uint32_t COffsetClippedProxyFrame::GetRawPixel(int32_t x, int32_t y) const
{
    x = SaturatingSub(x, Ox()), y = SaturatingSub(y, Oy());
    return Clip().ContainsPoint(x, y) ? m_Source->GetRawPixel(x, y) : 0;
}

void COffsetClippedProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    x = SaturatingSub(x, Ox()), y = SaturatingSub(y, Oy());
    if (Clip().ContainsPoint(x, y))
        m_Source->SetPixel(x, y, colour);
}

bool COffsetClippedProxyFrame::HitTest(int32_t x, int32_t y) const
{
    x = SaturatingSub(x, Ox()), y = SaturatingSub(y, Oy());
    return Clip().ContainsPoint(x, y) && m_Source->HitTest(x, y);
}

void COffsetClippedProxyFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    CRect r = MoveRectBack(rect, Ox(), Oy());
    if (ClipRect(Clip(), r))
        m_Source->RemapRect(r, table);
}
