#include "foundation/CLocalizationTable.h"

#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CompressedBlock.h"
#include "foundation/FatalError.h"
#include "platform/Debug.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kEnglishPrefix[] = "ENGLISH: ";
constexpr char kLocalizedPrefix[] = "LOCALIZED: ";
constexpr char kEndMark[] = "[END]";
constexpr int kEndMarkLength = 5;
constexpr int32_t kGrowth = 10;

// Open flags of the files of this table.
constexpr uint32_t kLocalSearchFlags = FILE_IN_MEMORY | FILE_USER_FOLDER | FILE_READ;
constexpr uint32_t kLocalPlainFlags = FILE_READ;
constexpr uint32_t kCreditsReadFlags = FILE_IN_MEMORY | FILE_READ;
constexpr uint32_t kCreditsWriteFlags = FILE_COMPRESSED | FILE_MAKE_FOLDERS | FILE_CREATE | FILE_WRITE;

constexpr char kCreditsSource[] = "-Credits.txt";
constexpr char kCreditsCache[] = "Cache/Credits.bin";

bool g_TokenCheck = true;

bool StartsWith(const CJString& line, const char* prefix)
{
    return line.CompareN(prefix, int(std::strlen(prefix))) == 0;
}

bool IsTokenStop(char16_t c)
{
    return c == ' ' || c == ',' || c == '.';
}

CJString MakeKey(const CJString& text, const char* annotation)
{
    CJString key(text);
    if (annotation && annotation[0]) {
        key.Append(kEndMark);
        key.AppendFormat(" (%s)", annotation);
    }
    return key;
}

// The size of the file opened with flags, or -1 when it does not open.
int64_t OpenedSize(const char* name, uint32_t flags)
{
    CFile file;
    return file.Open(name, flags) ? file.GetSize() : -1;
}

// Message texts are 8-bit; UTF-16 lines of a UTF-16 file are narrowed.
const char* Narrow(CJString& text)
{
    if (text.IsWide())
        text.ToNarrow();
    return text.GetString();
}

} // namespace

// Reads "Local.txt" line by line. A line that interrupts a section (a new
// "ENGLISH: " before the "[END]") is reported once and then read again as
// the line the reader expects next, so one missing "[END]" costs one message.
class CLocalizationReader {
public:
    CLocalizationReader(CLocalizationTable& table, CFile& file)
        : m_Table(table)
        , m_File(file)
    {
    }

    void Run()
    {
        CJString line;
        while (NextLine(line)) {
            if (line.IsAllWhitespace())
                continue;
            if (!StartsWith(line, kEnglishPrefix)) {
                ReportExpected(kEnglishPrefix, line, nullptr);
                continue;
            }
            const int32_t entryLine = m_LineNumber;
            CJString whole;
            CJString english;
            Section part = ReadSection(line.Mid(int(sizeof kEnglishPrefix) - 1), whole, english, nullptr);
            if (part == Section::EndOfFile) {
                Report("Could not find the \"[END]\" in the english version of the string\"", nullptr);
                return;
            }
            if (part == Section::Interrupted)
                continue;
            // The annotation, when one follows the "[END]", stays in the key.
            const CJString key = whole.GetLength() == english.GetLength() + kEndMarkLength ? english : whole;

            if (!FindLocalizedLine(line, key))
                continue;
            CJString localized;
            part = ReadSection(line.Mid(int(sizeof kLocalizedPrefix) - 1), whole, localized, &key);
            if (part == Section::EndOfFile) {
                Report("Could not find the \"[END]\" in the localized version of the string\"", &key);
                return;
            }
            if (part == Section::Interrupted)
                continue;
            m_Table.CheckTokens(english, localized, entryLine);
            m_Table.AddUnsorted(key, localized);
        }
    }

private:
    enum class Section { Complete, Interrupted, EndOfFile };

    bool NextLine(CJString& line)
    {
        if (m_HasPushedBack) {
            m_HasPushedBack = false;
            line = m_PushedBack;
            return true;
        }
        if (!m_File.ReadLine(line))
            return false;
        ++m_LineNumber;
        return true;
    }

    void PushBack(const CJString& line)
    {
        m_PushedBack = line;
        m_HasPushedBack = true;
    }

    // Gathers a section's text from its first line to the line holding "[END]":
    // whole is every line joined, text the section before the first "[END]".
    // The lines are joined once at the end: a string measures itself on every
    // append, so appending line by line would cost the square of the lines.
    Section ReadSection(const CJString& first, CJString& whole, CJString& text, const CJString* english)
    {
        std::vector<CJString> lines{first};
        int end = first.Find(kEndMark);
        while (end < 0) {
            CJString next;
            if (!NextLine(next))
                return Section::EndOfFile;
            if (StartsWith(next, kEnglishPrefix) || StartsWith(next, kLocalizedPrefix)) {
                Report("Found the begining of a new line before the previous line was properly terminated.  "
                       "The previous line is mising a proper \"[END]\".",
                       english);
                PushBack(next);
                return Section::Interrupted;
            }
            end = next.Find(kEndMark);
            lines.push_back(std::move(next));
        }
        const int lastStart = JoinLines(lines, whole);
        text = whole.Left(lastStart + end);
        return Section::Complete;
    }

    // Joins with "\n", in UTF-16 when any line is; answers where the last
    // line starts.
    static int JoinLines(std::vector<CJString>& lines, CJString& whole)
    {
        bool wide = false;
        std::vector<int> lengths;
        lengths.reserve(lines.size());
        size_t total = lines.size() - 1;
        for (const CJString& line : lines) {
            wide = wide || line.IsWide();
            lengths.push_back(line.GetLength());
            total += size_t(lengths.back());
        }
        if (total > size_t(kMaxStringLength)) {
            whole.Empty();
            return 0;
        }
        int lastStart = 0;
        if (!wide) {
            std::string joined;
            joined.reserve(total);
            for (size_t i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    joined += '\n';
                lastStart = int(joined.size());
                joined.append(lines[i].GetString(), size_t(lengths[i]));
            }
            whole.SetText(joined.data(), int(joined.size()));
            return lastStart;
        }
        std::u16string joined;
        joined.reserve(total);
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                joined += u'\n';
            lastStart = int(joined.size());
            lines[i].ToWide();
            joined.append(lines[i].GetWideString(), size_t(lengths[i]));
        }
        whole.Set(joined.data(), int(joined.size()));
        return lastStart;
    }

    // Skips blank lines up to the "LOCALIZED: " line; an "ENGLISH: " line
    // instead ends the entry and is read again as the next one.
    bool FindLocalizedLine(CJString& line, const CJString& english)
    {
        while (NextLine(line)) {
            if (line.IsAllWhitespace())
                continue;
            if (StartsWith(line, kLocalizedPrefix))
                return true;
            ReportExpected(kLocalizedPrefix, line, &english);
            if (StartsWith(line, kEnglishPrefix)) {
                PushBack(line);
                return false;
            }
        }
        return false;
    }

    void ReportExpected(const char* prefix, const CJString& line, const CJString* english)
    {
        CJString message("Was expecting to find a line starting with \"");
        message.Append(prefix);
        message.Append("\" but instead found \"");
        message.Append(line);
        message.Append("\".  ");
        m_Table.ReportError(m_LineNumber, Narrow(message), english);
    }

    void Report(const char* message, const CJString* english) { m_Table.ReportError(m_LineNumber, message, english); }

    CLocalizationTable& m_Table;
    CFile& m_File;
    int32_t m_LineNumber = 0;
    CJString m_PushedBack;
    bool m_HasPushedBack = false;
};

// --- The table ---

CLocalizationTable::CLocalizationTable()
{
    std::memset(m_FileName, 0, sizeof m_FileName);
}

CLocalizationTable::~CLocalizationTable()
{
    delete[] m_Entries;
}

CLocalizationTable& GetLocalizationTable()
{
    static CLocalizationTable table;
    return table;
}

void SetLocalizationTokenCheck(bool enabled)
{
    g_TokenCheck = enabled;
}

bool GetLocalizationTokenCheck()
{
    return g_TokenCheck;
}

CLocalizationTable::TranslationHook CLocalizationTable::SetTranslationHook(TranslationHook hook)
{
    const TranslationHook previous = m_Hook;
    m_Hook = hook;
    return previous;
}

void CLocalizationTable::ClearEntries()
{
    delete[] m_Entries;
    m_Entries = new CLocalizationEntry[kGrowth];
    m_Count = 0;
    m_Capacity = kGrowth;
}

void CLocalizationTable::AddUnsorted(const CJString& key, const CJString& localized)
{
    if (m_Count == m_Capacity) {
        auto* entries = new CLocalizationEntry[size_t(m_Capacity) + kGrowth];
        std::move(m_Entries, m_Entries + m_Count, entries);
        delete[] m_Entries;
        m_Entries = entries;
        m_Capacity += kGrowth;
    }
    m_Entries[m_Count].m_English = key;
    m_Entries[m_Count].m_Localized = localized;
    ++m_Count;
}

void CLocalizationTable::InsertSorted(const CJString& key, const CJString& localized)
{
    // Same result as appending and sorting again, without the sort.
    const CLocalizationEntry* position
        = std::upper_bound(m_Entries, m_Entries + m_Count, key, [](const CJString& k, const CLocalizationEntry& entry) {
              return k.Compare(entry.m_English) < 0;
          });
    const int32_t index = int32_t(position - m_Entries);
    AddUnsorted(key, localized);
    std::rotate(m_Entries + index, m_Entries + m_Count - 1, m_Entries + m_Count);
}

void CLocalizationTable::Sort()
{
    if (m_Count > 1)
        std::stable_sort(m_Entries, m_Entries + m_Count, [](const CLocalizationEntry& a, const CLocalizationEntry& b) {
            return a.m_English.Compare(b.m_English) < 0;
        });
}

int32_t CLocalizationTable::FindKey(const CJString& key) const
{
    int32_t low = 0;
    int32_t high = m_Count - 1;
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        const int order = key.Compare(m_Entries[middle].m_English);
        if (order == 0)
            return middle;
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

void CLocalizationTable::ReportError(int32_t lineNumber, const char* message, const CJString* english)
{
    m_Error = true;
    if (m_Quiet)
        return;
    CJString text;
    text.Format("Error in localization text at line %d.  %s", lineNumber, message);
    if (english) {
        text.Append("  The problem occured in the line with english text of \"");
        text.Append(*english);
        text.Append("\"");
    }
    if (!m_Reading) {
        ShowDataCrashExplanation(kLocalizationErrorCaption, Narrow(text));
        return;
    }
    // The last error of a file is the fatal report itself.
    if (m_PendingError.IsNotEmpty())
        ShowDataCrashExplanation(kLocalizationErrorCaption, Narrow(m_PendingError));
    m_PendingError = text;
}

void CLocalizationTable::CheckTokens(const CJString& english, const CJString& localized, int32_t lineNumber)
{
    if (!g_TokenCheck)
        return;
    const int length = english.GetLength();
    for (int i = 0; i < length; ++i) {
        if (english.GetAt(i) != '%')
            continue;
        // Past the end these read 0, so a "%" at the end is no token.
        const char16_t next = english.GetAtChecked(i + 1);
        const char16_t after = english.GetAtChecked(i + 2);
        CJString token;
        if (after == '[') {
            const int close = english.FindChar(']', i + 3);
            if (close < 0) {
                ReportError(lineNumber, "Bad string to be localized.  No closing ]", &english);
                return;
            }
            token = english.Mid(i, close - i + 1);
            i = close;
        } else {
            if (IsTokenStop(next) || !IsTokenStop(after))
                continue;
            token = english.Mid(i, 2);
            i += 1;
        }
        if (localized.Find(token) < 0) {
            CJString message("Bad Localization.  Localized version of the string is missing the \"");
            message.Append(token);
            message.Append("\" token");
            ReportError(lineNumber, Narrow(message), &english);
        }
    }
}

void CLocalizationTable::ReadEntries(CFile& file)
{
    ClearEntries();
    m_Error = false;
    m_Reading = true;
    m_PendingError.Empty();
    CLocalizationReader(*this, file).Run();
    m_Reading = false;
    if (m_Error && !m_Quiet) {
        CJString report;
        std::swap(report, m_PendingError);
        FatalDataError(kLocalizationErrorCaption, Narrow(report));
    }
    Sort();
}

bool CLocalizationTable::LoadLocalization()
{
    m_Error = false;
    if (!RebuildCreditsCache())
        plat::DebugOutput("Could not rebuild the credits cache \"Cache/Credits.bin\".\n");

    std::strcpy(m_FileName, "Local.txt");
    // Measured before it is read whole: a file larger than any text could
    // not hold its lines.
    int64_t size = OpenedSize(m_FileName, kLocalSearchFlags & ~FILE_IN_MEMORY);
    if (size < 0)
        size = OpenedSize(m_FileName, kLocalPlainFlags);
    if (size > kMaxStringLength) {
        CJString message;
        message.Format("Error in localization text.  \"%s\" holds %lld bytes, more than any text may (%d).",
                       m_FileName, static_cast<long long>(size), kMaxStringLength);
        FatalDataError(kLocalizationErrorCaption, message.GetString());
    }
    CFile file;
    m_OpenedWithoutSearch = 0;
    if (!file.Open(m_FileName, kLocalSearchFlags)) {
        m_OpenedWithoutSearch = 1;
        if (!file.Open(m_FileName, kLocalPlainFlags)) {
            ApplyToRegisteredStrings();
            return false;
        }
    }
    m_SimulateTranslation = FileExists("SimulateTranslation.txt", FILE_USER_FOLDER);
    ReadEntries(file);
    file.Close();
    // Loaded before the registered strings are applied, or none of them
    // would be looked up.
    m_Loaded = true;
    ApplyToRegisteredStrings();
    return true;
}

void CLocalizationTable::ApplyToRegisteredStrings()
{
    GetLocalizedSymbol(LocalizedSymbol::ThousandsSeparator); // the symbols register on first use
    CList<CStringAnnotationPair>& registry = GetRegisteredLocalizedStrings();
    for (uint32_t i = 0; i < registry.GetCount(); ++i) {
        const CStringAnnotationPair record = registry[i];
        if (!record.m_String)
            continue;
        record.m_String->Set(record.m_String->GetEnglishString());
        TranslateAndCheck(*record.m_String, record.m_Annotation,
                          record.m_NoDecoration ? LocalizedDecoration::Suppressed : LocalizedDecoration::Allowed);
    }
}

void CLocalizationTable::Translate(CJString& text, const char* annotation, LocalizedDecoration decoration)
{
    if (text.IsEmpty())
        return;
    if (m_Loaded) {
        const CJString key = MakeKey(text, annotation);
        const int32_t index = FindKey(key);
        if (index >= 0) {
            text = m_Entries[index].m_Localized;
        } else {
            InsertSorted(key, text);
            AppendToFile(text, annotation);
        }
    }
    if (m_SimulateTranslation && decoration == LocalizedDecoration::Allowed && text.GetLength() >= 2) {
        CJString wrapped("\xCA\x6C\x20");
        wrapped.Append(text);
        wrapped.Append("\xD5");
        text = wrapped;
    }
    if (m_Hook)
        m_Hook(text);
}

void CLocalizationTable::TranslateAndCheck(CJString& text, const char* annotation, LocalizedDecoration decoration)
{
    const CJString english(text);
    Translate(text, annotation, decoration);
    CheckTokens(english, text, -1);
}

void CLocalizationTable::AppendToFile(const CJString& text, const char* annotation)
{
    if (!text.IsNarrowable())
        return; // the file is 8-bit text
    CJString narrow(text);
    narrow.ToNarrow();
    CJString entry(kEnglishPrefix);
    entry.Append(narrow);
    entry.Append(kEndMark);
    if (annotation && annotation[0])
        entry.AppendFormat(" (%s)", annotation);
    entry.Append("\r\n");
    entry.Append(kLocalizedPrefix);
    entry.Append(narrow);
    entry.Append(kEndMark);
    entry.Append("\r\n\r\n");

    // Only an entry that reads back as this very pair may go into the file:
    // "[END]", a line break before a prefix or a carriage return in a text
    // would make every later load fail.
    {
        CLocalizationTable check;
        check.m_Quiet = true;
        CFile memory;
        const uint32_t size = uint32_t(entry.GetLength());
        auto* buffer = CMemFileBuf::WrapReadOnly(entry.GetString(), size);
        if (!memory.AttachFileBuf(buffer, FILE_READ)) {
            delete buffer;
            return;
        }
        check.ReadEntries(memory);
        memory.Close();
        if (check.HasError() || check.GetCount() != 1
            || check.GetEntry(0).m_English.Compare(MakeKey(text, annotation)) != 0
            || check.GetEntry(0).m_Localized.Compare(text) != 0)
            return;
    }

    CFile file;
    if (!file.Open(m_FileName, m_OpenedWithoutSearch ? FILE_WRITE : FILE_WRITE | FILE_USER_FOLDER))
        return;
    const int64_t size = file.GetSize();
    uint8_t mark[2] = {0, 0};
    if (size >= 2 && file.Read(mark, 2) == 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
        file.Close();
        return; // a UTF-16 file takes no 8-bit lines
    }
    // A last line without its line end would swallow the new entry's first line.
    uint8_t last = '\n';
    if (size > 0 && (!file.Seek(size - 1) || file.Read(&last, 1) != 1)) {
        file.Close();
        return;
    }
    if (!file.Seek(size)) {
        file.Close();
        return;
    }
    if (last != '\n' && last != '\r')
        file.Write("\r\n", 2);
    file.Write(entry.GetString(), uint32_t(entry.GetLength()));
    if (!file.Close())
        plat::DebugOutput("Could not append a text to \"Local.txt\".\n");
}

// --- Credits cache ---

bool RebuildCreditsCache()
{
    {
        CFileBuf loose;
        if (!loose.OpenDisk(kCreditsSource, FILE_READ))
            return true; // none, or only inside an archive: the cache stays
        // More than any text may hold: the cache could never be shown.
        if (loose.GetSize() > kMaxStringLength)
            return false;
        loose.Close();
    }
    CFile source;
    if (!source.Open(kCreditsSource, kCreditsReadFlags))
        FatalDataError("Couldn't load uncompressed file.", "NO FILE");
    CFile cache;
    if (!cache.Open(kCreditsCache, kCreditsWriteFlags))
        return false;
    const bool copied = source.CopyTo(cache);
    source.Close();
    if (!copied) {
        // The old cache stays as it was.
        if (CFileBuf* buffer = cache.DetachFileBuf())
            delete buffer;
        return false;
    }
    return cache.Close();
}

bool ReadCreditsCache(CFile& file, CJString& text)
{
    text.Empty();
    if (!file.IsOpen())
        return false;
    uint32_t size = 0;
    uint8_t* block = CFileCompressor::ReadCompressed(file, size, uint32_t(kMaxStringLength));
    if (block) {
        text.SetText(reinterpret_cast<const char*>(block), int(size));
        std::free(block);
        return text.IsNotEmpty();
    }
    // Not a block: the file is taken as it is.
    if (!file.Seek(0))
        return false;
    const int64_t length = file.GetSize();
    if (length <= 0 || length > kMaxStringLength)
        return false;
    char* buffer = text.GetBufferDiscard(int(length));
    const uint32_t got = file.Read(buffer, uint32_t(length));
    text.ReleaseBuffer(int(got));
    return text.IsNotEmpty();
}

bool LoadCreditsCache(CJString& text)
{
    CFile file;
    if (!file.Open(kCreditsCache, FILE_READ)) {
        text.Empty();
        return false;
    }
    return ReadCreditsCache(file, text);
}
