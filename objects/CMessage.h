#pragma once
// In-process notifications. A message type is a name ("LevelComplete",
// "CCharacterTypedMessage") turned into a small id by one process-wide
// registry: the index of the name, handed out in order of first use, so any
// part of the program can invent a type by naming it. Messages are offered
// to the game plug-ins, every one of them in registration order.

#include "foundation/CJString.h"

#include <cstdint>

class CVirtualArray;

class CMessage {
public:
    explicit CMessage(uint32_t typeId)
        : m_Type(typeId)
    {
    }
    virtual ~CMessage() = default;
    // A message of the named type (registered when new).
    static CMessage CMessageByName(const char* name) { return CMessage(SGetMessageType(name)); }

    // The id of a type name, compared ignoring case; a new name is appended.
    static uint32_t SGetMessageType(const char* name);

    uint32_t GetType() const { return m_Type; }
    // Whether the type's name equals name, ignoring case.
    bool IsType(const char* name) const;

    uint32_t GetWord() const { return m_Word; }
    void SetWord(uint32_t word) { m_Word = word; }

    // Receivers mark a message they took; later receivers read the mark.
    bool IsHandled() const { return m_Handled; }
    void SetHandled(bool handled = true) { m_Handled = handled; }

private:
    uint32_t m_Type;
    uint32_t m_Word = 0;
    bool m_Handled = false;
};

// The name of a type id; null for an id never handed out.
const char* GetMessageTypeName(uint32_t id);

// Registers the message types of this family in a fixed order, so their ids
// do not depend on which is used first. Called once at start-up.
void RegisterMessageTypes();

class CCharacterTypedMessage : public CMessage {
public:
    explicit CCharacterTypedMessage(uint32_t character)
        : CMessage(SGetType())
        , m_Character(character)
    {
    }
    static uint32_t SGetType();
    uint32_t GetCharacter() const { return m_Character; }

private:
    uint32_t m_Character;
};

class CPlaySoundMessage : public CMessage {
public:
    explicit CPlaySoundMessage(const CJString& sound)
        : CMessage(SGetType())
        , m_Sound(sound)
    {
    }
    static uint32_t SGetType();
    const CJString& GetSound() const { return m_Sound; }

private:
    CJString m_Sound;
};

class CChangedGammaMessage : public CMessage {
public:
    explicit CChangedGammaMessage(float gamma)
        : CMessage(SGetType())
        , m_Gamma(gamma)
    {
    }
    static uint32_t SGetType();
    float GetGamma() const { return m_Gamma; }

private:
    float m_Gamma;
};

class CItemAddedToVirtualArrayMessage : public CMessage {
public:
    CItemAddedToVirtualArrayMessage(CVirtualArray* array, int32_t index)
        : CMessage(SGetType())
        , m_Array(array)
        , m_Index(index)
    {
    }
    static uint32_t SGetType();
    CVirtualArray* GetArray() const { return m_Array; }
    int32_t GetIndex() const { return m_Index; }

private:
    CVirtualArray* m_Array;
    int32_t m_Index;
};

// A receiver of broadcast messages. Constructing one registers it at the end
// of the plug-in list; destroying it removes it, also in the middle of a
// broadcast (it then receives nothing more).
class CGamePlugIn {
public:
    CGamePlugIn();
    CGamePlugIn(const CGamePlugIn&) = delete;
    CGamePlugIn& operator=(const CGamePlugIn&) = delete;
    virtual ~CGamePlugIn();

    // True when the plug-in handled the message.
    virtual bool OnMessage(CMessage& message) = 0;
};

// Offers the message to every plug-in in registration order, each one even
// after another handled it; true when any handled it. Plug-ins registered
// during the broadcast first hear the next one.
bool BroadcastMessageToPlugIns(CMessage& message);
// Has virtual arrays announce added items to the plug-ins
// (CItemAddedToVirtualArrayMessage); RegisterObjectClasses does it.
void InstallItemAddedBroadcaster();
// The number of registered plug-ins.
uint32_t GetPlugInCount();
