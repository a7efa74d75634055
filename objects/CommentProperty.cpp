#include "objects/CommentProperty.h"

#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CObject.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"

namespace {

using CCommentProperty = CSlotProperty<CJStringProperty>;

CCommentProperty& CommentProperty()
{
    static CCommentProperty* property = [] {
        auto* made = new CCommentProperty("Comment", CJString());
        made->AddAsDynamicProperty(CObject::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

} // namespace

const CProperty& GetCommentProperty()
{
    return CommentProperty();
}

CJString GetObjectComment(const CObject* object)
{
    if (!object)
        return CJString();
    const void* value = object->GetDynamicValue(&CommentProperty());
    return value ? *static_cast<const CJString*>(value) : CJString();
}
