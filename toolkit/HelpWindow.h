#pragma once
// The help window: the help file in a text browser, scrolled to one topic. Links between
// topics work; Esc closes it. Application.HelpContext opens it (toolkit/Application.h).

#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* Parent = nullptr);
    void ShowTopic(const QString& Html, int Context);
    QTextBrowser* Browser() const { return FBrowser; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    QTextBrowser* FBrowser;
};
