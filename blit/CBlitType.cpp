#include "blit/CBlitType.h"

#include "blit/CFrameInterface.h"
#include "blit/ColorTables.h"
#include "foundation/CFile.h"

#include <cmath>
#include <cstring>

uint32_t BitDepthFromFlags(uint32_t flags)
{
    switch (flags & kFrameFormatMask) {
    case kFrameFormat8:
        return 8;
    case kFrameFormat16:
        return 16;
    case kFrameFormat24:
        return 24;
    case kFrameFormat32:
        return 32;
    default:
        return 0;
    }
}

CBlitType::CBlitType() = default;

CBlitType::~CBlitType() = default;

BlitFunction CBlitType::GetBlitFunction(const CFrameInterface& source, const CFrameInterface& destination)
{
    return FindBlitFunction(source.GetFlags(), destination.GetFlags());
}

BlitFunction CBlitType::FindBlitFunction(uint32_t sourceFlags, uint32_t destinationFlags)
{
    constexpr uint32_t keyMask = kFrameFormatMask | kFrameStorageMask;
    const uint32_t key = (sourceFlags & keyMask) << 16 | (destinationFlags & keyMask);
    if (key == m_CachedKey)
        return m_CachedFunction;
    const uint32_t sourceDepth = BitDepthFromFlags(sourceFlags);
    const uint32_t destinationDepth = BitDepthFromFlags(destinationFlags);
    BlitFunction found = nullptr;
    for (const CBlitFuncInfo& info : m_BlitFunctions)
        if (info.sourceDepth == sourceDepth && info.sourceRle == (sourceFlags & kFrameStorageMask)
            && info.destinationDepth == destinationDepth
            && info.destinationRle == (destinationFlags & kFrameStorageMask)) {
            found = info.function;
            break;
        }
    m_CachedKey = key;
    m_CachedFunction = found;
    return found;
}

void CBlitType::AddBlitFunction(uint32_t sourceDepth, uint32_t sourceRle, uint32_t destinationDepth,
                                uint32_t destinationRle, BlitFunction function)
{
    for (CBlitFuncInfo& info : m_BlitFunctions)
        if (info.sourceDepth == sourceDepth && info.sourceRle == sourceRle && info.destinationDepth == destinationDepth
            && info.destinationRle == destinationRle) {
            info.function = function;
            return;
        }
    m_BlitFunctions.push_back({sourceDepth, sourceRle, destinationDepth, destinationRle, function});
}

void CBlitType::SetOpacity(float opacity)
{
    m_Opacity = opacity;
    const float scaled = opacity * 255.0f;
    uint32_t level = 0;
    if (scaled >= 255.0f)
        level = 255;
    else if (scaled > 0.0f) // NaN and negatives stay 0
        level = uint32_t(std::nearbyintf(scaled));
    m_Opacity255 = level;
    m_BlendLevel = GetColorTables().LevelTable[level];
}

void CBlitType::WriteState(CFileBuf& buffer)
{
    uint32_t bits;
    std::memcpy(&bits, &m_Opacity, 4);
    const uint8_t bytes[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
    buffer.Write(bytes, 4);
}

void CBlitType::ReadState(CFileBuf& buffer)
{
    uint8_t bytes[4];
    if (buffer.Read(bytes, 4) != 4)
        return;
    const uint32_t bits
        = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    float opacity;
    std::memcpy(&opacity, &bits, 4);
    SetOpacity(opacity);
}
