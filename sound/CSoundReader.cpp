#include "sound/CSoundReader.h"

#include "foundation/CFile.h"
#include "foundation/LittleEndian.h"
#include "objects/CObjectFileArray.h"
#include "platform/CAudioDevice.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kTagRiff = 0x46464952; // "RIFF"
constexpr uint32_t kTagWave = 0x45564157; // "WAVE"
constexpr uint32_t kTagFmt = 0x20746D66;  // "fmt "
constexpr uint32_t kTagData = 0x61746164; // "data"
constexpr uint32_t kTagFact = 0x74636166; // "fact"
constexpr uint16_t kFormatPcm = 1;
// No WAVE format expands its data more than this (2-bit ADPCM to 16 bits).
constexpr uint64_t kMaxExpansion = 8;
constexpr uint64_t kMaxDecodedSize = 0x7FFFFFFF;
constexpr char kTooLong[] = "decodes to more than ten minutes or 115.2 MB";
constexpr char kClaimsTooMuch[] = "claims more frames than its bytes can hold";

bool ReadExactly(CFile& file, void* bytes, uint32_t count)
{
    return file.Read(bytes, count) == count;
}

// Four characters a chunk id can be made of.
bool LooksLikeChunkId(CFile& file, int64_t position)
{
    uint8_t id[4];
    if (!file.Seek(position) || !ReadExactly(file, id, 4))
        return false;
    for (uint8_t c : id)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

uint8_t SilenceByte(const plat::PcmFormat& format)
{
    return format.bits == 8 ? 0x80 : 0x00;
}

} // namespace

// --- Base ---

CSoundReader::~CSoundReader() = default;

bool CSoundReader::ExceedsTheDecodeLimit() const
{
    const uint32_t align = m_Format.BlockAlign();
    return m_DecodedSize > kMaxDecodedBytes
        || (align && uint64_t(m_DecodedSize / align) > uint64_t(kMaxDecodedSeconds) * m_Format.rate);
}

void CSoundReader::Close()
{
    m_File.reset();
    m_Refusal = nullptr;
}

uint32_t CSoundReader::ReadSplit(void* part1, uint32_t size1, void* part2, uint32_t size2)
{
    const uint32_t first = Read(part1, size1);
    if (first < size1 || !part2 || size2 == 0)
        return first;
    return first + Read(part2, size2);
}

// --- WAVE ---

bool CWaveSoundReader::Open(std::unique_ptr<CFile> file)
{
    Close();
    m_File = std::move(file);
    if (!m_File)
        return false;
    uint8_t header[12];
    if (!m_File->Seek(0) || !ReadExactly(*m_File, header, 12) || ReadLE32(header) != kTagRiff
        || ReadLE32(header + 8) != kTagWave)
        return false;
    const int64_t fileSize = m_File->GetSize();
    const int64_t limit = std::min<int64_t>(int64_t(ReadLE32(header + 4)) + 8, fileSize);

    uint8_t fmt[16] = {};
    bool haveFormat = false, haveData = false, haveFact = false;
    uint32_t dataSize = 0, factFrames = 0, formatSize = 0;
    int64_t formatStart = 0;
    int64_t position = 12;
    while (!(haveFormat && haveData) && position + 8 <= limit) {
        uint8_t chunk[8];
        if (!m_File->Seek(position) || !ReadExactly(*m_File, chunk, 8))
            break;
        const uint32_t id = ReadLE32(chunk);
        const uint32_t size = ReadLE32(chunk + 4);
        const int64_t start = position + 8;
        if (id == kTagFmt) {
            if (size < 16 || !ReadExactly(*m_File, fmt, 16))
                return false;
            formatStart = start;
            formatSize = uint32_t(std::clamp<int64_t>(fileSize - start, 0, size));
            haveFormat = true;
        } else if (id == kTagData) {
            m_DataStart = uint32_t(std::min<int64_t>(start, UINT32_MAX));
            dataSize = uint32_t(std::clamp<int64_t>(fileSize - start, 0, size));
            haveData = true;
        } else if (id == kTagFact && size >= 4) {
            uint8_t count[4];
            if (ReadExactly(*m_File, count, 4)) {
                factFrames = ReadLE32(count);
                haveFact = true;
            }
        }
        int64_t next = start + int64_t(size);
        // Writers disagree on the pad byte after an odd chunk. A pad byte is
        // 0, which no chunk id begins with: skip it unless an id follows the
        // chunk directly.
        if ((size & 1) && !LooksLikeChunkId(*m_File, next))
            ++next;
        position = next;
    }
    if (!haveFormat || !haveData)
        return false;

    const uint16_t tag = ReadLE16(fmt);
    const uint16_t channels = ReadLE16(fmt + 2);
    const uint32_t rate = ReadLE32(fmt + 4);
    const uint16_t bits = ReadLE16(fmt + 14);
    m_SourceSize = dataSize;
    if (tag != kFormatPcm) {
        // The frame count comes from "fact"; a format without one has no
        // size to keep to.
        if (!haveFact || channels == 0)
            return false;
        return OpenCompressed(factFrames, rate, formatStart, formatSize, dataSize);
    }
    m_Format.channels = channels;
    m_Format.rate = rate;
    m_Format.bits = bits;
    if (!m_Format.IsValid())
        return false;
    m_DecodedSize = dataSize - dataSize % m_Format.BlockAlign();
    m_Position = 0;
    return m_File->Seek(m_DataStart);
}

bool CWaveSoundReader::OpenCompressed(uint32_t frames, uint32_t rate, int64_t formatStart, uint32_t formatSize,
                                      uint32_t sourceBytes)
{
    // Decoded whole: the limit holds before anything is decoded (at least
    // 2 bytes a frame).
    if (uint64_t(frames) > uint64_t(kMaxDecodedSeconds) * rate || uint64_t(frames) * 2 > kMaxDecodedBytes) {
        m_Refusal = kTooLong;
        return false;
    }
    // The decoder is handed a file rebuilt from the two chunks as they were
    // checked, so no size it sees claims more than the file holds.
    std::vector<uint8_t> file(20 + size_t(formatSize) + 8 + size_t(sourceBytes));
    WriteLE32(file.data(), kTagRiff);
    WriteLE32(file.data() + 4, uint32_t(file.size() - 8));
    WriteLE32(file.data() + 8, kTagWave);
    WriteLE32(file.data() + 12, kTagFmt);
    WriteLE32(file.data() + 16, formatSize);
    uint8_t* data = file.data() + 20 + formatSize;
    WriteLE32(data, kTagData);
    WriteLE32(data + 4, sourceBytes);
    if (!m_File->Seek(formatStart) || !ReadExactly(*m_File, file.data() + 20, formatSize) || !m_File->Seek(m_DataStart)
        || !ReadExactly(*m_File, data + 8, sourceBytes))
        return false;
    plat::PcmFormat format;
    std::vector<uint8_t> pcm;
    if (!plat::DecodeCompressedWave(file.data(), file.size(), format, pcm) || !format.IsValid())
        return false;
    const uint64_t wanted = uint64_t(frames) * format.BlockAlign();
    if (wanted == 0 || wanted > uint64_t(sourceBytes) * kMaxExpansion || wanted > kMaxDecodedSize)
        return false;
    if (uint64_t(frames) > uint64_t(kMaxDecodedSeconds) * format.rate || wanted > kMaxDecodedBytes) {
        m_Refusal = kTooLong;
        return false;
    }
    m_Decoded.reset(new (std::nothrow) uint8_t[size_t(wanted)]);
    if (!m_Decoded)
        return false;
    // Data that decodes to nothing is all silence (and has no bytes to copy).
    const size_t kept = std::min<size_t>(pcm.size(), size_t(wanted));
    if (kept > 0)
        std::memcpy(m_Decoded.get(), pcm.data(), kept);
    std::memset(m_Decoded.get() + kept, SilenceByte(format), size_t(wanted) - kept);
    m_Format = format;
    m_DecodedSize = uint32_t(wanted);
    m_Position = 0;
    return true;
}

uint32_t CWaveSoundReader::Read(void* buffer, uint32_t bytes)
{
    const uint32_t want = std::min(bytes, m_DecodedSize - m_Position);
    if (want == 0)
        return 0;
    uint32_t got = 0;
    if (m_Decoded) {
        std::memcpy(buffer, m_Decoded.get() + m_Position, want);
        got = want;
    } else if (m_File) {
        got = m_File->Read(buffer, want);
    }
    m_Position += got;
    return got;
}

bool CWaveSoundReader::Seek(uint32_t position)
{
    m_Position = std::min(position, m_DecodedSize);
    return m_Decoded || (m_File && m_File->Seek(int64_t(m_DataStart) + m_Position));
}

void CWaveSoundReader::Close()
{
    m_Decoded.reset();
    m_Position = 0;
    CSoundReader::Close();
}

// --- Ogg Vorbis ---

namespace {

// A file whose last megabyte holds no Ogg page is refused: music ends with
// its last page, or with a tag of a few bytes after it.
constexpr int64_t kOggTailBytes = 1 << 20;
constexpr char kNoLastPage[] = "holds no Ogg page in its last megabyte";
// Each place where bytes that are no page lie between pages takes a run in
// the reader's map; a file broken in more places is refused.
constexpr size_t kMaxOggRuns = 1 << 16;
constexpr char kPagesApart[] = "its Ogg pages lie apart in more than 65536 places";
constexpr char kFalseHeaders[] = "holds more false Ogg page headers than can be checked";
// The most bytes an Ogg page takes: header, 255 lacing values of 255 each.
constexpr int64_t kMaxOggPage = 27 + 255 + 255 * 255;
constexpr uint32_t kOggWalkChunk = 1 << 16;

// Pages that follow one another in the file: where the run starts in the
// file and in what the library sees.
struct OggRun {
    int64_t file;
    int64_t stream;
};

// What the library sees: the file's whole pages up to the end of its last,
// one after another, without the bytes between them (a tag before the first
// page, a damaged page, junk). The library looks for the end of a link by
// reading back from where the next begins a chunk further each time, every
// time up to there, and seeks the same way: bytes that are no page would
// cost the square of their count.
struct OggWindow {
    CFile* file = nullptr;
    // Ends with the end of the last run (file end, size).
    std::vector<OggRun> runs;
    int64_t size = 0;     // bytes of pages
    int64_t position = 0; // in what the library sees
};

// What checking may still spend in vain. A false header claims up to
// kMaxOggPage bytes to be checked, so junk packed with headers would cost
// that many for each of its own bytes; checks in vain are paid from a
// reserve that each byte scanned refills by one, up to its size, so they
// never pass the bytes scanned plus the reserve, and bytes scanned long ago
// (a hole of zeros before the headers) buy nothing. A damaged page wastes
// its own size once, refilled by the bytes scanned through it.
struct OggCheckBudget {
    static constexpr int64_t kReserve = 16 << 20;
    int64_t left = kReserve;
    bool Spent() const { return left < 0; }
};

// Finds whole pages in the bytes fed to it as libogg does (a page counts
// only when its checksum holds), paying the checks in vain from the budget.
class COggPageScanner {
public:
    // Pays from budget, which goes on from where it stands.
    explicit COggPageScanner(OggCheckBudget& budget)
        : m_Budget(budget)
    {
        ogg_sync_init(&m_Sync);
    }
    ~COggPageScanner() { ogg_sync_clear(&m_Sync); }
    COggPageScanner(const COggPageScanner&) = delete;
    COggPageScanner& operator=(const COggPageScanner&) = delete;

    // Room for count more bytes; null when there is none.
    char* Buffer(int64_t count) { return ogg_sync_buffer(&m_Sync, long(count)); }
    void Wrote(int64_t count) { ogg_sync_wrote(&m_Sync, long(count)); }
    // Positive: a page of that many bytes; negative: bytes skipped to the
    // next capture pattern; 0: more bytes are wanted.
    long Next()
    {
        const long left = m_Sync.fill - m_Sync.returned;
        const unsigned char* at = left >= 27 ? m_Sync.data + m_Sync.returned : nullptr;
        int64_t claim = 0;
        if (at && std::memcmp(at, "OggS", 4) == 0 && left >= 27 + at[26]) {
            claim = 27 + at[26];
            for (int i = 0; i < at[26]; ++i)
                claim += at[27 + i];
        }
        const long n = ogg_sync_pageseek(&m_Sync, &m_Page);
        if (n < 0)
            m_Budget.left -= claim;
        if (n != 0)
            m_Budget.left = std::min(m_Budget.left + (n > 0 ? n : -int64_t(n)), OggCheckBudget::kReserve);
        return n;
    }

private:
    ogg_sync_state m_Sync;
    ogg_page m_Page;
    OggCheckBudget& m_Budget;
};

constexpr int64_t kTooManyFalseHeaders = -2;

// Where the last whole page within the file's last kOggTailBytes ends; -1
// when none lies there, kTooManyFalseHeaders when its false headers would
// take too long to check. The tail is read back from the end a chunk at a time, each byte
// once; each chunk is searched for pages that begin in it (those further on
// were searched before), with zeros after the end, where no page begins, to
// settle a header that claims more than is left.
int64_t EndOfLastOggPage(CFile& file, int64_t size)
{
    const int64_t tail = std::clamp<int64_t>(size, 0, kOggTailBytes);
    std::vector<char> bytes(size_t(tail + kMaxOggPage), 0);
    int64_t end = -1;
    OggCheckBudget budget;
    for (int64_t start = tail; end < 0 && start > 0;) {
        const int64_t chunk = std::min<int64_t>(kOggWalkChunk, start);
        start -= chunk;
        if (!file.Seek(size - tail + start) || !ReadExactly(file, bytes.data() + start, uint32_t(chunk)))
            break;
        COggPageScanner scanner(budget);
        char* buffer = scanner.Buffer(int64_t(bytes.size()) - start);
        if (!buffer)
            break;
        std::memcpy(buffer, bytes.data() + start, bytes.size() - size_t(start));
        scanner.Wrote(int64_t(bytes.size()) - start);
        int64_t offset = start;
        for (long n; offset < start + chunk && (n = scanner.Next()) != 0;) {
            if (n > 0 && offset + n <= tail)
                end = size - tail + offset + n;
            offset += n > 0 ? n : -n;
            if (budget.Spent())
                return kTooManyFalseHeaders;
        }
    }
    return end;
}

// Maps the whole pages before end, reading the file once; answers why the
// file is refused, or null.
const char* MapOggPages(CFile& file, int64_t end, OggWindow& window)
{
    window.runs.clear();
    window.size = 0;
    if (!file.Seek(0))
        return nullptr;
    int64_t offset = 0, fed = 0;
    OggCheckBudget budget;
    COggPageScanner scanner(budget);
    bool inRun = false;
    const char* refusal = nullptr;
    while (offset < end && !refusal) {
        const long n = scanner.Next();
        if (n == 0) {
            // A header near the end may claim more than is left: zeros after
            // the end, where no page begins, settle it.
            const int64_t want = std::min<int64_t>(kOggWalkChunk, end + kMaxOggPage - fed);
            char* buffer = want > 0 ? scanner.Buffer(want) : nullptr;
            if (!buffer)
                break;
            const uint32_t real = uint32_t(std::clamp<int64_t>(end - fed, 0, want));
            const uint32_t got = real ? file.Read(buffer, real) : 0;
            if (got < real)
                end = fed + got;
            std::memset(buffer + got, 0, size_t(want - got));
            scanner.Wrote(want);
            fed += want;
            continue;
        }
        const bool whole = n > 0 && offset + n <= end;
        if (whole && !inRun) {
            if (window.runs.size() == kMaxOggRuns)
                refusal = kPagesApart;
            window.runs.push_back({offset, window.size});
        }
        if (whole)
            window.size += n;
        inRun = whole;
        offset += n > 0 ? n : -n;
        if (budget.Spent())
            refusal = kFalseHeaders;
    }
    if (!window.runs.empty())
        window.runs.push_back({window.runs.back().file + (window.size - window.runs.back().stream), window.size});
    return refusal;
}

size_t OggRead(void* bytes, size_t size, size_t count, void* source)
{
    auto& window = *static_cast<OggWindow*>(source);
    if (size == 0 || window.position >= window.size)
        return 0;
    const int64_t want = std::min<int64_t>({int64_t(size * count), window.size - window.position, INT32_MAX});
    char* out = static_cast<char*>(bytes);
    int64_t done = 0;
    while (done < want) {
        // The run holding the position: the last that starts at or before it.
        const auto next = std::upper_bound(window.runs.begin(), window.runs.end(), window.position,
                                           [](int64_t at, const OggRun& run) { return at < run.stream; });
        const OggRun& run = next[-1];
        const int64_t at = run.file + (window.position - run.stream);
        const uint32_t part = uint32_t(std::min(want - done, next->stream - window.position));
        if (window.file->GetPosition() != at && !window.file->Seek(at))
            break;
        const uint32_t got = window.file->Read(out + done, part);
        done += got;
        window.position += got;
        if (got < part)
            break;
    }
    return size_t(done) / size;
}

int OggSeek(void* source, ogg_int64_t offset, int whence)
{
    auto& window = *static_cast<OggWindow*>(source);
    int64_t position = offset;
    if (whence == SEEK_CUR)
        position += window.position;
    else if (whence == SEEK_END)
        position += window.size;
    if (position < 0 || position > window.size)
        return -1;
    window.position = position;
    return 0;
}

long OggTell(void* source)
{
    return long(static_cast<OggWindow*>(source)->position);
}

// The reader owns the file; the decoder never closes it.
const ov_callbacks kOggCallbacks = {OggRead, OggSeek, nullptr, OggTell};

} // namespace

struct COggSoundReader::Decoder {
    OggVorbis_File file;
    OggWindow window;
};

COggSoundReader::COggSoundReader()
    : m_Decoder(std::make_unique<Decoder>())
{
}

COggSoundReader::~COggSoundReader()
{
    Close();
}

bool COggSoundReader::Open(std::unique_ptr<CFile> file)
{
    Close();
    m_File = std::move(file);
    if (!m_File)
        return false;
    const int64_t fileSize = m_File->GetSize();
    const int64_t lastPage = EndOfLastOggPage(*m_File, fileSize);
    if (lastPage == kTooManyFalseHeaders) {
        m_Refusal = kFalseHeaders;
        return false;
    }
    if (lastPage < 0) {
        // A smaller file was all searched: not Ogg at all.
        if (fileSize > kOggTailBytes)
            m_Refusal = kNoLastPage;
        return false;
    }
    m_Refusal = MapOggPages(*m_File, lastPage, m_Decoder->window);
    if (m_Refusal)
        return false;
    m_Decoder->window.file = m_File.get();
    m_Decoder->window.position = 0;
    if (m_Decoder->window.runs.empty()
        || ov_open_callbacks(&m_Decoder->window, &m_Decoder->file, nullptr, 0, kOggCallbacks) != 0)
        return false;
    m_Opened = true;
    const vorbis_info* info = ov_info(&m_Decoder->file, -1);
    const ogg_int64_t frames = ov_pcm_total(&m_Decoder->file, -1);
    if (!info || frames < 0 || info->rate <= 0 || (info->channels != 1 && info->channels != 2))
        return false;
    // The frame count is the last page's claim: its pages cannot hold more
    // than their bytes can carry.
    if (uint64_t(frames) > uint64_t(m_Decoder->window.size) * kMaxVorbisFramesPerByte) {
        m_Refusal = kClaimsTooMuch;
        return false;
    }
    const uint64_t size = uint64_t(frames) * uint64_t(info->channels) * 2;
    if (size > kMaxDecodedSize)
        return false;
    m_Format.channels = uint16_t(info->channels);
    m_Format.rate = uint32_t(info->rate);
    m_Format.bits = 16;
    // The library leaves a chained stream at its last link.
    if (ov_streams(&m_Decoder->file) > 1 && ov_raw_seek(&m_Decoder->file, 0) != 0)
        return false;
    m_DecodedSize = uint32_t(size);
    m_SourceSize = uint32_t(std::clamp<int64_t>(fileSize, 0, UINT32_MAX));
    return true;
}

uint32_t COggSoundReader::Read(void* buffer, uint32_t bytes)
{
    if (!m_Opened)
        return 0;
    char* out = static_cast<char*>(buffer);
    uint32_t got = 0;
    int holes = 0;
    while (got < bytes) {
        int section = 0;
        const int want = int(std::min<uint32_t>(bytes - got, INT_MAX));
        const long result = ov_read(&m_Decoder->file, out + got, want, 0, 2, 1, &section);
        if (result == OV_HOLE || result == OV_EBADLINK) {
            if (++holes > 64)
                break;
            continue;
        }
        if (result <= 0)
            break; // end of data, or an error the decoder cannot step over
        // A chained stream whose links differ in layout cannot continue the
        // sound.
        const vorbis_info* info = ov_info(&m_Decoder->file, section);
        if (!info || info->channels != m_Format.channels)
            break;
        got += uint32_t(result);
    }
    return got;
}

uint32_t COggSoundReader::Tell()
{
    if (!m_Opened)
        return 0;
    const ogg_int64_t frame = ov_pcm_tell(&m_Decoder->file);
    return frame < 0 ? 0 : uint32_t(std::min<uint64_t>(uint64_t(frame) * m_Format.BlockAlign(), m_DecodedSize));
}

bool COggSoundReader::Seek(uint32_t position)
{
    if (!m_Opened)
        return false;
    const uint32_t align = m_Format.BlockAlign();
    return align && ov_pcm_seek(&m_Decoder->file, std::min(position, m_DecodedSize) / align) == 0;
}

void COggSoundReader::Close()
{
    if (m_Opened)
        ov_clear(&m_Decoder->file);
    m_Opened = false;
    m_Decoder->window = {};
    CSoundReader::Close();
}

// --- Factory ---

namespace {
constexpr char kNotASound[] = "is not a sound this program plays";
} // namespace

std::unique_ptr<CSoundReader> OpenSoundReader(std::unique_ptr<CFile> file)
{
    if (!file)
        return nullptr;
    uint8_t header[12] = {};
    const bool whole = file->Read(header, 12) == 12;
    file->Seek(0);
    std::unique_ptr<CSoundReader> reader;
    if (whole && ReadLE32(header) == kTagRiff && ReadLE32(header + 8) == kTagWave)
        reader = std::make_unique<CWaveSoundReader>();
    else
        reader = std::make_unique<COggSoundReader>();
    const CJString name = file->GetFileName();
    if (!reader->Open(std::move(file))) {
        // A file that opens but does not play is damaged data: said like any
        // item left out.
        ReportItemLeftOut(name, CJString(reader->GetRefusal() ? reader->GetRefusal() : kNotASound));
        return nullptr;
    }
    return reader;
}

std::unique_ptr<CSoundReader> OpenSoundReader(const char* name, uint32_t openFlags)
{
    auto file = std::make_unique<CFile>();
    if (!file->Open(name, openFlags | FILE_READ))
        return nullptr;
    return OpenSoundReader(std::move(file));
}
