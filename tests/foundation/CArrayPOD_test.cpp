#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"
#include "foundation/CList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> Contents(const CArrayPOD<uint32_t>& array)
{
    return std::vector<uint32_t>(array.begin(), array.end());
}

TEST(ArrayPOD, GrowsToTwiceTheCapacityOrOneMore)
{
    CArrayPOD<uint32_t> array;
    std::vector<uint32_t> capacities;
    for (uint32_t i = 0; i < 9; ++i) {
        array.Append(i);
        capacities.push_back(array.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
    EXPECT_EQ(Contents(array), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    CArrayPOD<uint32_t> reserved;
    reserved.Reserve(3);
    reserved.Reserve(2); // never shrinks
    EXPECT_EQ(reserved.GetCapacity(), 3u);
    for (uint32_t i = 0; i < 4; ++i)
        reserved.Append(i);
    EXPECT_EQ(reserved.GetCapacity(), 6u);
}

TEST(ArrayPOD, InsertAtCutsTheIndexToTheCount)
{
    CArrayPOD<uint32_t> array;
    *array.InsertAt(0) = 10;
    *array.InsertAt(7) = 30; // past the end appends
    *array.InsertAt(1) = 20;
    *array.InsertAt(0) = 5;
    EXPECT_EQ(Contents(array), (std::vector<uint32_t>{5, 10, 20, 30}));
}

TEST(ArrayPOD, RemoveTakesTheHintOnlyWhenItHoldsTheValue)
{
    CArrayPOD<uint32_t> array;
    for (uint32_t v : {7u, 3u, 7u, 9u})
        array.Append(v);
    array.Remove(7, 2); // hint holds 7: that one goes
    EXPECT_EQ(Contents(array), (std::vector<uint32_t>{7, 3, 9}));
    array.Append(7);
    array.Remove(7, 1); // stale hint: the first 7 goes
    EXPECT_EQ(Contents(array), (std::vector<uint32_t>{3, 9, 7}));
    array.Remove(7, 99); // hint past the end
    array.Remove(42, 0); // absent
    EXPECT_EQ(Contents(array), (std::vector<uint32_t>{3, 9}));
    EXPECT_TRUE(array.Contains(9));
    EXPECT_TRUE(array.DoesNotContain(7));
    EXPECT_TRUE(CArrayPOD<uint32_t>().DoesNotContain(0));
}

TEST(ArrayPOD, AppendOfItsOwnElementSurvivesGrowth)
{
    CArrayPOD<CFPoint> points;
    points.Append(CFPoint{1.5f, -2.0f});
    for (int i = 0; i < 6; ++i)
        points.Append(points[0]);
    ASSERT_EQ(points.GetCount(), 7u);
    for (const CFPoint& point : points)
        EXPECT_EQ(point, (CFPoint{1.5f, -2.0f}));
}

struct Tracked {
    explicit Tracked(std::vector<int>& log, int id, CArrayPOD<Tracked*>* owner = nullptr)
        : m_Log(log)
        , m_Id(id)
        , m_Owner(owner)
    {
    }
    virtual ~Tracked()
    {
        // The array is already consistent when its owned object goes.
        if (m_Owner) {
            EXPECT_TRUE(m_Owner->DoesNotContain(this));
        }
        m_Log.push_back(m_Id);
    }
    std::vector<int>& m_Log;
    int m_Id;
    CArrayPOD<Tracked*>* m_Owner;
};

TEST(ArrayPOD, DeletesOwnedObjectsLastFirst)
{
    std::vector<int> log;
    CArrayPOD<Tracked*> array;
    for (int id = 0; id < 4; ++id)
        array.Append(new Tracked(log, id, &array));
    array.DeleteAt(1);
    EXPECT_EQ(array.GetCount(), 3u);
    array.DeleteAll();
    EXPECT_EQ(log, (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(array.GetCount(), 0u);
}

TEST(List, GrowsLikeArrayPODAndReportsEachGrowth)
{
    CList<std::string> list;
    const uint32_t before = GetNonPooledListAllocationCount();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.Add(std::string(40, char('a' + i))), uint32_t(i));
    // Capacities 1, 2, 4, 8: four growths.
    EXPECT_EQ(GetNonPooledListAllocationCount() - before, 4u);
    EXPECT_EQ(list.GetCapacity(), 8u);
    EXPECT_EQ(list[4], std::string(40, 'e'));
    EXPECT_EQ(list[0], std::string(40, 'a'));
    list.Reserve(8); // already there: no allocation
    EXPECT_EQ(GetNonPooledListAllocationCount() - before, 4u);
}

TEST(List, AddOfItsOwnElementSurvivesGrowth)
{
    CList<std::string> list;
    list.Add(std::string(64, 'x'));
    for (int i = 0; i < 4; ++i)
        list.Add(list[0]);
    for (const std::string& item : list)
        EXPECT_EQ(item, std::string(64, 'x'));
}

} // namespace
