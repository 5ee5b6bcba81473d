#pragma once
// The forms' font: the family a form asks for, then faces of similar width that Debian ships,
// so that fixed-size labels laid out for the original font do not clip.

#include <QFont>
#include <QStringList>

// Families to try, in order, for the family Name.
QStringList FontFamiliesFor(const QString& Name);
// Height as in the form description: negative is the character height in pixels, positive
// the cell height (taken as the pixel size too); 0 keeps the default size.
QFont FormFont(const QString& Name, int Height);
