#include "GuiTest.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TMessageBoxRecorder::TMessageBoxRecorder(int Answer) : FAnswer(Answer) {
    Application.SetMessageBoxHook([this](const QString& Text, const QString& Caption, int Flags) {
        Shown.push_back({Text, Caption, Flags});
        if (OnShow)
            OnShow(Shown.back());
        return FAnswer;
    });
}

TMessageBoxRecorder::~TMessageBoxRecorder() {
    Application.SetMessageBoxHook({});
}

TTopic7HelpFile::TTopic7HelpFile() : FSaved(Application.HelpFile) {
    QFile Help(FDir.filePath("pelorin.hlp"));
    if (!Help.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write " << Help.fileName().toStdString();
    Help.write("<html><body><a name=\"context-7\"></a>Temat</body></html>");
    Application.HelpFile = Help.fileName().toStdString();
}

TTopic7HelpFile::~TTopic7HelpFile() {
    Application.HelpFile = FSaved;
}

void TypeText(QWidget* Widget, const QString& Text) {
    for (const QChar Ch : Text) {
        QTest::sendKeyEvent(QTest::Press, Widget, Qt::Key_unknown, QString(Ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, Widget, Qt::Key_unknown, QString(Ch), Qt::NoModifier);
    }
}

void WhenModal(std::function<void()> Step) {
    QTimer::singleShot(0, std::move(Step));
}

TModalWatchdog::TModalWatchdog(int Seconds) : FTimer(new QTimer) {
    FTimer->setSingleShot(true);
    QObject::connect(FTimer, &QTimer::timeout, [] {
        ADD_FAILURE() << "a modal window was still open when the watchdog fired";
        while (QWidget* Modal = QApplication::activeModalWidget())
            Modal->hide();
    });
    FTimer->start(Seconds * 1000);
}

TModalWatchdog::~TModalWatchdog() {
    delete FTimer;
}
