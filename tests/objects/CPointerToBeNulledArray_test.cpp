#include "objects/CPointerToBeNulledArray.h"

#include <gtest/gtest.h>

namespace {

struct CTarget {
    CPointerToBeNulledArray guards;
};
struct CTargetAccess {
    static CPointerToBeNulledArray& Get(CTarget& target) { return target.guards; }
};
using CGuarded = CSmartPointerToBeNulledTemplate<CTarget, CPointerToBeNulledArray, CTargetAccess>;

TEST(PointerToBeNulled, DyingTargetClearsEveryGuardedPointer)
{
    auto* target = new CTarget();
    CGuarded first(target);
    CGuarded second(target);
    CGuarded moved;
    moved = target;
    moved = nullptr; // unregisters
    EXPECT_EQ(target->guards.GetCount(), 2u);
    delete target;
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_EQ(second.Get(), nullptr);
}

TEST(PointerToBeNulled, ArraysAreRegisteredClasses)
{
    RegisterObjectClasses();
    CObject* array = CClassInfoList::SGetInstance().CreateObjectByName("CPointerToBeNulledArray", 0, -1,
                                                                       ReportUnknownClass::Quiet);
    ASSERT_NE(array, nullptr);
    delete array;
    EXPECT_EQ(CClassInfoList::SGetInstance().CreateObjectByName("CBasePointerToBeNulledArray", 0, -1,
                                                                ReportUnknownClass::Quiet),
              nullptr);
}

} // namespace
