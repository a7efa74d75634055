#include "images/CPNGFileIO.h"

#include "foundation/CJString.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/DataPixelBudget.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

OMBRISALT_IMPLEMENT_CLASS(CPNGFileIO, 1.0)

void CPNGFileIO::DeclareProperties(CPropertyDeclarer&) {}

namespace {

uint64_t g_DecodeByteLimit = UINT32_MAX;

struct SPngSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

// What the header says, and why an image was refused.
struct SPngImage {
    uint32_t width;
    uint32_t height;
    uint32_t channels;
    int refusedBySize;
    char error[128];
};

// Where decoded rows go: Create makes room for the image (non-zero when it
// did), Row answers row y of it.
struct SPngTarget {
    int (*create)(void* context, uint32_t width, uint32_t height, uint32_t channels);
    uint8_t* (*row)(void* context, uint32_t y);
    void* context;
};

enum PngPass : int { kHeaderOnly, kVerifyOnly, kDecode };

// Images above this many decoded bytes are decoded twice: once through one
// row, to refuse damaged data before the whole image is allocated.
constexpr uint64_t kVerifyAbove = uint64_t(32) << 20;

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<SPngSource*>(png_get_io_ptr(png));
    if (source->size - source->position < count)
        png_error(png, "PNG data ends early");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void OnError(png_structp png, png_const_charp message)
{
    auto* image = static_cast<SPngImage*>(png_get_error_ptr(png));
    std::snprintf(image->error, sizeof image->error, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void SetTransforms(png_structp png, png_infop info)
{
    const int colorType = png_get_color_type(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_bgr(png);
}

// The one function holding libpng's setjmp: nothing here has a destructor.
// kHeaderOnly stops after the header with the size and channels set;
// kVerifyOnly decodes every row into one scratch row; kDecode into target.
bool DecodePng(const uint8_t* data, size_t size, int pass, uint64_t byteLimit, SPngImage* image,
               const SPngTarget* target)
{
    image->width = image->height = image->channels = 0;
    image->refusedBySize = 0;
    image->error[0] = 0;
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return false;
    SPngSource source = {data, size, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, image, OnError, OnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    png_bytep* volatile rows = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        std::free(rows);
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, ReadFromMemory);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);
    SetTransforms(png, info);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    const uint32_t channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    image->width = width;
    image->height = height;
    image->channels = channels;
    if (pass == kHeaderOnly) {
        png_destroy_read_struct(&png, &info, nullptr);
        return channels == 3 || channels == 4;
    }
    // Deflate expands at most about 1032 to 1, so larger claims are lies.
    const uint64_t total = uint64_t(rowBytes) * height;
    if ((channels != 3 && channels != 4) || rowBytes != size_t(width) * channels || total == 0)
        png_error(png, "PNG image refused");
    if (!ImageSizeAllowed(width, height) || total > byteLimit || total > (uint64_t(size) + 1024) * 1100) {
        image->refusedBySize = 1;
        png_error(png, "PNG image size refused");
    }
    if (pass == kVerifyOnly) {
        rows = static_cast<png_bytep*>(std::malloc(rowBytes));
        if (!rows)
            png_error(png, "out of memory");
        for (int p = 0; p < passes; ++p)
            for (uint32_t y = 0; y < height; ++y)
                png_read_row(png, reinterpret_cast<png_bytep>(rows), nullptr);
    } else {
        rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
        if (!rows || !target->create(target->context, width, height, channels))
            png_error(png, "out of memory");
        for (uint32_t y = 0; y < height; ++y)
            rows[y] = target->row(target->context, y);
        png_read_image(png, rows);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return true;
}

int CreateFrame(void* context, uint32_t width, uint32_t height, uint32_t channels)
{
    auto* frame = static_cast<CFrame*>(context);
    return frame->Create(width, height, channels * 8) && frame->GetPixels();
}

uint8_t* FrameRow(void* context, uint32_t y)
{
    return static_cast<CFrame*>(context)->Row(y);
}

} // namespace

uint64_t SetImageDecodeByteLimit(uint64_t bytes)
{
    const uint64_t old = g_DecodeByteLimit;
    g_DecodeByteLimit = bytes;
    return old;
}

uint64_t GetImageDecodeByteLimit()
{
    return g_DecodeByteLimit;
}

CPNGFileIO::CPNGFileIO()
{
    InitDeclaredProperties();
}

CPNGFileIO::~CPNGFileIO()
{
    DestroyDeclaredProperties();
}

bool CPNGFileIO::LoadFrame(CFrame& frame, CFrameFilter* chain, uint32_t openFlags)
{
    if (chain)
        chain->RemoveFilter(kFilterKindRemoveBlackBlending);
    return CFrameImageIO::LoadFrame(frame, chain, openFlags);
}

uint32_t CPNGFileIO::GetHeaderBitDepth(const uint8_t* data, uint32_t size)
{
    SPngImage image;
    if (!DecodePng(data, size, kHeaderOnly, g_DecodeByteLimit, &image, nullptr))
        return 0;
    return image.channels == 4 ? 32 : 24;
}

bool CPNGFileIO::DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t)
{
    SPngImage image;
    const SPngTarget target{CreateFrame, FrameRow, &frame};
    const bool decoded = DecodePng(data, size, kHeaderOnly, g_DecodeByteLimit, &image, nullptr)
        && DataPixelsFitBeforeDecode(image.width, image.height)
        && (uint64_t(image.width) * image.height * image.channels <= kVerifyAbove
            || DecodePng(data, size, kVerifyOnly, g_DecodeByteLimit, &image, nullptr))
        && DecodePng(data, size, kDecode, g_DecodeByteLimit, &image, &target);
    if (!decoded) {
        if (image.refusedBySize)
            ReportImageRefused(path, "its size is more than its data holds or than any image may have");
        frame.Free();
        return false;
    }
    return true;
}
