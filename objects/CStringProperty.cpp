#include "objects/CStringProperty.h"

#include "foundation/CLocalizationTable.h"
#include "foundation/CurrentLoadFile.h"
#include "objects/CClassInfo.h"
#include "objects/CNetMessageStream.h"
#include "objects/CObjectStream.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

void CTranslatedText::Refresh()
{
    m_Translation = m_Text;
    GetLocalizationTable().TranslateAndCheck(m_Translation);
}

namespace {

CJString& TextOf(CJString& value)
{
    return value;
}
CJString& TextOf(CTranslatedText& value)
{
    return value.m_Text;
}
void RefreshTranslation(CJString&) {}
void RefreshTranslation(CTranslatedText& value)
{
    value.Refresh();
}

constexpr const char* kHexMarker = "UNICODE-HEX<";

bool NeedsBlock(const CJString& text)
{
    // A one-line text that reads as the block opener goes into a block too,
    // or reading it back would swallow the lines that follow.
    return text.FindChar(10) >= 0 || text.CompareNoCase(kMultiLineValue) == 0;
}

bool IsClosingLine(const CJString& line)
{
    CJString trimmed(line);
    trimmed.TrimLeft();
    trimmed.TrimRight();
    return trimmed.Compare("}") == 0;
}

// A carriage return ends a line for the reader, a line that is just "}"
// ends the block, and the hex form's marker is decoded: such a text is
// written in the hex form, which reads back whole.
bool ReadsBackPlain(const CJString& text)
{
    if (text.FindChar(13) >= 0 || text.Find(kHexMarker) >= 0)
        return false;
    if (!NeedsBlock(text))
        return true;
    for (int from = 0; from <= text.GetLength();) {
        int end = text.FindChar(10, from);
        if (end < 0)
            end = text.GetLength();
        if (IsClosingLine(text.Mid(from, end - from)))
            return false;
        from = end + 1;
    }
    return true;
}

// The lines after the "{" line up to the closing one, joined by line feeds.
CJString ReadBlock(CObjectStream& stream)
{
    CJString text;
    CJString line;
    if (!stream.ReadLine(line))
        return text;
    bool first = true;
    bool cut = false;
    while (stream.ReadLine(line) && !IsClosingLine(line)) {
        // A block larger than any string is damaged data: kept up to what a
        // string holds and said, never thrown out of the reader.
        cut |= text.GetLength() + 1 + line.GetLength() > kMaxStringLength;
        if (cut)
            continue;
        if (!first)
            text.AppendChar('\n');
        text.Append(line);
        first = false;
    }
#if !defined(OMBRISALT_FUZZING)
    if (cut)
        std::fprintf(stderr, "%s: a text longer than any string may be; cut at %d characters\n",
                     GetCurrentLoadFileName().GetString(), text.GetLength());
#endif
    return text;
}

} // namespace

template <typename T>
void CJStringPropertyOf<T>::StoreText(CObject* object, const CJString& text) const
{
    T& value = Base::Value(object);
    TextOf(value) = text;
    RefreshTranslation(value);
}

template <typename T>
void CJStringPropertyOf<T>::CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const
{
    Base::CopyValue(destination, source, sourceProperty);
    RefreshTranslation(Base::Value(destination));
}

template <typename T>
void CJStringPropertyOf<T>::SetToDefault(CObject* object) const
{
    Base::SetToDefault(object);
    RefreshTranslation(Base::Value(object));
}

template <typename T>
bool CJStringPropertyOf<T>::ShouldWrite(CObject* object) const
{
    return CProperty::GetWriteWhenEmpty() || TextOf(Base::Value(object)).IsNotEmpty();
}

template <typename T>
void CJStringPropertyOf<T>::GetValueText(CObject* object, CJString& out) const
{
    out = TextOf(Base::Value(object));
}

template <typename T>
void CJStringPropertyOf<T>::SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const
{
    const bool block = stream && text.CompareNoCase(kMultiLineValue) == 0;
    // A block's text is told by the line that opens it.
    const int64_t line = block ? stream->GetPosition() : -1;
    CJString value = block ? ReadBlock(*stream) : text;
    if (!value.IsWide() && value.Find(kHexMarker) >= 0) {
        // Digits that end inside a character would be written back shorter.
        if (!value.FromFileForm() && stream)
            stream->NoteSkippedLine(line);
        // The writer narrows what it can before it writes: so does the reader.
        if (value.IsNarrowable())
            value.ToNarrow();
    }
    StoreText(object, value);
}

template <typename T>
void CJStringPropertyOf<T>::WriteValueLine(CObject* object, CObjectStream& stream) const
{
    const CJString& text = TextOf(Base::Value(object));
    if (!ReadsBackPlain(text)) {
        stream.WriteJStringLine(text.ToHexFileForm());
        return;
    }
    if (!NeedsBlock(text)) {
        stream.WriteJStringLine(text);
        return;
    }
    stream.WriteLine(kMultiLineValue);
    // Indentation follows each line end, so "{" ends without it and the
    // text starts at the left margin.
    const bool indenting = stream.GetIndenting();
    stream.SetIndenting(false);
    stream.WriteLine("{");
    stream.SetIndenting(indenting);
    stream.WriteJStringLine(text);
    stream.WriteLine("}");
}

template <typename T>
void CJStringPropertyOf<T>::WriteBinary(CObject* object, CObjectStream& stream) const
{
    const CJString& text = TextOf(Base::Value(object));
    // A text holding the marker goes in the hex form too, or it would be
    // read back decoded.
    stream.WriteCountedString(text.ToFileForm().GetString());
}

template <typename T>
bool CJStringPropertyOf<T>::ReadBinary(CObject* object, CObjectStream& stream) const
{
    CJString value;
    if (!stream.ReadCountedText(value))
        return false;
    if (value.Find(kHexMarker) >= 0) {
        value.FromFileForm();
        if (value.IsNarrowable())
            value.ToNarrow();
    }
    StoreText(object, value);
    return true;
}

template <typename T>
void CJStringPropertyOf<T>::WritePacked(CObject* object, CNetMessageStream& stream, CObject*) const
{
    stream.WriteText(TextOf(Base::Value(object)));
}

template <typename T>
void CJStringPropertyOf<T>::ReadPacked(CObject* object, CNetMessageStream& stream) const
{
    CJString value;
    if (stream.ReadText(value))
        StoreText(object, value);
}

template class CJStringPropertyOf<CJString>;
template class CJStringPropertyOf<CTranslatedText>;
