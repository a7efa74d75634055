#include "images/CJPEGFileIO.h"

#include "foundation/CFile.h"
#include "images/CFrame.h"
#include "images/CFrameImageIO.h"
#include "images/CPNGFileIO.h"
#include "images/DataPixelBudget.h"
#include "images/PlainFrameCopy.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CJPEGFileIO, 1.0)

void CJPEGFileIO::DeclareProperties(CPropertyDeclarer&) {}

namespace {

constexpr size_t kSourceChunk = 4096;

struct SJpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void OnJpegError(j_common_ptr info)
{
    longjmp(reinterpret_cast<SJpegError*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// Memory source: the block is handed to the library in pieces; at its end
// an end-of-image marker is supplied once data has been read.
struct SMemorySource {
    jpeg_source_mgr pub;
    const uint8_t* data;
    size_t size;
    size_t position;
    JOCTET buffer[kSourceChunk];
    bool startOfFile;
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<SMemorySource*>(info->src)->startOfFile = true;
}

boolean FillInput(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<SMemorySource*>(info->src);
    if (source->position >= source->size) {
        if (source->startOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->pub.next_input_byte = kEndOfImage;
        source->pub.bytes_in_buffer = 2;
    } else {
        const size_t n = std::min(source->size - source->position, kSourceChunk);
        std::memcpy(source->buffer, source->data + source->position, n);
        source->position += n;
        source->pub.next_input_byte = source->buffer;
        source->pub.bytes_in_buffer = n;
    }
    source->startOfFile = false;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count)
{
    auto* source = reinterpret_cast<SMemorySource*>(info->src);
    if (count <= 0)
        return;
    while (size_t(count) > source->pub.bytes_in_buffer) {
        count -= long(source->pub.bytes_in_buffer);
        FillInput(info);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

void AttachMemorySource(j_decompress_ptr info, const uint8_t* data, size_t size)
{
    if (!info->src)
        info->src = static_cast<jpeg_source_mgr*>(
            (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(SMemorySource)));
    auto* source = reinterpret_cast<SMemorySource*>(info->src);
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInput;
    source->pub.skip_input_data = SkipInput;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    source->data = data;
    source->size = size;
    source->position = 0;
}

// Destination through an engine file, 4096 bytes at a time.
struct SFileDestination {
    jpeg_destination_mgr pub;
    CFile* file;
    bool failed;
    JOCTET buffer[kSourceChunk];
};

void InitDestination(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<SFileDestination*>(info->dest);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kSourceChunk;
}

boolean EmptyOutput(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<SFileDestination*>(info->dest);
    if (destination->file->Write(destination->buffer, kSourceChunk) != kSourceChunk)
        destination->failed = true;
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kSourceChunk;
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<SFileDestination*>(info->dest);
    const uint32_t n = uint32_t(kSourceChunk - destination->pub.free_in_buffer);
    if (n && destination->file->Write(destination->buffer, n) != n)
        destination->failed = true;
}

// Working memory the library may take for one image (whole-image coefficient
// buffers of progressive files); more is refused rather than allocated.
constexpr long kLibraryMemoryLimit = 48L << 20;

// Every scan walks all the blocks of its components however few bytes it
// holds, so a file repeating one scan costs a pass over the picture per 30-odd
// bytes. Progressions take about ten scans; a hundred is far past any encoder.
constexpr int kMaxScans = 100;

struct SJpegProgress {
    jpeg_progress_mgr manager;
    volatile bool tooManyScans;
};

void OnJpegProgress(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans)
        return;
    reinterpret_cast<SJpegProgress*>(info->progress)->tooManyScans = true;
    (*info->err->error_exit)(info);
}

// Where decoded rows go: Allocate answers the first byte of width x height
// B, G, R pixels packed row after row, or null to refuse the image.
struct SJpegTarget {
    uint8_t* (*allocate)(void* context, uint32_t width, uint32_t height);
    void* context;
    uint64_t byteLimit;
    int refusedBySize;
    int refusedForScans;
};

// Blocks (8 x 8 samples of one component) the image is coded in. Every block
// of a Huffman-coded image costs at least one bit of its first DC scan, so
// an image of more blocks than eight per byte of data is not in the file.
uint64_t CodedBlocks(const jpeg_decompress_struct& info)
{
    uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
        blocks += uint64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks;
    return blocks;
}

// The one function holding the decoder's setjmp: nothing here has a
// destructor. True once every row reached the target.
bool DecodeJpeg(const uint8_t* data, size_t size, SJpegTarget* target)
{
    jpeg_decompress_struct info;
    SJpegError error;
    SJpegProgress progress{};
    uint8_t* volatile row = nullptr;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = OnJpegMessage;
    if (setjmp(error.jump)) {
        target->refusedForScans = progress.tooManyScans;
        std::free(row);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kLibraryMemoryLimit;
    progress.manager.progress_monitor = OnJpegProgress;
    info.progress = &progress.manager;
    AttachMemorySource(&info, data, size);
    jpeg_read_header(&info, TRUE);
    // Everything the claimed size decides is checked before the library or
    // we allocate for it.
    const uint32_t w = info.image_width, h = info.image_height;
    const uint64_t blocks = CodedBlocks(info);
    if (!ImageSizeAllowed(w, h) || uint64_t(w) * h * 3 > target->byteLimit
        || (!info.arith_code && blocks > uint64_t(size) * 8)) {
        target->refusedBySize = 1;
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (!DataPixelsFitBeforeDecode(w, h)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const uint32_t n = uint32_t(info.output_components);
    if ((n != 1 && n != 3) || info.output_width != w || info.output_height != h || w == 0 || h == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    row = static_cast<uint8_t*>(std::malloc(size_t(w) * n));
    uint8_t* const pixels = row ? target->allocate(target->context, w, h) : nullptr;
    if (!pixels)
        longjmp(error.jump, 1);
    while (info.output_scanline < h) {
        JSAMPROW rows[1] = {row};
        uint8_t* out = pixels + size_t(info.output_scanline) * w * 3;
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            longjmp(error.jump, 1);
        for (uint32_t x = 0; x < w; ++x, out += 3) {
            if (n == 1) {
                out[0] = out[1] = out[2] = row[x];
            } else {
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3];
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(row);
    return true;
}

uint8_t* AllocateFrame(void* context, uint32_t width, uint32_t height)
{
    auto* frame = static_cast<CFrame*>(context);
    return frame->Create(width, height, 24) ? frame->GetPixels() : nullptr;
}

// Decodes the bytes into the target; a refusal is reported under name.
bool DecodeNamed(const uint8_t* bytes, uint32_t count, SJpegTarget& target, const char* name)
{
    const bool decoded = DecodeJpeg(bytes, count, &target);
    if (target.refusedBySize)
        ReportImageRefused(name, "its size is more than its data holds or than any image may have");
    if (target.refusedForScans)
        ReportDamagedImageRefused(name, "it has more scans than any image needs");
    return decoded;
}

// Decodes the rest of the open file into the target.
bool DecodeRestOfFile(CFile& file, SJpegTarget& target)
{
    const int64_t size = file.GetSize(), position = file.GetPosition();
    if (size < 0 || position < 0 || size < position || size - position > int64_t(UINT32_MAX) - 1)
        return false;
    const uint32_t count = uint32_t(size - position);
    auto* bytes = static_cast<uint8_t*>(std::malloc(size_t(count) + 1));
    if (!bytes)
        return false;
    const bool decoded
        = file.Read(bytes, count) == count && DecodeNamed(bytes, count, target, file.GetFileName().GetString());
    std::free(bytes);
    return decoded;
}

// The one function holding the encoder's setjmp.
bool EncodeJpeg(CFile* file, const uint8_t* pixels, uint32_t width, uint32_t height, int quality)
{
    jpeg_compress_struct info;
    SJpegError error;
    SFileDestination* volatile destination = nullptr;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = OnJpegMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination = static_cast<SFileDestination*>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(SFileDestination)));
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutput;
    destination->pub.term_destination = TermDestination;
    destination->file = file;
    destination->failed = false;
    info.dest = &destination->pub;
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(pixels + size_t(info.next_scanline) * width * 3)};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    const bool failed = destination->failed;
    jpeg_destroy_compress(&info);
    return !failed;
}

} // namespace

CJPEGFileIO::CJPEGFileIO()
{
    InitDeclaredProperties();
}

CJPEGFileIO::~CJPEGFileIO()
{
    DestroyDeclaredProperties();
}

bool DecodeJPEGIntoFrame(CFrame& frame, CFile& file)
{
    SJpegTarget target{AllocateFrame, &frame, GetImageDecodeByteLimit(), 0, 0};
    if (DecodeRestOfFile(file, target))
        return true;
    frame.Free();
    return false;
}

bool DecodeJPEGIntoFrame(CFrame& frame, const uint8_t* data, uint32_t size, const char* name)
{
    SJpegTarget target{AllocateFrame, &frame, GetImageDecodeByteLimit(), 0, 0};
    if (data && DecodeNamed(data, size, target, name))
        return true;
    frame.Free();
    return false;
}

bool LoadJPEGFile(CFrame& frame, const char* path, uint32_t openFlags)
{
    CFile file;
    return file.Open(path, openFlags | FILE_READ) && DecodeJPEGIntoFrame(frame, file);
}

bool EncodeJPEG(CFile& file, const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t quality)
{
    if (!pixels || width == 0 || height == 0)
        return false;
    return EncodeJpeg(&file, pixels, width, height, int(quality > 100 ? 100 : quality));
}

bool WriteFrameAsJPEG(CFrame& frame, CFile& file, uint32_t quality)
{
    CFrame copy;
    if (!CopyPlainFrameToDepth(frame, copy, 24))
        return false;
    uint8_t* p = copy.GetPixels();
    for (size_t i = 0, n = size_t(copy.GetWidth()) * copy.GetHeight(); i < n; ++i, p += 3)
        std::swap(p[0], p[2]);
    return EncodeJPEG(file, copy.GetPixels(), copy.GetWidth(), copy.GetHeight(), quality);
}

bool WriteJPEGFile(CFrame& frame, const char* path, uint32_t quality, uint32_t openFlags)
{
    CFile file;
    if (!file.Open(path, openFlags | FILE_CREATE | FILE_WRITE))
        return false;
    if (!WriteFrameAsJPEG(frame, file, quality)) {
        file.GetFileBuf()->Discard();
        return false;
    }
    return file.Close();
}

bool CJPEGFileIO::WriteImageFile(CFrame& frame, const char* path, uint32_t openFlags)
{
    return WriteJPEGFile(frame, path, 90, openFlags);
}

bool CJPEGFileIO::DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t)
{
    return DecodeJPEGIntoFrame(frame, data, size, path);
}
