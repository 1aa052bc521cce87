#pragma once

// Every message box, text-input box and file-open dialog of the editor goes
// through these functions. The application answers them with real Qt dialogs;
// tests install a responder that answers from a script.

#include <QString>

class QWidget;

namespace zrv::desktop {

// Message box styles; buttons, icon and default button are added together.
enum VbMsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// The button that closed a message box.
enum VbMsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

struct PromptRecord {
    enum class Kind { MessageBox, InputBox, OpenFile } kind = Kind::MessageBox;
    QString title;          // the title shown (a box's: the program title when none was given)
    QString text;           // message, input prompt, or nothing for a file dialog
    int buttons = vbOKOnly; // one of vbOKOnly .. vbRetryCancel
    int icon = 0;           // 0 or one of vbCritical .. vbInformation
    int defaultButton = 0;  // vbDefaultButton1 .. vbDefaultButton3
    QString defaultText;    // input box
    QString initialFolder;  // file dialog
    QString filter;         // file dialog
};

// What a responder gives back: the button for a message box; for the input
// box and the file dialog vbOK with the text or file, or vbCancel.
struct PromptAnswer {
    int button = vbCancel;
    QString text;
};

class IPromptResponder {
public:
    virtual ~IPromptResponder() = default;
    virtual PromptAnswer Answer(const PromptRecord& prompt, QWidget* owner) = 0;
};

// Installs the responder that answers every prompt; nullptr restores the real
// dialogs. The responder is not owned.
void SetPromptResponder(IPromptResponder* responder);
IPromptResponder* PromptResponder(); // nullptr while the real dialogs answer

// An empty title stands for the program title, QCoreApplication::applicationName().
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = {},
           QWidget* owner = nullptr);

// The text typed, or the empty text when the box was cancelled.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {},
                 QWidget* owner = nullptr);

// The chosen file's full path, or the empty text when the dialog was cancelled.
// An empty title leaves the dialog the desktop's own.
// The filter is Qt's ("Text files (*.txt);;All files (*)") or the common
// dialog's ("Text files|*.txt|All files|*.*").
QString ShowOpenFileDialog(const QString& initialFolder, const QString& title = {},
                           const QString& filter = {}, QWidget* owner = nullptr);

} // namespace zrv::desktop
