#pragma once
// A kind bound to storage of its own instead of a member: the elements of a
// property array and the values an object holds for dynamic properties. Every
// operation of such a property takes the storage address where the other
// bindings take the owning object (SlotOwner turns one into the other); the
// address is only ever handed back through GetValueAddress, never used as an
// object. The binding constructs the value in InitValue and destroys it in
// DestroyValue, since slots are raw memory moved by byte copies; a value type
// must therefore survive a raw move (CJString, pointers, plain numbers do).
#include "objects/CProperty.h"

#include <new>
#include <utility>

class CFile;

inline CObject* SlotOwner(void* storage)
{
    return static_cast<CObject*>(storage);
}

template <typename Kind>
class CSlotProperty final : public Kind {
public:
    using Value = typename Kind::ValueType;

    template <typename... Args>
    explicit CSlotProperty(Args&&... args)
        : Kind(std::forward<Args>(args)...)
    {
    }

    CProperty* Clone() const override { return new CSlotProperty(*this); }
    void* GetValueAddress(CObject* slot) const override { return static_cast<void*>(slot); }
    void InitValue(CObject* slot) const override
    {
        ::new (static_cast<void*>(slot)) Value();
        Kind::InitValue(slot);
    }
    void DestroyValue(CObject* slot) const override
    {
        Kind::DestroyValue(slot);
        static_cast<Value*>(static_cast<void*>(slot))->~Value();
    }
};
