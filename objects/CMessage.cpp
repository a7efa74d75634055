#include "objects/CMessage.h"

#include "foundation/CArrayPOD.h"
#include "foundation/CDynamicList.h"
#include "foundation/CVirtualArray.h"

namespace {

CDynamicList& MessageNames()
{
    static CDynamicList names;
    return names;
}

// Plug-ins in registration order. A plug-in removed during a broadcast leaves
// a null slot, so the indices of a running broadcast stay valid; the slots go
// once the outermost broadcast ends.
struct PlugInList {
    CArrayPOD<CGamePlugIn*> plugIns;
    uint32_t broadcastDepth = 0;
    bool hasGaps = false;

    void RemoveGaps()
    {
        for (uint32_t i = plugIns.GetCount(); i-- > 0;)
            if (!plugIns[i])
                plugIns.RemoveAt(i);
        hasGaps = false;
    }
};

PlugInList& PlugIns()
{
    static PlugInList list;
    return list;
}

bool BroadcastItemAddedMessage(CVirtualArray& array, int32_t index)
{
    CItemAddedToVirtualArrayMessage message(&array, index);
    return BroadcastMessageToPlugIns(message);
}

} // namespace

void InstallItemAddedBroadcaster()
{
    SetItemAddedBroadcaster(BroadcastItemAddedMessage);
}

uint32_t CMessage::SGetMessageType(const char* name)
{
    CDynamicList& names = MessageNames();
    const int32_t found = names.Find(name);
    if (found >= 0)
        return uint32_t(found);
    return uint32_t(names.Add(name));
}

bool CMessage::IsType(const char* name) const
{
    const char* own = GetMessageTypeName(m_Type);
    return own && CompareNameNoCase(own, name) == 0;
}

const char* GetMessageTypeName(uint32_t id)
{
    CDynamicList& names = MessageNames();
    return id < uint32_t(names.GetCount()) ? names.GetItemName(int32_t(id)) : nullptr;
}

uint32_t CCharacterTypedMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CCharacterTypedMessage");
    return type;
}

uint32_t CPlaySoundMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CPlaySoundMessage");
    return type;
}

uint32_t CChangedGammaMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CChangedGammaMessage");
    return type;
}

uint32_t CItemAddedToVirtualArrayMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CItemAddedToVirtualArrayMessage");
    return type;
}

void RegisterMessageTypes()
{
    CCharacterTypedMessage::SGetType();
    CPlaySoundMessage::SGetType();
    CChangedGammaMessage::SGetType();
    CItemAddedToVirtualArrayMessage::SGetType();
}

CGamePlugIn::CGamePlugIn()
{
    PlugIns().plugIns.Append(this);
}

CGamePlugIn::~CGamePlugIn()
{
    PlugInList& list = PlugIns();
    const int32_t index = list.plugIns.Find(this);
    if (index < 0)
        return;
    if (list.broadcastDepth != 0) {
        list.plugIns[uint32_t(index)] = nullptr;
        list.hasGaps = true;
    } else {
        list.plugIns.RemoveAt(uint32_t(index));
    }
}

bool BroadcastMessageToPlugIns(CMessage& message)
{
    PlugInList& list = PlugIns();
    struct DepthGuard {
        PlugInList& list;
        explicit DepthGuard(PlugInList& l)
            : list(l)
        {
            ++list.broadcastDepth;
        }
        ~DepthGuard()
        {
            if (--list.broadcastDepth == 0 && list.hasGaps)
                list.RemoveGaps();
        }
    } guard(list);

    bool handled = false;
    const uint32_t count = list.plugIns.GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        // Read afresh each time: the list may have grown (and moved) meanwhile.
        CGamePlugIn* plugIn = list.plugIns[i];
        if (plugIn && plugIn->OnMessage(message))
            handled = true;
    }
    return handled;
}

uint32_t GetPlugInCount()
{
    PlugInList& list = PlugIns();
    uint32_t count = 0;
    for (CGamePlugIn* plugIn : list.plugIns)
        if (plugIn)
            ++count;
    return count;
}
