#pragma once
// Names that stand for open file buffers, so that a buffer can be opened
// again by name.

#include "foundation/CJString.h"

class CFileBuf;

// Buffer names: "~CFileBuf 0x", eight hexadecimal digits, "/", member name.
// The digits spell a registry id (low byte first), never an address; a name
// is a buffer name only while its buffer lives.
void MakeBufferName(CJString& out, CFileBuf* buffer, const char* memberName);
CFileBuf* ParseBufferName(const char* name);
void DeleteNamedBuffer(const char* name);
// Called by a buffer that was given a name, as it ends.
void ForgetBufferName(CFileBuf* buffer);
