#pragma once
// Text and whole objects between the program and the system clipboard.
//
// Formats, by name:
//   "Text"          Windows-1252 text and its terminating zero
//   "UnicodeText"   UTF-16 (little-endian) text and its 2-byte zero
//   "CObject 2.0"   one object in the engine's object form (as WriteObjectToMemory writes it)
//   "Dirty CObject" the same, copied while the level editor edits the level
//                   being played (the object may refer to the played copy)
//   "CObject"       the earlier object format: read, never written
//
// The system clipboard holds only text (UTF-8). Setting any format empties
// the others: the data is kept here, in the process, and the system
// clipboard gets its text for other programs (an object's text form, or ""
// for formats without one). Kept data counts only while the system clipboard
// still holds the text put there with it, so text copied later by another
// program wins. Text from another program answers "Text", "UnicodeText" and,
// outside the dirty state, "CObject 2.0".
//
// Everything read from the clipboard is untrusted: texts stop at their zero
// or at the end of the data, objects must be of the class asked for, and the
// object reader refuses what it cannot read.

#include "foundation/CJString.h"
#include "objects/CObject.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kClipboardText = "Text";
inline constexpr const char* kClipboardUnicodeText = "UnicodeText";
inline constexpr const char* kClipboardObject = "CObject 2.0";
inline constexpr const char* kClipboardDirtyObject = "Dirty CObject";
inline constexpr const char* kClipboardOldObject = "CObject";

// The most object data the clipboard reads; CopyObject refuses more, and
// says so.
inline constexpr size_t kMaxClipboardObjectBytes = size_t(64) << 20;

// Text taking part where an object is expected.
class CStringWrappedInAnObject : public CObject {
    OMBRISALT_REFLECTED(CStringWrappedInAnObject, CObject)
public:
    CStringWrappedInAnObject();
    ~CStringWrappedInAnObject() override;
    // The string itself.
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CJString m_String;
};

void RegisterClipboardClasses();

// Replaces the clipboard with one format's data; false (clipboard unchanged)
// when the system refused.
bool SetClipboardData(const char* format, const void* data, size_t size);
// The data of the format; false when the clipboard holds none.
bool GetClipboardData(const char* format, std::vector<uint8_t>& out);

class CClipboard {
public:
    static CClipboard& SGetInstance();

    // The format's data, kept until the next read; null when there is none.
    const uint8_t* GetData(const char* format, size_t& size);
    // 8-bit strings go as "Text", 16-bit ones as "UnicodeText".
    bool SetText(const CJString& text);
    // "UnicodeText" first (narrowed to 8 bits when every character has a
    // Windows-1252 form), else "Text"; false when there is neither.
    bool GetText(CJString& out);

    // False when the object's form is past kMaxClipboardObjectBytes: the
    // designer is told and the clipboard keeps what it held.
    bool CopyObject(CObject* object);
    // The clipboard's object; without one, its text wrapped in a
    // CStringWrappedInAnObject when text is allowed. Null otherwise.
    enum class AllowText : uint8_t { No, Yes };
    CObject* PasteObject(AllowText allowText);
    // Copies the clipboard's object into target; false when there is none or
    // it is not of target's class.
    bool PasteInto(CObject* target);

    // Whether the level editor edits the level being played.
    void SetEditingPlayedLevel(bool editing) { m_EditingPlayedLevel = editing; }
    bool IsEditingPlayedLevel() const { return m_EditingPlayedLevel; }

private:
    CClipboard() = default;
    CObject* ReadObjectData();

    std::vector<uint8_t> m_LastRead;
    bool m_EditingPlayedLevel = false;
};
