// Finding a row by typing, with the clock given by the test.
#include "toolkit/TypeAhead.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Types into a search over Names, starting on row 0, and follows the selection it makes.
struct TTypist {
    QStringList Names = {"admin", QStringLiteral("Łukasz"), QStringLiteral("łucja"), "Ala", "anna",
                         "bob"};
    TTypeAhead Search;
    TTypeAhead::TClock::time_point Now{};
    int Row = 0;

    // The row selected by Text typed Delay after the previous key; -2 when the text was not
    // taken into a search.
    int Type(const QString& Text, std::chrono::milliseconds Delay = 200ms) {
        Now += Delay;
        const std::optional<int> Found = Search.Find(
            Text, Row, static_cast<int>(Names.size()), [this](int I) { return Names[I]; }, Now);
        if (Found && *Found >= 0)
            Row = *Found;
        return Found ? *Found : -2;
    }
};

} // namespace

TEST(TypeAhead, SelectsTheNextRowStartingWithWhatWasTypedWithinASecond) {
    TTypist T;
    EXPECT_EQ(T.Type("a"), 3);  // the next row after the current one, whatever the case
    EXPECT_EQ(T.Type("n"), 4);  // "an"
    EXPECT_EQ(T.Type("x"), -1); // "anx": nothing, the selection stays
    EXPECT_EQ(T.Row, 4);

    // A second later a new search begins; Polish letters match in either case.
    EXPECT_EQ(T.Type(QStringLiteral("ł"), 1001ms), 1);
    EXPECT_EQ(T.Type(QStringLiteral("Ł")), 2); // the same letter again steps on
    EXPECT_EQ(T.Type(QStringLiteral("ł")), 1); // wrapping
    EXPECT_EQ(T.Type("u", 1000ms), -1);        // one second on, still one search: "łŁłu"
    EXPECT_EQ(T.Row, 1);

    // A blank never starts a search, but goes on one.
    EXPECT_EQ(T.Type(" ", 2s), -2);
    EXPECT_EQ(T.Type("b", 2s), 5);
    EXPECT_EQ(T.Type(" "), -1);    // "b "
    EXPECT_EQ(T.Type("a", 2s), 0); // after the last row the first
}
