#include "toolkit/Form.h"

#include "toolkit/Application.h"
#include "toolkit/BitBtn.h"
#include "toolkit/Cp1250Validator.h"
#include "toolkit/FormFont.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVariant>

#include <vector>

namespace {

// The forms in ShowModal, innermost last.
std::vector<TForm*> ModalForms;

} // namespace

TForm::TForm(QWidget* Owner) : QDialog(Owner) {}

TForm::~TForm() = default;

int TForm::ShowModal() {
    FModalResult = mrNone;
    if (Application.Terminated())
        return mrCancel;
    ModalForms.push_back(this);
    struct TPop {
        ~TPop() { ModalForms.pop_back(); }
    } Pop;
    exec();
    return FModalResult;
}

void TForm::CancelModalsAtExit() {
    for (auto It = ModalForms.rbegin(); It != ModalForms.rend(); ++It) {
        TForm* Form = *It;
        Form->FModalResult = mrCancel;
        TCloseAction Action = caHide;
        Form->FormClose(Action);
    }
}

void TForm::SetModalResult(int Value) {
    if (Value == mrNone)
        FModalResult = mrNone;
    else
        done(Value);
}

void TForm::Close() {
    if (isVisible())
        done(mrCancel);
}

void TForm::done(int Result) {
    FModalResult = Result;
    const unsigned ClosesBefore = FCloseCount;
    TCloseAction Action = caHide;
    FormClose(Action);
    // Something inside the handler (a message box's loop, the program being ended) may have
    // closed the form already; its result stands.
    if (FCloseCount != ClosesBefore)
        return;
    if (Action == caNone) {
        FModalResult = mrNone;
        return;
    }
    if (Action == caMinimize) {
        FModalResult = mrNone;
        showMinimized();
        return;
    }
    ++FCloseCount;
    QDialog::done(Result);
}

void TForm::FormClose(TCloseAction& /*Action*/) {}

void TForm::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        // Esc belongs to the Cancel button; a form without one ignores it.
        if (FCancelButton && FCancelButton->isVisible() && FCancelButton->isEnabled())
            FCancelButton->click();
        return;
    }
    if (Event->key() == Qt::Key_F1 && Event->modifiers() == Qt::NoModifier) {
        if (FHelpContext != 0)
            Application.HelpContext(FHelpContext);
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TForm::setVisible(bool Visible) {
    // Every form opens centred on the screen, also one with an owner, which a dialog would
    // otherwise centre over its owner.
    if (Visible && !isVisible() && !testAttribute(Qt::WA_Moved)) {
        const QRect Desk = screen()->availableGeometry();
        move(Desk.center() - QPoint(width() / 2, height() / 2));
        QDialog::setVisible(true);
        setAttribute(Qt::WA_Moved, false);
        return;
    }
    QDialog::setVisible(Visible);
}

void TForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    // Set now rather than when the window manager activates the window, which may never happen.
    if (focusWidget())
        return;
    for (QWidget* W = nextInFocusChain(); W && W != this; W = W->nextInFocusChain()) {
        if ((W->focusPolicy() & Qt::TabFocus) && W->isVisibleTo(this) && W->isEnabled()) {
            W->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TForm::Loaded() {
    FHelpContext = property("helpContext").toInt();
    ApplyFont();
    ApplyBorder();
    WireButtons();
    FilterEdits();
    FormCreate();
}

void TForm::ApplyFont() {
    const QVariant Name = property("fontName");
    if (!Name.isValid())
        return;
    setFont(FormFont(Name.toString(), property("fontHeight").toInt()));
}

void TForm::ApplyBorder() {
    const QString Border = property("borderStyle").toString();
    if (Border == QLatin1String("bsDialog")) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        setFixedSize(size());
    } else if (Border == QLatin1String("bsSizeable")) {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        setSizeGripEnabled(false);
    }
}

void TForm::WireButtons() {
    for (QPushButton* Button : findChildren<QPushButton*>()) {
        const TBitBtnKind Kind = BitBtnKind(Button);
        if (Kind == TBitBtnKind::Custom)
            continue;
        DecorateBitBtn(Button, Kind);
        switch (Kind) {
        case TBitBtnKind::Ok:
            Button->setDefault(true);
            connect(Button, &QPushButton::clicked, this, [this] { done(mrOk); });
            break;
        case TBitBtnKind::Cancel:
            FCancelButton = Button;
            connect(Button, &QPushButton::clicked, this, [this] { done(mrCancel); });
            break;
        case TBitBtnKind::Help:
            connect(Button, &QPushButton::clicked, this,
                    [this] { Application.HelpContext(FHelpContext); });
            break;
        case TBitBtnKind::Custom:
            break;
        }
    }
}

void TForm::FilterEdits() {
    auto* Filter = new TCp1250Validator(this);
    for (QLineEdit* Edit : findChildren<QLineEdit*>())
        if (!Edit->validator())
            Edit->setValidator(Filter);
}
