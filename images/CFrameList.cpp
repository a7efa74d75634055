#include "images/CFrameList.h"

#include "foundation/CFile.h"
#include "objects/CClassInfo.h"
#include "images/CFrameBrowserItem.h"
#include "images/CFrameImageIO.h"
#include "images/DataPixelBudget.h"
#include "images/CStandAloneFrame.h"
#include "images/CTGAFileIO.h"
#include "images/FrameCache.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObjectStream.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kBlankPictureSide = 64;
constexpr const char* kPictureEndings[] = {".tga", ".rla", ".png"};

// The path of a picture of the list, without its ending, named as the
// list's loads name it.
CJString PicturePathOf(const char* folder, const char* item)
{
    const char first = item[0];
    if (first == '.' || first == '/' || first == '\\' || !folder || !folder[0])
        return CJString(item);
    CJString path(folder);
    path.AppendPath(item);
    return path;
}

CJString WithEnding(const CJString& path, const char* ending)
{
    CJString name(path);
    name += ending;
    return name;
}

const char* FindPictureEnding(const CJString& path)
{
    for (const char* ending : kPictureEndings)
        if (FileExists(WithEnding(path, ending).GetString(), 0))
            return ending;
    return nullptr;
}

bool CopyFileBytes(const CJString& from, const CJString& to)
{
    CFile source;
    if (!source.Open(from.GetString(), FILE_READ))
        return false;
    const int64_t size = source.GetSize();
    if (size < 0 || size > int64_t(UINT32_MAX))
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (source.Read(bytes.data(), uint32_t(size)) != uint32_t(size))
        return false;
    CFile target;
    if (!target.Open(to.GetString(), FILE_CREATE | FILE_WRITE | FILE_MAKE_FOLDERS))
        return false;
    target.Write(bytes.data(), uint32_t(size));
    return target.Close();
}

bool WriteBlankPicture(const CJString& path)
{
    CFrame blank;
    if (!blank.Create(kBlankPictureSide, kBlankPictureSide, 32))
        return false;
    blank.Clear();
    CTGAFileIO writer;
    return writer.WriteImageFile(blank, path.GetString(), FILE_MAKE_FOLDERS);
}

bool StartsWithCacheFolder(const char* folder)
{
    static constexpr char kCache[] = "cache/";
    for (int i = 0; i < 6; ++i) {
        char c = folder[i];
        if (c == '\\')
            c = '/';
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        if (c != kCache[i])
            return false;
    }
    return true;
}

} // namespace

CFrameList::CFrameList(CClassInfo* frameClass)
    : CObjectArrayBaseTemplate<CFrame, CFrame>("TGA,RLA,PNG")
    , m_pFrameClass(frameClass ? frameClass : CFrame::SGetClassInfo())
{
}

CFrameList::~CFrameList() = default;

void CFrameList::SetFilters(const CFrameFilter& chain)
{
    m_Filters.ClearChain();
    m_Filters.CopyFiltersFrom(chain);
    m_bFiltersSet = true;
}

const char* CFrameList::GetCacheEnding()
{
    return GetFrameRecordExtension();
}

CObject* CFrameList::LoadObject(const CJString& folder, const CJString& fileName, CObject**)
{
    if (!m_bFiltersSet)
        SetFilters(GetDefaultBuildFilters());
    // Items found among the cached frames carry the cache folder in their
    // path; the frame names its own folder.
    const char* frameFolder = folder.GetString();
    if (StartsWithCacheFolder(frameFolder))
        frameFolder += 6;
    CFrameFilter chain;
    chain.CopyFiltersFrom(m_Filters);
    CJString objectFile(frameFolder);
    objectFile.AppendPath(fileName.GetString());
    objectFile += ".txt";
    CFrame* frame = nullptr;
    if (FileExists(objectFile.GetString(), 0)) {
        CObject* object = LoadObjectFromFile(objectFile.GetString(), 0, IdMode::WithoutIds, ReportUnknownClass::Quiet,
                                             &m_LastLoadError);
        frame = dynamic_cast<CFrame*>(object);
        if (!frame)
            delete object;
    }
    if (!frame) {
        frame = dynamic_cast<CFrame*>(m_pFrameClass->CreateObject(0, 0));
        if (!frame)
            return nullptr;
        frame->ResetToDefaults();
    }
    ClearLastImageRefusal();
    CJString named(frameFolder);
    named.AppendPath(fileName.GetString());
    bool loaded = false;
    {
        const CChargedImageScope charged(named.GetString());
        loaded = frame->Load(frameFolder, fileName.GetString(), &chain, 1, 0);
    }
    if (!loaded || !ChargeDataPixels(*frame, named.GetString())) {
        if (m_LastLoadError.IsEmpty())
            m_LastLoadError.Format("Error loading frame \"%s/%s\"", frameFolder, fileName.GetString());
        if (GetLastImageRefusal().IsNotEmpty())
            m_LastLoadError.AppendFormat(": %s", GetLastImageRefusal().GetString());
        delete frame;
        return nullptr;
    }
    return frame;
}

bool CFrameList::GetObjectFileName(const CObject* object, CJString& name)
{
    return dynamic_cast<const CFrame*>(object) && ItemFileName(object, ".txt", name);
}

CNewFileOptions* CFrameList::GetNewFileOptions()
{
    EnsureEnumerated();
    const char* endings = GetListFileNameText();
    const char* fileName = endings && !std::strchr(endings, ',') ? endings : "txt";
    if (std::strlen(fileName) < 2)
        return nullptr;
    CClassInfo* frameClass = CFrame::SGetClassInfo();
    auto* options = new CNewFileOptionsCObject(frameClass, frameClass);
    options->m_BaseFolder.Set(GetFolderName());
    options->m_Extension.Set(".");
    options->m_Extension.Append(fileName);
    options->m_ClassName = frameClass->GetNameWithoutPrefix();
    options->m_NoneEntryName = NoneEntryName();
    return options;
}

int32_t CFrameList::AddItemFromNewFileOptions(CNewFileOptions& options)
{
    EnsureEnumerated();
    if (options.m_Name.IsEmpty())
        return -1;
    CJString location;
    location.SetPath(options.m_BaseFolder, options.m_Location);
    CJString picture;
    picture.SetPath(location, options.m_Name);
    // Not listed yet is not nobody's: an artist may have just put it there.
    if (FindPictureEnding(picture))
        return -1;
    bool written = false;
    const char* ending = kPictureEndings[0];
    if (options.GetTemplateObject()) {
        const CJString source = PicturePathOf(GetFolderName(), options.m_TemplateItem.GetString());
        ending = options.m_TemplateItem.IsEmpty() ? nullptr : FindPictureEnding(source);
        if (!ending)
            return -1;
        written = CopyFileBytes(WithEnding(source, ending), WithEnding(picture, ending));
    } else {
        written = WriteBlankPicture(WithEnding(picture, ending));
    }
    if (!written)
        return -1;
    const int32_t index = CObjectArrayBaseTemplate<CFrame, CFrame>::AddItemFromNewFileOptions(options);
    if (index < 0)
        (void)DeleteFileByName(WithEnding(picture, ending).GetString(), 0);
    return index;
}

ImageBrowserItemFactory CFrameList::GetItemFactory()
{
    return &CFrameBrowserItem::SCreate;
}

CFrameList& GetFrameLibrary()
{
    static CFrameList* list = [] {
        auto* made = new CFrameList(CStandAloneFrame::SGetClassInfo());
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CFrameList& GetSecondFrameLibrary()
{
    static CFrameList* list = new CFrameList(CStandAloneFrame::SGetClassInfo());
    return *list;
}
