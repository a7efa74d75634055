#pragma once
// A stored-zip writer shared by the tests, the benchmarks and the fuzz
// targets, so none of them depends on external tools. It also makes the
// variants standard tools do not: the alternative end signature, bytes before
// the first member, lying offsets and sizes.
//
// Layout: each member's 30-byte local header, name, extra and data; then one
// 46-byte directory record per member; then the 22-byte end record.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct Member {
    std::string name;
    std::string data;
    uint16_t method = 0;
    std::string localExtra{};
    std::string centralExtra{};
    std::string comment{};
    uint32_t sizeOverride = 0;         // when non-zero, written as both sizes
    uint32_t packedSizeOverride = 0;   // when non-zero, the compressed size only
    uint32_t unpackedSizeOverride = 0; // when non-zero, the uncompressed size only
};

struct ZipOptions {
    uint32_t endSignature = 0x06054B50;
    std::string archiveComment{};
    std::string leading{}; // bytes before the first member (offsets stay absolute)
    int64_t directoryOffsetShift = 0;
};

namespace zipbuilder {

inline void Add16(std::string& out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

inline void Add32(std::string& out, uint32_t v)
{
    Add16(out, v & 0xFFFF);
    Add16(out, v >> 16);
}

// The fields a local header and its directory record share, from the flags
// word to the name length.
inline void AddSharedFields(std::string& out, const Member& m)
{
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
    const uint32_t size = m.sizeOverride ? m.sizeOverride : uint32_t(m.data.size());
    Add16(out, 0);
    Add16(out, m.method);
    Add16(out, 0x6000); // time
    Add16(out, 0x5A21); // date
    Add32(out, crc);
    Add32(out, m.packedSizeOverride ? m.packedSizeOverride : size);
    Add32(out, m.unpackedSizeOverride ? m.unpackedSizeOverride : size);
    Add16(out, uint32_t(m.name.size()));
}

} // namespace zipbuilder

inline std::string BuildZip(const std::vector<Member>& members, const ZipOptions& options = ZipOptions())
{
    using zipbuilder::Add16;
    using zipbuilder::Add32;
    std::string out = options.leading;
    std::vector<uint32_t> offsets;
    for (const Member& m : members) {
        offsets.push_back(uint32_t(out.size()));
        Add32(out, 0x04034B50);
        Add16(out, 10); // version needed
        zipbuilder::AddSharedFields(out, m);
        Add16(out, uint32_t(m.localExtra.size()));
        out += m.name + m.localExtra + m.data;
    }
    const uint32_t directory = uint32_t(out.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const Member& m = members[i];
        Add32(out, 0x02014B50);
        Add16(out, 20); // made by
        Add16(out, 10); // version needed
        zipbuilder::AddSharedFields(out, m);
        Add16(out, uint32_t(m.centralExtra.size()));
        Add16(out, uint32_t(m.comment.size()));
        Add16(out, 0); // disk
        Add16(out, 0); // internal attributes
        Add32(out, 0); // external attributes
        Add32(out, offsets[i]);
        out += m.name + m.centralExtra + m.comment;
    }
    const uint32_t directorySize = uint32_t(out.size()) - directory;
    Add32(out, options.endSignature);
    Add16(out, 0);
    Add16(out, 0);
    Add16(out, uint32_t(members.size()));
    Add16(out, uint32_t(members.size()));
    Add32(out, directorySize);
    Add32(out, uint32_t(int64_t(directory) + options.directoryOffsetShift));
    Add16(out, uint32_t(options.archiveComment.size()));
    out += options.archiveComment;
    return out;
}

inline uint16_t Le16(const std::string& bytes, size_t at)
{
    return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

inline uint32_t Le32(const std::string& bytes, size_t at)
{
    return uint32_t(Le16(bytes, at)) | uint32_t(Le16(bytes, at + 2)) << 16;
}
