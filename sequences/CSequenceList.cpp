#include "sequences/CSequenceList.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CFile.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/LittleEndian.h"
#include "images/CFrame.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/ObjectFileCallbacks.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceBrowserItem.h"
#include "sequences/SequenceScopes.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CSequenceOfCoordinates, 0)

namespace {

// Entries found among the cache files carry the cache folder in their path.
const char* WithoutCacheFolder(const char* folder)
{
    const char* cache = GetCacheFolderName();
    const size_t length = std::char_traits<char>::length(cache);
    if (StartsWithNoCase(folder, cache, length) && (folder[length] == '/' || folder[length] == '\\'))
        return folder + length + 1;
    return folder;
}

using CCoordinatesProperty = CSlotProperty<CTypedPObjectProperty<CSequenceOfCoordinates>>;

CCoordinatesProperty& CoordinatesProperty()
{
    static CCoordinatesProperty* property = [] {
        auto* made = new CCoordinatesProperty("Sequence of Coordinates", nullptr);
        made->AddAsDynamicProperty(CSequence::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

using CYSortProperty = CSlotProperty<CFloatProperty>;

void AttachYSortProperty()
{
    static CYSortProperty* property = [] {
        auto* made = new CYSortProperty("Image/Y-Sort", 0.0f);
        made->SetSpinStep(1.0f);
        made->AddAsDynamicProperty(CSequence::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    (void)property;
}

} // namespace

void AttachSequenceDynamicProperties()
{
    CoordinatesProperty();
    AttachYSortProperty();
}

// --- The list ---

CSequenceList::CSequenceList()
    : CObjectArrayBaseTemplate<CSequence, CSequence>("")
{
}

CSequenceList::~CSequenceList() = default;

void CSequenceList::AdjustSearch(CEnumerateFilesOptions& options)
{
    if (options.folders != 1)
        return;
    // Only the list folder's own "-" folders are sequences.
    options.prefix = "-";
    options.SetRecurse(2);
}

CObject* CSequenceList::LoadObject(const CJString& folder, const CJString& fileName, CObject**)
{
    const char* listFolder = WithoutCacheFolder(folder.GetString());
    std::string path(listFolder);
    path += "/-";
    path += fileName.GetString();
    path += "/Properties.txt";
    CSequence* sequence = nullptr;
    if (FileExists(path.c_str(), 0)) {
        CLoadingPropertiesScope loading;
        CObject* object = CSequence::LoadPropertiesFile(path.c_str(), &m_LastLoadError);
        sequence = dynamic_cast<CSequence*>(object);
        if (!sequence)
            delete object;
    }
    if (!sequence)
        sequence = new CSequence;
    if (!m_bFiltersFilled) {
        m_Filters.CopyFiltersFrom(GetDefaultFrameFilters());
        m_bFiltersFilled = true;
    }
    CFrameFilter chain;
    chain.CopyFiltersFrom(m_Filters);
    sequence->Load(listFolder, fileName.GetString(), &chain);
    return sequence;
}

bool CSequenceList::GetObjectFileName(const CObject* object, CJString& name)
{
    if (!dynamic_cast<const CSequence*>(object))
        return false;
    const int32_t index = FindObjectIndex(object);
    if (index < 0)
        return false;
    std::string path(WithoutCacheFolder(GetFolderName()));
    path += "/-";
    path += GetItemName(index);
    path += "/Properties.txt";
    name.Set(path.c_str());
    return true;
}

void CSequenceList::LoadAllEntries()
{
    for (int32_t i = 0; i < GetCount(); ++i)
        GetObject(i);
}

CSequenceList& GetSequenceList()
{
    static CSequenceList* list = [] {
        auto* made = new CSequenceList;
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

namespace {

// The game's list is not registered by name, so the lists' own callback
// does not find its sequences.
bool FindFileOfGameSequence(const CObject* object, CJString* name)
{
    CJString found;
    if (!GetSequenceList().GetObjectFileName(object, found))
        return false;
    if (name)
        *name = found;
    return true;
}

// The callbacks take the object as const; saving writes nothing into it.
bool SaveSequenceSettings(const CObject* object, bool& saved)
{
    auto* sequence = const_cast<CSequence*>(dynamic_cast<const CSequence*>(object));
    CJString file;
    if (!sequence || !FindObjectFileName(sequence, &file))
        return false;
    // "Properties.txt" changed by another hand since it was read is not
    // written over, as any object file.
    if (GetSequenceList().RefuseSaveOverChangedFile(sequence)) {
        NoteFailedSaveReason(CJString(kFileChangedOnDisk));
        saved = false;
        return true;
    }
    CJString failed;
    saved = sequence->SaveSettings(&failed);
    if (saved)
        GetSequenceList().NoteObjectFileAsOnDisk(sequence);
    else if (failed.IsNotEmpty())
        NoteFailedSaveFile(failed);
    return true;
}

// A sequence whose cache cannot take the settings keeps nothing that is
// edited; any other may be saved when its "Properties.txt" may be written.
bool CanSaveSequenceSettings(const CObject* object, bool& allowed)
{
    auto* sequence = const_cast<CSequence*>(dynamic_cast<const CSequence*>(object));
    if (!sequence || sequence->IsCacheWritable())
        return false;
    allowed = false;
    return true;
}

} // namespace

void RegisterSequenceFileCallbacks()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterObjectFileNameCallback(&FindFileOfGameSequence);
    RegisterObjectSaveCallback(&SaveSequenceSettings);
    RegisterCanSaveObjectCallback(&CanSaveSequenceSettings);
}

// --- Coordinates ---

void CSequenceOfCoordinates::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CFPointProperty>(&CSequenceOfCoordinates::m_Coordinates, "Coordinates", "Coordinate", CFPoint{});
}

CSequenceOfCoordinates::CSequenceOfCoordinates()
{
    InitDeclaredProperties();
}

CSequenceOfCoordinates::~CSequenceOfCoordinates()
{
    DestroyDeclaredProperties();
}

ImageBrowserItemFactory CSequenceList::GetItemFactory()
{
    return &CSequenceBrowserItem::SCreate;
}

bool HasSequenceCoordinatesProperty(const CSequence& sequence)
{
    return sequence.HasDynamicValue(&CoordinatesProperty());
}

CSequenceOfCoordinates* GetSequenceCoordinates(CSequence& sequence)
{
    CCoordinatesProperty& property = CoordinatesProperty();
    auto* slot = static_cast<CSequenceOfCoordinates**>(sequence.GetOrAddDynamicValue(&property));
    if (!slot)
        return nullptr;
    if (!*slot) {
        *slot = new CSequenceOfCoordinates;
        (*slot)->ResetToDefaults();
    }
    return *slot;
}

// --- Video export ---

bool WriteBmpFile(const char* path, const CFrame& frame24)
{
    if (frame24.GetBitDepth() != 24 || frame24.IsCompressed())
        return false;
    const uint32_t width = frame24.GetWidth(), height = frame24.GetHeight();
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * height;
    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    WriteLE32(header + 2, 54 + imageBytes);
    WriteLE32(header + 10, 54);
    WriteLE32(header + 14, 40);
    WriteLE32(header + 18, width);
    WriteLE32(header + 22, height);
    header[26] = 1;
    header[28] = 24;
    WriteLE32(header + 34, imageBytes);
    WriteLE32(header + 38, 2835);
    WriteLE32(header + 42, 2835);
    CFile file;
    if (!file.Open(path, FILE_CREATE | FILE_WRITE | FILE_MAKE_FOLDERS))
        return false;
    file.Write(header, sizeof header);
    std::vector<uint8_t> row(rowBytes, 0);
    for (uint32_t y = height; y-- > 0;) {
        std::copy_n(frame24.Row(y), size_t(width) * 3, row.begin());
        file.Write(row.data(), rowBytes);
    }
    return file.Close();
}

std::string CSequence::GetVideoFolder()
{
    CJString file;
    if (!FindObjectFileName(this, &file))
        return std::string();
    std::string folder(file.GetString());
    std::replace(folder.begin(), folder.end(), '\\', '/');
    size_t cut = folder.rfind('/');
    if (cut == std::string::npos)
        return std::string();
    folder.resize(cut);
    cut = folder.rfind('/');
    return "AVIs/" + (cut == std::string::npos ? folder : folder.substr(cut + 1));
}

bool CSequence::SaveAsAVI()
{
    for (uint32_t i = 0; i < GetFrameCount(); ++i)
        GetFrame(i);
    RecomputeBounds();
    const std::string output = GetVideoFolder();
    if (GetFrameCount() == 0 || output.empty())
        return false;
    const CRect bounds = GetBounds();
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top)
        return false;
    bool written = true;
    for (uint32_t i = 0; i < GetFrameCount(); ++i) {
        std::unique_ptr<CFrame> picture
            = CFrame::MakeOwned(uint32_t(bounds.right - bounds.left), uint32_t(bounds.bottom - bounds.top), 24);
        if (!picture)
            return false;
        // Opaque black, from the zeroed pixels.
        picture->SetOffset(int16_t(bounds.left), int16_t(bounds.top));
        if (CFrame* frame = GetFrame(i))
            BlitAt(*picture, *frame, 0, 0, GetNormalBlitType());
        char name[32];
        std::snprintf(name, sizeof name, "/%04u.BMP", unsigned(i));
        written = WriteBmpFile((output + name).c_str(), *picture) && written;
    }
    return written;
}
