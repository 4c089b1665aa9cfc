#include <kel/physicsdata/store/ParentContextHolder.h>

#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/exception/PhysicsException.h>

namespace kel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

// A definition stand-in that counts live instances, to see when the holder frees it.
struct Item {
    explicit Item(int* live) : m_live(live) { ++*m_live; }
    ~Item() { --*m_live; }
    int* m_live;
};

class ParentContextHolderTest : public ::testing::Test {
protected:
    std::shared_ptr<Item> item() { return std::make_shared<Item>(&m_live); }

    int m_live = 0;
    ParentContextHolder<Item> m_holder{true};
};

TEST_F(ParentContextHolderTest, FilesOneItemUnderEveryContextAndKeepsTheFirstOnAClash) {
    auto first = item();
    EXPECT_TRUE(m_holder.addItem("B", {"/A", "/C"}, first, false));
    EXPECT_EQ(m_holder.find("/A", "B"), first.get());
    EXPECT_EQ(m_holder.find("/C", "B"), first.get());
    EXPECT_EQ(m_holder.find("/A", "X"), nullptr);

    // The clashing key keeps the old item; the new key is still filed.
    auto second = item();
    EXPECT_FALSE(m_holder.addItem("B", {"/C", "/D"}, second, false));
    EXPECT_EQ(m_holder.find("/C", "B"), first.get());
    EXPECT_EQ(m_holder.find("/D", "B"), second.get());
    EXPECT_EQ(m_holder.getDistinctItems().size(), 2u);
}

TEST_F(ParentContextHolderTest, EmptyContextListFilesNothingAndIsNoDefault) {
    auto lone = item();
    EXPECT_TRUE(m_holder.addItem("B", {}, lone, true));
    EXPECT_THAT(m_holder.getDistinctItems(), IsEmpty());
    // Not in the default set: the same item may still become a default once.
    EXPECT_TRUE(m_holder.addItem("B", {"/A"}, lone, true));
    EXPECT_THROW(m_holder.addItem("B", {"/E"}, lone, true), PhysicsException);
}

TEST_F(ParentContextHolderTest, SecondDefaultOfOneItemThrows) {
    auto def = item();
    m_holder.addItem("B", {"/A"}, def, true);
    EXPECT_THAT([&] { m_holder.addItem("B", {"/C"}, def, true); },
                ThrowsMessage<PhysicsException>(
                    StrEq("Failed to add item B to the default context set in the "
                          "ParentContextHolder (does this mean we have two default contexts?)")));
}

TEST_F(ParentContextHolderTest, InvalidContextsHideItemsThenRationaliseDropsThem) {
    m_holder.addItem("B", {"/A", "/C"}, item(), false);
    m_holder.addItem("B", {"/X"}, item(), false);
    m_holder.insertInvalidContexts("B", {"/C", "/X"});
    EXPECT_EQ(m_live, 2);

    EXPECT_NE(m_holder.find("/A", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/C", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/X", "B"), nullptr);

    m_holder.rationalise();
    EXPECT_TRUE(m_holder.isRationalised());
    EXPECT_NE(m_holder.find("/A", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/C", "B"), nullptr);
    // The item that lost its only key is gone; the shared one lives on.
    EXPECT_EQ(m_live, 1);
    EXPECT_EQ(m_holder.getDistinctItems().size(), 1u);

    m_holder.rationalise();  // a second call changes nothing
    EXPECT_EQ(m_live, 1);
    EXPECT_THAT([&] { m_holder.addItem("B", {"/Z"}, item(), false); },
                ThrowsMessage<PhysicsException>(StrEq(
                    "ParentContextHolder::addItem - internal error: called after rationalise()")));
}

TEST_F(ParentContextHolderTest, EquivalenceWithoutCandidatesOrDefinition) {
    m_holder.addItem("T", {"/A"}, item(), false);
    EXPECT_THAT(m_holder.findEquivContexts("/A", "T", {}), ElementsAre("All Valid Contexts"));
    EXPECT_THAT(m_holder.findEquivContexts("/C", "T", {"/A", "/C"}), IsEmpty());
}

}  // namespace
}  // namespace kel
