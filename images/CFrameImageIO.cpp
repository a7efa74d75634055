#include "images/CFrameImageIO.h"

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CJPEGFileIO.h"
#include "images/CPNGFileIO.h"
#include "images/CPaletteHolder.h"
#include "images/CTGAFileIO.h"
#include "platform/Debug.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CFrameImageIO, 1.0)

void CFrameImageIO::DeclareProperties(CPropertyDeclarer&) {}

namespace {

std::vector<CFrameImageIO*>& ReaderList()
{
    static std::vector<CFrameImageIO*> list;
    return list;
}

struct SLoadBuffer {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t capacity = 0;
};

SLoadBuffer& LoadBuffer()
{
    static SLoadBuffer buffer;
    return buffer;
}

bool SameText(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        const unsigned char ca = (unsigned char)(*a), cb = (unsigned char)(*b);
        const unsigned char la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
        const unsigned char lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
        if (la != lb)
            return false;
        if (la == 0)
            return true;
    }
}

CJString PathFor(const char* folder, const char* name, const char* ext)
{
    CJString path;
    if (folder) {
        path = folder;
        path.AppendPath(name);
    } else {
        path = name;
    }
    path += ext;
    return path;
}

CJString& LastRefusal()
{
    static CJString text;
    return text;
}

} // namespace

bool ImageSizeAllowed(uint32_t width, uint32_t height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide
        && uint64_t(width) * height * 4 <= kMaxImagePixelBytes;
}

void ReportImageRefused(const char* path, const char* why)
{
    CJString& text = LastRefusal();
    text.Format("Image \"%s\" refused: %s (at most %u pixels on a side and %u MB of pixels).",
                path && *path ? path : "(in memory)", why, unsigned(kMaxImageSide),
                unsigned(kMaxImagePixelBytes >> 20));
    plat::DebugOutput(std::string(text.GetString()) + "\n");
}

void ReportDamagedImageRefused(const char* path, const char* why)
{
    CJString& text = LastRefusal();
    text.Format("Image \"%s\" refused: %s.", path && *path ? path : "(in memory)", why);
    plat::DebugOutput(std::string(text.GetString()) + "\n");
}

void ReportDataPixelsRefused(const char* path, unsigned budgetMB)
{
    CJString& text = LastRefusal();
    text.Format("Image \"%s\" refused: the data's images together would hold more than %u MB of pixels.",
                path && *path ? path : "(in memory)", budgetMB);
    plat::DebugOutput(std::string(text.GetString()) + "\n");
}

const CJString& GetLastImageRefusal()
{
    return LastRefusal();
}

void ClearLastImageRefusal()
{
    LastRefusal().Empty();
}

void RegisterImageReaders()
{
    static const bool done = [] {
        CFrameImageIO::SGetClassInfo();
        static CTGAFileIO tga;
        static CPNGFileIO png;
        CFrameImageIO::RegisterReader(&tga);
        CFrameImageIO::RegisterReader(&png);
        return true;
    }();
    (void)done;
}

bool ReadWholeFileIntoLoadBuffer(const char* path, uint32_t openFlags, const uint8_t*& data, uint32_t& size)
{
    CFile file;
    if (!file.Open(path, openFlags | FILE_READ))
        return false;
    const int64_t length = file.GetSize();
    if (length < 0 || length > int64_t(UINT32_MAX))
        return false;
    SLoadBuffer& buffer = LoadBuffer();
    if (uint32_t(length) > buffer.capacity) {
        buffer.bytes.reset();
        buffer.bytes = std::make_unique<uint8_t[]>(size_t(length));
        buffer.capacity = uint32_t(length);
    }
    if (length > 0 && file.Read(buffer.bytes.get(), uint32_t(length)) != uint32_t(length))
        return false;
    data = buffer.bytes.get();
    size = uint32_t(length);
    return true;
}

CFrameImageIO::CFrameImageIO()
{
    InitDeclaredProperties();
}

CFrameImageIO::~CFrameImageIO()
{
    DestroyDeclaredProperties();
}

bool CFrameImageIO::LoadFrame(CFrame& frame, CFrameFilter* chain, uint32_t openFlags)
{
    if (!chain)
        chain = &GetDefaultBuildFilters();
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!ReadWholeFileIntoLoadBuffer(m_Path.GetString(), openFlags, data, size))
        return false;
    RemovePaletteHolder(frame);
    const uint32_t depth = GetHeaderBitDepth(data, size);
    if (depth != 0 && NeedsRecompress(m_Path.GetString())) {
        if (!IsFileWritable(m_Path.GetString(), openFlags)) {
            CJString text;
            text.Format("'%s' is an uncompressed TGA and is write protected."
                        "  The game automatically creates compressed TGAs when it finds uncompressed ones."
                        "  This TGA was checked into source safe without being run in the game."
                        "  You need to check it out and re-run the game.",
                        m_Path.GetString());
            FatalDataError("Fatal Error loading a frame", text.GetString());
        }
        CFrame copy;
        // The file is replaced whole (written beside it, then renamed), so a
        // failed rewrite leaves the original as it was.
        if (DecodeFromMemory(copy, data, size, m_Path.GetString(), depth))
            (void)WriteImageFile(copy, m_Path.GetString(), openFlags);
    }
    if (!DecodeFromMemory(frame, data, size, m_Path.GetString(), depth))
        return false;
    chain->ApplyAll(frame);
    return frame.GetPixels() != nullptr;
}

bool CFrameImageIO::WriteImageFile(CFrame&, const char*, uint32_t)
{
    return false;
}

bool CFrameImageIO::NeedsRecompress(const char*)
{
    return false;
}

bool CFrameImageIO::DecodeFromMemory(CFrame&, const uint8_t*, uint32_t, const char*, uint32_t)
{
    return false;
}

uint32_t CFrameImageIO::GetHeaderBitDepth(const uint8_t*, uint32_t)
{
    return 0;
}

bool CFrameImageIO::WriteFrame(CFrame& frame, uint32_t openFlags)
{
    return WriteImageFile(frame, m_Path.GetString(), openFlags);
}

void CFrameImageIO::RegisterReader(CFrameImageIO* prototype)
{
    ReaderList().push_back(prototype);
}

uint32_t CFrameImageIO::GetReaderCount()
{
    RegisterImageReaders();
    return uint32_t(ReaderList().size());
}

const char* CFrameImageIO::GetReaderInfo(uint32_t i)
{
    RegisterImageReaders();
    return i < ReaderList().size() ? ReaderList()[i]->GetExtension() : "";
}

CFrameImageIO* CFrameImageIO::CreateForExtension(const char* ext)
{
    RegisterImageReaders();
    for (CFrameImageIO* prototype : ReaderList())
        if (SameText(prototype->GetExtension(), ext))
            return static_cast<CFrameImageIO*>(prototype->GetClassInfo()->CreateObject(0, 0));
    return nullptr;
}

CFrameImageIO* CFrameImageIO::SCreateForFile(const char* folder, const char* name, const char* ext)
{
    CFrameImageIO* reader = CreateForExtension(ext);
    if (reader)
        reader->m_Path = PathFor(folder, name, reader->GetExtension());
    return reader;
}

CFrameImageIO* CFrameImageIO::FindImageFile(const char* folder, const char* name, uint32_t openFlags)
{
    RegisterImageReaders();
    CFrameImageIO* found = nullptr;
    CJString foundPath;
    for (CFrameImageIO* prototype : ReaderList()) {
        const CJString path = PathFor(folder, name, prototype->GetExtension());
        if (!FileExists(path.GetString(), openFlags))
            continue;
        if (found) {
            CJString text;
            text.Format("\"%s\" has more than one image file of the same name saved in the same directior."
                        "  The game cannont tell which one you want.  Please delete or more one of them.",
                        foundPath.GetString());
            delete found;
            FatalDataError("Fatal Error loading a frame", text.GetString());
        }
        found = static_cast<CFrameImageIO*>(prototype->GetClassInfo()->CreateObject(0, 0));
        found->m_Path = path;
        foundPath = path;
    }
    return found;
}
