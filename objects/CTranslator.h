#pragma once
// Translators: offers to turn an object into one of another class, which the
// object editor lists for an owned object (".Convert to..."). Each translator
// is linked at the head of one process-wide list when it is registered, so
// the list runs newest first. Registration is an explicit start-up call of
// the layer that defines the translators; registered translators live until
// the program ends.
#include "foundation/CJString.h"

class CClassInfo;
class CObject;

class CTranslator {
public:
    CTranslator() = default;
    CTranslator(const CTranslator&) = delete;
    CTranslator& operator=(const CTranslator&) = delete;
    virtual ~CTranslator() = default;

    // The class the translation of source would be, with the label of the
    // offer; null when this translator makes no offer for source.
    virtual CClassInfo* Offer(CObject* source, CJString& label) const = 0;
    // A new object the caller owns; source is left as it was. Null when no
    // offer is made for source.
    virtual CObject* Translate(CObject* source) const = 0;

    const CTranslator* GetNext() const { return m_Next; }

private:
    friend void RegisterTranslator(CTranslator& translator);

    const CTranslator* m_Next = nullptr;
    bool m_Registered = false;
};

// Links the translator at the head of the list; a second call does nothing.
void RegisterTranslator(CTranslator& translator);
// The newest registered translator; null when there is none.
const CTranslator* GetFirstTranslator();
