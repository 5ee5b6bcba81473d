#pragma once
// The administrator's main window: five speed buttons over a grid that lists every user of the
// store Users, one row per user in the store's order (row r shows Items(r - 1)). Add, Delete and
// Edit change the users in memory; the store writes the file when the program ends. Typing the
// first letters of a logon name selects that user; a rights column too narrow for a user's codes
// explains them in a tooltip.

#include "toolkit/Form.h"
#include "toolkit/GridTypes.h"
#include "toolkit/TypeAhead.h"

#include <cstdint>
#include <memory>

class TUserC;
class TUserManager;
class TViewer;
namespace Ui {
class MainForm;
}

class TMainForm : public TForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* Owner);
    ~TMainForm() override;

    TViewer* Viewer() const;

    void AddClick();
    void DeleteClick();
    void EditClick();
    void HelpBtnClick();
    void CloseBtnClick();

protected:
    void FormCreate() override;
    void RefreshList();
    void SetUserRow(int Row, const TUserC& User);

private:
    void SetUpButtons();
    void SetUpKeys();
    void ViewerKeyDown(uint16_t& Key, TShiftState Shift);
    void ViewerDblClick();
    void ViewerKeyPress(QString& Text);
    QString ViewerCellHint(int ACol, int ARow) const;

    std::unique_ptr<Ui::MainForm> FUi;
    TUserManager& FStore;
    TTypeAhead FTypeAhead; // letters typed in the list select a user by logon name
};
