#include "objects/CObject.h"

#include "foundation/CMemFileBuf.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "objects/CDynamicPropertyProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CMessage.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"
#include "objects/CPointerToBeNulledArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/XmlTags.h"
#include "objects/CommentProperty.h"
#include "objects/DroppedKeys.h"
#include "objects/ObjectFileCallbacks.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Writer and reader must agree on which properties a binary record holds.
bool TravelsInBinary(const CProperty& property, const CObjectStream& stream)
{
    return property.IsBinarySaved() && (stream.IsIDMode() ? property.WritesWithIDs() : property.WritesWithoutIDs());
}

ObjectReadHook g_ReadHook = nullptr;

constexpr float kBinaryFormatVersion = 27.0f;
constexpr float kOldestBinaryFormat = 4.0f;

void CallReadHook()
{
    if (g_ReadHook)
        g_ReadHook();
}

// Keeps the current load file name for the length of a read.
class CLoadFileNameScope {
public:
    explicit CLoadFileNameScope(const char* name)
        : m_Previous(GetCurrentLoadFileName())
    {
        GetCurrentLoadFileName().Set(name ? name : "");
    }
    ~CLoadFileNameScope() { GetCurrentLoadFileName() = m_Previous; }
    CLoadFileNameScope(const CLoadFileNameScope&) = delete;
    CLoadFileNameScope& operator=(const CLoadFileNameScope&) = delete;

private:
    CJString m_Previous;
};

// The line without leading tabs, spaces, CR and LF.
const char* SkipLeading(const CJString& line)
{
    const char* text = line.GetString();
    while (*text == '\t' || *text == ' ' || *text == '\r' || *text == '\n')
        ++text;
    return text;
}

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Reads the next line that is not blank; the line is narrowed.
bool ReadNonBlank(CObjectStream& stream, CJString& line)
{
    if (!stream.ReadNonBlankLine(line))
        return false;
    if (line.IsWide())
        line.ToNarrow();
    return true;
}

// The longest class name a class-name line can give: a class's name or an
// alternate one. A longer token names no class and is never held whole.
uint32_t LongestClassName()
{
    CClassInfoList& classes = CClassInfoList::SGetInstance();
    static int32_t s_Classes = -1;
    static uint32_t s_Longest = 0;
    if (s_Classes != classes.GetCount()) {
        s_Longest = 0;
        for (int32_t i = 0; i < classes.GetCount(); ++i) {
            const CClassInfo* info = classes.GetAt(i);
            s_Longest = std::max<uint32_t>(s_Longest, uint32_t(std::strlen(info->GetName())));
            for (uint32_t j = 0; j < info->GetAlternateNameCount(); ++j)
                s_Longest = std::max<uint32_t>(s_Longest, uint32_t(std::strlen(info->GetAlternateClassName(j))));
        }
        s_Classes = classes.GetCount();
    }
    return s_Longest;
}

// The longest name a property line can have: a property's name, alternate
// or dynamic, qualified by a class name ("Class::Name") at the most, or an
// item of a list an array claims names from (list items are named after
// files, so no longer than a file name opens). The old names classes read
// themselves are shorter still.
uint32_t LongestPropertyName()
{
    CClassInfoList& classes = CClassInfoList::SGetInstance();
    CDynamicPropertyRegistry& dynamic = CDynamicPropertyRegistry::SGetGlobal();
    static int32_t s_Classes = -1;
    static int32_t s_Dynamic = -1;
    static uint32_t s_Longest = 0;
    if (s_Classes != classes.GetCount() || s_Dynamic != dynamic.GetCount()) {
        uint32_t longest = 0;
        auto note = [&longest](const CProperty* property) {
            longest = std::max<uint32_t>(longest, uint32_t(property->GetNameString().GetLength()));
            longest = std::max<uint32_t>(longest, uint32_t(std::strlen(property->GetAlternateName())));
        };
        for (int32_t i = 0; i < classes.GetCount(); ++i)
            for (int32_t j = 0; j < classes.GetAt(i)->GetPropertyCount(); ++j)
                note(classes.GetAt(i)->GetProperty(j));
        for (int32_t i = 0; i < dynamic.GetCount(); ++i)
            note(dynamic.GetProperty(i));
        longest = std::max<uint32_t>(longest, uint32_t(std::strlen(kReferenceListLocationName)));
        s_Longest = std::max<uint32_t>(LongestClassName() + 2 + longest, kMaxOpenNameLength);
        s_Classes = classes.GetCount();
        s_Dynamic = dynamic.GetCount();
    }
    return s_Longest;
}

// The class-name line (or the "{" after it) without its leading blanks. A
// token longer than any class name is refused at its head, unheld: it comes
// back cut, control bytes shown as "?", with "..." that no class name has,
// and the stream is left there (no read goes on past a bad class name).
bool ReadClassNameLine(CObjectStream& stream, CJString& line)
{
    // Several text editors open a file with UTF-8's byte-order mark: it is
    // no part of the class name.
    if (stream.GetPosition() == 0) {
        uint8_t mark[3] = {0, 0, 0};
        if (stream.Read(mark, 3) != 3 || mark[0] != 0xEF || mark[1] != 0xBB || mark[2] != 0xBF)
            stream.Seek(0);
    }
    const CFileBuf::LineHead read
        = stream.ReadNonBlankLineHead(line, LongestClassName(), CFileBuf::LineRest::Leave);
    if (read == CFileBuf::LineHead::End)
        return false;
    if (line.IsWide())
        line.ToNarrow();
    if (read == CFileBuf::LineHead::Longer && line.GetAt(0) == '{') {
        CJString tail; // a brace line goes on: its tail is passed over
        stream.ReadLineHead(tail, 0);
    } else if (read == CFileBuf::LineHead::Longer) {
        std::string shown(line.GetString(), size_t(line.GetLength()));
        for (char& c : shown)
            if (uint8_t(c) < 0x20)
                c = '?';
        // A NUL ends a string: a head it cut short shows one "?" for the rest.
        if (shown.size() < LongestClassName())
            shown += '?';
        line.SetText(shown.data(), int(shown.size()));
        line.Append("...");
    }
    return true;
}

bool ShouldWriteProperty(const CProperty* property, CObject* object, CObjectStream& stream)
{
    if (!property->IsTextSaved() && !stream.GetWriteAll())
        return false;
    if (stream.IsIDMode() ? !property->WritesWithIDs() : !property->WritesWithoutIDs())
        return false;
    if (property->GetNameString().IsEmpty())
        return false;
    if (!property->ShouldWrite(object))
        return false;
    if (property->IsDefault(object)) {
        // ID-less files keep defaults unless the property or the object opts out.
        const bool keepDefault = !stream.IsIDMode() && !property->GetOmitWhenDefault() && !stream.GetSkipDefaults();
        if (!keepDefault)
            return false;
    }
    return true;
}

// Holds one level of object nesting in a stream while an object is read.
class CNestedObjectScope {
public:
    explicit CNestedObjectScope(CObjectStream& stream)
        : m_Stream(stream)
        , m_Entered(stream.EnterNestedObject())
    {
    }
    ~CNestedObjectScope()
    {
        if (m_Entered)
            m_Stream.LeaveNestedObject();
    }
    CNestedObjectScope(const CNestedObjectScope&) = delete;
    CNestedObjectScope& operator=(const CNestedObjectScope&) = delete;
    bool Entered() const { return m_Entered; }

private:
    CObjectStream& m_Stream;
    bool m_Entered;
};

void WriteFloatWord(CObjectStream& stream, float value)
{
    stream.WriteUint32(std::bit_cast<uint32_t>(value));
}

} // namespace

ObjectReadHook SetObjectReadHook(ObjectReadHook hook)
{
    ObjectReadHook previous = g_ReadHook;
    g_ReadHook = hook;
    return previous;
}

void CUntypedCObjectPointer::Set(CObject* object)
{
    if (!m_Target)
        return;
    // The class check makes the store's downcast safe.
    m_Store(m_Target, !object || object->GetClassInfo()->IsDerivedFrom(m_RequiredClass) ? object : nullptr);
}

// --- Classes ---

CNormalClassInfo* CObject::g_ClassInfo = nullptr;

CNormalClassInfo* CObject::SGetClassInfo()
{
    if (!g_ClassInfo) {
        new CNormalClassInfo(&g_ClassInfo, "CObject", 0.0f, CClassInfo::kNoBase, uint32_t(sizeof(CObject)), 1, nullptr,
                             nullptr, nullptr, &CObject::DeclareProperties);
        CClassInfoList::SGetInstance().Register(g_ClassInfo);
    }
    return g_ClassInfo;
}

void CObject::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddProperty(new CDynamicPropertyProperty("Dynamic Properties"));
}

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClassThatCanNotBeConstructedOrDerivedFrom, 0)

void CClassThatCanNotBeConstructedOrDerivedFrom::DeclareProperties(CPropertyDeclarer&) {}

CAutoRegisterClass::CAutoRegisterClass(CClassInfo* (*getter)())
{
    CClassInfo* info = getter();
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    if (info && registry.IndexOf(info) < 0)
        registry.Register(info);
}

void RegisterObjectClasses()
{
    CObject::SGetClassInfo();
    CClassThatCanNotBeConstructedOrDerivedFrom::SGetClassInfo();
    CBasePointerToBeNulledArray::SGetClassInfo();
    CPointerToBeNulledArray::SGetClassInfo();
    GetCommentProperty();
    // Installed once: a test may have put its own in since. The lists'
    // objects are the first to answer for their files.
    [[maybe_unused]] static const bool hooksInstalled
        = (InstallItemAddedBroadcaster(), InstallListReferenceKeeper(), RegisterListedObjectFileNames(), true);
}

// --- CObject ---

namespace {
ObjectDestroyedListener g_ObjectDestroyedListener = nullptr;
// The most recently made object alive; a plain pointer, so objects that
// outlive static destruction still unlink safely.
CObject* g_LiveObjects = nullptr;
} // namespace

CObject::CObject()
    : m_NextLive(g_LiveObjects)
{
    if (m_NextLive)
        m_NextLive->m_PreviousLive = this;
    g_LiveObjects = this;
}

ObjectDestroyedListener SetObjectDestroyedListener(ObjectDestroyedListener listener)
{
    ObjectDestroyedListener previous = g_ObjectDestroyedListener;
    g_ObjectDestroyedListener = listener;
    return previous;
}

CObject::~CObject()
{
    if (g_ObjectDestroyedListener)
        g_ObjectDestroyedListener(this);
    DeleteDynamicPropertyValues();
    CObjectStream::ForgetObject(this);
    if (m_PreviousLive)
        m_PreviousLive->m_NextLive = m_NextLive;
    else
        g_LiveObjects = m_NextLive;
    if (m_NextLive)
        m_NextLive->m_PreviousLive = m_PreviousLive;
}

CClassInfo* CObject::GetClassInfo() const
{
    return SGetClassInfo();
}

void CObject::InitDeclaredProperties()
{
    // Called from the constructor of the class that declares them: the
    // virtual GetClassInfo already answers that class.
    CClassInfo* info = GetClassInfo();
    for (int32_t i = info->GetInheritedCount(); i < info->GetPropertyCount(); ++i) {
        info->GetProperty(i)->InitValue(this);
        info->GetProperty(i)->SetToDefault(this);
        m_ReadyPropertyCount = i + 1;
    }
}

void CObject::DestroyDeclaredProperties()
{
    CClassInfo* info = GetClassInfo();
    m_ReadyPropertyCount = std::min(m_ReadyPropertyCount, info->GetInheritedCount());
    for (int32_t i = info->GetInheritedCount(); i < info->GetPropertyCount(); ++i)
        info->GetProperty(i)->DestroyValue(this);
}

void CObject::SKeepListReferencesAcrossInsert(CVirtualArray& list, int32_t index)
{
    for (CObject* object = g_LiveObjects; object; object = object->m_NextLive) {
        // Objects a value holds are alive themselves and visited on their own.
        CClassInfo* info = object->GetClassInfo();
        const int32_t ready = std::min(object->m_ReadyPropertyCount, info->GetPropertyCount());
        for (int32_t i = 0; i < ready; ++i)
            info->GetProperty(i)->KeepListReferenceAcrossInsert(object, list, index);
        if (const CDynamicValueList* values = object->m_DynamicValues)
            for (int32_t i = 0; i < values->GetCount(); ++i)
                values->Get(i).property->KeepListReferenceAcrossInsert(SlotOwner(values->Get(i).storage), list,
                                                                      index);
    }
}

void CObject::PreloadReferencedItems()
{
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i)
        info->GetProperty(i)->PreloadReferencedItems(this);
}

void CObject::SearchPropertyTree(CPropertyTreeCallback& callback)
{
    callback.Enter(this);
    CObject* previous = callback.GetCurrentOwner();
    callback.SetCurrentOwner(this);
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i)
        info->GetProperty(i)->SearchPropertyTree(this, callback);
    callback.SetCurrentOwner(previous);
    callback.Leave(this);
}

void CObject::ResetToDefaults()
{
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i)
        info->GetProperty(i)->SetToDefault(this);
    CDynamicPropertyRegistry& dynamic = info->GetDynamicPropertyList();
    for (int32_t i = 0; i < dynamic.GetCount(); ++i) {
        if (dynamic.GetKind(i) == DynamicKind::AlwaysPresent && !HasDynamicValue(dynamic.GetProperty(i)))
            AddDynamicValueAtDefault(dynamic.GetProperty(i));
    }
}

void CObject::CopyFrom(CObject* other)
{
    if (!other)
        return;
    CClassInfo* mine = GetClassInfo();
    CClassInfo* common = other->GetClassInfo();
    while (common && !mine->IsDerivedFrom(common) && !common->IsDerivedFrom(mine))
        common = common->GetBase();
    if (!common)
        return;
    CClassInfo* theirs = other->GetClassInfo();
    const int32_t shared = std::min(mine->GetPropertyCount(), theirs->GetPropertyCount());
    for (int32_t i = 0; i < shared; ++i)
        mine->GetProperty(i)->CopyValue(this, other, theirs->GetProperty(i));
    for (int32_t i = shared; i < mine->GetPropertyCount(); ++i)
        mine->GetProperty(i)->SetToDefault(this);
}

void CObject::GetDescription(CJString& out, const char* wordToRemove)
{
    CClassInfo* info = GetClassInfo();
    out = info->GetDisplayName(wordToRemove);
    out.Append(" ");
    int32_t shown = 0;
    for (int32_t i = 0; i < info->GetPropertyCount() && shown < 2; ++i) {
        CProperty* property = info->GetProperty(i);
        if (property->GetEffectiveLevel() == 0)
            continue;
        CJString text;
        property->GetValueText(this, text);
        out.Append(text);
        out.Append(" ");
        ++shown;
    }
}

CObject* CObject::Clone()
{
    CObject* copy = GetClassInfo()->CreateObject(0, -1);
    if (copy)
        copy->CopyFrom(this);
    return copy;
}

bool CObject::IsEqualTo(CObject* other)
{
    if (!other || other->GetClassInfo() != GetClassInfo())
        return false;
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        if (!info->GetProperty(i)->IsEqual(this, other, info->GetProperty(i)))
            return false;
    }
    return true;
}

bool CObject::AreAllPropertiesDefault()
{
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        if (!info->GetProperty(i)->IsDefault(this))
            return false;
    }
    return true;
}

void CObject::SetPropertyFromText(const CProperty* property, const CJString& value, CObjectStream* stream)
{
    if (property)
        property->SetValueFromText(this, value, stream);
}

void CObject::WritePacked(CNetMessageStream& stream, CObject* reference)
{
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        CProperty* property = info->GetProperty(i);
        const bool same = reference && property->IsEqual(this, reference, property);
        stream.WriteBool(same);
        if (!same)
            property->WritePacked(this, stream, reference);
    }
}

void CObject::ReadPacked(CNetMessageStream& stream)
{
    CNetMessageStream::CNestedObject nested(stream);
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        if (!stream.ReadBool())
            info->GetProperty(i)->ReadPacked(this, stream);
    }
}

namespace {

// The load name carries the path inside the file after a colon
// ("Levels.Object.txt:Level"): the file is what is kept.
std::string DroppedKeyFileKey(const char* name)
{
    std::string key(name ? name : "");
    const size_t inside = key.find(':', 2);
    if (inside != std::string::npos)
        key.erase(inside);
    for (char& c : key) {
        if (c == '\\')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    while (key.rfind("./", 0) == 0)
        key.erase(0, 2);
    return key;
}

std::vector<std::string>& DroppedKeyFiles()
{
    static std::vector<std::string> files;
    return files;
}

void NoteDroppedKey(const CJString& fileName)
{
    CJString narrow(fileName);
    if (narrow.IsWide())
        narrow.ToNarrow();
    const std::string key = DroppedKeyFileKey(narrow.GetString());
    std::vector<std::string>& files = DroppedKeyFiles();
    if (std::find(files.begin(), files.end(), key) == files.end())
        files.push_back(key);
}

} // namespace

bool WasKeyDroppedFromFile(const char* fileName)
{
    const std::vector<std::string>& files = DroppedKeyFiles();
    return std::find(files.begin(), files.end(), DroppedKeyFileKey(fileName)) != files.end();
}

void ForgetDroppedKeys()
{
    DroppedKeyFiles().clear();
}

void CObject::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream)
{
    CClassInfo* info = GetClassInfo();
    CJString narrowName(name);
    if (narrowName.IsWide())
        narrowName.ToNarrow();
    if (const CProperty* dynamic = info->GetDynamicPropertyList().FindByName(narrowName)) {
        // "" and "0" name no value; the block skip below still applies.
        if (value.IsNotEmpty() && value.Compare("0") != 0) {
            dynamic->SetValueFromText(SlotOwner(GetOrAddDynamicValue(dynamic)), value, &stream);
            return;
        }
    } else if (!info->IsIgnoredPropertyName(narrowName.GetString())) {
        stream.NoteSkippedLine();
        const bool report = info->GetReportUnknownProperties();
        CJString text(report ? "Found" : "Dropped");
        text.Append(" unknown property \"");
        text.Append(name);
        text.Append("\" with a value of \"");
        text.Append(value);
        text.Append("\" for class ");
        text.Append(info->GetName());
        text.Append(" while processing file \"");
        text.Append(GetCurrentLoadFileName());
        text.Append("\"");
        if (text.IsWide())
            text.ToNarrow();
        if (report) {
            if (!stream.IsUntrusted())
                FatalDataError("Fatal Error", text.GetString());
            stream.ReportError(text);
        } else if (!stream.IsUntrusted()) {
            NoteDroppedKey(GetCurrentLoadFileName());
#if !defined(OMBRISALT_FUZZING)
            // The next save would lose the line for good: say so, naming the file.
            std::fprintf(stderr, "%s\n", text.GetString());
#endif
        }
    }
    // Skip a block that belonged to the unknown property.
    const int64_t position = stream.GetPosition();
    CJString line;
    if (!ReadNonBlank(stream, line)) {
        stream.Seek(position);
        return;
    }
    const char* text = SkipLeading(line);
    if (text[0] == 'C' && !std::strchr(text, '=')) {
        if (!ReadNonBlank(stream, line)) {
            stream.Seek(position);
            return;
        }
        text = SkipLeading(line);
    }
    if (text[0] != '{') {
        stream.Seek(position);
        return;
    }
    int32_t depth = 1;
    // Only each line's first character counts: no line is held whole.
    while (depth > 0 && stream.ReadLineHead(line, 1) != CFileBuf::LineHead::End) {
        if (line.IsWide())
            line.ToNarrow();
        const char* trimmed = SkipLeading(line);
        if (trimmed[0] == '{')
            ++depth;
        else if (trimmed[0] == '}')
            --depth;
    }
}

bool CObject::ReadFromStream(CObjectStream& stream)
{
    OnBeforeLoad();
    ResetToDefaults();
    if (!ReadObjectBlock(this, stream, BlockMode::Whole))
        return false;
    if (stream.IsIDMode()) {
        OnLoaded(nullptr);
    } else {
        CClassThatCanNotBeConstructedOrDerivedFrom* target = nullptr;
        CTypedCObjectPointer<CClassThatCanNotBeConstructedOrDerivedFrom> holder(&target);
        OnLoaded(&holder);
    }
    return true;
}

bool CObject::ReadFromFile(const char* fileName, uint32_t flags, CJString* error)
{
    if (flags & kSaveCompressed)
        return ReadBinaryFile(fileName, flags, error);
    CObjectStream stream;
    if (!stream.Open(fileName, flags | FILE_READ, IdMode::WithoutIds)) {
        ResetToDefaults();
        if (error)
            error->Set("The file could not be opened");
        return false;
    }
    bool ok;
    {
        CLoadFileNameScope scope(fileName);
        ok = ReadFromStream(stream);
    }
    if (!ok && error)
        *error = stream.GetErrorText();
    stream.Close();
    return ok;
}

bool CObject::ReadBinaryFile(const char* fileName, uint32_t flags, CJString* error)
{
    auto fail = [&](const char* text) {
        if (error)
            error->Set(text);
        return false;
    };
    CObjectStream stream;
    if (!stream.Open(fileName, flags | FILE_READ | FILE_IN_MEMORY, IdMode::WithoutIds)) {
        ResetToDefaults();
        return fail("The file could not be opened");
    }
    // Files of this form are the player's own data, written by an earlier
    // run or damaged since: nothing in them may end the program.
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    stream.SetMissingNamesAsNone(true);
    CLoadFileNameScope scope(fileName);
    OnBeforeLoad();
    ResetToDefaults();
    if (!ReadBin(stream)) {
        if (stream.HasReadError() && error)
            *error = stream.GetErrorText();
        return stream.HasReadError() ? false : fail("The file is damaged or from another version");
    }
    if (stream.HasReadError()) {
        if (error)
            *error = stream.GetErrorText();
        return false;
    }
    // Bytes after the object mean the file is not what was written.
    if (stream.GetPosition() != stream.GetSize())
        return fail("The file holds bytes after its object");
    CClassThatCanNotBeConstructedOrDerivedFrom* target = nullptr;
    CTypedCObjectPointer<CClassThatCanNotBeConstructedOrDerivedFrom> holder(&target);
    OnLoaded(&holder);
    return true;
}

bool CObject::SaveToFile(const char* fileName, uint32_t flags)
{
    flags |= GetSaveFlags();
    // A file not yet there is writable when its folder is; the open decides.
    if (!(flags & kSaveSkipWritableTest) && FileExists(fileName, flags) && !IsFileWritable(fileName, flags))
        return false;
    const uint32_t fileFlags = flags & ~kSaveCompressed;
    const bool ids = UsesObjectIDs();
    if (flags & kSaveCompressed) {
        // Compressed files hold the binary form, ID-less; the file layer
        // stores the block at close through a replacement renamed over the
        // target, so a failed save leaves the old file as it was.
        if (ids)
            return false;
        CObjectStream stream;
        if (!stream.Open(fileName, fileFlags | FILE_COMPRESSED | FILE_CREATE | FILE_WRITE, IdMode::WithoutIds))
            return false;
        WriteBin(stream);
        stream.Finish();
        return stream.Close();
    }
    CObjectStream memory;
    memory.Attach(new CMemFileBuf(), fileFlags | FILE_CREATE | FILE_WRITE, ids ? IdMode::WithIds : IdMode::WithoutIds);
    if (!UsesIndenting())
        memory.SetIndenting(false);
    WriteObjectText(this, memory, WriteHeader::With);
    memory.Finish();
    if (memory.HasError())
        return false;
    if (!ids) {
        CFile existing;
        if (existing.Open(fileName, fileFlags | FILE_READ)) {
            const bool same = existing.IsSameContent(memory);
            existing.Close();
            // Not over a file a save cut short waits for: its journal would
            // put back what this save leaves.
            if (same && WhyWritesAreRefused(ResolveDiskPath(fileName, flags)).IsEmpty())
                return true;
        }
    }
    // The file layer writes a replacement and renames it over the target at
    // close, so a failed save leaves the old file as it was.
    CFile target;
    if (!target.Open(fileName, fileFlags | FILE_CREATE | FILE_WRITE))
        return false;
    if (!memory.CopyTo(target)) {
        target.Close();
        return false;
    }
    return target.Close();
}

// --- Binary form ---

void CObject::WriteBin(CObjectStream& stream)
{
    stream.SetBinary();
    WriteFloatWord(stream, kBinaryFormatVersion);
    if (stream.IsIDMode()) {
        if (stream.IsFirstObject())
            stream.WriteBinaryReferenceListPlaceholder();
        stream.WriteUint32(stream.GetIdentity(this));
        stream.RecordSavedObject(this);
    }
    OnBeforeSave();
    WriteFloatWord(stream, GetClassInfo()->GetVersion());
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        CProperty* property = info->GetProperty(i);
        if (TravelsInBinary(*property, stream))
            property->WriteBinary(this, stream);
    }
    WriteExtraBinary(stream);
}

bool CObject::ReadBin(CObjectStream& stream)
{
    static CPerformanceMonitor zone("CObject_ReadBin");
    CPerformanceMonitorScope scope(zone);
    CallReadHook();
    CNestedObjectScope nested(stream);
    if (!nested.Entered())
        return false;
    stream.SetBinary();
    uint32_t word = 0;
    if (!stream.TryReadUint32(word))
        return false;
    const float format = std::bit_cast<float>(word);
    if (stream.IsIDMode()) {
        if (stream.IsFirstObject() && !stream.ReadBinaryReferenceList())
            return false;
        uint32_t identity = 0;
        if (!stream.TryReadUint32(identity))
            return false;
        stream.RecordLoadedObject(identity, this);
    }
    if (!(format >= kOldestBinaryFormat))
        return false;
    if (!stream.TryReadUint32(word))
        return false;
    const float classVersion = std::bit_cast<float>(word);
    if (format != kBinaryFormatVersion || !GetClassInfo()->ReadsVersion(classVersion))
        return false;
    CClassInfo* info = GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        CProperty* property = info->GetProperty(i);
        if (TravelsInBinary(*property, stream) && !property->ReadBinary(this, stream))
            return false;
    }
    return ReadExtraBinary(stream);
}

// --- Text form ---

void WriteObjectText(CObject* object, CObjectStream& stream, WriteHeader header)
{
    CClassInfo* info = object->GetClassInfo();
    if (header == WriteHeader::With) {
        stream.WriteLine(info->GetName());
        stream.WriteLine("{");
        stream.Indent();
    }
    CJString line;
    if (stream.IsIDMode()) {
        if (stream.IsFirstObject())
            stream.WriteReferenceListPlaceholder();
        line.Format("%s=0x%08X", kObjectIdName, stream.GetIdentity(object));
        stream.WriteLine(line.GetString());
        stream.RecordSavedObject(object);
    }
    const bool previousSkip = stream.GetSkipDefaults();
    if (object->SkipsDefaultValues())
        stream.SetSkipDefaults(true);
    object->OnBeforeSave();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        CProperty* property = info->GetProperty(i);
        if (!ShouldWriteProperty(property, object, stream))
            continue;
        property->WriteName(object, stream);
        property->WriteValueLine(object, stream);
    }
    object->WriteCustomProperties(stream);
    stream.SetSkipDefaults(previousSkip);
    if (header == WriteHeader::With) {
        stream.Unindent();
        stream.WriteLine("}");
    }
}

void WriteObjectTagged(CObject* object, CObjectStream& stream)
{
    CClassInfo* info = object->GetClassInfo();
    const CJString tag = XmlTagName(CJString(info->GetName()));
    stream.WriteJString(XmlOpenTag(tag));
    stream.WriteLine();
    stream.Indent();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        CProperty* property = info->GetProperty(i);
        if (property->GetNameString().IsEmpty() || !property->ShouldWrite(object))
            continue;
        property->WriteTagged(object, stream);
    }
    object->WriteCustomTagged(stream);
    stream.Unindent();
    stream.WriteJString(XmlCloseTag(tag));
    stream.WriteLine();
}

namespace {

// One object's block in object text: the optional class name line and "{"
// (whole blocks only), then "name=value" lines up to "}". An embedded block
// (the lines of an array element or an inline object inside its holder's
// block) has no braces of its own and ends, unread, at the holder's "}", at
// its first property met again, or at a name it does not know.
class CObjectBlockReader {
public:
    CObjectBlockReader(CObject* object, CObjectStream& stream, BlockMode mode)
        : m_Object(object)
        , m_Info(object->GetClassInfo())
        , m_Stream(stream)
        , m_Mode(mode)
    {
    }

    bool Read()
    {
        if (m_Mode == BlockMode::Whole && !ReadOpening())
            return false;
        return ReadLines();
    }

private:
    enum class Step { Continue, EndOfElement };

    // The class name line, when there is one, names the object's class or a
    // base of it; "{" follows.
    bool ReadOpening()
    {
        CJString line;
        if (!ReadClassNameLine(m_Stream, line))
            return false;
        const char* text = SkipLeading(line);
        if (text[0] == '{')
            return true;
        CJString className(text);
        className.TrimRight();
        CClassInfo* named = CClassInfoList::SGetInstance().Find(className);
        if (!named || !m_Info->IsDerivedFrom(named))
            return false;
        return ReadClassNameLine(m_Stream, line) && SkipLeading(line)[0] == '{';
    }

    bool ReadLines()
    {
        CJString line;
        // A name runs at most this far: past it, the line is no property's.
        const uint32_t most = LongestPropertyName() + 1;
        for (;;) {
            const int64_t lineStart = m_Stream.GetPosition();
            const CFileBuf::LineHead read = m_Stream.ReadNonBlankLineHead(line, most);
            if (read == CFileBuf::LineHead::End)
                return ReportMissingClose();
            if (line.IsWide())
                line.ToNarrow();
            if (read == CFileBuf::LineHead::Longer) {
                const char first = SkipLeading(line)[0];
                if (first != '{' && first != '}' && line.FindChar('=') < 0) {
                    m_Stream.NoteSkippedLine();
                    continue; // a name longer than any, or no name: passed over unheld
                }
                // A long value: the line is read again, whole.
                if (first != '{' && first != '}'
                    && (!m_Stream.Seek(lineStart) || !ReadNonBlank(m_Stream, line)))
                    return ReportMissingClose();
            }
            const char* text = SkipLeading(line);
            if (!text[0] || StartsWith(text, "----------"))
                continue;
            if (text[0] == '}') {
                if (m_Mode == BlockMode::Embedded)
                    m_Stream.Seek(lineStart);
                return true;
            }
            if (text[0] == '{')
                return ReportUnexpectedOpen();
            const char* equals = std::strchr(text, '=');
            if (!equals) {
                m_Stream.NoteSkippedLine();
                continue;
            }
            CJString name;
            name.SetText(text, int(equals - text));
            if (ReadAssignment(name, CJString(equals + 1), lineStart) == Step::EndOfElement) {
                m_Stream.Seek(lineStart);
                return true;
            }
            if (m_Stream.HasReadError())
                return false;
        }
    }

    Step ReadAssignment(const CJString& name, const CJString& value, int64_t lineStart)
    {
        // The identity stands on the first line (or the first after the
        // reference list's location).
        const bool firstLine = m_FirstLine;
        m_FirstLine = false;
        if (firstLine && name.CompareNoCase(kObjectIdName) == 0) {
            m_Stream.RecordLoadedObject(ParseCUnsigned(value.GetString()), m_Object);
            return Step::Continue;
        }
        CProperty* property = m_Info->FindProperty(name);
        const bool claimed = !property;
        if (claimed)
            property = m_Info->FindClaimingProperty(name);
        if (!property)
            return ReadUnclaimed(name, value);
        if (StartsNextElement(property))
            return Step::EndOfElement;
        if (const auto* array = dynamic_cast<const CPropertyArrayProperty*>(property)) {
            array->ReadLine(m_Object, name, value, m_Stream, lineStart, m_GivenLists[array]);
            return Step::Continue;
        }
        // A name an inline object claims is its own block's line.
        if (!claimed)
            NoteIfGivenBefore(property);
        property->ReadValue(m_Object, name, value, &m_Stream, lineStart);
        return Step::Continue;
    }

    // An embedded element ends where its first property comes round again.
    bool StartsNextElement(const CProperty* property)
    {
        if (m_Mode != BlockMode::Embedded)
            return false;
        if (!m_FirstProperty) {
            m_FirstProperty = property;
            return false;
        }
        return property == m_FirstProperty;
    }

    // A value given again replaces the one before: the block is not read
    // whole. A list's lines are told apart by the list.
    void NoteIfGivenBefore(const CProperty* property)
    {
        if (!m_Given.insert(property).second)
            m_Stream.NoteSkippedLine();
    }

    // A name no property of the class takes.
    Step ReadUnclaimed(const CJString& name, const CJString& value)
    {
        const int scope = name.Find("::");
        if (scope >= 0) {
            if (CProperty* inner = m_Info->FindProperty(name.Mid(scope + 2))) {
                if (const auto* array = dynamic_cast<const CPropertyArrayProperty*>(inner)) {
                    array->ReadLine(m_Object, CJString(), value, m_Stream, -1, m_GivenLists[array]);
                } else {
                    NoteIfGivenBefore(inner);
                    m_Object->SetPropertyFromText(inner, value, &m_Stream);
                }
            } else
                m_Stream.NoteSkippedLine();
        } else if (name.CompareNoCase(kReferenceListLocationName) == 0) {
            m_Stream.ReadReferenceListAt(value);
            m_FirstLine = true;
        } else if (m_Mode == BlockMode::Embedded) {
            return Step::EndOfElement;
        } else {
            m_Object->ReadCustomProperties(name, value, m_Stream);
        }
        return Step::Continue;
    }

    bool ReportMissingClose()
    {
        CJString message("Corrupt file missing closing '}' in ");
        message.Append(GetCurrentLoadFileName());
        m_Stream.ReportError(message);
        return false;
    }

    // Fatal, except for untrusted data (the clipboard's), which is refused.
    bool ReportUnexpectedOpen()
    {
        CJString message;
        message.Format("Found unexpected '{' while parsing class \"%s\" in file \"%s\".  ReadCustomProperties "
                       "was likely overridden without calling through to the base class for unhandled "
                       "properties.",
                       m_Info->GetName(), GetCurrentLoadFileName().GetString());
        if (m_Stream.KeepsStrayBlockPlace())
            m_Stream.NoteStrayBlock();
        if (m_Stream.IsUntrusted() || m_Stream.KeepsStrayBlockPlace()) {
            m_Stream.ReportError(message);
            return false;
        }
        FatalDataError("Fatal Error", message.GetString());
    }

    CObject* m_Object;
    CClassInfo* m_Info;
    CObjectStream& m_Stream;
    BlockMode m_Mode;
    bool m_FirstLine = true;
    const CProperty* m_FirstProperty = nullptr;
    std::set<const CProperty*> m_Given;
    std::map<const CPropertyArrayProperty*, CPropertyArrayProperty::SGiven> m_GivenLists;
};

} // namespace

bool ReadObjectBlock(CObject* object, CObjectStream& stream, BlockMode mode)
{
    static CPerformanceMonitor zone("Object_ReadAsciiNoReset");
    CPerformanceMonitorScope scope(zone);
    CallReadHook();
    CNestedObjectScope nested(stream);
    if (!nested.Entered())
        return false;
    return CObjectBlockReader(object, stream, mode).Read();
}

// --- Loaders ---

namespace {

// Forgets what a read recorded in the stream unless its object is kept (a
// failed read, or a fatal report unwinding, deletes the object).
class CReadRollBack {
public:
    explicit CReadRollBack(CObjectStream& stream)
        : m_Stream(stream)
        , m_Mark(stream.MarkRead())
    {
    }
    ~CReadRollBack()
    {
        if (!m_Kept)
            m_Stream.RollBackRead(m_Mark);
    }
    CReadRollBack(const CReadRollBack&) = delete;
    CReadRollBack& operator=(const CReadRollBack&) = delete;
    void Keep() { m_Kept = true; }

private:
    CObjectStream& m_Stream;
    CObjectStream::ReadMark m_Mark;
    bool m_Kept = false;
};

} // namespace

CObject* LoadObjectFromStream(CObjectStream& stream, ReportUnknownClass report, CJString* error)
{
    CJString line;
    if (!ReadClassNameLine(stream, line))
        return nullptr;
    CJString className(SkipLeading(line));
    className.TrimRight();
    CObject* object = CClassInfoList::SGetInstance().CreateObjectByName(className.GetString(), 0, -1, report);
    if (!object) {
        stream.ReportError(CJString("Corrupt file (no class name)"));
        if (error)
            *error = stream.GetErrorText();
        return nullptr;
    }
    // A fatal report may unwind through here in tests and fuzz builds.
    CReadRollBack rollBack(stream);
    std::unique_ptr<CObject> owned(object);
    if (!object->ReadFromStream(stream) || stream.HasReadError()) {
        if (error)
            *error = stream.GetErrorText();
        return nullptr;
    }
    rollBack.Keep();
    return owned.release();
}

CObject* LoadObjectFromFile(const char* fileName, uint32_t flags, IdMode ids, ReportUnknownClass report,
                            CJString* error, SaveBack saveBack)
{
    CObjectStream stream;
    if (!stream.Open(fileName, flags | FILE_IN_MEMORY | FILE_READ, ids))
        return nullptr;
    CObject* object;
    {
        CLoadFileNameScope scope(fileName);
        object = LoadObjectFromStream(stream, report, error);
        // Pointers are patched before the caller sees the object.
        stream.Finish();
    }
    stream.Close();
    if (object && saveBack == SaveBack::Yes)
        object->SaveToFile(fileName, flags & ~uint32_t(FILE_IN_MEMORY | FILE_READ));
    return object;
}

CObject* LoadObjectFromOpenFile(CFileBuf* buffer, uint32_t flags, IdMode ids, ReportUnknownClass report,
                                CJString* error)
{
    CObjectStream stream;
    stream.Attach(buffer, flags | FILE_READ, ids);
    CObject* object = LoadObjectFromStream(stream, report, error);
    stream.Finish();
    // The buffer stays the caller's.
    stream.DetachFileBuf();
    return object;
}

CObject* CreateSameClass(int32_t a, int32_t b, CObject* object)
{
    return object ? object->GetClassInfo()->CreateObject(a, b) : nullptr;
}

CObject* ReadObjectFromStream(CObjectStream& stream)
{
    CJString line;
    if (!ReadClassNameLine(stream, line))
        return nullptr;
    CJString className(SkipLeading(line));
    className.TrimRight();
    CObject* object = CClassInfoList::SGetInstance().CreateObjectByName(
        className.GetString(), 0, -1, stream.IsQuiet() ? ReportUnknownClass::Quiet : ReportUnknownClass::Fatal);
    if (!object) {
        CJString message("Tried to use an unknown class ");
        message.Append(className);
        stream.ReportError(message);
        return nullptr;
    }
    CReadRollBack rollBack(stream);
    std::unique_ptr<CObject> owned(object);
    if (!object->ReadFromStream(stream) || stream.HasReadError())
        return nullptr;
    rollBack.Keep();
    return owned.release();
}

CObject* ReadObjectFromMemory(const void* data, uint32_t size)
{
    auto* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!copy)
        return nullptr;
    if (size)
        std::memcpy(copy, data, size);
    CObjectStream stream;
    stream.Attach(CMemFileBuf::Adopt(copy, size), FILE_READ, IdMode::WithIds);
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    CObject* object = ReadObjectFromStream(stream);
    stream.Finish();
    stream.Close();
    return object;
}

CObject* ReadObjectFileWhole(const char* fileName, CJString* whyNot)
{
    CObjectStream stream;
    if (!stream.Open(fileName, FILE_READ | FILE_IN_MEMORY, IdMode::WithoutIds))
        return nullptr;
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    std::unique_ptr<CObject> object;
    {
        CLoadFileNameScope scope(fileName);
        object.reset(LoadObjectFromStream(stream, ReportUnknownClass::Quiet));
        stream.Finish();
    }
    // Text after the object's "}" (a street or a tip appended by hand) is
    // not part of what was read. The first such byte settles it: no more is
    // read.
    uint8_t rest[4096];
    for (uint32_t got; object && !stream.HasSkippedLine() && (got = stream.Read(rest, sizeof rest)) > 0;)
        for (uint32_t i = 0; i < got && !stream.HasSkippedLine(); ++i)
            if (rest[i] != ' ' && (rest[i] < '\t' || rest[i] > '\r') && !(rest[i] == 0 && stream.IsUnicode()))
                stream.NoteSkippedLine(stream.GetPosition() - got + i + 1);
    if (whyNot && (!object || stream.HasSkippedLine())) {
        // A line is named only when it is what kept the object from being read whole.
        CJString line;
        const uint32_t number = object ? stream.FindFirstSkippedLine(line) : 0;
        whyNot->Set(kNotReadWhole);
        if (number > 0) {
            whyNot->AppendFormat(": line %u is not understood (\"", number);
            whyNot->Append(line);
            whyNot->Append("\")");
        } else {
            whyNot->Append(" (a line is not understood)");
        }
    }
    stream.Close();
    return stream.HasSkippedLine() ? nullptr : object.release();
}

CClassInfo* GetClassOfObjectInMemory(const void* data, uint32_t size)
{
    CObject* object = ReadObjectFromMemory(data, size);
    if (!object)
        return nullptr;
    CClassInfo* info = object->GetClassInfo();
    delete object;
    return info;
}

uint8_t* WriteObjectToMemory(CObject* object, uint32_t& size)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream stream;
    stream.Attach(buffer, FILE_CREATE | FILE_WRITE, object->UsesObjectIDs() ? IdMode::WithIds : IdMode::WithoutIds);
    WriteObjectText(object, stream, WriteHeader::With);
    stream.Finish();
    size = uint32_t(buffer->GetSize());
    stream.DetachFileBuf();
    uint8_t* data = buffer->DetachMemory();
    delete buffer;
    if (!data)
        data = static_cast<uint8_t*>(std::calloc(1, 1));
    return data;
}
