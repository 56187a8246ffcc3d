#pragma once

#include <QString>

class QWidget;

// The questions, messages, file choosers and desktop starts of the main window. The program
// uses the toolkit's dialogs, each modal to the parent given (or to nothing without one); tests
// answer them from a script.
class CWindowPrompts {
public:
    virtual ~CWindowPrompts() = default;
    // Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text);
    // Message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text);
    // Save As with an overwrite prompt; empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix);
    // Open; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& filter);
    // Opens a file, folder or address with the desktop's opener; the result is not reported.
    virtual void OpenWithDesktop(const QString& pathOrUrl);
};
