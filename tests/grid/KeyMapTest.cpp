// Qt keys and buttons as the Windows key codes and shift states the hooks receive.
#include "toolkit/KeyMap.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyMap, NavigationAndEditingKeysGetTheirWindowsCodes) {
    const std::pair<int, uint16_t> Keys[] = {
        {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},  {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},    {Qt::Key_Home, 36},  {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},       {Qt::Key_Right, 39},  {Qt::Key_Down, 40},  {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},   {Qt::Key_Escape, 27}, {Qt::Key_Tab, 9},    {Qt::Key_Backtab, 9},
        {Qt::Key_A, 65},        {Qt::Key_Z, 90},      {Qt::Key_0, 48},     {Qt::Key_F1, 112},
        {Qt::Key_F12, 123},     {Qt::Key_Control, 17}};
    for (const auto& [Qt, Vk] : Keys)
        EXPECT_EQ(VirtualKeyOf(Qt), Vk) << std::hex << Qt;
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Aacute), 0) << "keys without a code are not guessed";
}

TEST(KeyMap, ShiftStatesHoldModifiersAndHeldButtons) {
    EXPECT_EQ(ShiftStateOf(Qt::ControlModifier), TShiftState{ssCtrl});
    EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier | Qt::AltModifier, Qt::LeftButton | Qt::MiddleButton),
              (TShiftState{ssShift, ssAlt, ssLeft, ssMiddle}));
    EXPECT_EQ(ShiftStateOf(Qt::KeypadModifier, Qt::RightButton), TShiftState{ssRight});
    EXPECT_EQ(MouseButtonOf(Qt::MiddleButton), TMouseButton::mbMiddle);
    EXPECT_FALSE(MouseButtonOf(Qt::BackButton).has_value());
}

TEST(KeyMap, ShiftStateBitsFollowTheToolkitsOrder) {
    // Stored and compared as bit sets: ssShift is bit 0 ... ssDouble bit 6.
    EXPECT_EQ((TShiftState{ssShift, ssCtrl}).Bits(), 0b101u);
    EXPECT_EQ(TShiftState{ssDouble}.Bits(), 0x40u);
    EXPECT_EQ((TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goRowSelect}).Bits(),
              0x1007u);
}

} // namespace
