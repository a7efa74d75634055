#include "objects/XmlTags.h"

CJString XmlTagName(const CJString& name)
{
    CJString tag(name);
    for (int i = 0, n = tag.GetLength(); i < n; ++i) {
        const char16_t c = tag.GetAt(i);
        if (c == u' ' || c == u'?' || c == u'&' || c == u'\'')
            tag.SetAt(i, u'_');
    }
    return tag;
}

CJString XmlOpenTag(const CJString& name)
{
    CJString tag;
    tag.Reserve(name.GetLength() + 2);
    tag.Append("<");
    tag.Append(name);
    tag.Append(">");
    return tag;
}

CJString XmlCloseTag(const CJString& name)
{
    CJString tag;
    tag.Reserve(name.GetLength() + 3);
    tag.Append("</");
    tag.Append(name);
    tag.Append(">");
    return tag;
}
