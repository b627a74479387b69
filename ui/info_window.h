#pragma once

#include <QDialog>

class QLabel;

// The info window: the program's version and the maker's contact details.
// Closing only hides it.
class TInfo : public QDialog {
    Q_OBJECT
public:
    TInfo();

    void set_version_line(const QString& text);
    void Button1Click();

private:
    QLabel* version_ = nullptr;
};
