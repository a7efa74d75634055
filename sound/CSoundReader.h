#pragma once
// Sound readers turn a sound file into 8-bit unsigned or 16-bit signed PCM on
// request: loaded sounds read a whole file through one, the stream pump a
// piece at a time. OpenSoundReader picks the kind from the first 12 bytes:
// "RIFF", a size and "WAVE" make a WAVE reader, anything else is tried as
// Ogg Vorbis.
//
// WAVE layout: "RIFF", u32 size of what follows, "WAVE", then chunks of a
// four-character id, a u32 size and the data, padded to even length. "fmt "
// (at least 16 bytes): u16 format tag, u16 channels, u32 frames per second,
// u32 bytes per second, u16 block align, u16 bits per sample. "data": the
// samples. "fact" (compressed formats): u32 frames. Tag 1 is plain PCM and is
// read straight from the file; any other tag is decoded whole at open by the
// platform's WAVE decoder and padded with silence, or cut, to the frame count
// of "fact".
//
// Every size in a file is untrusted: the data chunk is cut to the bytes the
// file holds, a compressed file's decoded size is held to 8 bytes per source
// byte, an Ogg Vorbis file may claim at most 2048 frames per byte of its
// pages (an audio packet takes at least a lacing byte and a body byte and
// yields at most 4096 frames) and is refused when it claims more, and
// formats the mixer cannot play (channels other than 1 or 2, PCM bits other
// than 8 or 16) are refused. An Ogg file is read only up to the end of the
// last page in its last megabyte (what follows is junk), and refused when
// that megabyte holds no page. Before that end, the decoder sees only whole
// pages whose checksum holds, one after another: bytes before the first
// page, a damaged page and junk between pages are left out (a file broken in
// more than 65536 places is refused, as is one whose false page headers
// would have more checked in vain than the bytes scanned up to them, which
// refill a reserve of 16 MB), so a chained stream's links follow one another.
// A sound decoded whole into memory (CSound, and a compressed WAVE, which is
// decoded at open) may last at most ten minutes at its own rate and take at
// most the bytes of ten minutes of 48 kHz 16-bit stereo (115.2 MB), so a
// high claimed rate buys no more memory; a stream decodes piece by piece and
// has no limit.
//
// Positions (Tell, Seek) count decoded bytes from the start of the sound for
// every kind. A reader is used by one thread at a time.

#include "foundation/CMemoryPool.h"
#include "platform/CAudioMixer.h"

#include <cstdint>
#include <memory>

class CFile;

class CSoundReader : public CPooledClassBase {
public:
    // The largest sound decoded whole into memory: ten minutes, and no more
    // bytes than ten minutes of 48 kHz 16-bit stereo.
    static constexpr uint32_t kMaxDecodedSeconds = 600;
    static constexpr uint32_t kMaxDecodedBytes = kMaxDecodedSeconds * 48000 * 4;
    // The most frames an Ogg Vorbis file may claim per byte of its pages.
    static constexpr uint64_t kMaxVorbisFramesPerByte = 2048;

    CSoundReader() = default;
    CSoundReader(const CSoundReader&) = delete;
    CSoundReader& operator=(const CSoundReader&) = delete;
    virtual ~CSoundReader();

    // False when the file is not a sound this reader can play.
    virtual bool Open(std::unique_ptr<CFile> file) = 0;
    // Bytes written to buffer; fewer at the end of the data.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
    virtual uint32_t Tell() = 0;
    // A position past the end stands at the end.
    virtual bool Seek(uint32_t position) = 0;
    virtual void Close();

    // Decoded bytes of the whole sound.
    uint32_t GetSize() const { return m_DecodedSize; }
    // Encoded bytes: the data chunk, or the whole Ogg file.
    uint32_t GetSourceSize() const { return m_SourceSize; }
    const plat::PcmFormat& GetFormat() const { return m_Format; }
    // Whether the whole sound is too large to decode into memory (above).
    bool ExceedsTheDecodeLimit() const;
    // Why Open refused a file that is a sound of its kind; null otherwise.
    const char* GetRefusal() const { return m_Refusal; }

    // Fills part1 and then part2 (the two parts of a locked ring region);
    // answers the bytes read into both.
    uint32_t ReadSplit(void* part1, uint32_t size1, void* part2, uint32_t size2);

protected:
    plat::PcmFormat m_Format;
    std::unique_ptr<CFile> m_File;
    uint32_t m_DecodedSize = 0;
    uint32_t m_SourceSize = 0;
    const char* m_Refusal = nullptr;
};

class CWaveSoundReader final : public CSoundReader {
public:
    bool Open(std::unique_ptr<CFile> file) override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    uint32_t Tell() override { return m_Position; }
    bool Seek(uint32_t position) override;
    void Close() override;

private:
    bool OpenCompressed(uint32_t frames, uint32_t rate, int64_t formatStart, uint32_t formatSize, uint32_t sourceBytes);

    uint32_t m_DataStart = 0;
    uint32_t m_Position = 0;              // decoded bytes handed out
    std::unique_ptr<uint8_t[]> m_Decoded; // compressed formats, decoded whole
};

class COggSoundReader final : public CSoundReader {
public:
    COggSoundReader();
    ~COggSoundReader() override;
    bool Open(std::unique_ptr<CFile> file) override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    uint32_t Tell() override;
    bool Seek(uint32_t position) override;
    void Close() override;

private:
    struct Decoder;
    std::unique_ptr<Decoder> m_Decoder;
    bool m_Opened = false;
};

// Opens name (FILE_READ is added to the flags) and the reader its first bytes
// ask for; null when the file does not open or the reader refuses it (a
// refusal for a limit above is reported on the debug channel with the name).
std::unique_ptr<CSoundReader> OpenSoundReader(const char* name, uint32_t openFlags);
// The same over a file already open.
std::unique_ptr<CSoundReader> OpenSoundReader(std::unique_ptr<CFile> file);
