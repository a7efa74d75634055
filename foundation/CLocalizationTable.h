#pragma once
// The localisation table: every user-visible English text is looked up here
// by its exact wording (case matters) and replaced by its translation.
//
// "Local.txt" holds the pairs, each an "ENGLISH: " line and a "LOCALIZED: "
// line whose texts end at "[END]" and may run over several lines (joined with
// "\n"); blank lines between entries are ignored. An English text may carry
// an annotation after its "[END]", " (note)", that tells identical English
// texts apart; the key is then the whole "text[END] (note)".
//
// A text with no entry stays English and is appended to "Local.txt" as a new
// entry, so translators find every text the program ever showed. Only texts
// that read back exactly as written are appended; any other stays in the
// table for the run, so the file never becomes unreadable.
//
// Loading also rebuilds the credits cache "Cache/Credits.bin" (a compressed
// block, CompressedBlock.h) from a loose "-Credits.txt".

#include "foundation/CJString.h"
#include "foundation/CLocalizedString.h"

#include <cstdint>

class CFile;

struct CLocalizationEntry {
    CJString m_English; // the key
    CJString m_Localized;
};

class CLocalizationTable {
public:
    using TranslationHook = void (*)(CJString& text);

    CLocalizationTable();
    CLocalizationTable(const CLocalizationTable&) = delete;
    CLocalizationTable& operator=(const CLocalizationTable&) = delete;
    ~CLocalizationTable();

    // Rebuilds the credits cache, then reads "Local.txt" and translates the
    // registered strings. False when there is no "Local.txt" (texts stay
    // English). Errors in the file are shown one by one; after the whole file
    // the process ends through FatalDataError.
    bool LoadLocalization();
    // Reads the entries of an open "Local.txt" (replacing any held), reports
    // its errors as LoadLocalization does, and sorts the table. The caller
    // closes the file.
    void ReadEntries(CFile& file);

    // Leaves an empty text alone. Once loaded: the translation of the key, or
    // a new entry holding the text itself (appended to the file when safe).
    // Then simulated translation and the hook.
    void Translate(CJString& text, const char* annotation = nullptr,
                   LocalizedDecoration decoration = LocalizedDecoration::Allowed);
    // Translate, then the token check of the English against the result.
    void TranslateAndCheck(CJString& text, const char* annotation = nullptr,
                           LocalizedDecoration decoration = LocalizedDecoration::Allowed);
    // Translates every registered global string from its English, in
    // registration order.
    void ApplyToRegisteredStrings();

    // Checks that every format token of the English ("%d " or "%s[Key]")
    // occurs in the translation; each missing one is an error of that line.
    void CheckTokens(const CJString& english, const CJString& localized, int32_t lineNumber);

    // The entry index of the exact key, or -1.
    int32_t FindKey(const CJString& key) const;
    const CLocalizationEntry& GetEntry(int32_t i) const { return m_Entries[i]; }
    int32_t GetCount() const { return m_Count; }
    int32_t GetCapacity() const { return m_Capacity; }

    bool HasError() const { return m_Error; }
    bool IsLoaded() const { return m_Loaded; }
    bool IsSimulatingTranslation() const { return m_SimulateTranslation; }
    bool WasOpenedWithoutSearch() const { return m_OpenedWithoutSearch != 0; }
    TranslationHook SetTranslationHook(TranslationHook hook);

    // Marks the table loaded without reading a file (tests, tools).
    void SetLoaded(bool loaded) { m_Loaded = loaded; }

private:
    friend class CLocalizationReader;

    void ClearEntries();
    void AddUnsorted(const CJString& key, const CJString& localized);
    void InsertSorted(const CJString& key, const CJString& localized);
    void Sort();
    void AppendToFile(const CJString& text, const char* annotation);
    // Shows the previous load error and keeps this one for the final report.
    void ReportError(int32_t lineNumber, const char* message, const CJString* english);
    void FinishErrors();

    char m_FileName[256];
    uint8_t m_OpenedWithoutSearch = 0;
    int32_t m_Count = 0;
    int32_t m_Capacity = 0;
    CLocalizationEntry* m_Entries = nullptr;
    bool m_Error = false;
    TranslationHook m_Hook = nullptr;

    bool m_Loaded = false;
    bool m_SimulateTranslation = false;
    bool m_Reading = false;  // errors wait for the end of the file
    bool m_Quiet = false;    // errors are only noted (the append check)
    CJString m_PendingError; // the last error of the file being read
};

// The program's table.
CLocalizationTable& GetLocalizationTable();

// The token check runs only while this is on (the default).
void SetLocalizationTokenCheck(bool enabled);
bool GetLocalizationTokenCheck();

inline constexpr char kLocalizationErrorCaption[] = "Error in localization text";

// The credits cache. Rebuilt when "-Credits.txt" is a loose file: a failure
// to read it is fatal; a failure to write the cache leaves the old one and
// answers false.
bool RebuildCreditsCache();
// Reads a credits cache from an open file: the text of one compressed block
// (a file that is no block is taken as plain text). False when empty or
// unreadable.
bool ReadCreditsCache(CFile& file, CJString& text);
// Opens "Cache/Credits.bin" and reads it.
bool LoadCreditsCache(CJString& text);
