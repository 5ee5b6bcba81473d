#pragma once
// A small form for the toolkit's tests: an edit, OK, Help and Cancel buttons, help context 7.

#include "toolkit/Form.h"

#include <functional>
#include <memory>

namespace Ui {
class TestWnd;
}

class TTestWnd : public TForm {
    Q_OBJECT
public:
    explicit TTestWnd(QWidget* Owner = nullptr);
    ~TTestWnd() override;

    // Called by FormClose with the modal result at that moment; may refuse with caNone.
    std::function<void(int ModalResult, TCloseAction& Action)> OnClose;
    int CloseCalls = 0;

protected:
    void FormClose(TCloseAction& Action) override;

private:
    std::unique_ptr<Ui::TestWnd> FUi;
};
