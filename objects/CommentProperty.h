#pragma once
// The note any object may carry: the dynamic text property "Comment", given
// to CObject (so to every class) when the object model registers its
// classes. Objects hold a value only once one is set or read from a file.

#include "foundation/CJString.h"

class CObject;
class CProperty;

// Made and attached on first use.
const CProperty& GetCommentProperty();
// The object's comment; empty when it has none (or for null).
CJString GetObjectComment(const CObject* object);
