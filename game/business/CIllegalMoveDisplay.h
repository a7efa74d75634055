#pragma once
// The short message a refused player move shows. The texts are data, keyed
// by a message id, in the general object "Illegal Move Options"; the one
// display holds the message shown, and the HUD updates and draws it.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"

#include <cstdint>

class CFrameInterface;
class CTextSubstitutionList;

class CIllegalMoveMessage : public CObject {
    OMBRISALT_REFLECTED(CIllegalMoveMessage, CObject)
public:
    CIllegalMoveMessage();
    ~CIllegalMoveMessage() override;

    CJString m_MessageID;      // "Message ID"
    CTranslatedText m_Message; // "Message"
};

class CIllegalMoveMessageOptions : public CObject {
    OMBRISALT_REFLECTED(CIllegalMoveMessageOptions, CObject)
public:
    CIllegalMoveMessageOptions();
    ~CIllegalMoveMessageOptions() override;

    // The first message of that id, ignoring case; null when none.
    CIllegalMoveMessage* FindMessage(const char* messageId);

    int32_t m_FrameOverlayOptions = -1;               // "Frame Overlay Options"; -1 for none
    float m_SecondsToShowMessage = 10.0f;             // "Seconds To Show Message"
    CPropertyArray<CIllegalMoveMessage*> m_Messages; // "Message List", owned
};

// "Illegal Move Options" of the general objects; null when the data has none.
CIllegalMoveMessageOptions* GetIllegalMoveOptions();

class CIllegalMoveDisplay {
public:
    // Shows the message of that id (its variables from the list, when
    // given) from now on, replacing any shown; false, and the text cleared,
    // when the id has no text.
    bool Show(const char* messageId, const CTextSubstitutionList* substitutions = nullptr);
    void Hide() { m_SecondsShown = -1.0f; }
    void Update(float seconds);
    // Not on the frame of Show: from the next update on.
    void Draw(CFrameInterface& target);

    const CJString& GetText() const { return m_Text; }
    // -1: nothing shown.
    float GetSecondsShown() const { return m_SecondsShown; }

private:
    CJString m_Text;
    float m_SecondsShown = -1.0f;
};

CIllegalMoveDisplay& GetIllegalMoveDisplay();
