#include "toolkit/HelpWindow.h"

#include "toolkit/HelpFile.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

THelpWindow::THelpWindow(QWidget* Parent)
    : QWidget(Parent, Qt::Window), FBrowser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setOpenLinks(true);
    FBrowser->setOpenExternalLinks(false);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FBrowser);
    resize(560, 440);
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
}

void THelpWindow::ShowTopic(const QString& Html, int Context) {
    FBrowser->setHtml(Html);
    const QString Title = FBrowser->documentTitle();
    setWindowTitle(Title.isEmpty() ? QStringLiteral("Pomoc") : Title);
    show();
    raise();
    activateWindow();
    FBrowser->scrollToAnchor(HelpAnchor(Context));
}

void THelpWindow::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(Event);
}
