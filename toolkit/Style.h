#pragma once
// The application's widget style: Fusion, with the password character "*" shown at once.

#include <QProxyStyle>

class TToolkitStyle : public QProxyStyle {
    Q_OBJECT
public:
    TToolkitStyle();
    int styleHint(StyleHint Hint, const QStyleOption* Option = nullptr,
                  const QWidget* Widget = nullptr,
                  QStyleHintReturn* ReturnData = nullptr) const override;
};
