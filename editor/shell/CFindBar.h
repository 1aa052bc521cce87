#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;

// The find bar above the fortune list: the text to find, txtFind, and the
// option chkFilter to list only the fortunes that hold it. Hidden until the
// Find command opens it. While it shows, F3 and Shift+F3 ask for the next and
// the previous match and Esc asks to close it, wherever the window's focus is.
class CFindBar final : public QWidget {
    Q_OBJECT
public:
    explicit CFindBar(QWidget* parent);

    // Shows the bar with the focus in its text, all of it selected.
    void Open();
    QString Text() const;
    bool Filter() const;

    QLineEdit* txtFind = nullptr;
    QCheckBox* chkFilter = nullptr;

signals:
    // The text or the option changed.
    void changed();
    void stepped(bool forward);
    // Return in the text.
    void accepted();
    void closeAsked();
};
