#pragma once
// Keeps edit fields to what a user record can store: characters of code page 1250, no control
// characters. A typed or pasted text with anything else is refused as a whole, so the field
// always shows what the file will hold. TForm puts it on every QLineEdit of a form.
//
// ToCp1250 / FromCp1250 carry field texts to and from the store's CP1250 byte strings.

#include <QString>
#include <QValidator>

#include <string>
#include <string_view>

class TCp1250Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& Input, int& Pos) const override;
};

// True when every character of Text passes the filter.
bool IsCp1250Text(const QString& Text);
// CP1250 bytes of Text; characters the filter refuses are left out.
std::string ToCp1250(const QString& Text);
QString FromCp1250(std::string_view Bytes);
