#include "render/CBatchedProxyFrame.h"

#include "blit/CBlitType.h"

#include <cstring>

OMBRISALT_IMPLEMENT_CLASS(CBatchedProxyFrame, 0.0)
void CBatchedProxyFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

enum class Step : uint32_t { End = 0, Blit, FillRect, ClearMappedRect, DrawLine, DrawLineFloat, SetPixel, RemapRect };

} // namespace

CBatchedProxyFrame::CBatchedProxyFrame()
{
    InitDeclaredProperties();
}

CBatchedProxyFrame::~CBatchedProxyFrame()
{
    DestroyDeclaredProperties();
}

void CBatchedProxyFrame::Put32(uint32_t value)
{
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    m_Recording.Write(bytes, 4);
}

void CBatchedProxyFrame::PutRect(const CRect& rect)
{
    Put32(uint32_t(rect.left));
    Put32(uint32_t(rect.top));
    Put32(uint32_t(rect.right));
    Put32(uint32_t(rect.bottom));
}

void CBatchedProxyFrame::PutFloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    Put32(bits);
}

void CBatchedProxyFrame::PutPointer(const void* pointer)
{
    const uint64_t value = reinterpret_cast<uintptr_t>(pointer);
    Put32(uint32_t(value));
    Put32(uint32_t(value >> 32));
}

bool CBatchedProxyFrame::Get32(uint32_t& value)
{
    uint8_t bytes[4];
    if (m_Recording.Read(bytes, 4) != 4)
        return false;
    value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

bool CBatchedProxyFrame::GetRect(CRect& rect)
{
    uint32_t v[4];
    for (uint32_t& word : v)
        if (!Get32(word))
            return false;
    rect = {int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3])};
    return true;
}

bool CBatchedProxyFrame::GetFloat(float& value)
{
    uint32_t bits;
    if (!Get32(bits))
        return false;
    std::memcpy(&value, &bits, 4);
    return true;
}

bool CBatchedProxyFrame::GetPointer(void*& pointer)
{
    uint32_t low, high;
    if (!Get32(low) || !Get32(high))
        return false;
    pointer = reinterpret_cast<void*>(uintptr_t(uint64_t(high) << 32 | low));
    return true;
}

// Recorded colours replay opaque: the recorded alpha is not used. The
// decoded colour is reused while consecutive colour words are equal.
bool CBatchedProxyFrame::GetColor(CColor& colour)
{
    uint32_t word;
    if (!Get32(word))
        return false;
    if (!m_HaveLastColor || word != m_LastColorWord) {
        m_LastColor.Set(uint8_t(word >> 16), uint8_t(word >> 8), uint8_t(word), 255);
        m_LastColorWord = word;
        m_HaveLastColor = true;
    }
    colour = m_LastColor;
    return true;
}

void CBatchedProxyFrame::Clear()
{
    m_Recording.Empty();
}

void CBatchedProxyFrame::EndRecording()
{
    Put32(uint32_t(Step::End));
}

void CBatchedProxyFrame::ClearMappedRect(const CRect& rect)
{
    Put32(uint32_t(Step::ClearMappedRect));
    PutRect(rect);
}

bool CBatchedProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    Put32(uint32_t(Step::Blit));
    PutPointer(&source);
    PutRect(s);
    PutRect(d);
    PutPointer(&blitType);
    blitType.WriteState(m_Recording);
    return true;
}

void CBatchedProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    Put32(uint32_t(Step::FillRect));
    PutRect(rect);
    Put32(colour.GetColorWord());
}

void CBatchedProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    Put32(uint32_t(Step::DrawLine));
    Put32(uint32_t(x1));
    Put32(uint32_t(y1));
    Put32(uint32_t(x2));
    Put32(uint32_t(y2));
    Put32(colour.GetColorWord());
}

void CBatchedProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    Put32(uint32_t(Step::DrawLineFloat));
    PutFloat(x1);
    PutFloat(y1);
    PutFloat(x2);
    PutFloat(y2);
    PutFloat(width);
    Put32(colour.GetColorWord());
}

void CBatchedProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    Put32(uint32_t(Step::SetPixel));
    Put32(uint32_t(x));
    Put32(uint32_t(y));
    Put32(colour.GetColorWord());
}

void CBatchedProxyFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    Put32(uint32_t(Step::RemapRect));
    PutRect(rect);
    PutPointer(table);
}

void CBatchedProxyFrame::Replay()
{
    const int64_t end = m_Recording.Tell();
    m_Recording.Seek(0);
    m_HaveLastColor = false;
    uint32_t tag;
    while (Get32(tag) && Step(tag) != Step::End) {
        CRect a{}, b{};
        CColor colour;
        bool complete = false;
        switch (Step(tag)) {
        case Step::Blit: {
            void* source = nullptr;
            void* type = nullptr;
            if (!GetPointer(source) || !GetRect(a) || !GetRect(b) || !GetPointer(type))
                break;
            auto& blitType = *static_cast<CBlitType*>(type);
            m_Scratch.Seek(0);
            blitType.WriteState(m_Scratch);
            blitType.ReadState(m_Recording);
            m_Source->Blit(*static_cast<CFrameInterface*>(source), a, b, blitType);
            m_Scratch.Seek(0);
            blitType.ReadState(m_Scratch);
            complete = true;
            break;
        }
        case Step::FillRect:
            if ((complete = GetRect(a) && GetColor(colour)))
                m_Source->FillRect(a, colour);
            break;
        case Step::ClearMappedRect:
            if ((complete = GetRect(a)))
                m_Source->ClearRect(a);
            break;
        case Step::DrawLine:
            if ((complete = GetRect(a) && GetColor(colour)))
                m_Source->DrawLine(a.left, a.top, a.right, a.bottom, colour);
            break;
        case Step::DrawLineFloat: {
            float v[5];
            complete = true;
            for (float& f : v)
                complete = complete && GetFloat(f);
            if ((complete = complete && GetColor(colour)))
                m_Source->DrawLineFloat(v[0], v[1], v[2], v[3], colour, v[4]);
            break;
        }
        case Step::SetPixel: {
            uint32_t x, y;
            if ((complete = Get32(x) && Get32(y) && GetColor(colour)))
                m_Source->SetPixel(int32_t(x), int32_t(y), colour);
            break;
        }
        case Step::RemapRect: {
            void* table = nullptr;
            if ((complete = GetRect(a) && GetPointer(table)))
                m_Source->RemapRect(a, static_cast<const uint8_t*>(table));
            break;
        }
        case Step::End:
            break;
        }
        if (!complete)
            break;
    }
    m_Recording.Seek(end);
}
