#include "store/ExCls.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An item that notes its own freeing and how many items its list held at that moment.
struct TTracked : TObject {
    TTracked(int AId, const TObjList* AList, std::vector<std::pair<int, int>>* ALog)
        : Id(AId), List(AList), Log(ALog) {}
    ~TTracked() override { Log->push_back({Id, List ? List->Count() : -1}); }
    int Id;
    const TObjList* List;
    std::vector<std::pair<int, int>>* Log;
};

TEST(ObjList, ClearFreesFromTheLastDownAndPassesOverNulls) {
    std::vector<std::pair<int, int>> Freed;
    {
        TObjList List;
        List.Add(new TTracked(0, &List, &Freed));
        List.Add(nullptr);
        List.Add(new TTracked(2, &List, &Freed));
        List.Add(nullptr);
        List.Add(new TTracked(4, &List, &Freed));
        List.Clear();
        EXPECT_EQ(List.Count(), 0);
        EXPECT_EQ(List.Capacity(), 0);
        // While an item is freed, the list holds exactly the items before it.
        EXPECT_EQ(Freed, (std::vector<std::pair<int, int>>{{4, 4}, {2, 2}, {0, 0}}));
        List.Add(new TTracked(5, nullptr, &Freed));
    }
    ASSERT_EQ(Freed.size(), 4u); // the destructor frees what is left
    EXPECT_EQ(Freed.back().first, 5);
}

TEST(ObjList, IndexOutsideTheListRaisesTheListError) {
    std::vector<std::pair<int, int>> Freed;
    TObjList List;
    List.Add(new TTracked(0, nullptr, &Freed));
    List.Add(new TTracked(1, nullptr, &Freed));
    for (int Bad : {-1, 2, 100}) {
        EXPECT_THROW(List.Items(Bad), EListError);
        EXPECT_THROW(List.DeleteAndFree(Bad), EListError);
        EXPECT_THROW(List.Delete(Bad), EListError);
    }
    try {
        List.Items(5);
        FAIL() << "no error";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Index, 5);
    }
    EXPECT_EQ(List.Count(), 2);
    EXPECT_TRUE(Freed.empty());
}

TEST(ObjList, DeleteAndFreeMovesLaterItemsDown) {
    std::vector<std::pair<int, int>> Freed;
    TObjList List;
    for (int I = 0; I < 4; ++I)
        List.Add(new TTracked(I, &List, &Freed));
    List.DeleteAndFree(1);
    ASSERT_EQ(Freed.size(), 1u);
    EXPECT_EQ(Freed[0].first, 1);
    EXPECT_EQ(Freed[0].second, 3); // already out of the list when freed
    ASSERT_EQ(List.Count(), 3);
    EXPECT_EQ(static_cast<TTracked*>(List.Items(1))->Id, 2);
    EXPECT_EQ(static_cast<TTracked*>(List.Items(2))->Id, 3);
}

TEST(ObjList, DeleteAndFreeIfKeepsTheOthersInOrder) {
    std::vector<std::pair<int, int>> Freed;
    TObjList List;
    for (int I = 0; I < 6; ++I)
        List.Add(I == 3 ? nullptr : new TTracked(I, &List, &Freed));
    List.DeleteAndFreeIf(
        [](const TObject& Item) { return static_cast<const TTracked&>(Item).Id % 2 == 0; });
    // Freed once the list holds only the others: 1, the null item, 5.
    EXPECT_EQ(Freed, (std::vector<std::pair<int, int>>{{0, 3}, {2, 3}, {4, 3}}));
    ASSERT_EQ(List.Count(), 3);
    EXPECT_EQ(static_cast<TTracked*>(List.Items(0))->Id, 1);
    EXPECT_EQ(List.Items(1), nullptr);
    EXPECT_EQ(static_cast<TTracked*>(List.Items(2))->Id, 5);
}

TEST(ObjList, GrowsByDeltaOrByTheBaseSteps) {
    TObjList Base;
    std::vector<int> Capacities;
    for (int I = 0; I < 80; ++I) {
        Base.Add(nullptr);
        if (Capacities.empty() || Capacities.back() != Base.Capacity())
            Capacities.push_back(Base.Capacity());
    }
    EXPECT_EQ(Capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));

    TObjList Stepped;
    Stepped.Delta = 10;
    Stepped.Add(nullptr);
    EXPECT_EQ(Stepped.Capacity(), 10);
    for (int I = 0; I < 10; ++I)
        Stepped.Add(nullptr);
    EXPECT_EQ(Stepped.Capacity(), 20);
    EXPECT_EQ(Stepped.Count(), 11);
}

TEST(List, SetCountAddsEmptySlotsAndRefusesNegative) {
    TList List;
    List.SetCount(3);
    EXPECT_EQ(List.Count(), 3);
    EXPECT_EQ(List.Get(2), nullptr);
    EXPECT_THROW(List.SetCount(-1), EListError);
    EXPECT_THROW(List.SetCapacity(2), EListError);
    EXPECT_EQ(List.Count(), 3);
}

TEST(StrList, HoldsOwnedStrings) {
    TStrList List;
    List.AddStr("pierwszy");
    List.AddStr("żółty");
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.Strings(0), "pierwszy");
    EXPECT_EQ(List.Strings(1), "żółty");
    List.DeleteAndFree(0);
    EXPECT_EQ(List.Strings(0), "żółty");
    EXPECT_THROW(List.Strings(1), EListError);
}

} // namespace
