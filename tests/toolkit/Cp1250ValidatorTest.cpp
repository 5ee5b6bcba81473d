#include "toolkit/Cp1250Validator.h"
#include "GuiTest.h"
#include "TestWnd.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

TEST(Cp1250Text, ConvertsPolishLettersToTheirCodePageBytes) {
    // Bytes from the code page 1250 table: ż BF, ó F3, ł B3, ć E6, Ą A5, Ś 8C, € 80.
    EXPECT_EQ(ToCp1250(QStringLiteral("Zażółć")), std::string("Za\xBF\xF3\xB3\xE6"));
    EXPECT_EQ(ToCp1250(QStringLiteral("ĄŚ€")), std::string("\xA5\x8C\x80"));
    EXPECT_EQ(FromCp1250(std::string("Za\xBF\xF3\xB3\xE6")), QStringLiteral("Zażółć"));
    EXPECT_EQ(FromCp1250(std::string()), QString());
}

TEST(Cp1250Text, LeavesOutWhatTheCodePageCannotHold) {
    EXPECT_EQ(ToCp1250(QStringLiteral("a漢b\tc")), std::string("abc"));
    EXPECT_EQ(ToCp1250(QString::fromUcs4(U"x\U0001F600y")), std::string("xy"));
}

TEST(Cp1250Text, TheFilterAcceptsExactlyWhatConverts) {
    EXPECT_TRUE(IsCp1250Text(QStringLiteral("Łódź ąę ÄÖÜß")));
    EXPECT_TRUE(IsCp1250Text(QString()));
    EXPECT_FALSE(IsCp1250Text(QStringLiteral("ñ")));    // Latin-1, not in CP1250
    EXPECT_FALSE(IsCp1250Text(QStringLiteral("Ж")));    // Cyrillic
    EXPECT_FALSE(IsCp1250Text(QStringLiteral("a\nb"))); // line break
    EXPECT_FALSE(IsCp1250Text(QString::fromUcs4(U"\U0001F600")));
}

class EditFilter : public testing::Test {
protected:
    TTestWnd Wnd;
    QLineEdit* Edit = nullptr;
    void SetUp() override {
        Edit = Wnd.findChild<QLineEdit*>(QStringLiteral("Field"));
        ASSERT_NE(Edit, nullptr);
        ASSERT_NE(Edit->validator(), nullptr) << "every edit of a form gets the filter";
    }
};

TEST_F(EditFilter, TypedCharactersOutsideTheCodePageAreRefused) {
    TypeText(Edit, QStringLiteral("Zażółć"));
    EXPECT_EQ(Edit->text(), QStringLiteral("Zażółć"));
    TypeText(Edit, QStringLiteral("ñЖ"));
    EXPECT_EQ(Edit->text(), QStringLiteral("Zażółć"));
    TypeText(Edit, QStringLiteral("ę"));
    EXPECT_EQ(Edit->text(), QStringLiteral("Zażółćę"));
}

TEST_F(EditFilter, PastedTextWithAForeignCharacterIsRefusedWhole) {
    Edit->setText(QStringLiteral("ab"));
    Edit->insert(QStringLiteral("Łódź"));
    EXPECT_EQ(Edit->text(), QStringLiteral("abŁódź"));
    Edit->insert(QStringLiteral("x漢y"));
    EXPECT_EQ(Edit->text(), QStringLiteral("abŁódź"));

    QApplication::clipboard()->setText(QStringLiteral("ñ"));
    if (QApplication::clipboard()->text() != QStringLiteral("ñ"))
        GTEST_SKIP() << "this platform has no clipboard";
    Edit->paste();
    EXPECT_EQ(Edit->text(), QStringLiteral("abŁódź"));
    QApplication::clipboard()->setText(QStringLiteral("ść"));
    Edit->paste();
    EXPECT_EQ(Edit->text(), QStringLiteral("abŁódźść"));
}
