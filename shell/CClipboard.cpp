#include "shell/CClipboard.h"

#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "foundation/TextEncoding.h"
#include "platform/CPlatform.h"
#include "platform/ClipboardDevice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

OMBRISALT_IMPLEMENT_CLASS(CStringWrappedInAnObject, 1.0)

void CStringWrappedInAnObject::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CStringWrappedInAnObject::m_String, "String", "");
}

CStringWrappedInAnObject::CStringWrappedInAnObject()
{
    InitDeclaredProperties();
}

CStringWrappedInAnObject::~CStringWrappedInAnObject()
{
    DestroyDeclaredProperties();
}

void CStringWrappedInAnObject::GetDescription(CJString& out, const char*)
{
    out = m_String;
}

void RegisterClipboardClasses()
{
    CStringWrappedInAnObject::SGetClassInfo();
}

namespace {

// What this process last put on the clipboard.
struct KeptData {
    std::string format;
    std::vector<uint8_t> data;
    std::string systemText; // the text put on the system clipboard with it
    bool valid = false;
};

KeptData& Kept()
{
    static KeptData* const kept = new KeptData;
    return *kept;
}

// 8-bit text up to its zero or the end of the data.
std::string_view TextOf(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = size ? std::memchr(text, 0, size) : nullptr;
    return std::string_view(text, zero ? size_t(static_cast<const char*>(zero) - text) : size);
}

// UTF-16 units up to the zero unit or the end of the data; an odd last byte is ignored.
std::u16string UnitsOf(const uint8_t* data, size_t size)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = char16_t(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            break;
        units += unit;
    }
    return units;
}

bool IsObjectFormat(std::string_view format)
{
    return format == kClipboardObject || format == kClipboardDirtyObject || format == kClipboardOldObject;
}

// The text other programs get for the format's data.
std::string SystemTextFor(std::string_view format, const uint8_t* data, size_t size)
{
    if (format == kClipboardText || IsObjectFormat(format))
        return Windows1252ToUtf8(TextOf(data, size));
    if (format == kClipboardUnicodeText)
        return Utf16ToUtf8(UnitsOf(data, size));
    return std::string();
}

// The kept data still counts: nothing has replaced its text since.
bool KeptDataIsCurrent(std::string& systemText, bool& hasSystemText)
{
    hasSystemText = plat::GetPlatform().GetClipboard().GetText(systemText);
    const KeptData& kept = Kept();
    return kept.valid && hasSystemText && systemText == kept.systemText;
}

// The text of the characters narrows to Windows-1252 without loss.
bool FitsWindows1252(const std::string& utf8)
{
    return Windows1252ToUtf8(Utf8ToWindows1252(utf8)) == utf8;
}

// Makes the clipboard's load-error name the current one while it lives.
class CClipboardLoadName {
public:
    CClipboardLoadName()
        : m_Previous(GetCurrentLoadFileName())
    {
        GetCurrentLoadFileName() = "Your Clipboard!!!!!!";
    }
    ~CClipboardLoadName() { GetCurrentLoadFileName() = m_Previous; }
    CClipboardLoadName(const CClipboardLoadName&) = delete;
    CClipboardLoadName& operator=(const CClipboardLoadName&) = delete;

private:
    CJString m_Previous;
};

} // namespace

bool SetClipboardData(const char* format, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    const std::string systemText = SystemTextFor(format, bytes, size);
    if (!plat::GetPlatform().GetClipboard().SetText(systemText))
        return false;
    KeptData& kept = Kept();
    kept.format = format;
    kept.data.assign(bytes, bytes + size);
    kept.systemText = systemText;
    kept.valid = true;
    return true;
}

bool GetClipboardData(const char* format, std::vector<uint8_t>& out)
{
    std::string systemText;
    bool hasSystemText = false;
    if (KeptDataIsCurrent(systemText, hasSystemText)) {
        const KeptData& kept = Kept();
        if (kept.format != format)
            return false;
        out = kept.data;
        return true;
    }
    if (!hasSystemText)
        return false;
    const std::string_view name(format);
    if (name == kClipboardText || name == kClipboardObject) {
        const std::string text = Utf8ToWindows1252(systemText);
        out.assign(text.begin(), text.end());
        if (name == kClipboardText)
            out.push_back(0);
        return true;
    }
    if (name == kClipboardUnicodeText) {
        const std::u16string units = Utf8ToUtf16(systemText);
        out.clear();
        for (char16_t unit : units) {
            out.push_back(uint8_t(unit & 0xFF));
            out.push_back(uint8_t(unit >> 8));
        }
        out.push_back(0);
        out.push_back(0);
        return true;
    }
    return false;
}

CClipboard& CClipboard::SGetInstance()
{
    static CClipboard* const instance = new CClipboard;
    return *instance;
}

const uint8_t* CClipboard::GetData(const char* format, size_t& size)
{
    m_LastRead.clear();
    size = 0;
    if (!GetClipboardData(format, m_LastRead))
        return nullptr;
    size = m_LastRead.size();
    // Empty data still answers a pointer: the format is there.
    if (m_LastRead.empty())
        m_LastRead.reserve(1);
    return m_LastRead.data() ? m_LastRead.data() : reinterpret_cast<const uint8_t*>("");
}

bool CClipboard::SetText(const CJString& text)
{
    if (text.IsWide()) {
        std::vector<uint8_t> bytes;
        const char16_t* units = text.GetWideString();
        for (int i = 0; i < text.GetLength(); ++i) {
            bytes.push_back(uint8_t(units[i] & 0xFF));
            bytes.push_back(uint8_t(units[i] >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        return SetClipboardData(kClipboardUnicodeText, bytes.data(), bytes.size());
    }
    return SetClipboardData(kClipboardText, text.GetString(), size_t(text.GetLength()) + 1);
}

bool CClipboard::GetText(CJString& out)
{
    size_t size = 0;
    if (const uint8_t* data = GetData(kClipboardUnicodeText, size)) {
        const std::u16string units = UnitsOf(data, size);
        const std::string utf8 = Utf16ToUtf8(units);
        if (FitsWindows1252(utf8)) {
            const std::string narrow = Utf8ToWindows1252(utf8);
            out = CJString(narrow.c_str(), int(narrow.size()));
        } else {
            out = CJString(units.c_str(), int(units.size()));
        }
        return true;
    }
    if (const uint8_t* data = GetData(kClipboardText, size)) {
        const std::string_view text = TextOf(data, size);
        out = CJString(std::string(text).c_str(), int(text.size()));
        return true;
    }
    return false;
}

bool CClipboard::CopyObject(CObject* object)
{
    if (!object)
        return false;
    if (object->IsKindOf(CStringWrappedInAnObject::SGetClassInfo()))
        return SetText(static_cast<CStringWrappedInAnObject*>(object)->m_String);
    uint32_t size = 0;
    uint8_t* data = WriteObjectToMemory(object, size);
    if (!data)
        return false;
    // Refused here, where the designer can be told, rather than pasted as
    // nothing later.
    if (size_t(size) > kMaxClipboardObjectBytes) {
        std::free(data);
        char text[256];
        std::snprintf(text, sizeof text,
                      "This is too large to copy: it takes %u MB on the clipboard, which holds at most %u MB. "
                      "The clipboard keeps what it held before.",
                      unsigned((uint64_t(size) + (1u << 20) - 1) >> 20), unsigned(kMaxClipboardObjectBytes >> 20));
        ShowMessage("Cannot Copy", text);
        return false;
    }
    const bool set
        = SetClipboardData(m_EditingPlayedLevel ? kClipboardDirtyObject : kClipboardObject, data, size_t(size));
    std::free(data);
    return set;
}

CObject* CClipboard::ReadObjectData()
{
    const char* formats[] = {m_EditingPlayedLevel ? kClipboardDirtyObject : kClipboardObject, kClipboardOldObject};
    for (const char* format : formats) {
        size_t size = 0;
        const uint8_t* data = GetData(format, size);
        if (!data)
            continue;
        if (size == 0 || size > kMaxClipboardObjectBytes)
            return nullptr;
        CClipboardLoadName name;
        return ReadObjectFromMemory(data, uint32_t(size));
    }
    return nullptr;
}

CObject* CClipboard::PasteObject(AllowText allowText)
{
    if (CObject* object = ReadObjectData())
        return object;
    if (allowText == AllowText::No)
        return nullptr;
    CJString text;
    if (!GetText(text))
        return nullptr;
    auto* wrapped = new CStringWrappedInAnObject;
    wrapped->m_String = text;
    return wrapped;
}

bool CClipboard::PasteInto(CObject* target)
{
    if (!target)
        return false;
    CObject* pasted = ReadObjectData();
    if (!pasted)
        return false;
    const bool fits = pasted->IsKindOf(target->GetClassInfo());
    if (fits)
        target->CopyFrom(pasted);
    delete pasted;
    return fits;
}
