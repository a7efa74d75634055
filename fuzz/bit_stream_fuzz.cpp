// The bit stream reader. Input: one byte n, n operation bytes, then the
// message. The operations (bits, ranged values, aligned bytes, strings,
// list values) read the message; what they read, written again to a new
// stream, must read back the same. The message is then also read as the
// packed form of a record over a baseline record, and the record read must
// travel again, against the baseline and against nothing, unchanged.
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seeds there on the first
// input. Fatal reports end the reading of the message; while reading back what was
// written they are faults.
#include "FuzzClasses.h"
#include "foundation/FatalError.h"
#include "objects/CNetMessageStream.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

CDynamicList& Single()
{
    static CDynamicList* list = [] {
        auto* made = new CDynamicList();
        made->Add("Only");
        return made;
    }();
    return *list;
}

// The record every message is read over.
CFuzzRecord& Baseline()
{
    static CFuzzRecord* baseline = [] {
        const CFuzzDynamic& dynamic = RegisterFuzzClasses();
        auto* made = new CFuzzRecord();
        made->m_Count = 12;
        made->m_Text = "baseline";
        // Deltas compare floats by value, so -0 over a 0 here would arrive
        // as 0, which the text tells apart: keep the baseline's floats non-zero.
        made->m_Place = CFPoint{0.25f, -1.0f};
        made->m_Child = new CFuzzLeaf();
        SetFuzzArrayCount(*made, "Sizes", 2);
        made->m_Sizes[0] = 4;
        made->m_Sizes[1] = -4;
        SetFuzzArrayCount(*made, "Parts", 1);
        made->m_Parts[0] = new CFuzzPart();
        *static_cast<int32_t*>(made->GetOrAddDynamicValue(dynamic.tag)) = 3;
        return made;
    }();
    return *baseline;
}

std::string TextOf(CObject* object)
{
    return ObjectToText(object, IdMode::WithoutIds);
}

std::unique_ptr<CObject> CopyOfBaseline()
{
    return std::unique_ptr<CObject>(Baseline().Clone());
}

struct Range {
    int32_t minimum;
    int32_t maximum;
};
constexpr Range kRanges[]
    = {{0, 5}, {-10, 5}, {7, 7},
       {5, 0}, {0, 255}, {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}};

enum class Op : uint8_t { Bits, Bool, Ranged, Byte, Uint32, EightBytes, String, Text, Kind, Single, Count };

struct ReadValue {
    Op op;
    uint32_t parameter;
    uint32_t first;
    uint32_t second;
    std::string text;
    CJString wide;
};

ReadValue Read(CNetMessageStream& stream, uint8_t code)
{
    ReadValue value{Op(code % uint8_t(Op::Count)), uint32_t(code / uint8_t(Op::Count)), 0, 0, {}, {}};
    switch (value.op) {
    case Op::Bits:
        value.parameter %= 33;
        value.first = stream.NetStreamReadBits(value.parameter);
        if (value.parameter < 32 && value.first >> value.parameter)
            std::abort();
        break;
    case Op::Bool:
        value.first = stream.ReadBool();
        break;
    case Op::Ranged: {
        value.parameter %= std::size(kRanges);
        const Range& range = kRanges[value.parameter];
        const int32_t read = stream.ReadRanged(range.minimum, range.maximum);
        if (range.maximum >= range.minimum && (read < range.minimum || read > range.maximum))
            std::abort();
        value.first = uint32_t(read);
        break;
    }
    case Op::Byte:
        value.first = stream.ReadByte();
        break;
    case Op::Uint32:
        value.first = stream.ReadUint32();
        break;
    case Op::EightBytes:
        stream.ReadEightBytes(value.first, value.second);
        break;
    case Op::String:
        value.text = stream.ReadString();
        break;
    case Op::Text:
        value.first = stream.ReadText(value.wide);
        break;
    case Op::Kind:
    case Op::Single: {
        CDynamicList& list = value.op == Op::Kind ? FuzzKinds() : Single();
        const int32_t index = stream.NetStreamReadStringListValue(list);
        if (index < 0 || index >= list.GetCount())
            std::abort();
        value.first = uint32_t(index);
        break;
    }
    case Op::Count:
        break;
    }
    if (stream.GetUnreadByteCount() > stream.GetLength())
        std::abort();
    return value;
}

void Write(CNetMessageStream& stream, const ReadValue& value)
{
    switch (value.op) {
    case Op::Bits:
        stream.NetStreamWriteBits(value.first, value.parameter);
        break;
    case Op::Bool:
        stream.WriteBool(value.first != 0);
        break;
    case Op::Ranged:
        stream.WriteRanged(int32_t(value.first), kRanges[value.parameter].minimum, kRanges[value.parameter].maximum);
        break;
    case Op::Byte:
        stream.WriteByte(uint8_t(value.first));
        break;
    case Op::Uint32:
        stream.WriteUint32(value.first);
        break;
    case Op::EightBytes:
        stream.WriteEightBytes(value.first, value.second);
        break;
    case Op::String:
        stream.WriteString(value.text.c_str());
        break;
    case Op::Text:
        if (value.first)
            stream.WriteText(value.wide);
        break;
    case Op::Kind:
        stream.NetStreamWriteStringListValue(int32_t(value.first), FuzzKinds());
        break;
    case Op::Single:
        stream.NetStreamWriteStringListValue(int32_t(value.first), Single());
        break;
    case Op::Count:
        break;
    }
}

bool Same(const ReadValue& a, const ReadValue& b)
{
    if (a.op != b.op || a.first != b.first || a.second != b.second || a.text != b.text)
        return false;
    return a.op != Op::Text || !a.first || a.wide.Compare(b.wide) == 0;
}

void ReadOperations(const uint8_t* codes, size_t codeCount, const uint8_t* message, size_t size)
{
    std::vector<ReadValue> values;
    try {
        CNetMessageStream stream(message, uint32_t(size));
        for (size_t i = 0; i < codeCount; ++i)
            values.push_back(Read(stream, codes[i]));
    } catch (const CFatalErrorException&) {
        // What was read before the report must still travel.
    }
    CNetMessageStream again;
    for (const ReadValue& value : values)
        Write(again, value);
    for (const ReadValue& value : values) {
        // A failed text read wrote nothing.
        if (value.op == Op::Text && !value.first)
            continue;
        const uint8_t code = uint8_t(uint32_t(value.op) + value.parameter * uint32_t(Op::Count));
        if (!Same(value, Read(again, code)))
            std::abort();
    }
}

void ReadPackedRecord(const uint8_t* message, size_t size)
{
    std::unique_ptr<CObject> record = CopyOfBaseline();
    try {
        CNetMessageStream stream(message, uint32_t(size));
        record->ReadPacked(stream);
    } catch (const CFatalErrorException&) {
        return;
    }
    const std::string text = TextOf(record.get());
    for (CObject* reference : {static_cast<CObject*>(&Baseline()), static_cast<CObject*>(nullptr)}) {
        CNetMessageStream delta;
        record->WritePacked(delta, reference);
        std::unique_ptr<CObject> copy = reference ? CopyOfBaseline() : std::make_unique<CFuzzRecord>();
        delta.RewindForReading();
        copy->ReadPacked(delta);
        if (TextOf(copy.get()) != text)
            std::abort();
    }
}

void SaveSeed(const char* folder, const char* name, const std::vector<uint8_t>& codes, const CNetMessageStream& message)
{
    std::string bytes(1, char(codes.size()));
    bytes.append(codes.begin(), codes.end());
    bytes.append(reinterpret_cast<const char*>(message.GetData()), message.GetLength());
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

void WriteSeeds(const char* folder)
{
    auto code = [](Op op, uint32_t parameter) { return uint8_t(uint32_t(op) + parameter * uint32_t(Op::Count)); };
    std::vector<ReadValue> values = {{Op::Bits, 3, 5, 0, {}, {}},
                                     {Op::Bool, 0, 1, 0, {}, {}},
                                     {Op::Ranged, 1, uint32_t(-3), 0, {}, {}},
                                     {Op::Ranged, 5, 0x80000000u, 0, {}, {}},
                                     {Op::Byte, 0, 0xAB, 0, {}, {}},
                                     {Op::Uint32, 0, 0x01020304, 0, {}, {}},
                                     {Op::EightBytes, 0, 1, 2, {}, {}},
                                     {Op::String, 0, 0, 0, "abc", {}},
                                     {Op::Text, 0, 1, 0, {}, CJString(u"h\u263A")},
                                     {Op::Bits, 32, 0xDEADBEEF, 0, {}, {}}};
    std::vector<uint8_t> codes;
    CNetMessageStream message;
    for (const ReadValue& value : values) {
        codes.push_back(code(value.op, value.parameter));
        Write(message, value);
    }
    SaveSeed(folder, "operations", codes, message);

    CNetMessageStream lists;
    codes.clear();
    for (int32_t index : {2, 2, 0}) {
        codes.push_back(code(Op::Kind, 0));
        lists.NetStreamWriteStringListValue(index, FuzzKinds());
    }
    codes.push_back(code(Op::Single, 0));
    lists.NetStreamWriteStringListValue(0, Single());
    SaveSeed(folder, "list_values", codes, lists);

    std::unique_ptr<CObject> changed = CopyOfBaseline();
    auto& record = static_cast<CFuzzRecord&>(*changed);
    record.m_Ranged = 9;
    record.m_Text = "changed";
    record.m_Spot = CPoint{-3, 8};
    record.m_Kind = 2;
    record.m_Child->m_Count = -50;
    static_cast<CFuzzLeaf*>(record.m_Child)->m_Weight = 1.5f;
    record.m_Place = CFPoint{0.5f, -2.0f};
    SetFuzzArrayCount(record, "Labels", 1);
    record.m_Labels[0] = "label";
    SetFuzzArrayCount(record, "Parts", 2);
    record.m_Parts[1] = new CFuzzLeaf();
    CNetMessageStream delta;
    record.WritePacked(delta, &Baseline());
    SaveSeed(folder, "packed_delta", {}, delta);
    CNetMessageStream whole;
    record.WritePacked(whole, nullptr);
    SaveSeed(folder, "packed_whole", {}, whole);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        Baseline();
        if (const char* folder = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(folder);
        return true;
    }();
    (void)ready;
    if (size == 0 || size > (1u << 20))
        return 0;
    const size_t codeCount = std::min<size_t>(data[0], size - 1);
    const uint8_t* message = data + 1 + codeCount;
    const size_t messageSize = size - 1 - codeCount;
    // A fatal report while reading back what was written escapes: a fault.
    ReadOperations(data + 1, codeCount, message, messageSize);
    ReadPackedRecord(message, messageSize);
    return 0;
}
