#pragma once
// The string kinds: plain CJString members and translated texts, a text as
// written in the data and its translation for the current language.
//
// Text form: the raw value on the property's line, UTF-16 values in their
// "UNICODE-HEX<" form. A value holding a line feed spans several lines:
//     Name=multi-line
//     {
//     first line
//     second line
//     }
// The text starts at the left margin whatever the nesting; reading ends at a
// line that is "}" once blanks are trimmed (or at the end of the file).
// Binary: a counted 8-bit string. Packed: the bit stream's text form.
#include "objects/CProperty.h"

#include <cstdint>

// A text from data and its translation; the translation follows every store
// of the text through Refresh.
class CTranslatedText {
public:
    CTranslatedText() = default;
    CTranslatedText(const char* text)
        : m_Text(text)
    {
    }
    CTranslatedText(const CJString& text)
        : m_Text(text)
    {
    }

    const CJString& GetText() const { return m_Text; }
    const CJString& GetTranslation() const { return m_Translation; }
    void SetText(const CJString& text)
    {
        m_Text = text;
        Refresh();
    }
    // The translation becomes the text looked up in the program's
    // localisation table (the text itself when it has no entry).
    void Refresh();

    // Equal when the texts are, case counting.
    friend bool operator==(const CTranslatedText& a, const CTranslatedText& b)
    {
        return a.m_Text.Compare(b.m_Text) == 0;
    }

    CJString m_Text;
    CJString m_Translation;
};

// The operations both string kinds share, over the text of the member.
template <typename T>
class CJStringPropertyOf : public CTypedProperty<T> {
    using Base = CTypedProperty<T>;

public:
    using Base::Base;

    void SetDefaultText(const CJString& text) { Base::SetDefault(T(text)); }
    void SetDefaultText(const char* text) { Base::SetDefault(T(text)); }
    // Lines of the editor field; more than one makes it a multi-line field.
    void SetEditLines(int32_t lines)
    {
        m_EditLines = lines;
        m_MultiLine = lines > 1;
    }
    int32_t GetEditLines() const { return m_EditLines; }
    bool IsMultiLine() const { return m_MultiLine; }

    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    void SetToDefault(CObject* object) const override;
    bool ShouldWrite(CObject* object) const override;
    void GetValueText(CObject* object, CJString& out) const override;
    // The setter is not used: text, binary and packed reads store the member.
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteValueLine(CObject* object, CObjectStream& stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    // False, the member unchanged, when the length runs past the file.
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        Declared& EditLines(int32_t lines)
        {
            return this->Apply([&](auto& p) { p.SetEditLines(lines); });
        }
    };

private:
    // Stores a text read from a file and refreshes the translation.
    void StoreText(CObject* object, const CJString& text) const;

    int32_t m_EditLines = 1;
    bool m_MultiLine = false;
};

extern template class CJStringPropertyOf<CJString>;
extern template class CJStringPropertyOf<CTranslatedText>;

class CJStringProperty : public CJStringPropertyOf<CJString> {
public:
    using CJStringPropertyOf::CJStringPropertyOf;
};

class CJStringPropertyTranslated : public CJStringPropertyOf<CTranslatedText> {
public:
    using CJStringPropertyOf::CJStringPropertyOf;
};

using CStringProperty = CJStringProperty;

template <>
struct PropertyKindFor<CJString> {
    using type = CJStringProperty;
};
template <>
struct PropertyKindFor<CTranslatedText> {
    using type = CJStringPropertyTranslated;
};

// The value that opens a multi-line block.
inline constexpr const char* kMultiLineValue = "multi-line";
