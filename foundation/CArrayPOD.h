#pragma once
// A growable array of plain values (numbers, pointers, small float records)
// kept in the small-block pool. Elements move as raw memory and no constructor
// or destructor runs on them, so growth costs one pool allocation and a copy.
// Growth rule: a full array reserves max(count + 1, 2 * capacity) before
// adding. Arrays of owned object pointers delete them with DeleteAt/DeleteAll.

#include "foundation/CMemoryPool.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

template <typename T>
class CArrayPOD {
    static_assert(std::is_trivially_copyable_v<T>, "CArrayPOD holds plain values only");
    static_assert(alignof(T) <= kPoolClassWidth, "pool blocks are aligned to the class width");

public:
    CArrayPOD() = default;
    CArrayPOD(const CArrayPOD&) = delete;
    CArrayPOD& operator=(const CArrayPOD&) = delete;
    CArrayPOD(CArrayPOD&& other) noexcept
        : m_Data(other.m_Data)
        , m_Count(other.m_Count)
        , m_Capacity(other.m_Capacity)
    {
        other.m_Data = nullptr;
        other.m_Count = other.m_Capacity = 0;
    }
    CArrayPOD& operator=(CArrayPOD&& other) noexcept
    {
        if (this != &other) {
            Free();
            m_Data = other.m_Data;
            m_Count = other.m_Count;
            m_Capacity = other.m_Capacity;
            other.m_Data = nullptr;
            other.m_Count = other.m_Capacity = 0;
        }
        return *this;
    }
    ~CArrayPOD() { Free(); }

    uint32_t GetCount() const { return m_Count; }
    uint32_t GetCapacity() const { return m_Capacity; }
    bool IsEmpty() const { return m_Count == 0; }
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

    // Raises the capacity to exactly n; never shrinks.
    void Reserve(uint32_t n)
    {
        if (m_Capacity >= n)
            return;
        T* data = static_cast<T*>(PoolAllocate(size_t(n) * sizeof(T)));
        if (m_Count != 0)
            std::memcpy(static_cast<void*>(data), m_Data, size_t(m_Count) * sizeof(T));
        PoolFree(m_Data, size_t(m_Capacity) * sizeof(T));
        m_Data = data;
        m_Capacity = n;
    }

    void Append(const T& value)
    {
        const T copy = value; // value may live in the block that growth frees
        GrowForOneMore();
        m_Data[m_Count++] = copy;
    }

    // Opens slot index (cut to the count) and returns it for the caller to fill.
    T* InsertAt(uint32_t index)
    {
        if (index > m_Count)
            index = m_Count;
        GrowForOneMore();
        std::memmove(static_cast<void*>(m_Data + index + 1), m_Data + index, size_t(m_Count - index) * sizeof(T));
        ++m_Count;
        return m_Data + index;
    }

    // Closes the gap at index; nothing else happens to the element.
    void RemoveAt(uint32_t index)
    {
        assert(index < m_Count);
        std::memmove(static_cast<void*>(m_Data + index), m_Data + index + 1, size_t(m_Count - index - 1) * sizeof(T));
        --m_Count;
    }

    // Index of the first element equal to value, or -1.
    int32_t Find(const T& value) const
    {
        for (uint32_t i = 0; i < m_Count; ++i)
            if (m_Data[i] == value)
                return int32_t(i);
        return -1;
    }
    bool Contains(const T& value) const { return Find(value) >= 0; }
    bool DoesNotContain(const T& value) const { return Find(value) < 0; }

    // Removes the element at hint when it holds value, else the first equal
    // element; nothing when value is absent.
    void Remove(const T& value, int32_t hint = -1)
    {
        if (hint >= 0 && uint32_t(hint) < m_Count && m_Data[hint] == value) {
            RemoveAt(uint32_t(hint));
            return;
        }
        const int32_t index = Find(value);
        if (index >= 0)
            RemoveAt(uint32_t(index));
    }

    // Forgets the elements and keeps the storage.
    void RemoveAll() { m_Count = 0; }

    // Returns the storage to the pool.
    void Free()
    {
        PoolFree(m_Data, size_t(m_Capacity) * sizeof(T));
        m_Data = nullptr;
        m_Count = m_Capacity = 0;
    }

    // Arrays of owned object pointers: the gap closes before the object is
    // deleted, so a destructor that looks at this array finds it consistent.
    void DeleteAt(uint32_t index) requires std::is_pointer_v<T>
    {
        T object = m_Data[index];
        RemoveAt(index);
        delete object;
    }

    // Deletes every owned object, last first.
    void DeleteAll() requires std::is_pointer_v<T>
    {
        while (m_Count != 0)
            delete m_Data[--m_Count];
    }

private:
    void GrowForOneMore()
    {
        if (m_Count < m_Capacity)
            return;
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
