#pragma once
// The file through which objects are written and read, in text or binary
// form, with the reference table both forms share.
//
// Objects are identified in files by 32-bit identities. A stream hands them
// out in write order (1, 2, 3 ...) from its own map of objects; they are never
// derived from addresses. Pointers between objects are written as identities
// and, after a read, patched to the objects made from the same identities.
// The identities a file refers to are stored once at its end:
//     Referenced Objects
//     {
//         2
//         0x00000001
//         0x00000002
//     }
// and located through the "Referenced Object List Location" line that opens
// the first object (a same-width placeholder until the stream is finished).
// Binary streams end with 0x12345678, the count and the identities, located
// through a word after the first object's format version.
#include "foundation/CFile.h"
#include "foundation/CJString.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class CObject;

inline constexpr const char* kObjectIdName = "Object ID";
inline constexpr const char* kReferenceListLocationName = "Referenced Object List Location";
inline constexpr const char* kReferencedObjectsName = "Referenced Objects";
inline constexpr uint32_t kReferenceListPlaceholder = 0x00420042;
inline constexpr uint32_t kBinaryReferenceListPlaceholder = 42;
inline constexpr uint32_t kBinaryReferenceListMarker = 0x12345678;

// Owned objects nest inside their owners' blocks and records; every form is
// read at most this many objects deep and deeper data is refused as damaged.
// Real data nests a few levels; the limit keeps the recursive readers far
// from the end of the stack.
inline constexpr int32_t kMaxObjectNesting = 1000;

// Object text has no line longer than this: the writer refuses one (the
// save fails and the file stays as it was), and the reader takes a longer
// line for damage and reads no further, so no line costs more than this.
// Twice the whole files once read (64 MiB); real text lines are short.
inline constexpr uint32_t kMaxObjectTextLine = 128u << 20;

// Pairs an identity read from a file with the object made for it.
struct CAddressOldNew {
    uint32_t oldIdentity;
    CObject* newObject;
};

// A pointer field to fix once every object of the stream is read. assign
// stores the object in the field, converted to the field's type (null when
// the object is not of that type). owner holds the field: when it dies
// before the patches are resolved, its patches go with it.
struct CPatchItem {
    uint32_t oldIdentity;
    uint32_t extra;
    void* field;
    void (*assign)(void* field, CObject* object);
    bool done;
    const CObject* owner;
};

enum class StreamForm : int32_t { Text = 0, Binary = 1, Unknown = 2 };

// Whether a stream carries object identities and the reference list.
enum class IdMode : uint8_t { WithoutIds, WithIds };

class CObjectStream : public CFile {
public:
    CObjectStream();
    ~CObjectStream() override;
    CObjectStream(const CObjectStream&) = delete;
    CObjectStream& operator=(const CObjectStream&) = delete;

    // An object is being destroyed: no stream may patch a pointer to it or
    // into it afterwards (a read can replace objects it already recorded).
    static void ForgetObject(const CObject* object);

    // Text read in memory is read as far as the readers reach: an object's
    // reader stops at its block's end, so bytes after it cost nothing.
    [[nodiscard]] bool Open(const char* fileName, uint32_t flags, IdMode ids);
    // Takes the buffer (the stream closes and deletes it).
    bool Attach(CFileBuf* buffer, uint32_t flags, IdMode ids);
    // Patches pointers (reading) or writes the referenced list (writing);
    // false when already finished.
    bool Finish();
    bool Close() override;

    bool IsIDMode() const { return !m_IdLess; }
    bool IsReading() const { return (m_OpenFlags & FILE_READ) != 0; }
    void SetBinary()
    {
        m_Text = false;
        SetLineLimit(0);
    }
    bool IsText() const { return m_Text; }
    bool GetSkipDefaults() const { return m_SkipDefaults; }
    void SetSkipDefaults(bool flag) { m_SkipDefaults = flag; }
    bool IsQuiet() const { return m_Quiet; }
    void SetQuiet(bool flag) { m_Quiet = flag; }
    // Data from outside the program (the clipboard): damage that would be a
    // fatal data error in the game's own files is a read error instead.
    bool IsUntrusted() const { return m_Untrusted; }
    void SetUntrusted(bool flag) { m_Untrusted = flag; }
    // A list name the lists no longer hold reads as the property's default
    // (the list's none) and is logged, instead of failing the read: user
    // data outlives the game data it names (a renamed trophy must not cost a
    // player's profile).
    bool ReadsMissingNamesAsNone() const { return m_MissingNamesAsNone; }
    void SetMissingNamesAsNone(bool flag) { m_MissingNamesAsNone = flag; }
    // A "{" where no block belongs is a read error whose place is kept for
    // the caller, who tells the file's author where it is, instead of the
    // reader's own fatal report.
    bool KeepsStrayBlockPlace() const { return m_KeepStrayBlockPlace; }
    void SetKeepStrayBlockPlace(bool flag) { m_KeepStrayBlockPlace = flag; }
    // The position just past the first stray "{" line; -1 for none.
    int64_t GetStrayBlockPlace() const { return m_StrayBlockPlace; }
    void NoteStrayBlock()
    {
        if (m_StrayBlockPlace < 0)
            m_StrayBlockPlace = GetPosition();
    }
    // A line the text reader passed over or took only in part (no "=", a
    // name no property takes, a key given again, a number read up to a
    // typo, text after the object): what was read is not all the file says.
    // The first is kept by a position inside it or just past its line end,
    // by default where the reader stands: past the line it read last.
    bool HasSkippedLine() const { return m_SkippedLine; }
    void NoteSkippedLine(int64_t position = -1);
    // That first line while the stream is open: its number from 1 (CR LF, LF
    // and a lone CR each end one) and its text without its blanks, cut short
    // with "..."; 0 when none was noted. The position is kept.
    uint32_t FindFirstSkippedLine(CJString& text);
    bool GetWriteAll() const { return m_WriteAll; }
    void SetWriteAll(bool flag) { m_WriteAll = flag; }

    // Recoverable read errors: the last one is kept, with the load file name.
    void ReportError(const CJString& message);
    bool HasReadError() const { return m_ErrorFlag; }
    const CJString& GetErrorText() const { return m_ErrorText; }
    const CJString& GetErrorFileName() const { return m_ErrorFileName; }

    // The readers of an object's block or record enter it first and leave it
    // when done. Past kMaxObjectNesting nothing is entered: the error is
    // reported, naming the load file the outermost object came from.
    [[nodiscard]] bool EnterNestedObject();
    void LeaveNestedObject() { --m_Nesting; }

    // Writing: the identity of an object in this stream, given on first
    // request; 0 for null.
    uint32_t GetIdentity(const CObject* object);
    void RecordSavedObject(const CObject* object);
    // Writers of object references note each identity they write.
    void AddReferenced(uint32_t identity);
    // Reading.
    void RecordLoadedObject(uint32_t oldIdentity, CObject* object);
    void AddPatch(const CPatchItem& item);
    template <typename T>
    void AddPatch(const CObject* owner, uint32_t oldIdentity, T** field, uint32_t extra = 0)
    {
        AddPatch(CPatchItem{oldIdentity, extra, field, &AssignPatched<T>, false, owner});
    }
    // A read that fails deletes its objects: what it recorded since the mark
    // (objects loaded, pointers to patch in them) is dropped with them.
    struct ReadMark {
        size_t loaded;
        size_t patches;
    };
    ReadMark MarkRead() const { return ReadMark{m_Loaded.size(), m_Patches.size()}; }
    void RollBackRead(const ReadMark& mark);
    int32_t IndexOfReferenced(uint32_t identity, int32_t hint = -1) const;
    const std::vector<uint32_t>& GetReferenced() const { return m_Referenced; }
    const std::vector<uint32_t>& GetSaved() const { return m_Saved; }
    bool HasReadReferenceList() const { return m_ReferenceListRead; }

    // Used by the object writers and readers.
    bool IsFirstObject() const { return m_ListPosition < 0 && !m_FirstObjectStarted; }
    // Text: writes the placeholder line of the first object and keeps its position.
    void WriteReferenceListPlaceholder();
    // Binary: the same with the placeholder word.
    void WriteBinaryReferenceListPlaceholder();
    // Text: the value of a "Referenced Object List Location" line.
    void ReadReferenceListAt(const CJString& value);
    // Binary: reads the position word and the list it points at.
    bool ReadBinaryReferenceList();

private:
    template <typename T>
    static void AssignPatched(void* field, CObject* object)
    {
        *static_cast<T**>(field) = dynamic_cast<T*>(object);
    }
    void InitTable(uint32_t flags, IdMode ids);
    void ResolvePatches();
    void WriteReferenceList();

    bool m_Finished = true;
    bool m_Text = true;
    bool m_SkipDefaults = false;
    bool m_Quiet = false;
    bool m_Untrusted = false;
    bool m_MissingNamesAsNone = false;
    bool m_KeepStrayBlockPlace = false;
    int64_t m_StrayBlockPlace = -1;
    bool m_SkippedLine = false;
    int64_t m_SkippedLineAt = -1;
    bool m_ErrorFlag = false;
    CJString m_ErrorFileName;
    CJString m_ErrorText;
    bool m_WriteAll = false;
    int32_t m_Nesting = 0;
    CJString m_OutermostLoadName;

    // Reference table.
    bool m_Active = false;
    int64_t m_ListPosition = -1;
    bool m_FirstObjectStarted = false;
    bool m_ReferenceListRead = false;
    StreamForm m_Form = StreamForm::Unknown;
    uint32_t m_OpenFlags = 0;
    bool m_IdLess = true;
    std::vector<CAddressOldNew> m_Loaded;
    std::vector<CPatchItem> m_Patches;
    std::vector<uint32_t> m_Referenced;
    std::vector<uint32_t> m_Saved;
    std::unordered_map<const CObject*, uint32_t> m_Identities;
    uint32_t m_NextIdentity = 1;
};

enum class NumberText { Integer, Decimal };
// Whether the number readers take all of the text: blanks, a sign, digits
// (a decimal also a fraction and an exponent), blanks. A text they take in
// part ("6O" as 6, "five" as 0) is a line read in part, noted on the stream
// when there is one.
bool IsWholeNumberText(const CJString& text, NumberText form);
void NoteNumberReadInPart(const CJString& text, NumberText form, CObjectStream* stream);

// Parses an unsigned number in C notation (0x hexadecimal, leading 0 octal);
// values past 32 bits saturate.
uint32_t ParseCUnsigned(const char* text);
