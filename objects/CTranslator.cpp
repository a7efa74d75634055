#include "objects/CTranslator.h"

namespace {

const CTranslator*& Head()
{
    static const CTranslator* head = nullptr;
    return head;
}

} // namespace

void RegisterTranslator(CTranslator& translator)
{
    if (translator.m_Registered)
        return;
    translator.m_Next = Head();
    translator.m_Registered = true;
    Head() = &translator;
}

const CTranslator* GetFirstTranslator()
{
    return Head();
}
