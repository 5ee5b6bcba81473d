#pragma once
// TForm: the base of every window and dialog, a QDialog built from a Qt Designer form.
//
// A form class derives from TForm and holds its parts in its uic class, behind a pointer so that
// only its source file includes the generated header. It builds itself, then calls Loaded():
//
//   class TFooWnd : public TForm {                     // FooWnd.h
//   public:
//       explicit TFooWnd(QWidget* Owner);
//       ~TFooWnd() override;
//   protected:
//       void FormClose(TCloseAction& Action) override; // validate when ModalResult() == mrOk
//   private:
//       std::unique_ptr<Ui::FooWnd> FUi;
//   };
//
//   TFooWnd::TFooWnd(QWidget* Owner)                   // FooWnd.cpp, with "ui_FooWnd.h"
//       : TForm(Owner), FUi(std::make_unique<Ui::FooWnd>()) {
//       FUi->setupUi(this);
//       Loaded();
//   }
//   TFooWnd::~TFooWnd() = default;
//
// Owner nullptr stands for the application object (a top-level window).
// Dynamic properties in the .ui file that Loaded() reads:
//   on the form:        helpContext (int), borderStyle ("bsDialog": fixed size, no min/max box;
//                       "bsSizeable": the usual window buttons), fontName and fontHeight
//                       (a negative height is the character height in pixels);
//   on a QPushButton:   kind = "ok" (closes with mrOk, default button, caption "OK" when empty),
//                       "cancel" (closes with mrCancel, answers Esc, caption "Anuluj" when
//                       empty), "help" (opens help at the form's help context; "Pomoc").
// Every QLineEdit gets the code page 1250 filter (toolkit/Cp1250Validator.h).
//
// Closing: the OK/Cancel buttons, Esc (when a cancel button exists), the close box, Close()
// and SetModalResult() all go through FormClose first. Its action caNone keeps the form open
// with its input and sets ModalResult back to mrNone. F1 opens help at HelpContext().
// A form opens with the focus on the first control of its tab order.

#include <QDialog>
#include <QPointer>

class QAbstractButton;

enum TCloseAction {
    caNone,     // stay open
    caHide,     // close (the default)
    caFree,     // close; forms are always freed by whoever created them, so as caHide
    caMinimize, // minimise and stay open
};

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* Owner = nullptr);
    ~TForm() override;

    // Shows the form modally and returns the modal result that closed it; mrCancel at once
    // when the application is being ended.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    // A non-zero result closes the form (through FormClose), as the OK and Cancel buttons do.
    void SetModalResult(int Value);
    // Closes the form as the close box does (modal result mrCancel).
    void Close();

    // The process is ending inside the modal loops (toolkit/Application.h): each form that is
    // shown modally, innermost first, gets FormClose as on Cancel, so that it puts back what it
    // changed in place. Its window is not touched.
    static void CancelModalsAtExit();

    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Context) { FHelpContext = Context; }

    void done(int Result) override;
    void accept() override { done(mrOk); }
    void reject() override { done(mrCancel); }
    void setVisible(bool Visible) override;

protected:
    // Finishes the form after setupUi: font, border, button kinds, edit filters; then FormCreate.
    void Loaded();
    // Runs once, at the end of Loaded().
    virtual void FormCreate() {}
    // Runs before every close with the modal result already set; set Action to caNone to refuse.
    virtual void FormClose(TCloseAction& Action);

    void keyPressEvent(QKeyEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void ApplyFont();
    void ApplyBorder();
    void WireButtons();
    void FilterEdits();

    int FModalResult = mrNone;
    int FHelpContext = 0;
    unsigned FCloseCount = 0; // counts real closes, so a close nested in FormClose is seen
    QPointer<QAbstractButton> FCancelButton;
};
