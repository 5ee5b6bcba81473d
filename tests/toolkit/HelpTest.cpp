#include "GuiTest.h"
#include "TestWnd.h"
#include "toolkit/HelpFile.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

QString Topics() {
    QString Html = QStringLiteral("<html><head><title>Pomoc próbna</title></head><body>");
    for (const int Context : {1, 7, 14}) {
        Html += QStringLiteral("<a name=\"context-%1\"></a><h2>Temat %1</h2>").arg(Context);
        for (int Line = 0; Line < 80; ++Line)
            Html += QStringLiteral("<p>Wiersz %1 tematu %2</p>").arg(Line).arg(Context);
    }
    return Html + QStringLiteral("</body></html>");
}

bool Write(const QString& Name, const QByteArray& Bytes) {
    QFile File(Name);
    return File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size();
}

} // namespace

TEST(HelpFileFormat, ContextsAreFoundByTheirExactAnchor) {
    const QString Html = QStringLiteral("<a name=\"context-14\"></a>x<A NAME='context-2'>y</A>");
    EXPECT_TRUE(HasHelpContext(Html, 14));
    EXPECT_TRUE(HasHelpContext(Html, 2));
    EXPECT_FALSE(HasHelpContext(Html, 1)) << "context-1 must not match context-14";
    EXPECT_FALSE(HasHelpContext(Html, 4));
    EXPECT_FALSE(HasHelpContext(QStringLiteral("context-14 in plain text"), 14));
}

TEST(HelpFileFormat, ReadingReportsWhatIsWrong) {
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const std::string Missing = Dir.filePath(QStringLiteral("brak.hlp")).toStdString();
    THelpText Help = ReadHelpFile(Missing);
    EXPECT_FALSE(Help.Html);
    EXPECT_TRUE(Help.Error.contains(QStringLiteral("Brak pliku pomocy")));
    EXPECT_TRUE(Help.Error.contains(QString::fromStdString(Missing)));

    Help = ReadHelpFile(Dir.path().toStdString()); // a directory
    EXPECT_FALSE(Help.Html);
    EXPECT_TRUE(Help.Error.contains(QStringLiteral("Nie można otworzyć")));

    const QString Broken = Dir.filePath(QStringLiteral("zly.hlp"));
    ASSERT_TRUE(Write(Broken, QByteArray("<p>\xB3\xF3\xBF</p>"))); // CP1250, not UTF-8
    Help = ReadHelpFile(Broken.toStdString());
    EXPECT_FALSE(Help.Html);
    EXPECT_TRUE(Help.Error.contains(QStringLiteral("uszkodzony")));

    const QString Good = Dir.filePath(QStringLiteral("dobry.hlp"));
    ASSERT_TRUE(Write(Good, QStringLiteral("<p>Użytkownik</p>").toUtf8()));
    Help = ReadHelpFile(Good.toStdString());
    ASSERT_TRUE(Help.Html);
    EXPECT_EQ(*Help.Html, QStringLiteral("<p>Użytkownik</p>"));
}

class HelpWindowTest : public testing::Test {
protected:
    QTemporaryDir Dir;
    TModalWatchdog Watchdog;

    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        Application.HelpFile = Dir.filePath(QStringLiteral("pelorin.hlp")).toStdString();
        ASSERT_TRUE(Write(QString::fromStdString(Application.HelpFile), Topics().toUtf8()));
    }
    void TearDown() override {
        delete Application.HelpWindow();
        Application.HelpFile.clear();
    }
};

TEST_F(HelpWindowTest, OpensAtTheTopicOfTheContext) {
    Application.HelpContext(1);
    THelpWindow* Help = Application.HelpWindow();
    ASSERT_NE(Help, nullptr);
    EXPECT_TRUE(Help->isVisible());
    EXPECT_EQ(Help->windowTitle(), QStringLiteral("Pomoc próbna"));
    const int TopOfFirst = Help->Browser()->verticalScrollBar()->value();

    Application.HelpContext(14);
    ASSERT_EQ(Application.HelpWindow(), Help) << "one help window is reused";
    QApplication::processEvents();
    const int TopOfLast = Help->Browser()->verticalScrollBar()->value();
    EXPECT_GT(TopOfLast, TopOfFirst) << "the window must scroll to the third topic";
}

TEST_F(HelpWindowTest, F1AndTheHelpButtonOpenTheFormsContextAboveTheModalForm) {
    TTestWnd Wnd; // help context 7
    for (const bool ByKey : {true, false}) {
        delete Application.HelpWindow();
        THelpWindow* Opened = nullptr;
        WhenModal([&] {
            if (ByKey)
                QTest::keyClick(&Wnd, Qt::Key_F1);
            else
                Wnd.findChild<QPushButton*>(QStringLiteral("HelpBtn"))->click();
            Opened = Application.HelpWindow();
            // Not blocked by the modal form: it belongs to it.
            EXPECT_TRUE(Opened && Opened->parentWidget() == &Wnd);
            EXPECT_TRUE(Wnd.isVisible()) << "help must not close the form";
            Wnd.Close();
        });
        EXPECT_EQ(Wnd.ShowModal(), mrCancel);
        ASSERT_NE(Opened, nullptr);
        EXPECT_TRUE(Opened->Browser()->toPlainText().contains(QStringLiteral("Temat 7")));
    }
}

TEST_F(HelpWindowTest, MissingFileOrTopicGivesOneErrorBox) {
    TMessageBoxRecorder Boxes;
    Application.HelpContext(99);
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Flags, 16);
    EXPECT_EQ(Boxes.Shown[0].Caption, QString());
    EXPECT_TRUE(Boxes.Shown[0].Text.contains(QStringLiteral("99")));
    EXPECT_EQ(Application.HelpWindow(), nullptr);

    QFile::remove(QString::fromStdString(Application.HelpFile));
    Application.HelpContext(1);
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    EXPECT_EQ(Boxes.Shown[1].Flags, 16);
    EXPECT_TRUE(Boxes.Shown[1].Text.contains(QString::fromStdString(Application.HelpFile)));
    EXPECT_EQ(Application.HelpWindow(), nullptr);
}
