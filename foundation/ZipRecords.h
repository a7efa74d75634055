#pragma once
// The fixed records of a zip archive. Each is read and written field by
// field, little-endian, in the order of the file, never by overlaying a
// struct; sizes count the signature.
//   local header    0x04034B50, then name, extra, data
//   central record  0x02014B50, then name, extra, comment
//   end record      0x06054B50 (or the engine's own 0x06055651), then comment

#include <cstdint>

inline constexpr uint32_t kZipLocalSignature = 0x04034B50;
inline constexpr uint32_t kZipCentralSignature = 0x02014B50;
inline constexpr uint32_t kZipEndSignature = 0x06054B50;
inline constexpr uint32_t kZipAlternativeEndSignature = 0x06055651; // "QV56"
inline constexpr uint32_t kZipDescriptorSignature = 0x08074B50;
// General-purpose flag: CRC and sizes follow the data in a descriptor
// (12 bytes, or 16 with its optional signature).
inline constexpr uint16_t kZipDataDescriptorFlag = 0x0008;
// Only stored members are read.
inline constexpr uint16_t kZipMethodStored = 0;
// Counts, sizes and offsets of an archive without the 64-bit extension.
inline constexpr uint32_t kZipMaxEntries = 0xFFFF;
inline constexpr int64_t kZipMaxOffset = 0xFFFFFFFFLL;

bool IsZipEndSignature(uint32_t signature);

struct ZipLocalHeader {
    static constexpr uint32_t kSize = 30;

    uint32_t signature = kZipLocalSignature;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0; // DOS time and date
    uint16_t date = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;

    void Read(const uint8_t* bytes);
    void Write(uint8_t* bytes) const;
};

struct ZipCentralRecord {
    static constexpr uint32_t kSize = 46;

    uint32_t signature = kZipCentralSignature;
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    uint16_t diskStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;

    void Read(const uint8_t* bytes);
    void Write(uint8_t* bytes) const;
};

struct ZipEndRecord {
    static constexpr uint32_t kSize = 22;

    uint32_t signature = kZipEndSignature;
    uint16_t diskNumber = 0;
    uint16_t directoryDisk = 0;
    uint16_t diskEntries = 0;
    uint16_t totalEntries = 0;
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    uint16_t commentLength = 0;

    void Read(const uint8_t* bytes);
    void Write(uint8_t* bytes) const;
};
