#include "objects/CObjectStream.h"

#include "foundation/CMemFileBuf.h"
#include "foundation/CurrentLoadFile.h"
#include "objects/CObjectModelHost.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

uint32_t ParseCUnsigned(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    const bool negative = *text == '-';
    errno = 0;
    const unsigned long long value = std::strtoull(text, nullptr, 0);
    if (negative)
        return uint32_t(value); // strtoul's wrap-around, as the 32-bit library gave
    if (errno == ERANGE || value > 0xFFFFFFFFull)
        return 0xFFFFFFFFu;
    return uint32_t(value);
}

namespace {

bool IsNumberBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const char* SkipDigits(const char* s, size_t& digits)
{
    for (; *s >= '0' && *s <= '9'; ++s)
        ++digits;
    return s;
}

} // namespace

bool IsWholeNumberText(const CJString& text, NumberText form)
{
    CJString narrow(text);
    if (narrow.IsWide())
        narrow.ToNarrow();
    const char* s = narrow.GetString();
    while (IsNumberBlank(*s))
        ++s;
    if (*s == '+' || *s == '-')
        ++s;
    size_t digits = 0;
    s = SkipDigits(s, digits);
    if (form == NumberText::Decimal) {
        if (*s == '.')
            s = SkipDigits(s + 1, digits);
        if (digits && (*s == 'e' || *s == 'E')) {
            const char* exponent = s + 1;
            if (*exponent == '+' || *exponent == '-')
                ++exponent;
            size_t exponentDigits = 0;
            exponent = SkipDigits(exponent, exponentDigits);
            if (exponentDigits)
                s = exponent;
        }
    }
    while (IsNumberBlank(*s))
        ++s;
    return digits > 0 && !*s;
}

void CObjectStream::NoteSkippedLine(int64_t position)
{
    if (m_SkippedLine)
        return;
    m_SkippedLine = true;
    m_SkippedLineAt = position >= 0 ? position : GetPosition();
}

namespace {

// A file's characters from where it stands: bytes, or UTF-16 units.
class CCharacterReader {
public:
    CCharacterReader(CFile& file, bool wide)
        : m_File(file)
        , m_Size(wide ? 2 : 1)
    {
    }
    bool Next(char16_t& character)
    {
        uint8_t bytes[2] = {};
        for (uint32_t i = 0; i < m_Size; ++i) {
            if (m_At == m_Got && (m_At = 0, m_Got = m_File.Read(m_Block, sizeof m_Block)) == 0)
                return false;
            bytes[i] = m_Block[m_At++];
        }
        character = char16_t(bytes[0] | (m_Size == 2 ? bytes[1] << 8 : 0));
        m_Read += m_Size;
        return true;
    }
    // Bytes taken since the start.
    int64_t Read() const { return m_Read; }

private:
    CFile& m_File;
    uint32_t m_Size;
    uint8_t m_Block[4096];
    uint32_t m_At = 0;
    uint32_t m_Got = 0;
    int64_t m_Read = 0;
};

// As much of a line as a message shows.
constexpr size_t kShownLineLength = 60;

} // namespace

uint32_t CObjectStream::FindFirstSkippedLine(CJString& text)
{
    text.Empty();
    if (!m_SkippedLine || m_SkippedLineAt < 0 || !IsOpen())
        return 0;
    const int64_t kept = GetPosition();
    if (!Seek(0))
        return 0;
    uint32_t ends = 0;
    int64_t lineStart = 0;
    int64_t endedStart = 0; // of the last line ended
    bool afterCr = false;
    {
        CCharacterReader reader(*this, IsUnicode());
        for (char16_t c; reader.Read() < m_SkippedLineAt && reader.Next(c);) {
            const bool lf = c == u'\n';
            if (lf && afterCr) {
                lineStart = reader.Read();
            } else if (lf || c == u'\r') {
                ++ends;
                endedStart = lineStart;
                lineStart = reader.Read();
            }
            afterCr = c == u'\r';
        }
    }
    // Just past a line end, the line is the one it ended.
    const bool pastEnd = ends > 0 && lineStart >= m_SkippedLineAt;
    const uint32_t number = pastEnd ? ends : ends + 1;
    std::u16string shown;
    bool cut = false;
    if (Seek(pastEnd ? endedStart : lineStart)) {
        CCharacterReader reader(*this, IsUnicode());
        for (char16_t c; reader.Next(c) && c != u'\r' && c != u'\n';) {
            if (c == 0xFEFF || (shown.empty() && (c == u' ' || c == u'\t')))
                continue;
            if (shown.size() < kShownLineLength)
                shown.push_back(c < 0x20 ? u' ' : c);
            else if (c != u' ' && c != u'\t')
                cut = true;
        }
    }
    while (!cut && !shown.empty() && (shown.back() == u' '))
        shown.pop_back();
    if (IsUnicode()) {
        text.Set(shown.c_str(), int(shown.size()));
        text.ToNarrow();
    } else {
        std::string bytes(shown.begin(), shown.end());
        text.Set(bytes.c_str());
    }
    if (cut)
        text.Append("...");
    Seek(kept);
    return number;
}

void NoteNumberReadInPart(const CJString& text, NumberText form, CObjectStream* stream)
{
    if (stream && !IsWholeNumberText(text, form))
        stream->NoteSkippedLine();
}

namespace {

// The live streams, so that a dying object can be struck from their tables.
// Never destroyed: a fatal error ends the program while a stream is open,
// and objects dying after the static destructors still ask.
std::vector<CObjectStream*>& LiveStreams()
{
    static auto* streams = new std::vector<CObjectStream*>;
    return *streams;
}

} // namespace

CObjectStream::CObjectStream()
{
    LiveStreams().push_back(this);
}

CObjectStream::~CObjectStream()
{
    if (!m_Finished)
        Finish();
    std::vector<CObjectStream*>& streams = LiveStreams();
    streams.erase(std::find(streams.begin(), streams.end(), this));
}

void CObjectStream::ForgetObject(const CObject* object)
{
    for (CObjectStream* stream : LiveStreams()) {
        std::erase_if(stream->m_Loaded, [object](const CAddressOldNew& pair) { return pair.newObject == object; });
        std::erase_if(stream->m_Patches, [object](const CPatchItem& patch) { return patch.owner == object; });
    }
}

void CObjectStream::InitTable(uint32_t flags, IdMode ids)
{
    m_Finished = false;
    m_Active = true;
    m_ListPosition = -1;
    m_FirstObjectStarted = false;
    m_ReferenceListRead = false;
    m_Form = StreamForm::Unknown;
    m_OpenFlags = flags;
    m_IdLess = ids == IdMode::WithoutIds;
    m_Loaded.clear();
    m_Patches.clear();
    m_Referenced.clear();
    m_Saved.clear();
    m_Identities.clear();
    m_NextIdentity = 1;
    SetLineLimit((flags & FILE_WRITE) ? kMaxObjectTextLine : 0);
}

bool CObjectStream::Open(const char* fileName, uint32_t flags, IdMode ids)
{
    const bool text = (flags & FILE_READ) && (flags & FILE_IN_MEMORY) && !(flags & FILE_COMPRESSED);
    if (!(text ? OpenInMemory(fileName, flags, MemoryFill::OnDemand) : CFile::Open(fileName, flags)))
        return false;
    if (auto* demand = dynamic_cast<CDemandFileBuf*>(GetFileBuf()))
        demand->SetMaxLine(kMaxObjectTextLine);
    InitTable(flags, ids);
    return true;
}

bool CObjectStream::Attach(CFileBuf* buffer, uint32_t flags, IdMode ids)
{
    AttachFileBuf(buffer, flags);
    InitTable(flags, ids);
    return true;
}

bool CObjectStream::Finish()
{
    if (m_Finished)
        return false;
    m_Finished = true;
    if (m_Active && !m_IdLess) {
        if (m_OpenFlags & FILE_READ)
            ResolvePatches();
        else if (m_OpenFlags & FILE_WRITE)
            WriteReferenceList();
    }
    m_Active = false;
    return true;
}

bool CObjectStream::Close()
{
    if (!m_Finished)
        Finish();
    return CFile::Close();
}

void CObjectStream::ReportError(const CJString& message)
{
    m_ErrorFlag = true;
    m_ErrorText = message;
    m_ErrorFileName = GetCurrentLoadFileName();
}

bool CObjectStream::EnterNestedObject()
{
    if (m_Nesting == 0)
        m_OutermostLoadName = GetCurrentLoadFileName();
    if (m_Nesting >= kMaxObjectNesting) {
        CJString message;
        message.Format("Corrupt file: objects nested more than %d deep in \"%s\"", kMaxObjectNesting,
                       m_OutermostLoadName.GetString());
        ReportError(message);
        return false;
    }
    ++m_Nesting;
    return true;
}

uint32_t CObjectStream::GetIdentity(const CObject* object)
{
    if (!object)
        return 0;
    auto [it, added] = m_Identities.try_emplace(object, m_NextIdentity);
    if (added)
        ++m_NextIdentity;
    return it->second;
}

void CObjectStream::RecordSavedObject(const CObject* object)
{
    m_Saved.push_back(GetIdentity(object));
}

void CObjectStream::AddReferenced(uint32_t identity)
{
    for (uint32_t known : m_Referenced) {
        if (known == identity)
            return;
    }
    m_Referenced.push_back(identity);
}

void CObjectStream::RecordLoadedObject(uint32_t oldIdentity, CObject* object)
{
    if (m_IdLess)
        return;
    if (m_ReferenceListRead && IndexOfReferenced(oldIdentity) < 0)
        return;
    m_Loaded.push_back(CAddressOldNew{oldIdentity, object});
}

void CObjectStream::AddPatch(const CPatchItem& item)
{
    m_Patches.push_back(item);
}

void CObjectStream::RollBackRead(const ReadMark& mark)
{
    if (m_Loaded.size() > mark.loaded)
        m_Loaded.resize(mark.loaded);
    if (m_Patches.size() > mark.patches)
        m_Patches.resize(mark.patches);
}

int32_t CObjectStream::IndexOfReferenced(uint32_t identity, int32_t hint) const
{
    if (hint >= 0 && size_t(hint) < m_Referenced.size() && m_Referenced[size_t(hint)] == identity)
        return hint;
    for (size_t i = 0; i < m_Referenced.size(); ++i) {
        if (m_Referenced[i] == identity)
            return int32_t(i);
    }
    return -1;
}

void CObjectStream::ResolvePatches()
{
    for (CPatchItem& patch : m_Patches) {
        if (patch.done)
            continue;
        CObject* found = nullptr;
        for (const CAddressOldNew& pair : m_Loaded) {
            if (pair.oldIdentity == patch.oldIdentity) {
                found = pair.newObject;
                break;
            }
        }
        patch.assign(patch.field, found);
        patch.done = true;
    }
    m_Patches.clear();
    m_Patches.shrink_to_fit();
}

void CObjectStream::WriteReferenceListPlaceholder()
{
    m_FirstObjectStarted = true;
    m_Form = StreamForm::Text;
    m_ListPosition = GetPosition();
    CJString line;
    line.Format("%s=0x%08X", kReferenceListLocationName, kReferenceListPlaceholder);
    WriteLine(line.GetString());
}

void CObjectStream::WriteBinaryReferenceListPlaceholder()
{
    m_FirstObjectStarted = true;
    m_Form = StreamForm::Binary;
    m_ListPosition = GetPosition();
    WriteUint32(kBinaryReferenceListPlaceholder);
}

void CObjectStream::WriteReferenceList()
{
    if (m_ListPosition < 0)
        return; // nothing was written in ID mode
    const int64_t listStart = GetPosition();
    if (m_Form == StreamForm::Binary) {
        WriteUint32(kBinaryReferenceListMarker);
        WriteUint32(uint32_t(m_Referenced.size()));
        for (uint32_t identity : m_Referenced)
            WriteUint32(identity);
        const int64_t end = GetPosition();
        Seek(m_ListPosition);
        WriteUint32(uint32_t(listStart));
        Seek(end);
        return;
    }
    WriteLine(kReferencedObjectsName);
    WriteLine("{");
    Indent();
    CJString line;
    line.Format("%d", int32_t(m_Referenced.size()));
    WriteLine(line.GetString());
    for (uint32_t identity : m_Referenced) {
        line.Format("0x%08X", identity);
        WriteLine(line.GetString());
        bool saved = false;
        for (uint32_t known : m_Saved)
            saved = saved || known == identity;
        if (!saved) {
            CJString warning("***Programming Error*** #294 Saving a reference to something that is not saved in this "
                             "file.  This will not work properly when this file is loaded.  ");
            if (GetFileName().IsNotEmpty()) {
                warning.Append("Have a programmer find the reference in the file \"");
                warning.Append(GetFileName());
                warning.Append("\"");
            }
            CObjectModelHost::SGetInstance().ForwardStringHook2(warning.GetString());
            WriteLine("Error=/\\is referenced but not saved in this file/\\");
        }
    }
    Unindent();
    WriteLine("}");
    const int64_t end = GetPosition();
    Seek(m_ListPosition);
    line.Format("%s=0x%08X", kReferenceListLocationName, uint32_t(listStart));
    WriteString(line.GetString());
    Seek(end);
}

void CObjectStream::ReadReferenceListAt(const CJString& value)
{
    if (m_ListPosition >= 0)
        return;
    const uint32_t location = ParseCUnsigned(value.GetString());
    const int64_t back = GetPosition();
    m_ListPosition = back;
    // An ID-less stream has no use for the list: it is not sought, so a
    // location past the object never reads what lies there.
    if (m_IdLess)
        return;
    if (!Seek(location)) {
        Seek(back);
        return;
    }
    CJString line;
    if (ReadLine(line) && line.GetLength() <= 200) {
        if (line.IsWide())
            line.ToNarrow();
        line.TrimLeft();
        line.TrimRight();
        if (line.CompareNoCase(kReferencedObjectsName) == 0) {
            ReadLine(line); // "{"
            ReadLine(line); // the count: a hint only, the list grows as entries are read
            m_Referenced.clear();
            while (ReadLine(line)) {
                if (line.IsWide())
                    line.ToNarrow();
                line.TrimLeft();
                if (line.GetLength() && line.GetAt(0) == '}')
                    break;
                if (line.Find("=") >= 0)
                    continue; // an error note after an identity
                m_Referenced.push_back(ParseCUnsigned(line.GetString()));
            }
            m_ReferenceListRead = true;
        }
    }
    Seek(back);
}

bool CObjectStream::ReadBinaryReferenceList()
{
    m_FirstObjectStarted = true;
    uint32_t location = 0;
    if (!TryReadUint32(location))
        return false;
    const int64_t back = GetPosition();
    m_ListPosition = back;
    if (!Seek(location))
        return false;
    uint32_t marker = 0, count = 0;
    ReadUint32(marker);
    ReadUint32(count);
    m_Referenced.clear();
    // Each identity takes four bytes: a count the file can not hold is refused.
    const int64_t left = GetSize() - GetPosition();
    if (int64_t(count) * 4 > left) {
        Seek(back);
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t identity = 0;
        ReadUint32(identity);
        m_Referenced.push_back(identity);
    }
    m_ReferenceListRead = true;
    Seek(back);
    return true;
}
