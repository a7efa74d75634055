#pragma once
// The engine's one string type. A string is a single pointer to a shared,
// reference-counted block holding either 8-bit (Windows-1252) characters or
// UTF-16 units. Copies share the block; every writer first makes the block
// private, so a block whose count is 2 or more is never changed. A string
// starts 8-bit and turns UTF-16 by itself when a code above 255 or UTF-16 text
// is put into it. In operations that mix widths an 8-bit character stands for
// the code 0-255 it holds.
//
// Growth is exact: a writer that needs room asks for exactly the new length,
// so a freshly grown block has no free room. The length is not stored; it is
// counted up to the terminator. Strings are single-threaded: counts are plain
// integers.

#include <cstdarg>
#include <cstdint>

enum class FindDirection { Forward, Backward };

// The most characters a string holds. Asking for more throws
// std::length_error, so readers of outside text refuse longer texts first.
inline constexpr int kMaxStringLength = 0x3FFFFFF0;

class CJString {
public:
    CJString() noexcept;
    CJString(const CJString& other) noexcept
        : m_Block(other.m_Block)
    {
        ++m_Block->refCount;
    }
    CJString(CJString&& other) noexcept;
    CJString(const char* text);
    // Copies at most count characters (stopping at a zero) into room for count.
    CJString(const char* text, int count);
    CJString(const char16_t* text);
    CJString(const char16_t* text, int count);
    // The code repeated count times; UTF-16 when the code is above 255.
    CJString(char16_t code, int count);
    ~CJString();

    CJString& operator=(const CJString& other) noexcept;
    CJString& operator=(CJString&& other) noexcept;
    CJString& operator=(const char* text);
    CJString& operator=(const char16_t* text);
    void Set(const CJString& other) { *this = other; }
    // Null empties the string; a UTF-16 string becomes 8-bit.
    void Set(const char* text);
    void Set(const char16_t* text);
    void Set(const char16_t* text, int count);
    // Exactly count 8-bit characters; a private 8-bit block with room is reused.
    void SetText(const char* text, int count);
    // Releases the block for the shared empty block.
    void Empty();
    // As Empty, but a string already on the empty block (or destroyed) is left alone.
    void ResetToEmpty();
    // Keeps a private block (cut to length 0); a shared one is released.
    void Clear();

    // Inspection.
    bool IsWide() const { return m_Block->wide != 0; }
    // The characters: 8-bit, or the UTF-16 units' bytes when IsWide.
    const char* GetString() const { return Chars(); }
    const char16_t* GetWideString() const { return Units(); }
    int GetLength() const;
    int GetByteLength() const { return IsWide() ? GetLength() * 2 : GetLength(); }
    int GetByteLengthWithTerminator() const { return GetByteLength() + (IsWide() ? 2 : 1); }
    int GetCapacity() const { return int(CapacityOf(m_Block)); }
    int GetFreeRoom() const { return GetCapacity() - GetLength(); }
    bool IsEmpty() const { return IsWide() ? Units()[0] == 0 : Chars()[0] == 0; }
    bool IsNotEmpty() const { return !IsEmpty(); }
    // The code at i; no bound check beyond the block's room (0 outside it).
    char16_t GetAt(int i) const;
    uint32_t GetCharAt(int i) const { return GetAt(i); }
    // The code at i; 0 at or past the length.
    char16_t GetAtChecked(int i) const;
    // 8-bit characters sign-extended.
    int16_t GetSignedAt(int i) const;
    // Decimal as the C library reads it, saturating at the 32-bit limits.
    int32_t ToInt() const;
    float ToFloat() const;
    // Trim set: tab, space, carriage return, line feed. Empty counts as all white space.
    bool IsAllWhitespace() const;
    bool HasNonWhitespace() const { return !IsAllWhitespace(); }
    int CountLeadingWhitespace() const;
    int CountChar(char16_t code, int start = 0) const;
    // Line feeds at or after start, plus one.
    int CountLines(int start = 0) const;
    bool IsNarrowable() const;

    // Searching; -1 when nothing is found or start is at or past the length.
    int FindChar(char16_t code, int start = 0, FindDirection direction = FindDirection::Forward) const;
    int Find(const CJString& sub, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int FindNoCase(const CJString& sub, int start = 0) const;
    int FindNoCase(const char* sub, int start = 0) const;

    // Comparing; only the sign is defined. Null C strings count as empty.
    int Compare(const CJString& other) const;
    int Compare(const char* other) const;
    int CompareN(const CJString& other, int count) const;
    int CompareN(const char* other, int count) const;
    // Two 8-bit texts fold ASCII to lower case; with UTF-16 on either side a-z
    // fold to A-Z, so "_" sorts on different sides of the letters.
    int CompareNoCase(const CJString& other) const;
    int CompareNoCase(const char* other) const;
    // Folds a-z to A-Z in every width.
    int CompareNoCaseN(const CJString& other, int count) const;
    int CompareNoCaseN(const char* other, int count) const;

    // Substrings; a result equal to the whole string shares its block.
    CJString Left(int count) const;
    CJString Mid(int from) const;
    CJString Mid(int from, int count) const;
    CJString Right(int count) const;
    // Splits at the first code; without one left is the whole and right empty.
    void SplitAt(char16_t code, CJString& left, CJString& right) const;

    // Editing.
    void ReplaceRange(int index, int count, const CJString& text);
    void Delete(int index, int count);
    void InsertChar(int index, char16_t code);
    // A code above 255 turns the string UTF-16 first.
    void SetAt(int index, char16_t code);
    void Append(const char* text);
    void Append(const CJString& text);
    CJString& operator+=(const char* text)
    {
        Append(text);
        return *this;
    }
    CJString& operator+=(const CJString& text)
    {
        Append(text);
        return *this;
    }
    void AppendText(const char* text, int count);
    void AppendLeft(const CJString& text, int count);
    void SetLeft(const CJString& text, int count);
    void AppendChar(char c);
    void AppendRepeated(char16_t code, int count);
    // The separator only when both this string and the item are non-empty.
    void AppendWithSeparator(const char* separator, const char* item);
    void AppendWithSeparator(const char* separator, const CJString& item);
    bool ReplaceFirst(const CJString& search, const CJString& replacement, int start = 0);
    // Every occurrence from start; the next search starts behind the inserted
    // replacement. Returns the number replaced (an empty search replaces none).
    int Replace(const CJString& search, const CJString& replacement, int start = 0);
    int ReplaceNoCase(const CJString& search, const CJString& replacement, int start = 0);
    void ReplaceChar(char from, char to);
    void MakeLower();
    void TrimLeft();
    void TrimRight();
    void RemoveWhitespace();
    // Turns the string 8-bit, then keeps only characters found in set.
    void KeepOnly(const char* set);
    // Ignoring ASCII case; return whether they removed anything.
    bool RemovePrefix(const CJString& prefix);
    bool RemoveSuffix(const CJString& suffix);
    void ToWide();
    // Units of 256 or above become "*".
    void ToNarrow();
    // The 8-bit form for text files: unchanged when 8-bit, else "UNICODE-HEX<"
    // and the little-endian bytes in upper-case hex, then ">".
    CJString ToFileForm() const;
    // The "UNICODE-HEX<" form whatever the text holds: every unit, line ends
    // and blanks included, reads back as it was.
    CJString ToHexFileForm() const;
    // Decodes every "UNICODE-HEX<...>" form of an 8-bit string in place;
    // false when a form's digits end inside a character, which is dropped.
    bool FromFileForm();

    // Buffer access. Pointers are to the characters (UTF-16 bytes when wide).
    char* GetBuffer(int count);
    char* GetBufferDiscard(int count);
    // Terminator at length, or left at the counted length for -1.
    void ReleaseBuffer(int length = -1);
    void Reserve(int count);
    // Copy-on-write: private block with room for count characters, text kept.
    void MakeUnique(int count);
    // As MakeUnique, but a new block does not keep the text.
    void PrepareOverwrite(int count);

    // Paths: joints are "/"; splitting accepts "/" and "\".
    void AppendPath(const char* component);
    void AppendPath(const CJString& component);
    void SetPath(const CJString& folder, const CJString& name);
    void SetPath(const CJString& folder, const CJString& name, const CJString& extension);
    // Either output may be null.
    static void SplitPath(const CJString& path, CJString* folder, CJString* name);
    // base/folder-of-item/-name-of-item/file[extension]
    void SetItemFilePath(const CJString& base, const CJString& itemPath, const CJString& file,
                         const CJString& extension = CJString());

    // Numbers.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void AppendFormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void SetInt(int32_t value, int radix = 10);
    void FormatThousands(int32_t value);
    bool FillIntToken(int32_t value, int zeroPad = 0, int width = 0);
    void AppendInt(int32_t value, int zeroPad = 0, int width = 0);
    bool FillFloatToken(double value, int zeroPad = 0, int width = 0, int precision = 0);
    void AppendFloat(double value, int zeroPad = 0, int width = 0, int precision = 0);
    void FormatMinutesSeconds(float seconds);
    // The first "%%" becomes "%".
    void UnescapePercent();

    // Block layout, padded so that UTF-16 units are 2-byte aligned.
    struct Block {
        uint32_t refCount;
        // 8-bit: characters that fit; UTF-16: twice the units that fit, plus one.
        uint32_t capacity;
        uint8_t wide;
        uint8_t padding[3];
    };
    static_assert(sizeof(Block) == 12);
    // Bytes a block of this capacity field takes from the pool.
    static uint32_t BlockSize(uint32_t capacityField) { return uint32_t(sizeof(Block)) + capacityField + 1; }
    // Exposed for tests of sharing.
    const Block* GetBlock() const { return m_Block; }

private:
    // A run of characters of either width; the internal currency of editing.
    struct Text {
        const void* data;
        int length;
        bool wide;
        char16_t At(int i) const
        {
            return wide ? static_cast<const char16_t*>(data)[i] : char16_t(static_cast<const uint8_t*>(data)[i]);
        }
    };

    static uint32_t CapacityOf(const Block* block) { return block->wide ? block->capacity >> 1 : block->capacity; }
    static Block* AllocateBlock(int count, bool wide);
    static void Release(Block* block);
    char* Chars() const { return reinterpret_cast<char*>(m_Block + 1); }
    char16_t* Units() const { return reinterpret_cast<char16_t*>(m_Block + 1); }
    Text View() const { return Text{m_Block + 1, GetLength(), IsWide()}; }
    static Text ViewOf(const char* text);
    void Adopt(Block* block);
    void SetFrom(Text text);
    void Splice(int index, int removeCount, Text insert);
    char16_t Unit(int i) const { return IsWide() ? Units()[i] : char16_t(uint8_t(Chars()[i])); }
    void Put(int index, char16_t code);
    // Copies text to index; the block must be wide when the text is.
    void WriteText(int index, Text text);
    void Terminate(int length);
    bool OwnsPointer(const void* pointer) const;
    CJString Sub(int from, int count) const;
    int FindText(Text sub, int start, bool noCase) const;
    int ReplaceAll(const CJString& search, const CJString& replacement, int start, bool noCase, bool firstOnly);

    Block* m_Block;
};

// Two strings: the element of string-pair arrays.
struct CJStringPair {
    CJString m_First;
    CJString m_Second;
};

// Counted heap blocks of strings, each element constructed empty and released
// last first. Deleting a null block does nothing.
CJString* NewJStringArray(int count);
void DeleteJStringArray(CJString* block);
CJStringPair* NewJStringPairArray(int count);
void DeleteJStringPairArray(CJStringPair* block);

// Assigns count strings; walks from the end when dst lies at or after src so
// that overlapping runs move correctly.
void MoveJStrings(CJString* dst, const CJString* src, int count);

// A growable array of strings.
class CJStringArray {
public:
    CJStringArray() = default;
    CJStringArray(const CJStringArray&) = delete;
    CJStringArray& operator=(const CJStringArray&) = delete;
    ~CJStringArray() { DeleteJStringArray(m_Data); }

    // Raises the capacity to exactly count when it is below.
    void Reserve(int count);
    // Grows to the larger of count + 1 and twice the capacity when full.
    void Add(const CJString& text);
    void RemoveAll()
    {
        m_Count = 0;
        DeleteJStringArray(m_Data);
        m_Data = nullptr;
        m_Capacity = 0;
    }
    int GetCount() const { return m_Count; }
    int GetCapacity() const { return m_Capacity; }
    CJString& operator[](int i) { return m_Data[i]; }
    const CJString& operator[](int i) const { return m_Data[i]; }
    CJString* GetData() { return m_Data; }

private:
    CJString* m_Data = nullptr;
    int m_Count = 0;
    int m_Capacity = 0;
};
