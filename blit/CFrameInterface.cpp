#include "blit/CFrameInterface.h"

#include <utility>

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CRenderableObject, 1.0)
void CRenderableObject::DeclareProperties(CPropertyDeclarer&) {}

namespace {

ProbeSurfaceMaker g_ProbeSurfaceMaker = nullptr;

} // namespace

ProbeSurfaceMaker SetProbeSurfaceMaker(ProbeSurfaceMaker maker)
{
    return std::exchange(g_ProbeSurfaceMaker, maker);
}

bool CRenderableObject::HitTest(int32_t x, int32_t y, CColor* out) const
{
    if (!g_ProbeSurfaceMaker)
        return false;
    const std::unique_ptr<CFrameInterface> probe = g_ProbeSurfaceMaker(x, y);
    if (!probe)
        return false;
    // A colour no drawing is expected to leave: magenta with alpha 0.
    CColor marker(250, 0, 250, 0);
    probe->Fill(marker);
    const_cast<CRenderableObject*>(this)->Render(*probe);
    CColor found;
    probe->GetPixel(x, y, found);
    if (found == marker)
        return false;
    if (out)
        out->SetCurrentPaletteColor(found.GetRed(), found.GetGreen(), found.GetBlue(), found.GetAlpha());
    return true;
}

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CFrameInterface, 2.0)
void CFrameInterface::DeclareProperties(CPropertyDeclarer&) {}
