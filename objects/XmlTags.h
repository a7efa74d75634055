#pragma once
// Tag text for the tagged property writers.

#include "foundation/CJString.h"

CJString XmlTagName(const CJString& name);  // space, "?", "&" and "'" become "_"
CJString XmlOpenTag(const CJString& name);  // "<name>"
CJString XmlCloseTag(const CJString& name); // "</name>"
