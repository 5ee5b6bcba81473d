#pragma once
// Bitmap-button kinds: a QPushButton whose dynamic property "kind" is "ok", "cancel" or "help"
// gets that kind's glyph and, when its text is empty, the kind's standard caption. TForm wires
// what the kinds do (toolkit/Form.h).

#include <QString>

class QAbstractButton;
class QPushButton;

enum class TBitBtnKind { Custom, Ok, Cancel, Help };

TBitBtnKind BitBtnKind(const QAbstractButton* Button);
QString BitBtnCaption(TBitBtnKind Kind); // "OK", "Anuluj", "Pomoc"; empty for Custom
void DecorateBitBtn(QPushButton* Button, TBitBtnKind Kind);
