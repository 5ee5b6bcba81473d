#pragma once
// The help file: UTF-8 HTML in which help context N starts at the anchor <a name="context-N">.
// docs/help-file.md describes the format.

#include <QString>

#include <optional>
#include <string>

// The anchor name of a help context: "context-14".
QString HelpAnchor(int Context);

struct THelpText {
    std::optional<QString> Html; // the file's text, or nothing
    QString Error;               // why not, as the message box says it
};
THelpText ReadHelpFile(const std::string& FileName);

bool HasHelpContext(const QString& Html, int Context);
