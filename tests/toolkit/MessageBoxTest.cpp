#include "toolkit/MessageBox.h"
#include "GuiTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

TEST(MessageBoxFlags, ErrorIsAnErrorIconWithOneOkButton) {
    const TMessageBoxLayout L = MessageBoxLayout(16);
    EXPECT_EQ(L.Icon, QMessageBox::Critical);
    ASSERT_EQ(L.Buttons.size(), 1);
    EXPECT_EQ(L.Buttons[0], QMessageBox::Ok);
    EXPECT_EQ(MessageBoxDismissResult(16), 1);
}

TEST(MessageBoxFlags, QuestionHasYesNoCancelAndEscIsCancel) {
    const TMessageBoxLayout L = MessageBoxLayout(35);
    EXPECT_EQ(L.Icon, QMessageBox::Question);
    EXPECT_EQ(L.Buttons, (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No,
                                                             QMessageBox::Cancel}));
    EXPECT_EQ(MessageBoxDismissResult(35), 2);
}

namespace {

QMessageBox* OpenBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QAbstractButton* ButtonCaptioned(QMessageBox* Box, const QString& Caption) {
    for (QAbstractButton* B : Box->buttons())
        if (B->text() == Caption)
            return B;
    return nullptr;
}

void PressOnBox(Qt::Key Key) {
    QMessageBox* Box = OpenBox();
    ASSERT_NE(Box, nullptr);
    QTest::keyClick(Box, Key);
}

} // namespace

// The real box, driven from inside its own loop.
class RealMessageBox : public testing::Test {
protected:
    TModalWatchdog Watchdog;
};

TEST_F(RealMessageBox, ErrorBoxShowsTextIconAndEmptyCaption) {
    QString Title = QStringLiteral("unset"), Text, Detail;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    int Buttons = 0;
    Qt::TextFormat DetailFormat = Qt::AutoText;
    WhenModal([&] {
        QMessageBox* Box = OpenBox();
        ASSERT_NE(Box, nullptr);
        Title = Box->windowTitle();
        Text = Box->text();
        Detail = Box->informativeText();
        if (auto* Label = Box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            DetailFormat = Label->textFormat();
        Icon = Box->icon();
        Buttons = static_cast<int>(Box->buttons().size());
        PressOnBox(Qt::Key_Escape);
    });
    // The detail, a path, is shown as it is, never as markup.
    const QString Path = QStringLiteral("/srv/<b>z</b>/UsrPass.dat\n(opcja --file)");
    EXPECT_EQ(ShowQtMessageBox(QStringLiteral("Brak pliku z użytkownikami"), QString(), 16, Path),
              IDOK);
    EXPECT_TRUE(Title.trimmed().isEmpty()) << "not the application's name: " << Title.toStdString();
    EXPECT_EQ(Text, QStringLiteral("Brak pliku z użytkownikami"));
    EXPECT_EQ(Detail, Path);
    EXPECT_EQ(DetailFormat, Qt::PlainText);
    EXPECT_EQ(Icon, QMessageBox::Critical);
    EXPECT_EQ(Buttons, 1);
}

TEST_F(RealMessageBox, QuestionAnswersWithThePressedButton) {
    const struct {
        QString Caption;
        int Result;
    } Cases[] = {{QStringLiteral("Tak"), IDYES},
                 {QStringLiteral("Nie"), IDNO},
                 {QStringLiteral("Anuluj"), IDCANCEL}};
    for (const auto& C : Cases) {
        WhenModal([&] {
            QMessageBox* Box = OpenBox();
            ASSERT_NE(Box, nullptr);
            QAbstractButton* B = ButtonCaptioned(Box, C.Caption);
            ASSERT_NE(B, nullptr) << C.Caption.toStdString();
            B->click();
        });
        EXPECT_EQ(ShowQtMessageBox(QStringLiteral("Zapisać?"), QStringLiteral("Pytanie"), 35),
                  C.Result);
    }
}

TEST_F(RealMessageBox, QuestionEscAndCloseBoxAreCancelEnterIsYes) {
    WhenModal([] { PressOnBox(Qt::Key_Escape); });
    EXPECT_EQ(ShowQtMessageBox(QStringLiteral("?"), QString(), 35), IDCANCEL);
    WhenModal([] {
        ASSERT_NE(OpenBox(), nullptr);
        OpenBox()->close();
    });
    EXPECT_EQ(ShowQtMessageBox(QStringLiteral("?"), QString(), 35), IDCANCEL);
    WhenModal([] { PressOnBox(Qt::Key_Return); });
    EXPECT_EQ(ShowQtMessageBox(QStringLiteral("?"), QString(), 35), IDYES);
}

TEST(ApplicationMessageBox, GoesThroughTheHookWhileOneIsSet) {
    {
        TMessageBoxRecorder Recorder(IDNO);
        EXPECT_EQ(Application.MessageBox(QStringLiteral("Pytanie"), QString(), 35), IDNO);
        ASSERT_EQ(Recorder.Shown.size(), 1u);
        EXPECT_EQ(Recorder.Shown[0].Text, QStringLiteral("Pytanie"));
        EXPECT_EQ(Recorder.Shown[0].Caption, QString());
        EXPECT_EQ(Recorder.Shown[0].Flags, 35);
    }
    // Without the hook the real box opens again.
    TModalWatchdog Watchdog;
    bool Opened = false;
    WhenModal([&] {
        Opened = OpenBox() != nullptr;
        PressOnBox(Qt::Key_Escape);
    });
    EXPECT_EQ(Application.MessageBox(QStringLiteral("x"), QString(), 16), IDOK);
    EXPECT_TRUE(Opened);
}
