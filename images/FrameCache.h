#pragma once
// Frame caches: a frame built from its source image is kept per frame in
// "Cache/<folder>/<name>.Frame" and read from there while neither the
// source nor the frame's properties file "<name>.txt" is newer.
//
// ".Frame" file, little-endian:
//   i32 offset x, i32 offset y
//   u8  body kind: 1 lossless planes, 0 JPEG with an alpha plane
//   body
// Lossless body: a compressed block (level 9) of four planes of w x h bytes,
// red, green, blue, alpha, each in pixel order and delta-coded (first byte
// kept, each later byte stored as value - previous mod 256); then u32 w,
// u32 h. A body of more than 256 MB of pixels is refused before its planes
// are decoded; its sides may be up to 65535 (sequence atlases are wide).
// JPEG body: u32 L counted from this field to the end of the JPEG data; the
// JPEG stream; a compressed block (level 9) of the delta-coded alpha plane.
// The JPEG body is written only when (jpeg + 200) x 100 / 95 < lossless in
// bytes, and never under the no-JPEG flag.
//
// Frame record (".frm"), the ready-to-draw form other caches embed: a
// 36-byte header, then for the main block and extra blocks 1-4 whose size is
// not 0 the block's bytes followed by its row table (height x u32).
//   u8 version '5'; u8 bit depth; i16 -offset x; i16 -offset y; u16 width;
//   u16 height; u16 reserved; u32 flag word; u32 main size; u32 extra sizes 1-4
// A plain frame's main size is pitch x height x bytes per pixel; a run-length
// block's size is its own first u32.

#include <cstdint>

class CFile;
class CFrame;
class CFrameFilter;

inline constexpr uint8_t FRAME_FILE_VERSION = '5';

// Process-wide build settings; each Set answers the value it replaces.
bool SetFrameOptionFlag(bool compressedCache);
bool GetFrameOptionFlag();
bool SetFrameNoJPEG(bool noJpeg);
bool GetFrameNoJPEG();
bool SetFrameLossless(bool lossless);
bool GetFrameLossless();
uint32_t SetFrameJPEGQuality(uint32_t quality);
uint32_t GetFrameJPEGQuality();

// "Cache/<folder>/<name>.Frame" ("Cache/<name>.Frame" without a folder).
void GetFrameCachePath(char* out, uint32_t size, const char* folder, const char* name);

bool ReadFrameCacheFile(CFrame& frame, const char* folder, const char* name);
bool WriteFrameCacheFile(CFrame& frame, const char* folder, const char* name, uint32_t quality, bool lossless);
// The body alone; the frame written must be 32-bit. A body whose sizes
// disagree (planes, alpha plane, dimensions) is refused with false.
bool ReadFrameBody(CFrame& frame, CFile& file);
bool WriteFrameBody(CFrame& frame32, CFile& file, uint32_t quality, bool lossless);
// Whether a JPEG body of jpegSize bytes wins over a lossless one.
bool PrefersJpegBody(double jpegSize, double losslessSize);

// False for another version, or a record the file does not hold whole or
// whose blocks do not fit the header; a block size above 16,000,000 is a
// fatal data error.
bool ReadFrameRecord(CFrame& frame, CFile& file);
bool WriteFrameRecord(CFrame& frame, CFile& file);
// "FRAME" under the compressed cache flag, else by the frame bit depth:
// "frm" (8), "frm16", "frm24", "frm32"; null for any other depth.
const char* GetFrameRecordExtension();
