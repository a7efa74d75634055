#pragma once
// Bytes into an object and back, through memory streams: the one set of
// helpers the object tests, benchmarks and fuzz targets share. No test
// framework is needed to use it.
#include "objects/CObjectStream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CMemFileBuf;
class CObject;
class CNetMessageStream;

// Quiet streams record what fatal ones report through the fatal path
// (unknown classes and list names).
enum class StreamReports { Quiet, Fatal };

// A memory buffer owning a copy of the bytes, for reading streams.
CMemFileBuf* CopyOfBytes(const void* data, size_t size);
inline CMemFileBuf* CopyOfBytes(const std::string& bytes)
{
    return CopyOfBytes(bytes.data(), bytes.size());
}

// Object text with its class name line, as WriteObjectText writes it.
std::string ObjectToText(CObject* object, IdMode ids);
// One object (class name line first); null on failure, with the stream's
// error text in *error when given. Reference patches are resolved before it
// returns. The caller deletes the object.
CObject* ObjectFromText(const void* data, size_t size, IdMode ids, StreamReports reports, CJString* error = nullptr);
inline CObject* ObjectFromText(const std::string& text, IdMode ids, StreamReports reports, CJString* error = nullptr)
{
    return ObjectFromText(text.data(), text.size(), ids, reports, error);
}

// The binary record of an object.
std::string ObjectToBinary(CObject* object, IdMode ids);
// Reads a binary record into object; false when refused.
bool ObjectFromBinary(CObject& object, const void* data, size_t size, IdMode ids, StreamReports reports,
                      CJString* error = nullptr);
inline bool ObjectFromBinary(CObject& object, const std::string& bytes, IdMode ids, StreamReports reports,
                             CJString* error = nullptr)
{
    return ObjectFromBinary(object, bytes.data(), bytes.size(), ids, reports, error);
}

// The packed form of an object against a reference (null: against nothing).
std::string ObjectToPacked(CObject* object, CObject* reference);

// The fuzz targets' check of object text: reads the bytes with and without
// identities (a fatal report ends that reading), hands each object read to
// inspect, and aborts when the object's text does not read back to the same
// text.
void CheckTextReadsBackAlike(const uint8_t* data, size_t size, const std::function<void(CObject&)>& inspect = {});
