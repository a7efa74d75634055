#include "shell/CTypedCommandList.h"

#include "objects/CObjectFileArray.h"
#include "shell/CKeyboardState.h"

namespace {

uint32_t LowerCase(uint32_t character)
{
    return character >= 'A' && character <= 'Z' ? character + 32 : character;
}

} // namespace

CTypedCommandList& CTypedCommandList::SGetInstance()
{
    static CTypedCommandList* const instance = new CTypedCommandList;
    return *instance;
}

void CTypedCommandList::Register(const CJString& word, CCommand* command)
{
    auto entry = std::make_unique<Entry>();
    entry->word = word;
    for (const Substitution& substitution : m_Substitutions)
        entry->word.Replace(substitution.text, substitution.replacement);
    for (int i = 0; i < entry->word.GetLength(); ++i)
        entry->lower.push_back(uint16_t(LowerCase(entry->word.GetAt(i))));
    entry->command.reset(command);
    m_Words.insert(m_Words.begin(), std::move(entry));
    if (!m_FilterInstalled) {
        CKeyboardState::SGetInstance().AddCharacterFilter(&CTypedCommandList::Filter, this);
        m_FilterInstalled = true;
    }
}

void CTypedCommandList::RegisterFunction(const CJString& word, CFunctionCommand::ExecuteFunction function)
{
    Register(word, new CFunctionCommand(function));
}

void CTypedCommandList::AddSubstitution(const CJString& text, const CJString& replacement)
{
    m_Substitutions.push_back(Substitution{text, replacement});
}

bool CTypedCommandList::Filter(void* context, uint32_t character)
{
    static_cast<CTypedCommandList*>(context)->OnCharacter(character);
    return false;
}

void CTypedCommandList::OnCharacter(uint32_t character)
{
    if (!m_Enabled)
        return;
    if (m_TextEntryQuery && m_TextEntryQuery()) {
        m_Candidates.clear();
        return;
    }
    const uint32_t c = LowerCase(character);
    for (const auto& entry : m_Words)
        if (!entry->lower.empty() && entry->lower[0] == c)
            m_Candidates.push_back(Candidate{entry.get(), 0});
    for (size_t i = m_Candidates.size(); i-- > 0;) {
        // A command may type or clear while it runs.
        if (i >= m_Candidates.size())
            continue;
        Candidate& candidate = m_Candidates[i];
        if (candidate.entry->lower[candidate.matched] != c) {
            m_Candidates.erase(m_Candidates.begin() + std::ptrdiff_t(i));
            continue;
        }
        if (++candidate.matched < candidate.entry->lower.size())
            continue;
        CCommand* command = candidate.entry->command.get();
        m_Candidates.erase(m_Candidates.begin() + std::ptrdiff_t(i));
        if (!command)
            continue;
        // Behind held ones too, so that commands run in the order typed.
        if (CObjectFileArray::SIsAnyItemLoading() || !m_Held.empty())
            m_Held.push_back(command);
        else
            command->Execute();
    }
}

void CTypedCommandList::RunHeldCommands()
{
    if (m_Held.empty() || CObjectFileArray::SIsAnyItemLoading())
        return;
    std::vector<CCommand*> held;
    held.swap(m_Held);
    for (CCommand* command : held)
        command->Execute();
}

void CTypedCommandList::ResetForTesting()
{
    m_Words.clear();
    m_Candidates.clear();
    m_Held.clear();
    m_Substitutions.clear();
    m_Enabled = false;
    m_FilterInstalled = false;
}
