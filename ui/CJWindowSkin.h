#pragma once
// The base of the skin objects a theme makes for a control (frame windows,
// buttons, static texts): plain pooled objects owned by the control, deleted
// through this base.

#include "foundation/CMemoryPool.h"

class CMessage;

class CWindowSkin : public CPooledClassBase {
public:
    CWindowSkin() = default;
    CWindowSkin(const CWindowSkin&) = delete;
    CWindowSkin& operator=(const CWindowSkin&) = delete;
    virtual ~CWindowSkin() = default;
    // True when the skin took the message.
    virtual bool OnMessage(CMessage& message);
};
