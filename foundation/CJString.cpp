#include "foundation/CJString.h"

#include "foundation/CLocalizedString.h"
#include "foundation/CMemoryPool.h"
#include "foundation/SaturatingArithmetic.h"
#include "foundation/WideString.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

// The shared empty block lives outside the pool: its own reference keeps the
// count above 0, so it is never freed, and being constant-initialised it is
// there before any static constructor and after every exit-time destructor.
struct EmptyStorage {
    CJString::Block header;
    char16_t terminator;
};
EmptyStorage g_Empty = {{1, 0, 0, {0, 0, 0}}, 0};
static_assert(offsetof(EmptyStorage, terminator) == sizeof(CJString::Block));

CJString::Block* EmptyBlock()
{
    // The whole storage, not its header member: the terminator lies past the
    // header, and the optimiser judges writes by the object a pointer came from.
    return reinterpret_cast<CJString::Block*>(&g_Empty);
}

const char kFileFormMarker[] = "UNICODE-HEX<";
constexpr int kFileFormMarkerLength = 12;
const char kHexDigits[] = "0123456789ABCDEF";

bool IsTrim(uint32_t c)
{
    return c == '\t' || c == ' ' || c == '\r' || c == '\n';
}
uint32_t FoldUpper(uint32_t c)
{
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}
uint32_t FoldLower(uint32_t c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

int HexValue(uint32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    return -1;
}

enum class Fold { None, Lower, Upper };

uint32_t Code(char c)
{
    return uint8_t(c);
}
uint32_t Code(char16_t c)
{
    return c;
}

template <typename A, typename B>
int CompareRaw(const A* a, const B* b, int limit, Fold fold)
{
    for (int i = 0; i < limit; ++i) {
        uint32_t ca = Code(a[i]);
        uint32_t cb = Code(b[i]);
        if (fold == Fold::Lower) {
            ca = FoldLower(ca);
            cb = FoldLower(cb);
        } else if (fold == Fold::Upper) {
            ca = FoldUpper(ca);
            cb = FoldUpper(cb);
        }
        if (ca != cb)
            return int(ca) - int(cb);
        if (ca == 0)
            break;
    }
    return 0;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// Two strings given as pointers and widths; the 8-bit pair gives -1, 0 or 1,
// the other combinations the difference of the deciding codes.
int CompareMixed(const void* a, bool aWide, const void* b, bool bWide, int limit, Fold narrowFold, Fold wideFold)
{
    auto na = static_cast<const char*>(a);
    auto nb = static_cast<const char*>(b);
    auto wa = static_cast<const char16_t*>(a);
    auto wb = static_cast<const char16_t*>(b);
    if (!aWide && !bWide) {
        if (narrowFold == Fold::None)
            return Sign(limit == INT_MAX ? std::strcmp(na, nb) : std::strncmp(na, nb, size_t(std::max(limit, 0))));
        return Sign(CompareRaw(na, nb, limit, narrowFold));
    }
    if (aWide && bWide)
        return CompareRaw(wa, wb, limit, wideFold);
    if (aWide)
        return CompareRaw(wa, nb, limit, wideFold);
    return CompareRaw(na, wb, limit, wideFold);
}

} // namespace

// ---------------------------------------------------------------------------
// Blocks

CJString::Block* CJString::AllocateBlock(int count, bool wide)
{
    // Beyond this the capacity field and the byte count would wrap; a length
    // computed past INT_MAX arrives here negative. Like a failed allocation,
    // it cannot be carried on from.
    if (count < 0 || count > kMaxStringLength)
        throw std::length_error("text too long for a string");
    uint32_t capacity = wide ? 2 * uint32_t(count) + 1 : uint32_t(count);
    void* memory = PoolAllocate(BlockSize(capacity));
    auto* block = new (memory) Block{1, capacity, uint8_t(wide ? 1 : 0), {0, 0, 0}};
    std::memset(block + 1, 0, capacity + 1);
    return block;
}

void CJString::Release(Block* block)
{
    if (--block->refCount == 0)
        PoolFree(block, BlockSize(block->capacity));
}

// Takes a block with one reference already counted. The new block is always
// made before the old one is let go, so text read from the old one stays valid.
void CJString::Adopt(Block* block)
{
    Block* old = m_Block;
    m_Block = block;
    Release(old);
}

bool CJString::OwnsPointer(const void* pointer) const
{
    auto p = static_cast<const char*>(pointer);
    const char* first = Chars();
    return p >= first && p <= first + m_Block->capacity;
}

void CJString::Terminate(int length)
{
    if (IsWide())
        Units()[length] = 0;
    else
        Chars()[length] = 0;
}

void CJString::Put(int index, char16_t code)
{
    if (IsWide())
        Units()[index] = code;
    else
        Chars()[index] = char(code);
}

void CJString::WriteText(int index, Text text)
{
    if (text.length <= 0)
        return;
    if (IsWide() == text.wide) {
        size_t unit = IsWide() ? 2 : 1;
        std::memmove(Chars() + size_t(index) * unit, text.data, size_t(text.length) * unit);
    } else {
        for (int i = 0; i < text.length; ++i)
            Put(index + i, text.At(i));
    }
}

CJString::Text CJString::ViewOf(const char* text)
{
    return Text{text ? text : "", text ? int(std::strlen(text)) : 0, false};
}

void CJString::MakeUnique(int count)
{
    count = std::max(count, 0);
    if (CapacityOf(m_Block) >= uint32_t(count) && m_Block->refCount < 2)
        return;
    int length = GetLength();
    count = std::max(count, length);
    Block* block = AllocateBlock(count, IsWide());
    std::memcpy(block + 1, m_Block + 1, size_t(length) * (IsWide() ? 2 : 1));
    Adopt(block);
}

void CJString::PrepareOverwrite(int count)
{
    count = std::max(count, 0);
    if (CapacityOf(m_Block) >= uint32_t(count) && m_Block->refCount < 2)
        return;
    Adopt(AllocateBlock(count, IsWide()));
}

// ---------------------------------------------------------------------------
// Construction and assignment

CJString::CJString() noexcept
    : m_Block(EmptyBlock())
{
    ++m_Block->refCount;
}

CJString::CJString(CJString&& other) noexcept
    : m_Block(other.m_Block)
{
    other.m_Block = EmptyBlock();
    ++other.m_Block->refCount;
}

CJString::CJString(const char* text)
    : CJString()
{
    Set(text);
}

CJString::CJString(const char* text, int count)
    : CJString()
{
    if (!text || count <= 0 || !*text)
        return;
    Adopt(AllocateBlock(count, false));
    std::memcpy(Chars(), text, strnlen(text, size_t(count)));
}

CJString::CJString(const char16_t* text)
    : CJString()
{
    Set(text);
}

CJString::CJString(const char16_t* text, int count)
    : CJString()
{
    Set(text, count);
}

CJString::CJString(char16_t code, int count)
    : CJString()
{
    AppendRepeated(code, count);
}

CJString::~CJString()
{
    if (m_Block)
        Release(m_Block);
    m_Block = nullptr;
}

CJString& CJString::operator=(const CJString& other) noexcept
{
    ++other.m_Block->refCount;
    Release(m_Block);
    m_Block = other.m_Block;
    return *this;
}

CJString& CJString::operator=(CJString&& other) noexcept
{
    if (this != &other)
        std::swap(m_Block, other.m_Block);
    return *this;
}

CJString& CJString::operator=(const char* text)
{
    Set(text);
    return *this;
}

CJString& CJString::operator=(const char16_t* text)
{
    Set(text);
    return *this;
}

void CJString::Set(const char* text)
{
    if (!text)
        Empty();
    else
        SetText(text, int(std::strlen(text)));
}

void CJString::Set(const char16_t* text)
{
    SetFrom(Text{text, int(WideLength(text)), true});
}

void CJString::Set(const char16_t* text, int count)
{
    if (!text || count <= 0) {
        Empty();
        return;
    }
    Block* block = AllocateBlock(count, true);
    WideCopyN(reinterpret_cast<char16_t*>(block + 1), text, size_t(count));
    Adopt(block);
}

void CJString::SetText(const char* text, int count)
{
    SetFrom(Text{text, text ? count : 0, false});
}

// The whole string becomes text, in the text's width: written in place when
// the block is private, of that width and roomy enough, else into a new block
// of exactly its length.
void CJString::SetFrom(Text text)
{
    if (text.length <= 0) {
        Empty();
        return;
    }
    if (m_Block->refCount < 2 && IsWide() == text.wide && CapacityOf(m_Block) >= uint32_t(text.length)) {
        WriteText(0, text);
        Terminate(text.length);
        return;
    }
    Block* block = AllocateBlock(text.length, text.wide);
    size_t unit = text.wide ? 2 : 1;
    std::memcpy(block + 1, text.data, size_t(text.length) * unit);
    Adopt(block);
}

void CJString::Empty()
{
    ++EmptyBlock()->refCount;
    Adopt(EmptyBlock());
}

void CJString::ResetToEmpty()
{
    if (m_Block && m_Block != EmptyBlock())
        Empty();
}

void CJString::Clear()
{
    if (m_Block->refCount < 2)
        Terminate(0);
    else
        Empty();
}

// ---------------------------------------------------------------------------
// Inspection

int CJString::GetLength() const
{
    return IsWide() ? int(WideLength(Units())) : int(std::strlen(Chars()));
}

char16_t CJString::GetAt(int i) const
{
    if (uint32_t(i) > CapacityOf(m_Block) || IsEmpty())
        return 0;
    return Unit(i);
}

char16_t CJString::GetAtChecked(int i) const
{
    return i >= 0 && i < GetLength() ? Unit(i) : 0;
}

int16_t CJString::GetSignedAt(int i) const
{
    if (uint32_t(i) > CapacityOf(m_Block))
        return 0;
    return IsWide() ? int16_t(Units()[i]) : int16_t(int8_t(Chars()[i]));
}

int32_t CJString::ToInt() const
{
    return IsWide() ? WideToLong(Units(), nullptr, 10) : NarrowToLong(Chars(), nullptr, 10);
}

float CJString::ToFloat() const
{
    return IsWide() ? WideToFloat(Units()) : float(std::strtod(Chars(), nullptr));
}

bool CJString::IsAllWhitespace() const
{
    for (int i = 0; Unit(i); ++i)
        if (!IsTrim(Unit(i)))
            return false;
    return true;
}

int CJString::CountLeadingWhitespace() const
{
    int i = 0;
    while (Unit(i) && IsTrim(Unit(i)))
        ++i;
    return i;
}

int CJString::CountChar(char16_t code, int start) const
{
    int length = GetLength();
    int count = 0;
    for (int i = std::max(start, 0); i < length; ++i)
        count += Unit(i) == code;
    return count;
}

int CJString::CountLines(int start) const
{
    return CountChar(u'\n', start) + 1;
}

bool CJString::IsNarrowable() const
{
    if (!IsWide())
        return true;
    for (const char16_t* p = Units(); *p; ++p)
        if (*p > 255)
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// Searching

int CJString::FindChar(char16_t code, int start, FindDirection direction) const
{
    int length = GetLength();
    if (start >= length)
        return -1;
    if (direction == FindDirection::Forward) {
        for (int i = std::max(start, 0); i < length; ++i)
            if (Unit(i) == code)
                return i;
    } else {
        for (int i = start; i >= 0; --i)
            if (Unit(i) == code)
                return i;
    }
    return -1;
}

int CJString::FindText(Text sub, int start, bool noCase) const
{
    Text text = View();
    start = std::max(start, 0);
    if (start >= text.length)
        return -1;
    if (sub.length == 0)
        return start;
    if (!noCase && !text.wide && !sub.wide) {
        const char* found = std::strstr(Chars() + start, static_cast<const char*>(sub.data));
        return found ? int(found - Chars()) : -1;
    }
    for (int i = start; i + sub.length <= text.length; ++i) {
        int j = 0;
        for (; j < sub.length; ++j) {
            uint32_t a = text.At(i + j);
            uint32_t b = sub.At(j);
            if (noCase ? FoldUpper(a) != FoldUpper(b) : a != b)
                break;
        }
        if (j == sub.length)
            return i;
    }
    return -1;
}

int CJString::Find(const CJString& sub, int start) const
{
    return FindText(sub.View(), start, false);
}
int CJString::Find(const char* sub, int start) const
{
    return FindText(ViewOf(sub), start, false);
}
int CJString::FindNoCase(const CJString& sub, int start) const
{
    return FindText(sub.View(), start, true);
}
int CJString::FindNoCase(const char* sub, int start) const
{
    return FindText(ViewOf(sub), start, true);
}

// ---------------------------------------------------------------------------
// Comparing

int CJString::Compare(const CJString& other) const
{
    return CompareMixed(m_Block + 1, IsWide(), other.m_Block + 1, other.IsWide(), INT_MAX, Fold::None, Fold::None);
}

int CJString::Compare(const char* other) const
{
    return CompareMixed(m_Block + 1, IsWide(), other ? other : "", false, INT_MAX, Fold::None, Fold::None);
}

int CJString::CompareN(const CJString& other, int count) const
{
    return CompareMixed(m_Block + 1, IsWide(), other.m_Block + 1, other.IsWide(), count, Fold::None, Fold::None);
}

int CJString::CompareN(const char* other, int count) const
{
    return CompareMixed(m_Block + 1, IsWide(), other ? other : "", false, count, Fold::None, Fold::None);
}

int CJString::CompareNoCase(const CJString& other) const
{
    return CompareMixed(m_Block + 1, IsWide(), other.m_Block + 1, other.IsWide(), INT_MAX, Fold::Lower, Fold::Upper);
}

int CJString::CompareNoCase(const char* other) const
{
    return CompareMixed(m_Block + 1, IsWide(), other ? other : "", false, INT_MAX, Fold::Lower, Fold::Upper);
}

int CJString::CompareNoCaseN(const CJString& other, int count) const
{
    return CompareMixed(m_Block + 1, IsWide(), other.m_Block + 1, other.IsWide(), count, Fold::Upper, Fold::Upper);
}

int CJString::CompareNoCaseN(const char* other, int count) const
{
    return CompareMixed(m_Block + 1, IsWide(), other ? other : "", false, count, Fold::Upper, Fold::Upper);
}

// ---------------------------------------------------------------------------
// Substrings

CJString CJString::Sub(int from, int count) const
{
    int length = GetLength();
    from = std::max(from, 0);
    if (from >= length || count <= 0)
        return CJString();
    count = std::min(count, length - from);
    if (from == 0 && count == length)
        return *this;
    CJString result;
    result.SetFrom(Text{Chars() + size_t(from) * (IsWide() ? 2 : 1), count, IsWide()});
    return result;
}

CJString CJString::Left(int count) const
{
    return Sub(0, count);
}
CJString CJString::Mid(int from) const
{
    return Sub(from, INT_MAX);
}
CJString CJString::Mid(int from, int count) const
{
    return Sub(from, count);
}

CJString CJString::Right(int count) const
{
    int length = GetLength();
    return count >= length ? *this : Sub(length - count, count);
}

void CJString::SplitAt(char16_t code, CJString& left, CJString& right) const
{
    int at = FindChar(code);
    CJString before = at < 0 ? *this : Left(at);
    CJString after = at < 0 ? CJString() : Mid(at + 1);
    left = before;
    right = after;
}

// ---------------------------------------------------------------------------
// Editing

// Replaces removeCount characters at index with insert. Text that lives in
// this string's own block is kept alive by a second reference, which also
// makes the edit go to a new block.
void CJString::Splice(int index, int removeCount, Text insert)
{
    int length = GetLength();
    index = std::clamp(index, 0, length);
    removeCount = std::clamp(removeCount, 0, length - index);
    if (removeCount == 0 && insert.length <= 0)
        return;
    insert.length = std::max(insert.length, 0);
    CJString keepSource;
    if (insert.length > 0 && OwnsPointer(insert.data))
        keepSource = *this;
    if (insert.wide && insert.length > 0)
        ToWide();
    int newLength = length - removeCount + insert.length;
    MakeUnique(std::max(length, newLength));
    size_t unit = IsWide() ? 2 : 1;
    char* chars = Chars();
    std::memmove(chars + size_t(index + insert.length) * unit, chars + size_t(index + removeCount) * unit,
                 size_t(length - index - removeCount) * unit);
    WriteText(index, insert);
    Terminate(newLength);
}

void CJString::ReplaceRange(int index, int count, const CJString& text)
{
    Splice(index, count, text.View());
}

void CJString::Delete(int index, int count)
{
    if (count > 0)
        Splice(index, count, Text{"", 0, false});
}

void CJString::InsertChar(int index, char16_t code)
{
    char narrow = char(code);
    Splice(index, 0, code > 255 ? Text{&code, 1, true} : Text{&narrow, 1, false});
}

void CJString::SetAt(int index, char16_t code)
{
    int length = GetLength();
    if (index < 0 || index >= length)
        return;
    if (code > 255)
        ToWide();
    MakeUnique(length);
    Put(index, code);
}

void CJString::Append(const char* text)
{
    Splice(INT_MAX, 0, ViewOf(text));
}
void CJString::Append(const CJString& text)
{
    Splice(INT_MAX, 0, text.View());
}

void CJString::AppendText(const char* text, int count)
{
    if (!text || count <= 0)
        return;
    if (IsEmpty())
        SetText(text, count);
    else
        Splice(INT_MAX, 0, Text{text, count, false});
}

void CJString::AppendLeft(const CJString& text, int count)
{
    if (IsEmpty()) {
        SetLeft(text, count);
        return;
    }
    count = std::clamp(count, 0, text.GetLength());
    Splice(INT_MAX, 0, Text{text.Chars(), count, text.IsWide()});
}

void CJString::SetLeft(const CJString& text, int count)
{
    *this = text.Left(count);
}

void CJString::AppendChar(char c)
{
    Splice(INT_MAX, 0, Text{&c, 1, false});
}

void CJString::AppendRepeated(char16_t code, int count)
{
    if (count <= 0)
        return;
    if (code > 255)
        ToWide();
    int length = GetLength();
    MakeUnique(length + count);
    for (int i = 0; i < count; ++i)
        Put(length + i, code);
    Terminate(length + count);
}

// The item is copied first: it may be this string's own text, which the
// separator changes and may move to a new block.
void CJString::AppendWithSeparator(const char* separator, const char* item)
{
    AppendWithSeparator(separator, CJString(item));
}

void CJString::AppendWithSeparator(const char* separator, const CJString& item)
{
    CJString keep(item);
    if (IsNotEmpty() && keep.IsNotEmpty())
        Append(separator);
    Append(keep);
}

// An empty search would match forever at the same place, so it replaces nothing.
int CJString::ReplaceAll(const CJString& search, const CJString& replacement, int start, bool noCase, bool firstOnly)
{
    CJString find(search);
    CJString with(replacement);
    int findLength = find.GetLength();
    int withLength = with.GetLength();
    if (findLength == 0)
        return 0;
    int count = 0;
    for (int at = start; (at = FindText(find.View(), at, noCase)) >= 0; at += withLength) {
        Splice(at, findLength, with.View());
        ++count;
        if (firstOnly)
            break;
    }
    return count;
}

bool CJString::ReplaceFirst(const CJString& search, const CJString& replacement, int start)
{
    return ReplaceAll(search, replacement, start, false, true) > 0;
}

int CJString::Replace(const CJString& search, const CJString& replacement, int start)
{
    return ReplaceAll(search, replacement, start, false, false);
}

int CJString::ReplaceNoCase(const CJString& search, const CJString& replacement, int start)
{
    return ReplaceAll(search, replacement, start, true, false);
}

void CJString::ReplaceChar(char from, char to)
{
    int at = FindChar(uint8_t(from));
    if (at < 0)
        return;
    int length = GetLength();
    MakeUnique(length);
    for (int i = at; i < length; ++i)
        if (Unit(i) == uint8_t(from))
            Put(i, uint8_t(to));
}

void CJString::MakeLower()
{
    int length = GetLength();
    MakeUnique(length);
    for (int i = 0; i < length; ++i)
        Put(i, char16_t(FoldLower(Unit(i))));
}

void CJString::TrimLeft()
{
    Delete(0, CountLeadingWhitespace());
}

void CJString::TrimRight()
{
    int length = GetLength();
    int end = length;
    while (end > 0 && IsTrim(Unit(end - 1)))
        --end;
    Delete(end, length - end);
}

void CJString::RemoveWhitespace()
{
    int length = GetLength();
    MakeUnique(length);
    int kept = 0;
    for (int i = 0; i < length; ++i)
        if (!IsTrim(Unit(i)))
            Put(kept++, Unit(i));
    Terminate(kept);
}

void CJString::KeepOnly(const char* set)
{
    ToNarrow();
    int length = GetLength();
    MakeUnique(length);
    int kept = 0;
    for (int i = 0; i < length; ++i) {
        char c = Chars()[i];
        if (set && std::strchr(set, c))
            Chars()[kept++] = c;
    }
    Terminate(kept);
}

bool CJString::RemovePrefix(const CJString& prefix)
{
    int length = prefix.GetLength();
    if (length == 0 || length > GetLength() || CompareNoCaseN(prefix, length) != 0)
        return false;
    Delete(0, length);
    return true;
}

bool CJString::RemoveSuffix(const CJString& suffix)
{
    int length = GetLength();
    int suffixLength = suffix.GetLength();
    if (suffixLength == 0 || suffixLength > length)
        return false;
    for (int i = 0; i < suffixLength; ++i)
        if (FoldUpper(Unit(length - suffixLength + i)) != FoldUpper(suffix.Unit(i)))
            return false;
    Delete(length - suffixLength, suffixLength);
    return true;
}

void CJString::ToWide()
{
    if (IsWide())
        return;
    int length = GetLength();
    Block* block = AllocateBlock(length, true);
    auto* units = reinterpret_cast<char16_t*>(block + 1);
    for (int i = 0; i < length; ++i)
        units[i] = uint8_t(Chars()[i]);
    Adopt(block);
}

void CJString::ToNarrow()
{
    if (!IsWide())
        return;
    int length = GetLength();
    Block* block = AllocateBlock(length, false);
    auto* chars = reinterpret_cast<char*>(block + 1);
    for (int i = 0; i < length; ++i)
        chars[i] = Units()[i] > 255 ? '*' : char(Units()[i]);
    Adopt(block);
}

// A text that holds the marker itself is written in the hex form too, so that
// reading it back does not decode what was never encoded.
CJString CJString::ToFileForm() const
{
    bool hex = (IsWide() && !IsNarrowable()) || Find(kFileFormMarker) >= 0;
    if (!hex) {
        CJString narrow(*this);
        narrow.ToNarrow();
        return narrow;
    }
    return ToHexFileForm();
}

CJString CJString::ToHexFileForm() const
{
    int length = GetLength();
    CJString result;
    result.PrepareOverwrite(kFileFormMarkerLength + 4 * length + 1);
    char* out = result.Chars();
    std::memcpy(out, kFileFormMarker, kFileFormMarkerLength);
    out += kFileFormMarkerLength;
    for (int i = 0; i < length; ++i) {
        char16_t unit = Unit(i);
        for (uint32_t byte : {uint32_t(unit & 0xFF), uint32_t(unit >> 8)}) {
            *out++ = kHexDigits[byte >> 4];
            *out++ = kHexDigits[byte & 15];
        }
    }
    *out++ = '>';
    *out = 0;
    return result;
}

// Decoding goes on behind the units just decoded, never inside them, so a
// decoded text that holds the marker stays as it was written. A marker with no
// ">" or with a character that is no hex digit ends decoding there.
bool CJString::FromFileForm()
{
    if (IsWide())
        return true;
    std::vector<char16_t> units;
    bool whole = true;
    for (int from = 0;;) {
        int marker = Find(kFileFormMarker, from);
        if (marker < 0)
            return whole;
        int digits = marker + kFileFormMarkerLength;
        int close = FindChar(u'>', digits);
        if (close < 0)
            return whole;
        for (int i = digits; i < close; ++i)
            if (HexValue(Unit(i)) < 0)
                return whole;
        whole = whole && (close - digits) % 4 == 0;
        int unitCount = (close - digits) / 4;
        units.assign(size_t(unitCount), 0);
        for (int i = 0; i < unitCount; ++i) {
            int at = digits + 4 * i;
            int low = HexValue(Unit(at)) * 16 + HexValue(Unit(at + 1));
            int high = HexValue(Unit(at + 2)) * 16 + HexValue(Unit(at + 3));
            units[size_t(i)] = char16_t(low | high << 8);
        }
        ToWide();
        Splice(marker, close + 1 - marker, Text{units.data(), unitCount, true});
        from = marker + unitCount;
    }
}

// ---------------------------------------------------------------------------
// Buffer access

char* CJString::GetBuffer(int count)
{
    MakeUnique(std::max(count, int(CapacityOf(m_Block))));
    return Chars();
}

char* CJString::GetBufferDiscard(int count)
{
    if (count == 0 && CapacityOf(m_Block) == 0)
        return Chars();
    PrepareOverwrite(std::max(count, int(CapacityOf(m_Block))));
    return Chars();
}

void CJString::ReleaseBuffer(int length)
{
    if (length < 0 || m_Block == EmptyBlock())
        return;
    Terminate(std::min(length, int(CapacityOf(m_Block))));
}

void CJString::Reserve(int count)
{
    if (CapacityOf(m_Block) < uint32_t(std::max(count, 0)))
        MakeUnique(count);
}

// ---------------------------------------------------------------------------
// Paths

void CJString::AppendPath(const char* component)
{
    AppendPath(CJString(component));
}

void CJString::AppendPath(const CJString& component)
{
    // A copy: the component may be this string, which the joint changes.
    CJString keep(component);
    int length = GetLength();
    if (length > 0 && Unit(length - 1) != '/')
        AppendChar('/');
    Append(keep);
}

void CJString::SetPath(const CJString& folder, const CJString& name)
{
    SetPath(folder, name, CJString());
}

void CJString::SetPath(const CJString& folder, const CJString& name, const CJString& extension)
{
    // Copies keep the parts alive while this string's block is overwritten.
    CJString parts[3] = {folder, name, extension};
    Text views[3] = {parts[0].View(), parts[1].View(), parts[2].View()};
    bool separator = views[0].length > 0 && views[0].At(views[0].length - 1) != '/';
    bool wide = views[0].wide || views[1].wide || views[2].wide;
    int total = views[0].length + int(separator) + views[1].length + views[2].length;
    if (wide != IsWide())
        Adopt(AllocateBlock(total, wide));
    else
        PrepareOverwrite(total);
    int at = 0;
    WriteText(at, views[0]);
    at += views[0].length;
    if (separator)
        Put(at++, u'/');
    WriteText(at, views[1]);
    at += views[1].length;
    WriteText(at, views[2]);
    Terminate(total);
}

void CJString::SplitPath(const CJString& path, CJString* folder, CJString* name)
{
    CJString whole(path);
    int cut = -1;
    for (int i = whole.GetLength() - 1; i >= 0 && cut < 0; --i)
        if (whole.Unit(i) == '/' || whole.Unit(i) == '\\')
            cut = i;
    CJString before = cut < 0 ? CJString() : whole.Left(cut);
    CJString after = cut < 0 ? whole : whole.Mid(cut + 1);
    if (folder)
        *folder = before;
    if (name)
        *name = after;
}

void CJString::SetItemFilePath(const CJString& base, const CJString& itemPath, const CJString& file,
                               const CJString& extension)
{
    CJString folder;
    CJString name;
    SplitPath(itemPath, &folder, &name);
    CJString result(base);
    if (folder.IsNotEmpty())
        result.AppendPath(folder);
    CJString dashed("-");
    dashed.Append(name);
    result.AppendPath(dashed);
    result.AppendPath(file);
    result.Append(extension);
    *this = result;
}

// ---------------------------------------------------------------------------
// Numbers

namespace {

// Prints into a stack buffer, or a heap one sized by the first pass; the
// result is measured exactly, never estimated. Returns the length, or -1.
class CFormatted {
public:
    CFormatted(const char* format, va_list args)
    {
        va_list first;
        va_copy(first, args);
        m_Length = std::vsnprintf(m_Stack, sizeof m_Stack, format, first);
        va_end(first);
        if (m_Length >= int(sizeof m_Stack)) {
            m_Heap.reset(new char[size_t(m_Length) + 1]);
            va_list second;
            va_copy(second, args);
            std::vsnprintf(m_Heap.get(), size_t(m_Length) + 1, format, second);
            va_end(second);
        }
    }
    int GetLength() const { return m_Length; }
    const char* GetText() const { return m_Heap ? m_Heap.get() : m_Stack; }

private:
    char m_Stack[256];
    std::unique_ptr<char[]> m_Heap;
    int m_Length;
};

} // namespace

void CJString::FormatV(const char* format, va_list args)
{
    if (!format || !*format) {
        Clear();
        return;
    }
    CFormatted text(format, args);
    if (text.GetLength() <= 0)
        Clear();
    else
        SetFrom(Text{text.GetText(), text.GetLength(), false});
}

void CJString::AppendFormatV(const char* format, va_list args)
{
    if (!format || !*format)
        return;
    CFormatted text(format, args);
    if (text.GetLength() > 0)
        Splice(INT_MAX, 0, Text{text.GetText(), text.GetLength(), false});
}

void CJString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CJString::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

// As the C library's integer-to-text: signed in radix 10, the bits as
// unsigned in any other radix, lower-case digits.
void CJString::SetInt(int32_t value, int radix)
{
    if (radix < 2 || radix > 36)
        radix = 10;
    char digits[40];
    int length = 0;
    uint32_t magnitude = radix == 10 && value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    do {
        uint32_t digit = magnitude % uint32_t(radix);
        digits[length++] = char(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= uint32_t(radix);
    } while (magnitude);
    if (radix == 10 && value < 0)
        digits[length++] = '-';
    std::reverse(digits, digits + length);
    if (IsWide())
        Empty();
    PrepareOverwrite(std::max(11, length));
    WriteText(0, Text{digits, length, false});
    Terminate(length);
}

void CJString::FormatThousands(int32_t value)
{
    Format("%d", value);
    const CJString& separator = GetLocalizedSymbol(LocalizedSymbol::ThousandsSeparator);
    int firstDigit = value < 0 ? 1 : 0;
    for (int at = GetLength() - 3; at > firstDigit; at -= 3)
        ReplaceRange(at, 0, separator);
}

bool CJString::FillIntToken(int32_t value, int zeroPad, int width)
{
    UnescapePercent();
    CJString number;
    if (zeroPad == 0 && width == 0) {
        number.Format("%d", value);
    } else {
        CJString format("%");
        if (zeroPad == 1)
            format.AppendChar('0');
        if (width != 0)
            format.AppendFormat("%d", width);
        format.AppendChar('d');
        number.Format(format.GetString(), value);
    }
    for (const char* token : {"%d", "%u", "%i"})
        if (ReplaceFirst(token, number))
            return true;
    return false;
}

void CJString::AppendInt(int32_t value, int zeroPad, int width)
{
    Append("%d");
    FillIntToken(value, zeroPad, width);
}

bool CJString::FillFloatToken(double value, int zeroPad, int width, int precision)
{
    UnescapePercent();
    CJString number;
    if (zeroPad == 0 && width == 0 && precision == 0) {
        number.Format("%g", value);
    } else {
        CJString format("%");
        if (zeroPad == 1)
            format.AppendChar('0');
        if (width >= 0) {
            format.AppendFormat("%d", width);
            if (precision != 0)
                format.AppendFormat(".%d", precision);
            else
                format.AppendChar('.');
            format.AppendChar('f');
        } else {
            if (precision != 0)
                format.AppendFormat(".%d", precision);
            format.AppendChar('g');
        }
        number.Format(format.GetString(), value);
    }
    for (const char* token : {"%f", "%g"})
        if (ReplaceFirst(token, number))
            return true;
    return false;
}

void CJString::AppendFloat(double value, int zeroPad, int width, int precision)
{
    Append("%f");
    FillFloatToken(value, zeroPad, width, precision);
}

void CJString::FormatMinutesSeconds(float seconds)
{
    const int32_t minutes = TruncateToInt32(seconds / 60);
    Set("%d%s%d");
    FillIntToken(minutes);
    UnescapePercent();
    ReplaceFirst("%s", GetLocalizedSymbol(LocalizedSymbol::MinutesSecondsSeparator));
    FillIntToken(TruncateToInt32(seconds - 60.0f * float(minutes)), 1, 2);
}

void CJString::UnescapePercent()
{
    ReplaceFirst("%%", "%");
}

// ---------------------------------------------------------------------------
// String arrays

CJString* NewJStringArray(int count)
{
    return new CJString[size_t(std::max(count, 0))];
}

void DeleteJStringArray(CJString* block)
{
    delete[] block;
}

CJStringPair* NewJStringPairArray(int count)
{
    return new CJStringPair[size_t(std::max(count, 0))];
}

void DeleteJStringPairArray(CJStringPair* block)
{
    delete[] block;
}

void MoveJStrings(CJString* dst, const CJString* src, int count)
{
    if (std::greater_equal<const CJString*>()(dst, src)) {
        for (int i = count - 1; i >= 0; --i)
            dst[i] = src[i];
    } else {
        for (int i = 0; i < count; ++i)
            dst[i] = src[i];
    }
}

void CJStringArray::Reserve(int count)
{
    if (count <= m_Capacity)
        return;
    CJString* data = NewJStringArray(count);
    for (int i = 0; i < m_Count; ++i)
        data[i] = std::move(m_Data[i]);
    DeleteJStringArray(m_Data);
    m_Data = data;
    m_Capacity = count;
}

void CJStringArray::Add(const CJString& text)
{
    CJString copy(text);
    if (m_Count == m_Capacity)
        Reserve(std::max(m_Count + 1, 2 * m_Capacity));
    m_Data[m_Count++] = std::move(copy);
}
