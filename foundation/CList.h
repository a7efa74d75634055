#pragma once
// A growable array of constructed elements on the heap. Every growth reports
// itself (NoteNonPooledListAllocation), so that lists that grow often can be
// moved to CArrayPOD. Same growth rule as CArrayPOD.

#include "foundation/CMemoryPool.h"

#include <cassert>
#include <cstdint>
#include <new>
#include <utility>

template <typename T>
class CList {
public:
    CList() = default;
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    virtual ~CList() { delete[] m_Data; }

    uint32_t GetCount() const { return m_Count; }
    uint32_t GetCapacity() const { return m_Capacity; }
    T* GetData() { return m_Data; }
    const T* GetData() const { return m_Data; }

    T& operator[](uint32_t index)
    {
        assert(index < m_Count);
        return m_Data[index];
    }
    const T& operator[](uint32_t index) const
    {
        assert(index < m_Count);
        return m_Data[index];
    }
    T* begin() { return m_Data; }
    T* end() { return m_Data + m_Count; }
    const T* begin() const { return m_Data; }
    const T* end() const { return m_Data + m_Count; }

    // Raises the capacity to exactly n: a new array of n constructed elements
    // takes the current ones in order; the old array is destroyed.
    void Reserve(uint32_t n)
    {
        if (m_Capacity >= n)
            return;
        NoteNonPooledListAllocation();
        T* data = new T[n];
        for (uint32_t i = 0; i < m_Count; ++i)
            data[i] = std::move(m_Data[i]);
        delete[] m_Data;
        m_Data = data;
        m_Capacity = n;
    }

    // Assigns item to the next slot and returns its index.
    uint32_t Add(const T& item)
    {
        if (m_Count == m_Capacity) {
            T copy = item; // item may live in the array that growth destroys
            Grow();
            m_Data[m_Count] = std::move(copy);
        } else {
            m_Data[m_Count] = item;
        }
        return m_Count++;
    }

private:
    void Grow()
    {
        if (m_Count == UINT32_MAX)
            throw std::bad_alloc();
        const uint64_t doubled = uint64_t(m_Capacity) * 2;
        const uint64_t wanted = doubled > m_Count + 1u ? doubled : m_Count + 1u;
        Reserve(wanted > UINT32_MAX ? UINT32_MAX : uint32_t(wanted));
    }

    T* m_Data = nullptr;
    uint32_t m_Count = 0;
    uint32_t m_Capacity = 0;
};
