#pragma once

#include "mainwnd/StavoryDlg.h"
#include "mainwnd/WindowPrompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// Answers the window's questions and file choosers from a script and records what was asked.
class ScriptedPrompts : public CWindowPrompts {
public:
    struct Asked {
        QString Kind;
        QString Title;
        QString Text;
        bool DialogOpen = false;
        bool Owned = false;
    };
    std::deque<QString> Answers; // "yes"/"no" or a file name ("" cancels)
    QList<Asked> Log;
    QStringList Opened;
    CStavoryDlg* Window = nullptr;
    std::function<void()> WhileAsking;

    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override {
        Record("question", title, text, parent);
        return Next() == QLatin1String("yes");
    }
    void ShowMessage(QWidget* parent, const QString& title, const QString& text) override {
        Record("message", title, text, parent);
    }
    QString SaveFileName(QWidget* parent, const QString& filter, const QString& suffix) override {
        Record("save", filter, suffix, parent);
        return Next();
    }
    QString OpenFileName(QWidget* parent, const QString& filter) override {
        Record("open", filter, QString(), parent);
        return Next();
    }
    void OpenWithDesktop(const QString& pathOrUrl) override { Opened << pathOrUrl; }

private:
    void Record(const char* kind, const QString& title, const QString& text, QWidget* parent) {
        Log.append(
            {QString::fromLatin1(kind), title, text, Window && Window->IsDialogOpen(), parent != nullptr});
        if (WhileAsking)
            WhileAsking();
    }
    QString Next() {
        if (Answers.empty())
            return {};
        QString a = Answers.front();
        Answers.pop_front();
        return a;
    }
};
