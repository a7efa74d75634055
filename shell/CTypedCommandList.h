#pragma once
// Secret words typed anywhere, with no text field, that run commands.
//
// The list watches every character that reaches the keyboard state through
// a character filter, installed by the first registration. It never takes a
// character: what is typed still enters the typed-character ring.
//
// Matching, per character c (lower case) while enabled: every word that
// begins with c becomes a candidate with nothing matched yet; then the
// candidates, last to first, either match c as their next letter (and run
// their command when the word is complete, leaving the candidates) or drop
// out. So a word is found wherever it occurs in the typed stream, overlapping
// attempts run side by side, case does not matter, and a word that begins a
// longer one runs too when the longer one is typed.
//
// Keys typed into a text field are the field's: while the text-entry query
// answers true no word is matched, and an attempt under way is dropped.

#include "foundation/CCommand.h"
#include "foundation/CJString.h"

#include <cstdint>
#include <memory>
#include <vector>

class CTypedCommandList {
public:
    static CTypedCommandList& SGetInstance();

    // Takes the command.
    void Register(const CJString& word, CCommand* command);
    void RegisterFunction(const CJString& word, CFunctionCommand::ExecuteFunction function);
    void Enable() { m_Enabled = true; }
    void Disable() { m_Enabled = false; }
    bool IsEnabled() const { return m_Enabled; }
    // Whether a text field has the keyboard now; asked for every character.
    using TextEntryQuery = bool (*)();
    void SetTextEntryQuery(TextEntryQuery query) { m_TextEntryQuery = query; }
    // Applied to every word registered afterwards.
    void AddSubstitution(const CJString& text, const CJString& replacement);
    // A word completed while an item was being loaded (its characters came
    // through a message pump the load ran) is held, since its command may
    // ask for that very item; the message pump runs it here afterwards, in
    // the order typed, once no load is under way.
    void RunHeldCommands();

    // Tests: forgets words, candidates, held commands and substitutions and
    // the installed filter (call after the keyboard state's own reset); the
    // text-entry query stays.
    void ResetForTesting();

private:
    CTypedCommandList() = default;
    static bool Filter(void* context, uint32_t character);
    void OnCharacter(uint32_t character);

    struct Entry {
        CJString word;
        std::vector<uint16_t> lower; // the word's characters in lower case
        std::unique_ptr<CCommand> command;
    };
    struct Candidate {
        const Entry* entry;
        size_t matched;
    };
    struct Substitution {
        CJString text;
        CJString replacement;
    };

    std::vector<std::unique_ptr<Entry>> m_Words; // newest first
    bool m_Enabled = false;
    bool m_FilterInstalled = false;
    TextEntryQuery m_TextEntryQuery = nullptr;
    std::vector<Candidate> m_Candidates;
    std::vector<CCommand*> m_Held; // owned by their entries
    std::vector<Substitution> m_Substitutions;
};
