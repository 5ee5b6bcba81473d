#include "TestWnd.h"

#include "ui_TestWnd.h"

TTestWnd::TTestWnd(QWidget* Owner) : TForm(Owner), FUi(std::make_unique<Ui::TestWnd>()) {
    FUi->setupUi(this);
    Loaded();
}

TTestWnd::~TTestWnd() = default;

void TTestWnd::FormClose(TCloseAction& Action) {
    ++CloseCalls;
    if (OnClose)
        OnClose(ModalResult(), Action);
}
