#include "editor/CSelectedObjects.h"

#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CommentProperty.h"
#include "objects/DeclaredClassBody.h"

OMBRISALT_DECLARED_CLASS(CSelectedObjectInfo, 1.0)
OMBRISALT_DECLARED_CLASS(CSelectedObjects, 1.0)

void CSelectedObjectInfo::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSelectedObjectInfo;
    d.AddOwned(&C::m_pSelectedObject, "Selected Object");
    d.Add(&C::m_LayerObjectIsOn, "Layer Object Is On", "");
}

void CSelectedObjects::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CSelectedObjectInfo>>(&CSelectedObjects::m_pSelectedObjectsArray, "Objects",
                                                           "Object", nullptr);
}

CSelectedObjectInfo* CSelectedObjects::GetEntry(uint32_t index) const
{
    return index < m_pSelectedObjectsArray.GetCount() ? m_pSelectedObjectsArray[index] : nullptr;
}

CObject* CSelectedObjects::GetObject(uint32_t index) const
{
    const CSelectedObjectInfo* entry = GetEntry(index);
    return entry ? entry->m_pSelectedObject : nullptr;
}

CSelectedObjectInfo* CSelectedObjects::Append(CObject* object, const CJString& layerName)
{
    auto* entry = new CSelectedObjectInfo;
    entry->m_pSelectedObject = object;
    entry->m_LayerObjectIsOn = layerName;
    const uint32_t at = m_pSelectedObjectsArray.GetCount();
    static_cast<CPropertyArrayProperty*>(SGetClassInfo()->FindProperty("Objects"))
        ->ArrayProperty_SetCount(this, at + 1);
    m_pSelectedObjectsArray[at] = entry;
    return entry;
}

void CSelectedObjects::GetDescription(CJString& out, const char* wordToRemove)
{
    const uint32_t count = GetCount();
    if (count == 0) {
        CObject::GetDescription(out, wordToRemove);
        return;
    }
    out.Empty();
    if (count > 1) {
        out.AppendInt(int32_t(count));
        out.Append(" Objects: ");
    }
    if (CObject* first = GetObject(0)) {
        const CJString comment = GetObjectComment(first);
        if (!comment.IsEmpty()) {
            out.Append("\"");
            out.Append(comment);
            out.Append("\" ");
        }
        CJString description;
        first->GetDescription(description, wordToRemove);
        out.Append(description);
    }
    if (count > 1)
        out.Append("...");
}
