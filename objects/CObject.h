#pragma once
// CObject, the root of every reflected class, and the text form of objects.
//
// Text form (CRLF lines, one tab per nesting level):
//     CClassName
//     {
//         Object ID=0x00000001          (ID mode only)
//         Name=value                    (one line per written property)
//     }
// Files holding several objects separate them with lines beginning
// "----------". Owned objects are written by their property as nested blocks.
//
// A reflected class says OMBRISALT_REFLECTED(CClass, CBase) in its body and
// OMBRISALT_IMPLEMENT_CLASS(CClass, version) (or ..._ABSTRACT_CLASS) in its
// .cpp, and declares its properties one line each (CPropertyDeclarer.h):
//     void CClass::DeclareProperties(CPropertyDeclarer& d)
//     {
//         d.Add(&CClass::m_Count, "Group/Count", 3).Units("pixels");
//     }
// Its constructor calls InitDeclaredProperties() and its destructor
// DestroyDeclaredProperties().
#include "foundation/CFile.h"
#include "foundation/CJString.h"
#include "foundation/CMemoryPool.h"
#include "foundation/UpwardHook.h"
#include "objects/CClassInfo.h"
#include "objects/CObjectStream.h"
#include "objects/CProperty.h"
#include "objects/CPropertyDeclarer.h"

#include <cstdint>

class CNetMessageStream;
class CFileBuf;
class CDynamicValueList;
class CObjectEditor;        // the editor window that shows an object's properties
class CProperty;
class CVirtualArray;
// Which property an edit changed (the top-level property whose row it was),
// and in which object editor.
struct CPropertyEditRecord {
    const CProperty* property = nullptr;
    CObjectEditor* editor = nullptr;
};

// Receives notifications; objects ignore them unless they override.
class CSubscriber {
public:
    virtual void Notify(int32_t, int32_t) {}

protected:
    ~CSubscriber() = default;
};

// Holder of a typed object pointer: Set keeps objects of the required class
// (or derived) and stores null for any other. The target is reached through
// two small functions, so pointers of any reflected type can be held without
// converting pointer-to-pointer types.
class CUntypedCObjectPointer {
public:
    using Store = void (*)(void* target, CObject* object);
    using Load = CObject* (*)(void* target);

    CUntypedCObjectPointer(CObject** target, CClassInfo* requiredClass)
        : CUntypedCObjectPointer(target, requiredClass, &StoreAs<CObject>, &LoadAs<CObject>)
    {
    }
    virtual ~CUntypedCObjectPointer() = default;
    virtual void Set(CObject* object);
    virtual CObject* Get() const { return m_Target ? m_Load(m_Target) : nullptr; }
    virtual CClassInfo* GetRequiredClass() const { return m_RequiredClass; }

protected:
    CUntypedCObjectPointer(void* target, CClassInfo* requiredClass, Store store, Load load)
        : m_Target(target)
        , m_RequiredClass(requiredClass)
        , m_Store(store)
        , m_Load(load)
    {
    }
    template <typename T>
    static void StoreAs(void* target, CObject* object)
    {
        *static_cast<T**>(target) = static_cast<T*>(object);
    }
    template <typename T>
    static CObject* LoadAs(void* target)
    {
        return *static_cast<T**>(target);
    }

private:
    void* m_Target;
    CClassInfo* m_RequiredClass;
    Store m_Store;
    Load m_Load;
};

// CUntypedCObjectPointer bound to T's class.
template <typename T>
class CTypedCObjectPointer : public CUntypedCObjectPointer {
public:
    explicit CTypedCObjectPointer(T** target)
        : CUntypedCObjectPointer(target, T::SGetClassInfo(), &StoreAs<T>, &LoadAs<T>)
    {
    }
};

#define OMBRISALT_REFLECTED(CClass, CBase)                                                                             \
public:                                                                                                                \
    using BaseClass = CBase;                                                                                           \
    static CNormalClassInfo* SGetClassInfo();                                                                          \
    CClassInfo* GetClassInfo() const override;                                                                         \
    static void DeclareProperties(CPropertyDeclarer& d);                                                               \
                                                                                                                       \
private:                                                                                                               \
    static CNormalClassInfo* g_ClassInfo;

// Defines SGetClassInfo (builds and registers on first call) and GetClassInfo.
#define OMBRISALT_IMPLEMENT_CLASS_WITH(CClass, version, flags, createOne, createArray, deleteArray)                    \
    OMBRISALT_IMPLEMENT_CLASS_ON(CClass, CClass::BaseClass::SGetClassInfo(), version, flags, createOne, createArray,   \
                                 deleteArray)
// baseInfo: the class info it registers with as its base.
#define OMBRISALT_IMPLEMENT_CLASS_ON(CClass, baseInfo, version, flags, createOne, createArray, deleteArray)            \
    CNormalClassInfo* CClass::g_ClassInfo = nullptr;                                                                   \
    CNormalClassInfo* CClass::SGetClassInfo()                                                                          \
    {                                                                                                                  \
        if (!g_ClassInfo) {                                                                                            \
            CClassInfo* base = baseInfo;                                                                               \
            if (!g_ClassInfo) {                                                                                        \
                new CNormalClassInfo(&g_ClassInfo, #CClass, float(version), base, uint32_t(sizeof(CClass)),            \
                                     uint8_t(flags), createOne, createArray, deleteArray, &CClass::DeclareProperties); \
                CClassInfoList::SGetInstance().Register(g_ClassInfo);                                                  \
            }                                                                                                          \
        }                                                                                                              \
        return g_ClassInfo;                                                                                            \
    }                                                                                                                  \
    CClassInfo* CClass::GetClassInfo() const                                                                           \
    {                                                                                                                  \
        return SGetClassInfo();                                                                                        \
    }

#define OMBRISALT_IMPLEMENT_CLASS(CClass, version)                                                                     \
    OMBRISALT_IMPLEMENT_CLASS_WITH(CClass, version, 0, &CreateOneObject<CClass>, &CreateObjectArray<CClass>,           \
                                   &DeleteObjectArray<CClass>)
#define OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CClass, version)                                                            \
    OMBRISALT_IMPLEMENT_CLASS_WITH(CClass, version, 1, nullptr, nullptr, nullptr)
// A CObject class that registers with no base (CClassInfo::kRegisteredWithoutBase).
#define OMBRISALT_IMPLEMENT_CLASS_WITHOUT_BASE(CClass, version)                                                        \
    OMBRISALT_IMPLEMENT_CLASS_ON(CClass, CClassInfo::kRegisteredWithoutBase, version, 0, &CreateOneObject<CClass>,     \
                                 &CreateObjectArray<CClass>, &DeleteObjectArray<CClass>)

class CObject : public CSubscriber, public CPooledClassBase {
public:
    static CNormalClassInfo* SGetClassInfo();
    static void DeclareProperties(CPropertyDeclarer& d);

    CObject();
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject();

    virtual CClassInfo* GetClassInfo() const;
    // Editor hooks; the object editor calls them.
    virtual void AddCustomEditors(CObjectEditor*) {}
    virtual void OnPropertyEdited(const CPropertyEditRecord&) {}
    virtual void AddEditorButtons(CObjectEditor*) {}
    virtual void OnEditorClosed() {}
    // Whether an owned object's rows are shown inside its owner's (null: asked outside an editor).
    virtual bool WantsInlineEditing(CObjectEditor*) { return false; }
    virtual void PreloadReferencedItems();
    // Enter, each property's search with this object as owner, Leave.
    virtual void SearchPropertyTree(CPropertyTreeCallback& callback);
    virtual uint32_t GetSaveFlags() { return 0; }
    // Called after the declared properties are written.
    virtual void WriteCustomProperties(CObjectStream&) {}
    virtual bool UsesIndenting() { return true; }
    // ID mode: files saved from the object carry identities and the
    // reference list.
    virtual bool UsesObjectIDs() { return false; }
    virtual bool SkipsDefaultValues() { return false; }
    // A line whose name no property took; the base skips a following block.
    virtual void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream);
    virtual void WriteCustomTagged(CObjectStream&) {}
    virtual void WriteExtraBinary(CObjectStream&) {}
    virtual bool ReadExtraBinary(CObjectStream&) { return true; }
    // Packed form: one bit per property (1: equal to the reference object's),
    // then the property's packed value when it differs.
    virtual void WritePacked(CNetMessageStream& stream, CObject* reference);
    virtual void ReadPacked(CNetMessageStream& stream);
    virtual void OnBeforeLoad() {}
    virtual void OnLoaded(CUntypedCObjectPointer*) {}
    virtual void OnBeforeSave() {}
    virtual void ResetToDefaults();
    // Copies by position up to the nearest common class; the rest default.
    virtual void CopyFrom(CObject* other);
    virtual uint32_t GetMemorySize() { return GetClassInfo()->GetObjectSize(); }
    // Class display name, then the value texts of the first two shown properties.
    virtual void GetDescription(CJString& out, const char* wordToRemove = nullptr);

    bool IsKindOf(const CClassInfo* info) const { return GetClassInfo()->IsDerivedFrom(info); }
    CObject* Clone();
    bool IsEqualTo(CObject* other);
    bool AreAllPropertiesDefault();
    void SetPropertyFromText(const CProperty* property, const CJString& value, CObjectStream* stream);

    // Values held for dynamic properties (attached to the class at run time),
    // each in storage of its own; the property's operations take the storage
    // through SlotOwner.
    void* GetDynamicValue(const CProperty* property) const;
    bool HasDynamicValue(const CProperty* property) const { return GetDynamicValue(property) != nullptr; }
    // A new value starts at the property's initial value.
    void* GetOrAddDynamicValue(const CProperty* property);
    // Null when the property already has a value.
    void* AddDynamicValue(const CProperty* property);
    void* AddDynamicValueAtDefault(const CProperty* property);
    bool RemoveDynamicValue(const CProperty* property);
    void DeleteDynamicPropertyValues();
    const CDynamicValueList* GetDynamicValueList() const { return m_DynamicValues; }

    // list gained an item at index: every live object's list references
    // (arrays and dynamic values included) and every array that keeps one
    // element per item of list go on naming the items they named.
    static void SKeepListReferencesAcrossInsert(CVirtualArray& list, int32_t index);

    // Text form.
    bool ReadFromStream(CObjectStream& stream);
    // ID-less read of a whole file; the object is reset when it can not be
    // opened. With kSaveCompressed the file holds the binary form in a
    // compressed block (a plain file is read as it is). That read is quiet:
    // damage, unknown classes and extra bytes fail it and list names the
    // lists no longer hold read as the property's default; it never ends the program. A failed
    // read leaves the object partly read: read into a spare object. error,
    // when given, receives why a read failed.
    bool ReadFromFile(const char* fileName, uint32_t flags, CJString* error = nullptr);
    // Writes to a replacement file renamed over the target; an unchanged
    // ID-less text file is left untouched. With kSaveCompressed the binary
    // form is written in a compressed block. flags are file flags plus the
    // save flags below and the class's GetSaveFlags.
    bool SaveToFile(const char* fileName, uint32_t flags);

    // Binary form (format 27.0).
    void WriteBin(CObjectStream& stream);
    bool ReadBin(CObjectStream& stream);

protected:
    // Each reflected class's constructor and destructor run these over the
    // properties it declares itself.
    void InitDeclaredProperties();
    void DestroyDeclaredProperties();

private:
    bool ReadBinaryFile(const char* fileName, uint32_t flags, CJString* error);

    friend class CDynamicPropertyProperty;
    static CNormalClassInfo* g_ClassInfo;
    CDynamicValueList* m_DynamicValues = nullptr; // owned; made with the first value
    // Every object alive is on one list, so that a list's new item can be
    // told to all of them; only the first properties whose values are
    // constructed (ready count) are visited while the object is made or
    // unmade.
    CObject* m_PreviousLive = nullptr;
    CObject* m_NextLive = nullptr;
    int32_t m_ReadyPropertyCount = 0;
};

// The class of untyped object pointers: abstract, no properties.
class CClassThatCanNotBeConstructedOrDerivedFrom : public CObject {
    OMBRISALT_REFLECTED(CClassThatCanNotBeConstructedOrDerivedFrom, CObject)
};

// Told of every object as it is destroyed (the editors forget objects they
// would otherwise open again); nothing until installed.
using ObjectDestroyedListener = void (*)(CObject* object);
ObjectDestroyedListener SetObjectDestroyedListener(ObjectDestroyedListener listener);
OMBRISALT_UPWARD_HOOK(SetObjectDestroyedListener);

// Builds and registers a class info (a getter's class) when constructed.
// Use it from explicit registration code, never as a namespace-scope static:
// the order of those across files is unspecified.
class CAutoRegisterClass {
public:
    explicit CAutoRegisterClass(CClassInfo* (*getter)());
};

// Registers the classes of the object model, in a fixed order, and wires the
// virtual arrays' item-added announcement to the message plug-ins;
// idempotent.
void RegisterObjectClasses();

// Save flags of SaveToFile, sharing bits with the file flags: the bit that
// skips the writable test also has the file layer make missing folders, and
// the compressed bit is the file layer's compressed block.
inline constexpr uint32_t kSaveSkipWritableTest = FILE_MAKE_FOLDERS;
inline constexpr uint32_t kSaveCompressed = FILE_COMPRESSED;

enum class WriteHeader { Without, With };
void WriteObjectText(CObject* object, CObjectStream& stream, WriteHeader header = WriteHeader::With);
void WriteObjectTagged(CObject* object, CObjectStream& stream);
enum class BlockMode { Whole, Embedded };
// Reads one object block (or, embedded, the lines of one element) into object.
bool ReadObjectBlock(CObject* object, CObjectStream& stream, BlockMode mode = BlockMode::Whole);

// Called at the start of every object read (a loading screen keeps alive).
using ObjectReadHook = void (*)();
ObjectReadHook SetObjectReadHook(ObjectReadHook hook);
OMBRISALT_UPWARD_HOOK(SetObjectReadHook);

enum class SaveBack { No, Yes };
// Loads the object a file holds (class name line first); null on failure,
// with the stream's error text in *error when given.
CObject* LoadObjectFromFile(const char* fileName, uint32_t flags, IdMode ids, ReportUnknownClass report,
                            CJString* error = nullptr, SaveBack saveBack = SaveBack::No);
// The same over a stream the caller opened (and set up) for reading.
CObject* LoadObjectFromStream(CObjectStream& stream, ReportUnknownClass report, CJString* error = nullptr);
// The same over a caller's open buffer, which stays the caller's.
CObject* LoadObjectFromOpenFile(CFileBuf* buffer, uint32_t flags, IdMode ids, ReportUnknownClass report,
                                CJString* error = nullptr);
CObject* CreateSameClass(int32_t a, int32_t b, CObject* object);
// Reads a class name line and the object's block.
CObject* ReadObjectFromStream(CObjectStream& stream);
// The block is read in ID mode, quietly (unknown classes give null) and as
// untrusted data (damage gives null, never a fatal report).
CObject* ReadObjectFromMemory(const void* data, uint32_t size);
// Reads an object text file as text from outside the program (nothing in it
// ends the program); null when it cannot be read whole: missing, damaged, or
// with a line the reader passed over, so what was read is not all it says.
// Then, when the file could be opened, *whyNot says why, naming the first
// such line: "it cannot be read whole: line 12 is not understood
// ("Customers=4O")".
inline constexpr const char* kNotReadWhole = "it cannot be read whole";
CObject* ReadObjectFileWhole(const char* fileName, CJString* whyNot = nullptr);
CClassInfo* GetClassOfObjectInMemory(const void* data, uint32_t size);
// A malloc block the caller frees with std::free.
uint8_t* WriteObjectToMemory(CObject* object, uint32_t& size);
