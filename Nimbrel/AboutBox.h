#pragma once

#include <QDialog>

/// The About box as desktops lay theirs out: the program's icon above its name, its version and
/// one line about it in the body text's size, and a Close button. Deletes itself once closed.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
};
