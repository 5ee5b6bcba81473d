#include "TestWnd.h"

#include "ui_TestWnd.h"

TTestWnd::TTestWnd(QWidget* Owner) : TForm(Owner), FUi(new Ui::TestWnd) {
    FUi->setupUi(this);
    Loaded();
}

TTestWnd::~TTestWnd() {
    delete FUi;
}

void TTestWnd::FormClose(TCloseAction& Action) {
    ++CloseCalls;
    if (OnClose)
        OnClose(ModalResult(), Action);
}
